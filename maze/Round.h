// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Maze.h"

#include <QPointF>
#include <QString>
#include <optional>

namespace maze {

// How the start label looks: at idle it invites a click, during a round it carries the instruction.
struct StartLabelLook {
    Rgb background;
    QString text;
    int fontPixelSize;
};

// As the program starts: the text begins with two blanks, which the first round's end drops.
StartLabelLook firstIdleLook();
StartLabelLook idleLook();
StartLabelLook roundLook();

QString winMessageText();

// What a round needs from the window it runs in.
class RoundHost {
public:
    // The colour the window shows at a point of its client area, reflecting every change made so far;
    // nothing outside the client area.
    virtual std::optional<Rgb> colorUnderPointer(QPointF pos) = 0;
    // Whether the window shows the colour anywhere on the straight way between two points of its client area.
    virtual bool wayShows(QPointF from, QPointF to, Rgb colour) = 0;
    // A round is about to start: what the window shows now is what it shows again when the round ends.
    virtual void roundStarting() {}
    virtual void setSegmentVisible(int stage, bool visible) = 0;
    virtual void setTargetVisible(int stage, bool visible) = 0;
    virtual void setStartLabelLook(const StartLabelLook& look) = 0;
    virtual void setStartLabelEnabled(bool enabled) = 0;
    // The exit and help labels.
    virtual void setMenuVisible(bool visible) = 0;
    // A modal message; returns when the pupil has closed it.
    virtual void showWinMessage(const QString& text) = 0;

protected:
    ~RoundHost() = default;
};

// The game's rules: a round starts from the start label, every pointer move over the field reads the colour
// under the pointer, red advances to the next target, green wins and blue loses. A finger or pen must also
// trace the way between: it cannot jump.
class Round final {
public:
    explicit Round(RoundHost& host)
        : host_(host) {}
    Round(const Round&) = delete;
    Round& operator=(const Round&) = delete;

    void start();
    void pointerMoved(QPointF pos);
    // A finger or pen in contact with the screen went from one point to another: moved, or lifted and put
    // down again. Blue anywhere on the way between ends the round as touching it does.
    void contactWay(QPointF from, QPointF to);

    bool isActive() const { return active_; }
    int stage() const { return stage_; }

private:
    void returnToIdle();

    RoundHost& host_;
    bool active_ = false;
    int stage_ = 0;
};

} // namespace maze
