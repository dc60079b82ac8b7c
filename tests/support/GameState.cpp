// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GameState.h"

#include "ExpectedTexts.h"

#include <QStringList>

namespace {

QString startLabelProblems(const scene::Label& label, const QString& caption, const QColor& background,
                           int pixelSize, bool enabled) {
    QStringList problems;
    if (label.text() != caption)
        problems << QStringLiteral("start label reads \"%1\"").arg(label.text());
    if (label.backgroundColor() != background)
        problems << QStringLiteral("start label background %1").arg(label.backgroundColor().name());
    if (label.font().pixelSize() != pixelSize)
        problems << QStringLiteral("start label font %1 px").arg(label.font().pixelSize());
    if (label.isEnabled() != enabled)
        problems << QStringLiteral("start label %1").arg(enabled ? u"disabled" : u"enabled");
    return problems.join(QStringLiteral("; "));
}

QString mazeProblems(const GameWindow& window, int shownStage) {
    QStringList problems;
    for (int i = 0; i < maze::kStageCount; ++i) {
        if (window.segment(i).isVisible() != (i <= shownStage))
            problems << QStringLiteral("segment %1 %2").arg(i).arg(i <= shownStage ? u"hidden" : u"shown");
        if (window.target(i).isVisible() != (i == shownStage))
            problems << QStringLiteral("target %1 %2").arg(i).arg(i == shownStage ? u"hidden" : u"shown");
    }
    return problems.join(QStringLiteral("; "));
}

QString joined(const QStringList& parts) {
    QStringList present;
    for (const QString& part : parts)
        if (!part.isEmpty())
            present << part;
    return present.join(QStringLiteral("; "));
}

} // namespace

QString idleProblems(const GameWindow& window, bool beforeFirstRound) {
    QStringList problems;
    if (window.round().isActive())
        problems << QStringLiteral("a round is running");
    if (window.round().stage() != 0)
        problems << QStringLiteral("idle at stage %1").arg(window.round().stage());
    problems << mazeProblems(window, -1);
    problems << startLabelProblems(window.startLabel(),
                                   beforeFirstRound ? expected::firstStartText() : expected::startText(),
                                   QColor(255, 192, 255), 24, true);
    if (!window.exitLabel().isVisible() || !window.helpLabel().isVisible())
        problems << QStringLiteral("menu hidden at idle");
    return joined(problems);
}

QString roundProblems(const GameWindow& window, int stage) {
    QStringList problems;
    if (!window.round().isActive())
        problems << QStringLiteral("no round is running");
    if (window.round().stage() != stage)
        problems << QStringLiteral("at stage %1 instead of %2").arg(window.round().stage()).arg(stage);
    problems << mazeProblems(window, stage);
    problems << startLabelProblems(window.startLabel(), expected::instruction(), QColor(255, 255, 192), 13,
                                   false);
    if (window.exitLabel().isVisible() || window.helpLabel().isVisible())
        problems << QStringLiteral("menu shown in a round");
    return joined(problems);
}
