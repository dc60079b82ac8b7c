// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Scene.h"

#include "Pixels.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace scene {

namespace {

// Positions arrive as device pixels divided by the ratio; this undoes the rounding of that division.
constexpr qreal kDeviceEpsilon = 1e-6;

} // namespace

// As big as the platform makes the window's backing store.
Placement Placement::atDesignSize(QSize layout, qreal devicePixelRatio) {
    return {devicePixelRatio, devicePixelRatio, QPoint(0, 0), layout * devicePixelRatio};
}

Placement Placement::fitted(QSize layout, QSize windowSize, qreal devicePixelRatio) {
    const QSize picture = windowSize * devicePixelRatio;
    const qreal scale =
        std::min(qreal(picture.width()) / layout.width(), qreal(picture.height()) / layout.height());
    const QSize scaled = layout * scale;
    const QPoint origin(std::max(0, picture.width() - scaled.width()) / 2,
                        std::max(0, picture.height() - scaled.height()) / 2);
    return {devicePixelRatio, scale, origin, picture};
}

Scene::Scene(QSize layoutSize, const QColor& background)
    : size_(layoutSize)
    , background_(background)
    , style_(QApplication::style())
    , palette_(QApplication::palette()) {
    setDevicePixelRatio(1.0);
}

Scene::~Scene() = default;

void Scene::setPlacement(const Placement& placement) {
    if (placement == placement_ && !image_.isNull())
        return;
    placement_ = placement;
    setImage(QImage(placement.pictureSize, QImage::Format_RGB32));
    kept_ = QImage();
    keptVisibility_.clear();
    for (const auto& element : elements_)
        place(*element);
    erased_.clear();
    repainted_ = QRegion();
    filled_ = QRect();
    invalidate(image_.rect());
}

void Scene::place(Element& element) {
    element.deviceBounds_ = deviceBoundsOf(element);
    prepared_ = false;
}

void Scene::prepareAhead() {
    if (prepared_)
        return;
    const QRegion none;
    for (const auto& element : elements_)
        element->prepare(
            {style_, palette_, styleVersion_, placement_.scale, placement_.origin, canvas_, none});
    prepared_ = true;
}

void Scene::setImage(QImage image) {
    image_ = std::move(image);
    image_.setDevicePixelRatio(placement_.devicePixelRatio);
    // Writable and unshared, the view never copies on write: painting it paints the picture.
    canvas_ = QImage(image_.bits(), image_.width(), image_.height(), image_.bytesPerLine(), image_.format());
}

QRectF Scene::toWindow(const QRectF& layoutRect) const {
    const qreal dpr = placement_.devicePixelRatio;
    return QRectF(toDevice(layoutRect.topLeft()) / dpr, layoutRect.size() * (placement_.scale / dpr));
}

void Scene::setStyle(const QStyle* style, const QPalette& palette) {
    style_ = style;
    palette_ = palette;
    ++styleVersion_;
    keptVisibility_.clear();
    invalidate(image_.rect());
}

void Scene::invalidate(const QRect& deviceArea) {
    const QRect clipped = deviceArea & image_.rect();
    if (clipped.isEmpty())
        return;
    filled_ |= clipped;
    if (listener_)
        listener_(clipped);
}

void Scene::visibilityChanged(const Element& element) {
    const QRect area = element.deviceBounds_ & image_.rect();
    if (area.isEmpty())
        return;
    if (!element.isVisible())
        erased_.push_back(&element);
    repainted_ += area;
    if (listener_)
        listener_(area);
}

void Scene::contentChanged(const Element& element) {
    changedSinceKept_ |= element.deviceBounds_;
    if (element.isShown())
        invalidate(element.deviceBounds_);
}

void Scene::keepPicture() {
    if (isStale())
        render();
    if (kept_.size() != image_.size())
        kept_ = QImage(image_.size(), image_.format());
    std::memcpy(kept_.bits(), image_.constBits(), std::size_t(image_.sizeInBytes()));
    keptVisibility_.clear();
    for (const auto& element : elements_)
        keptVisibility_.push_back(element->isVisible());
    changedSinceKept_ = QRect();
}

bool Scene::keptVisibilityHolds() const {
    return !keptVisibility_.empty() && keptVisibility_.size() == elements_.size() &&
           std::equal(elements_.begin(), elements_.end(), keptVisibility_.begin(),
                      [](const auto& element, bool visible) { return element->isVisible() == visible; });
}

bool Scene::keepsPicture() const {
    return changedSinceKept_.isEmpty() && keptVisibilityHolds();
}

void Scene::takeBackKept() {
    if (!keptVisibilityHolds())
        return;
    QImage spare = std::move(image_);
    setImage(std::move(kept_));
    kept_ = std::move(spare);
    keptVisibility_.clear();
    // What the kept picture lacks: the content that changed since.
    filled_ = changedSinceKept_ & image_.rect();
    erased_.clear();
    repainted_ = QRegion();
}

void Scene::render() {
    if (!keptVisibility_.empty() && (!erased_.empty() || !repainted_.isEmpty()))
        takeBackKept();
    const QRgb background = background_.rgb();
    const QRegion whole(canvas_.rect());
    pixels::fill(canvas_, whole, filled_, background);
    const PaintContext erasing{style_,  palette_, styleVersion_, placement_.scale, placement_.origin,
                               canvas_, whole};
    // Where the background was just filled, there is nothing left to erase.
    for (const Element* element : erased_) {
        if (!filled_.contains(element->deviceBounds_))
            element->erase(erasing, background);
    }
    const QRegion area = repainted_ + filled_;
    const PaintContext painting{style_,  palette_, styleVersion_, placement_.scale, placement_.origin,
                                canvas_, area};
    for (const auto& element : elements_) {
        if (element->isShown() && area.intersects(element->deviceBounds_))
            element->paint(painting);
    }
    filled_ = QRect();
    erased_.clear();
    repainted_ = QRegion();
}

std::optional<QRgb> Scene::colorAt(QPointF pos) {
    const qreal x = pos.x() * placement_.devicePixelRatio + kDeviceEpsilon;
    const qreal y = pos.y() * placement_.devicePixelRatio + kDeviceEpsilon;
    // Written so that NaN also counts as outside, and before any conversion that could overflow.
    if (!(x >= 0 && y >= 0 && x < image_.width() && y < image_.height()))
        return std::nullopt;
    if (isStale())
        render();
    return reinterpret_cast<const QRgb*>(image_.constScanLine(int(y)))[int(x)];
}

bool Scene::wayShows(QPointF from, QPointF to, QRgb colour) {
    const qreal dpr = placement_.devicePixelRatio;
    QPointF a = from * dpr + QPointF(kDeviceEpsilon, kDeviceEpsilon);
    QPointF b = to * dpr + QPointF(kDeviceEpsilon, kDeviceEpsilon);
    // Only the part inside the picture can show anything (Liang and Barsky's clipping), which also bounds the
    // walk below whatever the points; NaN fails every comparison and is left out with the rest.
    qreal enter = 0, leave = 1;
    const QPointF d = b - a;
    const auto clip = [&](qreal p, qreal q) {
        if (p == 0)
            return q >= 0;
        const qreal t = q / p;
        if (p < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter <= leave;
    };
    // The far edges are kept a hair inside, so a point on them still lies in the last pixel.
    const qreal right = image_.width() - 1e-9, bottom = image_.height() - 1e-9;
    if (!(clip(-d.x(), a.x()) && clip(d.x(), right - a.x()) && clip(-d.y(), a.y()) &&
          clip(d.y(), bottom - a.y())))
        return false;
    b = a + d * leave;
    a = a + d * enter;
    if (isStale())
        render();

    // Every pixel whose square the segment passes through, in order (Amanatides and Woo): from the pixel of
    // one end, one step at a time across whichever pixel edge the segment meets first.
    int x = int(a.x()), y = int(a.y());
    const int endX = int(b.x()), endY = int(b.y());
    const int stepX = endX > x ? 1 : -1, stepY = endY > y ? 1 : -1;
    const qreal spanX = std::abs(b.x() - a.x()), spanY = std::abs(b.y() - a.y());
    const qreal kNever = std::numeric_limits<qreal>::infinity();
    const qreal deltaX = spanX > 0 ? 1 / spanX : kNever, deltaY = spanY > 0 ? 1 / spanY : kNever;
    qreal nextX = spanX > 0 ? (stepX > 0 ? x + 1 - a.x() : a.x() - x) * deltaX : kNever;
    qreal nextY = spanY > 0 ? (stepY > 0 ? y + 1 - a.y() : a.y() - y) * deltaY : kNever;
    for (int steps = std::abs(endX - x) + std::abs(endY - y);; --steps) {
        if (reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x] == colour)
            return true;
        if (steps == 0)
            return false;
        // Rounding may bring one coordinate to its end early: the other then takes the remaining steps.
        if (y == endY || (x != endX && nextX < nextY)) {
            x += stepX;
            nextX += deltaX;
        } else {
            y += stepY;
            nextY += deltaY;
        }
    }
}

const QImage& Scene::picture() {
    if (isStale())
        render();
    return image_;
}

Element* Scene::elementAt(QPointF pos) const {
    const qreal x = pos.x() * placement_.devicePixelRatio + kDeviceEpsilon;
    const qreal y = pos.y() * placement_.devicePixelRatio + kDeviceEpsilon;
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
