// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QRect>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

class QPainter;
class QPalette;
class QStyle;

namespace forms {

class Scene;

// What an element may use when it paints itself into the window's picture.
struct PaintContext {
    const QStyle* style;
    const QPalette& palette;
    // Changes whenever the style or palette does, so cached renderings know they are stale.
    int look;
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

    // Whether the element keeps pointer moves and clicks from what lies below it, as a control does.
    virtual bool takesPointer() const { return false; }
    // Painting again over its own result must leave the same pixels (opaque fills, unblended edges): an
    // element that appears below another repaints the one above in place.
    virtual void paint(QPainter& painter, const PaintContext& context) const = 0;

    const QString& toolTip() const { return toolTip_; }
    void setToolTip(const QString& text) { toolTip_ = text; }
    const std::optional<QCursor>& cursor() const { return cursor_; }
    void setCursor(const QCursor& cursor) { cursor_ = cursor; }

    // While the left button is held down over the element.
    virtual void setPressed(bool) {}

    void setClickAction(std::function<void()> action) { clickAction_ = std::move(action); }
    void click() const;

protected:
    Element(Scene& scene, const QRect& bounds, const Element* container);
    // Tells the scene that what the element paints has changed.
    virtual void changed();

private:
    friend class Scene;

    Scene& scene_;
    std::size_t stackIndex_ = 0;
    QRect bounds_;
    const Element* container_;
    bool visible_ = true;
    QString toolTip_;
    std::optional<QCursor> cursor_;
    std::function<void()> clickAction_;
};

} // namespace forms
