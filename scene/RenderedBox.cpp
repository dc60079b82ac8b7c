// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderedBox.h"

#include <QPainter>
#include <cmath>

namespace scene {

namespace {

int nearestEdge(int logical, qreal scale) {
    return int(std::floor(logical * scale + 0.5));
}

} // namespace

RenderedBox::RenderedBox(Scene& scene, const QRect& rect, const Element* container, QAccessible::Role role)
    : Element(scene, rect, container, role) {
}

void RenderedBox::changed() {
    renderedValid_ = false;
    Element::changed();
}

// Each edge goes to the nearest device pixel edge, so boxes that meet in logical pixels meet in device pixels
// too, at any scale.
QRect RenderedBox::deviceExtent(qreal scale) const {
    const QRect& b = bounds();
    const int left = nearestEdge(b.left(), scale);
    const int top = nearestEdge(b.top(), scale);
    const int right = nearestEdge(b.left() + b.width(), scale);
    const int bottom = nearestEdge(b.top() + b.height(), scale);
    return QRect(left, top, right - left, bottom - top);
}

void RenderedBox::paint(QPainter& painter, const PaintContext& context) const {
    if (!renderedValid_ || renderedStyleVersion_ != context.styleVersion || renderedScale_ != context.scale ||
        rendered_.size() != deviceBounds().size()) {
        rendered_ = QImage(deviceBounds().size(), QImage::Format_RGB32);
        render(rendered_, context);
        renderedValid_ = true;
        renderedStyleVersion_ = context.styleVersion;
        renderedScale_ = context.scale;
    }
    painter.resetTransform();
    painter.drawImage(deviceBounds().topLeft(), rendered_);
}

} // namespace scene
