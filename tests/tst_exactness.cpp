// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The game's fairness at any display scale (run at several): at the device pixels on both sides of every edge
// of the maze and the start label, the round reacts to exactly the colour the screen shows there; and as the
// picture changes step by step it stays what a fresh rendering gives, and the screen shows just that.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QTest>

namespace {

// Compares the window's picture with a rendering of it from scratch (every cached label rendering too), and
// with what the window shows on screen after its partial repaints.
QString pictureProblems(GameWindow& window) {
    const QImage stepByStep = window.scene().picture().copy();
    const QString onScreen = differences(stepByStep, screenOf(window));
    window.scene().setStyle(window.style(), window.palette());
    const QString fresh = differences(window.scene().picture(), stepByStep);
    QStringList problems;
    if (!fresh.isEmpty())
        problems << QStringLiteral("against a fresh rendering: ") + fresh;
    if (!onScreen.isEmpty())
        problems << QStringLiteral("on screen: ") + onScreen;
    return problems.join(QStringLiteral("; "));
}

bool isTested(QRgb c) {
    return c == maze::kFieldBlue || c == maze::kTargetRed || c == maze::kGoalGreen;
}

// The pixels of an area on either side of an edge where one side shows a colour the round reacts to.
QList<QPoint> edgePixels(const QImage& screen, const QRect& area) {
    QList<QPoint> pixels;
    const QRect inside = area & screen.rect().adjusted(1, 1, -1, -1);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb c = screen.pixel(x, y);
            bool edge = false;
            bool tested = isTested(c);
            for (const QPoint n : {QPoint(x - 1, y), QPoint(x + 1, y), QPoint(x, y - 1), QPoint(x, y + 1)}) {
                const QRgb neighbour = screen.pixel(n);
                if (neighbour != c) {
                    edge = true;
                    tested = tested || isTested(neighbour);
                }
            }
            // A blue pixel ends the round, which must then be played to the stage again: every third one
            // along both rows and columns will do.
            if (edge && tested && (c != maze::kFieldBlue || (x + y) % 3 == 0))
                pixels << QPoint(x, y);
        }
    }
    return pixels;
}

QRect deviceRect(const GameWindow& window, const QRect& layout) {
    return deviceRectOf(window, layout).adjusted(-2, -2, 2, 2);
}

// What a move to the device pixel did at the stage, as the colours the screen shows there say it must: blue
// ends the round, green wins it, anything else but red leaves it as it was. Red advances it, and the same
// move then sees what the next stage shows there: blue under the reached target ends the round after all.
// Returns to the stage afterwards.
QString probeProblem(GameWindow& window, Pupil& pupil, int stage, QPoint pixel, QRgb shown, QRgb shownNext) {
    const qsizetype messages = pupil.messages().size();
    pupil.moveToDevicePixel(pixel);
    const bool active = window.round().isActive();
    const int now = window.round().stage();
    const bool won = pupil.messages().size() == messages + 1;
    bool right = false;
    if (shown == maze::kFieldBlue || (shown == maze::kTargetRed && shownNext == maze::kFieldBlue))
        right = !active && !won;
    else if (shown == maze::kTargetRed)
        right = active && now == stage + 1;
    else if (shown == maze::kGoalGreen)
        right = !active && won;
    else
        right = active && now == stage;
    QString problem;
    if (!right)
        problem =
            QString::asprintf("device pixel %d,%d shows #%06x: the round is %s at stage %d%s", pixel.x(),
                              pixel.y(), shown & 0xffffffu, active ? "on" : "over", now, won ? ", won" : "");
    if (!pupil.jumpToStage(stage))
        problem += QStringLiteral("; cannot return to the stage");
    return problem;
}

} // namespace

class Exactness : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("device pixel ratio %g", qApp->devicePixelRatio()); }

    // Around the stage's segment and target, and the start label: every pixel on either side of an edge.
    void theRoundReactsToTheColourShownAtEveryEdge_data() { stageRows(); }
    void theRoundReactsToTheColourShownAtEveryEdge() {
        QFETCH(int, stage);
        auto&& [window, pupil] = Game();
        QImage next;
        if (stage < maze::kLastStage) {
            QVERIFY(pupil.jumpToStage(stage + 1));
            next = screenOf(*window);
        }
        QVERIFY(pupil.jumpToStage(stage));
        const QImage screen = screenOf(*window);
        const maze::Segment& s = maze::kSegments[std::size_t(stage)];
        const maze::Target& t = maze::kTargets[std::size_t(stage)];
        const int reach = s.width / 2 + 2;
        QList<QRect> areas{deviceRect(*window, QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2))
                                                   .normalized()
                                                   .adjusted(-reach, -reach, reach, reach)),
                           deviceRect(*window, QRect(t.left, t.top, t.diameter, t.diameter))};
        if (stage == 0)
            areas << deviceRect(*window, window->startLabel().bounds());
        int probed = 0;
        for (const QRect& area : areas) {
            const QList<QPoint> edge = edgePixels(screen, area);
            // Every area has edges to probe: none found means the test looked in the wrong place.
            QVERIFY2(!edge.isEmpty(), qPrintable(QStringLiteral("no edge in device pixels %1,%2 %3x%4")
                                                     .arg(area.x())
                                                     .arg(area.y())
                                                     .arg(area.width())
                                                     .arg(area.height())));
            for (const QPoint pixel : edge) {
                const QRgb shownNext = next.isNull() ? maze::kFieldBlue : next.pixel(pixel);
                const QString problem =
                    probeProblem(*window, pupil, stage, pixel, screen.pixel(pixel), shownNext);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
                ++probed;
            }
        }
        qInfo("%d device pixels probed", probed);
    }

    // Whole games, lost at several stages and won, with help opened and closed and a round started while it
    // is open: after every step the picture is what a fresh rendering gives, and the screen shows it.
    void thePictureStaysExactStepByStep() {
        auto&& [window, pupil] = Game();
        const auto check = [&](const QString& step) {
            const QString problems = pictureProblems(*window);
            return problems.isEmpty() ? QString() : step + QStringLiteral(": ") + problems;
        };
        VERIFY_NO_PROBLEMS(check(QStringLiteral("idle")));
        for (const int lossAt : {3, 7, maze::kLastStage}) {
            pupil.startRound();
            VERIFY_NO_PROBLEMS(check(QStringLiteral("round started")));
            for (int stage = 1; stage <= lossAt; ++stage) {
                QVERIFY(pupil.jumpToStage(stage));
                VERIFY_NO_PROBLEMS(check(QStringLiteral("advanced to stage %1").arg(stage)));
            }
            pupil.moveTo(kAlwaysBlue);
            VERIFY_NO_PROBLEMS(check(QStringLiteral("lost at stage %1").arg(lossAt)));
        }
        QVERIFY(pupil.jumpToStage(maze::kLastStage));
        pupil.moveTo(targetCentre(maze::kLastStage));
        QCOMPARE(pupil.messages().size(), 1);
        VERIFY_NO_PROBLEMS(check(QStringLiteral("won")));

        pupil.openHelp();
        VERIFY_NO_PROBLEMS(check(QStringLiteral("help opened")));
        pupil.click(kStartBesideHelp);
        QVERIFY(window->round().isActive());
        VERIFY_NO_PROBLEMS(check(QStringLiteral("round started under help")));
        pupil.closeHelp();
        VERIFY_NO_PROBLEMS(check(QStringLiteral("help closed in a round")));
        QVERIFY(pupil.jumpToStage(2));
        VERIFY_NO_PROBLEMS(check(QStringLiteral("advanced after help")));
        pupil.moveTo(kAlwaysBlue);
        pupil.openHelp();
        pupil.closeHelp();
        VERIFY_NO_PROBLEMS(check(QStringLiteral("help opened and closed")));
    }
};

QTEST_MAIN(Exactness)
#include "tst_exactness.moc"
