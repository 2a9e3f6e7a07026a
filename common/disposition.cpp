// SPDX-License-Identifier: MIT
// Setting a signal's disposition and handing back the one it had.
#include "disposition.hpp"

namespace disposition
{

struct sigaction set(int sig, void (*how)(int), int flags, const sigset_t *mask)
{
    struct sigaction action = {};
    struct sigaction was = {};
    action.sa_handler = how;
    action.sa_flags = flags;
    if (mask != nullptr) {
        action.sa_mask = *mask;
    }
    (void)sigaction(sig, &action, &was);
    return was;
}

} // namespace disposition
