# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""The back-end for Wayland: the game as a native client of a headless sway, at the output's scale; the pointer
lent by the virtual pointer client (virtual_pointer.c), screenshots by grim, which show the cursor.

sway refuses to run as root, so as root the compositor, the game and every client that talks to them run as
`nobody`, in a throw-away folder that also holds the runtime folder and copies of the two programs (the build
folder need not be readable by that user).

At a fractional scale a client without fractional-scale support (Qt 6.4 with sway 1.7, Debian 12) draws at the
next whole scale and sway shrinks the picture; Qt 6.8 with sway 1.10 (Debian 13) draws at the output's own
scale. Either way the game must react to the colour the screen shows under the pointer.
"""
import json
import os
import pwd
import select
import shutil
import subprocess
import tempfile
import time

from screen import Failure, Opener, Picture, Skip, WAIT_SECONDS, stop, until

# The output in logical pixels at every scale, so that sway centres the window on whole pixels; at 1.25 and 1.5
# the window's place and size are whole device pixels too. Full screen, a classroom panel's.
LAYOUT_SIZE, FULL_SCREEN = (1024, 768), (1920, 1080)


class Backend:
    def __init__(self, args):
        self.args, self.scale, self.app_id = args, args.scale, args.layout["app_id"]
        blue = tuple(args.layout["colours"]["field"])
        self.is_blue = lambda shot, x, y: 0 <= x < shot.width and 0 <= y < shot.height and shot.colour(x, y) == blue
        # The software cursor's picture, which hangs below and right of the pointer, in device pixels.
        self.cursor = tuple(round(n * self.scale) for n in (-10, -3, 40, 40))
        self.layout = FULL_SCREEN if args.fullscreen else LAYOUT_SIZE
        self.processes, self.view_id, self.origin = [], None, None
        if os.geteuid() != 0:
            self.user = pwd.getpwuid(os.geteuid())
        else:
            try:
                self.user = pwd.getpwnam("nobody")
            except KeyError:
                raise Skip("running as root and there is no user nobody to run sway as") from None

    def __enter__(self):
        # Under /tmp when root lends it to another user, who must be able to reach it.
        self.folder = tempfile.mkdtemp(prefix="tropilka-wayland-", dir="/tmp" if os.geteuid() == 0 else None)
        try:
            self.start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *_):
        for process in reversed(self.processes):
            stop(process)
            for pipe in (process.stdin, process.stdout):
                if pipe:
                    pipe.close()
        shutil.rmtree(self.folder, ignore_errors=True)

    def own(self, path, mode):
        os.chmod(path, mode)
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        return path

    def player(self):
        return {} if os.geteuid() else {"user": self.user.pw_uid, "group": self.user.pw_gid, "extra_groups": []}

    def spawn(self, name, command, env, **pipes):
        log = open(os.path.join(self.folder, f"{name}.log"), "w+b")
        process = subprocess.Popen(command, env={**self.env, **env}, cwd=self.folder, stderr=log,
                                   stdout=pipes.pop("stdout", log), **pipes, **self.player())
        process.log = log
        self.processes.append(process)
        return process

    def copy(self, program):
        return self.own(shutil.copy(program, self.folder), 0o755)

    def start(self):
        self.own(self.folder, 0o700)
        os.mkdir(runtime := os.path.join(self.folder, "runtime"))
        self.own(runtime, 0o700)
        self.opener = Opener(self.folder)
        self.env = {"PATH": f"{self.opener.stubs}:/usr/bin:/bin", "HOME": self.folder, "XDG_RUNTIME_DIR": runtime,
                    "XDG_CACHE_HOME": os.path.join(self.folder, "cache"), "LANG": "C.UTF-8",
                    "XDG_CONFIG_HOME": os.path.join(self.folder, "config")}
        missing = [tool for tool in ("sway", "swaymsg", "grim") if shutil.which(tool) is None]
        if missing:
            raise Skip(f"{' and '.join(missing)} not installed (tools/install-deps.sh installs them)")
        if not self.args.pointer:
            raise Skip("the virtual pointer client was not built (wayland-scanner or libwayland-dev missing)")
        width, height = self.layout
        config = os.path.join(self.folder, "sway.config")
        with open(config, "w", encoding="utf-8") as f:
            f.write(f"output * mode {round(width * self.scale)}x{round(height * self.scale)} scale {self.scale:g}\n"
                    "xwayland disable\ndefault_border none\ndefault_floating_border none\n"
                    'for_window [app_id=".*"] floating enable\n')
        self.sway = self.spawn("sway", [shutil.which("sway"), "--config", config], {
            "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"})

        def ready():
            if self.sway.poll() is not None:
                raise Skip(f"sway ended with status {self.sway.returncode}:\n{self.tail(self.sway)}")
            sockets = os.listdir(runtime)
            ipc = [s for s in sockets if s.startswith("sway-ipc.")]
            display = [s for s in sockets if s.startswith("wayland-") and not s.endswith(".lock")]
            if not (ipc and display):
                return False
            self.env.update(SWAYSOCK=os.path.join(runtime, ipc[0]), WAYLAND_DISPLAY=display[0])
            try:
                return self.run("swaymsg", "-t", "get_version")
            except subprocess.CalledProcessError:
                return False

        try:
            until(ready, "sway's sockets", timeout=15)
        except Failure as failure:
            raise Skip(f"{failure}:\n{self.tail(self.sway)}") from None
        self.pointer = self.spawn("pointer", [self.copy(self.args.pointer), str(width), str(height)], {},
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.pending = b""
        if self.answer() != "ready":
            raise Skip(f"sway did not lend a virtual pointer:\n{self.tail(self.pointer)}")
        # As a user's Wayland session would start it: no platform named, no X display.
        self.game = self.spawn("game", [self.copy(self.args.game)] + ["--fullscreen"] * self.args.fullscreen,
                               {"XDG_SESSION_TYPE": "wayland"})

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, timeout=WAIT_SECONDS, check=True,
                              **self.player()).stdout

    def tail(self, process, lines=15):
        process.log.seek(0)
        return "\n".join(process.log.read().decode(errors="replace").splitlines()[-lines:])

    def log(self):
        return f"; the game said:\n{self.tail(self.game)}"

    def status(self):
        return self.game.poll()

    def wait_exit(self, timeout):
        try:
            return self.game.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    # The pointer: one command a line, answered once sway has handled it.
    def answer(self):
        deadline = time.monotonic() + WAIT_SECONDS
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.pointer.stdout], [], [], left)[0]:
                raise Failure("the virtual pointer client did not answer")
            if not (chunk := os.read(self.pointer.stdout.fileno(), 256)):
                raise Failure(f"the virtual pointer client ended with status {self.pointer.wait()}")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode()

    def send(self, command):
        self.pointer.stdin.write(command.encode() + b"\n")
        self.pointer.stdin.flush()
        if self.answer() != "ok":
            raise Failure(f"the virtual pointer client refused: {command}")

    def move(self, x, y):
        """To a device pixel's middle: its edges are no whole logical positions at 1.25 and 1.5. Where sway
        shrinks a picture drawn at scale 2, the screen pixel shows the picture's pixel nearest its middle, the
        upper (left) one where the middle falls between two; hence a little above and left of the middle, yet
        far from the rounding of Wayland's positions (1/256 of a logical pixel)."""
        self.send(f"move {(x + 0.5) / self.scale - 1 / 64:.4f} {(y + 0.5) / self.scale - 1 / 64:.4f}")

    def click(self):
        self.send("press")
        self.send("release")

    def shot(self):
        return Picture(self.run("grim", "-t", "ppm", "-"))

    def links(self):
        return self.opener.links()

    # The windows, in sway's tree.
    def views(self):
        found = []

        def walk(node):
            if node.get("type") in ("con", "floating_con") and node.get("app_id") == self.app_id:
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(json.loads(self.run("swaymsg", "--raw", "-t", "get_tree")))
        return found

    def window(self):
        def found():
            if self.status() is not None:
                raise Failure(f"the game ended with status {self.status()}{self.log()}")
            return self.views()

        view = until(found, f"a window with app id {self.app_id}")[0]
        if view.get("shell") != "xdg_shell":
            raise Failure(f"shell {view.get('shell')}, not a native xdg_shell window")
        self.view_id = view["id"]
        rect, frame, own = (view[key] for key in ("rect", "window_rect", "geometry"))
        corner = (rect["x"] + frame["x"], rect["y"] + frame["y"])
        slack = (max(0, frame["width"] - own["width"]) // 2, max(0, frame["height"] - own["height"]) // 2)
        # A window smaller than its frame: sway 1.7 centres it there, 1.10 leaves it in the corner.
        x, y = self.placed([corner, (corner[0] + slack[0], corner[1] + slack[1])])
        return {"title": view.get("name"), "rect": tuple(round(n * self.scale) for n in (x, y, own["width"],
                                                                                          own["height"]))}

    def placed(self, candidates, timeout=5):
        """Of the places the window may be at, the one where the screen shows the blue field's top left corner
        in three screenshots in a row (the compositor may still be moving it); the first if none does within
        the time, as before the first frame."""
        deadline, seen = time.monotonic() + timeout, []
        while time.monotonic() < deadline:
            shot, found = self.shot(), None
            for x, y in candidates:
                dx, dy = int(x * self.scale), int(y * self.scale)
                if self.is_blue(shot, dx, dy) and not self.is_blue(shot, dx - 1, dy) and not self.is_blue(
                        shot, dx, dy - 1):
                    found = (x, y)
                    break
            seen = seen[-2:] + [found]
            if found is not None and seen.count(found) == 3:
                return found
            time.sleep(0.05)
        return candidates[0]

    def request_size(self, width, height):
        self.run("swaymsg", f"[con_id={self.view_id}]", "resize", "set", str(width), str(height))

    def message_shown(self):
        return len(self.views()) >= 2

    def close_window(self):
        self.run("swaymsg", f"[con_id={self.view_id}]", "kill")
