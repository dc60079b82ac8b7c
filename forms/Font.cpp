// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Font.h"

#include <QFontDatabase>
#include <cmath>

namespace forms {

int pixelsOfPoints(qreal points) {
    return int(std::lround(points * 96.0 / 72.0));
}

namespace {

// Asking for a face the system lacks sends the font machinery looking for a substitute, which costs
// milliseconds at start-up; so only installed faces are asked for, in the order of preference.
QStringList installedOf(const QStringList& preferred) {
    static const QStringList installed = QFontDatabase::families();
    QStringList present;
    for (const QString& family : preferred)
        if (installed.contains(family, Qt::CaseInsensitive))
            present << family;
    return present.isEmpty() ? preferred : present;
}

} // namespace

QFont toQFont(const FontSpec& wanted) {
    QFont font;
    font.setFamilies(installedOf(wanted.families));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setPixelSize(pixelsOfPoints(wanted.pointSize));
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
