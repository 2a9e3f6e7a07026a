#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs a command as a job-control shell runs a foreground job: in a process group of its own
that owns the terminal. Says its pid, then its status, whether the terminal settings came back as
they were, and the next line typed. When the job's leader stops, says "stopped" with the terminal
taken back and reads a command: `fg` sets the terminal as the shell keeps it, hands it to the job
and continues it; `bg` continues it behind the shell; `kill` sends SIGTERM, then SIGCONT.

The job starts with every signal's default action, none blocked and no core file; then --ignore
and --block apply (signal names, comma-separated), and --alarm sends SIGALRM after that many
seconds. --stty sets the terminal (stty's words) first; --nonblock makes its open file
non-blocking. --background starts the job behind a line editor's modes (no line editing, no echo,
no ICRNL), as `job &`; once it stops for the terminal, --nudge sends it those signals and SIGCONT
(it must stop again), then it is brought to the foreground as by `fg`. --direct: the command
replaces jobctl and leads the terminal's session, as a terminal emulator starts it.
"""
import ctypes
import os
import resource
import signal
import subprocess
import sys
import termios


def clean_signals(ignore="", block="", alarm=0):
    """In a child before exec: default dispositions, nothing blocked, no core file; then these."""
    for sig in signal.valid_signals() - {signal.SIGKILL, signal.SIGSTOP}:
        signal.signal(sig, signal.SIG_DFL)
    for name in filter(None, ignore.split(",")):
        signal.signal(signal.Signals[f"SIG{name}"], signal.SIG_IGN)
    blocked = [signal.Signals[f"SIG{name}"] for name in filter(None, block.split(","))]
    signal.pthread_sigmask(signal.SIG_SETMASK, blocked)
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    if alarm:
        signal.alarm(alarm)


def dies_with_parent():
    """The job is killed when jobctl ends, as when the test that started it is killed."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def take_terminal(group=None):
    signal.signal(signal.SIGTTOU, signal.SIG_IGN)
    os.tcsetpgrp(0, group or os.getpgrp())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)


def foreground(job):
    termios.tcsetattr(0, termios.TCSANOW, before)
    take_terminal(job.pid)
    os.killpg(job.pid, signal.SIGCONT)


def say_stop(job, when):
    _, stop = os.waitpid(job.pid, os.WUNTRACED)
    print("stopped" if os.WIFSTOPPED(stop) else "ended", when, flush=True)


if __name__ == "__main__":
    args, opts = sys.argv[1:], {}
    while args[0].startswith("--"):
        flag = args[0] in ("--background", "--direct", "--nonblock")
        opts[args[0][2:]] = True if flag else args.pop(1)
        args.pop(0)
    background, nudge = opts.pop("background", False), opts.pop("nudge", "")
    nonblock = opts.pop("nonblock", False)
    if opts.pop("direct", False):
        clean_signals(**{k: v for k, v in opts.items() if k != "stty"})
        os.execv(args[0], args)
    if "stty" in opts:
        subprocess.run(["stty", *opts.pop("stty").split()], check=True)
    before = termios.tcgetattr(0)
    if background:
        editor = termios.tcgetattr(0)
        editor[0] &= ~termios.ICRNL
        editor[3] &= ~(termios.ICANON | termios.ECHO)
        termios.tcsetattr(0, termios.TCSANOW, editor)
    opts["alarm"] = int(opts.get("alarm", 0))
    job = subprocess.Popen(args, preexec_fn=lambda: (
        clean_signals(**opts), os.setpgid(0, 0), background or take_terminal(),
        nonblock and os.set_blocking(0, False), dies_with_parent()))
    sys.stdout.write(f"pid {job.pid}\n")  # one write: the prompt may come before or after
    sys.stdout.flush()
    if background:
        say_stop(job, "in the background")
        if nudge:
            for sig in [*nudge.split(","), "CONT"]:
                os.killpg(job.pid, signal.Signals[f"SIG{sig}"])
            say_stop(job, "again")
        foreground(job)
    while True:
        _, status = os.waitpid(job.pid, os.WUNTRACED)
        take_terminal()
        os.set_blocking(0, True)
        if not os.WIFSTOPPED(status):
            break
        print("stopped", flush=True)
        command = input()
        if command == "kill":
            os.killpg(job.pid, signal.SIGTERM)
        if command in ("bg", "kill"):
            os.killpg(job.pid, signal.SIGCONT)
        else:
            foreground(job)
    status = os.waitstatus_to_exitcode(status)
    print("status", status, "same" if termios.tcgetattr(0) == before else "changed", flush=True)
    print(f"rest=[{input()}]")
