// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"

#include <QImage>

namespace scene {

// An element that fills exactly its rectangle's device pixels with a rendering it keeps until something about
// it changes. Laying out text or running the style costs far more than a copy, and a copy gives the same
// pixels whichever part of it a repaint needs, which drawing with a clip does not always do.
class RenderedBox : public Element {
public:
    void paint(QPainter& painter, const PaintContext& context) const final;

protected:
    RenderedBox(Scene& scene, const QRect& rect, const Element* container, QAccessible::Role role);

    void changed() override;
    QRect deviceExtent(qreal scale) const override;
    // Renders the whole box into an image of its device pixels. The image is not cleared: fill it first.
    virtual void render(QImage& image, const PaintContext& context) const = 0;

private:
    mutable QImage rendered_;
    mutable bool renderedValid_ = false;
    mutable int renderedStyleVersion_ = -1;
    mutable qreal renderedScale_ = 0;
};

} // namespace scene
