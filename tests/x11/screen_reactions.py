#!/usr/bin/python3
"""The game on a real X server reacts to exactly the colour the screen shows under the pointer.

Usage: screen_reactions.py <path to tropilka> <display scale>|fullscreen <version>

Runs the game on a private Xvfb with QT_SCALE_FACTOR=<scale>, or with --fullscreen on a 1920x1080 screen at
scale 1, where the window must cover the screen with the field fitted and centred in a blue margin that ends
a round like any blue. It walks the real (XTest) pointer one device pixel
at a time from inside the path across its edges and onto circle 0, and compares each reaction with the
screenshot's pixel there: blue ends the round, path colour lets it go on, red advances it. It also checks that
nothing stale stays on screen: no idle pink in the start label during a round, and the help panel's area after
closing it, and the panel itself when opened again, match a fresh start of the game. Exits 1 naming every fault.
"""
import contextlib
import math
import os
import re
import select
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

BLUE, PATH, RED, PINK = (0, 0, 255), (255, 255, 192), (255, 0, 0), (255, 192, 255)
DARK_GREEN, WHITE = (0, 64, 0), (255, 255, 255)
COLOUR_NAMES = {BLUE: "blue", PATH: "path colour", RED: "red", PINK: "idle pink", WHITE: "white"}
TITLE = "^Тропилка   ver\\. {}$"  # with the version the build gives the game, escaped
CLIENT_SIZE = (648, 536)
FULL_SCREEN = (1920, 1080)  # a classroom panel's

# Logical rectangles (left, top, width, height) and points of the client area.
START_LABEL = (379, 176, 150, 65)
HELP_LABEL = (512, 16, 81, 25)
PANEL = (120, 127, 386, 268)
PANEL_CLOSE = (120 + 368, 127, 17, 17)
PANEL_INSIDE = (130, 327)  # dark green between the border and the texts
PANEL_BORDER_ROW, PANEL_BORDER_SPAN = 394.5, (122.5, 503.5)
START_LABEL_IDLE_SPOT = (384, 236)  # below the caption: pink at idle, path colour in a round
CIRCLE_CENTRES = [(300.5, 212.5), (444.5, 300.5), (292.5, 452.5)]
PARK = (600, 500)  # blue field away from every element and from the first three stages
CAP_EDGE_X = 304 - math.sqrt(15**2 - 10**2)  # segment 0's round end, 10 pixels above and below its axis

FIRST_DISPLAY = 300
WAIT_SECONDS = 5.0
POLL_SECONDS = 0.01
WALK_REACH = 3  # device pixels walked on either side of an edge


class Failure(Exception):
    pass


# --- processes ---------------------------------------------------------------------------------------------


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(WAIT_SECONDS)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def read_line(fd, what):
    """One line from a pipe, within WAIT_SECONDS."""
    line = b""
    deadline = time.monotonic() + WAIT_SECONDS
    while not line.endswith(b"\n"):
        ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(fd, 64) if ready else b""
        if not chunk:
            raise Failure(f"no answer from {what}")
        line += chunk
    return line.decode().strip()


def free_displays():
    """Display numbers without a server; Xvfb's lock file settles a race with another one starting."""
    for number in range(FIRST_DISPLAY, FIRST_DISPLAY + 100):
        if not any(os.path.exists(p) for p in (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}")):
            yield f":{number}"


@contextlib.contextmanager
def x_server(width, height):
    """A private Xvfb, ready for clients when it writes its display number to the pipe."""
    for display in free_displays():
        read_end, write_end = os.pipe()
        server = subprocess.Popen(
            ["Xvfb", display, "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24+32", "-nolisten",
             "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            read_line(read_end, "Xvfb")
        except Failure:
            stop(server)  # the display was taken meanwhile
            continue
        finally:
            os.close(read_end)
        try:
            yield display
        finally:
            stop(server)
        return
    raise Failure("no free X display")


def xdotool(display, *args):
    result = subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True, timeout=WAIT_SECONDS)
    return result.stdout if result.returncode == 0 else None


# --- X protocol: XTest input and a round trip through the game's own event queue --------------------------


def pad4(n):
    return (n + 3) & ~3


class XConnection:
    """Moves and clicks the pointer with XTest, and pings the game with _NET_WM_PING: the answer proves the
    game has taken every event before it. Qt merges pointer moves still queued when it reads them, so without
    the ping a probe move followed quickly by the next one might never be reported. Input and ping go through
    this one connection, which keeps them in order.
    """

    def __init__(self, display):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(WAIT_SECONDS)
        self.sock.connect(f"/tmp/.X11-unix/X{display.lstrip(':')}")
        self.sock.sendall(struct.pack("<BxHHHHxx", ord("l"), 11, 0, 0, 0))
        status, _, _, _, length = struct.unpack("<BBHHH", self.read(8))
        setup = self.read(4 * length)
        if status != 1:
            raise Failure("the X server refused a connection")
        vendor_length, _, _, format_count = struct.unpack_from("<HHBB", setup, 16)
        self.root = struct.unpack_from("<I", setup, 32 + pad4(vendor_length) + 8 * format_count)[0]
        self.protocols = self.intern("WM_PROTOCOLS")
        self.ping_atom = self.intern("_NET_WM_PING")
        # Qt sends its answer to the root window for StructureNotify (Qt 6.4) or SubstructureNotify listeners.
        event_mask, structure_notify, substructure_notify = 0x800, 0x20000, 0x80000
        self.request(2, 0, struct.pack("<III", self.root, event_mask, structure_notify | substructure_notify))
        self.token = 0
        self.xtest = self.extension("XTEST")

    def read(self, size):
        data = b""
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                raise Failure("the X server closed the connection")
            data += chunk
        return data

    def request(self, opcode, data, body):
        self.sock.sendall(struct.pack("<BBH", opcode, data, 1 + len(body) // 4) + body)

    def next_message(self):
        """The next event or reply; replies and generic events carry more than 32 bytes."""
        message = self.read(32)
        if message[0] == 0:
            raise Failure(f"X error {message[1]}")
        if message[0] & 0x7F in (1, 35):
            message += self.read(4 * struct.unpack_from("<I", message, 4)[0])
        return message

    def reply_to(self, opcode, name):
        encoded = name.encode()
        self.request(opcode, 0, struct.pack("<HH", len(encoded), 0) + encoded.ljust(pad4(len(encoded)), b"\0"))
        while (reply := self.next_message())[0] != 1:
            pass
        return reply

    def intern(self, name):
        return struct.unpack_from("<I", self.reply_to(16, name), 8)[0]

    def extension(self, name):
        present, opcode = struct.unpack_from("<BB", self.reply_to(98, name), 8)
        if not present:
            raise Failure(f"the X server lacks {name}")
        return opcode

    def fake_input(self, kind, detail, x=0, y=0):
        self.request(self.xtest, 2, struct.pack("<BBxxII8xhh8x", kind, detail, 0, self.root, x, y))

    def move(self, x, y):
        motion_notify, absolute = 6, 0
        self.fake_input(motion_notify, absolute, x, y)

    def click(self):
        button_press, button_release, left = 4, 5, 1
        self.fake_input(button_press, left)
        self.fake_input(button_release, left)

    def close(self, window):
        """Asks a window to close, as a window manager's close button does."""
        client_message = 33
        event = struct.pack("<BBHII5I", client_message, 32, 0, window, self.protocols,
                            self.intern("WM_DELETE_WINDOW"), 0, 0, 0, 0)
        self.request(25, 0, struct.pack("<II", window, 0) + event)

    def ping(self, window):
        self.token += 1
        client_message = 33
        event = struct.pack("<BBHII5I", client_message, 32, 0, window, self.protocols, self.ping_atom,
                            self.token, window, 0, 0)
        self.request(25, 0, struct.pack("<II", window, 0) + event)
        try:
            while True:
                message = self.next_message()
                if message[0] & 0x7F == client_message and struct.unpack_from("<II", message, 12) == (
                        self.ping_atom, self.token):
                    return
        except socket.timeout:
            raise Failure("the game did not answer a ping") from None


# --- screenshots --------------------------------------------------------------------------------------------


class Shot:
    """An xwd screenshot of the root window. Xvfb draws the pointer in software and leaves it out of
    screenshots; the pointer is kept away from every pixel read all the same."""

    def __init__(self, data, origin):
        header = struct.unpack(">25I", data[:100])
        self.data, self.origin = data, origin
        self.start = header[0] + 12 * header[19]
        self.byte_order = "little" if header[7] == 0 else "big"
        self.pixel_size, self.line_size = header[11] // 8, header[12]
        self.masks = header[14:17]

    def offset(self, x, y):
        """Byte offset of window-relative device pixel (x, y)."""
        return self.start + (self.origin[1] + y) * self.line_size + (self.origin[0] + x) * self.pixel_size

    def colour(self, x, y):
        i = self.offset(x, y)
        value = int.from_bytes(self.data[i:i + self.pixel_size], self.byte_order)
        return tuple((value & mask) >> ((mask & -mask).bit_length() - 1) for mask in self.masks)

    def pixels(self, rect):
        x0, y0, x1, y1 = rect
        return ((x, y) for y in range(y0, y1) for x in range(x0, x1))

    def find(self, colour, rect):
        return [p for p in self.pixels(rect) if self.colour(*p) == colour]

    def row(self, y, x0, x1):
        return self.data[self.offset(x0, y):self.offset(x1, y)]

    def changed_rows(self, other, rect):
        x0, y0, x1, y1 = rect
        return [y for y in range(y0, y1) if self.row(y, x0, x1) != other.row(y, x0, x1)]

    def differences(self, other, rect):
        x0, _, x1, _ = rect
        return [(x, y) for y in self.changed_rows(other, rect) for x in range(x0, x1)
                if self.colour(x, y) != other.colour(x, y)]


def fitted(screen):
    """How the game fits its field to a full screen of device pixels: the largest scale that fits, the picture
    rounded to whole pixels and centred; returns (scale, origin)."""
    scale = min(screen[0] / CLIENT_SIZE[0], screen[1] / CLIENT_SIZE[1])
    size = [int(n * scale + 0.5) for n in CLIENT_SIZE]  # as Qt rounds a scaled size
    return scale, tuple(max(0, screen[i] - size[i]) // 2 for i in (0, 1))


def describe(colour):
    return f"{COLOUR_NAMES.get(colour, 'colour')} {colour}"


# --- the game -----------------------------------------------------------------------------------------------


class Game:
    """The built game on the given display, seen and driven only through the X server."""

    def __init__(self, binary, display, scale, runtime_dir, screen=None):
        self.display = display
        self.place(scale, screen)
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=str(scale),
                   XDG_RUNTIME_DIR=runtime_dir)
        self.process = subprocess.Popen([binary] + self.arguments(), env=env, stdout=subprocess.DEVNULL)
        self.window, self.origin = self.find_window()
        self.x = XConnection(display)

    def place(self, scale, screen):
        """Where the field lies in the window's device pixels: at the display scale from the top left, or, full
        screen (given the screen's size in device pixels), fitted to it."""
        self.scale, self.screen = scale, screen
        self.field_scale, self.field_origin = fitted(screen) if screen else (scale, (0, 0))

    def arguments(self):
        return ["--fullscreen"] if self.screen else []

    def find_window(self):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            self.check_running()
            found = (xdotool(self.display, "search", "--onlyvisible", "--name", TITLE) or "").split()
            if found:
                return int(found[0]), self.geometry(found[0])
            time.sleep(POLL_SECONDS)
        raise Failure("the game's window did not appear")

    def geometry(self, window):
        shell = xdotool(self.display, "getwindowgeometry", "--shell", window)
        values = dict(line.split("=") for line in shell.split())
        size, position = (int(values["WIDTH"]), int(values["HEIGHT"])), (int(values["X"]), int(values["Y"]))
        expected = self.screen or tuple(round(n * self.scale) for n in CLIENT_SIZE)
        if size != expected or (self.screen and position != (0, 0)):
            raise Failure(f"the window is {size} device pixels at {position}, expected {expected}"
                          + (" at (0, 0)" if self.screen else ""))
        return position

    def check_running(self):
        if self.process.poll() is not None:
            raise Failure(f"the game exited with status {self.process.returncode}")

    def stop(self):
        stop(self.process)

    # The field's logical pixels to device pixels, relative to the client area.
    def device(self, point):
        return tuple(o + math.floor(v * self.field_scale) for o, v in zip(self.field_origin, point))

    def device_rect(self, rect):
        """All device pixels a logical rectangle touches, as (x0, y0, x1, y1) with exclusive ends."""
        (x0, y0), (ox, oy) = self.device(rect[:2]), self.field_origin
        s = self.field_scale
        return x0, y0, ox + math.ceil((rect[0] + rect[2]) * s), oy + math.ceil((rect[1] + rect[3]) * s)

    def logical(self, pixel):
        return tuple((p - o) / self.field_scale for p, o in zip(pixel, self.field_origin))

    def move(self, pixel):
        """Moves the pointer to a device pixel and returns once the game has taken the move."""
        self.x.move(self.origin[0] + pixel[0], self.origin[1] + pixel[1])
        self.x.ping(self.window)

    def click(self, rect, then_to=None):
        """Clicks the middle of a logical rectangle, then moves on to logical point then_to if given."""
        left, top, width, height = rect
        self.move(self.device((left + width / 2, top + height / 2)))
        self.x.click()
        if then_to:
            self.move(self.device(then_to))

    def shot(self):
        self.check_running()
        data = subprocess.run(["xwd", "-root", "-silent", "-display", self.display], capture_output=True,
                              check=True, timeout=WAIT_SECONDS).stdout
        return Shot(data, self.origin)

    def wait(self, condition):
        """Screenshots until condition(shot) holds or WAIT_SECONDS pass; returns (shot, whether it held)."""
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            shot = self.shot()
            if condition(shot):
                return shot, True
            if time.monotonic() > deadline:
                return shot, False
            time.sleep(POLL_SECONDS)

    def wait_for(self, condition, what):
        shot, held = self.wait(condition)
        if not held:
            raise Failure(f"timed out waiting for {what}")
        return shot

    def settled(self, rect):
        """A screenshot whose rect is the same as in the one before."""
        shots = [self.shot()]

        def unchanged(shot):
            shots.append(shot)
            return not shot.differences(shots[-2], rect)

        return self.wait_for(unchanged, "the screen to settle")

    # What the screen says about the round.
    def idle(self, shot):
        return shot.colour(*self.device(START_LABEL_IDLE_SPOT)) == PINK

    def shows_circle(self, shot, index):
        return shot.colour(*self.device(CIRCLE_CENTRES[index])) == RED

    def start_round(self):
        """Ends any round by a move onto blue, starts a new one; returns the screen at stage 0. Events are taken
        in order, so the click comes after the round has ended."""
        self.move(self.device(PARK))
        self.click(START_LABEL)
        return self.wait_for(lambda s: not self.idle(s) and self.shows_circle(s, 0), "a round to start")


# --- probes -------------------------------------------------------------------------------------------------


class Walk:
    """Device pixels on a line (x = fixed or y = fixed) across a logical edge, WALK_REACH on either side, in
    walking order; start_side is +1 to start on the edge's larger-coordinate side, -1 on the other."""

    def __init__(self, game, name, along, fixed, edge, start_side, onto_circle=False):
        self.name, self.onto_circle = name, onto_circle
        fixed_axis, along_axis = (0, 1) if along == "y" else (1, 0)
        fixed_pixel = game.field_origin[fixed_axis] + math.floor(fixed * game.field_scale)
        boundary = game.field_origin[along_axis] + round(edge * game.field_scale)
        steps = [boundary + start_side * k for k in range(WALK_REACH, -WALK_REACH - 1, -1)]
        self.pixels = [(fixed_pixel, v) if along == "y" else (v, fixed_pixel) for v in steps]


def walks(game):
    return [
        Walk(game, "top edge of segment 0", "y", 340, 201, +1),
        Walk(game, "bottom edge of segment 0", "y", 340, 231, -1),
        Walk(game, "round end of segment 0 beside circle 0", "x", 216, 289, +1),
        Walk(game, "upper part of segment 0's round end", "x", 206, CAP_EDGE_X, +1),
        Walk(game, "lower part of segment 0's round end", "x", 226, CAP_EDGE_X, +1),
        Walk(game, "right side of circle 0", "x", 212.5, 305, +1, onto_circle=True),
        Walk(game, "top of circle 0", "y", 300.5, 208, -1, onto_circle=True),
    ]


def probe(game, walk, index, follow_circle):
    """Walks to walk.pixels[index], then onto the centre of follow_circle; returns the colour the pixel showed
    and whether the round then showed circle follow_circle + 1 rather than ending."""
    shown = game.start_round().colour(*walk.pixels[index])
    for pixel in walk.pixels[:index + 1]:
        game.move(pixel)
    game.move(game.device(CIRCLE_CENTRES[follow_circle]))
    shot = game.wait_for(lambda s: game.idle(s) or game.shows_circle(s, follow_circle + 1),
                         "the round to end or advance")
    return shown, not game.idle(shot)


# A move onto circle 0 after the probe advances the round unless the probe ended it; a move onto circle 1
# advances it only if the probe did. So the first tells "blue ends", the second "only red advances".
FOLLOW_UPS = {
    0: (lambda shown: shown != BLUE, ("end", "go on"), ("ended", "went on")),
    1: (lambda shown: shown == RED, ("not advance", "advance"), ("did not advance", "advanced")),
}


def check_walk(game, walk, faults):
    for index, (x, y) in enumerate(walk.pixels):
        lx, ly = game.logical((x, y))
        where = f"device pixel ({x}, {y}) (logical {lx:g}, {ly:g}; {walk.name})"
        for follow_circle in (0, 1) if walk.onto_circle else (0,):
            shown, kept_going = probe(game, walk, index, follow_circle)
            if shown not in (BLUE, PATH, RED):
                faults.append(f"{where} shows {describe(shown)}, no maze colour")
                break
            wanted, expected, seen = FOLLOW_UPS[follow_circle]
            if kept_going != wanted(shown):
                faults.append(f"{where} shows {describe(shown)}: the round should {expected[wanted(shown)]}, "
                              f"but it {seen[kept_going]}")


# --- stale pixels -------------------------------------------------------------------------------------------


def summarise(pixels, shot, reference=None):
    xs, ys = [p[0] for p in pixels], [p[1] for p in pixels]
    examples = ", ".join(f"{p} {describe(shot.colour(*p))}" + (f" instead of {describe(reference.colour(*p))}"
                                                                 if reference else "") for p in pixels[:3])
    return (f"{len(pixels)} device pixels in columns {min(xs)}..{max(xs)}, rows {min(ys)}..{max(ys)}, "
            f"e.g. {examples}")


def grow(rect, margin):
    x0, y0, x1, y1 = rect
    return (x0 - margin, y0 - margin, x1 + margin, y1 + margin)


def expect_same(game, reference, rect, what, faults):
    """Waits for rect to match reference; returns the last screenshot."""
    shot, same = game.wait(lambda s: not s.differences(reference, rect))
    if not same:
        faults.append(f"{what}: {summarise(shot.differences(reference, rect), shot, reference)}")
    return shot


def check_start_label_in_round(game, faults):
    rect = game.device_rect(START_LABEL)
    game.start_round()
    shot, clean = game.wait(lambda s: not s.find(PINK, rect))
    if not clean:
        stale = shot.find(PINK, rect)
        faults.append(f"during a round the start label still shows idle pink: {summarise(stale, shot)}")


def check_bottom_border(game, shot, when, faults):
    """The panel's last logical row is its light border; at any scale a whole device row must show it."""
    (x0, y), (x1, _) = (game.device((x, PANEL_BORDER_ROW)) for x in PANEL_BORDER_SPAN)
    missing = [(x, y) for x in range(x0, x1 + 1) if shot.colour(x, y) != WHITE]
    if missing:
        faults.append(f"the help panel opened {when} lacks its bottom border row: {summarise(missing, shot)}")


def check_help(game, idle, opened_before, when, faults):
    """Opens help, compares the panel with opened_before if given, closes it and compares its area with idle;
    returns the screen with the panel open."""
    area = game.device_rect(PANEL)
    game.click(HELP_LABEL, then_to=PARK)
    if opened_before is None:
        game.wait_for(lambda s: s.colour(*game.device(PANEL_INSIDE)) == DARK_GREEN, "the help panel to open")
        opened = game.settled(area)
    else:
        opened = expect_same(game, opened_before, area, f"the help panel opened {when} differs from its first "
                             "opening", faults)
    check_bottom_border(game, opened, when, faults)
    game.click(PANEL_CLOSE, then_to=PARK)
    expect_same(game, idle, grow(area, 1), f"the help panel's area after closing it {when} differs from the "
                "screen before", faults)
    return opened


# --- full screen --------------------------------------------------------------------------------------------


def margins(game):
    """The screen's device pixels around the fitted field, as rectangles (x0, y0, x1, y1)."""
    (x0, y0, x1, y1), (width, height) = game.device_rect((0, 0, *CLIENT_SIZE)), game.screen
    return [r for r in ((0, 0, x0, height), (x1, 0, width, height), (x0, 0, x1, y0), (x0, y1, x1, height))
            if r[0] < r[2] and r[1] < r[3]]


def check_fills_screen(game, faults):
    """Full screen, the margin around the field is the field's blue, and touching it ends a round."""
    if not game.screen:
        return
    shot = game.shot()
    for rect in margins(game):
        x0, y0, x1, y1 = rect
        blue_row = shot.row(y0, x0, x0 + 1) * (x1 - x0)
        if shot.colour(x0, y0) != BLUE or any(shot.row(y, x0, x1) != blue_row for y in range(y0, y1)):
            faults.append(f"the margin {rect} around the field is not all blue")
    for rect in margins(game):
        game.start_round()
        game.move(((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2))
        if not game.wait(game.idle)[1]:
            faults.append(f"touching the margin {rect} did not end the round")


# --- the run ------------------------------------------------------------------------------------------------


def check_game(game, faults):
    panel_area = grow(game.device_rect(PANEL), 1)
    game.move(game.device(PARK))
    game.wait_for(game.idle, "the game's first picture")
    fresh_idle = game.settled(panel_area)
    fresh_help = check_help(game, fresh_idle, None, "on a fresh start", faults)
    check_help(game, fresh_idle, fresh_help, "a second time", faults)
    check_fills_screen(game, faults)
    check_start_label_in_round(game, faults)
    for walk in walks(game):
        check_walk(game, walk, faults)
    game.move(game.device(PARK))
    game.wait_for(game.idle, "the last round to end")
    check_help(game, game.settled(panel_area), fresh_help, "after rounds", faults)


def run(binary, scale, full_screen):
    faults = []
    width, height = FULL_SCREEN if full_screen else (math.ceil(n * scale) + 16 for n in CLIENT_SIZE)
    with tempfile.TemporaryDirectory() as runtime_dir, x_server(width, height) as display:
        game = Game(binary, display, scale, runtime_dir, FULL_SCREEN if full_screen else None)
        try:
            check_game(game, faults)
        except Failure as failure:
            faults.append(f"stopped: {failure}")
        finally:
            game.stop()
    return faults


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    binary, full_screen = sys.argv[1], sys.argv[2] == "fullscreen"
    scale = 1.0 if full_screen else float(sys.argv[2])
    where = "full screen" if full_screen else f"display scale {scale:g}"
    global TITLE
    TITLE = TITLE.format(re.escape(sys.argv[3]))
    # Ended from outside (a CTest timeout), it still stops the game and Xvfb on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"{where}: ended by SIGTERM"))
    try:
        faults = run(binary, scale, full_screen)
    except Failure as failure:
        faults = [f"stopped: {failure}"]
    for fault in faults:
        print(f"FAIL at {where}: {fault}", file=sys.stderr)
    print(f"{where}: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
