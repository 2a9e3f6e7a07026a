"""Both programs under valgrind's memcheck: no memory error and no definite leak."""
import shutil
import subprocess

import pytest

from conftest import need

MEMCHECK = ["--tool=memcheck", "-q", "--error-exitcode=99", "--leak-check=full", "--errors-for-leak-kinds=definite"]


@pytest.mark.parametrize("program", ["hello", "pause"])
def test_memcheck_finds_nothing(request, program):
    valgrind = [need(shutil.which("valgrind"), "valgrind is missing (Debian: valgrind)"), *MEMCHECK]
    if program == "hello":  # with the stand-in pause
        out = request.getfixturevalue("greeter").run(stdin=b"", under=valgrind)
    else:  # with input at its end
        out = subprocess.run([*valgrind, request.getfixturevalue("pause")], input=b"", capture_output=True, timeout=60)
    assert (out.returncode, out.stderr.decode()) == (0, "")
