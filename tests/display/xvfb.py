#!/usr/bin/python3
# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""Starts a private X server (Xvfb) on a free display and returns once it accepts connections.

As a program: xvfb.py [--size WIDTHxHEIGHT] [--first N] [PREFIX...] starts one that outlives it and prints its
display and PID (":301 12345"); the caller stops it by that PID. PREFIX runs Xvfb through another program, e.g.
`chroot ROOT`. Exit status 1 when none could start.
"""
import argparse
import contextlib
import os
import select
import subprocess
import sys
import time

from screen import stop


def start(width, height, prefix=(), first=300, **popen):
    """Xvfb on the first free display from `first` on: (display, process). It writes the display's number to
    -displayfd once it accepts connections; one that cannot take the display (another server took it meanwhile)
    ends, and the next is tried."""
    for number in range(first, first + 100):
        if any(os.path.exists(p) for p in (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}")):
            continue
        read_end, write_end = os.pipe()
        server = subprocess.Popen([*prefix, "Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                                   f"{width}x{height}x24+32", "-nolisten", "tcp"], pass_fds=(write_end,),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  **popen)
        os.close(write_end)
        answer, deadline = b"", time.monotonic() + 30
        while not answer.endswith(b"\n") and select.select([read_end], [], [], max(0, deadline - time.monotonic()))[0]:
            if not (chunk := os.read(read_end, 16)):
                break
            answer += chunk
        os.close(read_end)
        if answer.endswith(b"\n"):
            return f":{answer.decode().strip()}", server
        stop(server)
    raise RuntimeError("no free X display")


@contextlib.contextmanager
def server(width, height):
    display, process = start(width, height)
    try:
        yield display
    finally:
        stop(process)


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", default="1280x1024")
    parser.add_argument("--first", type=int, default=300, help="the first display number to try")
    parser.add_argument("prefix", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    try:
        display, process = start(*args.size.split("x"), args.prefix, args.first, start_new_session=True)
    except RuntimeError as error:
        sys.exit(f"xvfb.py: {error}")
    print(display, process.pid)
