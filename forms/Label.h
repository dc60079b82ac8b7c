// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Colour.h"
#include "Element.h"
#include "Font.h"

#include <QFont>
#include <QImage>
#include <optional>

namespace forms {

// The platform's default colours of a label's face and text.
inline constexpr Colour kDefaultLabelBack = 0x8000000Fu;
inline constexpr Colour kDefaultLabelText = 0x80000012u;

// A rectangle painted in its back colour with its caption on top, wrapped at word boundaries. An
// enabled label takes clicks and pointer moves; a disabled one draws its text in the platform's disabled
// style and lets pointer input through.
class Label final : public Element {
public:
    Label(Scene& scene, const QRect& rect, const QString& caption, const FontSpec& font,
          const Element* container = nullptr);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    Colour backColour() const { return back_; }
    void setBackColour(Colour colour);
    Colour foreColour() const { return fore_; }
    void setForeColour(Colour colour);
    qreal fontPointSize() const { return pointSize_; }
    void setFontPointSize(qreal points);
    const QFont& font() const;
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

    QString caption_;
    Colour back_ = kDefaultLabelBack;
    Colour fore_ = kDefaultLabelText;
    qreal pointSize_;
    // The font is looked up when first needed, so that building a window does not wait for the font
    // database.
    FontSpec fontWanted_;
    mutable std::optional<QFont> font_;
    bool enabled_ = true;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    // The label as last rendered: laying out wrapped text costs far more than copying it, and the maze is
    // re-rendered around the start label on every step of a round.
    mutable QImage rendered_;
    mutable bool renderedValid_ = false;
    mutable int renderedLook_ = -1;
};

} // namespace forms
