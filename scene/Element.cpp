// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Element.h"

#include "Pixels.h"
#include "Scene.h"

namespace scene {

Element::Element(Scene& scene, const QRect& bounds, const Element* container, QAccessible::Role role)
    : scene_(scene)
    , bounds_(bounds)
    , container_(container)
    , accessibleRole_(role) {
}

Element::~Element() {
    if (accessibleId_ != 0)
        QAccessible::deleteAccessibleInterface(accessibleId_);
}

QRect Element::deviceExtent(qreal scale) const {
    return (QRectF(bounds_.topLeft() * scale, QSizeF(bounds_.size()) * scale)).toAlignedRect();
}

void Element::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    announce(visible ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    scene_.visibilityChanged(*this);
}

void Element::setEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    changed();
    announce(QAccessible::StateChanged);
}

void Element::erase(const PaintContext& context, QRgb background) const {
    pixels::fill(context.picture, context.clip, deviceBounds_, background);
}

void Element::changed() {
    scene_.contentChanged(*this);
}

void Element::announce(QAccessible::Event event) {
    scene_.announce(*this, event);
}

void Element::setAccessibleName(const QString& name) {
    if (accessibleName_ == name)
        return;
    accessibleName_ = name;
    announce(QAccessible::NameChanged);
}

void Element::click() const {
    if (clickAction_)
        clickAction_();
}

} // namespace scene
