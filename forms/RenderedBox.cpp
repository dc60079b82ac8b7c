// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderedBox.h"

#include <QPainter>

namespace forms {

RenderedBox::RenderedBox(Scene& scene, const QRect& rect, const Element* container, QAccessible::Role role)
    : Element(scene, rect, container, role) {
}

void RenderedBox::changed() {
    renderedValid_ = false;
    Element::changed();
}

QRect RenderedBox::deviceExtent(qreal devicePixelRatio) const {
    return snapToDevice(bounds(), devicePixelRatio);
}

void RenderedBox::paint(QPainter& painter, const PaintContext& context) const {
    if (!renderedValid_ || renderedLook_ != context.look || renderedRatio_ != context.devicePixelRatio ||
        rendered_.size() != deviceBounds().size()) {
        rendered_ = QImage(deviceBounds().size(), QImage::Format_RGB32);
        render(rendered_, context);
        renderedValid_ = true;
        renderedLook_ = context.look;
        renderedRatio_ = context.devicePixelRatio;
    }
    painter.resetTransform();
    painter.drawImage(deviceBounds().topLeft(), rendered_);
}

} // namespace forms
