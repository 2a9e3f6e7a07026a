# SPDX-License-Identifier: MIT
"""pause without a terminal: what it takes of plain input, when it fails, and its prompt in the
user's language."""
import fcntl
import gettext
import os
import subprocess
import termios
import time
from pathlib import Path

import pytest

from conftest import I18N, PROMPT, PROMPT_DE, case, differs_on, wait_for_state

USAGE = "Usage: pause [-h | --help | --version] [--]\n"
USAGE_DE = "Aufruf: pause [-h | --help | --version] [--]\n"
# The prompt in the words these languages have; any other's is its catalog's.
WORDS = {
    "en": PROMPT,
    "de": PROMPT_DE,
    "fr": "Appuyer sur une touche pour poursuivre . . . ",
    "es": "Pulse cualquier tecla para seguir . . . ",
    "it": "Premi un tasto qualsiasi per proseguire . . . ",
    "nl": "Druk op een willekeurige toets om verder te gaan . . . ",
}


def pytest_generate_tests(metafunc):
    """language, locale: each catalog the build installed beside --pause, and a locale that speaks
    it (the language's own country's where the machine has one)."""
    pause = metafunc.config.getoption("--pause")
    if "language" not in metafunc.fixturenames:
        return

    def locale(language):
        if "_" in language:
            return language
        names = sorted(p.name for p in I18N.glob(f"{language}_*") if "@" not in p.name)
        own = f"{language}_{language.upper()}"
        return own if own in names else (names or [language])[0]

    mos = Path(pause).parents[1].glob("share/locale/*/LC_MESSAGES/hello-greeter.mo")
    found = sorted(mo.parts[-3] for mo in mos) if pause else []
    metafunc.parametrize("language, locale", [case(lang, lang, locale(lang)) for lang in found])


def catalog_text(pause, language, msgid):
    """What the catalog installed beside pause says for msgid."""
    mo = Path(pause).parents[1] / "share/locale" / language / "LC_MESSAGES/hello-greeter.mo"
    with open(mo, "rb") as f:
        return gettext.GNUTranslations(f).gettext(msgid)


def prompted(pause, env):
    return subprocess.run([pause], input=b"", capture_output=True, env=env, timeout=10)


# The language whose words the prompt must be in, and the character set it must be written in.
@pytest.mark.parametrize("variables, words, encoding", [
    case("de", {"LANG": "de_DE.UTF-8"}, "de", "utf-8"),
    case("fr", {"LANG": "fr_FR.UTF-8"}, "fr", "utf-8"),
    case("es", {"LANG": "es_ES.UTF-8"}, "es", "utf-8"),
    case("it", {"LANG": "it_IT.UTF-8"}, "it", "utf-8"),
    case("nl", {"LC_ALL": "nl_NL.UTF-8"}, "nl", "utf-8"),
    case("language-over-lang", {"LANG": "de_DE.UTF-8", "LANGUAGE": "fr:de"}, "fr", "utf-8"),
    case("latin-1", {"LANG": "de_DE.ISO-8859-1"}, "de", "latin-1"),
    case("c", {"LANG": "C", "LANGUAGE": "de"}, "en", "ascii"),
    case("posix", {"LC_ALL": "POSIX", "LANG": "de_DE.UTF-8"}, "en", "ascii"),
    case("utf-8-catalog-c-characters", {"LANG": "de_DE.UTF-8", "LC_CTYPE": "C"}, "en", "ascii"),
    case("no-variables", {}, "en", "ascii"),
    case("no-catalog", {"LANG": "mt_MT.UTF-8"}, "en", "ascii"),
    case("no-such-locale", {"LANG": "xx_YY.UTF-8", "LANGUAGE": "de"}, "en", "ascii"),
    case("language-without-catalog", {"LANG": "de_DE.UTF-8", "LANGUAGE": "mt"}, "en", "ascii"),
    case("euc-jp", {"LANG": "ja_JP.EUC-JP"}, "ja", "euc_jp"),
    case("big5", {"LANG": "zh_TW.BIG5"}, "zh_TW", "big5"),
    case("gb18030", {"LANG": "zh_CN.GB18030"}, "zh_CN", "gb18030"),
    case("euc-kr", {"LANG": "ko_KR.EUC-KR"}, "ko", "euc_kr"),
    case("koi8-r", {"LANG": "ru_RU.KOI8-R"}, "ru", "koi8_r"),
    case("iso-8859-2", {"LANG": "pl_PL.ISO-8859-2"}, "pl", "iso8859_2"),
    case("iso-8859-7", {"LANG": "el_GR.ISO-8859-7"}, "el", "iso8859_7"),
    case("georgian-ps", {"LANG": "ka_GE.GEORGIAN-PS"}, "ka", "GEORGIAN-PS"),
    case("armscii-8", {"LANG": "hy_AM.ARMSCII-8"}, "hy", "ARMSCII-8"),
    case("latin-13", {"LANG": "lt_LT.ISO-8859-13"}, "lt", "iso8859_13"),
    case("japanese-in-latin-1-is-english", {"LANG": "de_DE.ISO-8859-1", "LANGUAGE": "ja"}, "en",
         "ascii"),
    case("german-in-koi8-r-is-english", {"LANG": "ru_RU.KOI8-R", "LANGUAGE": "de"}, "en", "ascii"),
    case("polish-in-latin-1-is-english", {"LANG": "de_DE.ISO-8859-1", "LANGUAGE": "pl"}, "en",
         "ascii"),
])
def test_prompt_speaks_the_locale_language(pause, locale_env, request, variables, words, encoding):
    if encoding not in ("utf-8", "ascii") or "LANGUAGE" in variables:
        differs_on(request, "musl", "no character set but UTF-8, and no LANGUAGE heeded",
                   strict=False)
    prompt = WORDS.get(words) or catalog_text(pause, words, PROMPT)
    out = prompted(pause, locale_env(**variables))
    assert (out.returncode, out.stdout) == (0, encoded(prompt + "\n", encoding))


def test_prompt_in_each_language(pause, locale_env, language, locale):
    """Every catalog installed beside pause, asked for by LANGUAGE."""
    prompt = catalog_text(pause, language, PROMPT)
    assert prompt != PROMPT, f"po/{language}.po must translate the prompt"
    out = prompted(pause, locale_env(LANG=f"{locale}.UTF-8", LANGUAGE=language))
    assert (out.returncode, out.stdout) == (0, (prompt + "\n").encode())


def encoded(text, charset):
    """text in charset, by Python's codec or, where it has none (ARMSCII-8, GEORGIAN-PS), iconv."""
    try:
        return text.encode(charset)
    except LookupError:
        return subprocess.run(["iconv", "-f", "UTF-8", "-t", charset], input=text.encode(),
                              capture_output=True, check=True).stdout


# What is left for the next reader, from a pipe and from a file: a byte read past a broken
# character is given back to a file alone.
@pytest.mark.parametrize("source", ["pipe", "file", "slow pipe"])
@pytest.mark.parametrize("data, rest, file_rest", [
    case("letter", b"xyz", b"yz", b"yz"),
    case("empty", b"", b"", b""),
    case("newline", b"\n\n", b"\n", b"\n"),
    case("2-byte", "éyz".encode(), b"yz", b"yz"),
    case("4-byte", "🙂yz".encode(), b"yz", b"yz"),
    case("escape-is-one-character", b"\x1b[A", b"[A", b"[A"),
    case("broken", b"\xc3xyz", b"yz", b"xyz"),
])
def test_plain_input_gives_up_one_character(pause, tmp_path, source, data, rest, file_rest):
    (tmp_path / "in").write_bytes(data)
    reader = '"$0"; echo "rc=$?"; cat'
    if source == "slow pipe":  # a writer that waits between bytes, as a slow link does
        writer = "".join(f"printf '\\{b:03o}'; sleep 0.05; " for b in data)
        reader = f"{{ {writer}:; }} | {{ {reader}; }}"
    with open(tmp_path / "in", "rb") as f:
        kw = {"stdin": f} if source == "file" else {"input": data}
        out = subprocess.run(["sh", "-c", reader, pause], capture_output=True, timeout=10, **kw)
    left = file_rest if source == "file" else rest
    assert out.stdout == (PROMPT + "\nrc=0\n").encode() + left


@pytest.mark.parametrize("args, lang, status, out, err", [
    case("help", ["--help"], "C", 0, USAGE, ""),
    case("help-first", ["-h", "-x"], "C", 0, USAGE, ""),
    case("help-de", ["-h"], "de_DE.UTF-8", 0, USAGE_DE, ""),
    case("end-of-options", ["--"], "C", 0, PROMPT + "\n", ""),
    case("version", ["--version", "-h"], "C", 0, "pause (hello-greeter) {version}\n", ""),
    case("unknown-option", ["-x", "-h"], "C", 2, "", "pause: unknown option '-x'\n" + USAGE),
    case("unknown-long-option", ["--verbose"], "C", 2, "",
         "pause: unknown option '--verbose'\n" + USAGE),
    case("operand", ["5"], "C", 2, "", "pause: extra operand '5'\n" + USAGE),
    case("operand-after-end-of-options", ["--", "-h"], "C", 2, "",
         "pause: extra operand '-h'\n" + USAGE),
    case("operand-de", ["-"], "de_DE.UTF-8", 2, "",
         "pause: überzähliger Operand '-'\n" + USAGE_DE),
])
def test_command_line_help_version_or_refusal(pause, locale_env, request, args, lang, status, out,
                                              err):
    out = out.format(version=request.config.getoption("--product-version")).encode()
    res = subprocess.run([pause, *args], input=b"", capture_output=True,
                         env=locale_env(LANG=lang), timeout=10)
    help_asked = args[0] in ("-h", "--help")
    assert (res.returncode, res.stderr) == (status, err.encode())
    assert (res.stdout[:len(out)] if help_asked else res.stdout) == out
    assert not help_asked or b"--version" in res.stdout, "the help names the options"


@pytest.mark.parametrize("option", ["--help", "--version"])
def test_help_that_cannot_be_written_fails(pause, failing_stdout, option):
    run = subprocess.run([pause, option], stdin=subprocess.DEVNULL, timeout=10, **failing_stdout)
    assert run.returncode == 1


def behind_the_foreground():
    """In the child: lead a new session on its terminal (standard input) and give the terminal's
    foreground to a process group that holds it a few seconds, so that the child's own group is
    in the background with no shell above it: the terminal can be neither set nor read."""
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)
    holder = os.fork()
    if holder == 0:
        time.sleep(5)
        os._exit(0)
    os.setpgid(holder, holder)
    os.tcsetpgrp(0, holder)


@pytest.mark.parametrize("stdin, lang, said", [
    case("closed", "closed", "C", "standard input: Bad file descriptor"),
    case("directory", "directory", "C", "standard input: Is a directory"),
    case("orphaned terminal", "orphaned terminal", "C", "standard input: Input/output error"),
    case("directory-de", "directory", "de_DE.UTF-8", "Standardeingabe: Ist ein Verzeichnis"),
])
def test_unreadable_input_fails_at_once_and_says_why(pause, locale_env, request, stdin, lang, said):
    if stdin == "orphaned terminal" or lang != "C":
        differs_on(request, "musl", "its error texts are its own, and English")
    terminal, tty = os.openpty()
    kw = {"closed": {"stdin": subprocess.DEVNULL, "preexec_fn": lambda: os.close(0)},
          "directory": {"stdin": os.open("/", os.O_RDONLY)},
          "orphaned terminal": {"stdin": tty, "start_new_session": True,
                                "preexec_fn": behind_the_foreground}}[stdin]
    before = termios.tcgetattr(tty)
    out = subprocess.run([pause], capture_output=True, timeout=3, env=locale_env(LC_ALL=lang), **kw)
    prompt = PROMPT_DE if lang.startswith("de") else PROMPT
    assert (out.returncode, out.stdout) == (1, f"{prompt}\n".encode())
    assert out.stderr == f"pause: {said}\n".encode()
    assert termios.tcgetattr(tty) == before, "the terminal must be left untouched"
    os.close(terminal)
    os.close(tty)


def test_output_failure_still_waits_for_the_key(pause, failing_stdout):
    with subprocess.Popen([pause], stdin=subprocess.PIPE, **failing_stdout) as p:
        try:
            time.sleep(0.2)
            assert p.poll() is None, "pause must still wait for the key"
            p.stdin.write(b"k")
            p.stdin.close()
            assert p.wait(timeout=5) == 0
        finally:
            p.kill()  # no wait for ever on leaving the block, whatever failed


@pytest.mark.parametrize("side", ["terminal", "master-side"])
def test_a_terminal_given_does_not_become_its_controlling_terminal(pause, side):
    """Started in a session of its own, with no controlling terminal, and a terminal as input:
    pause reads its key from that very file, even a pseudo-terminal's master side, which opened
    anew would be another pair, and leaves the session without a controlling terminal."""
    terminal, tty = os.openpty()
    given, typed = (tty, terminal) if side == "terminal" else (terminal, tty)
    with subprocess.Popen([pause], stdin=given, stdout=subprocess.DEVNULL,
                          start_new_session=True) as p:
        try:
            wait_for_state(p.pid, ("S",), "pause must wait for the key")
            tty_nr = Path(f"/proc/{p.pid}/stat").read_text().rsplit(")", 1)[1].split()[4]
            assert tty_nr == "0", "no controlling terminal"
            os.write(typed, b"k")
            assert p.wait(timeout=5) == 0
        finally:
            p.kill()
            os.close(terminal)
            os.close(tty)
