// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QCursor>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

class QPalette;
class QRegion;
class QStyle;

namespace scene {

class Scene;
class SceneWindow;

// What an element may use when it paints itself into the window's picture, whose device pixels it writes
// itself (scene/Pixels.h).
struct PaintContext {
    const QStyle* style;
    const QPalette& palette;
    // Changes whenever the style or palette does, so kept renderings know they are stale.
    int styleVersion;
    // Device pixels per layout pixel, and where the layout's top-left corner lies in the picture.
    qreal scale;
    QPoint origin;
    QImage& picture;
    // The only pixels it may change.
    const QRegion& clip;
};

// One painted element of a window: a label, a line, a circle, a group box... Elements are owned by their
// Scene, which paints them in the order they were added, the first at the bottom.
class Element {
public:
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);
    // Painted right now: visible, and so is the container it sits in.
    bool isShown() const { return visible_ && (container_ == nullptr || container_->isShown()); }

    // Everything the element paints lies inside this rectangle of the window's client area.
    QRect bounds() const { return bounds_; }
    // The device pixels of the scene's picture that the element may paint: nothing it paints lies outside
    // them, so a change repaints all of them. An element that takes pointer input takes it on these.
    QRect deviceBounds() const { return deviceBounds_; }

    // Whether the element keeps pointer moves and clicks from what lies below it, as a control does, while
    // it is enabled.
    virtual bool takesPointer() const { return false; }
    bool isEnabled() const { return enabled_; }
    // A disabled element lets pointer input through to what lies below, and looks disabled where the style
    // has a look for it.
    void setEnabled(bool enabled);

    // The text it shows, if any: a label's or a button's, a group box's title.
    virtual QString text() const { return {}; }
    // A repaint may clip to any part of deviceBounds(): what the element paints there must not depend on the
    // clip.
    virtual void paint(const PaintContext& context) const = 0;
    // Paints every pixel that paint() paints, and none outside deviceBounds(), in the given colour: how the
    // element leaves the picture when it is hidden. By default the whole of deviceBounds().
    virtual void erase(const PaintContext& context, QRgb background) const;
    // Asked, once it lies where it will be painted, to prepare what painting there needs before a pointer
    // move has to wait for it; the context's clip is empty.
    virtual void prepare(const PaintContext&) const {}

    const QString& toolTip() const { return toolTip_; }
    void setToolTip(const QString& text) { toolTip_ = text; }
    const std::optional<QCursor>& cursor() const { return cursor_; }
    void setCursor(const QCursor& cursor) { cursor_ = cursor; }

    // While the left button is held down over the element.
    virtual void setPressed(bool) {}

    void setClickAction(std::function<void()> action) { clickAction_ = std::move(action); }
    bool hasClickAction() const { return bool(clickAction_); }
    void click() const;

    // The group box it sits in, or null.
    const Element* container() const { return container_; }

    // What assistive technology is told, as of a QWidget. The role is its kind's unless set otherwise: a
    // label is static text, a picture a graphic, a group box a grouping, a button a button; lines and circles
    // have none, are decoration and are not told of. The name is its text, without the blanks that only
    // place it, unless set otherwise; the description is its tooltip.
    QAccessible::Role accessibleRole() const { return accessibleRole_; }
    void setAccessibleRole(QAccessible::Role role) { accessibleRole_ = role; }
    QString accessibleName() const { return accessibleName_.isEmpty() ? text().trimmed() : accessibleName_; }
    void setAccessibleName(const QString& name);

protected:
    Element(Scene& scene, const QRect& bounds, const Element* container,
            QAccessible::Role role = QAccessible::NoRole);
    // Tells the scene that what the element paints has changed.
    virtual void changed();
    // The device pixels the element may paint at a scale, with the layout at the picture's top left. By
    // default its bounds scaled and rounded outwards.
    virtual QRect deviceExtent(qreal scale) const;
    // Tells assistive technology, through the window that shows the scene, what changed.
    void announce(QAccessible::Event event);

private:
    friend class Scene;
    friend QAccessibleInterface* accessibleInterface(SceneWindow& window, const Element& element);

    Scene& scene_;
    QRect bounds_;
    QRect deviceBounds_;
    const Element* container_;
    bool visible_ = true;
    bool enabled_ = true;
    QString toolTip_;
    std::optional<QCursor> cursor_;
    std::function<void()> clickAction_;
    QAccessible::Role accessibleRole_;
    QString accessibleName_;
    // The element's interface once assistive technology has asked for it. Qt owns it, and is told to delete
    // it when the element dies.
    mutable QAccessible::Id accessibleId_ = 0;
};

} // namespace scene
