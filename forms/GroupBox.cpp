// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupBox.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

namespace forms {

GroupBox::GroupBox(Scene& scene, const QRect& rect, const QString& title, const QFont& font,
                   const QColor& background)
    : Element(scene, rect, nullptr)
    , title_(title)
    , font_(font)
    , background_(background) {
}

void GroupBox::paint(QPainter& painter, const PaintContext& context) const {
    const QRect rect = bounds();
    painter.fillRect(rect, background_);

    // An etched border whose top line runs through the middle of the title.
    const QFontMetrics metrics(font_);
    const QRect border = rect.adjusted(0, metrics.height() / 2, 0, 0);
    painter.setBrush(Qt::NoBrush); // the border is drawn as a rectangle, which would fill with a brush
    qDrawShadeRect(&painter, border, context.palette, true, 1, 0);

    if (title_.isEmpty())
        return;
    const int textWidth = metrics.horizontalAdvance(title_);
    const QRect titleRect(rect.left() + 8, rect.top(), textWidth + 4, metrics.height());
    painter.fillRect(titleRect, background_);
    painter.setFont(font_);
    painter.setPen(context.palette.color(QPalette::Active, QPalette::HighlightedText));
    painter.drawText(titleRect, Qt::AlignCenter, title_);
}

} // namespace forms
