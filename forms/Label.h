// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>

namespace forms {

// A rectangle painted in its background colour with its text on top, wrapped at word boundaries. Without
// colours of its own it takes the palette's Window and WindowText. An enabled label takes clicks and
// pointer moves; a disabled one draws its text in the style's disabled look and lets pointer input through.
class Label final : public Element {
public:
    Label(Scene& scene, const QRect& rect, const QString& text, const QFont& font,
          const Element* container = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    // Invalid while the palette's colour is used.
    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& color);
    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& color);
    // The palette role the text takes while it has no colour of its own.
    void setTextRole(QPalette::ColorRole role);
    const QFont& font() const { return font_; }
    void setFont(const QFont& font);
    // Left-aligned unless told otherwise; text always starts at the top.
    void setAlignment(Qt::Alignment horizontal);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);

    bool takesPointer() const override { return enabled_; }
    void paint(QPainter& painter, const PaintContext& context) const override;

protected:
    void changed() override;

private:
    void render(const PaintContext& context, qreal dpr) const;

    QString text_;
    QColor background_;
    QColor textColor_;
    QPalette::ColorRole textRole_ = QPalette::WindowText;
    QFont font_;
    bool enabled_ = true;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    // The label as last rendered: laying out wrapped text costs far more than copying it, and the maze is
    // re-rendered around the start label on every step of a round.
    mutable QImage rendered_;
    mutable bool renderedValid_ = false;
    mutable int renderedLook_ = -1;
};

} // namespace forms
