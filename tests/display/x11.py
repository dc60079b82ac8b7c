# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""The back-end for X11: the game on a private Xvfb with QT_SCALE_FACTOR. One X connection (python3-xlib) finds
its windows, moves and clicks the pointer with XTest and takes screenshots; Xvfb leaves its cursor out of them."""
import contextlib
import math
import os
import re
import select
import subprocess
import tempfile
import time

from Xlib import X, XK, display as xdisplay, error
from Xlib.ext import xtest
from Xlib.protocol import event

import xvfb
from screen import Failure, GameBackend, Picture, WAIT_SECONDS, opener, stop, until

MAIN_TITLE, MESSAGE_TITLE = "^Тропилка   ver", "^Тропилка$"
FULL_SCREEN = (1920, 1080)  # a classroom panel's


class Backend(GameBackend):
    """tropilka on Xvfb, at QT_SCALE_FACTOR=scale; Wine's back-end starts tropilka.exe instead."""

    def __init__(self, args):
        self.args, self.scale, self.token = args, args.scale, 0

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
            self.x = self.stack.enter_context(contextlib.closing(xdisplay.Display(self.display)))
            self.root = self.x.screen().root
            # Qt answers a ping at the root window, to StructureNotify (Qt 6.4) or SubstructureNotify listeners.
            self.root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
        except BaseException:
            self.stack.close()
            raise
        return self

    def __exit__(self, *_):
        self.stack.close()

    def atom(self, name):
        return self.x.intern_atom(name)

    def windows(self, title, parent=None):
        """The shown windows whose title matches, at any depth: Wine's own desktop holds the game's."""
        found = []
        for window in (parent or self.root).query_tree().children:
            with contextlib.suppress(error.BadWindow):  # one that has just gone
                name = window.get_full_text_property(self.atom("_NET_WM_NAME"), self.atom("UTF8_STRING")) or ""
                if window.get_attributes().map_state == X.IsViewable:
                    found += [window] * bool(re.search(title, name)) + self.windows(title, window)
        return found

    def window(self):
        def found():
            if self.status() is not None:
                raise Failure(f"the game exited with status {self.status()}")
            return self.windows(MAIN_TITLE)

        self.main = until(found, "the game's window")[0]
        corner, size = self.root.translate_coords(self.main, 0, 0), self.main.get_geometry()
        title = self.main.get_full_text_property(self.atom("_NET_WM_NAME"), self.atom("UTF8_STRING"))
        return {"title": title, "rect": (corner.x, corner.y, size.width, size.height)}

    def send_protocol(self, window, name, *data):
        """A WM_PROTOCOLS message to a window, as a window manager sends it."""
        data = [self.atom(name), *data]
        window.send_event(event.ClientMessage(window=window, client_type=self.atom("WM_PROTOCOLS"),
                                              data=(32, data + [0] * (5 - len(data)))))

    def ping(self):
        """_NET_WM_PING's answer proves the game has taken every event before it, on this one connection that keeps
        them in order. Qt merges pointer moves still queued when it reads them, so without the ping a probe move
        might never be reported."""
        self.token += 1
        self.send_protocol(self.main, "_NET_WM_PING", self.token, self.main.id)
        self.x.flush()
        answer, deadline = (self.atom("_NET_WM_PING"), self.token), time.monotonic() + WAIT_SECONDS
        while not any(e.type == X.ClientMessage and tuple(e.data[1][:2]) == answer for e in self.events()):
            if not select.select([self.x], [], [], max(0, deadline - time.monotonic()))[0]:
                raise Failure("the game did not answer a ping")

    def events(self):
        while self.x.pending_events():
            yield self.x.next_event()

    def fake_input(self, *kinds, detail=0, **place):
        for kind in kinds:
            xtest.fake_input(self.x, kind, detail, **place)

    def move(self, x, y):
        self.fake_input(X.MotionNotify, x=x, y=y)
        self.ping()

    def click(self):
        self.fake_input(X.ButtonPress, X.ButtonRelease, detail=1)
        self.ping()

    def shot(self):
        """The screen as Xvfb holds it: 24 bits in 32, blue first."""
        size = self.root.get_geometry()
        image = self.root.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xFFFFFFFF)
        return Picture(image.data, size.width, size.height, 4, (2, 1, 0))

    def message_shown(self):
        return self.windows(MESSAGE_TITLE)

    def dismiss_message(self):
        self.message_shown()[0].set_input_focus(X.RevertToParent, X.CurrentTime)
        self.fake_input(X.KeyPress, X.KeyRelease, detail=self.x.keysym_to_keycode(XK.XK_Return))
        self.x.sync()

    def close_window(self):
        self.send_protocol(self.main, "WM_DELETE_WINDOW")
        self.x.sync()
