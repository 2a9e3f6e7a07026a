// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <iostream>
#ifndef _WIN32
#include <algorithm>
#include <array>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// The pause installed beside hello is the command processor's last resort: hello's own folder
// goes at the end of PATH, so that a pause earlier on it still comes first. Where the folder
// cannot be known, or cannot be written into a PATH (a colon in its name), PATH stays as it is.
// Fixed buffers and few library calls: each one imported costs a symbol lookup at every start.
void add_own_folder_to_path()
{
    std::array<char, PATH_MAX> folder{};
    const ssize_t n = readlink("/proc/self/exe", folder.data(), folder.size() - 1);
    char *const end = folder.data() + std::max<ssize_t>(n, 0);
    const auto slash = std::find(std::make_reverse_iterator(end), folder.rend(), '/');
    if (slash == folder.rend()) {
        return;
    }
    char *cut = std::prev(slash.base()); // the last slash
    if (cut == folder.data()) {          // "/hello" is in "/"
        ++cut;
    }
    if (std::find(folder.data(), cut, ':') != cut) {
        return;
    }
    *cut = '\0';
    std::array<char, 256> defaults{}; // where the shell looks without a PATH
    const char *inherited = std::getenv("PATH");
    if (inherited == nullptr &&
        confstr(_CS_PATH, defaults.data(), defaults.size()) <= defaults.size()) {
        inherited = defaults.data();
    }
    // No string in the environment is longer than 128 KiB (MAX_ARG_STRLEN): nor is PATH.
    static std::array<char, std::size_t{128} * 1024> path;
    const int len = std::snprintf(path.data(), path.size(), "%s:%s", inherited, folder.data());
    if (len > 0 && static_cast<std::size_t>(len) < path.size()) {
        (void)setenv("PATH", path.data(), 1);
    }
}

} // namespace
#endif

int main()
{
#ifndef _WIN32
    // A reader that has gone away must not kill the greeting before "pause" runs: with SIGPIPE
    // ignored the failed write only marks std::cout bad. The command processor, and whatever it
    // starts, then gets SIGPIPE as hello's caller left it.
    const auto inherited = std::signal(SIGPIPE, SIG_IGN);
#endif
    std::cout << "Hello world!" << std::endl;
#ifndef _WIN32
    if (inherited != SIG_ERR) {
        (void)std::signal(SIGPIPE, inherited);
    }
    add_own_folder_to_path();
#endif
    // What became of the command is none of hello's business, but for the user's interrupt:
    // system() has hello ignore Ctrl+C and Ctrl+\ while the command runs, yet a loop or a `&&`
    // around hello must see them. So hello ends by the same signal, unless its caller ignores it.
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    [[maybe_unused]] const int status = std::system("pause");
#ifndef _WIN32
    if (status != -1 && WIFSIGNALED(status) &&
        (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT)) {
        (void)std::raise(WTERMSIG(status));
    }
#endif
    return 0;
}
