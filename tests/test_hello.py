"""The greeter, run as a process: exact bytes, order, exit status, the command it runs."""
import os

import pytest

GREETING = b"Hello world!"
SIGPIPE_BIT = 1 << (13 - 1)


def posix_only(greeter):
    if greeter.windows:
        pytest.skip("the stand-in pause and these descriptors exist on POSIX only")


@pytest.mark.parametrize("args", [[], ["-h"], ["--help", "-v", "--", "a b", "*", ""], [f"arg{i}" for i in range(2000)]],
                         ids=["none", "option", "mixed", "many"])
def test_greets_then_pauses_whatever_the_arguments(greeter, args):
    out = greeter.run(*args)
    assert (out.returncode, out.stderr) == (0, b"")
    line = GREETING + greeter.line_end
    assert out.stdout[:len(line)] == line
    pause_said = out.stdout[len(line):]
    if greeter.windows:
        assert pause_said.startswith(b"Press any key to continue")
    else:
        assert pause_said == b"standin\n"
        assert greeter.pause_runs()[0].startswith("0\n"), "pause must get no arguments"


def test_greeting_precedes_the_command_in_one_file(greeter, tmp_path):
    posix_only(greeter)
    with open(tmp_path / "out", "wb") as f:
        out = greeter.run(stdout=f)
    assert out.returncode == 0
    assert (tmp_path / "out").read_bytes() == b"Hello world!\nstandin\n"


def test_output_failure_changes_nothing_else(greeter, failing_stdout):
    posix_only(greeter)
    out = greeter.run(**failing_stdout)
    assert (out.returncode, out.stderr) == (0, b"")
    runs = greeter.pause_runs()
    assert len(runs) == 1, "pause must run exactly once"
    masks = dict(line.split(":\t") for line in runs[0].splitlines()[1:])
    assert not int(masks["SigIgn"], 16) & SIGPIPE_BIT, "the command must not inherit SIGPIPE ignored"
    assert not int(masks["SigBlk"], 16) & SIGPIPE_BIT, "the command must not inherit SIGPIPE blocked"


@pytest.mark.parametrize("env", [{"PAUSE_STATUS": "3"}, {"PATH": "/nonexistent"}], ids=["fails", "missing"])
def test_status_is_zero_whatever_the_command_does(greeter, env):
    posix_only(greeter)
    out = greeter.run(env=env)
    assert out.returncode == 0
    assert out.stdout == b"Hello world!\n" + (b"standin\n" if "PAUSE_STATUS" in env else b"")


def test_runs_the_project_pause_with_input_at_its_end(greeter, request):
    posix_only(greeter)
    pause = request.getfixturevalue("pause")
    out = greeter.run(stdin=b"", env={"PATH": f"{os.path.dirname(pause)}:{os.environ['PATH']}"})
    assert (out.returncode, out.stdout, out.stderr) == (0, b"Hello world!\nPress any key to continue . . . \n", b"")
