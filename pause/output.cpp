// SPDX-License-Identifier: MIT
// Writing a message whole: the prompt, the line end, the help and the errors.
#include "output.hpp"

#include "ready.hpp"
#include "waiting.hpp"

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace output
{

bool say(const char *text, int fd, int wait_ms)
{
    for (std::size_t len = std::strlen(text); len > 0;) {
        // On the way out (no wait), a signal that came meanwhile is no reason to leave text out.
        if ((wait_ms == 0 ? ready::until(fd, true, 0, nullptr)
                          : waiting::for_file(fd, true, wait_ms)) <= 0) {
            return false;
        }
        const ssize_t n = write(fd, text, len);
        if (n > 0) {
            text += n;
            len -= static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EAGAIN) {
            return false;
        }
    }
    return true;
}

} // namespace output
