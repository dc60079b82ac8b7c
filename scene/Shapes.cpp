// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Shapes.h"

#include <QPainter>
#include <QPen>

namespace scene {

namespace {

QRect strokeBounds(QPoint from, QPoint to, int width) {
    // Half the width for the round ends, one pixel for the half that an odd width loses in the division, and
    // one more for rasterisation at fractional scales, where a pixel whose centre lies just inside the stroke
    // may reach past it (a 5-pixel line at scale 1.1 needs both).
    const int reach = width / 2 + 2;
    return QRect(from, to).normalized().adjusted(-reach, -reach, reach, reach);
}

} // namespace

Line::Line(Scene& scene, QPoint from, QPoint to, int width, const QColor& color)
    : Element(scene, strokeBounds(from, to, width), nullptr)
    , from_(from)
    , to_(to)
    , width_(width)
    , color_(color) {
}

void Line::paint(QPainter& painter, const PaintContext&) const {
    draw(painter, color_);
}

// The same stroke in another colour covers the very same pixels.
void Line::erase(QPainter& painter, const PaintContext&, const QColor& background) const {
    draw(painter, background);
}

void Line::draw(QPainter& painter, const QColor& color) const {
    // Exact colours are what the game tests for, so no edge may be blended with the field.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from_, to_);
}

Circle::Circle(Scene& scene, const QRect& box, const QColor& color)
    : Element(scene, box.adjusted(-1, -1, 1, 1), nullptr)
    , box_(box)
    , color_(color) {
}

void Circle::paint(QPainter& painter, const PaintContext&) const {
    draw(painter, color_);
}

void Circle::erase(QPainter& painter, const PaintContext&, const QColor& background) const {
    draw(painter, background);
}

void Circle::draw(QPainter& painter, const QColor& color) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(box_));
}

} // namespace scene
