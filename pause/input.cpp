// SPDX-License-Identifier: MIT
// Reading the file pause takes its key from, a byte at a time.
#include "input.hpp"

#include "waiting.hpp"

#include <cerrno>
#include <unistd.h>

namespace input
{

int File::byte(int wait_ms)
{
    for (;;) {
        const int ready = waiting::for_file(fd, false, wait_ms, wait_ms >= 0);
        if (ready == 0) {
            why_none = Read::end;
            return -1;
        }
        unsigned char got = 0;
        const ssize_t n = ready < 0 ? -1 : read(fd, &got, 1);
        if (n == 1) {
            return got;
        }
        if (n < 0 && errno == EAGAIN) { // another reader took it, or the file does not block
            continue;
        }
        why_none = n == 0 ? Read::end : errno == EINTR ? Read::signal : Read::failed;
        return -1;
    }
}

void File::give_back() const
{
    (void)lseek(fd, -1, SEEK_CUR);
}

} // namespace input
