// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"

#include <QColor>

#include <QImage>
#include <QPalette>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace forms {

// The one rendering of a window's client area. The window shows this picture and the colour read-back
// reads it, so what the pupil sees and what the game tests can never disagree. Changes are re-rendered
// lazily and only where something changed: before the next reading, or when the window paints.
class Scene final {
public:
    Scene(QSize size, const QColor& background);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Adds an element on top of everything added before.
    template <class T, class... Args> T& add(Args&&... args) {
        auto element = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& added = *element;
        added.stackIndex_ = elements_.size();
        elements_.push_back(std::move(element));
        invalidate(added.bounds());
        return added;
    }

    void setDevicePixelRatio(qreal dpr);
    void setLook(const QStyle* style, const QPalette& palette);

    // The colour the picture has at a point of the client area, in logical pixels; nothing outside it.
    // Cheap enough for every pointer move: no allocation, and no rendering unless something changed.
    std::optional<QRgb> colorAt(QPointF pos);
    // The picture in device pixels, up to date.
    const QImage& picture();

    // The topmost shown element under the point that takes pointer input, or null.
    Element* elementAt(QPointF pos) const;

    void invalidate(const QRect& area);
    // Only the element at this stacking index and those above it changed in the area, as when it appears:
    // what lies below is still right and need not be painted again.
    void invalidateFrom(const QRect& area, std::size_t stackIndex);
    // Told of every area that changed, so a window can schedule its repaint.
    void setChangeListener(std::function<void(const QRect&)> listener) { listener_ = std::move(listener); }

private:
    void flush();

    QSize size_;
    QColor background_;
    qreal dpr_ = 1.0;
    const QStyle* style_ = nullptr;
    QPalette palette_;
    int look_ = 0;
    QImage image_;
    std::vector<std::unique_ptr<Element>> elements_;
    struct Dirty {
        QRect area;
        std::size_t from; // the lowest element to paint; 0 repaints the background too
    };
    std::vector<Dirty> dirty_;
    std::function<void(const QRect&)> listener_;
};

} // namespace forms
