// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MazeLayout.h"

#include <QPointF>
#include <QString>
#include <cstdint>

namespace maze {

// What a round needs from the window it runs in.
class RoundHost {
public:
    // The colour the window shows at a point, reflecting every change made so far.
    virtual Colour pointerColour(QPointF pos) = 0;
    virtual void setSegmentVisible(int index, bool visible) = 0;
    virtual void setCircleVisible(int index, bool visible) = 0;
    // The start label's back colour, caption and font size in points.
    virtual void setStartLabel(Colour back, const QString& caption, qreal pointSize) = 0;
    virtual void setStartLabelEnabled(bool enabled) = 0;
    // The exit and help labels.
    virtual void setMenuLabelsVisible(bool visible) = 0;
    // A modal message; returns when the pupil has closed it.
    virtual void showWinMessage(const QString& text) = 0;

protected:
    ~RoundHost() = default;
};

QString instructionText();
QString idleStartText();
QString winMessageText();

// The game's rules: a round starts from the start label, every pointer move reads the colour under the
// pointer, red advances to the next circle, green wins and blue loses.
class Round final {
public:
    explicit Round(RoundHost& host)
        : host_(host) {}
    Round(const Round&) = delete;
    Round& operator=(const Round&) = delete;

    // The window's load action.
    void Load();
    void StartRound();
    void TestPointerColor(QPointF pos);
    void ReturnToIdle();

    bool isActive() const { return roundActive != 0; }
    int currentStage() const { return stage; }

private:
    RoundHost& host_;
    std::int16_t roundActive = 0;
    std::int16_t stage = 0;
    std::int16_t sweepIndex = 0;
};

} // namespace maze
