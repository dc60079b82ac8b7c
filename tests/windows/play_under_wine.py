#!/usr/bin/python3
"""The real tropilka.exe under Wine on a private X server, driven with the XTest pointer and judged by
screenshots, at a display scale that Windows itself sets (the prefix's LogPixels: 96 is 100 %, 144 is 150 %).

Usage: play_under_wine.py <tropilka.exe> <LogPixels> <version> [fullscreen]

With fullscreen the game runs with --fullscreen on a 1920x1080 screen: the window must cover it, the field
fitted and centred in a blue margin that ends a round like any blue; every check below runs there too.

Checks, in order: the title and the client area's size; a round started and lost; help opened and closed; a
link handed on to the desktop (Wine's browser launcher runs the host's xdg-open, a stub here); the pointer
stepped one device pixel at a time across path edges, each reaction matching the colour shown there; a round
won and the win message closed; a round won again and the window closed during the win message, which must end
the program with status 0. Exits 1 naming every fault.
"""
import contextlib
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "x11"))
import screen_reactions as x11  # noqa: E402  (the X server, XTest input, screenshots, edge walks)

Failure = x11.Failure
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wine-run.sh")
MESSAGE_TITLE = "^Тропилка$"
WEB_LINK = "http://example.org/nt"
GREEN, DARK_GREEN = (0, 255, 0), x11.DARK_GREEN

# Places in the client area, logical pixels.
CIRCLE_BOXES = [(296, 208, 9, 9), (440, 296, 9, 9), (288, 448, 9, 9), (600, 344, 9, 9), (608, 480, 9, 9),
                (400, 448, 9, 9), (280, 504, 9, 9), (40, 416, 9, 9), (32, 208, 9, 9), (272, 344, 9, 9),
                (272, 168, 9, 9), (96, 104, 9, 9), (600, 152, 25, 25)]
CIRCLES = [(left + w / 2, top + h / 2) for left, top, w, h in CIRCLE_BOXES]
PANEL_SAMPLES = [(130, 160), (130, 384), (360, 384), (495, 300)]  # the panel's ground, inside its frame
PANEL_WEB_LINK = (361, 374)
EXIT_LABEL = (48, 16, 81, 25)
# Lines of text in the labels, as the game shows them on Linux at every scale.
LINES_AT_IDLE = {"start": 1, "exit": 1, "help": 1}
LINES_IN_A_ROUND = 3
SHIFT_KEYCODE = 50  # Shift_L in Xvfb's keymap
WAIT_SECONDS = 10.0


class Prefix:
    """A Wine prefix of its own at the given LogPixels, on the given X display."""

    def __init__(self, folder, display, log_pixels):
        self.env = dict(os.environ, WINEPREFIX=os.path.join(folder, "prefix"), DISPLAY=display)
        for name in [n for n in self.env if n.startswith("QT_")]:
            del self.env[name]  # Windows' own scale, as on a real PC
        self.run("--init")
        self.run("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                 str(log_pixels), "/f")

    def run(self, *args):
        subprocess.run([WINE_RUN, *args], env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)

    def stop(self):
        subprocess.run([WINE_RUN, "--stop"], env=self.env, timeout=60)


class Desktop:
    """Stand-ins for the host's browser and mail program, which Wine's launcher hands links to."""

    def __init__(self, folder):
        self.stubs, self.opened = os.path.join(folder, "stubs"), os.path.join(folder, "opened")
        os.mkdir(self.stubs)
        for name in ("xdg-open", "xdg-email"):
            path = os.path.join(self.stubs, name)
            with open(path, "w") as stub:
                stub.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{self.opened}"\n')
            os.chmod(path, 0o755)

    def links(self):
        with contextlib.suppress(FileNotFoundError), open(self.opened) as opened:
            return opened.read().split()
        return []


class Game(x11.Game):
    """tropilka.exe under Wine, seen and driven only through the X server."""

    def __init__(self, exe, display, scale, prefix, desktop, screen):
        self.display = display
        self.place(scale, screen)
        env = dict(prefix.env, PATH=f"{desktop.stubs}:{os.environ['PATH']}")
        self.process = subprocess.Popen([WINE_RUN, exe] + self.arguments(), env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.window, self.origin = self.find_window()
        self.x = x11.XConnection(display)

    def find_window(self):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            self.check_running()
            found = (x11.xdotool(self.display, "search", "--onlyvisible", "--name", x11.TITLE) or "").split()
            if found:
                return int(found[0]), self.geometry(found[0])
            time.sleep(x11.POLL_SECONDS)
        raise Failure("the game's window did not appear")

    def move(self, pixel):
        """Moves the pointer to a device pixel once the game has taken the move before. Windows folds a move
        into the next while both wait in the queue; a key between them (Shift, which the game ignores) keeps
        each move apart."""
        self.x.move(self.origin[0] + pixel[0], self.origin[1] + pixel[1])
        self.x.ping(self.window)
        key_press, key_release = 2, 3
        self.x.fake_input(key_press, SHIFT_KEYCODE)
        self.x.fake_input(key_release, SHIFT_KEYCODE)

    def message_window(self):
        found = (x11.xdotool(self.display, "search", "--onlyvisible", "--name", MESSAGE_TITLE) or "").split()
        return int(found[0]) if found else None

    def shows(self, shot, points, colour):
        return all(shot.colour(*self.device(p)) == colour for p in points)

    def wait_until(self, what, condition):
        deadline = time.monotonic() + WAIT_SECONDS
        while not condition():
            self.check_running()
            if time.monotonic() > deadline:
                raise Failure(f"timed out waiting for {what}")
            time.sleep(x11.POLL_SECONDS)


def text_lines(shot, rect):
    """Lines of text a label shows: bands of rows holding anything but the ground its corner shows."""
    x0, y0, x1, y1 = rect
    ground = shot.colour(x0, y0)
    lines, inked_before = 0, False
    for y in range(y0, y1):
        inked = any(shot.colour(x, y) != ground for x in range(x0, x1))
        lines += inked and not inked_before
        inked_before = inked
    return lines


# --- checks: each starts where the one before left the game, idle -------------------------------------------


def check_identity(game, desktop):
    # The title was found by its exact text; the client area's size in device pixels is checked there too.
    game.move(game.device(x11.PARK))
    game.wait_for(game.idle, "the game's first picture")


def check_text_lines(game, desktop):
    """Every text takes as many lines as on Linux: Windows' own text engine would put "  Старт игры" on two."""
    def inside(rect):
        x0, y0, x1, y1 = game.device_rect(rect)
        return x0 + 1, y0 + 1, x1 - 1, y1 - 1

    shot = game.shot()
    seen = {name: text_lines(shot, inside(rect))
            for name, rect in (("start", x11.START_LABEL), ("exit", EXIT_LABEL), ("help", x11.HELP_LABEL))}
    seen["round"] = text_lines(game.start_round(), inside(x11.START_LABEL))
    game.move(game.device(x11.PARK))
    game.wait_for(game.idle, "the round to end on blue")
    expected = dict(LINES_AT_IDLE, round=LINES_IN_A_ROUND)
    if seen != expected:
        raise Failure(f"lines of text {seen}, expected {expected}")


def check_round_lost(game, desktop):
    game.start_round()
    game.move(game.device(x11.PARK))
    game.wait_for(game.idle, "the round to end on blue")


def open_help(game):
    game.click(x11.HELP_LABEL, then_to=x11.PARK)
    game.wait_for(lambda s: game.shows(s, PANEL_SAMPLES, DARK_GREEN), "the help panel to open")


def close_help(game):
    game.click(x11.PANEL_CLOSE, then_to=x11.PARK)
    game.wait_for(lambda s: game.shows(s, PANEL_SAMPLES, x11.BLUE), "the help panel to close")


def check_help(game, desktop):
    open_help(game)
    close_help(game)


def check_link(game, desktop):
    open_help(game)
    game.click((*PANEL_WEB_LINK, 0, 0), then_to=x11.PARK)
    game.wait_until("the web link to reach xdg-open", lambda: desktop.links())
    if desktop.links() != [WEB_LINK]:
        raise Failure(f"the desktop was asked for {desktop.links()}, not [{WEB_LINK!r}]")
    close_help(game)


def check_fills_screen(game, desktop):
    faults = []
    x11.check_fills_screen(game, faults)
    if faults:
        raise Failure("; ".join(faults))


def check_edges(game, desktop):
    faults = []
    for walk in x11.walks(game):
        x11.check_walk(game, walk, faults)
    game.move(game.device(x11.PARK))
    game.wait_for(game.idle, "the last round to end")
    if faults:
        raise Failure("the reactions do not match the screen:\n    " + "\n    ".join(faults))


def win(game):
    """Jumps from circle to circle to the green one; returns the win message's window."""
    game.start_round()
    for k in range(len(CIRCLES) - 1):
        game.move(game.device(CIRCLES[k]))
        centre = game.device(CIRCLES[k + 1])
        colour = GREEN if k + 1 == len(CIRCLES) - 1 else x11.RED
        game.wait_for(lambda s: s.colour(*centre) == colour, f"circle {k + 1} after circle {k}")
    game.move(game.device(CIRCLES[-1]))
    game.wait_until("the win message", lambda: game.message_window() is not None)
    return game.message_window()


def check_win(game, desktop):
    box = win(game)
    x11.xdotool(game.display, "windowfocus", "--sync", box)
    x11.xdotool(game.display, "key", "Return")
    game.wait_until("the win message to close", lambda: game.message_window() is None)
    game.move(game.device(x11.PARK))
    game.wait_for(game.idle, "the idle screen after the win")


def check_close_during_win(game, desktop):
    win(game)
    game.x.close(game.window)
    try:
        status = game.process.wait(WAIT_SECONDS)
    except subprocess.TimeoutExpired:
        raise Failure("the game still runs after the close request") from None
    if status != 0:
        raise Failure(f"the game ended with status {status} on the close request")


CHECKS = [check_identity, check_text_lines, check_round_lost, check_help, check_link, check_fills_screen, check_edges,
          check_win, check_close_during_win]


def play(exe, log_pixels, full_screen):
    scale = log_pixels / 96
    screen = x11.FULL_SCREEN if full_screen else None
    width, height = screen or (round(n * scale) + 64 for n in x11.CLIENT_SIZE)
    failures = []
    with tempfile.TemporaryDirectory() as folder, x11.x_server(width, height) as display:
        prefix = Prefix(folder, display, log_pixels)
        if screen:
            # A window that covers the screen gets Wine's pointer confinement for full-screen games, and then
            # XTest's moves no longer arrive as sent (runs of them end rounds on the path). Windows has no such
            # thing, and in Wine's own desktop of the screen's size there is none either.
            prefix.run("reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default", "/f")
            prefix.run("reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default", "/d",
                       "x".join(map(str, screen)), "/f")
        desktop = Desktop(folder)
        try:
            game = Game(exe, display, scale, prefix, desktop, screen)
            try:
                for check in CHECKS:
                    name = check.__name__.removeprefix("check_")
                    started = time.monotonic()
                    try:
                        check(game, desktop)
                        print(f"ok   {name} ({time.monotonic() - started:.1f} s)")
                    except Failure as failure:
                        print(f"FAIL {name}: {failure}")
                        failures.append(name)
                        if game.process.poll() is not None:
                            break
            finally:
                game.stop()
        finally:
            prefix.stop()
    return failures


def main():
    if len(sys.argv) not in (4, 5) or sys.argv[4:] not in ([], ["fullscreen"]):
        sys.exit(__doc__)
    exe, log_pixels, full_screen = sys.argv[1], int(sys.argv[2]), len(sys.argv) == 5
    x11.TITLE = x11.TITLE.format(re.escape(sys.argv[3]))  # the version the build gives the game
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(f"LogPixels {log_pixels}: ended by SIGTERM"))
    try:
        failures = play(exe, log_pixels, full_screen)
    except Failure as failure:
        print(f"FAIL start: {failure}")
        failures = ["start"]
    print(f"LogPixels {log_pixels}: {len(failures)} checks failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
