// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <functional>
#include <vector>

class QPainter;

namespace scene::pixels {

// The scene writes its picture's device pixels itself, as fills and copies of whole runs within the area a
// repaint may change. Through a painter the same pixels cost several times as much on a full screen of a
// large panel: the painter rasterises every shape again, walks a complex clip pixel by pixel and hands big
// fills to other threads. The picture and every copied image are Format_RGB32.

// A row's pixels from left up to, not including, right.
struct Run {
    int y;
    int left;
    int right;
};

// The device pixels a shape covers, as Qt's painter rasterises it, in runs sorted by row: draw() paints the
// shape opaque in layout pixels, with the layout's top-left corner at origin and scale device pixels to a
// layout pixel; nothing outside bounds is kept.
std::vector<Run> coverage(const QRect& bounds, QPoint origin, qreal scale,
                          const std::function<void(QPainter&)>& draw);

void fill(QImage& picture, const QRegion& clip, const std::vector<Run>& runs, QRgb colour);
void fill(QImage& picture, const QRegion& clip, const QRect& rect, QRgb colour);
// Copies source with its top-left corner at a pixel of the picture.
void copy(QImage& picture, const QRegion& clip, QPoint at, const QImage& source);

} // namespace scene::pixels
