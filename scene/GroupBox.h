// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RenderedBox.h"

#include <QColor>
#include <QFont>

namespace scene {

// A framed area that holds other elements (those added with it as their container, after it), drawn as Qt's
// common style draws a QGroupBox: its title, in the palette's HighlightedText, interrupts the top border. It
// takes all pointer input over it, so nothing below sees any.
class GroupBox final : public RenderedBox {
public:
    GroupBox(Scene& scene, const QRect& rect, const QString& title, const QFont& font,
             const QColor& background);

    QString text() const override { return title_; }
    const QFont& font() const { return font_; }
    QColor backgroundColor() const { return background_; }
    bool takesPointer() const override { return true; }

protected:
    void render(QImage& image, const PaintContext& context) const override;

private:
    QString title_;
    QFont font_;
    QColor background_;
};

} // namespace scene
