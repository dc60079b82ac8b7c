// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"
#include "Pixels.h"

#include <QColor>
#include <QPoint>
#include <vector>

namespace scene {

// Lines and circles are left out for assistive technology: a pupil who cannot see them cannot follow them
// with the pointer either, and two dozen nameless shapes would bury the few things a screen reader can use.

// A shape in one exact colour, no edge blended with what lies below, which is what the game tests for. Its
// device pixels are rasterised once per placement and kept: painting and erasing fill the very same pixels,
// and a round's start, advance or loss fills them without rasterising anything again.
class Shape : public Element {
public:
    void paint(const PaintContext& context) const final;
    void erase(const PaintContext& context, QRgb background) const final;
    void prepare(const PaintContext& context) const final { runs(context); }

protected:
    Shape(Scene& scene, const QRect& bounds, const QColor& color);
    // Paints the shape opaque in layout pixels, antialiasing off.
    virtual void draw(QPainter& painter) const = 0;

private:
    const std::vector<pixels::Run>& runs(const PaintContext& context) const;

    QRgb color_;
    mutable std::vector<pixels::Run> runs_;
    mutable QRect runsBounds_;
    mutable qreal runsScale_ = 0;
};

// A straight stroke of a given pixel width with round ends. Pointer input passes through it to the window.
class Line final : public Shape {
public:
    Line(Scene& scene, QPoint from, QPoint to, int width, const QColor& color);

private:
    void draw(QPainter& painter) const override;

    QPoint from_;
    QPoint to_;
    int width_;
};

// A filled circle inscribed in its box. Passes pointer input through.
class Circle final : public Shape {
public:
    Circle(Scene& scene, const QRect& box, const QColor& color);

private:
    void draw(QPainter& painter) const override;

    QRect box_;
};

} // namespace scene
