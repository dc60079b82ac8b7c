#!/usr/bin/python3
# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the game as a native Wayland client of a headless sway and judges it by what the screen shows.

Usage: play_on_sway.py --game BUILD/tropilka --pointer BUILD/.../tropilka_virtual_pointer --scale 1|1.25|1.5|2
                       --version VERSION [--fullscreen]
With --fullscreen the game runs so on a 1920x1080 output: the field fitted and centred in a blue margin.
Exit status: 0 when every check passed, 1 when one failed, 77 (skipped) when sway cannot run here.

sway refuses to run as root, so as root the compositor, the game and every client that talks to them run as
`nobody`, in a throw-away folder that also holds the runtime folder and copies of the two programs (the
build folder need not be readable by that user). The headless seat has no pointer: the virtual pointer
client lends it one, whose absolute moves reach fractions of a logical pixel. The screen is read with grim.

At a fractional scale a client without fractional-scale support (Qt 6.4 with sway 1.7, Debian 12) draws at
the next whole scale and sway shrinks the picture; Qt 6.8 with sway 1.10 (Debian 13) draws at the output's
own scale. Either way the game must react to the colour the screen shows under the pointer.
"""
import argparse
import json
import os
import pwd
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
APP_ID = "org.example.Tropilka"
TITLE = "Тропилка   ver. {}"  # with the version the build gives the game
CLIENT_SIZE = (648, 536)
WEB_LINK = "http://example.org/nt"
# The output, in logical pixels at every scale, so that sway centres the window on whole pixels; at 1.25 and
# 1.5 the window's place and size are whole device pixels too.
LAYOUT_SIZE = (1024, 768)
SCALES = (1, 1.25, 1.5, 2)
FULL_SCREEN = (1920, 1080)  # a classroom panel's, at output scale 1

BLUE = (0, 0, 255)
PATH = (255, 255, 192)
RED = (255, 0, 0)
GREEN = (0, 255, 0)
PINK = (255, 192, 255)
PANEL = (0, 64, 0)

# Places in the client area, logical pixels.
START_POINT = (385, 216)  # on the start label, where segment 0 leaves it
START_LABEL_SAMPLES = [(382, 238), (454, 238), (526, 238)]  # below the caption's text
MENU_LABEL_SAMPLES = [(50, 39), (514, 39), (591, 39)]  # corners of "Выход" and "Помощь"
SEGMENT0_SAMPLE = (340, 216)
CIRCLE_BOXES = [(296, 208, 9, 9), (440, 296, 9, 9), (288, 448, 9, 9), (600, 344, 9, 9), (608, 480, 9, 9),
                (400, 448, 9, 9), (280, 504, 9, 9), (40, 416, 9, 9), (32, 208, 9, 9), (272, 344, 9, 9),
                (272, 168, 9, 9), (96, 104, 9, 9), (600, 152, 25, 25)]
CIRCLES = [(left + w / 2, top + h / 2) for left, top, w, h in CIRCLE_BOXES]
GREEN_CIRCLE = len(CIRCLES) - 1
HELP_LABEL = (552, 28)
PANEL_SAMPLES = [(130, 160), (130, 384), (360, 384), (495, 300)]  # the panel's ground, inside its frame
PANEL_CLOSE = (496, 135)
PANEL_WEB_LINK = (361, 374)
# The top edge of segment 0 (y = 201) is crossed here, away from its round caps.
EDGE_X = 340
EDGE_SEARCH_Y = (195, 207)


class Skip(Exception):
    """sway cannot run here: the test is skipped, saying why."""


class Failure(Exception):
    """A check saw something other than what the game must show."""


# --- The processes -----------------------------------------------------------------------------------------


class Folder:
    """The throw-away folder: home, runtime folder, logs and copies of the programs, owned by the player."""

    def __init__(self, user):
        self.user = user
        # Under /tmp when root lends it to another user, who must be able to reach it.
        self.path = tempfile.mkdtemp(prefix="tropilka-wayland-", dir="/tmp" if os.geteuid() == 0 else None)
        self.runtime = self.make("runtime")
        self.stubs = self.make("stubs")
        self.opened = os.path.join(self.path, "opened.txt")
        os.chown(self.path, user.pw_uid, user.pw_gid)

    def make(self, name):
        path = os.path.join(self.path, name)
        os.mkdir(path, 0o700)
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        return path

    def write(self, name, text, mode=0o644):
        path = os.path.join(self.path, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        os.chmod(path, mode)
        return path

    def copy_program(self, source):
        target = os.path.join(self.path, os.path.basename(source))
        shutil.copy(source, target)
        os.chmod(target, 0o755)
        return target

    def log(self, name):
        return open(os.path.join(self.path, name), "w+b")

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


class Desktop:
    """sway, the virtual pointer and the game, each started here and stopped by its PID."""

    def __init__(self, args, user):
        self.args = args
        self.user = user
        self.folder = Folder(user)
        self.processes = []
        self.logs = {}
        self.env = {
            "PATH": f"{self.folder.stubs}:/usr/bin:/bin",
            "HOME": self.folder.path,
            "XDG_RUNTIME_DIR": self.folder.runtime,
            "XDG_CACHE_HOME": os.path.join(self.folder.path, "cache"),
            "XDG_CONFIG_HOME": os.path.join(self.folder.path, "config"),
            "LANG": "C.UTF-8",
        }

    def start(self, name, command, extra_env, stdin=None, stdout=None):
        log = self.folder.log(f"{name}.log")
        self.logs[name] = log
        process = subprocess.Popen(command, env={**self.env, **extra_env}, cwd=self.folder.path, stdin=stdin,
                                   stdout=stdout or log, stderr=log, **self.as_player())
        self.processes.append(process)
        return process

    def as_player(self):
        if os.geteuid() != 0:
            return {}
        return {"user": self.user.pw_uid, "group": self.user.pw_gid, "extra_groups": []}

    def run(self, command, timeout=10):
        env = {**self.env, "WAYLAND_DISPLAY": self.wayland_display, "SWAYSOCK": self.swaysock}
        return subprocess.run(command, env=env, capture_output=True, timeout=timeout, check=True,
                              **self.as_player()).stdout

    def log_tail(self, name, lines=15):
        log = self.logs[name]
        log.seek(0)
        return "\n".join(log.read().decode(errors="replace").splitlines()[-lines:])

    # sway ------------------------------------------------------------------------------------------------

    def start_sway(self, scale, size=LAYOUT_SIZE):
        missing = [tool for tool in ("sway", "swaymsg", "grim") if shutil.which(tool) is None]
        if missing:
            raise Skip(f"{' and '.join(missing)} not installed (tools/install-deps.sh installs them)")
        sway = shutil.which("sway")
        width, height = self.output_size = size
        config = self.folder.write("sway.config", "\n".join([
            f"output * mode {round(width * scale)}x{round(height * scale)} scale {scale:g}",
            "xwayland disable",
            "default_border none",
            "default_floating_border none",
            'for_window [app_id=".*"] floating enable',
            "",
        ]))
        self.sway = self.start("sway", [sway, "--config", config], {
            "WLR_BACKENDS": "headless",
            "WLR_RENDERER": "pixman",
            "WLR_LIBINPUT_NO_DEVICES": "1",
        })
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            if self.sway.poll() is not None:
                raise Skip(f"sway ended with status {self.sway.returncode}:\n{self.log_tail('sway')}")
            sockets = os.listdir(self.folder.runtime)
            ipc = [s for s in sockets if s.startswith("sway-ipc.")]
            display = [s for s in sockets if s.startswith("wayland-") and not s.endswith(".lock")]
            if ipc and display:
                self.swaysock = os.path.join(self.folder.runtime, ipc[0])
                self.wayland_display = display[0]
                try:
                    self.run(["swaymsg", "-t", "get_version"])
                    return
                except subprocess.CalledProcessError:
                    pass
            time.sleep(0.05)
        raise Skip(f"sway did not open its sockets within 15 s:\n{self.log_tail('sway')}")

    def swaymsg(self, *words):
        return json.loads(self.run(["swaymsg", "--raw", *words]))

    def views(self):
        """Every application window in sway's tree."""
        found = []

        def walk(node):
            if node.get("type") in ("con", "floating_con") and node.get("pid"):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(self.swaymsg("-t", "get_tree"))
        return found

    # The pointer -----------------------------------------------------------------------------------------

    def start_pointer(self):
        if not self.args.pointer:
            raise Skip("the virtual pointer client was not built (wayland-scanner or libwayland-dev missing)")
        program = self.folder.copy_program(self.args.pointer)
        width, height = self.output_size
        process = self.start("pointer", [program, str(width), str(height)],
                             {"WAYLAND_DISPLAY": self.wayland_display}, stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE)
        self.pointer = Pointer(process)
        if self.pointer.read_line() != "ready":
            raise Skip(f"sway did not lend a virtual pointer:\n{self.log_tail('pointer')}")

    # The game --------------------------------------------------------------------------------------------

    def start_game(self):
        # The desktop's opener, as Qt runs it for a link: it only records what it was asked to open.
        self.folder.write("stubs/xdg-open", f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.folder.opened}"\n',
                          0o755)
        program = self.folder.copy_program(self.args.game)
        # As a user's Wayland session would start it: no platform named, no X display.
        options = ["--fullscreen"] if self.args.fullscreen else []
        self.game = self.start("game", [program] + options, {"WAYLAND_DISPLAY": self.wayland_display,
                                                   "XDG_SESSION_TYPE": "wayland"})

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
            if process.stdin:
                process.stdin.close()
            if process.stdout:
                process.stdout.close()
        for log in self.logs.values():
            log.close()
        self.folder.remove()


class Pointer:
    """The virtual pointer client: one command a line, answered once sway has handled it."""

    def __init__(self, process):
        self.process = process
        self.pending = b""

    def read_line(self, timeout=10):
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stdout], [], [], left)[0]:
                raise Failure("the virtual pointer client did not answer")
            chunk = os.read(self.process.stdout.fileno(), 256)
            if not chunk:
                raise Failure(f"the virtual pointer client ended with status {self.process.wait()}")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode()

    def send(self, command):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()
        if self.read_line() != "ok":
            raise Failure(f"the virtual pointer client refused: {command}")

    def move_to(self, x, y):
        self.send(f"move {x:.4f} {y:.4f}")


# --- The screen --------------------------------------------------------------------------------------------


class Shot:
    """One screenshot; positions are the game's logical client-area pixels unless named device."""

    def __init__(self, ppm, to_output, scale):
        magic, size, depth, self.pixels = ppm.split(b"\n", 3)
        if magic != b"P6" or depth != b"255":
            raise Failure("grim wrote no binary 8-bit PPM")
        self.width, self.height = map(int, size.split())
        self.to_output = to_output
        self.scale = scale

    def device(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def device_point(self, x, y):
        """The device pixel under the pointer at logical (x, y): the one whose square holds the point."""
        return tuple(int(v * self.scale) for v in self.to_output(x, y))

    def at(self, x, y):
        return self.device(*self.device_point(x, y))

    def save_png(self, path):
        stride = self.width * 3
        rows = b"".join(b"\0" + self.pixels[y * stride:(y + 1) * stride] for y in range(self.height))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 1))
                    + chunk(b"IEND", b""))


class Game:
    """Drives the window and judges it by the screen."""

    def __init__(self, desktop, scale, full_screen):
        self.desktop = desktop
        self.pointer = desktop.pointer
        self.scale = scale
        self.full_screen = full_screen
        # Full screen the field is fitted to the output's device pixels: the largest scale that fits, the
        # picture rounded to whole pixels and centred.
        output = [round(n * scale) for n in desktop.output_size]
        fit = min(output[0] / CLIENT_SIZE[0], output[1] / CLIENT_SIZE[1])
        fitted = [int(n * fit + 0.5) for n in CLIENT_SIZE]
        self.field_scale, self.field_origin = ((fit, [(output[i] - fitted[i]) // 2 for i in (0, 1)])
                                               if full_screen else (scale, [0, 0]))
        self.position = None
        self.window = None
        self.origin = None
        self.last_shot = None

    def find_window(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self.check_running()
            views = [v for v in self.desktop.views() if v.get("app_id") == APP_ID]
            if views:
                self.window = views[0]
                rect, frame, own = (self.window[key] for key in ("rect", "window_rect", "geometry"))
                corner = (rect["x"] + frame["x"], rect["y"] + frame["y"])
                slack = (max(0, frame["width"] - own["width"]), max(0, frame["height"] - own["height"]))
                # A window smaller than its frame: sway 1.7 centres it there, 1.10 leaves it in the corner.
                self.origin = corner if self.full_screen else self.placed(
                    [corner, (corner[0] + slack[0] // 2, corner[1] + slack[1] // 2)])
                return self.window
            time.sleep(0.05)
        others = [(v.get("app_id"), v.get("name")) for v in self.desktop.views()]
        raise Failure(f"no window with app id {APP_ID} within {timeout} s, only {others}; the game said:\n"
                      f"{self.desktop.log_tail('game')}")

    def placed(self, candidates, timeout=5):
        """Of the places the window may be at, the one where the screen shows the blue field's top left
        corner in three screenshots in a row (the compositor may still be moving it); the first if none does
        within the time, as before the first frame."""
        deadline = time.monotonic() + timeout
        seen = []
        while time.monotonic() < deadline:
            shot = Shot(self.desktop.run(["grim", "-t", "ppm", "-"]), lambda x, y: (x, y), self.scale)
            found = None
            for x, y in candidates:
                dx, dy = int(x * self.scale), int(y * self.scale)
                if (0 < dx < shot.width and 0 < dy < shot.height and shot.device(dx, dy) == BLUE
                        and shot.device(dx - 1, dy) != BLUE and shot.device(dx, dy - 1) != BLUE):
                    found = (x, y)
                    break
            seen = seen[-2:] + [found]
            if found is not None and seen.count(found) == 3:
                return found
            time.sleep(0.05)
        return candidates[0]

    def to_output(self, x, y):
        """The output's logical position of the field's logical point (x, y)."""
        return tuple(o + (f + v * self.field_scale) / self.scale
                     for o, f, v in zip(self.origin, self.field_origin, (x, y)))

    def from_output(self, x, y):
        return tuple(((v - o) * self.scale - f) / self.field_scale
                     for o, f, v in zip(self.origin, self.field_origin, (x, y)))

    def size(self):
        """The logical size the window has committed."""
        return self.window["geometry"]["width"], self.window["geometry"]["height"]

    def check_field(self, shot):
        """The blue field covers exactly the window's logical size, in device pixels of the output's scale;
        full screen, the whole output is the field's blue but for the field's own elements."""
        if self.full_screen:
            left, top = self.field_origin
            right, bottom = (round(self.to_output(*CLIENT_SIZE)[i] * self.scale) for i in (0, 1))
            margins = [(0, 0, left, shot.height), (right, 0, shot.width, shot.height)]
            stray = [(x, y) for x0, y0, x1, y1 in margins for y in range(y0, y1, 7) for x in range(x0, x1, 7)
                     if shot.device(x, y) != BLUE]
            if (shot.width, shot.height) != tuple(round(n * self.scale) for n in self.desktop.output_size) or stray:
                raise Failure(f"full screen, the margins around the field are not all blue: {stray[:5]}")
            return
        left, top = (round(o * self.scale) for o in self.origin)
        w, h = (round(size * self.scale) for size in CLIENT_SIZE)
        right, bottom = left + w - 1, top + h - 1
        inside = [(left, top), (right, top), (left, bottom), (right, bottom)]
        outside = [(left - 1, top), (right + 1, top), (left, top - 1), (left, bottom + 1)]
        if any(shot.device(*p) != BLUE for p in inside) or any(shot.device(*p) == BLUE for p in outside):
            raise Failure(f"the blue field does not cover {w} x {h} device pixels: inside "
                          f"{[shot.device(*p) for p in inside]}, "
                          f"outside {[shot.device(*p) for p in outside]}")

    def check_running(self):
        if self.desktop.game.poll() is not None:
            raise Failure(f"the game ended with status {self.desktop.game.returncode}; it said:\n"
                          f"{self.desktop.log_tail('game')}")

    # Pointer ---------------------------------------------------------------------------------------------

    def move(self, x, y):
        self.pointer.move_to(*self.to_output(x, y))
        self.position = (x, y)

    def click(self, x, y):
        self.move(x, y)
        self.pointer.send("press")
        self.pointer.send("release")

    def clear_of_cursor(self, point):
        """Whether a point lies outside the software cursor's picture, which hangs below and right of the
        pointer."""
        if self.position is None:
            return True
        dx, dy = point[0] - self.position[0], point[1] - self.position[1]
        return not (-10 <= dx <= 40 and -3 <= dy <= 40)

    # Screen ----------------------------------------------------------------------------------------------

    def grab(self):
        ppm = self.desktop.run(["grim", "-t", "ppm", "-"])
        self.last_shot = Shot(ppm, self.to_output, self.scale)
        return self.last_shot

    def shows(self, shot, points, colour):
        """Whether every sample clear of the cursor has the colour; at least one must be clear."""
        visible = [p for p in points if self.clear_of_cursor(p)]
        assert visible, f"the cursor covers every sample of {points}"
        return all(shot.at(*p) == colour for p in visible)

    def wait_until(self, what, seen, timeout=10):
        deadline = time.monotonic() + timeout
        while True:
            self.check_running()
            shot = self.grab()
            if seen(shot):
                return shot
            if time.monotonic() > deadline:
                raise Failure(f"not seen within {timeout} s: {what}; the screen shows {self.describe(shot)}")
            time.sleep(0.02)

    def describe(self, shot):
        circles = [k for k, c in enumerate(CIRCLES) if shot.at(*c) in (RED, GREEN)]
        return (f"start label {shot.at(*START_LABEL_SAMPLES[-1])}, exit label "
                f"{shot.at(*MENU_LABEL_SAMPLES[0])}, segment 0 {shot.at(*SEGMENT0_SAMPLE)}, panel "
                f"{shot.at(*PANEL_SAMPLES[-1])}, circles {circles}")

    # What the screen must show ---------------------------------------------------------------------------

    def idle(self, shot):
        return (self.shows(shot, START_LABEL_SAMPLES, PINK) and shot.at(*SEGMENT0_SAMPLE) == BLUE
                and all(shot.at(*p) != BLUE for p in MENU_LABEL_SAMPLES if self.clear_of_cursor(p)))

    def in_round(self, shot):
        return (self.shows(shot, START_LABEL_SAMPLES, PATH) and self.shows(shot, MENU_LABEL_SAMPLES, BLUE)
                and shot.at(*SEGMENT0_SAMPLE) == PATH)

    def circle_shown(self, k):
        colour = GREEN if k == GREEN_CIRCLE else RED
        return lambda shot: shot.at(*CIRCLES[k]) == colour

    def panel_open(self, shot):
        return self.shows(shot, PANEL_SAMPLES, PANEL)

    def panel_closed(self, shot):
        return self.shows(shot, PANEL_SAMPLES, BLUE)

    def back_to_idle(self):
        """Whether the game runs, idle, so that the next check can start."""
        return self.window is not None and self.desktop.game.poll() is None and self.idle(self.grab())

    def start_round(self):
        self.wait_until("the game idle", self.idle)
        self.click(*START_POINT)
        self.wait_until("a round: start label light yellow, segment 0, menu labels hidden", self.in_round)
        self.wait_until("circle 0", self.circle_shown(0))


# --- The checks --------------------------------------------------------------------------------------------


def check_identity(game, desktop):
    window = game.find_window()
    problems = []
    if window.get("shell") != "xdg_shell":
        problems.append(f"shell {window.get('shell')}, not a native xdg_shell window")
    if window.get("name") != TITLE:
        problems.append(f"title {window.get('name')!r}, not {TITLE!r}")
    wanted = desktop.output_size if game.full_screen else CLIENT_SIZE
    if game.size() != wanted:
        problems.append(f"logical size {game.size()}, not {wanted}")
    if problems:
        raise Failure("; ".join(problems))
    if game.full_screen:
        game.move(600, 500)  # the cursor's picture off the margins, onto the field's blue
    game.check_field(game.wait_until("the first frame", game.idle))


def check_fixed_size(game, desktop):
    """Asked for a larger size, the window keeps its own. Opening the help panel afterwards shows that the
    game has handled the request, at the place where the window must still be."""
    desktop.swaymsg(f"[con_id={game.window['id']}]", "resize", "set", "800", "600")
    # The frame grows around the window; where the window then sits depends on the sway release.
    game.find_window()
    game.click(*HELP_LABEL)
    game.wait_until("the dark green help panel, clicked after the resize request", game.panel_open)
    game.find_window()
    if game.size() != CLIENT_SIZE:
        raise Failure(f"logical size {game.size()} after a resize to 800 x 600")
    game.check_field(game.grab())
    game.click(*PANEL_CLOSE)
    game.wait_until("the help panel closed", game.panel_closed)


def check_round(game, desktop):
    game.start_round()
    # Walk left along the path, one logical pixel a move, onto circle 0.
    for x in range(START_POINT[0], 299, -1):
        game.move(x, START_POINT[1])
    game.wait_until("circle 1 after circle 0 was reached", game.circle_shown(1))
    game.wait_until("circle 0 gone", lambda shot: shot.at(CIRCLES[0][0], CIRCLES[0][1] - 3) == PATH)


def check_loss(game, desktop):
    blue = (300, 190)
    shot = game.grab()
    if shot.at(*blue) != BLUE or not game.in_round(shot):
        raise Failure(f"expected a round with blue at {blue}: {game.describe(shot)}")
    game.move(*blue)
    game.wait_until("idle after a move onto blue: start label pink, path gone, menu labels back", game.idle)
    if game.full_screen:
        # The margin beside the field is blue too.
        game.start_round()
        game.move(*game.from_output(1, desktop.output_size[1] / 2))
        game.wait_until("idle after a move onto the margin beside the field", game.idle)


def check_help(game, desktop):
    game.wait_until("the game idle", game.idle)
    game.click(*HELP_LABEL)
    game.wait_until("the dark green help panel", game.panel_open)
    game.click(*PANEL_CLOSE)
    game.wait_until("the help panel closed", game.panel_closed)


def check_link(game, desktop):
    game.click(*HELP_LABEL)
    game.wait_until("the dark green help panel", game.panel_open)
    game.click(*PANEL_WEB_LINK)
    deadline = time.monotonic() + 10
    while not os.path.exists(desktop.folder.opened) and time.monotonic() < deadline:
        game.check_running()
        time.sleep(0.05)
    if not os.path.exists(desktop.folder.opened):
        raise Failure(f"the web link ran no xdg-open within 10 s; the game said:\n{desktop.log_tail('game')}")
    with open(desktop.folder.opened, encoding="utf-8") as f:
        opened = f.read().splitlines()
    if opened != [WEB_LINK]:
        raise Failure(f"xdg-open was asked for {opened}, not [{WEB_LINK!r}]")
    game.click(*PANEL_CLOSE)
    game.wait_until("the help panel closed", game.panel_closed)


def check_edge(game, desktop):
    """Crosses the top edge of segment 0 one device pixel at a time, from the path onto blue. After each
    step the pointer jumps onto the current red circle: the round goes on there (the next circle appears)
    unless the step ended it (the start label turns pink). The screen says which it must be: the colour of
    the device pixel under the pointer, read before the step."""
    game.start_round()
    shot = game.grab()
    column = shot.device_point(EDGE_X, 0)[0]
    top, bottom = (shot.device_point(0, y)[1] for y in EDGE_SEARCH_Y)
    edge = next((row for row in range(top, bottom) if shot.device(column, row) == PATH
                 and shot.device(column, row - 1) == BLUE), None)
    if edge is None:
        raise Failure(f"no blue-to-path edge in device column {column}, rows {top}..{bottom}")
    mismatches, stage = [], 0
    for row in range(edge + 2, edge - 4, -1):
        colour = game.grab().device(column, row)
        if colour not in (BLUE, PATH):
            raise Failure(f"device pixel ({column}, {row}) at the edge is {colour}, neither blue nor path")
        # The device pixel's middle: its edges are no whole logical positions at 1.25 and 1.5. Where sway
        # shrinks a picture drawn at scale 2, the screen pixel shows the picture's pixel nearest its middle,
        # the upper one where the middle falls between two; hence a little above the middle, yet far from
        # the rounding of Wayland's positions (1/256 of a logical pixel).
        y = game.from_output(0, (row + 0.5) / game.scale - 1 / 64)[1]
        game.move(EDGE_X, y)
        game.move(*CIRCLES[stage])
        shot = game.wait_until(f"the round ended or circle {stage + 1}",
                               lambda s: game.idle(s) or game.circle_shown(stage + 1)(s))
        ended = game.idle(shot)
        if ended != (colour == BLUE):
            mismatches.append(f"pointer at ({EDGE_X}, {y:g}), over device pixel ({column}, {row}) which is "
                              f"{'blue' if colour == BLUE else 'path'}: the round "
                              f"{'ended' if ended else 'went on'}")
        if ended:
            break
        stage += 1
    else:
        game.move(EDGE_X, EDGE_SEARCH_Y[0])
        game.wait_until("idle after a move well onto blue", game.idle)
    if mismatches:
        raise Failure("the game's reactions do not match the screen, so it does not test the colour under "
                      "the pointer:\n    " + "\n    ".join(mismatches))


def check_win_and_close(game, desktop):
    """Jumps from circle to circle to the green one, then, with the win message open, asks the main window to
    close as the compositor's close button would: the program must end with status 0."""
    game.start_round()
    for k in range(GREEN_CIRCLE):
        game.move(*CIRCLES[k])
        game.wait_until(f"circle {k + 1} after circle {k}", game.circle_shown(k + 1))
    game.move(*CIRCLES[GREEN_CIRCLE])
    deadline = time.monotonic() + 10
    while len([v for v in desktop.views() if v.get("app_id") == APP_ID]) < 2:
        game.check_running()
        if time.monotonic() > deadline:
            raise Failure("no message window opened within 10 s after the green circle")
        time.sleep(0.05)
    desktop.swaymsg(f"[con_id={game.window['id']}]", "kill")
    try:
        status = desktop.game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure("the game still runs 10 s after the close request") from None
    if status != 0:
        raise Failure(f"the game ended with status {status} on the close request; it said:\n"
                      f"{desktop.log_tail('game')}")


# In this order: each starts where the one before left the game, idle or (after round) in a round.
CHECKS = [check_identity, check_fixed_size, check_round, check_loss, check_help, check_link, check_edge,
          check_win_and_close]


def player():
    """sway will not run as root; root lends the desktop to nobody."""
    if os.geteuid() != 0:
        return pwd.getpwuid(os.geteuid())
    try:
        return pwd.getpwnam("nobody")
    except KeyError:
        raise Skip("running as root and there is no user nobody to run sway as") from None


def play(args):
    desktop = Desktop(args, player())
    failures = []
    # Full screen, the window keeps the output's size, so there is no size of its own to hold.
    checks = [c for c in CHECKS if not (args.fullscreen and c is check_fixed_size)]
    try:
        desktop.start_sway(args.scale, FULL_SCREEN if args.fullscreen else LAYOUT_SIZE)
        desktop.start_pointer()
        desktop.start_game()
        game = Game(desktop, args.scale, args.fullscreen)
        for check in checks:
            name = check.__name__.removeprefix("check_")
            started = time.monotonic()
            try:
                check(game, desktop)
                print(f"ok   {name} ({time.monotonic() - started:.1f} s)")
            except Failure as failure:
                print(f"FAIL {name}: {failure}")
                failures.append(name)
                if args.shots and game.last_shot:
                    where = "fullscreen" if args.fullscreen else f"{args.scale:g}"
                    path = os.path.join(args.shots, f"wayland@{where}-{name}.png")
                    game.last_shot.save_png(path)
                    print(f"     the last screen is in {path}")
                remaining = checks[checks.index(check) + 1:]
                if remaining and not game.back_to_idle():
                    print("     the game is not back at idle, so the remaining checks are not run")
                    failures += [c.__name__.removeprefix("check_") for c in remaining]
                    break
    finally:
        desktop.stop()
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--pointer", default="")
    parser.add_argument("--scale", type=float, choices=SCALES, default=1)
    parser.add_argument("--fullscreen", action="store_true", help="the game full screen on a 1920x1080 output")
    parser.add_argument("--shots", help="folder to keep the last screen of each failed check in, as PNG")
    parser.add_argument("--version", required=True, help="the game's version, as its title shows it")
    args = parser.parse_args()
    global TITLE
    TITLE = TITLE.format(args.version)
    # A test runner's stop still takes the compositor and the game down with the rest.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    started = time.monotonic()
    try:
        failures = play(args)
    except Skip as skip:
        print(f"SKIP: the game cannot be played on sway here: {skip}")
        return SKIP
    total = len(CHECKS) - (1 if args.fullscreen else 0)
    where = "full screen" if args.fullscreen else f"output scale {args.scale:g}"
    print(f"{total - len(failures)} of {total} checks passed at {where} in "
          f"{time.monotonic() - started:.1f} s" + (f"; failed: {', '.join(failures)}" if failures else ""))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
