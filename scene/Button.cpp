// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace scene {

Button::Button(Scene& scene, const QRect& rect, const QString& text, const QFont& font,
               const Element* container)
    : RenderedBox(scene, rect, container, QAccessible::Button)
    , text_(text)
    , font_(font) {
}

void Button::setPressed(bool pressed) {
    if (pressed_ == pressed)
        return;
    pressed_ = pressed;
    changed();
}

void Button::render(QImage& image, const PaintContext& context) const {
    image.fill(context.palette.color(QPalette::Active, QPalette::Button));
    QPainter painter(&image);
    painter.scale(context.scale, context.scale);
    QStyleOptionButton option;
    option.rect = QRect(QPoint(0, 0), bounds().size());
    option.text = text_;
    option.palette = context.palette;
    option.fontMetrics = QFontMetrics(font_);
    option.state = QStyle::State_Active | (pressed_ ? QStyle::State_Sunken : QStyle::State_Raised);
    if (isEnabled())
        option.state |= QStyle::State_Enabled;
    painter.setFont(font_);
    context.style->drawControl(QStyle::CE_PushButton, &option, &painter, nullptr);
}

} // namespace scene
