# SPDX-License-Identifier: MIT
"""The native programs, read rather than run: the hardening they were linked with."""
import shutil
import subprocess

import pytest

from conftest import given, need


def readelf(path, *what):
    tool = need(shutil.which("readelf"), "readelf is missing (Debian: binutils)")
    return subprocess.run([tool, "-W", *what, path], capture_output=True, text=True,
                          check=True).stdout


@pytest.fixture(params=["hello", "pause"])
def program(request):
    return given(request, request.param)


def test_position_independent_with_all_relocations_read_only(program):
    assert "DYN (Position-Independent Executable file)" in readelf(program, "-h")
    dynamic = readelf(program, "-d")
    assert "BIND_NOW" in dynamic and "PIE" in dynamic
    segments = {line.split()[0]: line.split()[-2] for line in readelf(program, "-l").splitlines()
                if line.strip().startswith("GNU_")}
    assert "GNU_RELRO" in segments
    assert segments["GNU_STACK"] == "RW", "the stack must not be executable"
    if "AArch64" in readelf(program, "-h"):  # return addresses signed: PACIASP in the code
        assert "3f2303d5" in readelf(program, "-x", ".text"), "pointer authentication is missing"


def test_pause_is_built_with_the_stack_protector_and_the_c_library_alone(pause):
    assert "__stack_chk_fail" in readelf(pause, "--dyn-syms")
    # All but the loader, which some C libraries name.
    needed = [line.split("[")[1].rstrip("]") for line in readelf(pause, "-d").splitlines()
              if "(NEEDED)" in line and "[ld-linux" not in line]
    instrumented = any(n.startswith("libasan") for n in needed) or "__gcov_" in readelf(pause, "-s")
    if not instrumented:  # the sanitizers and coverage builds (unoptimised) bring in more
        assert needed == ["libc.so.6"], "pause starts fast by loading no C++ runtime"
