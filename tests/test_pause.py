# SPDX-License-Identifier: MIT
"""pause on a real pseudo-terminal: keys as terminals send them, signals, job control."""
import os
import signal
import sys
import termios
import time

from pathlib import Path

import pexpect
import pytest

from conftest import HERE, PROMPT, catalog_text, differs_under_emulation, languages, need


@pytest.fixture
def spawn(pause):
    """Starts pause on a new pseudo-terminal as a shell's job (see jobctl.py), after the given
    words (jobctl's options, a wrapper that sets something up, then execs pause, or a command that
    runs it). direct: pause itself leads the terminal's session, as a terminal emulator starts
    it. The child's `job` is the pid of the job's leader."""
    children = []

    def start(*words, env=None, direct=False, prompt=PROMPT):
        env = env or dict(os.environ)
        child = pexpect.spawn(sys.executable, [str(HERE / "jobctl.py"), *(["--direct"] if direct else []), *words, pause],
                              timeout=5, env=env)
        child.delaybeforesend = None  # keys come when they are sent: some tests time them
        if direct:
            child.job = child.pid
        else:
            child.expect(r"pid (\d+)\r\n")
            child.job = int(child.match.group(1))
        children.append(child)
        if prompt.encode() not in (child.before or b""):
            child.expect_exact(prompt.encode())
        return child

    yield start
    for child in children:
        child.close(force=True)


@pytest.fixture
def term(spawn):
    return spawn()


def finish(term, status=0):
    term.expect(r"status (-?\d+) (\w+)\r\n")
    assert (int(term.match.group(1)), term.match.group(2).decode()) == (status, "same")
    return term.before


def one_key_then_next(term, key, rest=b""):
    """Types a key, alone: it must end the wait, unechoed, and leave nothing of itself, so that the
    next reader gets exactly what is typed next. A key given as a tuple comes in pieces: bytes
    typed, a pause of that many seconds, a signal sent to pause, or a function called with the
    terminal. rest: what pause must leave of the pieces (a second key)."""
    time.sleep(0.2)
    assert term.isalive(), "pause must wait for a key"
    sent = time.monotonic()
    for piece in key if isinstance(key, tuple) else (key,):
        if isinstance(piece, float):
            time.sleep(piece)
        elif isinstance(piece, int):
            os.kill(member_of(term.job, "pause"), piece)
        elif callable(piece):
            piece(term)
        else:
            term.send(piece)
    assert finish(term) == b"\r\n", "the key alone must end the wait, unechoed, and the line be ended"
    assert time.monotonic() - sent < 1.5
    term.send(b"next\n")  # a line end whatever the terminal does with carriage returns
    term.expect(r"rest=\[(.*)\]")
    assert term.match.group(1) == rest + b"next", "nothing of the key may be left for the next reader"


def shell_modes(term):
    """Sets the terminal as a shell does when it takes it: line editing and echo on."""
    modes = termios.tcgetattr(term.child_fd)
    modes[3] |= termios.ICANON | termios.ECHO
    termios.tcsetattr(term.child_fd, termios.TCSANOW, modes)


@pytest.mark.parametrize("key", [b"a", b"\r", b" ", b"\x04", "é".encode(), "€".encode(), "🙂".encode(),
                                 b"\x1b[A", b"\x1b[1;5C", b"\x1b[15~", b"\x1bOP", b"\x1b[[A", b"\x1bx", b"\x1b",
                                 b"\x1bO2P", b"\x1bO5M", b"\x1bO5A", b"\x1b[3$", b"\x1b[5$", b"\x1b\x1b[A",
                                 b"\x1b[200~pasted\rtext\x1b[201~", b"\x1b[M !!\x1b[M#!!k", b"\x1b[<0;9;5M\x1b[<0;9;5mk",
                                 b"\x13", b"\x11", b"\x1b]", b"\x1bP", b"\x1b]11;rgb:ffff/ffff/dddd\x07k",
                                 b"\x1b]11;rgb:0/0/0\x1b\\k", b"\x1bP1$r0m\x1b\\k", b"\x1b_Gi=1;OK\x1b\\k", b"\x1b^pm\x1b\\k",
                                 b"\x1bXsos\x1b\\k", "\x1bé".encode()],
                         ids=["letter", "enter", "space", "ctrl-d", "2-byte", "3-byte", "4-byte", "arrow",
                              "ctrl-arrow", "f5", "ss3-f1", "console-f1", "alt-x", "escape", "ss3-shift-f1",
                              "ss3-ctrl-enter", "ss3-ctrl-up", "rxvt-shift-delete", "rxvt-shift-pgup", "alt-up",
                              "paste", "x10-click-then-key", "sgr-click-then-key", "ctrl-s", "ctrl-q", "alt-bracket", "alt-p",
                              "osc-reply-then-key", "osc-st-reply-then-key", "dcs-reply-then-key", "apc-reply-then-key",
                              "pm-then-key", "sos-then-key", "alt-2-byte"])
def test_one_key_ends_the_wait_whole_and_unechoed(term, key):
    one_key_then_next(term, key)


LATIN1 = "fr_FR.ISO-8859-1"


@pytest.mark.parametrize("locale, key", [(LATIN1, b"\xe9"), (LATIN1, b"\xf8"), (LATIN1, b"\x9bA"), (LATIN1, b"\x8fP"),
                                         (LATIN1, b"\x1b\xe9"), (LATIN1, b"\x9d11;rgb:0/0/0\x9ck"), ("ja_JP.EUC-JP", "あ".encode("euc_jp")),
                                         ("ja_JP.EUC-JP", "\u4e02".encode("euc_jp")), ("zh_TW.BIG5", "中".encode("big5")),
                                         ("ko_KR.EUC-KR", "한".encode("euc_kr")), ("zh_CN.GB18030", "€".encode("gb18030")),
                                         ("zh_CN.GB18030", "🙂".encode("gb18030")), ("C", "é".encode()),
                                         ("POSIX", "🙂".encode())],
                         ids=["e-acute", "meta-x", "csi8-up", "ss3-8-f1", "alt-e-acute", "osc8-reply-then-key", "euc-jp", "euc-jp-3-byte",
                              "big5", "euc-kr", "gb18030-2-byte", "gb18030-4-byte", "c-utf-8-key", "posix-utf-8-key"])
def test_one_character_is_one_key_in_the_locale_charset(spawn, locale_env, locale, key):
    # Python in the C locale would hand its children LC_CTYPE=C.UTF-8 (PEP 538) but for this.
    one_key_then_next(spawn(env=locale_env(LANG=locale, LC_MESSAGES="C", PYTHONCOERCECLOCALE="0")), key)


@pytest.mark.parametrize("words, key, rest", [
    ((), (b"\x1b[", 0.02, signal.SIGCONT, 0.02, b"A"), b""), (("--stty", "igncr"), b"\r", b""),
    ((), (b"\x1b", 0.03, b"[", 0.03, b"A"), b""), ((), (b"\x1b", 0.1, b"x"), b"x"),
    ((), (b"\x1b[200~pas", 0.3, b"ted", 0.4, b" text\x1b[201~"), b""), ((), b"\x1b[200~text\x1b\x1b[201~x", b"x"),
    ((), b"\x1b[2@x", b"x"), (("--nonblock",), b"k", b""),
], ids=["sigcont-within-a-key", "enter-where-cr-is-ignored", "slow-link-arrow", "escape-then-letter",
        "paste-in-pieces", "paste-ending-in-escape-then-key", "csi-at-then-key", "non-blocking-input"])
def test_one_key_ends_the_wait_whatever_comes_meanwhile(spawn, words, key, rest):
    one_key_then_next(spawn(*words), key, rest)


@pytest.mark.parametrize("language, locale", languages().items())
def test_prompt_in_each_language_then_one_key(spawn, locale_env, pause, language, locale):
    prompt = catalog_text(pause, language, PROMPT)
    assert prompt != PROMPT, f"po/{language}.po must translate the prompt"
    one_key_then_next(spawn(env=locale_env(LANG=f"{locale}.UTF-8"), prompt=prompt), "é".encode())


def test_keys_typed_after_the_first_are_left(term):
    term.send(b"atyped ahead\r")
    finish(term)
    term.expect(r"rest=\[(.*)\]")
    assert term.match.group(1) == b"typed ahead"


def wait_for_state(pid, states, failure):
    """Waits until the process is in one of the states of /proc/PID/stat ("gone" once reaped)."""
    deadline = time.monotonic() + 5
    while True:
        try:
            with open(f"/proc/{pid}/stat") as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except (FileNotFoundError, ProcessLookupError):  # reaped before or while it was read
            state = "gone"
        if state in states:
            return
        assert time.monotonic() < deadline, failure
        time.sleep(0.02)


PID1 = ("unshare", "--fork", "--pid")  # pause as a container's first process: no default action


@pytest.mark.parametrize("words, how, status", [
    ((), "\x03", -signal.SIGINT), ((), "\x1c", -signal.SIGQUIT), ((), signal.SIGTERM, None), ((), signal.SIGHUP, None),
    ((), signal.SIGUSR1, None), ((), signal.SIGUSR2, None), ((), signal.SIGVTALRM, None), ((), signal.SIGPROF, None),
    ((), signal.SIGXCPU, None), ((), signal.SIGPWR, None), ((), signal.SIGABRT, None), ((), signal.SIGRTMIN + 1, None),
    ((), signal.SIGRTMAX, None), (("--alarm", "1"), None, -signal.SIGALRM), ((), "output stopped", -signal.SIGTERM),
    ((), signal.SIGSEGV, None), ((), signal.SIGBUS, None), ((), signal.SIGFPE, None), ((), signal.SIGILL, None),
    ((), signal.SIGTRAP, None), ((), signal.SIGSYS, None),
    (PID1, "\x03", 128 + signal.SIGINT), (PID1, signal.SIGTERM, 128 + signal.SIGTERM),
], ids=["ctrl-c", "ctrl-backslash", "term", "hup", "usr1", "usr2", "vtalrm", "prof", "xcpu", "pwr", "abrt", "rtmin+1",
        "rtmax", "inherited-alarm", "output-stopped", "segv", "bus", "fpe", "ill", "trap", "sys", "pid1-ctrl-c",
        "pid1-term"])
def test_signal_restores_terminal_then_ends_by_it(spawn, request, words, how, status):
    sig = how if isinstance(how, int) else -(status or 0)
    if sig in (signal.SIGQUIT, signal.SIGABRT, signal.SIGSEGV, signal.SIGBUS, signal.SIGFPE, signal.SIGILL,
               signal.SIGTRAP):
        differs_under_emulation(request, "qemu itself reports a signal that dumps core on the terminal")
    elif sig == signal.SIGRTMIN + 1:
        differs_under_emulation(request, "host signals 34 and 35 reach the guest as its reserved 32 and 33")
    elif words == PID1:
        differs_under_emulation(request, "qemu as a namespace's first process ends by no signal", run=False)
    term = spawn(*words)
    pause = member_of(term.job, "pause")
    if isinstance(how, int):
        os.kill(pause, how)
    elif how == "output stopped":  # the line end may be dropped, the signal must not wait for it
        tty = os.open(f"/proc/{pause}/fd/0", os.O_RDWR | os.O_NOCTTY)
        termios.tcflow(tty, termios.TCOOFF)
        os.kill(pause, signal.SIGTERM)
        wait_for_state(pause, ("Z", "gone"), "a signal must end pause whatever its output does")
        termios.tcflow(tty, termios.TCOON)
        os.close(tty)
        assert finish(term, status) in (b"", b"\r\n")
        return
    elif how:
        term.send(how)
    assert finish(term, status or -how) == b"\r\n", "the prompt's line must still be ended"


@pytest.mark.parametrize("name, how", [("INT", "\x03"), ("HUP", signal.SIGHUP), ("TSTP", "\x1a")],
                         ids=["ctrl-c", "hup", "ctrl-z"])
def test_signal_ignored_at_start_stays_ignored(spawn, name, how):
    term = spawn("--ignore", name)
    if isinstance(how, str):
        term.send(how)
    else:
        os.kill(term.job, how)
    time.sleep(0.3)
    assert term.isalive(), "an ignored signal must not end pause"
    term.send(b"k")
    assert finish(term) == b"\r\n"


@pytest.mark.parametrize("ttou", ["default", "ignored", "blocked", "nudged"])
def test_started_in_the_background_keeps_the_terminal_it_is_given(spawn, ttou):
    with_ttou = {"default": (), "ignored": ("--ignore", "TTOU"), "blocked": ("--block", "TTOU"),
                 "nudged": ("--nudge", "WINCH,CHLD")}  # signals that end nothing, then continued behind
    term = spawn("--background", *with_ttou[ttou])
    assert b"stopped in the background" in term.before, "pause must wait for the foreground to prompt"
    assert ttou != "nudged" or b"stopped again" in term.before, "nor give up waiting for it"
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
        shell_modes(term)
        os.kill(term.pid, signal.SIGCONT)
    time.sleep(0.3)
    assert term.isalive()
    assert not termios.tcgetattr(term.child_fd)[3] & termios.ICANON, "key mode must be back at once"
    term.send(b"k")
    term.expect(pexpect.EOF)
    assert term.before == b"\r\n", "no prompt again, as nothing stopped it for a shell"
    term.close()
    assert term.exitstatus == 0


def member_of(group, name):
    """The pid of the process called name in the given process group."""
    for stat in Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)
        except OSError:
            continue
        if fields[0].endswith(f"({name}") and int(fields[1].split()[2]) == group:
            return int(stat.parent.name)
    raise LookupError(f"no {name} in process group {group}")


@pytest.mark.parametrize("words, commands", [((), ["fg"]), ((), ["fg", "fg"]), ((), ["kill"]), ((), ["bg", "kill"]),
                                            (("--ignore", "CONT"), ["fg"])],
                         ids=["fg", "fg-twice", "kill-while-stopped", "kill-after-bg", "fg-with-sigcont-ignored"])
def test_ctrl_z_restores_terminal_and_fg_waits_again(spawn, words, commands):
    term = spawn(*words)
    for i, command in enumerate(commands):
        if i == 0 or commands[i - 1] == "fg":  # after bg, pause stops by itself for the terminal
            term.send(b"\x1a")
        term.expect_exact("stopped")
        lflag = termios.tcgetattr(term.child_fd)[3]
        assert lflag & (termios.ICANON | termios.ECHO) == termios.ICANON | termios.ECHO
        term.send(f"{command}\r")
        if command == "bg":
            continue
        if command == "kill":
            finish(term, status=-signal.SIGTERM)
            return
        term.expect_exact(PROMPT)  # asked again, below whatever the shell wrote
        assert not termios.tcgetattr(term.child_fd)[3] & termios.ICANON, "resumed, it must read keys again"
    term.send(b"k")
    assert finish(term) == b"\r\n"


@pytest.mark.parametrize("first", [signal.SIGTSTP, signal.SIGSTOP], ids=["ctrl-z-and-term", "term-and-cont"])
def test_a_signal_that_ends_pause_wins_over_one_that_came_with_it(term, first):
    """SIGTERM sent with a Ctrl+Z, or while stopped so that it comes with the SIGCONT of fg: pause
    ends by SIGTERM. Where the stop came first and took effect, fg lets SIGTERM through."""
    pause = member_of(term.job, "pause")
    os.kill(pause, first)
    if first == signal.SIGSTOP:
        term.expect_exact("stopped")
    os.kill(pause, signal.SIGTERM)
    if first == signal.SIGSTOP or term.expect([r"status (-?\d+) (\w+)\r\n", "stopped"]) == 1:
        term.send(b"fg\r")
        term.expect(r"status (-?\d+) (\w+)\r\n")
    assert (int(term.match.group(1)), term.match.group(2)) == (-signal.SIGTERM, b"same")


@pytest.mark.parametrize("leader", ["sh", "hello"])
def test_ctrl_z_below_another_leader_wakes_on_fg(spawn, request, leader):
    """The job's leader stops first and the shell takes the terminal back before pause has given
    it back: pause is stopped for the terminal in the midst, and fg must wake it for good."""
    env = {**os.environ, "PATH": f"{os.path.dirname(request.config.getoption('--pause'))}:{os.environ['PATH']}"}
    words = {"sh": ("sh", "-c", "pause; echo after"), "hello": (need(request.config.getoption("--hello"), "no --hello"),)}
    term = spawn(*words[leader], env=env)
    os.kill(term.job, signal.SIGTSTP)  # the leader: the shell takes the terminal back
    term.expect_exact("stopped")
    pause = member_of(term.job, "pause")
    os.kill(pause, signal.SIGTSTP)  # as Ctrl+Z reaches pause a moment later
    wait_for_state(pause, ("T",), "Ctrl+Z must stop pause")
    term.send(b"fg\r")
    term.expect_exact(PROMPT)
    term.send(b"k")
    assert finish(term).endswith(b"\r\n" + (b"after\r\n" if leader == "sh" else b""))
