// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Label.h"

#include <QPainter>
#include <QStyle>
#include <cmath>

namespace forms {

int pixelsOfPoints(qreal points) { return int(std::lround(points * 96.0 / 72.0)); }

Label::Label(Scene& scene, const QRect& rect, const QString& caption, const FontSpec& font,
             const Element* container)
    : Element(scene, rect, container)
    , caption_(caption)
    , pointSize_(font.pointSize)
{
    font_.setFamilies(font.families);
    font_.setBold(font.bold);
    font_.setItalic(font.italic);
    font_.setPixelSize(pixelsOfPoints(pointSize_));
    // Subpixel rendering would put arbitrary RGB mixes at glyph edges, which could match a colour the game
    // tests for; grey-level smoothing only ever mixes the text with its background.
    font_.setStyleStrategy(QFont::NoSubpixelAntialias);
}

void Label::changed()
{
    renderedValid_ = false;
    Element::changed();
}

void Label::setCaption(const QString& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    changed();
}

void Label::setBackColour(Colour colour)
{
    if (back_ == colour)
        return;
    back_ = colour;
    changed();
}

void Label::setForeColour(Colour colour)
{
    if (fore_ == colour)
        return;
    fore_ = colour;
    changed();
}

void Label::setFontPointSize(qreal points)
{
    if (pointSize_ == points)
        return;
    pointSize_ = points;
    font_.setPixelSize(pixelsOfPoints(points));
    changed();
}

void Label::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    changed();
}

void Label::paint(QPainter& painter, const PaintContext& context) const
{
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (!renderedValid_ || renderedLook_ != context.look || rendered_.devicePixelRatio() != dpr)
        render(context, dpr);
    painter.drawImage(bounds().topLeft(), rendered_);
}

void Label::render(const PaintContext& context, qreal dpr) const
{
    const QRect rect(QPoint(0, 0), bounds().size());
    rendered_ = QImage((QSizeF(rect.size()) * dpr).toSize(), QImage::Format_RGB32);
    rendered_.setDevicePixelRatio(dpr);
    QPainter painter(&rendered_);
    painter.fillRect(rect, toQColor(back_, context.palette));

    // The style draws enabled text in the WindowText role and disabled text in the palette's disabled group,
    // so only the enabled groups take the label's own colour.
    QPalette palette = context.palette;
    const QColor text = toQColor(fore_, context.palette);
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    palette.setCurrentColorGroup(enabled_ ? QPalette::Active : QPalette::Disabled);

    painter.setFont(font_);
    context.style->drawItemText(&painter, rect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, palette,
                                enabled_, caption_, QPalette::WindowText);
    renderedValid_ = true;
    renderedLook_ = context.look;
}
} // namespace forms
