// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

namespace forms {

struct FontSpec {
    // Preferred faces first; the platform's font matching fills in what is missing.
    QStringList families;
    qreal pointSize = 8.25;
    bool bold = false;
    bool italic = false;
};

// Font sizes are given in points at 96 dots per inch and set in pixels, so the layout does not move with
// the screen's logical DPI.
int pixelsOfPoints(qreal points);

QFont toQFont(const FontSpec& wanted);

// The face of the window's labels, buttons and frames where no other is given.
FontSpec defaultFont();

} // namespace forms
