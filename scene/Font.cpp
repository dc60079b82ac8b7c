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
#ifdef Q_OS_WIN
    // Windows' default text engine fits every glyph's width to whole pixels, which widens "  Старт игры" past
    // its box onto a second line. Hinting only the heights (DirectWrite) keeps the faces' own widths, as
    // FreeType does on Linux, so every text takes the lines it takes there.
    font.setHintingPreference(QFont::PreferVerticalHinting);
#endif
    return font;
}

// Windows has the faces the layout was made for; Liberation's are metric-compatible with them, so a text
// takes the same room with either. Asking first for a face that is there spares the search for a substitute.
#ifdef Q_OS_WIN
constexpr bool kWindowsFacesFirst = true;
#else
constexpr bool kWindowsFacesFirst = false;
#endif

QStringList facesOf(const QString& windowsFace, const QString& liberationFace, const QString& fallback) {
    return kWindowsFacesFirst ? QStringList{windowsFace, liberationFace, fallback}
                              : QStringList{liberationFace, windowsFace, fallback};
}

} // namespace

QFont sansFont(int pixelSize) {
    // Liberation Sans and Arial are narrower than DejaVu Sans, closer to the small sans face the layout was
    // made for.
    return fontOf(
        facesOf(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")),
        QFont::SansSerif, pixelSize);
}

QFont serifFont(int pixelSize) {
    return fontOf(facesOf(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                          QStringLiteral("DejaVu Serif")),
                  QFont::Serif, pixelSize);
}

QFont defaultFont() {
    return sansFont(11);
}

} // namespace scene
