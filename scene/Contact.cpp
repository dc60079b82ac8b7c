// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Contact.h"

#include <QGuiApplication>
#include <QStyleHints>

namespace scene {

Contact::Step Contact::land(Source source, QPointF pos, quint64 timestamp) {
    source_ = source;
    last_ = pos;
    const QStyleHints* hints = QGuiApplication::styleHints();
    const QPointF apart = lastLanding_ ? pos - *lastLanding_ : QPointF();
    const bool secondTap = lastLanding_ &&
                           timestamp - lastLandingTime_ <= quint64(hints->mouseDoubleClickInterval()) &&
                           apart.manhattanLength() <= hints->touchDoubleTapDistance();
    // As with clicks, a third tap starts anew.
    lastLanding_ = secondTap ? std::nullopt : std::optional<QPointF>(pos);
    lastLandingTime_ = timestamp;
    return {Phase::Landed, pos, secondTap};
}

std::optional<Contact::Step> Contact::touch(const QList<QEventPoint>& points, quint64 timestamp) {
    if (source_ == Source::None) {
        for (const QEventPoint& point : points) {
            if (point.state() == QEventPoint::Pressed) {
                fingerId_ = point.id();
                return land(Source::Finger, point.scenePosition(), timestamp);
            }
        }
        return std::nullopt;
    }
    if (source_ != Source::Finger)
        return std::nullopt;
    for (const QEventPoint& point : points) {
        if (point.id() != fingerId_)
            continue;
        const QPointF pos = point.scenePosition();
        if (point.state() == QEventPoint::Released) {
            source_ = Source::None;
            fingerId_ = -1;
            return Step{Phase::Lifted, pos};
        }
        if (pos == last_)
            return std::nullopt;
        last_ = pos;
        return Step{Phase::Moved, pos};
    }
    return std::nullopt;
}

std::optional<Contact::Step> Contact::penPressed(QPointF pos, quint64 timestamp) {
    if (source_ != Source::None)
        return std::nullopt;
    return land(Source::Pen, pos, timestamp);
}

std::optional<Contact::Step> Contact::penMoved(QPointF pos) {
    if (source_ != Source::Pen || pos == last_)
        return std::nullopt;
    last_ = pos;
    return Step{Phase::Moved, pos};
}

std::optional<Contact::Step> Contact::penReleased(QPointF pos) {
    if (source_ != Source::Pen)
        return std::nullopt;
    source_ = Source::None;
    return Step{Phase::Lifted, pos};
}

void Contact::cancel() {
    if (source_ == Source::Finger)
        source_ = Source::None;
    fingerId_ = -1;
}

} // namespace scene
