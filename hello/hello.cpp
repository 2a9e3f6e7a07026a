// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <iostream>
#ifndef _WIN32
#include <algorithm>
#include <climits>
#include <csignal>
#include <cstddef>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

// The pause installed beside hello is the command processor's last resort: hello's own folder
// goes at the end of PATH, so that a pause earlier on it still comes first. Where the folder
// cannot be known, or cannot be written into a PATH (a colon in its name), PATH stays as it is.
void add_own_folder_to_path()
{
    std::string folder(PATH_MAX, '\0');
    const ssize_t n = readlink("/proc/self/exe", folder.data(), folder.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= folder.size()) {
        return;
    }
    folder.resize(static_cast<std::size_t>(n));
    folder.resize(std::max<std::size_t>(folder.rfind('/'), 1)); // "/hello" is in "/"
    if (folder.find(':') != std::string::npos) {
        return;
    }
    std::string path;
    if (const char *inherited = std::getenv("PATH")) {
        path = inherited;
    } else { // where the shell would look without one
        path.resize(confstr(_CS_PATH, nullptr, 0));
        if (!path.empty()) {
            (void)confstr(_CS_PATH, path.data(), path.size());
            path.pop_back(); // its terminating null
        }
    }
    (void)setenv("PATH", (path + ":" + folder).c_str(), 1);
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
