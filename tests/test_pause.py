# SPDX-License-Identifier: MIT
"""pause on a real pseudo-terminal: keys as terminals send them, signals, job control."""
import os
import signal
import sys
import termios
import time

import pexpect
import pytest

from conftest import HERE, PROMPT


@pytest.fixture
def spawn(pause):
    """Starts pause on a new pseudo-terminal as a shell's job (see jobctl.py), after the given
    words (jobctl's options, or a wrapper that sets something up, then execs pause). direct:
    pause itself leads the terminal's session, as a terminal emulator starts it."""
    children = []

    def start(*words, env=None, direct=False):
        env = env or dict(os.environ)
        if direct:
            child = pexpect.spawn(pause, timeout=5, env=env)
            child.pid_of_pause = child.pid
        else:
            child = pexpect.spawn(sys.executable, [str(HERE / "jobctl.py"), *words, pause], timeout=5, env=env)
            child.expect(r"pid (\d+)\r\n")
            child.pid_of_pause = int(child.match.group(1))
        children.append(child)
        if PROMPT.encode() not in (child.before or b""):
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


def one_key_then_next(term, key):
    """Types a key and then, as a terminal sends them, the next keys: the key alone must end the
    wait, unechoed, and the next reader must get exactly the next keys."""
    time.sleep(0.2)
    assert term.isalive(), "pause must wait for a key"
    sent = time.monotonic()
    if key == b"\x1b":  # a lone Escape is told from Alt+key only by the gap after it
        term.send(key)
        time.sleep(0.2)
        term.send(b"next\r")
    else:
        term.send(key + b"next\r")
    assert finish(term) == b"\r\n", "only the line end may follow the prompt: no echo"
    assert time.monotonic() - sent < 1.0
    term.expect(r"rest=\[(.*)\]")
    assert term.match.group(1) == b"next", "nothing of the key may be left for the next reader"


@pytest.mark.parametrize("key", [b"a", b"\r", b" ", b"\x04", "é".encode(), "€".encode(), "🙂".encode(),
                                 b"\x1b[A", b"\x1b[1;5C", b"\x1b[15~", b"\x1bOP", b"\x1b[[A", b"\x1bx", b"\x1b",
                                 b"\x1bO2P", b"\x1bO5M", b"\x1bO5A", b"\x1b[3$", b"\x1b[5$", b"\x1b\x1b[A",
                                 b"\x1b[200~pasted\rtext\x1b[201~", b"\x1b[M !!\x1b[M#!!k", b"\x1b[<0;9;5M\x1b[<0;9;5mk"],
                         ids=["letter", "enter", "space", "ctrl-d", "2-byte", "3-byte", "4-byte", "arrow",
                              "ctrl-arrow", "f5", "ss3-f1", "console-f1", "alt-x", "escape", "ss3-shift-f1",
                              "ss3-ctrl-enter", "ss3-ctrl-up", "rxvt-shift-delete", "rxvt-shift-pgup", "alt-up",
                              "paste", "x10-click-then-key", "sgr-click-then-key"])
def test_one_key_ends_the_wait_whole_and_unechoed(term, key):
    one_key_then_next(term, key)


@pytest.mark.parametrize("key", [b"\xe9", b"\xf8", b"\x9bA", b"\x8fP", b"\x1b\xe9"],
                         ids=["e-acute", "meta-x", "csi8-up", "ss3-8-f1", "alt-e-acute"])
def test_one_byte_is_one_character_in_an_eight_bit_locale(spawn, locale_env, key):
    one_key_then_next(spawn(env=locale_env(LANG="fr_FR.ISO-8859-1", LC_MESSAGES="C")), key)


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


def test_started_in_the_background_keeps_the_terminal_it_is_given(spawn):
    term = spawn("--background")
    assert b"stopped in the background" in term.before, "pause must wait for the foreground to prompt"
    one_key_then_next(term, b"k")


def test_ctrl_z_that_cannot_stop_goes_on_reading_keys(spawn):
    term = spawn(direct=True)
    term.send(b"\x1a")
    time.sleep(0.3)
    assert term.isalive()
    assert not termios.tcgetattr(term.child_fd)[3] & termios.ICANON, "key mode must be back at once"
    term.send(b"k")
    term.expect(pexpect.EOF)
    assert term.before == b"\r\n", "no prompt again, as nothing stopped"
    term.close()
    assert term.exitstatus == 0


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
