// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Scene.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace forms {

namespace {

// Pending areas kept apart before they are merged into one; a round's step changes only a few.
constexpr std::size_t kDirtyAreas = 32;

// Positions arrive as device pixels divided by the ratio; this undoes the rounding of that division.
constexpr qreal kDeviceEpsilon = 1e-6;

} // namespace

Scene::Scene(QSize size, const QColor& background)
    : size_(size)
    , background_(background)
    , style_(QApplication::style())
    , palette_(QApplication::palette()) {
    dirty_.reserve(kDirtyAreas);
    setDevicePixelRatio(1.0);
}

Scene::~Scene() = default;

void Scene::setDevicePixelRatio(qreal dpr) {
    if (dpr == dpr_)
        return;
    dpr_ = dpr;
    // As big as the platform makes the window's backing store.
    image_ = QImage(qRound(size_.width() * dpr), qRound(size_.height() * dpr), QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    // Writable and unshared, the view never copies on write: painting it paints the picture.
    canvas_ = QImage(image_.bits(), image_.width(), image_.height(), image_.bytesPerLine(), image_.format());
    for (const auto& element : elements_)
        element->deviceBounds_ = element->deviceExtent(dpr);
    dirty_.clear();
    invalidate(image_.rect());
}

void Scene::setLook(const QStyle* style, const QPalette& palette) {
    style_ = style;
    palette_ = palette;
    ++look_;
    invalidate(image_.rect());
}

void Scene::invalidate(const QRect& deviceArea) {
    invalidateFrom(deviceArea, 0);
}

void Scene::invalidateFrom(const QRect& deviceArea, std::size_t stackIndex) {
    const QRect clipped = deviceArea & image_.rect();
    if (clipped.isEmpty())
        return;
    if (dirty_.size() == kDirtyAreas) {
        // Many separate changes at once: one re-render of their union is cheaper than many small ones.
        QRect all = clipped;
        for (const Dirty& d : dirty_)
            all |= d.area;
        dirty_.clear();
        dirty_.push_back({all, 0});
    } else {
        dirty_.push_back({clipped, stackIndex});
    }
    if (listener_)
        listener_(clipped);
}

void Scene::flush() {
    QPainter painter(&canvas_);
    const PaintContext context{style_, palette_, look_, dpr_};
    // In the order the changes were made: a later area painted from the background up covers whatever an
    // earlier one painted there, and one painted from an element up paints everything above that element.
    for (const auto& [area, from] : dirty_) {
        painter.setClipRect(area);
        if (from == 0)
            painter.fillRect(area, background_);
        for (std::size_t i = from; i < elements_.size(); ++i) {
            const Element& element = *elements_[i];
            if (element.isShown() && element.deviceBounds_.intersects(area)) {
                // Each element starts from the painter as the area set it up, whatever the one before left.
                painter.save();
                painter.scale(dpr_, dpr_);
                element.paint(painter, context);
                painter.restore();
            }
        }
    }
    dirty_.clear();
}

std::optional<QRgb> Scene::colorAt(QPointF pos) {
    const qreal x = pos.x() * dpr_ + kDeviceEpsilon;
    const qreal y = pos.y() * dpr_ + kDeviceEpsilon;
    // Written so that NaN also counts as outside, and before any conversion that could overflow.
    if (!(x >= 0 && y >= 0 && x < image_.width() && y < image_.height()))
        return std::nullopt;
    if (!dirty_.empty())
        flush();
    return reinterpret_cast<const QRgb*>(image_.constScanLine(int(y)))[int(x)];
}

const QImage& Scene::picture() {
    if (!dirty_.empty())
        flush();
    return image_;
}

Element* Scene::elementAt(QPointF pos) const {
    const qreal x = pos.x() * dpr_ + kDeviceEpsilon;
    const qreal y = pos.y() * dpr_ + kDeviceEpsilon;
    if (!(x >= 0 && y >= 0 && x < image_.width() && y < image_.height()))
        return nullptr;
    const int px = int(x);
    const int py = int(y);
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) {
        Element& element = **it;
        // Spelt out: QRect::contains is not inline, and this runs for every element on every pointer move.
        const QRect& r = element.deviceBounds_;
        const bool inside = px >= r.left() && px <= r.right() && py >= r.top() && py <= r.bottom();
        if (inside && element.isShown() && element.takesPointer())
            return &element;
    }
    return nullptr;
}

} // namespace forms
