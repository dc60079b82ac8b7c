// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Font.h"

#include <cmath>

namespace forms {

int pixelsOfPoints(qreal points) {
    return int(std::lround(points * 96.0 / 72.0));
}

QFont toQFont(const FontSpec& spec) {
    QFont font;
    font.setFamilies(spec.families);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setPixelSize(pixelsOfPoints(spec.pointSize));
    // Subpixel rendering would put arbitrary RGB mixes at glyph edges, which could match a colour the game
    // tests for; grey-level smoothing only ever mixes the text with what lies under it.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

FontSpec defaultFont() {
    // Liberation Sans is narrower than DejaVu Sans, closer to the small sans face the layout was made for.
    return {
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
        8.25,
        false,
        false};
}

} // namespace forms
