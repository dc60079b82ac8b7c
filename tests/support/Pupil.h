// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/GameWindow.h"

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <memory>

// A test pupil: plays the game through the window's own event path, with clicks and pointer moves sent to
// the window, and finds its way by looking at the window's picture as a person would.
class Pupil {
public:
    explicit Pupil(GameWindow& window);

    // Every message the window showed, in order; nothing blocks.
    const QStringList& messages() const { return messages_; }

    void click(QPoint pos);
    void moveTo(QPointF pos, Qt::MouseButtons buttons = Qt::NoButton);
    QPoint position() const { return position_; }
    // Every position moved to, in order.
    const QList<QPoint>& trail() const { return trail_; }

    // Clicks the start label where the path leaves it.
    void startRound();
    // Walks inside the visible path, one pixel per move, to the centre of the current stage's circle; stops
    // early once the stage changes. False when no way inside the path leads there or the round ended.
    bool walkToCurrentCircle();
    // Starts a round and reaches the given stage.
    bool reachStage(int stage);
    // Starts a round and reaches the green target.
    bool playWholeRound();
    // From inside the path, walks straight out onto the nearest blue pixel.
    bool walkOntoBlue();

    // The window's picture as it is on screen, one sample per logical pixel.
    QImage look() const;

private:
    bool walk(const QList<QPoint>& route, int stageAtStart);

    GameWindow& window_;
    QStringList messages_;
    QPoint position_;
    QList<QPoint> trail_;
};

// A new game window, shown and exposed, as the program starts it.
std::unique_ptr<GameWindow> shownWindow();

// The centre pixel of a target circle of the maze.
QPoint targetCentre(int stage);
