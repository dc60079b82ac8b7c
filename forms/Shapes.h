// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Colour.h"
#include "Element.h"

#include <QPoint>

namespace forms {

// A straight stroke of a given pixel width with round ends. Pointer input passes through it to the window.
class Line final : public Element {
public:
    Line(Scene& scene, QPoint from, QPoint to, int width, Colour colour);

    QPoint from() const { return from_; }
    QPoint to() const { return to_; }
    int width() const { return width_; }
    void paint(QPainter& painter, const PaintContext& context) const override;

private:
    QPoint from_;
    QPoint to_;
    int width_;
    Colour colour_;
};

// A filled circle inscribed in its box, every painted pixel in the one colour. Passes pointer input through.
class Circle final : public Element {
public:
    Circle(Scene& scene, const QRect& box, Colour colour);

    QRect box() const { return box_; }
    Colour colour() const { return colour_; }
    void paint(QPainter& painter, const PaintContext& context) const override;

private:
    QRect box_;
    Colour colour_;
};

} // namespace forms
