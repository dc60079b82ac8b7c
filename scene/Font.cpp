// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Font.h"

#include <QStringList>

namespace scene {

namespace {

QFont fontOf(const QStringList& families, QFont::StyleHint hint, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    // Subpixel rendering would put arbitrary RGB mixes at glyph edges, which could match a colour the game
    // tests for; grey-level smoothing only ever mixes the text with what lies under it.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

} // namespace

QFont sansFont(int pixelSize) {
    // Liberation Sans is narrower than DejaVu Sans, closer to the small sans face the layout was made for.
    return fontOf({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")},
                  QFont::SansSerif, pixelSize);
}

QFont serifFont(int pixelSize) {
    return fontOf({QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"),
                   QStringLiteral("DejaVu Serif")},
                  QFont::Serif, pixelSize);
}

QFont defaultFont() {
    return sansFont(11);
}

} // namespace scene
