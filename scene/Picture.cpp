// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Picture.h"

#include <QPainter>

namespace scene {

Picture::Picture(Scene& scene, const QRect& box, const QImage& image, const QColor& background,
                 const Element* container)
    : RenderedBox(scene, box, container, QAccessible::Graphic)
    , image_(image)
    , background_(background) {
}

void Picture::render(QImage& image, const PaintContext& context) const {
    image.fill(background_);
    QPainter painter(&image);
    painter.scale(context.scale, context.scale);
    // One image pixel to one logical pixel, whatever the image's own resolution says.
    painter.drawImage(QRect(QPoint(0, 0), image_.size()), image_);
}

} // namespace scene
