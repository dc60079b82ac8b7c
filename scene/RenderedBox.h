// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"

#include <QImage>
#include <QList>
#include <QString>
#include <optional>

namespace scene {

// An element that fills exactly its rectangle's device pixels with a rendering it keeps until something about
// it changes. Laying out text or running the style costs far more than a copy, and a copy gives the same
// pixels whichever part of it a repaint needs, which drawing with a clip does not always do. A box that
// switches between a few looks, as the start label does at every start and end of a round, keeps a rendering
// of each: a full screen's large text is drawn as outlines, which costs more than a pointer move may take.
class RenderedBox : public Element {
public:
    void paint(const PaintContext& context) const final;

protected:
    RenderedBox(Scene& scene, const QRect& rect, const Element* container, QAccessible::Role role);

    void changed() override;
    QRect deviceExtent(qreal scale) const override;
    // Renders the whole box into an image of its device pixels. The image is not cleared: fill it first.
    virtual void render(QImage& image, const PaintContext& context) const = 0;
    // Everything the rendering depends on, but the style and the scale, for boxes whose renderings are worth
    // keeping per look; nothing where only the latest is kept.
    virtual std::optional<QString> look() const { return std::nullopt; }

private:
    struct Rendering {
        std::optional<QString> look;
        QImage image;
    };
    // The latest first.
    mutable QList<Rendering> kept_;
    mutable bool currentValid_ = false;
    mutable int keptStyleVersion_ = -1;
    mutable qreal keptScale_ = 0;
};

} // namespace scene
