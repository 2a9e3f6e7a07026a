// SPDX-License-Identifier: MIT
// Reading /proc of the processes below hello.
#include "proc.hpp"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace proc
{

namespace
{

using Name = std::array<char, 64>;

// Writes n in decimal at out; returns the end.
char *decimal(char *out, pid_t n)
{
    std::array<char, 12> digits{};
    auto *digit = digits.end();
    do {
        *--digit = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0);
    return std::copy(digit, digits.end(), out);
}

// /proc/PID, then tail, then again PID where twice.
Name file(pid_t pid, std::string_view tail, bool twice = false, std::string_view last = "")
{
    Name name{};
    constexpr std::string_view proc = "/proc/";
    char *at = decimal(std::copy(proc.begin(), proc.end(), name.data()), pid);
    at = std::copy(tail.begin(), tail.end(), at);
    if (twice) {
        at = decimal(at, pid);
    }
    std::copy(last.begin(), last.end(), at);
    return name;
}

} // namespace

bool is_hellos()
{
    // A /proc of another PID namespace (not mounted anew for it) names hello by another PID.
    Name self{};
    Name own{};
    const ssize_t n = readlink("/proc/self", self.data(), self.size() - 1);
    const char *const end = decimal(own.data(), getpid());
    return n > 0 && std::string_view(self.data()) ==
                        std::string_view(own.data(), static_cast<std::size_t>(end - own.data()));
}

children::Stat stat(pid_t pid)
{
    // The name is at most 15 bytes: what follows it comes within the bytes read.
    std::array<char, 128> text{};
    const int fd = open(file(pid, "/stat").data(), O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd < 0 ? 0 : read(fd, text.data(), text.size());
    (void)close(fd);
    return children::stat(text.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

int open_children(pid_t pid)
{
    return open(file(pid, "/task/", true, "/children").data(), O_RDONLY | O_CLOEXEC);
}

} // namespace proc
