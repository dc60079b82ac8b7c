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
    if (dpr == dpr_ && !image_.isNull())
        return;
    dpr_ = dpr;
    const QSize device(int(std::ceil(size_.width() * dpr - kDeviceEpsilon)),
                       int(std::ceil(size_.height() * dpr - kDeviceEpsilon)));
    image_ = QImage(device, QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    invalidate(QRect(QPoint(0, 0), size_));
}

void Scene::setLook(const QStyle* style, const QPalette& palette) {
    style_ = style;
    palette_ = palette;
    ++look_;
    invalidate(QRect(QPoint(0, 0), size_));
}

void Scene::invalidate(const QRect& area) {
    invalidateFrom(area, 0);
}

void Scene::invalidateFrom(const QRect& area, std::size_t stackIndex) {
    const QRect clipped = area & QRect(QPoint(0, 0), size_);
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
    QPainter painter(&image_);
    const PaintContext context{style_, palette_, look_};
    // In the order the changes were made: a later area painted from the background up covers whatever an
    // earlier one painted there, and one painted from an element up paints everything above that element.
    for (const auto& [area, from] : dirty_) {
        painter.setClipRect(area);
        if (from == 0)
            painter.fillRect(area, background_);
        for (std::size_t i = from; i < elements_.size(); ++i) {
            const Element& element = *elements_[i];
            if (element.isShown() && element.bounds().intersects(area)) {
                // Each element starts from the painter as the area set it up, whatever the one before left.
                painter.save();
                element.paint(painter, context);
                painter.restore();
            }
        }
    }
    dirty_.clear();
}

std::optional<QRgb> Scene::colorAt(QPointF pos) {
    // Written so that a NaN coordinate also counts as outside.
    if (!(pos.x() >= 0 && pos.y() >= 0 && pos.x() < size_.width() && pos.y() < size_.height()))
        return std::nullopt;
    if (!dirty_.empty())
        flush();
    const int x = std::min(int(pos.x() * dpr_ + kDeviceEpsilon), image_.width() - 1);
    const int y = std::min(int(pos.y() * dpr_ + kDeviceEpsilon), image_.height() - 1);
    return reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
}

const QImage& Scene::picture() {
    if (!dirty_.empty())
        flush();
    return image_;
}

Element* Scene::elementAt(QPointF pos) const {
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) {
        Element& element = **it;
        const QRect r = element.bounds();
        const bool inside = pos.x() >= r.left() && pos.x() < r.left() + r.width() && pos.y() >= r.top() &&
                            pos.y() < r.top() + r.height();
        if (inside && element.isShown() && element.takesPointer())
            return &element;
    }
    return nullptr;
}

} // namespace forms
