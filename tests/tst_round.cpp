// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The rules of a round against a scripted window, without any widget: what each step shows and hides, and
// what one pointer move does when the picture changes under it.
#include "maze/Round.h"
#include "support/ExpectedTexts.h"

#include <QStringList>
#include <QTest>
#include <algorithm>
#include <deque>

using namespace maze;

namespace {

// Records every call as a line of text and answers colour readings from a script, then with the path's
// colour.
class ScriptedHost final : public RoundHost {
public:
    QStringList calls;
    std::deque<Rgb> script;
    // The colour the way of a contact passes over.
    Rgb wayColour = kPathYellow;

    std::optional<Rgb> colorUnderPointer(QPointF pos) override {
        calls << QStringLiteral("read %1,%2").arg(pos.x()).arg(pos.y());
        if (!script.empty()) {
            const Rgb c = script.front();
            script.pop_front();
            return c;
        }
        return kPathYellow;
    }
    bool wayShows(QPointF from, QPointF to, Rgb colour) override {
        calls << QStringLiteral("way %1,%2 %3,%4").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y());
        return colour == wayColour;
    }
    void setSegmentVisible(int stage, bool visible) override {
        calls << QStringLiteral("segment %1 %2").arg(stage).arg(visible ? u"on" : u"off");
    }
    void setTargetVisible(int stage, bool visible) override {
        calls << QStringLiteral("target %1 %2").arg(stage).arg(visible ? u"on" : u"off");
    }
    void setStartLabelLook(const StartLabelLook& look) override {
        calls << QStringLiteral("start label %1 %2 %3px")
                     .arg(look.background, 8, 16, QLatin1Char('0'))
                     .arg(look.text)
                     .arg(look.fontPixelSize);
    }
    void setStartLabelEnabled(bool enabled) override {
        calls << QStringLiteral("start label %1").arg(enabled ? u"enabled" : u"disabled");
    }
    void setMenuVisible(bool visible) override {
        calls << QStringLiteral("menu %1").arg(visible ? u"shown" : u"hidden");
    }
    void showWinMessage(const QString& text) override { calls << QStringLiteral("message ") + text; }
};

// The calls in the order that matters. A reading sees every change made before it, and the win message
// blocks, showing the maze behind it as it was; the changes between two of these reach the screen together,
// whatever their order, so they are compared sorted.
QStringList inEffect(QStringList calls) {
    const auto isFixed = [](const QString& call) {
        return call.startsWith(u"read ") || call.startsWith(u"message ");
    };
    for (auto from = calls.begin(); from != calls.end();) {
        const auto to = std::find_if(from, calls.end(), isFixed);
        std::sort(from, to);
        from = to == calls.end() ? to : to + 1;
    }
    return calls;
}

QStringList idleSweep() {
    QStringList steps;
    for (int i = 0; i < kStageCount; ++i)
        steps << QStringLiteral("segment %1 off").arg(i) << QStringLiteral("target %1 off").arg(i);
    steps << QStringLiteral("start label ffffc0ff %1 24px").arg(expected::startText())
          << QStringLiteral("start label enabled") << QStringLiteral("menu shown");
    return steps;
}

// Reads red on every move until the round is at the stage; fails at once if a move does not advance it.
bool advanceTo(Round& round, ScriptedHost& host, int stage) {
    while (round.isActive() && round.stage() < stage) {
        const int before = round.stage();
        host.script = {kPathYellow, kTargetRed, kPathYellow};
        round.pointerMoved(QPointF(5, 5));
        if (round.stage() != before + 1)
            return false;
    }
    return round.isActive() && round.stage() == stage;
}

} // namespace

class RoundRules : public QObject {
    Q_OBJECT

private slots:
    void startShowsTheFirstStageAndTheInstruction() {
        ScriptedHost host;
        Round round(host);
        QVERIFY(!round.isActive());
        round.start();
        QCOMPARE(inEffect(host.calls),
                 inEffect({QStringLiteral("start label ffffffc0 %1 13px").arg(expected::instruction()),
                           QStringLiteral("segment 0 on"), QStringLiteral("target 0 on"),
                           QStringLiteral("start label disabled"), QStringLiteral("menu hidden")}));
        QVERIFY(round.isActive());
        QCOMPARE(round.stage(), 0);
    }

    void idleIgnoresThePointer() {
        ScriptedHost host;
        Round round(host);
        host.script = {kFieldBlue, kTargetRed, kGoalGreen};
        round.pointerMoved(QPointF(10, 10));
        QVERIFY(host.calls.isEmpty());
    }

    // Red reveals the next stage and hides the reached target; the third reading sees the result.
    void redAdvancesByExactlyOneStage() {
        ScriptedHost host;
        Round round(host);
        round.start();
        host.calls.clear();
        host.script = {kPathYellow, kTargetRed, kPathYellow};
        round.pointerMoved(QPointF(300.5, 212));
        QCOMPARE(inEffect(host.calls),
                 inEffect({QStringLiteral("read 300.5,212"), QStringLiteral("read 300.5,212"),
                           QStringLiteral("segment 1 on"), QStringLiteral("target 1 on"),
                           QStringLiteral("target 0 off"), QStringLiteral("read 300.5,212")}));
        QCOMPARE(round.stage(), 1);
        QVERIFY(round.isActive());
    }

    // After an advance the blue test reads what lay under the reached target: blue there ends the round.
    void blueUnderAReachedTargetEndsTheRound() {
        ScriptedHost host;
        Round round(host);
        round.start();
        host.script = {kPathYellow, kTargetRed, kFieldBlue};
        round.pointerMoved(QPointF(1, 1));
        QVERIFY(!round.isActive());
        QCOMPARE(round.stage(), 0);
        QVERIFY(host.calls.contains(QStringLiteral("target 1 on")));
        QCOMPARE(inEffect(host.calls.mid(host.calls.size() - idleSweep().size())), inEffect(idleSweep()));
    }

    void blueEndsTheRoundSilentlyAtAnyStage_data() {
        QTest::addColumn<int>("stage");
        for (int stage = 0; stage <= kLastStage; ++stage)
            QTest::addRow("stage %d", stage) << stage;
    }

    void blueEndsTheRoundSilentlyAtAnyStage() {
        QFETCH(int, stage);
        ScriptedHost host;
        Round round(host);
        round.start();
        QVERIFY(advanceTo(round, host, stage));
        host.calls.clear();
        host.script = {kFieldBlue, kFieldBlue, kFieldBlue};
        round.pointerMoved(QPointF(5, 5));
        QVERIFY(!round.isActive());
        const QString read = QStringLiteral("read 5,5");
        QCOMPARE(inEffect(host.calls), inEffect(QStringList{read, read, read} + idleSweep()));
    }

    // The message comes first and blocks, over the maze as the pupil left it; idle follows; the same point
    // then reads blue and the sweep runs once more, leaving the same idle state.
    void greenShowsTheMessageOnceThenReturnsToIdle() {
        ScriptedHost host;
        Round round(host);
        round.start();
        host.calls.clear();
        host.script = {kGoalGreen, kFieldBlue, kFieldBlue};
        round.pointerMoved(QPointF(612, 164));
        QStringList expected{QStringLiteral("read 612,164"),
                             QStringLiteral("message ") + expected::winMessage()};
        expected << idleSweep() << QStringLiteral("read 612,164") << QStringLiteral("read 612,164")
                 << idleSweep();
        QCOMPARE(inEffect(host.calls), inEffect(expected));
        QVERIFY(!round.isActive());
    }

    // A finger's or pen's way over blue ends the round as touching blue does; over anything else it changes
    // nothing, and at idle it is not even looked at.
    void aContactsWayOverBlueEndsTheRound() {
        ScriptedHost host;
        Round round(host);
        host.wayColour = kFieldBlue;
        round.contactWay(QPointF(1, 2), QPointF(3, 4));
        QVERIFY(host.calls.isEmpty());
        round.start();
        host.calls.clear();
        host.wayColour = kPathYellow;
        round.contactWay(QPointF(1, 2), QPointF(3, 4));
        QCOMPARE(host.calls, QStringList{QStringLiteral("way 1,2 3,4")});
        QVERIFY(round.isActive());
        host.calls.clear();
        host.wayColour = kFieldBlue;
        round.contactWay(QPointF(3, 4), QPointF(5, 6));
        QVERIFY(!round.isActive());
        QCOMPARE(inEffect(host.calls), inEffect(QStringList{QStringLiteral("way 3,4 5,6")} + idleSweep()));
    }

    // No red is ever shown at the last stage; should one be read all the same, the stage stays in range.
    void stageNeverPassesTheLast() {
        ScriptedHost host;
        Round round(host);
        round.start();
        QVERIFY(advanceTo(round, host, kLastStage));
        host.calls.clear();
        host.script = {kPathYellow, kTargetRed, kPathYellow};
        round.pointerMoved(QPointF(5, 5));
        QCOMPARE(round.stage(), kLastStage);
        QCOMPARE(host.calls.size(), 3);
    }
};

QTEST_GUILESS_MAIN(RoundRules)
#include "tst_round.moc"
