# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""What every back-end shares: the screenshot, the faults, waiting, and the desktop's stand-in link opener."""
import contextlib
import os
import subprocess
import time

WAIT_SECONDS = 10.0
POLL_SECONDS = 0.02


class Failure(Exception):
    """A check saw something other than what the game must show."""


class Skip(Exception):
    """The display server cannot run here: the test is skipped, saying why."""


class Picture:
    """The whole screen in device pixels, read as (r, g, b): step bytes a pixel, channels the bytes of r, g and b."""

    def __init__(self, data, width, height, step, channels):
        self.data, self.width, self.height, self.step, self.channels = data, width, height, step, channels
        self.stride = step * width

    @classmethod
    def from_ppm(cls, data):
        """From a binary PPM, as grim writes it."""
        _, size, depth, pixels = data.split(b"\n", 3)
        if depth != b"255":
            raise Failure("the screenshot is no 8-bit PPM")
        return cls(pixels, *map(int, size.split()), 3, (0, 1, 2))

    def colour(self, x, y):
        i = y * self.stride + x * self.step
        return tuple(self.data[i + c] for c in self.channels)

    def row(self, y, x0, x1):
        i = y * self.stride
        return self.data[i + x0 * self.step:i + x1 * self.step]

    def find(self, colour, rect, same=True):
        """The pixels of rect (x0, y0, x1, y1, ends excluded) that have the colour, or with same=False do not."""
        x0, y0, x1, y1 = rect
        return [(x, y) for y in range(y0, y1) for x in range(x0, x1) if (self.colour(x, y) == colour) == same]

    def differences(self, other, rect):
        x0, y0, x1, y1 = rect
        return [(x, y) for y in range(y0, y1) if self.row(y, x0, x1) != other.row(y, x0, x1)
                for x in range(x0, x1) if self.colour(x, y) != other.colour(x, y)]


def until(condition, what, check=lambda: None, timeout=WAIT_SECONDS):
    """Polls condition() until it gives something true, calling check() (which may raise) in between."""
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        check()
        if time.monotonic() > deadline:
            raise Failure(f"not seen within {timeout:g} s: {what}")
        time.sleep(POLL_SECONDS)
    return result


class GameBackend:
    """What every back-end's game process answers alike; the back-end sets self.game."""

    cursor = None  # the software cursor's box around the pointer, where screenshots show one

    def status(self):
        return self.game.poll()

    def wait_exit(self, timeout):
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.game.wait(timeout)

    def log(self):
        return ""


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def opener(folder):
    """Stand-ins for the desktop's browser and mail program, as the game (or Wine's launcher) runs them for a
    link: they only write down what they were asked. Returns their folder, for the game's PATH, and a function
    that lists what they were asked so far."""
    stubs, opened = os.path.join(folder, "stubs"), os.path.join(folder, "opened.txt")
    os.makedirs(stubs)
    for name in ("xdg-open", "xdg-email"):
        with open(os.path.join(stubs, name), "w", encoding="utf-8") as stub:
            stub.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{opened}"\n')
        os.chmod(stub.name, 0o755)

    def links():
        with contextlib.suppress(FileNotFoundError), open(opened, encoding="utf-8") as f:
            return f.read().split()
        return []

    return stubs, links
