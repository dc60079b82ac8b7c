// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RenderedBox.h"

#include <QFont>

namespace scene {

// A push button drawn by the platform's style, shown pressed while the left button is held on it.
class Button final : public RenderedBox {
public:
    Button(Scene& scene, const QRect& rect, const QString& text, const QFont& font,
           const Element* container = nullptr);

    QString text() const override { return text_; }
    bool takesPointer() const override { return true; }
    void setPressed(bool pressed) override;

protected:
    void render(QImage& image, const PaintContext& context) const override;

private:
    QString text_;
    QFont font_;
    bool pressed_ = false;
};

} // namespace scene
