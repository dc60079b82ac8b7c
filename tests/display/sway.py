# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""The back-end for Wayland: the game as a native client of a headless sway at the output's scale, the pointer
lent by the virtual pointer client (virtual_pointer.c), screenshots by grim, which show the cursor. sway refuses
to run as root, so as root the compositor, the game and every client that talks to them run as `nobody`, in a
throw-away folder holding the runtime folder and copies of the two programs."""
import json
import os
import pwd
import select
import shutil
import subprocess
import tempfile
import time

from screen import Failure, GameBackend, Picture, Skip, WAIT_SECONDS, opener, stop, until

# The output in logical pixels at every scale, so that sway centres the window on whole pixels; at 1.25 and 1.5
# the window's place and size are whole device pixels too. Full screen, a classroom panel's.
LAYOUT_SIZE, FULL_SCREEN = (1024, 768), (1920, 1080)


class Backend(GameBackend):
    def __init__(self, args):
        self.args, self.scale, self.app_id = args, args.scale, args.layout["app_id"]
        self.blue = tuple(args.layout["colours"]["field"])
        # The software cursor's picture, which hangs below and right of the pointer, in device pixels.
        self.cursor = tuple(round(n * self.scale) for n in (-10, -3, 40, 40))
        self.processes = []
        try:
            self.user = pwd.getpwnam("nobody") if os.geteuid() == 0 else pwd.getpwuid(os.geteuid())
        except KeyError:
            raise Skip("running as root and there is no user nobody to run sway as") from None
        self.as_player = {} if os.geteuid() else {"user": self.user.pw_uid, "group": self.user.pw_gid,
                                                  "extra_groups": []}

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
        shutil.rmtree(self.folder, ignore_errors=True)

    def own(self, path):
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        return path

    def spawn(self, name, command, env=None, **pipes):
        process = subprocess.Popen(command, env=self.env | (env or {}), cwd=self.folder, stderr=(log := open(
            os.path.join(self.folder, f"{name}.log"), "w+b")), stdout=pipes.pop("stdout", log), **pipes,
            **self.as_player)
        process.log = log
        self.processes.append(process)
        return process

    def start(self):
        runtime = os.path.join(self.own(self.folder), "runtime")
        os.mkdir(runtime, 0o700)
        self.own(runtime)
        stubs, self.links = opener(self.folder)
        self.env = {"PATH": f"{stubs}:/usr/bin:/bin", "HOME": self.folder, "XDG_RUNTIME_DIR": runtime,
                    "LANG": "C.UTF-8"}
        if missing := [tool for tool in ("sway", "swaymsg", "grim") if shutil.which(tool) is None]:
            raise Skip(f"{' and '.join(missing)} not installed (tools/install-deps.sh installs them)")
        if not self.args.pointer:
            raise Skip("the virtual pointer client was not built (wayland-scanner or libwayland-dev missing)")
        width, height = FULL_SCREEN if self.args.fullscreen else LAYOUT_SIZE
        with open(config := os.path.join(self.folder, "sway.config"), "w", encoding="utf-8") as f:
            f.write(f"output * mode {round(width * self.scale)}x{round(height * self.scale)} scale {self.scale:g}\n"
                    "xwayland disable\ndefault_border none\ndefault_floating_border none\n"
                    'for_window [app_id=".*"] floating enable\n')
        sway = self.spawn("sway", [shutil.which("sway"), "--config", config],
                          {"WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1"})

        def ready():
            if sway.poll() is not None:
                raise Skip(f"sway ended with status {sway.returncode}:\n{self.tail(sway)}")
            sockets = os.listdir(runtime)
            ipc = [s for s in sockets if s.startswith("sway-ipc.")]
            display = [s for s in sockets if s.startswith("wayland-") and not s.endswith(".lock")]
            self.env.update(SWAYSOCK=os.path.join(runtime, (ipc or [""])[0]), WAYLAND_DISPLAY=(display or [""])[0])
            try:
                return ipc and display and self.run("swaymsg", "-t", "get_version")
            except subprocess.CalledProcessError:
                return False

        try:
            until(ready, "sway's sockets", timeout=15)
        except Failure as failure:
            raise Skip(f"{failure}:\n{self.tail(sway)}") from None
        copy = lambda program: self.own(shutil.copy(program, self.folder))  # noqa: E731
        self.pointer = self.spawn("pointer", [copy(self.args.pointer), str(width), str(height)],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        if self.answer() != b"ready\n":
            raise Skip(f"sway did not lend a virtual pointer:\n{self.tail(self.pointer)}")
        # As a user's Wayland session would start it: no platform named, no X display.
        self.game = self.spawn("game", [copy(self.args.game)] + ["--fullscreen"] * self.args.fullscreen,
                               {"XDG_SESSION_TYPE": "wayland"})

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, timeout=WAIT_SECONDS, check=True,
                              **self.as_player).stdout

    def tail(self, process, lines=15):
        process.log.seek(0)
        return "\n".join(process.log.read().decode(errors="replace").splitlines()[-lines:])

    def log(self):
        return f"; the game said:\n{self.tail(self.game)}"

    def answer(self):
        """The pointer client's next line; it answers each command once sway has handled it, one line at a time."""
        if not select.select([self.pointer.stdout], [], [], WAIT_SECONDS)[0]:
            raise Failure("the virtual pointer client did not answer")
        return self.pointer.stdout.readline()

    def send(self, command):
        self.pointer.stdin.write(command.encode() + b"\n")
        self.pointer.stdin.flush()
        if (answer := self.answer()) != b"ok\n":
            raise Failure(f"the virtual pointer client answered {answer!r} to {command}")

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
        return Picture.from_ppm(self.run("grim", "-t", "ppm", "-"))

    def views(self):
        """The game's windows in sway's tree."""
        def walk(node):
            mine = node.get("type") in ("con", "floating_con") and node.get("app_id") == self.app_id
            return [node] * mine + [v for child in node.get("nodes", []) + node.get("floating_nodes", [])
                                    for v in walk(child)]

        return walk(json.loads(self.run("swaymsg", "--raw", "-t", "get_tree")))

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
        # A window smaller than its frame: sway 1.7 centres it there, 1.10 leaves it in the corner. The one where
        # the screen shows the field's top left corner three times in a row (sway may still be moving it); the
        # first if none does within the time, as before the first frame.
        candidates = [corner, (corner[0] + max(0, frame["width"] - own["width"]) // 2,
                               corner[1] + max(0, frame["height"] - own["height"]) // 2)]

        def corner_at(shot, x, y):
            blue = [0 <= px < shot.width and 0 <= py < shot.height and shot.colour(px, py) == self.blue
                    for px, py in [(x, y), (x - 1, y), (x, y - 1)]]
            return blue == [True, False, False]

        deadline, seen = time.monotonic() + 5, [None]
        while time.monotonic() < deadline and not (seen[-1] and seen[-3:] == seen[-1:] * 3):
            shot = self.shot()
            seen.append(next((c for c in candidates if corner_at(shot, *(int(v * self.scale) for v in c))), None))
        x, y = seen[-1] or candidates[0]
        return {"title": view.get("name"), "rect": tuple(round(n * self.scale) for n in (x, y, own["width"],
                                                                                          own["height"]))}

    def request_size(self, width, height):
        self.run("swaymsg", f"[con_id={self.view_id}]", "resize", "set", str(width), str(height))

    def message_shown(self):
        return len(self.views()) >= 2

    def close_window(self):
        self.run("swaymsg", f"[con_id={self.view_id}]", "kill")
