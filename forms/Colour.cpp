// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Colour.h"

namespace forms {

namespace {

// The system colours the program names, mapped to the palette roles that play their part on this platform.
QPalette::ColorRole roleOfSystemColour(Colour c) {
    switch (c & 0xFFu) {
    case 5:
        return QPalette::Base; // window background
    case 8:
        return QPalette::Text; // window text
    case 13:
        return QPalette::Highlight; // highlight
    case 14:
        return QPalette::HighlightedText; // highlight text
    case 15:
        return QPalette::Window; // button face, a label's default back colour
    case 18:
        return QPalette::WindowText; // button text, a label's default text colour
    default:
        return QPalette::WindowText;
    }
}

} // namespace

QColor toQColor(Colour c, const QPalette& palette) {
    if (isSystemColour(c))
        return palette.color(QPalette::Active, roleOfSystemColour(c));
    return QColor(int(c & 0xFFu), int((c >> 8) & 0xFFu), int((c >> 16) & 0xFFu));
}

} // namespace forms
