// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RenderedBox.h"

#include <QColor>
#include <QImage>

namespace scene {

// A picture box: its image shown unscaled from the box's top-left corner, the rest of the box in its
// background colour. Takes pointer input, so it can have a tooltip.
class Picture final : public RenderedBox {
public:
    Picture(Scene& scene, const QRect& box, const QImage& image, const QColor& background,
            const Element* container = nullptr);

    const QImage& image() const { return image_; }
    bool takesPointer() const override { return true; }

protected:
    void render(QImage& image, const PaintContext& context) const override;

private:
    QImage image_;
    QColor background_;
};

} // namespace scene
