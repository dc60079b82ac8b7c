// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Label.h"

#include <QPainter>
#include <QStyle>

namespace forms {

Label::Label(Scene& scene, const QRect& rect, const QString& caption, const FontSpec& font,
             const Element* container)
    : Element(scene, rect, container)
    , caption_(caption)
    , pointSize_(font.pointSize)
    , fontWanted_(font) {
}

const QFont& Label::font() const {
    if (!font_)
        font_ = toQFont(fontWanted_);
    return *font_;
}

void Label::changed() {
    renderedValid_ = false;
    Element::changed();
}

void Label::setCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    changed();
}

void Label::setBackColour(Colour colour) {
    if (back_ == colour)
        return;
    back_ = colour;
    changed();
}

void Label::setForeColour(Colour colour) {
    if (fore_ == colour)
        return;
    fore_ = colour;
    changed();
}

void Label::setFontPointSize(qreal points) {
    if (pointSize_ == points)
        return;
    pointSize_ = points;
    fontWanted_.pointSize = points;
    if (font_)
        font_->setPixelSize(pixelsOfPoints(points));
    changed();
}

void Label::setAlignment(Qt::Alignment horizontal) {
    if (alignment_ == horizontal)
        return;
    alignment_ = horizontal;
    changed();
}

void Label::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    changed();
}

void Label::paint(QPainter& painter, const PaintContext& context) const {
    const qreal dpr = painter.device()->devicePixelRatioF();
    if (!renderedValid_ || renderedLook_ != context.look || rendered_.devicePixelRatio() != dpr)
        render(context, dpr);
    painter.drawImage(bounds().topLeft(), rendered_);
}

void Label::render(const PaintContext& context, qreal dpr) const {
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

    painter.setFont(font());
    context.style->drawItemText(&painter, rect, alignment_ | Qt::AlignTop | Qt::TextWordWrap, palette,
                                enabled_, caption_, QPalette::WindowText);
    renderedValid_ = true;
    renderedLook_ = context.look;
}
} // namespace forms
