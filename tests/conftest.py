# SPDX-License-Identifier: MIT
"""Options, constants, helpers and fixtures of the black-box tests. The programs come in as paths,
so the same tests run against any build: a native one, or a Windows one under Wine (--wine)."""
import contextlib
import functools
import itertools
import os
import resource
import shutil
import subprocess
import tempfile
import time
import zipfile
from pathlib import Path

import pytest

from jobctl import clean_signals

HERE = Path(__file__).parent
GREETING = b"Hello world!"
PROMPT = "Press any key to continue . . . "
I18N = Path("/usr/share/i18n/locales")  # the sources localedef compiles
C_UTF8 = Path("/usr/lib/locale/C.utf8")
PROMPT_DE = "Zum Fortfahren eine beliebige Taste drücken . . . "
STATUS = r"status (-?\d+) (\w+)\r\n"  # what jobctl.py says when the job has ended
PID1 = ("unshare", "--fork", "--pid")  # a container's first process: no signal has a default action
# No /proc, as in a bare chroot or container.
NO_PROC = (shutil.which("unshare") or "unshare", "--map-root-user", "--mount", "/bin/sh", "-c",
           f'{shutil.which("mount")} -t tmpfs none /proc && exec "$0"')
NAMESPACES = pytest.mark.namespaces  # a case run with unshare, in namespaces of its own


def case(id, *values, **marks):
    """One parametrized case, its id first, as a table row reads."""
    return pytest.param(*values, id=id, **marks)


@functools.cache
def unshares(flags):
    return subprocess.run(["unshare", *flags, "true"], capture_output=True).returncode == 0


def need_namespaces(words):
    """Where words run a command with unshare, skips the case if its namespaces cannot be had (a
    chroot, a container's seccomp profile, unprivileged user namespaces barred)."""
    at = next((i for i, word in enumerate(words) if Path(str(word)).name == "unshare"), None)
    if at is not None:
        flags = tuple(itertools.takewhile(lambda w: str(w).startswith("--"), words[at + 1:]))
        need(unshares(flags), f"no namespaces here for unshare {' '.join(flags)}: run as root, or "
             "allow unprivileged user namespaces (a chroot bars them even to root)")


def pytest_addoption(parser):
    parser.addoption("--hello", help="the greeter to test")
    parser.addoption("--pause", help="the pause command to test")
    parser.addoption("--wine", help="start --hello, a Windows program, with this loader")
    parser.addoption("--zip", help="test the hello.exe of this ZIP, unpacked, instead of --hello")
    parser.addoption("--exe", help="a Windows executable to read")
    parser.addoption("--machine", help="the machine it is built for: x86 or AMD64")
    parser.addoption("--product-version", help="the version it must carry")
    parser.addoption("--build-dir", help="the build whose install signs --exe")
    parser.addoption("--locales", help="where to keep the locales the tests compile")
    parser.addoption("--emulated", action="store_true", help="the programs run under qemu-user")
    parser.addoption("--musl", action="store_true", help="pause is built against musl")


def pytest_configure(config):
    for marker in ("posix: runs the greeter with POSIX descriptors or the stand-in pause",
                   "windows: runs a Windows greeter under Wine",
                   "namespaces: runs a program in namespaces of its own (unshare)"):
        config.addinivalue_line("markers", marker)


def pytest_collection_modifyitems(config, items):
    # Tests for the other kind of greeter are left out rather than skipped.
    other = "posix" if config.getoption("--wine") else "windows"
    config.hook.pytest_deselected(items=[item for item in items if item.get_closest_marker(other)])
    items[:] = [item for item in items if not item.get_closest_marker(other)]


def pytest_sessionfinish(session, exitstatus):
    # A run that passed all it ran says so to CTest (SKIP_RETURN_CODE) where everything skipped,
    # or a case skipped for want of namespaces; one that failed fails, whatever else skipped.
    stats = getattr(session.config.pluginmanager.get_plugin("terminalreporter"), "stats", {})
    skipped = stats.get("skipped", [])
    barred = any("no namespaces here" in str(report.longrepr) for report in skipped)
    if exitstatus == 0 and skipped and (barred or not stats.get("passed")):
        session.exitstatus = 77


def differs_on(request, platform, reason, strict=True, run=True):
    """Marks the case as one that fails for a reason of the platform's, not the program's: "musl"
    or "qemu-user". strict: it must fail there, else it may pass by chance; run=False: it would
    only hang there."""
    if request.config.getoption({"musl": "--musl", "qemu-user": "--emulated"}[platform]):
        if not run:
            pytest.xfail(f"{platform}: {reason}")
        request.applymarker(pytest.mark.xfail(reason=f"{platform}: {reason}", strict=strict))


def need(what, reason):
    """Skip when a tool is missing, but fail in CI, where everything must be there."""
    if not what:
        if os.environ.get("CI") == "true":
            pytest.fail(f"{reason} (CI=true: nothing may be skipped)")
        pytest.skip(reason)
    return what


def given(request, option):
    return need(request.config.getoption(f"--{option}"), f"no --{option} given")


class Greeter:
    """Runs the greeter as a user's shell would; on POSIX a stand-in `pause` is first on PATH."""

    def __init__(self, path, launcher, tmp):
        self.path, self.launcher, self.windows = path, launcher, bool(launcher)
        self.line_end = b"\r\n" if self.windows else b"\n"
        self.log = tmp / "pause.log"
        self.env = dict(os.environ)
        if self.windows:
            self.env.update(WINEPREFIX=str(tmp / "wine"), WINEDEBUG="-all",
                            WINEDLLOVERRIDES="mscoree,mshtml=")
        else:
            self.env.update(PATH=f"{HERE / 'standin'}:{self.env['PATH']}", PAUSE_LOG=str(self.log))

    def run(self, *args, stdin=b"x", env=None, under=(), path=None, preexec_fn=None, ignore="",
            **kw):
        """Runs the greeter (or the one at path) with every signal's default action but those
        ignored (names, comma-separated); a variable set to None in env is left out."""
        need_namespaces(under)
        self.log.unlink(missing_ok=True)
        kw.setdefault("stdout", subprocess.PIPE)
        env = {k: v for k, v in {**self.env, **(env or {})}.items() if v is not None}
        return subprocess.run(
            [*under, *self.launcher, path or self.path, *args], input=stdin, stderr=subprocess.PIPE,
            preexec_fn=lambda: (clean_signals(ignore), preexec_fn and preexec_fn()),
            env=env, timeout=60, **kw)

    def pause_runs(self):
        """What the stand-in wrote of each run: its argument count and inherited signal masks."""
        return self.log.read_text().split("ran ")[1:] if self.log.exists() else []


@pytest.fixture(scope="session")
def greeter(request, tmp_path_factory):
    wine, package = request.config.getoption("--wine"), request.config.getoption("--zip")
    launcher = [need(shutil.which(wine) or (Path(wine).is_file() and wine), f"no Wine loader at "
                     f"{wine} (the 32-bit one: sudo tests/wine32/setup)")] if wine else []
    if package:
        folder = tmp_path_factory.mktemp("zip") / "unpacked with spaces"
        zipfile.ZipFile(package).extractall(folder)
        path = str(next(folder.glob("*/hello.exe")))
    else:
        path = given(request, "hello")
    g = Greeter(path, launcher, tmp_path_factory.mktemp("greeter"))
    if launcher:  # a new Wine prefix talks while it is set up: do that before any test
        subprocess.run([*launcher, "cmd", "/c", "exit"], env=g.env, capture_output=True,
                       timeout=120)
    yield g
    server = Path(launcher[0]).with_name("wineserver") if launcher else None
    if server and server.exists():
        subprocess.run([str(server), "-k"], env=g.env)


@pytest.fixture(scope="session")
def pause(request):
    return given(request, "pause")


@pytest.fixture(scope="session")
def locale_env(request, tmp_path_factory):
    """The environment with the given locale variables and no others. The locales they name are
    compiled into a private folder (--locales, kept from run to run); one the machine has no
    source for stays missing. A UTF-8 locale is C.UTF-8 under the language's name."""
    folder = Path(request.config.getoption("--locales") or tmp_path_factory.mktemp("locales"))
    folder.mkdir(parents=True, exist_ok=True)

    def make(name):
        source, _, charset = name.partition(".")
        if not charset or (folder / name).is_dir() or not (I18N / source).exists():
            return
        work = Path(tempfile.mkdtemp(dir=folder))  # made aside, then put in place whole
        if charset.upper().replace("-", "") == "UTF8" and C_UTF8.is_dir():
            (work / name).symlink_to(C_UTF8)
        else:
            localedef = need(shutil.which("localedef"), "localedef is missing (Debian: locales)")
            subprocess.run([localedef, "-i", source, "-f", charset, str(work / name)],
                           capture_output=True)
        with contextlib.suppress(OSError):  # another run may have put it there first
            os.rename(work / name, folder / name)
        shutil.rmtree(work, ignore_errors=True)
        need((folder / name).is_dir(), f"localedef could not compile {name}")

    def env(**variables):
        need(I18N.is_dir(), "the locales' sources are missing (Debian: locales)")
        for name in variables.values():
            make(name)
        kept = {k: v for k, v in os.environ.items()
                if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
        return {**kept, "LOCPATH": str(folder), **variables}

    return env


def member_of(group, name):
    """The pid of the process called name in the given process group."""
    for stat in Path("/proc").glob("[0-9]*/stat"):
        with contextlib.suppress(OSError):
            command, fields = stat.read_text().rsplit(")", 1)
            if command.endswith(f"({name}") and int(fields.split()[2]) == group:
                return int(stat.parent.name)
    raise LookupError(f"no {name} in process group {group}")


def wait_for_state(pid, states, failure):
    """Waits until the process is in one of the states of /proc/PID/stat ("gone" once reaped)."""
    deadline = time.monotonic() + 5
    while True:
        try:
            state = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[0]
        except (FileNotFoundError, ProcessLookupError):  # reaped before or while it was read
            state = "gone"
        if state in states:
            return
        assert time.monotonic() < deadline, failure
        time.sleep(0.02)


@pytest.fixture(params=["closed", "full", "broken pipe", "size limit"])
def failing_stdout(request, tmp_path):
    """How to start a process whose standard output fails: closed, full, a pipe with no reader, or
    a file already at the size limit (`ulimit -f`) of the process."""
    if request.param == "closed":
        yield {"stdout": subprocess.DEVNULL, "preexec_fn": lambda: os.close(1)}
        return
    kw = {}
    if request.param == "full":
        fd = os.open("/dev/full", os.O_WRONLY)
    elif request.param == "broken pipe":
        unread, fd = os.pipe()
        os.close(unread)
    else:
        (tmp_path / "at limit").write_bytes(b"x" * 4096)
        fd = os.open(tmp_path / "at limit", os.O_WRONLY | os.O_APPEND)
        kw["preexec_fn"] = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096))
    yield {"stdout": fd, **kw}
    os.close(fd)
