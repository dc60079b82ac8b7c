// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupBox.h"

#include <QCommonStyle>
#include <QPainter>
#include <QStyleOptionGroupBox>

namespace scene {

GroupBox::GroupBox(Scene& scene, const QRect& rect, const QString& title, const QFont& font,
                   const QColor& background)
    : RenderedBox(scene, rect, nullptr, QAccessible::Grouping)
    , title_(title)
    , font_(font)
    , background_(background) {
}

void GroupBox::render(QImage& image, const PaintContext& context) const {
    image.fill(background_);
    // The ratio on the image rather than a scaled painter: Qt's shaded frames then draw their lines in whole
    // device pixels, so the light border fills the box's last row and column of them at any scale.
    image.setDevicePixelRatio(context.scale);
    QPainter painter(&image);
    painter.setFont(font_);
    QStyleOptionGroupBox option;
    option.rect = QRect(QPoint(0, 0), bounds().size());
    option.palette = context.palette;
    option.palette.setCurrentColorGroup(isEnabled() ? QPalette::Active : QPalette::Disabled);
    option.fontMetrics = QFontMetrics(font_);
    option.state = isEnabled() ? QStyle::State_Enabled : QStyle::State_None;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.text = title_;
    option.textColor = option.palette.color(QPalette::HighlightedText);
    option.lineWidth = 1;
    // Qt's common style, as the Windows style has it, rather than the window's: its title interrupts a sunken
    // etched border, where Fusion, Linux's default, sets it above a rounded frame.
    QCommonStyle().drawComplexControl(QStyle::CC_GroupBox, &option, &painter, nullptr);
    painter.end();
    image.setDevicePixelRatio(1);
}

} // namespace scene
