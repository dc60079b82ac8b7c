// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The rules of a round against a scripted window, without any widget: the order of every step, and what one
// pointer move does when the picture changes under it.
#include "maze/Round.h"

#include <QStringList>
#include <QTest>
#include <deque>

using namespace maze;

namespace {

// Records every call as a line of text and answers colour readings from a script, or from what it shows.
class ScriptedHost final : public RoundHost {
public:
    QStringList calls;
    std::deque<Colour> script;
    // Colour under the pointer while no script is left: red when a red circle is shown, else blue.
    bool pointerOnShownCircle = false;
    int shownCircle = -1;

    Colour pointerColour(QPointF pos) override {
        calls << QStringLiteral("read %1,%2").arg(pos.x()).arg(pos.y());
        if (!script.empty()) {
            const Colour c = script.front();
            script.pop_front();
            return c;
        }
        if (pointerOnShownCircle && shownCircle >= 0)
            return kCircles[std::size_t(shownCircle)].colour;
        return kPathYellow;
    }
    void setSegmentVisible(int index, bool visible) override {
        calls << QStringLiteral("segment %1 %2").arg(index).arg(visible ? u"on" : u"off");
    }
    void setCircleVisible(int index, bool visible) override {
        calls << QStringLiteral("circle %1 %2").arg(index).arg(visible ? u"on" : u"off");
        if (visible)
            shownCircle = index;
        else if (shownCircle == index)
            shownCircle = -1;
    }
    void setStartLabel(Colour back, const QString& caption, qreal points) override {
        calls
            << QStringLiteral("label1 %1 %2 %3").arg(back, 6, 16, QLatin1Char('0')).arg(caption).arg(points);
    }
    void setStartLabelEnabled(bool enabled) override {
        calls << QStringLiteral("label1 %1").arg(enabled ? u"enabled" : u"disabled");
    }
    void setMenuLabelsVisible(bool visible) override {
        calls << QStringLiteral("menu %1").arg(visible ? u"shown" : u"hidden");
    }
    void showWinMessage(const QString& text) override { calls << QStringLiteral("message ") + text; }
};

QStringList idleSweep() {
    QStringList steps;
    for (int i = 0; i < kStageCount; ++i)
        steps << QStringLiteral("segment %1 off").arg(i) << QStringLiteral("circle %1 off").arg(i);
    steps << QStringLiteral("label1 ffc0ff Старт игры 18") << QStringLiteral("label1 enabled")
          << QStringLiteral("menu shown");
    return steps;
}

} // namespace

class RoundRules : public QObject {
    Q_OBJECT

private slots:
    // The start label's look changes before the maze shows, and the menu goes last.
    void startRoundRunsItsStepsInOrder() {
        ScriptedHost host;
        Round round(host);
        round.Load();
        round.StartRound();
        QCOMPARE(
            host.calls,
            QStringList({QStringLiteral("label1 c0ffff Иди к красному кружку, не выходя на синее поле 10"),
                         QStringLiteral("segment 0 on"), QStringLiteral("circle 0 on"),
                         QStringLiteral("label1 disabled"), QStringLiteral("menu hidden")}));
        QVERIFY(round.isActive());
        QCOMPARE(round.currentStage(), 0);
    }

    void idleIgnoresThePointer() {
        ScriptedHost host;
        Round round(host);
        round.Load();
        host.script = {kFieldBlue, kTargetRed, kGoalGreen};
        round.TestPointerColor(QPointF(10, 10));
        QVERIFY(host.calls.isEmpty());
    }

    // Red reveals the next stage, then hides the reached circle; the third reading sees the result.
    void redAdvancesByExactlyOneStage() {
        ScriptedHost host;
        Round round(host);
        round.StartRound();
        host.calls.clear();
        host.script = {kPathYellow, kTargetRed, kPathYellow};
        round.TestPointerColor(QPointF(300.5, 212));
        QCOMPARE(host.calls, QStringList({QStringLiteral("read 300.5,212"), QStringLiteral("read 300.5,212"),
                                          QStringLiteral("segment 1 on"), QStringLiteral("circle 1 on"),
                                          QStringLiteral("circle 0 off"), QStringLiteral("read 300.5,212")}));
        QCOMPARE(round.currentStage(), 1);
        QVERIFY(round.isActive());
    }

    // After an advance the blue test reads what lay under the reached circle: blue there ends the round.
    void blueUnderAReachedCircleEndsTheRound() {
        ScriptedHost host;
        Round round(host);
        round.StartRound();
        host.script = {kPathYellow, kTargetRed, kFieldBlue};
        round.TestPointerColor(QPointF(1, 1));
        QVERIFY(!round.isActive());
        QCOMPARE(round.currentStage(), 0);
        QVERIFY(host.calls.contains(QStringLiteral("circle 1 on")));
        QCOMPARE(host.calls.mid(host.calls.size() - idleSweep().size()), idleSweep());
    }

    void blueEndsTheRoundSilentlyAtAnyStage() {
        for (int stage = 0; stage <= kLastStage; ++stage) {
            ScriptedHost host;
            Round round(host);
            round.StartRound();
            host.pointerOnShownCircle = true;
            while (round.currentStage() < stage)
                round.TestPointerColor(QPointF(5, 5));
            QCOMPARE(round.currentStage(), stage);
            host.pointerOnShownCircle = false;
            host.calls.clear();
            host.script = {kFieldBlue, kFieldBlue, kFieldBlue};
            round.TestPointerColor(QPointF(5, 5));
            QVERIFY(!round.isActive());
            QCOMPARE(host.calls.filter(QStringLiteral("message")).size(), 0);
            QCOMPARE(host.calls.mid(3), idleSweep());
        }
    }

    // The message comes first and blocks; idle follows; the same point then reads blue and the sweep runs
    // once more, leaving the same idle state.
    void greenShowsTheMessageOnceThenReturnsToIdle() {
        ScriptedHost host;
        Round round(host);
        round.StartRound();
        host.calls.clear();
        host.script = {kGoalGreen, kFieldBlue, kFieldBlue};
        round.TestPointerColor(QPointF(612, 164));
        QStringList expected{
            QStringLiteral("read 612,164"),
            QStringLiteral("message Молодец, Вы прошли испытание\r\n\r\n               Позовите учителя")};
        expected << idleSweep() << QStringLiteral("read 612,164") << QStringLiteral("read 612,164")
                 << idleSweep();
        QCOMPARE(host.calls, expected);
        QVERIFY(!round.isActive());
    }

    void theWinMessageHasFifteenBlanksBeforeTheSecondLine() {
        const QString text = winMessageText();
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Молодец, Вы прошли испытание"));
        QVERIFY(lines[1].isEmpty());
        QCOMPARE(lines[2], QString(15, QLatin1Char(' ')) + QStringLiteral("Позовите учителя"));
    }

    // No red is ever shown at the last stage; should one be read all the same, the stage stays in range.
    void stageNeverPassesTheLast() {
        ScriptedHost host;
        Round round(host);
        round.StartRound();
        host.pointerOnShownCircle = true;
        while (round.currentStage() < kLastStage)
            round.TestPointerColor(QPointF(5, 5));
        host.pointerOnShownCircle = false;
        host.calls.clear();
        host.script = {kPathYellow, kTargetRed, kPathYellow};
        round.TestPointerColor(QPointF(5, 5));
        QCOMPARE(round.currentStage(), kLastStage);
        QCOMPARE(host.calls.size(), 3);
    }

    void loadClearsTheRound() {
        ScriptedHost host;
        Round round(host);
        round.StartRound();
        round.Load();
        QVERIFY(!round.isActive());
        QCOMPARE(round.currentStage(), 0);
    }
};

QTEST_GUILESS_MAIN(RoundRules)
#include "tst_round.moc"
