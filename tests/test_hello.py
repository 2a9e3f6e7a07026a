# SPDX-License-Identifier: MIT
"""The greeter, run as a process: exact bytes, order, exit status, the command it runs."""
import os
import re
import shutil
import signal
from pathlib import Path, PureWindowsPath

import pytest

from conftest import GREETING, NAMESPACES, NO_PROC, PID1, PROMPT, PROMPT_DE, case, differs_on


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
