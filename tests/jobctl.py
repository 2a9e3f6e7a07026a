#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs a command as a job-control shell runs a foreground job: in a process group of its own
that owns the terminal, so the terminal's signals reach it alone. Reports its pid, then its
status, whether the terminal settings came back as they were, and the next line typed.

When the job's leader stops, the shell takes the terminal back at once and says "stopped"; the
next line typed is a command: `fg` sets the terminal as the shell keeps it, hands it to the job
and continues it; `kill` sends it SIGTERM, then SIGCONT, and keeps the terminal.

With --background the job starts behind a line editor's terminal modes (no line editing, no
echo, no ICRNL), as after `job &`; once it stops for the terminal, the modes are set back and
the job is brought to the foreground and continued, as by `fg`.

Usage: jobctl.py [--background] COMMAND [ARG...]
"""
import os
import signal
import subprocess
import sys
import termios


def take_terminal(group=None):
    signal.signal(signal.SIGTTOU, signal.SIG_IGN)
    os.tcsetpgrp(0, group or os.getpgrp())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)


def foreground(job):
    termios.tcsetattr(0, termios.TCSANOW, before)
    take_terminal(job.pid)
    os.killpg(job.pid, signal.SIGCONT)


background = sys.argv[1] == "--background"
command = sys.argv[2:] if background else sys.argv[1:]
before = termios.tcgetattr(0)
if background:
    editor = termios.tcgetattr(0)
    editor[0] &= ~termios.ICRNL
    editor[3] &= ~(termios.ICANON | termios.ECHO)
    termios.tcsetattr(0, termios.TCSANOW, editor)
job = subprocess.Popen(command, preexec_fn=lambda: (os.setpgid(0, 0), background or take_terminal()))
sys.stdout.write(f"pid {job.pid}\n")  # one write: the prompt may come before or after
sys.stdout.flush()
if background:
    _, stop = os.waitpid(job.pid, os.WUNTRACED)
    print("stopped" if os.WIFSTOPPED(stop) else "ended", "in the background", flush=True)
    foreground(job)
while True:
    _, status = os.waitpid(job.pid, os.WUNTRACED)
    if not os.WIFSTOPPED(status):
        break
    take_terminal()
    print("stopped", flush=True)
    if input() == "kill":
        os.killpg(job.pid, signal.SIGTERM)
        os.killpg(job.pid, signal.SIGCONT)
    else:
        foreground(job)
take_terminal()
status = os.waitstatus_to_exitcode(status)
print("status", status, "same" if termios.tcgetattr(0) == before else "changed", flush=True)
print(f"rest=[{input()}]")
