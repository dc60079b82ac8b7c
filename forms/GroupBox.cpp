// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupBox.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace forms {

GroupBox::GroupBox(Scene& scene, const QRect& rect, const QString& title, const QFont& font,
                   const QColor& background)
    : Element(scene, rect, nullptr, QAccessible::Grouping)
    , title_(title)
    , font_(font)
    , background_(background) {
}

QRect GroupBox::deviceExtent(qreal devicePixelRatio) const {
    return snapToDevice(bounds(), devicePixelRatio);
}

// Everything but the title's text is filled in whole device pixels, which gives the same pixels whatever part
// of the box a repaint needs; strokes at fractional scales would not.
void GroupBox::paint(QPainter& painter, const PaintContext& context) const {
    const qreal dpr = context.devicePixelRatio;
    const QTransform logical = painter.transform();
    painter.resetTransform();
    painter.fillRect(deviceBounds(), background_);
    painter.setClipRect(deviceBounds(), Qt::IntersectClip);
    const auto fill = [&](int x, int y, int width, int height, const QColor& color) {
        painter.fillRect(snapToDevice(QRect(x, y, width, height), dpr), color);
    };

    // A sunken etched border of logical pixel lines, whose top line runs through the middle of the title.
    const QFontMetrics metrics(font_);
    const QRect border = bounds().adjusted(0, metrics.height() / 2, 0, 0);
    const int x1 = border.left(), y1 = border.top(), x2 = border.right(), y2 = border.bottom();
    const QColor dark = context.palette.color(QPalette::Active, QPalette::Dark);
    const QColor light = context.palette.color(QPalette::Active, QPalette::Light);
    fill(x1, y1, x2 - x1, 1, dark);
    fill(x1, y2 - 1, x2 - x1, 1, dark);
    fill(x1, y1, 1, y2 - y1, dark);
    fill(x2 - 1, y1, 1, y2 - y1, dark);
    fill(x1 + 1, y1 + 1, x2 - x1 - 2, 1, light);
    fill(x1 + 1, y1 + 2, 1, y2 - y1 - 3, light);
    fill(x1, y2, x2 - x1 + 1, 1, light);
    fill(x2, y1, 1, y2 - y1, light);

    if (title_.isEmpty())
        return;
    const QRect titleRect(bounds().left() + 8, bounds().top(), metrics.horizontalAdvance(title_) + 4,
                          metrics.height());
    fill(titleRect.x(), titleRect.y(), titleRect.width(), titleRect.height(), background_);
    painter.setTransform(logical);
    painter.setFont(font_);
    painter.setPen(context.palette.color(QPalette::Active, QPalette::HighlightedText));
    painter.drawText(titleRect, Qt::AlignCenter, title_);
}

} // namespace forms
