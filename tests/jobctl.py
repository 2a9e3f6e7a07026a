#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs a command as a job-control shell runs a foreground job: in a process group of its own
that owns the terminal. Reports its pid, then its status, whether the terminal settings came
back as they were, and the next line typed. When the job's leader stops, the shell takes the
terminal back and says "stopped"; the next line is a command: `fg` sets the terminal as the
shell keeps it, hands it to the job and continues it; `bg` continues it behind the shell; `kill`
sends it SIGTERM, then SIGCONT, and keeps the terminal.

The job starts with every signal's default action, none blocked and no core file, whatever the
caller left; then --ignore and --block apply (signal names, comma-separated), and --alarm sends
it SIGALRM after that many seconds. --stty sets the terminal (stty's words) before it is taken
as found; --nonblock makes the terminal's open file non-blocking. --background starts the job
behind a line editor's modes (no line editing, no echo, no ICRNL), as after `job &`; once it
stops for the terminal, --nudge sends it those signals and SIGCONT (it must stop again), then
the modes are set back and the job brought to the foreground, as by `fg`. --direct: the command
replaces jobctl and leads the terminal's session, as a terminal emulator starts it.

Usage: jobctl.py [--background [--nudge SIGS] | --direct] [--ignore SIGS] [--block SIGS] [--alarm S]
                 [--stty WORDS] [--nonblock] COMMAND [ARG...]
"""
import os
import resource
import signal
import subprocess
import sys
import termios


def clean_signals(ignore="", block="", alarm=0):
    """In a child before exec: default dispositions, nothing blocked, no core file; then these."""
    for sig in signal.valid_signals():
        if sig not in (signal.SIGKILL, signal.SIGSTOP):
            signal.signal(sig, signal.SIG_DFL)
    for name in filter(None, ignore.split(",")):
        signal.signal(signal.Signals[f"SIG{name}"], signal.SIG_IGN)
    signal.pthread_sigmask(signal.SIG_SETMASK, [signal.Signals[f"SIG{n}"] for n in filter(None, block.split(","))])
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    if alarm:
        signal.alarm(alarm)


def take_terminal(group=None):
    signal.signal(signal.SIGTTOU, signal.SIG_IGN)
    os.tcsetpgrp(0, group or os.getpgrp())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)


def foreground(job):
    termios.tcsetattr(0, termios.TCSANOW, before)
    take_terminal(job.pid)
    os.killpg(job.pid, signal.SIGCONT)


if __name__ == "__main__":
    args = sys.argv[1:]
    opts = {}
    while args[0].startswith("--"):
        opts[args[0][2:]] = True if args[0] in ("--background", "--direct", "--nonblock") else args.pop(1)
        args.pop(0)
    background, nudge, nonblock = opts.pop("background", False), opts.pop("nudge", ""), opts.pop("nonblock", False)
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
    job = subprocess.Popen(args, preexec_fn=lambda: (clean_signals(**opts), os.setpgid(0, 0),
                                                     background or take_terminal(), nonblock and os.set_blocking(0, False)))
    sys.stdout.write(f"pid {job.pid}\n")  # one write: the prompt may come before or after
    sys.stdout.flush()
    if background:
        _, stop = os.waitpid(job.pid, os.WUNTRACED)
        print("stopped" if os.WIFSTOPPED(stop) else "ended", "in the background", flush=True)
        if nudge:
            for sig in [*nudge.split(","), "CONT"]:
                os.killpg(job.pid, signal.Signals[f"SIG{sig}"])
            _, stop = os.waitpid(job.pid, os.WUNTRACED)
            print("stopped" if os.WIFSTOPPED(stop) else "ended", "again", flush=True)
        foreground(job)
    while True:
        _, status = os.waitpid(job.pid, os.WUNTRACED)
        if not os.WIFSTOPPED(status):
            break
        take_terminal()
        os.set_blocking(0, True)
        print("stopped", flush=True)
        command = input()
        if command == "kill":
            os.killpg(job.pid, signal.SIGTERM)
            os.killpg(job.pid, signal.SIGCONT)
        elif command == "bg":
            os.killpg(job.pid, signal.SIGCONT)
        else:
            foreground(job)
    take_terminal()
    os.set_blocking(0, True)
    status = os.waitstatus_to_exitcode(status)
    print("status", status, "same" if termios.tcgetattr(0) == before else "changed", flush=True)
    print(f"rest=[{input()}]")
