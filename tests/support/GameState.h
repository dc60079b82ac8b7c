// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/GameWindow.h"

#include <QString>

// The game's whole state table, checked on the window. Each returns what differs from the state, or
// nothing when the window is in it.
QString idleProblems(const GameWindow& window, bool beforeFirstRound = false);
// A round at stage k shows segments 0..k and target k only.
QString roundProblems(const GameWindow& window, int stage);

// Data rows of a column "stage", one per stage from first to last, named by it: before the first stage
// "idle", after the last "won".
void stageRows(int first = 0, int last = maze::kLastStage);

#define VERIFY_NO_PROBLEMS(problems)                                                                         \
    do {                                                                                                     \
        const QString found = (problems);                                                                    \
        QVERIFY2(found.isEmpty(), qPrintable(found));                                                        \
    } while (false)
