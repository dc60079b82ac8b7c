# Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
"""The back-end for Windows: the real tropilka.exe under Wine on a private Xvfb, in a prefix of its own at a
display scale that Windows itself sets (the prefix's LogPixels: 96 is 100 %, 144 is 150 %), no QT_SCALE_FACTOR.
Links reach the host's xdg-open through Wine's browser launcher."""
import os
import subprocess

from Xlib import X

import x11

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "windows", "wine-run.sh")
SHIFT_KEYCODE = 50  # Shift_L in Xvfb's keymap


class Backend(x11.Backend):
    def environment(self, folder):
        env = {name: value for name, value in os.environ.items() if not name.startswith("QT_")}
        env.update(WINEPREFIX=os.path.join(folder, "prefix"), DISPLAY=self.display)
        settings = [[r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                     str(round(96 * self.scale))]]
        if self.args.fullscreen:
            # A window that covers the X screen gets the pointer confinement Wine gives full-screen games, and then
            # XTest's moves no longer arrive one by one as sent. Windows has no such thing, and in Wine's own
            # desktop of the screen's size there is none either.
            size = "x".join(map(str, x11.FULL_SCREEN))
            settings += [[r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default"],
                         [r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default", "/d", size]]
        for command in [["--init"]] + [["reg", "add", *setting, "/f"] for setting in settings]:
            subprocess.run([WINE_RUN, *command], env=env, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=300)
        self.stack.callback(subprocess.run, [WINE_RUN, "--stop"], env=env, timeout=60)
        return env

    def command(self):
        return [WINE_RUN, *super().command()]

    def move(self, x, y):
        """Windows folds a move into the next while both wait in the queue; a key between them (Shift, which the
        game ignores) keeps each move apart."""
        super().move(x, y)
        self.fake_input(X.KeyPress, X.KeyRelease, detail=SHIFT_KEYCODE)
        self.x.flush()
