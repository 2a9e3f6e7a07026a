# SPDX-License-Identifier: MIT
"""pause on a real pseudo-terminal: keys as terminals send them, signals, job control."""
import contextlib
import os
import signal
import sys
import termios
import time
from pathlib import Path

import pexpect
import pytest

from conftest import (HERE, NAMESPACES, NO_PROC, PID1, PROMPT, STATUS, case, differs_on, given,
                      member_of, need_namespaces, wait_for_state)


@pytest.fixture
def spawn(pause):
    """Starts pause on a new pseudo-terminal as a shell's job (jobctl.py), after the given words:
    jobctl's options, a wrapper that execs pause, or a command that runs it. direct: pause itself
    leads the terminal's session. The child's `job` is the pid of the job's leader."""
    children = []

    def start(*words, env=None, direct=False):
        need_namespaces(words)
        args = [str(HERE / "jobctl.py"), *(["--direct"] if direct else []), *words, pause]
        child = pexpect.spawn(sys.executable, args, timeout=5, env=env)
        child.delaybeforesend = None  # keys come when they are sent: some tests time them
        child.job = child.pid
        if not direct:
            child.expect(r"pid (\d+)\r\n")
            child.job = int(child.match.group(1))
        children.append(child)
        if PROMPT.encode() not in (child.before or b""):
            child.expect_exact(PROMPT.encode())
        return child

    yield start
    for child in children:  # whatever is left of the job too, once a case failed or hung
        with contextlib.suppress(ProcessLookupError):
            os.killpg(child.job, signal.SIGKILL)
        child.close(force=True)


def finish(term, status=0):
    term.expect(STATUS)
    assert (int(term.match.group(1)), term.match.group(2).decode()) == (status, "same")
    return term.before


def left_over(term):
    term.expect(r"rest=\[(.*)\]")
    return term.match.group(1)


def one_key_then_next(term, *pieces, rest=b""):
    """Types a key, alone: it must end the wait, unechoed, and leave nothing of itself for the next
    reader. It comes in pieces: bytes typed, a pause of that many seconds, or a signal sent to
    pause. rest: what pause must leave of the pieces (a second key)."""
    time.sleep(0.2)
    assert term.isalive(), "pause must wait for a key"
    # pause is found before the key's clock runs
    pause = member_of(term.job, "pause") if any(isinstance(p, int) for p in pieces) else None
    sent = time.monotonic()
    for piece in pieces:
        if isinstance(piece, float):
            time.sleep(piece)
        elif isinstance(piece, int):
            os.kill(pause, piece)
        else:
            term.send(piece)
    # A piece typed once the key has ended the wait meets a terminal set back: echoed.
    said = finish(term)
    assert said == b"\r\n" or (len(pieces) > 1 and said == b"\r\n" + rest), \
        "the key alone must end the wait, unechoed, and the line be ended"
    assert time.monotonic() - sent < 1.5
    term.send(b"next\n")  # a line end whatever the terminal does with carriage returns
    assert left_over(term) == rest + b"next", "nothing of the key may be left for the next reader"


# Keys whose bytes the terminal itself could alter or hold back: the unit tables check the rest.
@pytest.mark.parametrize("key", [
    case("letter", b"a"),
    case("enter", b"\r"),
    case("ctrl-d", b"\x04"),
    case("ctrl-s", b"\x13"),
    case("ctrl-q", b"\x11"),
    case("4-byte", "🙂".encode()),
    case("arrow", b"\x1b[A"),
    case("escape", b"\x1b"),
    case("paste", b"\x1b[200~pasted\rtext\x1b[201~"),
])
def test_one_key_ends_the_wait_whole_and_unechoed(spawn, key):
    one_key_then_next(spawn(), key)


LATIN1 = "fr_FR.ISO-8859-1"


# Keys in the locales' own character sets, as the C library decodes them.
@pytest.mark.parametrize("locale, key, rest", [
    case("latin-1-csi8-up", LATIN1, b"\x9bA", b""),
    case("euc-jp", "ja_JP.EUC-JP", "あ".encode("euc_jp"), b""),
    case("euc-jp-3-byte", "ja_JP.EUC-JP", "\u4e02".encode("euc_jp"), b""),
    case("big5", "zh_TW.BIG5", "中".encode("big5"), b""),
    case("euc-kr", "ko_KR.EUC-KR", "한".encode("euc_kr"), b""),
    case("gb18030-2-byte", "zh_CN.GB18030", "€".encode("gb18030"), b""),
    case("gb18030-4-byte", "zh_CN.GB18030", "🙂".encode("gb18030"), b""),
    case("c-utf-8-key", "C", "é".encode(), b""),
    case("posix-utf-8-key", "POSIX", "🙂".encode(), b""),
    # Typed ahead: a letter where ISO 8859 has a C1 control, and a Thai letter, are each one key.
    case("pt154-letter-at-osc", "kk_KZ.PT154", "қx".encode("ptcp154"), b"x"),
    case("cp1251-letter-at-dcs", "ru_RU.CP1251", "ђx".encode("cp1251"), b"x"),
    case("koi8-r-sign-at-csi", "ru_RU.KOI8-R", "⌡x".encode("koi8_r"), b"x"),
    case("tis-620-letter", "th_TH.TIS-620", "เx".encode("tis_620"), b"x"),
    case("gb18030-lead-at-dcs", "zh_CN.GB18030", "怈x".encode("gb18030"), b"x"),
])
def test_one_character_is_one_key_in_the_locale_charset(spawn, locale_env, request, locale, key,
                                                         rest):
    if "." in locale and not locale.endswith("UTF-8"):
        differs_on(request, "musl", "no character set but UTF-8: a lone byte may pass by chance",
                   strict=False)
    # Python in the C locale would hand its children LC_CTYPE=C.UTF-8 (PEP 538) but for this.
    env = locale_env(LANG=locale, LC_MESSAGES="C", PYTHONCOERCECLOCALE="0")
    one_key_then_next(spawn(env=env), key, rest=rest)


# Wrappers that exec pause: with descriptors 3 to 1023 open, as a caller may leave them; in a
# mount namespace where the terminal's name is another terminal's, as in a container's /dev/pts;
# and in the C locale where no C.UTF-8 is installed, as with an older glibc.
EXEC = "os.execv(sys.argv[1], sys.argv[1:])"
MANY_FILES = (sys.executable, "-c", "import os, resource, sys; "
              "n = resource.getrlimit(resource.RLIMIT_NOFILE)[1]; "
              "resource.setrlimit(resource.RLIMIT_NOFILE, (n, n)); "
              f"[os.dup2(0, fd) for fd in range(3, 1024)]; {EXEC}")
NAME_TAKEN = (*NO_PROC[:3], sys.executable, "-c", "import os, subprocess, sys; "
              "other = os.openpty(); os.set_inheritable(other[0], True); "
              "subprocess.run(['mount', '--bind', os.ttyname(other[1]), os.ttyname(0)], "
              f"check=True); {EXEC}")
NO_C_UTF8 = (*NO_PROC[:3], "/bin/sh", "-c",
             f'{NO_PROC[-1].split()[0]} -t tmpfs none /usr/lib/locale && LC_ALL=C exec "$0"')


# The key in pieces: bytes typed, a pause of that many seconds, a signal sent to pause.
@pytest.mark.parametrize("words, key", [
    case("sigcont-within-a-key", (), (b"\x1b[", 0.02, signal.SIGCONT, 0.02, b"A")),
    case("enter-where-cr-is-ignored", ("--stty", "igncr"), (b"\r",)),
    case("non-blocking-input", ("--nonblock",), (b"k",)),
    case("descriptors-past-fd-setsize", MANY_FILES, (b"k",)),
    case("terminal-name-taken", NAME_TAKEN, (b"k",), marks=NAMESPACES),
    case("no-own-file", NO_PROC, (b"k",), marks=NAMESPACES),
    case("c-locale-without-c-utf-8", NO_C_UTF8, ("é".encode(),), marks=NAMESPACES),
])
def test_one_key_ends_the_wait_whatever_comes_meanwhile(spawn, pause, words, key):
    if words == NO_PROC and b"libasan" in Path(pause).read_bytes():
        pytest.skip("without /proc, a sanitized build's LeakSanitizer fails at exit")
    one_key_then_next(spawn(*words), *key)


def test_keys_typed_after_the_first_are_left(spawn):
    term = spawn()
    term.send(b"atyped ahead\r")
    finish(term)
    assert left_over(term) == b"typed ahead"


CORE = (signal.SIGQUIT, signal.SIGABRT, signal.SIGSEGV, signal.SIGBUS, signal.SIGFPE,
        signal.SIGILL, signal.SIGTRAP)


def differs_for(request, sig, pid1):
    if sig == signal.SIGRTMIN:
        differs_on(request, "musl", "it keeps signal 34 for itself")
    if pid1:
        differs_on(request, "qemu-user", "qemu as a namespace's first process ends by no signal",
                   run=False)
    elif sig in CORE:
        differs_on(request, "qemu-user", "qemu itself reports a signal that dumps core")
    elif sig in (signal.SIGRTMIN, signal.SIGRTMIN + 1):
        differs_on(request, "qemu-user", "host signals 34 and 35 reach it as its reserved 32, 33")


def signal_id(sig):
    if sig > signal.SIGRTMIN:
        return "rtmax" if sig == signal.SIGRTMAX else f"rtmin+{sig - signal.SIGRTMIN}"
    return signal.Signals(sig).name.lower()[3:]


# Every signal the system has whose default action ends a process, but SIGKILL, which nothing
# catches, and SIGPIPE and SIGXFSZ, which pause ignores: output that fails is no reason to end.
NOT_ENDING = {signal.SIGCHLD, signal.SIGCONT, signal.SIGURG, signal.SIGWINCH, signal.SIGSTOP,
              signal.SIGTSTP, signal.SIGTTIN, signal.SIGTTOU, signal.SIGKILL, signal.SIGPIPE,
              signal.SIGXFSZ}


@pytest.mark.parametrize("sig, target", [
    *(case(signal_id(sig), sig, "pause") for sig in sorted(signal.valid_signals() - NOT_ENDING)),
    case("pid1-term", signal.SIGTERM, "pid1", marks=NAMESPACES),
    case("hello-term", signal.SIGTERM, "hello"),
    case("hello-hup", signal.SIGHUP, "hello"),
    case("hello-pid1-term", signal.SIGTERM, "hello-pid1", marks=NAMESPACES),
    case("hello-pid1-host-proc-term", signal.SIGTERM, "hello-pid1-host-proc", marks=NAMESPACES),
])
def test_signal_sent_restores_terminal_then_ends_by_it(spawn, request, pause, sig, target):
    """pause, or hello running it, sets the terminal back, ends the prompt's line and ends by the
    signal (as a namespace's first process, which no signal ends, with 128 + sig, whether the
    namespace has a /proc of its own or the host's)."""
    pid1 = "pid1" in target
    differs_for(request, sig, pid1)
    hello = target.startswith("hello") and given(request, "hello")
    words = {"pause": (), "pid1": PID1, "hello": (hello,),
             "hello-pid1": (*PID1, "--mount-proc", hello),
             "hello-pid1-host-proc": (*PID1, hello)}[target]
    term = spawn(*words, env={**os.environ, "PATH": f"{Path(pause).parent}:/usr/bin:/bin"})
    os.kill(member_of(term.job, "hello" if hello else "pause"), sig)
    assert finish(term, 128 + sig if pid1 else -sig) == b"\r\n", "the line must still be ended"


# A key that the terminal turns into a signal, or an alarm set before pause started.
@pytest.mark.parametrize("words, key, sig", [
    case("ctrl-c", (), b"\x03", signal.SIGINT),
    case("ctrl-backslash", (), b"\x1c", signal.SIGQUIT),
    case("inherited-alarm", ("--alarm", "1"), b"", signal.SIGALRM),
    case("pid1-ctrl-c", PID1, b"\x03", signal.SIGINT, marks=NAMESPACES),
])
def test_signal_from_the_terminal_or_the_caller_ends_pause_by_it(spawn, request, words, key, sig):
    differs_for(request, sig, words == PID1)
    term = spawn(*words)
    term.send(key)
    assert finish(term, 128 + sig if words == PID1 else -sig) == b"\r\n"


def test_signal_ends_pause_whatever_its_output_does(spawn):
    """Output stopped (Ctrl+S): the line end may be dropped, the signal must not wait for it."""
    term = spawn()
    pause = member_of(term.job, "pause")
    tty = os.open(f"/proc/{pause}/fd/0", os.O_RDWR | os.O_NOCTTY)
    termios.tcflow(tty, termios.TCOOFF)
    os.kill(pause, signal.SIGTERM)
    wait_for_state(pause, ("Z", "gone"), "a signal must end pause whatever its output does")
    termios.tcflow(tty, termios.TCOON)
    os.close(tty)
    assert finish(term, -signal.SIGTERM) in (b"", b"\r\n")


# The key that the terminal turns into the signal, or none: the signal is sent.
@pytest.mark.parametrize("name, key", [
    case("ctrl-c", "INT", b"\x03"),
    case("hup", "HUP", b""),
    case("ctrl-z", "TSTP", b"\x1a"),
])
def test_signal_ignored_at_start_stays_ignored(spawn, name, key):
    term = spawn("--ignore", name)
    if key:
        term.send(key)
    else:
        os.kill(term.job, signal.Signals[f"SIG{name}"])
    time.sleep(0.3)
    assert term.isalive(), "an ignored signal must not end pause"
    term.send(b"k")
    assert finish(term) == b"\r\n"


@pytest.mark.parametrize("words", [
    case("default", ()),
    case("ignored", ("--ignore", "TTOU")),
    case("blocked", ("--block", "TTOU")),
    case("nudged", ("--nudge", "WINCH,CHLD")),  # signals that end nothing, then continued
])
def test_started_in_the_background_keeps_the_terminal_it_is_given(spawn, words):
    term = spawn("--background", *words)
    assert b"stopped in the background" in term.before, "pause must wait for the foreground"
    assert "--nudge" not in words or b"stopped again" in term.before, "nor give up waiting for it"
    one_key_then_next(term, b"k")


@pytest.mark.parametrize("how", ["ctrl-z", "sigstop-sigcont"])
def test_ctrl_z_that_cannot_stop_goes_on_reading_keys(spawn, how):
    """No shell: pause leads its terminal's session. A Ctrl+Z cannot stop it; SIGSTOP can, and
    a continue after the terminal was set as a shell sets it brings key mode back."""
    term = spawn(direct=True)
    if how == "ctrl-z":
        term.send(b"\x1a")
    else:
        os.kill(term.pid, signal.SIGSTOP)
        wait_for_state(term.pid, ("T",), "SIGSTOP must stop pause")
        modes = termios.tcgetattr(term.child_fd)  # a shell's: line editing and echo on
        modes[3] |= termios.ICANON | termios.ECHO
        termios.tcsetattr(term.child_fd, termios.TCSANOW, modes)
        os.kill(term.pid, signal.SIGCONT)
    time.sleep(0.3)
    assert term.isalive()
    assert not termios.tcgetattr(term.child_fd)[3] & termios.ICANON, "key mode must be back at once"
    term.send(b"k")
    term.expect(pexpect.EOF)
    assert term.before == b"\r\n", "no prompt again, as nothing stopped it for a shell"
    term.close()
    assert term.exitstatus == 0


@pytest.mark.parametrize("words, commands", [
    case("fg", (), ["fg"]),
    case("fg-twice", (), ["fg", "fg"]),
    case("kill-while-stopped", (), ["kill"]),
    case("kill-after-bg", (), ["bg", "kill"]),
    case("bg-then-fg", (), ["bg", "fg"]),
    case("fg-with-sigcont-ignored", ("--ignore", "CONT"), ["fg"]),
])
def test_ctrl_z_restores_terminal_and_fg_waits_again(spawn, words, commands):
    term = spawn(*words)
    for i, command in enumerate(commands):
        if i == 0 or commands[i - 1] == "fg":  # after bg, pause stops by itself for the terminal
            term.send(b"\x1a")
        term.expect_exact("stopped")
        lflag = termios.tcgetattr(term.child_fd)[3]
        assert lflag & (termios.ICANON | termios.ECHO) == termios.ICANON | termios.ECHO
        term.send(f"{command}\r")
        if command == "kill":
            finish(term, status=-signal.SIGTERM)
            return
        if command == "fg":
            term.expect_exact(PROMPT)  # asked again, below whatever the shell wrote
            assert not termios.tcgetattr(term.child_fd)[3] & termios.ICANON, "keys read again"
    term.send(b"k")
    assert finish(term) == b"\r\n"


@pytest.mark.parametrize("first, then", [
    case("ctrl-z-and-term", signal.SIGTSTP, (signal.SIGTERM,)),
    case("term-and-cont", signal.SIGSTOP, (signal.SIGTERM,)),
    case("ctrl-z-and-prof", signal.SIGTSTP, (signal.SIGPROF,)),
    case("ctrl-z-and-rt", signal.SIGTSTP, (signal.SIGRTMIN + 5,)),
    case("ctrl-z-and-prof-while-stopped", signal.SIGSTOP, (signal.SIGTSTP, signal.SIGPROF)),
])
def test_a_signal_that_ends_pause_wins_over_one_that_came_with_it(spawn, first, then):
    """A signal that ends pause, sent with a Ctrl+Z, or while stopped so that it comes with the
    SIGCONT of fg, whatever its number: pause ends by it. Where the stop came first and took
    effect, fg lets it through."""
    term = spawn()
    pause = member_of(term.job, "pause")
    os.kill(pause, first)
    if first == signal.SIGSTOP:
        term.expect_exact("stopped")
    for sig in then:
        os.kill(pause, sig)
    if first == signal.SIGSTOP or term.expect([STATUS, "stopped"]) == 1:
        term.send(b"fg\r")
        term.expect(STATUS)
    assert (int(term.match.group(1)), term.match.group(2)) == (-then[-1], b"same")


@pytest.mark.parametrize("leader", ["sh", "hello"])
def test_ctrl_z_below_another_leader_wakes_on_fg(spawn, request, pause, leader):
    """The job's leader stops first and the shell takes the terminal back before pause has given
    it back: pause is stopped for the terminal in the midst, and fg must wake it for good."""
    env = {**os.environ, "PATH": f"{Path(pause).parent}:{os.environ['PATH']}"}
    words = ("sh", "-c", "pause; echo after") if leader == "sh" else (given(request, "hello"),)
    term = spawn(*words, env=env)
    os.kill(term.job, signal.SIGTSTP)  # the leader: the shell takes the terminal back
    term.expect_exact("stopped")
    pause = member_of(term.job, "pause")
    os.kill(pause, signal.SIGTSTP)  # as Ctrl+Z reaches pause a moment later
    wait_for_state(pause, ("T",), "Ctrl+Z must stop pause")
    term.send(b"fg\r")
    term.expect_exact(PROMPT)
    term.send(b"k")
    assert finish(term).endswith(b"\r\n" + (b"after\r\n" if leader == "sh" else b""))
