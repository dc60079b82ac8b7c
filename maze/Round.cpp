// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Round.h"

namespace maze {

namespace {

constexpr Rgb kStartPink = 0xffffc0ffu;
// 18 and 10 points at 96 dots per inch.
constexpr int kIdlePixelSize = 24;
constexpr int kInstructionPixelSize = 13;

} // namespace

StartLabelLook firstIdleLook() {
    return {kStartPink, QStringLiteral("  Старт игры"), kIdlePixelSize};
}

StartLabelLook idleLook() {
    return {kStartPink, QStringLiteral("Старт игры"), kIdlePixelSize};
}

StartLabelLook roundLook() {
    // The path's own colour: the label shows none of the colours a round reacts to.
    return {kPathYellow, QStringLiteral("Иди к красному кружку, не выходя на синее поле"),
            kInstructionPixelSize};
}

// Its line ends are Windows' CR LF, as the message always had them, which Qt shows as one line break each;
// the fifteen blanks set the second line off towards the middle of the first.
QString winMessageText() {
    return QStringLiteral("Молодец, Вы прошли испытание\r\n\r\n               Позовите учителя");
}

void Round::start() {
    host_.roundStarting();
    active_ = true;
    stage_ = 0;
    host_.setStartLabelLook(roundLook());
    host_.setSegmentVisible(stage_, true);
    host_.setTargetVisible(stage_, true);
    host_.setStartLabelEnabled(false);
    host_.setMenuVisible(false);
}

// Each test takes a fresh reading of the picture as the earlier tests left it, so one move can pass
// through more than one branch: after a win the same point reads blue, which returns to idle once more.
void Round::pointerMoved(QPointF pos) {
    if (!active_)
        return;

    if (host_.colorUnderPointer(pos) == kGoalGreen) {
        host_.showWinMessage(winMessageText());
        returnToIdle();
    }

    // Only the target of the current stage is ever shown in red, and none at the last stage, so the stage
    // never passes the last; the check keeps it so whatever the picture holds.
    if (host_.colorUnderPointer(pos) == kTargetRed && stage_ < kLastStage) {
        ++stage_;
        host_.setSegmentVisible(stage_, true);
        host_.setTargetVisible(stage_, true);
        host_.setTargetVisible(stage_ - 1, false);
    }

    if (host_.colorUnderPointer(pos) == kFieldBlue)
        returnToIdle();
}

// A mouse reports where it is, however fast it moves, and what lies between two reports counts for nothing.
// A finger or pen is different: lifted, it can be put down anywhere, so the way from where it left to where
// it lands must be tested, or a tap on each circle in turn would win. Within one contact the reports are
// sparser than a mouse's (touch panels report 60 to 240 times a second), and the maze's blue gaps between
// parts of the path are as narrow as a few pixels (bench/tropilka_gaps measures them): a quick swipe would
// cross one between two reports, so the way between reports is tested too.
void Round::contactWay(QPointF from, QPointF to) {
    if (active_ && host_.wayShows(from, to, kFieldBlue))
        returnToIdle();
}

void Round::returnToIdle() {
    for (int stage = 0; stage < kStageCount; ++stage) {
        host_.setSegmentVisible(stage, false);
        host_.setTargetVisible(stage, false);
    }
    active_ = false;
    stage_ = 0;
    host_.setStartLabelLook(idleLook());
    host_.setStartLabelEnabled(true);
    host_.setMenuVisible(true);
}

} // namespace maze
