// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

class QWidget;

// What a window shows on screen, in device pixels: its backing store once every pending repaint is done,
// not a new rendering.
QImage screenOf(QWidget& window);

// A shown window's device pixel ratio, exactly: QWidget's keeps only 16 binary places.
qreal devicePixelRatioOf(const QWidget& window);

namespace scene {
class SceneWindow;
}

// The device pixel under a point of a window's layout, given in layout pixels: at the window's own size,
// its logical pixels.
QPoint devicePixelOf(const scene::SceneWindow& window, QPointF pos);
// The device pixels a rectangle of the layout touches.
QRect deviceRectOf(const scene::SceneWindow& window, const QRect& layoutRect);

// Where the first differences between two pictures lie, as colours found against colours expected; nothing
// when they have the same size and pixels.
QString differences(const QImage& expected, const QImage& actual);
