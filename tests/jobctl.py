#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs a command as a job-control shell runs a foreground job: in a process group of its own
that owns the terminal, so the terminal's signals reach it alone. Reports its pid, then its
status, whether the terminal settings came back as they were, and the next line typed.

Usage: jobctl.py COMMAND [ARG...]
"""
import os
import signal
import subprocess
import sys
import termios


def take_terminal():
    signal.signal(signal.SIGTTOU, signal.SIG_IGN)
    os.tcsetpgrp(0, os.getpgrp())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)


before = termios.tcgetattr(0)
job = subprocess.Popen(sys.argv[1:], preexec_fn=lambda: (os.setpgid(0, 0), take_terminal()))
sys.stdout.write(f"pid {job.pid}\n")  # one write: the prompt may come before or after
sys.stdout.flush()
status = job.wait()
take_terminal()
print("status", status, "same" if termios.tcgetattr(0) == before else "changed", flush=True)
print(f"rest=[{input()}]")
