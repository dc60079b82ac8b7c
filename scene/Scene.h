// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Element.h"

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRegion>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace scene {

// Where a scene's layout lies in the window's picture. The layout is the window's content at its design size,
// in layout pixels; the picture is the whole client area in device pixels. At the design size the two
// coincide up to the device pixel ratio; a bigger window, such as a full screen, shows the layout scaled and
// centred, with the background around it.
struct Placement {
    // The window's device pixels per logical pixel, as the platform reports positions with it.
    qreal devicePixelRatio = 1;
    // Device pixels per layout pixel.
    qreal scale = 1;
    // The layout's top-left corner, on a whole device pixel so that scaling keeps every pixel exact.
    QPoint origin;
    QSize pictureSize;

    bool operator==(const Placement&) const = default;

    // A window of the layout's own size.
    static Placement atDesignSize(QSize layout, qreal devicePixelRatio);
    // A window of any size: the layout scaled by the largest factor that fits it, centred.
    static Placement fitted(QSize layout, QSize windowSize, qreal devicePixelRatio);
};

// The one rendering of a window's client area, in device pixels. The window shows this picture and the
// colour read-back reads it, so what the pupil sees and what the game tests can never disagree. A change is
// rendered lazily, before the next reading or when the window paints, and only where it happened, so the
// pixels are exactly those of a whole rendering at any scale: every element paints opaque pixels, the same
// whatever lies under them, so a pixel shows the topmost shown element that paints it, or the background.
// An element that goes is painted over in the background's colour, pixel for pixel as it painted itself;
// wherever one came or went, every element that shows there is painted again, in stacking order. Rendering
// the whole picture would be simpler, but a pointer move has 1 ms (one report of a 1000 Hz mouse), and a
// full screen of a 4K panel is eight million device pixels: filling even the path's surroundings with blue
// costs about that much (bench/tropilka_bench measures it).
class Scene final {
public:
    Scene(QSize layoutSize, const QColor& background);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Adds an element on top of everything added before.
    template <class T, class... Args> T& add(Args&&... args) {
        auto element = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& added = *element;
        Element& base = added;
        place(base);
        elements_.push_back(std::move(element));
        invalidate(base.deviceBounds_);
        announce(added, QAccessible::ObjectCreated);
        return added;
    }

    // The elements in stacking order, the bottom one first.
    std::size_t elementCount() const { return elements_.size(); }
    const Element& element(std::size_t stackIndex) const { return *elements_[stackIndex]; }

    QSize layoutSize() const { return size_; }
    const Placement& placement() const { return placement_; }
    qreal devicePixelRatio() const { return placement_.devicePixelRatio; }
    // A new placement renders everything again, cached renderings included.
    void setPlacement(const Placement& placement);
    // At the layout's own size.
    void setDevicePixelRatio(qreal dpr) { setPlacement(Placement::atDesignSize(size_, dpr)); }

    // A point or rectangle of the layout in the picture's device pixels, and in the window's logical ones.
    QPointF toDevice(QPointF layoutPoint) const {
        return QPointF(placement_.origin) + layoutPoint * placement_.scale;
    }
    QRectF toWindow(const QRectF& layoutRect) const;
    QPointF toWindow(QPointF layoutPoint) const {
        return toDevice(layoutPoint) / placement_.devicePixelRatio;
    }
    // The style and palette the elements draw with; a change renders everything again.
    void setStyle(const QStyle* style, const QPalette& palette);

    // The colour the picture has at the device pixel under a point of the client area, given in logical
    // pixels as a platform reports it (a device pixel's position divided by the ratio); nothing outside it.
    // Cheap enough for every pointer move: no allocation, and no rendering unless something changed.
    std::optional<QRgb> colorAt(QPointF pos);
    // Whether any device pixel that the straight way between two points of the client area crosses shows the
    // colour; the points as colorAt takes them.
    bool wayShows(QPointF from, QPointF to, QRgb colour);
    // The picture, up to date, with the device pixel ratio set for drawing it. It is rendered again in place,
    // so a copy by value, which shares its pixels, changes with it: keep one with QImage::copy().
    const QImage& picture();

    // The topmost shown and enabled element that takes pointer input at the device pixel under the point, or
    // null.
    Element* elementAt(QPointF pos) const;

    // An area of the picture, in device pixels, to render again from the background up.
    void invalidate(const QRect& deviceArea);
    // An element was shown or hidden: its pixels change, and those of what lies over or under it.
    void visibilityChanged(const Element& element);
    // What an element paints has changed, whether it shows now or not.
    void contentChanged(const Element& element);

    // Keeps a copy of the picture as it is now, until the picture is next rendered with every element shown
    // or hidden as now: the copy then takes the picture's place, and only what changed in content meanwhile
    // is rendered again. A round keeps the idle picture at its start and takes it back at its end, which on
    // a large screen saves erasing more path than a pointer move has time to write.
    void keepPicture();
    // Whether the kept picture is this one: every element shown or hidden as when it was kept, and no
    // content changed since.
    bool keepsPicture() const;
    // Lets every element prepare what painting it where it lies needs (a shape's pixel runs), so that showing
    // it later in a round costs no more than its pixels. Left until the first picture is on screen, which
    // needs little of it: painting prepares whatever is still missing itself.
    void prepareAhead();
    bool isPrepared() const { return prepared_; }
    // Told of every area, in device pixels, that changed, so a window can schedule its repaint.
    void setChangeListener(std::function<void(const QRect&)> listener) { listener_ = std::move(listener); }

    // Told when assistive technology should learn of a change to an element: it was added, shown, hidden or
    // renamed, or (StateChanged) enabled or disabled.
    void setAccessibilityListener(std::function<void(const Element&, QAccessible::Event)> listener) {
        accessibilityListener_ = std::move(listener);
    }
    void announce(const Element& element, QAccessible::Event event) const {
        if (accessibilityListener_)
            accessibilityListener_(element, event);
    }

private:
    void render();
    void setImage(QImage image);
    // Where an element lies in the picture.
    void place(Element& element);
    QRect deviceBoundsOf(const Element& element) const {
        return element.deviceExtent(placement_.scale).translated(placement_.origin);
    }

    QSize size_;
    QColor background_;
    Placement placement_;
    const QStyle* style_ = nullptr;
    QPalette palette_;
    int styleVersion_ = 0;
    // The picture, with the ratio set for the window to draw it, and the colour read-back's source.
    QImage image_;
    // The same pixels, written through a view of them that never copies on write, however many copies of the
    // picture are shared.
    QImage canvas_;
    std::vector<std::unique_ptr<Element>> elements_;
    bool prepared_ = false;
    // Where the picture is out of date, in device pixels, since the last rendering: an area to fill with the
    // background, the elements hidden, which leave the background where they were, and where every element
    // that shows must be painted again.
    bool isStale() const { return !filled_.isEmpty() || !erased_.empty() || !repainted_.isEmpty(); }
    QRect filled_;
    std::vector<const Element*> erased_;
    QRegion repainted_;
    // The kept picture, with each element's visibility then and where content has changed since; the
    // picture's spare buffer when none is kept.
    void takeBackKept();
    bool keptVisibilityHolds() const;
    QImage kept_;
    std::vector<bool> keptVisibility_;
    QRect changedSinceKept_;
    std::function<void(const QRect&)> listener_;
    std::function<void(const Element&, QAccessible::Event)> accessibilityListener_;
};

} // namespace scene
