// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"

#include <QColor>
#include <QPoint>

namespace scene {

// Lines and circles are left out for assistive technology: a pupil who cannot see them cannot follow them
// with the pointer either, and two dozen nameless shapes would bury the few things a screen reader can use.

// A straight stroke of a given pixel width with round ends. Pointer input passes through it to the window.
class Line final : public Element {
public:
    Line(Scene& scene, QPoint from, QPoint to, int width, const QColor& color);

    void paint(QPainter& painter, const PaintContext& context) const override;
    void erase(QPainter& painter, const PaintContext& context, const QColor& background) const override;

private:
    void draw(QPainter& painter, const QColor& color) const;

    QPoint from_;
    QPoint to_;
    int width_;
    QColor color_;
};

// A filled circle inscribed in its box, every painted pixel in the one colour. Passes pointer input through.
class Circle final : public Element {
public:
    Circle(Scene& scene, const QRect& box, const QColor& color);

    void paint(QPainter& painter, const PaintContext& context) const override;
    void erase(QPainter& painter, const PaintContext& context, const QColor& background) const override;

private:
    void draw(QPainter& painter, const QColor& color) const;

    QRect box_;
    QColor color_;
};

} // namespace scene
