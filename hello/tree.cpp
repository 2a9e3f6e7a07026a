// SPDX-License-Identifier: MIT
// Finding the processes below hello in /proc, and signalling them.
#include "tree.hpp"

#include "children.hpp"
#include "pages.hpp"
#include "pin.hpp"
#include "proc.hpp"

#include <algorithm>
#include <array>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace tree
{

namespace
{

struct Process {
    pid_t pid;
    pid_t parent;
    int pin; // holds it, -1 where nothing does
    bool signalled;
};

Process *known = nullptr; // as found: a process after the one it was listed under
std::size_t count = 0;
std::size_t room = 0;

// Whether pid is still parent's child, or, orphaned since, hello's.
bool below(pid_t pid, pid_t parent)
{
    const pid_t now = proc::stat(pid).parent;
    return now == parent || now == getpid();
}

bool grow()
{
    const std::size_t more = room == 0 ? 256 : room * 2;
    auto *const bigger = static_cast<Process *>(pages::get(more * sizeof(Process)));
    if (bigger == nullptr) {
        return false;
    }
    std::copy(known, known + count, bigger);
    if (known != nullptr) {
        pages::put(known, room * sizeof(Process));
    }
    known = bigger;
    room = more;
    return true;
}

// Adds child, listed as one of parent's, where it still is: held first, so that what is
// confirmed is the process held.
void add(pid_t child, pid_t parent)
{
    if (std::any_of(known, known + count, [child](const Process &p) { return p.pid == child; }) ||
        (count == room && !grow())) {
        return;
    }
    const int pin = pin::hold(child);
    if (!below(child, parent)) {
        if (pin >= 0) {
            (void)close(pin);
        }
        return;
    }
    known[count++] = {child, parent, pin, false};
}

// Adds the children of parent, their list read whole, piece by piece.
void add_children_of(pid_t parent)
{
    const int fd = proc::open_children(parent);
    std::array<char, 512> piece{};
    std::array<pid_t, piece.size()> listed{};
    children::Partial partial;
    ssize_t n = 0;
    while (fd >= 0 && (n = read(fd, piece.data(), piece.size())) > 0) {
        const std::size_t ended =
            children::parse(piece.data(), static_cast<std::size_t>(n), partial, listed.data());
        std::for_each(listed.begin(), std::next(listed.begin(), static_cast<std::ptrdiff_t>(ended)),
                      [parent](pid_t child) { add(child, parent); });
    }
    (void)close(fd);
}

} // namespace

bool walk()
{
    if (!proc::is_hellos()) {
        return false;
    }
    add_children_of(getpid());
    for (std::size_t at = 0; at < count; ++at) { // count grows as children are found
        add_children_of(known[at].pid);
    }
    return true;
}

void signal(int sig, bool again)
{
    std::for_each(std::make_reverse_iterator(known + count), std::make_reverse_iterator(known),
                  [sig, again](Process &p) {
                      if (p.signalled && !again) {
                          return;
                      }
                      p.signalled = true;
                      if (p.pin >= 0) {
                          (void)pin::send(p.pin, sig);
                      } else if (below(p.pid, p.parent)) {
                          (void)kill(p.pid, sig);
                      }
                  });
}

bool running()
{
    return std::count_if(known, known + count, [](const Process &p) {
               if (!p.signalled) {
                   return false;
               }
               (void)waitpid(p.pid, nullptr, WNOHANG);
               const char state = proc::stat(p.pid).state;
               return state != 0 && state != 'Z' && state != 'X';
           }) > 0;
}

} // namespace tree
