// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

class QAccessibleInterface;

namespace scene {

class Element;
class SceneWindow;

// Lets assistive technology and UI automation see the elements of every scene window as they see the
// widgets of other windows: the window lists its elements, a group box the elements it holds.
void installAccessibility();

// The element's interface, made and handed to Qt the first time it is asked for.
QAccessibleInterface* accessibleInterface(SceneWindow& window, const Element& element);

// Tells assistive technology of a change to an element of the window, when any is listening.
void announceAccessibility(SceneWindow& window, const Element& element, QAccessible::Event event);

} // namespace scene
