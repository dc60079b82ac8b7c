// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Label.h"

#include <QPainter>
#include <QStyle>

namespace forms {

Label::Label(Scene& scene, const QRect& rect, const QString& text, const QFont& font,
             const Element* container)
    : Element(scene, rect, container)
    , text_(text)
    , font_(font) {
}

void Label::changed() {
    renderedValid_ = false;
    Element::changed();
}

void Label::setText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    changed();
}

void Label::setBackgroundColor(const QColor& color) {
    if (background_ == color)
        return;
    background_ = color;
    changed();
}

void Label::setTextColor(const QColor& color) {
    if (textColor_ == color)
        return;
    textColor_ = color;
    changed();
}

void Label::setTextRole(QPalette::ColorRole role) {
    if (textRole_ == role)
        return;
    textRole_ = role;
    changed();
}

void Label::setFont(const QFont& font) {
    if (font_ == font)
        return;
    font_ = font;
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
    painter.fillRect(rect, background_.isValid() ? background_
                                                 : context.palette.color(QPalette::Active, QPalette::Window));

    // The style draws enabled text in the WindowText role and disabled text in the palette's disabled group,
    // so only the enabled groups take the label's own colour.
    QPalette palette = context.palette;
    const QColor text =
        textColor_.isValid() ? textColor_ : context.palette.color(QPalette::Active, textRole_);
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    palette.setCurrentColorGroup(enabled_ ? QPalette::Active : QPalette::Disabled);

    painter.setFont(font_);
    context.style->drawItemText(&painter, rect, alignment_ | Qt::AlignTop | Qt::TextWordWrap, palette,
                                enabled_, text_, QPalette::WindowText);
    renderedValid_ = true;
    renderedLook_ = context.look;
}

} // namespace forms
