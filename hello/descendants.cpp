// SPDX-License-Identifier: MIT
// Finding the processes below hello in /proc.
#include "descendants.hpp"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <unistd.h>

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

// /proc/PID/task/PID, then tail.
Name task_file(pid_t pid, std::string_view tail)
{
    Name name{};
    constexpr std::string_view proc = "/proc/";
    constexpr std::string_view task = "/task/";
    char *at = std::copy(proc.begin(), proc.end(), name.data());
    at = decimal(at, pid);
    at = std::copy(task.begin(), task.end(), at);
    at = decimal(at, pid);
    std::copy(tail.begin(), tail.end(), at);
    return name;
}

// A /proc of another PID namespace (not mounted anew for it) names hello by another PID.
bool proc_is_hellos()
{
    Name self{};
    Name own{};
    const ssize_t n = readlink("/proc/self", self.data(), self.size() - 1);
    return n > 0 &&
           std::string_view(self.data()) ==
               std::string_view(own.data(), static_cast<std::size_t>(decimal(own.data(), getpid()) -
                                                                     own.data()));
}

// Appends the children of pid to [end, last); returns the new end.
pid_t *add_children(pid_t pid, pid_t *end, const pid_t *last)
{
    std::array<char, 256> list{};
    const int fd = open(task_file(pid, "/children").data(), O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd < 0 ? 0 : read(fd, list.data(), list.size() - 1);
    (void)close(fd);
    pid_t child = 0;
    for (auto *c = list.begin(); n > 0 && c != list.end() && end != last; ++c) {
        if (*c >= '0' && *c <= '9') {
            child = child * 10 + (*c - '0');
        } else if (child != 0) {
            *end++ = child;
            child = 0;
        }
    }
    return end;
}

} // namespace

Below processes_below(pid_t *pids, std::size_t room)
{
    Below found{0, 0};
    if (!proc_is_hellos()) {
        return found;
    }
    std::array<pid_t, 64> all{};
    std::array<bool, 64> inner{};
    pid_t *end = add_children(getpid(), all.begin(), all.end());
    for (pid_t *at = all.begin(); at != end; ++at) {
        pid_t *const was = end;
        end = add_children(*at, end, all.end());
        *std::next(inner.begin(), at - all.begin()) = end != was;
    }
    // The leaves first, then the processes that wait for them.
    for (const bool leaf : {true, false}) {
        for (pid_t *at = all.begin(); at != end && found.count < room; ++at) {
            if (*std::next(inner.begin(), at - all.begin()) != leaf) {
                *std::next(pids, static_cast<std::ptrdiff_t>(found.count++)) = *at;
                found.leaves += leaf ? 1 : 0;
            }
        }
    }
    return found;
}
