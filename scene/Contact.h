// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventPoint>
#include <QList>
#include <QPointF>
#include <optional>

namespace scene {

// The one finger or pen in contact with the screen that acts as the pointer. Of all touch points only the
// first to land counts, until it lifts: a second finger, or a palm resting on the panel, changes nothing, nor
// does a point that was already down when the first lifted. Whatever touches first, finger or pen, counts
// until it lifts. A landing soon after another and near it is the second half of a double tap, as a press is
// of a double click.
class Contact final {
public:
    enum class Phase { Landed, Moved, Lifted };
    struct Step {
        Phase phase;
        // In the window's logical pixels.
        QPointF pos;
        // A landing that completes a double tap.
        bool secondTap = false;
    };

    // The points of one touch event; timestamps in milliseconds.
    std::optional<Step> touch(const QList<QEventPoint>& points, quint64 timestamp);
    // A pen's press, move in contact or release.
    std::optional<Step> penPressed(QPointF pos, quint64 timestamp);
    std::optional<Step> penMoved(QPointF pos);
    std::optional<Step> penReleased(QPointF pos);
    // The system took the touch over, as for a gesture of its own: the contact ends without lifting.
    void cancel();

    bool isDown() const { return source_ != Source::None; }

private:
    enum class Source { None, Finger, Pen };
    Step land(Source source, QPointF pos, quint64 timestamp);

    Source source_ = Source::None;
    int fingerId_ = -1;
    QPointF last_;
    std::optional<QPointF> lastLanding_;
    quint64 lastLandingTime_ = 0;
};

} // namespace scene
