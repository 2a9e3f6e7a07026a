// SPDX-License-Identifier: MIT
// Reading the file pause takes its key from, a byte or a character at a time.
#include "input.hpp"

#include "language.hpp"
#include "signals.hpp"

#include <cerrno>
#include <cstddef>
#include <cwchar>
#include <unistd.h>

namespace input
{
namespace
{

// What mbrlen returns for a character still short of bytes, and for a byte that cannot go on.
constexpr auto incomplete = static_cast<std::size_t>(-2);
constexpr auto invalid = static_cast<std::size_t>(-1);

int file;
Read why = Read::end;

} // namespace

void use(int fd)
{
    file = fd;
}

int byte(int wait_ms)
{
    for (;;) {
        const int ready = signals::wait_for_file(file, false, wait_ms, wait_ms >= 0);
        if (ready == 0) {
            why = Read::end;
            return -1;
        }
        unsigned char got = 0;
        const ssize_t n = ready < 0 ? -1 : read(file, &got, 1);
        if (n == 1) {
            return got;
        }
        if (n < 0 && errno == EAGAIN) { // another reader took it, or the file does not block
            continue;
        }
        why = n == 0 ? Read::end : errno == EINTR ? Read::signal : Read::failed;
        return -1;
    }
}

Read why_none()
{
    return why;
}

void finish_char(int lead, int wait_ms)
{
    if (lead < 0x80) { // a character of its own in every character set a locale may have
        return;
    }
    std::mbstate_t state = {};
    for (std::size_t len = char_length(static_cast<char>(lead), state); len == incomplete;) {
        const int c = byte(wait_ms);
        if (c < 0) {
            return;
        }
        len = char_length(static_cast<char>(c), state);
        if (len == invalid) {
            (void)lseek(file, -1, SEEK_CUR); // a file gives it back; a pipe or tty cannot
        }
    }
}

Read read_char(int fd)
{
    use(fd);
    const int c = byte(-1);
    if (c < 0) {
        return why;
    }
    finish_char(c, -1);
    return Read::done;
}

} // namespace input
