// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Frame.h"

#include <QFontMetrics>
#include <QPainter>
#include <qdrawutil.h>

namespace forms {

Frame::Frame(Scene& scene, const QRect& rect, const QString& caption, const FontSpec& font, Colour back,
             Colour fore)
    : Element(scene, rect, nullptr)
    , caption_(caption)
    , font_(toQFont(font))
    , back_(back)
    , fore_(fore) {
}

void Frame::paint(QPainter& painter, const PaintContext& context) const {
    const QRect rect = bounds();
    painter.fillRect(rect, toQColor(back_, context.palette));

    // An etched border whose top line runs through the middle of the caption.
    const QFontMetrics metrics(font_);
    const QRect border = rect.adjusted(0, metrics.height() / 2, 0, 0);
    painter.setBrush(Qt::NoBrush); // the border is drawn as a rectangle, which would fill with a brush
    qDrawShadeRect(&painter, border, context.palette, true, 1, 0);

    if (caption_.isEmpty())
        return;
    const int textWidth = metrics.horizontalAdvance(caption_);
    const QRect captionRect(rect.left() + 8, rect.top(), textWidth + 4, metrics.height());
    painter.fillRect(captionRect, toQColor(back_, context.palette));
    painter.setFont(font_);
    painter.setPen(toQColor(fore_, context.palette));
    painter.drawText(captionRect, Qt::AlignCenter, caption_);
}

} // namespace forms
