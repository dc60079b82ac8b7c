// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <QStyle>

namespace scene {

Label::Label(Scene& scene, const QRect& rect, const QString& text, const QFont& font,
             const Element* container)
    : RenderedBox(scene, rect, container, QAccessible::StaticText)
    , text_(text)
    , font_(font) {
}

void Label::setText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    changed();
    announce(QAccessible::NameChanged);
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

QFont Label::fittedFont() const {
    // Smaller than this is no longer text to read.
    constexpr int kSmallestPixelSize = 8;
    const QRect box(QPoint(0, 0), bounds().size());
    const int flags = int(alignment_ | Qt::AlignTop | Qt::TextWordWrap);
    QFont font = font_;
    while (font.pixelSize() > kSmallestPixelSize) {
        const QRect needed = QFontMetrics(font).boundingRect(box, flags, text_);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            break;
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

std::optional<QString> Label::look() const {
    return QStringList{text_,
                       font_.toString(),
                       background_.isValid() ? background_.name(QColor::HexArgb) : QString(),
                       textColor_.isValid() ? textColor_.name(QColor::HexArgb) : QString(),
                       QString::number(int(textRole_)),
                       QString::number(int(alignment_)),
                       QString::number(int(isEnabled()))}
        .join(QChar(0));
}

void Label::render(QImage& image, const PaintContext& context) const {
    image.fill(background_.isValid() ? background_
                                     : context.palette.color(QPalette::Active, QPalette::Window));
    QPainter painter(&image);
    painter.scale(context.scale, context.scale);

    // The style draws enabled text in the WindowText role and disabled text in the palette's disabled group,
    // so only the enabled groups take the label's own colour.
    QPalette palette = context.palette;
    const QColor text =
        textColor_.isValid() ? textColor_ : context.palette.color(QPalette::Active, textRole_);
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    palette.setCurrentColorGroup(isEnabled() ? QPalette::Active : QPalette::Disabled);

    painter.setFont(fittedFont());
    context.style->drawItemText(&painter, QRect(QPoint(0, 0), bounds().size()),
                                alignment_ | Qt::AlignTop | Qt::TextWordWrap, palette, isEnabled(), text_,
                                QPalette::WindowText);
}

} // namespace scene
