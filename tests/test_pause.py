# SPDX-License-Identifier: MIT
"""pause on a real pseudo-terminal and on plain input."""
import os
import signal
import subprocess
import sys
import termios
import time

import pexpect
import pytest

from conftest import HERE, PROMPT


@pytest.fixture
def spawn(pause):
    """Starts pause on a new pseudo-terminal as a shell's foreground job (see jobctl.py), after
    the given command words (a wrapper that sets something up, then execs pause)."""
    children = []

    def start(*wrap):
        child = pexpect.spawn(sys.executable, [str(HERE / "jobctl.py"), *wrap, pause], timeout=5)
        children.append(child)
        child.expect(r"pid (\d+)\r\n")
        child.pid_of_pause = int(child.match.group(1))
        if PROMPT.encode() not in child.before:
            child.expect_exact(PROMPT)
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


@pytest.mark.parametrize("key", [b"a", b"\r", b" ", b"\x04", "é".encode(), "€".encode(), "🙂".encode(),
                                 b"\x1b[A", b"\x1b[1;5C", b"\x1b[15~", b"\x1bOP", b"\x1b[[A", b"\x1bx", b"\x1b"],
                         ids=["letter", "enter", "space", "ctrl-d", "2-byte", "3-byte", "4-byte", "arrow",
                              "ctrl-arrow", "f5", "ss3-f1", "console-f1", "alt-x", "escape"])
def test_one_key_ends_the_wait_whole_and_unechoed(term, key):
    time.sleep(0.2)
    assert term.isalive(), "pause must wait for a key"
    sent = time.monotonic()
    term.send(key)
    assert finish(term) == b"\r\n", "only the line end may follow the prompt: no echo"
    assert time.monotonic() - sent < 1.0
    term.send(b"next\r")
    term.expect(r"rest=\[(.*)\]")
    assert term.match.group(1) == b"next", "nothing of the key may be left for the next reader"


def test_keys_typed_after_the_first_are_left(term):
    term.send(b"atyped ahead\r")
    finish(term)
    term.expect(r"rest=\[(.*)\]")
    assert term.match.group(1) == b"typed ahead"


@pytest.mark.parametrize("how", ["\x03", "\x1c", signal.SIGTERM, signal.SIGHUP], ids=["ctrl-c", "ctrl-backslash", "term", "hup"])
def test_signal_restores_terminal_then_ends_by_it(term, how):
    if isinstance(how, str):
        term.send(how)
        sig = {"\x03": signal.SIGINT, "\x1c": signal.SIGQUIT}[how]
    else:
        os.kill(term.pid_of_pause, how)
        sig = how
    assert finish(term, status=-sig) == b"\r\n", "the prompt's line must still be ended"


@pytest.mark.parametrize("name, how", [("INT", "\x03"), ("HUP", signal.SIGHUP)], ids=["ctrl-c", "hup"])
def test_signal_ignored_at_start_stays_ignored(spawn, name, how):
    term = spawn("sh", "-c", f"trap '' {name}; exec \"$0\"")
    if isinstance(how, str):
        term.send(how)
    else:
        os.kill(term.pid_of_pause, how)
    time.sleep(0.3)
    assert term.isalive(), "an ignored signal must not end pause"
    term.send(b"k")
    assert finish(term) == b"\r\n"


def stopped(pid):
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0] == "T"


@pytest.mark.parametrize("stops", [1, 2])
def test_ctrl_z_restores_terminal_and_resume_waits_again(term, stops):
    for _ in range(stops):
        term.send(b"\x1a")
        deadline = time.monotonic() + 5
        while not stopped(term.pid_of_pause):
            assert time.monotonic() < deadline, "Ctrl+Z must stop pause"
            time.sleep(0.02)
        lflag = termios.tcgetattr(term.child_fd)[3]
        assert lflag & (termios.ICANON | termios.ECHO) == termios.ICANON | termios.ECHO
        os.kill(term.pid_of_pause, signal.SIGCONT)
        term.expect_exact(PROMPT)  # asked again, below whatever the shell wrote
        assert not termios.tcgetattr(term.child_fd)[3] & termios.ICANON, "resumed, it must read keys again"
    term.send(b"k")
    assert finish(term) == b"\r\n"


@pytest.mark.parametrize("source", ["pipe", "file"])
@pytest.mark.parametrize("data, rest", [(b"xyz", b"yz"), (b"", b""), (b"\n\n", b"\n"), ("éyz".encode(), b"yz"),
                                        ("🙂yz".encode(), b"yz"), (b"\x1b[A", b"[A"),
                                        (b"\xc3xyz", {"pipe": b"yz", "file": b"xyz"})],
                         ids=["letter", "empty", "newline", "2-byte", "4-byte", "escape-is-one-character", "broken"])
def test_plain_input_gives_up_one_character(pause, tmp_path, source, data, rest):
    (tmp_path / "in").write_bytes(data)
    with open(tmp_path / "in", "rb") as f:
        kw = {"stdin": f} if source == "file" else {"input": data}
        out = subprocess.run(["sh", "-c", '"$0"; echo "rc=$?"; cat', pause], capture_output=True, timeout=10, **kw)
    assert out.stdout == (PROMPT + "\nrc=0\n").encode() + (rest[source] if isinstance(rest, dict) else rest)


@pytest.mark.parametrize("stdin", ["closed", "directory"])
def test_unreadable_input_fails_at_once(pause, stdin):
    kw = {"closed": {"stdin": subprocess.DEVNULL, "preexec_fn": lambda: os.close(0)},
          "directory": {"stdin": os.open("/", os.O_RDONLY)}}[stdin]
    out = subprocess.run([pause], capture_output=True, timeout=10, **kw)
    assert (out.returncode, out.stdout) == (1, (PROMPT + "\n").encode())


def test_output_failure_still_waits_for_the_key(pause, failing_stdout):
    with subprocess.Popen([pause], stdin=subprocess.PIPE, **failing_stdout) as p:
        time.sleep(0.2)
        assert p.poll() is None, "pause must still wait for the key"
        p.stdin.write(b"k")
        p.stdin.close()
        assert p.wait(timeout=5) == 0
