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

Shape::Shape(Scene& scene, const QRect& bounds, const QColor& color)
    : Element(scene, bounds, nullptr)
    , color_(color.rgb()) {
}

void Shape::paint(const PaintContext& context) const {
    pixels::fill(context.picture, context.clip, runs(context), color_);
}

void Shape::erase(const PaintContext& context, QRgb background) const {
    pixels::fill(context.picture, context.clip, runs(context), background);
}

const std::vector<pixels::Run>& Shape::runs(const PaintContext& context) const {
    if (runsBounds_ != deviceBounds() || runsScale_ != context.scale) {
        runs_ = pixels::coverage(deviceBounds(), context.origin, context.scale, [this](QPainter& painter) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            draw(painter);
        });
        runsBounds_ = deviceBounds();
        runsScale_ = context.scale;
    }
    return runs_;
}

Line::Line(Scene& scene, QPoint from, QPoint to, int width, const QColor& color)
    : Shape(scene, strokeBounds(from, to, width), color)
    , from_(from)
    , to_(to)
    , width_(width) {
}

void Line::draw(QPainter& painter) const {
    painter.setPen(QPen(Qt::black, width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(from_, to_);
}

Circle::Circle(Scene& scene, const QRect& box, const QColor& color)
    : Shape(scene, box.adjusted(-1, -1, 1, 1), color)
    , box_(box) {
}

void Circle::draw(QPainter& painter) const {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF(box_));
}

} // namespace scene
