// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Picture.h"

#include <QPainter>

namespace forms {

Picture::Picture(Scene& scene, const QRect& box, const QImage& image, const QColor& background,
                 const Element* container)
    : Element(scene, box, container)
    , image_(image)
    , background_(background) {
}

void Picture::paint(QPainter& painter, const PaintContext&) const {
    const QRect box = bounds();
    painter.fillRect(box, background_);
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    // One image pixel to one logical pixel, whatever the image's own resolution says.
    painter.drawImage(QRect(box.topLeft(), image_.size()), image_);
    painter.restore();
}

} // namespace forms
