// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace scene {

// Faces that show Cyrillic, the one the layout was made for first. Sizes are in pixels, so the layout does
// not move with the screen's logical DPI.
QFont sansFont(int pixelSize);
QFont serifFont(int pixelSize);

// The face of labels, buttons and group boxes where no other is given.
QFont defaultFont();

} // namespace scene
