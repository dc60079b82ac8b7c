// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QPoint>

class GameWindow;
class QPointingDevice;

// A test pupil's fingers and pen on a touch screen: every touch and pen event goes through the window
// system's own path, at a whole device pixel, as a touch panel or graphics tablet reports it. Positions are
// points of the window's layout, standing for the device pixel under them.
class Hand {
public:
    enum class Tool { Finger, Pen };

    explicit Hand(GameWindow& window);

    // The finger (by number; each event reports every finger down, as touch screens do) or the pen.
    void down(QPoint pos, Tool tool = Tool::Finger, int finger = 0);
    void move(QPoint pos, Tool tool = Tool::Finger, int finger = 0);
    void up(QPoint pos, Tool tool = Tool::Finger, int finger = 0);
    // Down and up again in one place, after a pause longer than a double tap's.
    void tap(QPoint pos, Tool tool = Tool::Finger);
    // Two taps in quick succession.
    void doubleTap(QPoint pos, Tool tool = Tool::Finger);
    // A pen above the glass, not touching.
    void hover(QPoint pos);
    // In contact from the first point to the last, one report each; stops early when stop() says so.
    template <class Stop> void trace(const QList<QPoint>& route, Tool tool, Stop stop) {
        for (qsizetype i = 0; i < route.size(); ++i) {
            if (i == 0)
                down(route[i], tool);
            else
                move(route[i], tool);
            if (i + 1 == route.size() || stop()) {
                up(route[i], tool);
                return;
            }
        }
    }

private:
    void touch(int finger, QPoint pos, int state);
    void pen(QPoint pos, Qt::MouseButtons buttons);

    GameWindow& window_;
    QPointingDevice* touchScreen_;
    QPointingDevice* stylus_;
    // Fingers down, by number, and the device pixel each is at.
    QMap<int, QPoint> fingers_;
};
