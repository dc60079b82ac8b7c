// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderedBox.h"

#include "Pixels.h"

#include <algorithm>
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
    currentValid_ = false;
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

void RenderedBox::paint(const PaintContext& context) const {
    if (keptStyleVersion_ != context.styleVersion || keptScale_ != context.scale ||
        (!kept_.isEmpty() && kept_.front().image.size() != deviceBounds().size())) {
        kept_.clear();
        keptStyleVersion_ = context.styleVersion;
        keptScale_ = context.scale;
    }
    if (!currentValid_ || kept_.isEmpty()) {
        // A few looks at most are kept: the start label has three.
        constexpr qsizetype kLooksKept = 3;
        const std::optional<QString> wanted = look();
        const auto found = std::find_if(kept_.begin(), kept_.end(),
                                        [&](const Rendering& kept) { return wanted && kept.look == wanted; });
        if (found != kept_.end()) {
            std::rotate(kept_.begin(), found, found + 1);
        } else {
            if (!wanted)
                kept_.clear();
            else if (kept_.size() >= kLooksKept)
                kept_.removeLast();
            QImage image(deviceBounds().size(), QImage::Format_RGB32);
            render(image, context);
            kept_.prepend({wanted, image});
        }
        currentValid_ = true;
    }
    pixels::copy(context.picture, context.clip, deviceBounds().topLeft(), kept_.front().image);
}

} // namespace scene
