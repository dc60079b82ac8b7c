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
from screen import Failure, Opener, Picture, WAIT_SECONDS, stop, until

MAIN_TITLE, MESSAGE_TITLE = "Тропилка   ver", "^Тропилка$"
FULL_SCREEN = (1920, 1080)  # a classroom panel's


def pad4(n):
    return (n + 3) & ~3


class XConnection:
    """Moves and clicks the pointer with XTest, and pings the game with _NET_WM_PING: the answer proves the game
    has taken every event before it. Qt merges pointer moves still queued when it reads them, so without the
    ping a probe move followed quickly by the next one might never be reported. Input and ping go through this
    one connection, which keeps them in order."""

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
        self.protocols, self.ping_atom = self.intern("WM_PROTOCOLS"), self.intern("_NET_WM_PING")
        # Qt sends its answer to the root window for StructureNotify (Qt 6.4) or SubstructureNotify listeners.
        event_mask, structure_notify, substructure_notify = 0x800, 0x20000, 0x80000
        self.request(2, 0, struct.pack("<III", self.root, event_mask, structure_notify | substructure_notify))
        self.token = 0
        present, self.xtest = struct.unpack_from("<BB", self.reply_to(98, "XTEST"), 8)
        if not present:
            raise Failure("the X server lacks XTEST")

    def read(self, size):
        data = b""
        while len(data) < size:
            if not (chunk := self.sock.recv(size - len(data))):
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

    def fake_input(self, kind, detail, x=0, y=0):
        self.request(self.xtest, 2, struct.pack("<BBxxII8xhh8x", kind, detail, 0, self.root, x, y))

    def send_protocol(self, window, atom, *data):
        """A WM_PROTOCOLS message to a window, as a window manager sends it."""
        client_message = 33
        event = struct.pack("<BBHII5I", client_message, 32, 0, window, self.protocols, atom,
                            *data, *[0] * (4 - len(data)))
        self.request(25, 0, struct.pack("<II", window, 0) + event)

    def ping(self, window):
        self.token += 1
        self.send_protocol(window, self.ping_atom, self.token, window)
        try:
            while not self.pong():
                pass
        except socket.timeout:
            raise Failure("the game did not answer a ping") from None

    def pong(self):
        message = self.next_message()
        return message[0] & 0x7F == 33 and struct.unpack_from("<II", message, 12) == (self.ping_atom, self.token)


def xdotool(display, *args):
    result = subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True, timeout=WAIT_SECONDS)
    return result.stdout.strip() if result.returncode == 0 else ""


class Backend:
    """tropilka on Xvfb, at QT_SCALE_FACTOR=scale."""

    cursor = None

    def __init__(self, args):
        self.args, self.scale = args, args.scale
        self.window_id = None

    def screen_size(self):
        if self.args.fullscreen:
            return FULL_SCREEN
        return tuple(math.ceil(n * self.scale) + 64 for n in self.args.layout["size"])

    def environment(self, folder):
        return dict(os.environ, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=f"{self.scale:g}", XDG_RUNTIME_DIR=folder)

    def command(self):
        return [self.args.game] + ["--fullscreen"] * self.args.fullscreen

    def __enter__(self):
        self.stack = contextlib.ExitStack().__enter__()
        try:
            folder = self.stack.enter_context(tempfile.TemporaryDirectory())
            self.display = self.stack.enter_context(xvfb.server(*self.screen_size()))
            self.opener = Opener(folder)
            env = self.environment(folder)
            env.update(DISPLAY=self.display, PATH=f"{self.opener.stubs}:{os.environ['PATH']}")
            self.process = subprocess.Popen(self.command(), env=env, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
            self.stack.callback(stop, self.process)
            self.x = XConnection(self.display)
        except BaseException:
            self.stack.close()
            raise
        return self

    def __exit__(self, *_):
        self.stack.close()

    def log(self):
        return ""

    def status(self):
        return self.process.poll()

    def wait_exit(self, timeout):
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.process.wait(timeout)

    def window(self):
        def found():
            if self.status() is not None:
                raise Failure(f"the game exited with status {self.status()}")
            return xdotool(self.display, "search", "--onlyvisible", "--name", MAIN_TITLE).split()

        self.window_id = int(until(found, "the game's window")[0])
        shell = dict(item.split("=") for item in xdotool(self.display, "getwindowgeometry", "--shell",
                                                         self.window_id).split())
        return {"title": xdotool(self.display, "getwindowname", self.window_id),
                "rect": tuple(int(shell[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))}

    def move(self, x, y):
        motion_notify, absolute = 6, 0
        self.x.fake_input(motion_notify, absolute, x, y)
        self.x.ping(self.window_id)

    def click(self):
        button_press, button_release, left = 4, 5, 1
        self.x.fake_input(button_press, left)
        self.x.fake_input(button_release, left)
        self.x.ping(self.window_id)

    def shot(self):
        return Picture(subprocess.run(["xwd", "-root", "-silent", "-display", self.display], capture_output=True,
                                      check=True, timeout=WAIT_SECONDS).stdout)

    def links(self):
        return self.opener.links()

    def message_shown(self):
        return bool(xdotool(self.display, "search", "--onlyvisible", "--name", MESSAGE_TITLE))

    def dismiss_message(self):
        box = xdotool(self.display, "search", "--onlyvisible", "--name", MESSAGE_TITLE).split()[0]
        xdotool(self.display, "windowfocus", "--sync", box)
        xdotool(self.display, "key", "Return")

    def close_window(self):
        self.x.send_protocol(self.window_id, self.x.intern("WM_DELETE_WINDOW"))
