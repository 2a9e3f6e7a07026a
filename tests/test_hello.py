# SPDX-License-Identifier: MIT
"""The greeter, run as a process: exact bytes, order, exit status, the command it runs."""
import contextlib
import functools
import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path, PureWindowsPath

import pytest

from conftest import (GREETING, NAMESPACES, NO_PROC, PID1, PROMPT, PROMPT_DE, case, differs_on,
                      member_of, need, need_namespaces, wait_for_state)
from jobctl import clean_signals


@pytest.mark.parametrize("args, stdin", [
    case("none", [], b"x"),
    case("none-input-at-end", [], b""),
    case("option", ["-h"], b"x"),
    case("mixed", ["--help", "-v", "--", "a b", "*", ""], b"x"),
    case("many", [f"arg{i}" for i in range(2000)], b"x"),
])
def test_greets_then_pauses_whatever_the_arguments(greeter, args, stdin):
    out = greeter.run(*args, stdin=stdin)
    assert (out.returncode, out.stderr) == (0, b"")
    line = GREETING + greeter.line_end
    assert out.stdout[:len(line)] == line
    pause_said = out.stdout[len(line):]
    if greeter.windows:  # Wine words the rest of the prompt its own way
        assert pause_said.startswith(PROMPT.split(" .")[0].encode())
    else:
        assert pause_said == b"standin\n"
        assert greeter.pause_runs()[0].startswith("0\n"), "pause must get no arguments"


@pytest.mark.windows
def test_loads_the_runtime_dlls_beside_it(greeter):
    out = greeter.run(env={"WINEDEBUG": "+loaddll"})
    assert out.returncode == 0
    native = {PureWindowsPath(path.replace("\\\\", "\\")) for path in
              re.findall(r'Loaded L"([^"]*)" at \S+: native', out.stderr.decode(errors="replace"))}
    exe = Path(greeter.path)
    beside = {p.name.lower() for p in exe.parent.glob("*.dll")}
    assert {p.name.lower() for p in native} == beside | {exe.name.lower()}, "the DLLs beside it"
    folder = str(PureWindowsPath("Z:" + str(exe.parent).replace("/", "\\"))).lower()
    assert all(str(p.parent).lower() == folder for p in native), f"loaded from elsewhere: {native}"


@pytest.mark.posix
def test_greeting_precedes_the_command_in_one_file(greeter, tmp_path):
    with open(tmp_path / "out", "wb") as f:
        out = greeter.run(stdout=f)
    assert out.returncode == 0
    assert (tmp_path / "out").read_bytes() == GREETING + b"\nstandin\n"


@pytest.mark.parametrize("caller", ["default", "ignored"])
@pytest.mark.posix
def test_output_failure_changes_nothing_else(greeter, failing_stdout, caller):
    out = greeter.run(ignore="PIPE,XFSZ,TERM,HUP" if caller == "ignored" else "", **failing_stdout)
    assert (out.returncode, out.stderr) == (0, b"")
    runs = greeter.pause_runs()
    assert len(runs) == 1, "pause must run exactly once"
    masks = dict(line.split(":\t") for line in runs[0].splitlines()[1:])
    for sig in (signal.SIGPIPE, signal.SIGXFSZ, signal.SIGTERM, signal.SIGHUP):
        bit = 1 << (sig - 1)
        assert bool(int(masks["SigIgn"], 16) & bit) == (caller == "ignored"), \
            f"the command must get {sig.name} as the caller left it"
        assert not int(masks["SigBlk"], 16) & bit, f"pause must not inherit {sig.name} blocked"


# How pause ends, how the greeter is run, and the status it must end with.
@pytest.mark.parametrize("env, how, status", [
    case("fails", {"PAUSE_STATUS": "3"}, {}, 0),
    case("missing", {"PATH": "/nonexistent"}, {}, 0),
    case("ctrl-c", {"PAUSE_KILL": "INT"}, {}, -signal.SIGINT),
    case("ctrl-backslash", {"PAUSE_KILL": "QUIT"}, {}, -signal.SIGQUIT),
    case("ctrl-c-sigchld-ignored", {"PAUSE_KILL": "INT"}, {"ignore": "CHLD"}, -signal.SIGINT),
    case("ctrl-c-first-process", {"PAUSE_KILL": "INT"}, {"under": PID1}, 128 + signal.SIGINT,
         marks=NAMESPACES),
])
@pytest.mark.posix
def test_status_is_zero_but_for_an_interrupt(greeter, request, tmp_path, env, how, status):
    if "under" in how:
        differs_on(request, "qemu-user", "qemu as a namespace's first process ends by no signal",
                   run=False)
    alone = tmp_path / "hello"  # with no pause beside it
    shutil.copy(greeter.path, alone)
    out = greeter.run(env=env, path=alone, start_new_session=True, **how)
    assert out.returncode == status
    assert out.stdout == GREETING + b"\n" + (b"" if "PATH" in env else b"standin\n")


CHROOT = shutil.which("chroot", path=f"/usr/sbin:/sbin:{os.defpath}")  # not on a user's PATH


def without_proc(out):
    """Status, output and errors of a run without /proc, where a sanitized build's LeakSanitizer
    fails at exit (it cannot even read the options that would turn it off): its output alone."""
    if b"LeakSanitizer" in out.stderr:
        return 0, out.stdout, b""
    return out.returncode, out.stdout, out.stderr


@pytest.mark.parametrize("how, lang", [
    case("absolute", "absolute", "C"),
    case("relative", "relative", "C"),
    case("symlink", "symlink", "C"),
    case("no-path", "no-path", "C"),
    case("de", "absolute", "de_DE.UTF-8"),
    case("path-at-its-limit", "long-path", "C"),
    case("no-proc", "no-proc", "C", marks=NAMESPACES),
    case("path-filling-the-limit", "filling", "C"),
])
@pytest.mark.posix
def test_finds_the_pause_beside_it_when_path_has_none(greeter, locale_env, tmp_path, how, lang):
    """Without /proc, as in a bare chroot or container, hello knows its folder by the path it was
    started by."""
    tree = tmp_path / "unpacked anywhere"
    shutil.copytree(Path(greeter.path).parents[1], tree / "t")
    hello = tree / "t/bin/hello"
    (tmp_path / "hello").symlink_to(hello)
    path = {"relative": "./t/bin/hello", "symlink": tmp_path / "hello"}.get(how, hello)
    # An inherited PATH that holds pause, so long that with hello's folder added "PATH=..." would
    # just pass 128 KiB, which the kernel hands no program: it must be handed on as it is. One
    # without pause that hello's folder fills to 128 KiB exactly: it must be handed on longer.
    folder = hello.parent
    at_limit = f"{folder}:" + "/" * (128 * 1024 - len("PATH=") - 2 * len(f":{folder}") + 2)
    filling = "/" * (128 * 1024 - len("PATH=") - len(f":{folder}") - 1)
    paths = {"no-path": None, "long-path": at_limit, "filling": filling}
    env = {**locale_env(LANG=lang), "PATH": paths.get(how, "/nonexistent")}
    out = greeter.run(stdin=b"", env=env, path=path, cwd=tree,
                      under=NO_PROC if how == "no-proc" else ())
    prompt = PROMPT_DE if lang.startswith("de") else PROMPT
    assert without_proc(out) == (0, GREETING + b"\n" + prompt.encode() + b"\n", b"")


@pytest.mark.parametrize("where", [
    case("root", "root", marks=NAMESPACES),
    case("no-path", "no-path"),
    case("bare-name-no-proc", "bare-name-no-proc", marks=NAMESPACES),
    case("colon", "colon"),
])
@pytest.mark.posix
def test_path_it_hands_on_ends_with_its_folder(greeter, request, tmp_path, where):
    """hello in "/" itself adds "/", not an empty entry, which would mean the current folder (there
    a decoy waits); with no PATH, the system's default path comes first, then hello's folder. Found
    on PATH without /proc (a decoy hello in the current folder), or in a folder whose name holds
    ':', which a PATH cannot hold, it adds nothing."""
    if where == "bare-name-no-proc":
        differs_on(request, "qemu-user", "qemu answers /proc/self/exe itself, /proc or none")
    root = tmp_path / "root"
    folder = root / "a:b" if where == "colon" else root
    folder.mkdir(parents=True)
    (root / "usr").mkdir()
    (root / "cwd").mkdir()
    for link in ("bin", "lib", "lib32", "lib64", "libx32", "sbin"):
        if Path("/", link).is_symlink():
            (root / link).symlink_to(os.readlink(Path("/", link)))
    shutil.copy(greeter.path, folder / "hello")
    shutil.copy(greeter.path, root / "cwd/hello")
    for script, says in ((root / "pause", '"$PATH"'), (root / "cwd/pause", "decoy")):
        script.write_text(f"#!/bin/sh\necho {says}\n")
        script.chmod(0o755)
    if where == "root":  # hello is /hello, started from /cwd, with no /proc to tell it
        under = [shutil.which("unshare"), "--map-root-user", "--mount", "/bin/sh", "-c",
                 f'{shutil.which("mount")} --bind /usr "$0/usr" && exec {CHROOT} "$0" /bin/sh -c '
                 '"cd /cwd && exec /hello"']
        out = greeter.run(env={"PATH": "/nonexistent"}, under=under, path=root)  # the root is $0
        expected = "/nonexistent:/"
    elif where == "no-path":
        out = greeter.run(env={"PATH": None}, path=root / "hello", cwd=root / "cwd")
        expected = f"{os.confstr('CS_PATH')}:{root}"
    else:
        bare = where == "bare-name-no-proc"
        out = greeter.run(env={"PATH": str(root)}, path="hello" if bare else folder / "hello",
                          cwd=root / "cwd", under=NO_PROC if bare else ())
        expected = str(root)
    assert without_proc(out)[:2] == (0, GREETING + f"\n{expected}\n".encode())


# What runs below hello in the cases where a signal ends it. The command, a stand-in for pause
# that a signal must end, records in $PIDS its PID and its shell's, then "ready"; a wrapper starts
# processes of its own below hello (their PIDs recorded too, "keeps" after one that ignores
# SIGTERM), then execs hello. Under strace, what hello sends is traced.
ALONE = 'echo "$$" >>"$PIDS"; echo "$PPID" >>"$PIDS"; echo ready >>"$PIDS"; exec sleep 1000'
# Without /proc and with no group of hello's, nothing can reach these.
UNREACHED = ALONE.replace('$$"', '$$ keeps"').replace('PPID"', 'PPID keeps"')
NESTED = f"sh -c '{ALONE}' & wait"
# The first SIGTERM does not end it, but says so.
STUBBORN = ('trap "trap - TERM; echo caught >>\\"\\$PIDS\\"" TERM; echo "$$" >>"$PIDS"; '
            'echo ready >>"$PIDS"; while :; do sleep 1000 & wait $!; done')
ADOPTED = ("sh -c 'trap \"sleep 0.2; exit\" TERM; sleep 1000 & wait' & sleep 0.1; "
           'echo ready >>"$PIDS"; wait')


def jobs(count, job="sleep 1000", mark=""):
    loop = f'for i in $(seq {count}); do {job} & echo "$! {mark}" >>"$PIDS"; done'
    return ("sh", "-c", f'{loop}; exec "$0"')


IGNORING = jobs(5, "(trap '' TERM; exec sleep 1000)", "keeps")
TRACED = ("strace", "-o", "TRACE", "-e", "trace=kill,pidfd_open,pidfd_send_signal")
# The signal comes as system() starts, before the command exists: system() first blocks SIGCHLD.
LATE = (*TRACED[:4], f"{TRACED[4]},rt_sigprocmask",
        "-e", "inject=rt_sigprocmask:delay_exit=500000:when=1")
CALLER = ("sh", "-c", 'trap \'echo "$$ caller" >>"$PIDS"\' TERM; "$0" "$@" & wait $!; wait $!')
TERM = -signal.SIGTERM
EXITED = 128 + signal.SIGTERM  # as a namespace's first process, or as the caller's shell says


ADOPTING = (*PID1, "--mount-proc")


# What runs hello, what its command runs, what to wait for before the signals are sent, how many,
# the status hello must end with, and within how many seconds.
@pytest.mark.parametrize("under, command, until, signals, status, seconds", [
    case("alone", (), ALONE, "ready", 1, TERM, 1.0),
    case("command-below-a-shell", TRACED, NESTED, "ready", 1, TERM, 1.0),
    case("list-longer-than-one-read", (*TRACED, *jobs(60)), ALONE, "ready", 1, TERM, 1.0),
    case("sixteen-others-first", jobs(20), ALONE, "ready", 1, TERM, 1.0),
    case("survivors-share-one-second", IGNORING, ALONE, "ready", 1, TERM, 2.0),
    case("before-the-command", LATE, ALONE, "greeting", 1, TERM, 2.0),
    case("second-signal-passed-on", (), STUBBORN, "ready", 2, TERM, 1.0),
    case("group-when-leading-it", NO_PROC, ALONE, "ready", 1, TERM, 1.0, marks=NAMESPACES),
    case("never-the-callers-group", (*CALLER, *NO_PROC), UNREACHED, "ready", 1, EXITED, 2.0,
         marks=NAMESPACES),
    case("adopted-as-first-process", ADOPTING, ADOPTED, "ready", 1, EXITED, 0.8, marks=NAMESPACES),
])
@pytest.mark.posix
def test_sigterm_ends_every_process_below_then_hello(greeter, request, tmp_path, under, command,
                                                     until, signals, status, seconds):
    """SIGTERM to hello (sent that many times, each once the command says it caught the one
    before) reaches every process below it, each before the shell that waits for it, and no other
    process; hello then ends by it, its command's processes ended, a second after the signal at
    most whatever still runs."""
    bin_ = tmp_path / "bin"
    bin_.mkdir()
    (bin_ / "pause").write_text(f"#!/bin/sh\n{command}\n")
    (bin_ / "pause").chmod(0o755)
    pids, trace = tmp_path / "pids", tmp_path / "trace"
    pids.touch()
    words = [str(trace) if word == "TRACE" else word for word in under]
    if under[:len(PID1)] == PID1:
        differs_on(request, "qemu-user", "qemu as a namespace's first process ends by no signal",
                   run=False)
    if "strace" in words:
        differs_on(request, "qemu-user", "strace sees what qemu sends, not hello", run=False)
        strace = need(shutil.which("strace"), "strace is missing (Debian: strace)")
        words[words.index("strace")] = strace
        need(traces(), "strace cannot trace here (ptrace barred, as in some containers)")
    need_namespaces(words)
    env = {**greeter.env, "PATH": f"{bin_}:/usr/bin:/bin", "PIDS": str(pids)}
    started = subprocess.Popen([*words, greeter.path], stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, env=env, preexec_fn=clean_signals,
                               start_new_session=True)
    try:
        if until == "greeting":
            assert started.stdout.readline() == GREETING + b"\n"
            time.sleep(0.2)
        else:
            deadline = time.monotonic() + 5
            while "ready" not in pids.read_text():
                assert time.monotonic() < deadline and started.poll() is None, "the command runs"
                time.sleep(0.02)
        hello = member_of(started.pid, "hello")
        parents = below(hello)
        sent = time.monotonic()
        for sent_before in range(signals):
            os.kill(hello, signal.SIGTERM)
            while sent_before + 1 < signals and pids.read_text().count("caught") <= sent_before:
                time.sleep(0.01)
        assert started.wait(timeout=5) == status
        took = time.monotonic() - sent
        assert took < seconds, f"hello must end a second after the signal at most, not {took:.1f} s"
        ended_all(parents, recorded(pids), hello, trace)
    finally:  # what is left of the session it started in
        with contextlib.suppress(ProcessLookupError):
            os.killpg(started.pid, signal.SIGKILL)
        started.wait()


def recorded(pids):
    """What the processes wrote in $PIDS: each PID with its marks."""
    lines = [line.split() for line in pids.read_text().splitlines() if line[0].isdigit()]
    return {int(words[0]): words[1:] for words in lines}


def ended_all(parents, recorded, hello, trace):
    """Every process below hello has ended, but those that ignore SIGTERM; where traced, no other
    process got it from hello, and each that did before its parent."""
    marks = {**{pid: [] for pid in parents}, **recorded}
    marks.pop(hello, None)
    assert ["caller"] not in marks.values(), "the caller's group must not get it"
    for pid, mark in marks.items():
        if mark != ["keeps"]:
            wait_for_state(pid, ("Z", "gone"), f"process {pid} below hello must have ended")
    if trace.exists():
        order = signalled(trace.read_text())
        assert set(order) <= set(marks), "no process but those below hello may get it"
        assert all(order.index(pid) < order.index(parent) for pid, parent in parents.items()
                   if parent in order), "each process must get it before the shell waiting for it"


@functools.cache
def traces():
    out = subprocess.run(["strace", "-o", os.devnull, "true"], capture_output=True, check=False)
    return out.returncode == 0


def below(hello):
    """The processes below hello, each with its parent."""
    parents = {}
    for stat in Path("/proc").glob("[0-9]*/stat"):
        with contextlib.suppress(OSError):
            parents[int(stat.parent.name)] = int(stat.read_text().rsplit(")", 1)[1].split()[1])
    found, new = {}, {hello}
    while new:
        found.update({pid: parent for pid, parent in parents.items() if parent in new})
        new = {pid for pid, parent in parents.items() if parent in new}
    return found


def signalled(trace):
    """The PIDs strace saw hello send SIGTERM, in order, through pidfds or kill()."""
    held, order = {}, []
    for line in trace.splitlines():
        if found := re.match(r"pidfd_open\((\d+), 0\)\s+= (\d+)", line):
            held[int(found.group(2))] = int(found.group(1))
        elif found := re.match(r"pidfd_send_signal\((\d+), SIGTERM", line):
            order.append(held[int(found.group(1))])
        elif found := re.match(r"kill\((\d+), SIGTERM", line):
            order.append(int(found.group(1)))
    return order
