// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Colour.h"
#include "Element.h"
#include "Font.h"

#include <QFont>

namespace forms {

// A framed area that holds other elements (those added with it as their container, after it). Its
// caption interrupts the top border. It takes all pointer input over it, so nothing below sees any.
class Frame final : public Element {
public:
    Frame(Scene& scene, const QRect& rect, const QString& caption, const FontSpec& font, Colour back,
          Colour fore);

    const QString& caption() const { return caption_; }
    Colour backColour() const { return back_; }
    bool takesPointer() const override { return true; }
    void paint(QPainter& painter, const PaintContext& context) const override;

private:
    QString caption_;
    QFont font_;
    Colour back_;
    Colour fore_;
};

} // namespace forms
