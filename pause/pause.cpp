// SPDX-License-Identifier: MIT
// pause: prompt, wait for one key on standard input, and leave the terminal as it was found.
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace
{

constexpr int esc = 0x1b;
constexpr const char *prompt = "Press any key to continue . . . ";
// A key's bytes arrive together; a gap this long after an Escape means the Escape was the key.
constexpr int key_gap_ms = 50;

// read_byte's results that are not a byte
constexpr int no_byte = -1;  // end of input, or no byte within the wait
constexpr int read_err = -2; // input that cannot be read

termios saved;                      // the terminal as found, set back on every way out
termios key_mode;                   // the same without line editing and echo
volatile std::sig_atomic_t waiting; // key_mode is in force, or should be after a stop
struct sigaction stop_action;       // on_stop, put back after each stop

void put(const char *text)
{
    std::size_t len = std::strlen(text);
    while (len > 0) {
        const ssize_t n = write(STDOUT_FILENO, text, len);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return; // output that fails changes nothing: the key is still awaited
        }
        text += n;
        len -= static_cast<std::size_t>(n);
    }
}

extern "C" void on_fatal(int sig)
{
    (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    put("\n"); // the caller's next line starts on a line of its own
    (void)std::signal(sig, SIG_DFL);
    (void)std::raise(sig); // blocked in here, so it takes effect as the handler returns
}

// Stop and continue: Ctrl+Z (SIGTSTP) sets the terminal back as found, then really stops pause
// with the default action. On SIGCONT, while a key is awaited, key mode comes back, and once
// the stop has returned the prompt is written again, below whatever the shell wrote meanwhile.
extern "C" void on_stop(int /*sig*/)
{
    const int saved_errno = errno;
    (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    (void)std::signal(SIGTSTP, SIG_DFL);
    (void)std::raise(SIGTSTP); // not blocked (SA_NODEFER): stops here
    (void)sigaction(SIGTSTP, &stop_action, nullptr);
    if (waiting != 0) {
        put(prompt);
    }
    errno = saved_errno;
}

extern "C" void on_cont(int /*sig*/)
{
    const int saved_errno = errno;
    if (waiting != 0) {
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
    }
    errno = saved_errno;
}

void catch_signals()
{
    struct sigaction sa = {};
    (void)sigfillset(&sa.sa_mask);
    sa.sa_handler = on_fatal;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction was = {};
        if (sigaction(sig, nullptr, &was) == 0 && was.sa_handler != SIG_IGN) { // as nohup left it
            (void)sigaction(sig, &sa, nullptr);
        }
    }
    sa.sa_flags = SA_RESTART | SA_NODEFER;
    (void)sigemptyset(&sa.sa_mask);
    sa.sa_handler = on_stop;
    stop_action = sa;
    (void)sigaction(SIGTSTP, &sa, nullptr);
    sa.sa_handler = on_cont;
    (void)sigaction(SIGCONT, &sa, nullptr);
}

// One byte of input, no_byte at its end or when none comes within wait_ms (if >= 0), or read_err.
int read_byte(int wait_ms)
{
    for (;;) {
        pollfd in = {STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&in, 1, wait_ms);
        if (ready == 0) {
            return no_byte;
        }
        unsigned char byte = 0;
        const ssize_t n = ready < 0 ? -1 : read(STDIN_FILENO, &byte, 1);
        if (n == 1) {
            return byte;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        return n < 0 ? read_err : no_byte;
    }
}

// The continuation bytes of a UTF-8 character that begins with lead. A byte that cannot
// continue it is given back where the input can seek (a file); elsewhere it is gone.
void finish_char(int lead, int wait_ms)
{
    int more = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
    for (; more > 0; --more) {
        const int c = read_byte(wait_ms);
        if (c < 0) {
            return;
        }
        if ((c & 0xc0) != 0x80) {
            (void)lseek(STDIN_FILENO, -1, SEEK_CUR);
            return;
        }
    }
}

// The rest of a key that began with Escape: nothing (Escape itself), the CSI or SS3 sequence of
// an arrow or function key, or another key or sequence held with Alt.
void finish_escape()
{
    int c = read_byte(key_gap_ms);
    if (c == esc) { // Alt with a key that sends Escape itself
        c = read_byte(key_gap_ms);
    }
    if (c == '[') {
        c = read_byte(key_gap_ms);
        if (c == '[') { // the Linux console's F1 to F5: ESC [ [ A to E
            (void)read_byte(key_gap_ms);
            return;
        }
        while (c >= 0x20 && c < 0x40) { // parameters and intermediates, up to the final byte
            c = read_byte(key_gap_ms);
        }
    } else if (c == 'O') {
        (void)read_byte(key_gap_ms);
    } else {
        finish_char(c, key_gap_ms);
    }
}

} // namespace

int main()
{
    (void)std::signal(SIGPIPE, SIG_IGN); // a reader gone away is output that fails, no more
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        key_mode = saved;
        key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        key_mode.c_cc[VMIN] = 1;
        key_mode.c_cc[VTIME] = 0;
        catch_signals();
        waiting = 1;
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &key_mode); // TCSANOW: keys typed ahead stay
    }
    put(prompt);

    const int c = read_byte(-1);
    if (terminal && c == esc) {
        finish_escape();
    } else {
        finish_char(c, terminal ? key_gap_ms : -1);
    }
    if (terminal) {
        waiting = 0;
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    put("\n");
    return c == read_err ? 1 : 0;
}
