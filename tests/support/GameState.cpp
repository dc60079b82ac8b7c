// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GameState.h"

#include "ExpectedTexts.h"

#include <QStringList>
#include <QTest>

namespace {

void checkStartLabel(QStringList& problems, const scene::Label& label, const QString& caption,
                     const QColor& background, int pixelSize, bool enabled) {
    if (label.text() != caption)
        problems << QStringLiteral("start label reads \"%1\"").arg(label.text());
    if (label.backgroundColor() != background)
        problems << QStringLiteral("start label background %1").arg(label.backgroundColor().name());
    if (label.font().pixelSize() != pixelSize)
        problems << QStringLiteral("start label font %1 px").arg(label.font().pixelSize());
    if (label.isEnabled() != enabled)
        problems << QStringLiteral("start label %1").arg(enabled ? u"disabled" : u"enabled");
}

void checkMaze(QStringList& problems, const GameWindow& window, int shownStage) {
    for (int i = 0; i < maze::kStageCount; ++i) {
        if (window.segment(i).isVisible() != (i <= shownStage))
            problems << QStringLiteral("segment %1 %2").arg(i).arg(i <= shownStage ? u"hidden" : u"shown");
        if (window.target(i).isVisible() != (i == shownStage))
            problems << QStringLiteral("target %1 %2").arg(i).arg(i == shownStage ? u"hidden" : u"shown");
    }
}

} // namespace

QString idleProblems(const GameWindow& window, bool beforeFirstRound) {
    QStringList problems;
    if (window.round().isActive())
        problems << QStringLiteral("a round is running");
    if (window.round().stage() != 0)
        problems << QStringLiteral("idle at stage %1").arg(window.round().stage());
    checkMaze(problems, window, -1);
    checkStartLabel(problems, window.startLabel(),
                    beforeFirstRound ? expected::firstStartText() : expected::startText(),
                    QColor(255, 192, 255), 24, true);
    if (!window.exitLabel().isVisible() || !window.helpLabel().isVisible())
        problems << QStringLiteral("menu hidden at idle");
    return problems.join(QStringLiteral("; "));
}

QString roundProblems(const GameWindow& window, int stage) {
    QStringList problems;
    if (!window.round().isActive())
        problems << QStringLiteral("no round is running");
    if (window.round().stage() != stage)
        problems << QStringLiteral("at stage %1 instead of %2").arg(window.round().stage()).arg(stage);
    checkMaze(problems, window, stage);
    checkStartLabel(problems, window.startLabel(), expected::instruction(), QColor(255, 255, 192), 13, false);
    if (window.exitLabel().isVisible() || window.helpLabel().isVisible())
        problems << QStringLiteral("menu shown in a round");
    return problems.join(QStringLiteral("; "));
}

void stageRows(int first, int last) {
    QTest::addColumn<int>("stage");
    for (int stage = first; stage <= last; ++stage) {
        if (stage < 0)
            QTest::newRow("idle") << stage;
        else if (stage > maze::kLastStage)
            QTest::newRow("won") << stage;
        else
            QTest::addRow("stage %d", stage) << stage;
    }
}
