// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Scene.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace scene {

namespace {

// Positions arrive as device pixels divided by the ratio; this undoes the rounding of that division.
constexpr qreal kDeviceEpsilon = 1e-6;

} // namespace

Scene::Scene(QSize size, const QColor& background)
    : size_(size)
    , background_(background)
    , style_(QApplication::style())
    , palette_(QApplication::palette()) {
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
    stale_ = QRect();
    invalidate(image_.rect());
}

void Scene::setStyle(const QStyle* style, const QPalette& palette) {
    style_ = style;
    palette_ = palette;
    ++styleVersion_;
    invalidate(image_.rect());
}

void Scene::invalidate(const QRect& deviceArea) {
    const QRect clipped = deviceArea & image_.rect();
    if (clipped.isEmpty())
        return;
    stale_ |= clipped;
    if (listener_)
        listener_(clipped);
}

void Scene::render() {
    QPainter painter(&canvas_);
    const PaintContext context{style_, palette_, styleVersion_, dpr_};
    painter.setClipRect(stale_);
    painter.fillRect(stale_, background_);
    for (const auto& element : elements_) {
        if (element->isShown() && element->deviceBounds_.intersects(stale_)) {
            // Each element starts from the painter as the area set it up, whatever the one before left.
            painter.save();
            painter.scale(dpr_, dpr_);
            element->paint(painter, context);
            painter.restore();
        }
    }
    stale_ = QRect();
}

std::optional<QRgb> Scene::colorAt(QPointF pos) {
    const qreal x = pos.x() * dpr_ + kDeviceEpsilon;
    const qreal y = pos.y() * dpr_ + kDeviceEpsilon;
    // Written so that NaN also counts as outside, and before any conversion that could overflow.
    if (!(x >= 0 && y >= 0 && x < image_.width() && y < image_.height()))
        return std::nullopt;
    if (!stale_.isEmpty())
        render();
    return reinterpret_cast<const QRgb*>(image_.constScanLine(int(y)))[int(x)];
}

const QImage& Scene::picture() {
    if (!stale_.isEmpty())
        render();
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
        if (inside && element.isShown() && element.isEnabled() && element.takesPointer())
            return &element;
    }
    return nullptr;
}

} // namespace scene
