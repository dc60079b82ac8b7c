# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""The back-end for X11: the game on a private Xvfb with QT_SCALE_FACTOR, the pointer moved and clicked with
XTest, screenshots by xwd. Xvfb draws the pointer in software and leaves it out of screenshots."""
import contextlib
import math
import os
import socket
import struct
import subprocess
import tempfile

import xvfb
from screen import Failure, GameBackend, Picture, WAIT_SECONDS, opener, stop, until

MAIN_TITLE, MESSAGE_TITLE = "Тропилка   ver", "^Тропилка$"
FULL_SCREEN = (1920, 1080)  # a classroom panel's


class XConnection:
    """Moves and clicks the pointer with XTest, and pings the game with _NET_WM_PING: the answer proves the game
    has taken every event before it, on this one connection that keeps them in order. Qt merges pointer moves
    still queued when it reads them, so without the ping a probe move might never be reported."""

    def __init__(self, display):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(WAIT_SECONDS)
        self.sock.connect(f"/tmp/.X11-unix/X{display.lstrip(':')}")
        self.stream = self.sock.makefile("rb")
        self.sock.sendall(struct.pack("<BxHHHHxx", ord("l"), 11, 0, 0, 0))
        status, _, _, _, length = struct.unpack("<BBHHH", self.read(8))
        setup = self.read(4 * length)
        if status != 1:
            raise Failure("the X server refused a connection")
        vendor_length, _, _, format_count = struct.unpack_from("<HHBB", setup, 16)
        self.root = struct.unpack_from("<I", setup, 32 + (vendor_length + 3) // 4 * 4 + 8 * format_count)[0]
        self.protocols, self.ping_atom, self.token = self.intern("WM_PROTOCOLS"), self.intern("_NET_WM_PING"), 0
        # Qt sends its answer to the root window for StructureNotify (Qt 6.4) or SubstructureNotify listeners.
        self.request(2, 0, struct.pack("<III", self.root, 0x800, 0x20000 | 0x80000))  # ChangeWindowAttributes
        if not (xtest := self.reply_to(98, "XTEST"))[8]:
            raise Failure("the X server lacks XTEST")
        self.xtest = xtest[9]

    def read(self, size):
        if len(data := self.stream.read(size)) < size:
            raise Failure("the X server closed the connection")
        return data

    def request(self, opcode, data, body):
        self.sock.sendall(struct.pack("<BBH", opcode, data, 1 + len(body) // 4) + body)

    def next_message(self):
        """The next event or reply; replies and generic events carry more than 32 bytes."""
        if (message := self.read(32))[0] == 0:
            raise Failure(f"X error {message[1]}")
        return message + self.read(4 * struct.unpack_from("<I", message, 4)[0] * (message[0] & 0x7F in (1, 35)))

    def reply_to(self, opcode, name):
        """The reply to InternAtom (16) or QueryExtension (98) for a name."""
        self.request(opcode, 0, struct.pack("<HH", len(name), 0) + name.encode().ljust((len(name) + 3) // 4 * 4, b"\0"))
        while (reply := self.next_message())[0] != 1:
            pass
        return reply

    def intern(self, name):
        return struct.unpack_from("<I", self.reply_to(16, name), 8)[0]

    def fake_input(self, kind, detail, x=0, y=0):
        self.request(self.xtest, 2, struct.pack("<BBxxII8xhh8x", kind, detail, 0, self.root, x, y))

    def send_protocol(self, window, atom, *data):
        """A WM_PROTOCOLS message to a window, as a window manager sends it (SendEvent of a ClientMessage)."""
        event = struct.pack("<BBHII5I", 33, 32, 0, window, self.protocols, atom, *data, *[0] * (4 - len(data)))
        self.request(25, 0, struct.pack("<II", window, 0) + event)

    def ping(self, window):
        self.token += 1
        self.send_protocol(window, self.ping_atom, self.token, window)
        try:
            while not ((m := self.next_message())[0] & 0x7F == 33
                       and struct.unpack_from("<II", m, 12) == (self.ping_atom, self.token)):
                pass
        except socket.timeout:
            raise Failure("the game did not answer a ping") from None


class Backend(GameBackend):
    """tropilka on Xvfb, at QT_SCALE_FACTOR=scale; Wine's back-end starts tropilka.exe instead."""

    def __init__(self, args):
        self.args, self.scale = args, args.scale

    def environment(self, folder):
        return dict(os.environ, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=f"{self.scale:g}", XDG_RUNTIME_DIR=folder)

    def command(self):
        return [self.args.game] + ["--fullscreen"] * self.args.fullscreen

    def __enter__(self):
        self.stack = contextlib.ExitStack().__enter__()
        try:
            folder = self.stack.enter_context(tempfile.TemporaryDirectory())
            size = [math.ceil(n * self.scale) + 64 for n in self.args.layout["size"]]
            self.display = self.stack.enter_context(xvfb.server(*FULL_SCREEN if self.args.fullscreen else size))
            stubs, self.links = opener(folder)
            env = self.environment(folder) | {"DISPLAY": self.display, "PATH": f"{stubs}:{os.environ['PATH']}"}
            self.game = subprocess.Popen(self.command(), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.stack.callback(stop, self.game)
            self.x = XConnection(self.display)
        except BaseException:
            self.stack.close()
            raise
        return self

    def __exit__(self, *_):
        self.stack.close()

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=self.display),
                              capture_output=True, text=True, timeout=WAIT_SECONDS).stdout.strip()

    def window(self):
        def found():
            if self.status() is not None:
                raise Failure(f"the game exited with status {self.status()}")
            return self.xdotool("search", "--onlyvisible", "--name", MAIN_TITLE).split()

        self.window_id = int(until(found, "the game's window")[0])
        shell = dict(item.split("=") for item in self.xdotool("getwindowgeometry", "--shell", self.window_id).split())
        return {"title": self.xdotool("getwindowname", self.window_id),
                "rect": tuple(int(shell[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))}

    def move(self, x, y):
        self.x.fake_input(6, 0, x, y)  # MotionNotify, absolute
        self.x.ping(self.window_id)

    def click(self):
        self.x.fake_input(4, 1)  # ButtonPress, the left button
        self.x.fake_input(5, 1)  # ButtonRelease
        self.x.ping(self.window_id)

    def shot(self):
        return Picture(subprocess.run(["xwd", "-root", "-silent", "-display", self.display], capture_output=True,
                                      check=True, timeout=WAIT_SECONDS).stdout)

    def message_shown(self):
        return self.xdotool("search", "--onlyvisible", "--name", MESSAGE_TITLE)

    def dismiss_message(self):
        self.xdotool("windowfocus", "--sync", self.message_shown().split()[0])
        self.xdotool("key", "Return")

    def close_window(self):
        self.x.send_protocol(self.window_id, self.x.intern("WM_DELETE_WINDOW"))
