// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace forms {

// A colour as the game's tables give it: 0x00BBGGRR, red in the lowest byte. Values 0x8000000N name the
// platform's system colour N instead of an RGB value.
using Colour = std::uint32_t;

constexpr Colour rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// What the read-back answers for a point outside the window's client area; it equals no RGB value.
inline constexpr Colour kNoColour = 0xFFFFFFFFu;

inline constexpr Colour kSystemHighlightText = 0x8000000Eu;

constexpr bool isSystemColour(Colour c) {
    return (c & 0xFF000000u) == 0x80000000u;
}

constexpr Colour fromQRgb(QRgb p) {
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

QColor toQColor(Colour c, const QPalette& palette);

} // namespace forms
