// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the game takes the screen: a window of its own size; the whole screen, the field scaled to fill it, for
// a classroom's panel; or that, locked, for a computer lab, where only the teacher can end the game.
enum class DisplayMode { Window, FullScreen, Kiosk };
