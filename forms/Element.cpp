// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Element.h"

#include "Scene.h"

namespace forms {

Element::Element(Scene& scene, const QRect& bounds, const Element* container)
    : scene_(scene)
    , bounds_(bounds)
    , container_(container) {
}

Element::~Element() = default;

void Element::setVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
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

void Element::click() const {
    if (clickAction_)
        clickAction_();
}

} // namespace forms
