// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Round.h"

namespace maze {

namespace {
constexpr qreal kInstructionPoints = 10;
constexpr qreal kStartPoints = 18;
constexpr Colour kStartBack = rgb(255, 192, 255);
} // namespace

QString instructionText() {
    return QStringLiteral("Иди к красному кружку, не выходя на синее поле");
}

QString idleStartText() {
    return QStringLiteral("Старт игры");
}

QString winMessageText() {
    return QStringLiteral("Молодец, Вы прошли испытание\r\n\r\n               Позовите учителя");
}

void Round::Load() {
    roundActive = 0;
    stage = 0;
}

void Round::StartRound() {
    roundActive = 1;
    stage = 0;
    host_.setStartLabel(kPathYellow, instructionText(), kInstructionPoints);
    host_.setSegmentVisible(stage, true);
    host_.setCircleVisible(stage, true);
    host_.setStartLabelEnabled(false);
    host_.setMenuLabelsVisible(false);
}

// Each test takes a fresh reading of the picture as the earlier tests left it, so one move can pass
// through more than one branch: after a win the same point reads blue, which returns to idle once more.
void Round::TestPointerColor(QPointF pos) {
    if (roundActive == 0)
        return;

    if (host_.pointerColour(pos) == kGoalGreen) {
        host_.showWinMessage(winMessageText());
        ReturnToIdle();
    }

    // Only the circle of the current stage is ever shown in red, and none at the last stage, so stage never
    // passes the last; the check keeps it so whatever the picture holds.
    if (host_.pointerColour(pos) == kTargetRed && stage < kLastStage) {
        ++stage;
        host_.setSegmentVisible(stage, true);
        host_.setCircleVisible(stage, true);
        host_.setCircleVisible(stage - 1, false);
    }

    if (host_.pointerColour(pos) == kFieldBlue)
        ReturnToIdle();
}

void Round::ReturnToIdle() {
    for (sweepIndex = 0; sweepIndex < kStageCount; ++sweepIndex) {
        host_.setSegmentVisible(sweepIndex, false);
        host_.setCircleVisible(sweepIndex, false);
    }
    roundActive = 0;
    stage = 0;
    host_.setStartLabel(kStartBack, idleStartText(), kStartPoints);
    host_.setStartLabelEnabled(true);
    host_.setMenuLabelsVisible(true);
}

} // namespace maze
