// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Element.h"

#include "Scene.h"

namespace forms {

Element::Element(Scene& scene, const QRect& bounds, const Element* container)
    : scene_(scene)
    , bounds_(bounds)
    , container_(container) {
}

Element::~Element() {
    if (accessibleId_ != 0)
        QAccessible::deleteAccessibleInterface(accessibleId_);
}

void Element::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    announce(visible ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    // Appearing only paints over what is there; disappearing uncovers what lies below.
    if (visible)
        scene_.invalidateFrom(bounds_, stackIndex_);
    else
        scene_.invalidate(bounds_);
}

void Element::changed() {
    if (isShown())
        scene_.invalidate(bounds_);
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

void Element::setAccessibleDescription(const QString& description) {
    if (accessibleDescription_ == description)
        return;
    accessibleDescription_ = description;
    announce(QAccessible::DescriptionChanged);
}

void Element::click() const {
    if (clickAction_)
        clickAction_();
}

} // namespace forms
