// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// A finger or pen on a touch screen must trace the path, as the mouse does: tapping circle after circle
// across blue loses, tracing wins though the finger leaves the glass now and then, only the first finger
// counts, and taps do what clicks do. Every touch and pen event goes through the window system's path; run at
// several display scales and full-screen sizes.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "support/Desktop.h"
#include "support/ExpectedTexts.h"
#include "support/GameState.h"
#include "support/Hand.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <optional>
#include <vector>

namespace {

using Tool = Hand::Tool;

void toolRows() {
    QTest::addColumn<Tool>("tool");
    QTest::newRow("finger") << Tool::Finger;
#if QT_CONFIG(tabletevent)
    QTest::newRow("pen") << Tool::Pen;
#endif
}

// How much blue lies around each pixel of the pupil's view: in the five by five pixels centred on it.
std::vector<int> blueAround(const QImage& view) {
    const int w = view.width(), h = view.height();
    std::vector<int> rows(std::size_t(w) * h), around(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int dx = std::max(0, x - 2); dx <= std::min(w - 1, x + 2); ++dx)
                rows[std::size_t(y) * w + x] += view.pixel(dx, y) == maze::kFieldBlue;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int dy = std::max(0, y - 2); dy <= std::min(h - 1, y + 2); ++dy)
                around[std::size_t(y) * w + x] += rows[std::size_t(dy) * w + x];
    return around;
}

// How the straight line between two points of the view meets blue: whether it passes over blue two pixels
// deep, and whether it comes within two pixels of any. Where the line only grazes blue, the game's device
// pixels decide, which a view of logical pixels cannot tell.
struct Crossing {
    bool deep = false;
    bool near = false;
};
Crossing blueBetween(const std::vector<int>& around, int width, QPoint from, QPoint to) {
    Crossing crossing;
    const QPointF step = QPointF(to - from) / std::max(1.0, 2 * QLineF(from, to).length());
    for (QPointF p = from; QLineF(p, to).length() > 0.5; p += step) {
        const int blue = around[std::size_t(p.toPoint().y()) * width + p.toPoint().x()];
        crossing.deep = crossing.deep || blue == 25;
        crossing.near = crossing.near || blue > 0;
    }
    return crossing;
}

} // namespace

Q_DECLARE_METATYPE(Tool)

class TracingWithAFinger : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qInfo("device pixel ratio %g, full screen %s", qApp->devicePixelRatio(),
              testedMode() == DisplayMode::Window ? "no" : "yes");
    }

    // -- The round

    // A tap starts the round; a tap on each circle in turn jumps over blue somewhere, and that landing loses.
    void tappingTheCirclesInTurnLoses_data() { toolRows(); }
    void tappingTheCirclesInTurnLoses() {
        QFETCH(Tool, tool);
        auto&& [window, pupil] = Game();
        Hand hand(*window);
        hand.tap(kStartOnPath, tool);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 0));
        for (int stage = 0; stage <= maze::kLastStage && window->round().isActive(); ++stage)
            hand.tap(targetCentre(window->round().stage()), tool);
        QVERIFY(pupil.messages().isEmpty());
        VERIFY_NO_PROBLEMS(idleProblems(*window));
    }

    // The pupil traces the path and wins, lifting the finger now and then and putting it down again a little
    // further on the path.
    void tracingWinsWithBriefLifts_data() { toolRows(); }
    void tracingWinsWithBriefLifts() {
        QFETCH(Tool, tool);
        auto&& [window, pupil] = Game();
        Hand hand(*window);
        hand.tap(kStartOnPath, tool);
        pupil.setPosition(kStartOnPath);
        int lifts = 0;
        while (window->round().isActive()) {
            const int stage = window->round().stage();
            const QList<QPoint> route = pupil.routeToCurrentCircle();
            QVERIFY2(!route.isEmpty(), qPrintable(QStringLiteral("no way to target %1").arg(stage)));
            // Lifted after every few steps, down again three steps on.
            for (qsizetype from = 0; from < route.size() && window->round().stage() == stage;) {
                const qsizetype to = std::min(route.size(), from + 8);
                hand.trace(route.mid(from, to - from), tool,
                           [&] { return window->round().stage() != stage; });
                pupil.setPosition(route[to - 1]);
                from = to + 3;
                ++lifts;
                if (!window->round().isActive())
                    break;
            }
            QVERIFY2(window->round().isActive() || !pupil.messages().isEmpty(),
                     qPrintable(QStringLiteral("lost towards target %1").arg(stage)));
            if (window->round().isActive() && window->round().stage() == stage) {
                // The lifts skipped the circle itself: down on it.
                hand.tap(targetCentre(stage), tool);
                pupil.setPosition(targetCentre(stage));
            }
        }
        QCOMPARE(pupil.messages(), QStringList{expected::winMessage()});
        QVERIFY(lifts > maze::kStageCount);
        VERIFY_NO_PROBLEMS(idleProblems(*window));
    }

    // Lifted on the path and put down again on the path beyond blue: that landing touched blue. Put down
    // where no blue lies between, the round goes on.
    void aWayOverBlueBetweenLiftAndLandingLoses_data() {
        QTest::addColumn<Tool>("tool");
        QTest::addColumn<int>("stage");
        QTest::addColumn<bool>("acrossBlue");
        for (const int stage : {3, 5, 9, maze::kLastStage}) {
            QTest::addRow("finger, stage %d, across blue", stage) << Tool::Finger << stage << true;
            QTest::addRow("finger, stage %d, along the path", stage) << Tool::Finger << stage << false;
        }
#if QT_CONFIG(tabletevent)
        QTest::newRow("pen, stage 5, across blue") << Tool::Pen << 5 << true;
#endif
    }
    void aWayOverBlueBetweenLiftAndLandingLoses() {
        QFETCH(Tool, tool);
        QFETCH(int, stage);
        QFETCH(bool, acrossBlue);
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.jumpToStage(stage));
        const QPoint lifted = pupil.position();
        // A landing place on the path, clear of blue itself and away from the circle and the start label
        // (whose light yellow, at idle, takes a tap), whose straight way from where the finger left crosses
        // blue, or does not.
        const QImage view = pupil.view();
        const QRect startLabel = window->startLabel().bounds().adjusted(-3, -3, 3, 3);
        const std::vector<int> around = blueAround(view);
        std::optional<QPoint> landing;
        for (int y = 2; y < view.height() - 2 && !landing; y += 2)
            for (int x = 2; x < view.width() - 2 && !landing; x += 2) {
                const QPoint p(x, y);
                const bool clear =
                    view.pixel(p) == maze::kPathYellow && around[std::size_t(y) * view.width() + x] == 0;
                if (!clear || startLabel.contains(p) || QLineF(p, targetCentre(stage)).length() < 12 ||
                    QLineF(p, lifted).length() < 20)
                    continue;
                const Crossing crossing = blueBetween(around, view.width(), lifted, p);
                if (acrossBlue ? crossing.deep : !crossing.near)
                    landing = p;
            }
        QVERIFY(landing);
        Hand(*window).tap(*landing, tool);
        if (acrossBlue)
            VERIFY_NO_PROBLEMS(idleProblems(*window));
        else
            VERIFY_NO_PROBLEMS(roundProblems(*window, stage));
        QVERIFY(pupil.messages().isEmpty());
    }

    // Only the first finger counts until it lifts: a second finger, or a palm of several points, touching
    // blue and the next circle changes nothing, before or after the first lifts; the first goes on to the
    // circle.
    void aSecondFingerOrAPalmChangesNothing() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(3));
        Hand hand(*window);
        const QPoint first = pupil.position();
        hand.down(first);
        hand.down(kAlwaysBlue, Tool::Finger, 1);
        hand.move(targetCentre(3), Tool::Finger, 1);
        hand.down(QPoint(20, 20), Tool::Finger, 2);
        hand.down(QPoint(24, 30), Tool::Finger, 3);
        hand.move(QPoint(30, 40), Tool::Finger, 3);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 3));
        hand.up(first);
        hand.move(kAlwaysBlue, Tool::Finger, 1);
        hand.up(kAlwaysBlue, Tool::Finger, 1);
        hand.up(QPoint(20, 20), Tool::Finger, 2);
        hand.up(QPoint(30, 40), Tool::Finger, 3);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 3));
        // Down again where it left, the first finger is the pointer once more.
        hand.trace(pupil.routeToCurrentCircle(), Tool::Finger, [&] { return window->round().stage() != 3; });
        VERIFY_NO_PROBLEMS(roundProblems(*window, 4));
    }

#if QT_CONFIG(tabletevent)
    // A pen above the glass is no pointer for the round: it hovers over blue and circles alike.
    void aHoveringPenChangesNothing() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(2));
        Hand hand(*window);
        for (const QPoint p : {kAlwaysBlue, targetCentre(2), QPoint(300, 100), pupil.position()})
            hand.hover(p);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 2));
    }
#endif

    // Full screen, the field is scaled and centred with blue around it: touching that margin is touching
    // blue.
    void theMarginAroundTheFieldIsBlue() {
        auto&& [window, pupil] = Game();
        const QRect field = deviceRectOf(*window, QRect(QPoint(0, 0), GameWindow::kClientSize));
        const QRect picture(QPoint(0, 0), window->scene().picture().size());
        if (field.contains(picture))
            QSKIP("the field fills the window: there is no margin");
        QVERIFY(pupil.reachStage(1));
        const qreal dpr = window->scene().devicePixelRatio();
        const QPointF margin =
            field.left() > 0 ? QPointF(0, picture.height() / 2) : QPointF(picture.width() / 2, 0);
        QCOMPARE(window->colorAt(margin / dpr), maze::kFieldBlue);
        pupil.moveToDevicePixel(margin.toPoint());
        VERIFY_NO_PROBLEMS(idleProblems(*window));
    }

    // -- Taps on the labels, the help panel and its links

    void tapsDoWhatClicksDo_data() {
        toolRows();
    }
    void tapsDoWhatClicksDo() {
        QFETCH(Tool, tool);
        DesktopStandIn desktop;
        auto&& [window, pupil] = Game();
        Hand hand(*window);
        hand.tap(window->helpLabel().bounds().center(), tool);
        QVERIFY(window->helpPanel().isOpen());
        QList<QUrl> expected;
        for (const HelpLink& link : helpLinks(*window)) {
            hand.tap(link.label->bounds().center(), tool);
            hand.doubleTap(link.label->bounds().center(), tool);
            expected << link.url << link.url;
        }
        QCOMPARE(desktop.opened, expected);
        hand.tap(kStartBesideHelp, tool);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 0));
        hand.tap(window->helpPanel().closeButton().bounds().center(), tool);
        QVERIFY(!window->helpPanel().isOpen());
    }

    void tappingExitEndsTheProgram() {
        if (testedMode() == DisplayMode::Kiosk)
            QSKIP("a kiosk has no exit label");
        auto&& [window, pupil] = Game();
        Hand hand(*window);
        QTimer::singleShot(0, window.get(), [&] { hand.tap(window->exitLabel().bounds().center()); });
        QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(TracingWithAFinger)
#include "tst_touch.moc"
