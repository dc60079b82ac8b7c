#!/usr/bin/python3
# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the built game on a real display server and judges it only by what the screen shows.

Usage: play.py x11|sway|wine --geometry FILE --game PROGRAM --version VERSION [--scale S] [--fullscreen]
               [--pointer PROGRAM]
The back-end (x11.py, sway.py, wine.py) starts the server and the game, moves and clicks the pointer and takes
screenshots; the checks here are the same on each. FILE is the window's layout as the build exports it
(tropilka_geometry). With --fullscreen the game fills the screen, its field scaled by the largest factor that
fits and centred. Exit status: 0 when every check passed, 1 when one failed, 77 when the server cannot run here.
"""
import argparse
import importlib
import json
import math
import signal
import sys
import time

from screen import Failure, Skip, POLL_SECONDS, WAIT_SECONDS, until

TITLE = "Тропилка   ver. {}"
DARK_GREEN, WHITE = (0, 64, 0), (255, 255, 255)
PARK = (600, 500)  # blue field away from every element and from the first three stages
OFF_PATH = (300, 190)  # blue just above circle 0
PANEL_GROUND = [(10, 33), (10, 257), (240, 257), (375, 173)]  # the panel's ground, from its top left corner
LINES_AT_IDLE, LINES_IN_A_ROUND = 1, 3  # lines of text in each label, as on Linux at every scale
WALK_REACH = 3  # device pixels walked on either side of an edge


class View:
    """The game as the screen shows it: where its layout lies in device pixels, and what each part shows."""

    def __init__(self, backend, geometry, args):
        self.backend, self.g, self.fullscreen = backend, geometry, args.fullscreen
        self.title = TITLE.format(args.version)
        colours = {name: tuple(c) for name, c in geometry["colours"].items()}
        self.blue, self.path, self.red, self.green, self.pink = (
            colours[n] for n in ("field", "path", "target", "goal", "idle"))
        self.circles = [(left + d / 2, top + d / 2) for left, top, d in geometry["circles"]]
        x1, self.axis, x2, _, width = geometry["segments"][0]
        self.segment0 = (x1, x2, width / 2)
        left, top, w, h = geometry["start"]
        self.start_point = (left + 6, self.axis)  # where segment 0 leaves the start label
        self.start_samples = [(left + 3, top + h - 3), (left + w / 2, top + h - 3), (left + w - 3, top + h - 3)]
        self.path_samples = [(x2 + (x1 - x2) * k / 3, self.axis) for k in (1, 2)]
        (el, et, _, eh), (hl, ht, hw, hh) = geometry["exit"], geometry["help"]
        self.menu_samples = [(el + 2, et + eh - 2), (hl + 2, ht + hh - 2), (hl + hw - 2, ht + hh - 2)]
        self.panel_samples = [(geometry["panel"][0] + x, geometry["panel"][1] + y) for x, y in PANEL_GROUND]
        self.pointer = self.last = self.first_panel = None
        self.place()

    def place(self):
        """Where the window is, and the layout in it: at the window's scale, or fitted and centred."""
        self.window = self.backend.window()
        x, y, w, h = self.window["rect"]
        lw, lh = self.g["size"]
        if self.fullscreen:
            self.factor = min(w / lw, h / lh)
            self.origin = (x + (w - round(lw * self.factor)) // 2, y + (h - round(lh * self.factor)) // 2)
        else:
            self.factor, self.origin = self.backend.scale, (x, y)

    # Layout to device pixels on the screen.
    def device(self, point):
        return tuple(math.floor(o + v * self.factor) for o, v in zip(self.origin, point))

    def device_rect(self, rect, margin=0):
        """All device pixels a layout rectangle touches, as (x0, y0, x1, y1) with the ends excluded."""
        left, top, w, h = rect
        (ox, oy), f = self.origin, self.factor
        return (math.floor(ox + left * f) - margin, math.floor(oy + top * f) - margin,
                math.ceil(ox + (left + w) * f) + margin, math.ceil(oy + (top + h) * f) + margin)

    # The pointer, each move taken by the game before the next.
    def move(self, point):
        self.move_to_pixel(self.device(point))

    def move_to_pixel(self, pixel):
        self.pointer = pixel
        self.backend.move(*pixel)

    def click(self, target, then_to=None):
        """Clicks a layout point, or the middle of a layout rectangle; then moves to then_to if given."""
        if len(target) == 4:
            target = (target[0] + target[2] / 2, target[1] + target[3] / 2)
        self.move(target)
        self.backend.click()
        if then_to:
            self.move(then_to)

    # The screen.
    def check_running(self):
        if (status := self.backend.status()) is not None:
            raise Failure(f"the game ended with status {status}{self.backend.log()}")

    def shot(self):
        self.check_running()
        self.last = self.backend.shot()
        return self.last

    def wait(self, condition, timeout=WAIT_SECONDS):
        """Screenshots until condition(shot) holds or the time is up; returns (last shot, whether it held)."""
        deadline = time.monotonic() + timeout
        while not condition(shot := self.shot()):
            if time.monotonic() > deadline:
                return shot, False
            time.sleep(POLL_SECONDS)
        return shot, True

    def wait_for(self, condition, what):
        shot, held = self.wait(condition)
        if not held:
            raise Failure(f"not seen within {WAIT_SECONDS:g} s: {what}; the screen shows {self.describe(shot)}")
        return shot

    def until(self, condition, what):
        return until(condition, what, self.check_running)

    def settled(self, rect):
        """A screenshot whose rect is as in the one before."""
        shots = [self.shot()]
        return self.wait_for(lambda s: shots.append(s) or not s.differences(shots[-2], rect), "the screen to settle")

    def visible(self, pixel):
        """Whether a pixel lies clear of the cursor, where the back-end's screenshots show one."""
        box = self.backend.cursor
        if box is None or self.pointer is None:
            return True
        dx, dy = pixel[0] - self.pointer[0], pixel[1] - self.pointer[1]
        return not (box[0] <= dx <= box[2] and box[1] <= dy <= box[3])

    def shows(self, shot, points, colour):
        """Whether every sample clear of the cursor shows the colour; one at least must be clear."""
        pixels = [p for p in map(self.device, points) if self.visible(p)]
        assert pixels, f"the cursor covers every sample of {points}"
        return all(shot.colour(*p) == colour for p in pixels)

    def describe(self, shot):
        at = lambda point: shot.colour(*self.device(point))  # noqa: E731
        circles = [k for k, c in enumerate(self.circles) if at(c) in (self.red, self.green)]
        return (f"start label {at(self.start_samples[-1])}, exit label {at(self.menu_samples[0])}, segment 0 "
                f"{at(self.path_samples[0])}, panel {at(self.panel_samples[-1])}, circles {circles}")

    # What the screen says about the game.
    def idle(self, shot):
        return (self.shows(shot, self.start_samples, self.pink) and self.shows(shot, self.path_samples, self.blue)
                and not any(shot.colour(*p) == self.blue for p in map(self.device, self.menu_samples)
                            if self.visible(p)))

    def in_round(self, shot):
        return (self.shows(shot, self.start_samples, self.path) and self.shows(shot, self.menu_samples, self.blue)
                and self.shows(shot, self.path_samples, self.path))

    def circle_shown(self, shot, k):
        return shot.colour(*self.device(self.circles[k])) == (self.green if k == len(self.circles) - 1 else self.red)

    def panel_open(self, shot):
        return self.shows(shot, self.panel_samples, DARK_GREEN)

    def panel_closed(self, shot):
        return self.shows(shot, self.panel_samples, self.blue)

    def start_round(self):
        """Ends any round with a move onto blue and starts one; returns the screen at stage 0. The game takes
        events in order, so the click comes after the round has ended."""
        self.move(PARK)
        self.click(self.start_point)
        return self.wait_for(lambda s: self.in_round(s) and self.circle_shown(s, 0), "a round at circle 0")

    def win(self):
        """Jumps from circle to circle onto the green one, and waits for the win message."""
        self.start_round()
        for k in range(len(self.circles) - 1):
            self.move(self.circles[k])
            self.wait_for(lambda s: self.circle_shown(s, k + 1), f"circle {k + 1} after circle {k}")
        self.move(self.circles[-1])
        self.until(self.backend.message_shown, "the win message")

    def recover(self):
        """Whether the game runs and is idle again after a failed check, for the next one."""
        if self.backend.status() is not None or self.backend.message_shown():
            return False
        if self.panel_open(self.shot()):
            self.click(self.g["close"])
        self.move(PARK)
        return self.wait(self.idle)[1]


def summarise(pixels, shot, reference=None):
    xs, ys = [p[0] for p in pixels], [p[1] for p in pixels]
    examples = ", ".join(f"{p} {shot.colour(*p)}" + (f" instead of {reference.colour(*p)}" if reference else "")
                         for p in pixels[:3])
    return f"{len(pixels)} device pixels in columns {min(xs)}..{max(xs)}, rows {min(ys)}..{max(ys)}, e.g. {examples}"


def raise_faults(faults):
    if faults:
        raise Failure("\n    ".join([""] + faults) if len(faults) > 1 else faults[0])


# --- The checks, in order: each starts with the game idle and leaves it so -------------------------------------


def check_identity(view):
    """The title; the window's size, or the whole screen full screen; the field blue exactly there, the layout at
    the expected factor and place (the start label's corners)."""
    x, y, w, h = view.window["rect"]
    faults = [] if view.window["title"] == view.title else [f"title {view.window['title']!r}, not {view.title!r}"]
    view.move(PARK)
    shot = view.wait_for(view.idle, "the game's first picture")
    if view.fullscreen:
        if (x, y, w, h) != (0, 0, shot.width, shot.height):
            faults.append(f"the window covers {w} x {h} device pixels at ({x}, {y}), not the screen's "
                          f"{shot.width} x {shot.height}")
        field = view.device_rect((0, 0, *view.g["size"]))
        margins = [(0, 0, field[0], h), (field[2], 0, w, h), (0, 0, w, field[1]), (0, field[3], w, h)]
        strays = [p for rect in margins for p in shot.find(view.blue, rect, same=False) if view.visible(p)]
        if strays:
            faults.append(f"the margin around the field is not all blue: {summarise(strays, shot)}")
    else:
        expected = tuple(round(n * view.backend.scale) for n in view.g["size"])
        if (w, h) != expected:
            faults.append(f"the window is {w} x {h} device pixels, not {expected[0]} x {expected[1]}")
        inside = [(x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)]
        outside = [(x - 1, y), (x + w, y), (x, y - 1), (x, y + h)]
        outside = [p for p in outside if 0 <= p[0] < shot.width and 0 <= p[1] < shot.height]
        if any(shot.colour(*p) != view.blue for p in inside) or any(shot.colour(*p) == view.blue for p in outside):
            faults.append(f"the blue field does not cover the window exactly: inside "
                          f"{[shot.colour(*p) for p in inside]}, outside {[shot.colour(*p) for p in outside]}")
    left, top, w, h = view.g["start"]
    corners = [(left, top), (left + w, top), (left, top + h), (left + w, top + h)]
    for cx, cy in corners:
        for d, colour in ((0.5, view.pink), (-0.5, view.blue)):
            point = (cx + (d if cx == left else -d), cy + (d if cy == top else -d))
            pixel = view.device(point)
            if view.visible(pixel) and shot.colour(*pixel) != colour:
                faults.append(f"the start label is not where the layout puts it at factor {view.factor:g} and "
                              f"origin {view.origin}: device pixel {pixel} (layout {point}) shows "
                              f"{shot.colour(*pixel)}, not {colour}")
    raise_faults(faults)


def check_fixed_size(view):
    """Asked for a larger size, the window keeps its own; opening the help panel afterwards shows that the game
    has handled the request, at the place where the window must still be."""
    view.backend.request_size(800, 600)
    view.place()
    view.click(view.g["help"], then_to=PARK)
    view.wait_for(view.panel_open, "the help panel, clicked after the resize request")
    view.place()
    view.click(view.g["close"], then_to=PARK)
    view.wait_for(view.panel_closed, "the help panel closed")
    check_identity(view)


check_fixed_size.needs = "request_size"


def text_lines(shot, rect):
    """Lines of text a label shows: bands of rows holding anything but the ground its corner shows."""
    x0, y0, x1, y1 = rect
    ground, lines, inked_before = shot.colour(x0, y0), 0, False
    for y in range(y0, y1):
        inked = any(shot.colour(x, y) != ground for x in range(x0, x1))
        lines += inked and not inked_before
        inked_before = inked
    return lines


def check_text_lines(view):
    """Every text takes as many lines as on Linux: Windows' own text engine would put "  Старт игры" on two."""
    labels = {name: view.device_rect(view.g[name], -1) for name in ("start", "exit", "help")}
    shot = view.shot()
    seen = {name: text_lines(shot, rect) for name, rect in labels.items()}
    view.start_round()
    view.move(view.path_samples[0])  # off the label, on the path
    seen["round"] = text_lines(view.shot(), labels["start"])
    view.move(PARK)
    view.wait_for(view.idle, "the round to end on blue")
    expected = dict.fromkeys(labels, LINES_AT_IDLE) | {"round": LINES_IN_A_ROUND}
    if seen != expected:
        raise Failure(f"lines of text {seen}, expected {expected}")


def help_round_trip(view, idle, opened_before, when, faults):
    """Opens help, compares the panel with opened_before if given and checks its bottom border, closes it and
    compares its area with idle; returns the screen with the panel open."""
    area = view.device_rect(view.g["panel"], 1)
    view.click(view.g["help"], then_to=PARK)
    if opened_before is None:
        view.wait_for(view.panel_open, "the help panel")
        opened = view.settled(area)
    else:
        opened, same = view.wait(lambda s: not s.differences(opened_before, area))
        if not same:
            faults.append(f"the help panel opened {when} differs from its first opening: "
                          f"{summarise(opened.differences(opened_before, area), opened, opened_before)}")
    # The panel's last layout row is its light border: at any factor a whole device row must show it.
    left, top, w, h = view.g["panel"]
    y = view.device((0, top + h - 0.5))[1]
    x0, x1 = view.device((left + 2.5, 0))[0], view.device((left + w - 2.5, 0))[0]
    missing = [(x, y) for x in range(x0, x1 + 1) if opened.colour(x, y) != WHITE]
    if missing:
        faults.append(f"the help panel opened {when} lacks its bottom border row: {summarise(missing, opened)}")
    view.click(view.g["close"], then_to=PARK)
    shot, same = view.wait(lambda s: not s.differences(idle, area))
    if not same:
        faults.append(f"the help panel's area after closing it {when} differs from the screen before: "
                      f"{summarise(shot.differences(idle, area), shot, idle)}")
    return opened


def check_help(view):
    """Help opens and closes, twice the same, and leaves nothing stale behind."""
    faults = []
    idle = view.settled(view.device_rect(view.g["panel"], 1))
    view.first_panel = help_round_trip(view, idle, None, "on a fresh start", faults)
    help_round_trip(view, idle, view.first_panel, "a second time", faults)
    raise_faults(faults)


def check_link(view):
    """A link in the help panel is handed on to the desktop, once and unchanged."""
    view.click(view.g["help"], then_to=PARK)
    view.wait_for(view.panel_open, "the help panel")
    view.click(view.g["link"], then_to=PARK)
    links = view.until(view.backend.links, "the link handed to the desktop")
    if links != [view.g["link_url"]]:
        raise Failure(f"the desktop was asked for {links}, not [{view.g['link_url']!r}]")
    view.click(view.g["close"], then_to=PARK)
    view.wait_for(view.panel_closed, "the help panel closed")


def check_round(view):
    """A round: the start label loses its idle pink, the path leads onto circle 0 one layout pixel a move and the
    round goes on to circle 1; a move onto blue ends it."""
    rect = view.device_rect(view.g["start"])
    view.start_round()
    shot, clean = view.wait(lambda s: not s.find(view.pink, rect))
    if not clean:
        raise Failure(f"during a round the start label still shows idle pink: "
                      f"{summarise(shot.find(view.pink, rect), shot)}")
    for x in range(math.floor(view.start_point[0]), math.floor(view.circles[0][0]) - 1, -1):
        view.move((x, view.axis))
    view.wait_for(lambda s: view.circle_shown(s, 1), "circle 1 after circle 0 was reached")
    above = (view.circles[0][0], view.circles[0][1] - 3)
    view.wait_for(lambda s: s.colour(*view.device(above)) == view.path, "circle 0 gone")
    if not view.in_round(shot := view.shot()) or shot.colour(*view.device(OFF_PATH)) != view.blue:
        raise Failure(f"expected a round with blue at {OFF_PATH}: {view.describe(shot)}")
    view.move(OFF_PATH)
    view.wait_for(view.idle, "idle after a move onto blue: start label pink, path gone, menu labels back")


class Walk:
    """Device pixels on a line (x = fixed or y = fixed) across a layout edge, WALK_REACH on either side, in walking
    order; start_side is +1 to start on the edge's larger-coordinate side, -1 on the other."""

    def __init__(self, view, name, along, fixed, edge, start_side, onto_circle=False):
        self.name, self.onto_circle = name, onto_circle
        axis = 1 if along == "y" else 0
        fixed_pixel = math.floor(view.origin[1 - axis] + fixed * view.factor)
        boundary = view.origin[axis] + round(edge * view.factor)
        steps = [boundary + start_side * k for k in range(WALK_REACH, -WALK_REACH - 1, -1)]
        self.pixels = [(fixed_pixel, v) if axis else (v, fixed_pixel) for v in steps]


def walks(view):
    x1, x2, r = view.segment0
    cap = x2 - math.sqrt(r**2 - 10**2)  # segment 0's round end, 10 layout pixels off its axis
    (cx, cy), (left, top, d) = view.circles[0], view.g["circles"][0]
    return [
        Walk(view, "top edge of segment 0", "y", (x1 + x2) / 2, view.axis - r, +1),
        Walk(view, "bottom edge of segment 0", "y", (x1 + x2) / 2, view.axis + r, -1),
        Walk(view, "round end of segment 0 beside circle 0", "x", view.axis, x2 - r, +1),
        Walk(view, "upper part of segment 0's round end", "x", view.axis - 10, cap, +1),
        Walk(view, "lower part of segment 0's round end", "x", view.axis + 10, cap, +1),
        Walk(view, "right side of circle 0", "x", cy, left + d, +1, onto_circle=True),
        Walk(view, "top of circle 0", "y", cx, top, -1, onto_circle=True),
    ]


def probe(view, walk, index, follow_circle):
    """From a fresh round, walks to walk.pixels[index], then onto the centre of follow_circle; returns whether the
    round then showed circle follow_circle + 1 rather than ending. The game takes events in order: the click on
    the start label comes after the move that ended the round before, the walk after the click."""
    view.move(PARK)
    view.click(view.start_point)
    for pixel in walk.pixels[:index + 1]:
        view.move_to_pixel(pixel)
    view.move(view.circles[follow_circle])
    shot = view.wait_for(lambda s: view.idle(s) or view.circle_shown(s, follow_circle + 1),
                         "the round to end or advance")
    return not view.idle(shot)


# A move onto circle 0 after the probe advances the round unless the probe ended it; a move onto circle 1
# advances it only if the probe did. So the first tells "blue ends", the second "only red advances".
FOLLOW_UPS = {
    0: (lambda shown, view: shown != view.blue, ("end", "go on"), ("ended", "went on")),
    1: (lambda shown, view: shown == view.red, ("not advance", "advance"), ("did not advance", "advanced")),
}


def check_edges(view):
    """The pointer steps across path edges one device pixel at a time, each step probed from a fresh round; every
    reaction matches the colour the screen shows there at stage 0: blue ends the round, path colour lets it go on,
    red advances."""
    faults = []
    for walk in walks(view):
        at_stage_0 = view.start_round()
        colours = {at_stage_0.colour(*p) for p in walk.pixels}
        for index, (x, y) in enumerate(walk.pixels):
            shown = at_stage_0.colour(x, y)
            lx, ly = ((v - o) / view.factor for v, o in zip((x, y), view.origin))
            where = f"device pixel ({x}, {y}) (layout {lx:g}, {ly:g}; {walk.name})"
            if shown not in (view.blue, view.path, view.red):
                faults.append(f"{where} shows {shown}, no maze colour")
                continue
            for follow_circle in (0, 1) if walk.onto_circle else (0,):
                kept_going = probe(view, walk, index, follow_circle)
                wanted, expected, seen = FOLLOW_UPS[follow_circle]
                if kept_going != wanted(shown, view):
                    faults.append(f"{where} shows {shown}: the round should {expected[wanted(shown, view)]}, but "
                                  f"it {seen[kept_going]}")
        if len(colours) < 2:
            faults.append(f"the walk across the {walk.name} crosses no edge: every pixel shows {colours}")
    view.move(PARK)
    view.wait_for(view.idle, "the last round to end")
    raise_faults(faults)


def check_help_after_rounds(view):
    """After many rounds the help panel is as at its first opening, and leaves the screen as it was."""
    faults = []
    idle = view.settled(view.device_rect(view.g["panel"], 1))
    help_round_trip(view, idle, view.first_panel, "after rounds", faults)
    raise_faults(faults)


def check_win(view):
    """A round won; the win message closed with the keyboard; the game idle again."""
    view.win()
    view.backend.dismiss_message()
    view.until(lambda: not view.backend.message_shown(), "the win message to close")
    view.move(PARK)
    view.wait_for(view.idle, "the idle screen after the win")


check_win.needs = "dismiss_message"


def check_close_during_win(view):
    """A round won again, and the window asked to close during the win message, as a window manager's close
    button does: the program must end with status 0."""
    view.win()
    view.backend.close_window()
    status = view.backend.wait_exit(WAIT_SECONDS)
    if status is None:
        raise Failure(f"the game still runs {WAIT_SECONDS:g} s after the close request")
    if status != 0:
        raise Failure(f"the game ended with status {status} on the close request{view.backend.log()}")


CHECKS = [check_identity, check_fixed_size, check_text_lines, check_help, check_link, check_round, check_edges,
          check_help_after_rounds, check_win, check_close_during_win]


def play(view):
    checks = [c for c in CHECKS if hasattr(view.backend, getattr(c, "needs", "move"))
              and not (view.fullscreen and c is check_fixed_size)]
    failed = []
    for number, check in enumerate(checks):
        name, started = check.__name__.removeprefix("check_"), time.monotonic()
        try:
            check(view)
            print(f"ok   {name} ({time.monotonic() - started:.1f} s)", flush=True)
            continue
        except Failure as failure:
            print(f"FAIL {name}: {failure}", flush=True)
            failed.append(name)
        if number + 1 < len(checks) and not view.recover():
            print("     the game is not idle again, so the remaining checks are not run")
            failed += [c.__name__.removeprefix("check_") for c in checks[number + 1:]]
            break
    return len(checks), failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("backend", choices=("x11", "sway", "wine"))
    parser.add_argument("--geometry", required=True, help="the layout, as tropilka_geometry writes it")
    parser.add_argument("--game", required=True)
    parser.add_argument("--version", required=True, help="the game's version, as its title shows it")
    parser.add_argument("--scale", type=float, default=1, help="the display scale: Qt's, sway's or Windows' own")
    parser.add_argument("--fullscreen", action="store_true")
    parser.add_argument("--pointer", default="", help="sway: the virtual pointer client")
    args = parser.parse_args()
    with open(args.geometry, encoding="utf-8") as f:
        geometry = json.load(f)
    args.layout = geometry
    where = f"{args.backend} at scale {args.scale:g}" + (", full screen" if args.fullscreen else "")
    # Ended from outside (a CTest timeout), it still stops the game and the server on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"{where}: ended by SIGTERM"))
    started = time.monotonic()
    try:
        with importlib.import_module(args.backend).Backend(args) as backend:
            view = View(backend, geometry, args)
            where += f" (the field at factor {view.factor:g}, origin {view.origin})"
            count, failed = play(view)
    except Skip as skip:
        print(f"SKIP: {where}: {skip}")
        return 77
    except Failure as failure:
        print(f"FAIL start: {failure}")
        count, failed = 1, ["start"]
    print(f"{where}: {count - len(failed)} of {count} checks passed in {time.monotonic() - started:.0f} s"
          + (f"; failed: {', '.join(failed)}" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
