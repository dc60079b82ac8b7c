#!/usr/bin/python3
# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the built game on a real display server and judges it only by what the screen shows. The back-end
(x11.py, sway.py, wine.py) starts the server and the game, moves and clicks the pointer and takes screenshots; the
checks here are the same on each. The layout is the one tropilka_geometry exports. Exit status: 0 when every
check passed, 1 when one failed, 77 when the server cannot run here."""
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

    def __init__(self, backend, g, args):
        self.backend, self.g, self.fullscreen, self.title = backend, g, args.fullscreen, TITLE.format(args.version)
        self.blue, self.path, self.red, self.green, self.pink = (
            tuple(g["colours"][n]) for n in ("field", "path", "target", "goal", "idle"))
        self.circles = [(left + d / 2, top + d / 2) for left, top, d in g["circles"]]
        x1, self.axis, x2, _, width = g["segments"][0]
        self.segment0 = (x1, x2, width / 2)
        left, top, w, h = g["start"]
        self.start_point = (left + 6, self.axis)  # where segment 0 leaves the start label
        self.start_samples = [(left + 3, top + h - 3), (left + w / 2, top + h - 3), (left + w - 3, top + h - 3)]
        self.path_samples = [(x2 + (x1 - x2) * k / 3, self.axis) for k in (1, 2)]
        (el, et, _, eh), (hl, ht, hw, hh) = g["exit"], g["help"]
        self.menu_samples = [(el + 2, et + eh - 2), (hl + 2, ht + hh - 2), (hl + hw - 2, ht + hh - 2)]
        self.panel_samples = [(g["panel"][0] + x, g["panel"][1] + y) for x, y in PANEL_GROUND]
        self.pointer = self.first_panel = None
        self.place()

    def place(self):
        """Where the window is, and the layout in it: at the window's scale, or fitted and centred."""
        self.window = self.backend.window()
        x, y, w, h = self.window["rect"]
        lw, lh = self.g["size"]
        self.factor = min(w / lw, h / lh) if self.fullscreen else self.backend.scale
        self.origin = (x + (w - round(lw * self.factor)) // 2, y + (h - round(lh * self.factor)) // 2)

    def device(self, point):
        return tuple(math.floor(o + v * self.factor) for o, v in zip(self.origin, point))

    def device_rect(self, rect, margin=0):
        """All device pixels a layout rectangle touches, as (x0, y0, x1, y1) with the ends excluded."""
        (ox, oy), f, (left, top, w, h) = self.origin, self.factor, rect
        return (math.floor(ox + left * f) - margin, math.floor(oy + top * f) - margin,
                math.ceil(ox + (left + w) * f) + margin, math.ceil(oy + (top + h) * f) + margin)

    def move(self, point, device=False):
        """Moves the pointer to a layout point, or a device pixel; the game takes each move before the next."""
        self.pointer = point if device else self.device(point)
        self.backend.move(*self.pointer)

    def click(self, target, then_to=None):
        """Clicks a layout point, or the middle of a layout rectangle; then moves to then_to if given."""
        self.move(target if len(target) == 2 else (target[0] + target[2] / 2, target[1] + target[3] / 2))
        self.backend.click()
        if then_to:
            self.move(then_to)

    def check_running(self):
        if (status := self.backend.status()) is not None:
            raise Failure(f"the game ended with status {status}{self.backend.log()}")

    def shot(self):
        return self.check_running() or self.backend.shot()

    def wait(self, condition):
        """Screenshots until condition(shot) holds or the time is up; returns (last shot, whether it held)."""
        deadline = time.monotonic() + WAIT_SECONDS
        while not condition(shot := self.shot()):
            if time.monotonic() > deadline:
                return shot, False
            time.sleep(POLL_SECONDS)
        return shot, True

    def wait_for(self, condition, what):
        shot, held = self.wait(condition)
        if not held:
            at = [shot.colour(*self.device(p)) for p in (self.start_samples[-1], self.menu_samples[0],
                                                         self.path_samples[0], self.panel_samples[-1], *self.circles)]
            circles = [k for k, c in enumerate(at[4:]) if c in (self.red, self.green)]
            raise Failure(f"not seen within {WAIT_SECONDS:g} s: {what}; the screen shows start label, exit label, "
                          f"segment 0, panel {at[:4]}, circles {circles}")
        return shot

    def settled(self, rect):
        """A screenshot whose rect is as in the one before."""
        shots = [self.shot()]
        return self.wait_for(lambda s: shots.append(s) or not s.differences(shots[-2], rect), "the screen to settle")

    def visible(self, pixel):
        """Whether a pixel lies clear of the cursor, where the back-end's screenshots show one."""
        box, at = self.backend.cursor, self.pointer
        return box is None or at is None or not (box[0] <= pixel[0] - at[0] <= box[2]
                                                 and box[1] <= pixel[1] - at[1] <= box[3])

    def shows(self, shot, points, colour, same=True):
        """Whether every sample clear of the cursor shows the colour (or with same=False, none does)."""
        pixels = [p for p in map(self.device, points) if self.visible(p)]
        assert pixels, f"the cursor covers every sample of {points}"
        return all((shot.colour(*p) == colour) == same for p in pixels)

    def idle(self, shot):
        return (self.shows(shot, self.start_samples, self.pink) and self.shows(shot, self.path_samples, self.blue)
                and self.shows(shot, self.menu_samples, self.blue, same=False))

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
        """Ends any round with a move onto blue, starts one and returns the screen at stage 0. The idle screen in
        between keeps one round's stage 0 from passing for the next one's where the screen shows a window's
        picture some time after the game drew it (Wine)."""
        self.move(PARK)
        self.wait_for(self.idle, "the round to end on blue")
        self.click(self.start_point)
        return self.wait_for(lambda s: self.in_round(s) and self.circle_shown(s, 0), "a round at circle 0")

    def win(self):
        """Jumps from circle to circle onto the green one, and waits for the win message."""
        self.start_round()
        for k in range(len(self.circles) - 1):
            self.move(self.circles[k])
            self.wait_for(lambda s: self.circle_shown(s, k + 1), f"circle {k + 1} after circle {k}")
        self.move(self.circles[-1])
        until(self.backend.message_shown, "the win message", self.check_running)

    def margins(self):
        """Full screen, the device pixels around the fitted field, as rectangles (x0, y0, x1, y1)."""
        (x0, y0, x1, y1), (_, _, w, h) = self.device_rect((0, 0, *self.g["size"])), self.window["rect"]
        return [r for r in ((0, 0, x0, h), (x1, 0, w, h), (0, 0, w, y0), (0, y1, w, h)) if r[0] < r[2] and r[1] < r[3]]

    def recover(self):
        """Whether the game runs and is idle again after a failed check, the help panel closed, for the next."""
        if self.backend.status() is not None or self.backend.message_shown():
            return False
        self.click(self.g["close"], then_to=PARK)
        return self.wait(lambda s: self.idle(s) and self.panel_closed(s))[1]


def summarise(pixels, shot, reference=None):
    (xs, ys), was = zip(*pixels), lambda p: f" instead of {reference.colour(*p)}" if reference else ""  # noqa: E731
    return (f"{len(pixels)} device pixels in columns {min(xs)}..{max(xs)}, rows {min(ys)}..{max(ys)}, e.g. "
            + ", ".join(f"{p} {shot.colour(*p)}{was(p)}" for p in pixels[:3]))


def raise_faults(faults):
    if faults:
        raise Failure("\n    ".join(faults))


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
            faults.append(f"the window covers {w} x {h} at ({x}, {y}), not the screen's {shot.width} x {shot.height}")
        if strays := [p for rect in view.margins() for p in shot.find(view.blue, rect, False) if view.visible(p)]:
            faults.append(f"the margin around the field is not all blue: {summarise(strays, shot)}")
    else:
        if (w, h) != (expected := tuple(round(n * view.backend.scale) for n in view.g["size"])):
            faults.append(f"the window is {w} x {h} device pixels, not {expected[0]} x {expected[1]}")
        inside = [(x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)]
        outside = [p for p in [(x - 1, y), (x + w, y), (x, y - 1), (x, y + h)]
                   if 0 <= p[0] < shot.width and 0 <= p[1] < shot.height]
        if any(shot.colour(*p) != view.blue for p in inside) or any(shot.colour(*p) == view.blue for p in outside):
            faults.append(f"the blue field does not cover the window exactly: inside "
                          f"{[shot.colour(*p) for p in inside]}, outside {[shot.colour(*p) for p in outside]}")
    left, top, w, h = view.g["start"]
    for cx, cy in [(left, top), (left + w, top), (left, top + h), (left + w, top + h)]:
        for d, colour in ((0.5, view.pink), (-0.5, view.blue)):
            point = (cx + (d if cx == left else -d), cy + (d if cy == top else -d))
            if view.visible(pixel := view.device(point)) and shot.colour(*pixel) != colour:
                faults.append(f"the start label is not where factor {view.factor:g} and origin {view.origin} put "
                              f"it: device pixel {pixel} (layout {point}) shows {shot.colour(*pixel)}, not {colour}")
    raise_faults(faults)


def check_fixed_size(view):
    """Asked for a larger size, the window keeps its own: the help panel, opened after the request, shows that the
    game has handled it."""
    view.backend.request_size(800, 600)
    view.place()
    view.click(view.g["help"], then_to=PARK)
    view.wait_for(view.panel_open, "the help panel, clicked after the resize request")
    view.place()
    view.click(view.g["close"], then_to=PARK)
    view.wait_for(view.panel_closed, "the help panel closed")
    check_identity(view)


def text_lines(shot, rect):
    """Lines of text a label shows: bands of rows holding anything but the ground its corner shows."""
    x0, y0, x1, y1 = rect
    inked = [any(shot.colour(x, y) != shot.colour(x0, y0) for x in range(x0, x1)) for y in range(y0, y1)]
    return sum(1 for k, ink in enumerate(inked) if ink and (k == 0 or not inked[k - 1]))


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
    if seen != (expected := dict.fromkeys(labels, LINES_AT_IDLE) | {"round": LINES_IN_A_ROUND}):
        raise Failure(f"lines of text {seen}, expected {expected}")


def help_round_trip(view, when, faults):
    """Opens help: the panel as at its first opening, with its bottom border; closed, the screen as before."""
    area = view.device_rect(view.g["panel"], 1)
    idle = view.settled(area)
    view.click(view.g["help"], then_to=PARK)
    if view.first_panel is None:
        view.wait_for(view.panel_open, "the help panel")
        opened = view.first_panel = view.settled(area)
    else:
        opened, same = view.wait(lambda s: not s.differences(view.first_panel, area))
        if not same:
            faults.append(f"the help panel opened {when} differs from its first opening: "
                          f"{summarise(opened.differences(view.first_panel, area), opened, view.first_panel)}")
    # The panel's last layout row is its light border: at any factor a whole device row must show it.
    left, top, w, h = view.g["panel"]
    (x0, y), (x1, _) = view.device((left + 2.5, top + h - 0.5)), view.device((left + w - 2.5, 0))
    if missing := [(x, y) for x in range(x0, x1 + 1) if opened.colour(x, y) != WHITE]:
        faults.append(f"the help panel opened {when} lacks its bottom border row: {summarise(missing, opened)}")
    view.click(view.g["close"], then_to=PARK)
    shot, same = view.wait(lambda s: not s.differences(idle, area))
    if not same:
        faults.append(f"the help panel's area after closing it {when} differs from the screen before: "
                      f"{summarise(shot.differences(idle, area), shot, idle)}")


def check_help(view, occasions=("on a fresh start", "a second time")):
    """Help opens and closes, each time the same, and leaves nothing stale behind."""
    faults = []
    for when in occasions:
        help_round_trip(view, when, faults)
    raise_faults(faults)


def check_link(view):
    """A link in the help panel is handed on to the desktop, once and unchanged."""
    view.click(view.g["help"], then_to=PARK)
    view.wait_for(view.panel_open, "the help panel")
    view.click(view.g["link"], then_to=PARK)
    if (links := until(view.backend.links, "the link handed to the desktop", view.check_running)) != [
            view.g["link_url"]]:
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
        raise Failure(f"in a round the start label shows idle pink: {summarise(shot.find(view.pink, rect), shot)}")
    for x in range(math.floor(view.start_point[0]), math.floor(view.circles[0][0]) - 1, -1):
        view.move((x, view.axis))
    view.wait_for(lambda s: view.circle_shown(s, 1), "circle 1 after circle 0 was reached")
    above = view.device((view.circles[0][0], view.circles[0][1] - 3))
    view.wait_for(lambda s: s.colour(*above) == view.path, "circle 0 gone")
    if not view.in_round(shot := view.shot()) or shot.colour(*view.device(OFF_PATH)) != view.blue:
        raise Failure(f"expected a round with blue at {OFF_PATH}")
    view.move(OFF_PATH)
    view.wait_for(view.idle, "idle after a move onto blue: start label pink, path gone, menu labels back")


def check_margins(view):
    """Full screen, touching the blue margin around the field ends a round, as any blue does."""
    faults = []
    for x0, y0, x1, y1 in view.margins():
        view.start_round()
        view.move(((x0 + x1) // 2, (y0 + y1) // 2), device=True)
        if not view.wait(view.idle)[1]:
            faults.append(f"touching the margin ({x0}, {y0}, {x1}, {y1}) did not end the round")
    raise_faults(faults)


def walk(view, along, fixed, edge, start_side):
    """Device pixels on a line (x = fixed or y = fixed) across a layout edge, WALK_REACH on either side, in
    walking order; start_side is +1 to start on the edge's larger-coordinate side, -1 on the other."""
    axis = 1 if along == "y" else 0
    fixed_pixel = math.floor(view.origin[1 - axis] + fixed * view.factor)
    boundary = view.origin[axis] + round(edge * view.factor)
    steps = [boundary + start_side * k for k in range(WALK_REACH, -WALK_REACH - 1, -1)]
    return [(fixed_pixel, v) if axis else (v, fixed_pixel) for v in steps]


def walks(view):
    """(name, pixels, whether the walk ends on circle 0)."""
    x1, x2, r = view.segment0
    cap = x2 - math.sqrt(r**2 - 10**2)  # segment 0's round end, 10 layout pixels off its axis
    (cx, cy), (left, top, d) = view.circles[0], view.g["circles"][0]
    return [("top edge of segment 0", walk(view, "y", (x1 + x2) / 2, view.axis - r, +1), False),
            ("bottom edge of segment 0", walk(view, "y", (x1 + x2) / 2, view.axis + r, -1), False),
            ("round end of segment 0 beside circle 0", walk(view, "x", view.axis, x2 - r, +1), False),
            ("upper part of segment 0's round end", walk(view, "x", view.axis - 10, cap, +1), False),
            ("lower part of segment 0's round end", walk(view, "x", view.axis + 10, cap, +1), False),
            ("right side of circle 0", walk(view, "x", cy, left + d, +1), True),
            ("top of circle 0", walk(view, "y", cx, top, -1), True)]


def probe(view, pixels, follow_circle):
    """From a fresh round (under Wine the walk must wait for it), walks over pixels, then onto follow_circle;
    returns whether the round then showed the next circle rather than ending."""
    view.start_round()
    for pixel in pixels:
        view.move(pixel, device=True)
    view.move(view.circles[follow_circle])
    shot = view.wait_for(lambda s: view.idle(s) or view.circle_shown(s, follow_circle + 1), "the round to end or go on")
    return not view.idle(shot)


def check_edges(view):
    """The pointer steps across path edges one device pixel at a time, each step probed from a fresh round; every
    reaction matches the colour the screen shows there at stage 0: blue ends the round, path colour lets it go on,
    red advances. A move onto circle 0 after the probe advances the round unless the probe ended it; a move onto
    circle 1 advances it only if the probe did."""
    faults = []
    for name, pixels, onto_circle in walks(view):
        at_stage_0 = view.start_round()
        if len(colours := {at_stage_0.colour(*p) for p in pixels}) < 2:
            faults.append(f"the walk across the {name} crosses no edge: every pixel shows {colours}")
        for index, (x, y) in enumerate(pixels):
            shown, layout = at_stage_0.colour(x, y), [f"{(v - o) / view.factor:g}" for v, o in zip((x, y), view.origin)]
            where = f"device pixel ({x}, {y}) (layout {', '.join(layout)}; {name}) shows {shown}"
            if shown not in (view.blue, view.path, view.red):
                faults.append(f"{where}, no maze colour")
                continue
            if probe(view, pixels[:index + 1], 0) != (shown != view.blue):
                faults.append(f"{where}: the round should {'go on' if shown != view.blue else 'end'}, but did not")
            if onto_circle and probe(view, pixels[:index + 1], 1) != (shown == view.red):
                faults.append(f"{where}: the round should {'' if shown == view.red else 'not '}advance, but it "
                              f"{'did not' if shown == view.red else 'did'}")
    view.move(PARK)
    view.wait_for(view.idle, "the last round to end")
    raise_faults(faults)


def check_help_after_rounds(view):
    check_help(view, ["after rounds"])


def check_win(view):
    """A round won; the win message closed with the keyboard; the game idle again."""
    view.win()
    view.backend.dismiss_message()
    until(lambda: not view.backend.message_shown(), "the win message to close", view.check_running)
    view.move(PARK)
    view.wait_for(view.idle, "the idle screen after the win")


def check_close_during_win(view):
    """A round won again, and the window asked to close during the win message, as a window manager's close
    button does: the program must end with status 0."""
    view.win()
    view.backend.close_window()
    if (status := view.backend.wait_exit(WAIT_SECONDS)) is None:
        raise Failure(f"the game still runs {WAIT_SECONDS:g} s after the close request")
    if status != 0:
        raise Failure(f"the game ended with status {status} on the close request{view.backend.log()}")


def play(view):
    # Those the back-end can do: only sway is asked to resize a window, and Wayland has no keyboard here.
    checks = [check_identity] + [check_fixed_size] * (hasattr(view.backend, "request_size") and not view.fullscreen) + [
        check_text_lines, check_help, check_link, check_round] + [check_margins] * view.fullscreen + [
        check_edges, check_help_after_rounds] + [check_win] * hasattr(view.backend, "dismiss_message") + [
        check_close_during_win]
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
    for option in ("--geometry", "--game", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--scale", type=float, default=1, help="the display scale: Qt's, sway's or Windows' own")
    parser.add_argument("--fullscreen", action="store_true")
    parser.add_argument("--pointer", default="", help="sway: the virtual pointer client")
    args = parser.parse_args()
    with open(args.geometry, encoding="utf-8") as f:
        args.layout = json.load(f)
    where = f"{args.backend} at scale {args.scale:g}" + (", full screen" if args.fullscreen else "")
    # Ended from outside (a CTest timeout), it still stops the game and the server on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"{where}: ended by SIGTERM"))
    started = time.monotonic()
    try:
        with importlib.import_module(args.backend).Backend(args) as backend:
            view = View(backend, args.layout, args)
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
