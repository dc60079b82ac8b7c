// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Shapes.h"

#include <QPainter>
#include <QPen>

namespace forms {

namespace {

QRect strokeBounds(QPoint from, QPoint to, int width) {
    // Half the width for the round ends, plus a pixel for rasterisation at any scale.
    const int reach = width / 2 + 2;
    return QRect(from, to).normalized().adjusted(-reach, -reach, reach, reach);
}

} // namespace

Line::Line(Scene& scene, QPoint from, QPoint to, int width, Colour colour)
    : Element(scene, strokeBounds(from, to, width), nullptr)
    , from_(from)
    , to_(to)
    , width_(width)
    , colour_(colour) {
}

void Line::paint(QPainter& painter, const PaintContext& context) const {
    // Exact colours are what the game tests for, so no edge may be blended with the field.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(
        QPen(toQColor(colour_, context.palette), width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from_, to_);
}

Circle::Circle(Scene& scene, const QRect& box, Colour colour)
    : Element(scene, box.adjusted(-1, -1, 1, 1), nullptr)
    , box_(box)
    , colour_(colour) {
}

void Circle::paint(QPainter& painter, const PaintContext& context) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(colour_, context.palette));
    painter.drawEllipse(QRectF(box_));
}

} // namespace forms
