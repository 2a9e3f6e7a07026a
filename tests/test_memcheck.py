# SPDX-License-Identifier: MIT
"""Both programs under valgrind's memcheck: no memory error and no definite leak."""
import shutil
import subprocess

import pytest

from conftest import need

MEMCHECK = ["--tool=memcheck", "-q", "--error-exitcode=99", "--leak-check=full",
            "--errors-for-leak-kinds=definite"]


@pytest.fixture(scope="module")
def valgrind():
    return [need(shutil.which("valgrind"), "valgrind is missing (Debian: valgrind)"), *MEMCHECK]


def test_hello_with_the_standin_pause(greeter, valgrind):
    out = greeter.run(stdin=b"", under=valgrind)
    assert (out.returncode, out.stderr.decode()) == (0, "")


def test_pause_with_input_at_its_end(pause, valgrind):
    out = subprocess.run([*valgrind, pause], input=b"", capture_output=True, timeout=60)
    assert (out.returncode, out.stderr.decode()) == (0, "")
