// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RenderedBox.h"

#include <QColor>
#include <QFont>
#include <QPalette>

namespace scene {

// A rectangle painted in its background colour with its text on top, wrapped at word boundaries and made
// smaller where it would not fit. Without colours of its own it takes the palette's Window and WindowText.
// Disabled, it draws its text in the style's disabled look.
class Label final : public RenderedBox {
public:
    Label(Scene& scene, const QRect& rect, const QString& text, const QFont& font,
          const Element* container = nullptr);

    QString text() const override { return text_; }
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
    // The font the text is drawn in: the label's own, or a smaller size of it where the face at hand needs
    // more room than the box gives, so that a wider fallback face neither cuts text off nor loses words.
    QFont fittedFont() const;
    // Left-aligned unless told otherwise; text always starts at the top.
    void setAlignment(Qt::Alignment horizontal);

    bool takesPointer() const override { return true; }

protected:
    void render(QImage& image, const PaintContext& context) const override;
    std::optional<QString> look() const override;

private:
    QString text_;
    QColor background_;
    QColor textColor_;
    QPalette::ColorRole textRole_ = QPalette::WindowText;
    QFont font_;
    Qt::Alignment alignment_ = Qt::AlignLeft;
};

} // namespace scene
