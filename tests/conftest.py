# SPDX-License-Identifier: MIT
"""Options, constants, helpers and fixtures of the black-box tests. The programs come in as paths,
so the same tests run against any build: a native one, or a Windows one under Wine (--wine)."""
import contextlib
import functools
import gettext
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
    return subprocess.run(["unshare", *flags, "true"], capture_output=True, check=False).returncode == 0


def need_namespaces(words):
    """Where words run a command with unshare, skips the case if its namespaces cannot be had: in
    a chroot, a container under a default seccomp profile, or where unprivileged user namespaces
    are barred. CI=true makes that a failure, as any skip."""
    at = next((i for i, word in enumerate(words) if Path(str(word)).name == "unshare"), None)
    if at is not None:
        flags = tuple(itertools.takewhile(lambda word: str(word).startswith("--"), words[at + 1:]))
        need(unshares(flags), f"no namespaces here for unshare {' '.join(flags)}: run as root, or allow "
                              "unprivileged user namespaces (a chroot bars them even to root)")


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
    config.addinivalue_line("markers", "posix: runs the greeter with POSIX descriptors or the stand-in pause")
    config.addinivalue_line("markers", "windows: runs a Windows greeter under Wine")
    config.addinivalue_line("markers", "namespaces: runs a program in namespaces of its own (unshare)")


def pytest_collection_modifyitems(config, items):
    # Tests for the other kind of greeter are left out rather than skipped.
    other = "posix" if config.getoption("--wine") else "windows"
    kept = [item for item in items if not item.get_closest_marker(other)]
    config.hook.pytest_deselected(items=[item for item in items if item not in kept])
    items[:] = kept


def pytest_sessionfinish(session, exitstatus):
    # A run in which everything skipped says so to CTest (SKIP_RETURN_CODE) instead of passing.
    reporter = session.config.pluginmanager.get_plugin("terminalreporter")
    if exitstatus == 0 and reporter and reporter.stats.get("skipped") and not reporter.stats.get("passed"):
        session.exitstatus = 77


def differs_on(request, platform, reason, strict=True, run=True):
    """Marks the case as one that fails for a reason of the platform's, not the program's:
    "musl" (no character set but UTF-8, a gettext that heeds no LANGUAGE, error texts of its own
    and in English, signal 34 kept) or "qemu-user" (the programs run emulated). strict: it must
    fail there, else it may pass by chance; run=False for one that would only hang there."""
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


class Greeter:
    """Runs the greeter as a user's shell would; on POSIX a stand-in `pause` is first on PATH."""

    def __init__(self, path, launcher, tmp):
        self.path, self.launcher, self.tmp = path, launcher, tmp
        self.windows = bool(launcher)
        self.line_end = b"\r\n" if self.windows else b"\n"
        self.env = dict(os.environ)
        self.log = tmp / "pause.log"
        if self.windows:
            self.env.update(WINEPREFIX=str(tmp / "wine"), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        else:
            self.env.update(PATH=f"{HERE / 'standin'}:{self.env['PATH']}", PAUSE_LOG=str(self.log))

    def run(self, *args, stdin=b"x", env=None, under=(), path=None, preexec_fn=None, ignore="", **kw):
        """Runs the greeter (or the one at path), with every signal's default action but those
        ignored (names, comma-separated), whatever the suite's caller left; a variable set to None
        in env is left out."""
        need_namespaces(under)
        self.log.unlink(missing_ok=True)
        kw.setdefault("stdout", subprocess.PIPE)
        env = {k: v for k, v in {**self.env, **(env or {})}.items() if v is not None}
        return subprocess.run([*under, *self.launcher, path or self.path, *args], input=stdin,
                              preexec_fn=lambda: (clean_signals(ignore), preexec_fn and preexec_fn()),
                              stderr=subprocess.PIPE, env=env, timeout=60, check=False, **kw)

    def pause_runs(self):
        """What the stand-in wrote of each run: its argument count and inherited signal masks."""
        return self.log.read_text().split("ran ")[1:] if self.log.exists() else []


@pytest.fixture(scope="session")
def greeter(request, tmp_path_factory):
    wine, package = request.config.getoption("--wine"), request.config.getoption("--zip")
    launcher = [need(shutil.which(wine) or (Path(wine).is_file() and wine),
                     f"no Wine loader at {wine} (the 32-bit one: sudo tests/wine32/setup)")] if wine else []
    if package:
        folder = tmp_path_factory.mktemp("zip") / "unpacked with spaces"
        zipfile.ZipFile(package).extractall(folder)
        path = str(next(folder.glob("*/hello.exe")))
    else:
        path = need(request.config.getoption("--hello"), "no --hello given")
    g = Greeter(path, launcher, tmp_path_factory.mktemp("greeter"))
    if launcher:  # a new Wine prefix talks while it is set up: do that before any test
        subprocess.run([*launcher, "cmd", "/c", "exit"], env=g.env, capture_output=True, timeout=120, check=False)
    yield g
    if launcher:
        server = Path(launcher[0]).with_name("wineserver")
        if server.exists():
            subprocess.run([str(server), "-k"], env=g.env, check=False)


@pytest.fixture(scope="session")
def pause(request):
    return need(request.config.getoption("--pause"), "no --pause given")


@pytest.fixture(scope="session")
def locale_env(request, tmp_path_factory):
    """The environment with the given locale variables and no others. The locales they name
    (such as LANG="fr_FR.ISO-8859-1") are compiled into a private folder (--locales, kept from run
    to run), so nothing of the machine changes; a name the machine has no source for stays a
    locale that does not exist. A UTF-8 locale is the machine's C.UTF-8 under the language's
    name: the prompt and the keys depend on nothing else, and it costs no compiling."""
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
            subprocess.run([localedef, "-i", source, "-f", charset, str(work / name)], capture_output=True, check=False)
        if (work / name).exists():
            try:
                os.rename(work / name, folder / name)
            except OSError:  # another run put it there first
                pass
        shutil.rmtree(work, ignore_errors=True)
        need((folder / name).is_dir(), f"localedef could not compile {name}")

    def env(**variables):
        need(I18N.is_dir(), "the locales' sources are missing (Debian: locales)")
        for name in variables.values():
            make(name)
        kept = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k not in ("LANG", "LANGUAGE")}
        return {**kept, "LOCPATH": str(folder), **variables}

    return env


def pytest_generate_tests(metafunc):
    """language, locale: each catalog the build installed beside --pause, and a locale that speaks it
    (the language's own country's where the machine has one)."""
    pause = metafunc.config.getoption("--pause")
    if "language" not in metafunc.fixturenames:
        return
    def locale(language):
        names = sorted(p.name for p in I18N.glob(f"{language}_*") if "@" not in p.name) or [language]
        own = f"{language}_{language.upper()}"
        return language if "_" in language else own if own in names else names[0]
    found = sorted(mo.parts[-3] for mo in Path(pause).parents[1].glob("share/locale/*/LC_MESSAGES/hello-greeter.mo")) if pause else []
    metafunc.parametrize("language, locale", [case(language, language, locale(language)) for language in found])


def catalog_text(pause, language, msgid):
    """What the catalog installed beside pause says for msgid."""
    mo = Path(pause).parents[1] / "share/locale" / language / "LC_MESSAGES/hello-greeter.mo"
    with open(mo, "rb") as f:
        return gettext.GNUTranslations(f).gettext(msgid)


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
    if request.param == "size limit":
        (tmp_path / "at limit").write_bytes(b"x" * 4096)
        fd = os.open(tmp_path / "at limit", os.O_WRONLY | os.O_APPEND)
        yield {"stdout": fd, "preexec_fn": lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096))}
        os.close(fd)
        return
    if request.param == "full":
        fd = os.open("/dev/full", os.O_WRONLY)
    else:
        unread, fd = os.pipe()
        os.close(unread)
    yield {"stdout": fd}
    os.close(fd)
