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
#include <memory>

namespace {

// Blue at every stage, away from the maze and the labels.
constexpr QPoint kAlwaysBlue(2, 530);

// Compares the window's picture with a rendering of it from scratch (every cached label rendering too), and
// with what the window shows on screen after its partial repaints.
QString pictureProblems(GameWindow& window) {
    const QImage stepByStep = window.scene().picture().copy();
    const QString onScreen = differences(stepByStep, screenOf(window));
    window.scene().setLook(window.style(), window.palette());
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

QRect deviceRect(const GameWindow& window, const QRect& logical) {
    const qreal dpr = devicePixelRatioOf(window);
    return QRectF(QPointF(logical.topLeft()) * dpr, QSizeF(logical.size()) * dpr)
        .toAlignedRect()
        .adjusted(-2, -2, 2, 2);
}

class RoundAtStage {
public:
    RoundAtStage(GameWindow& window, Pupil& pupil, int stage)
        : window_(window)
        , pupil_(pupil)
        , stage_(stage) {}

    // Starts a round afresh and jumps from target to target: only reported positions count.
    bool enter() {
        if (window_.round().isActive())
            pupil_.moveTo(kAlwaysBlue);
        pupil_.startRound();
        for (int i = 0; i < stage_; ++i)
            pupil_.moveTo(targetCentre(i));
        return window_.round().isActive() && window_.round().stage() == stage_;
    }

    // What a move to the device pixel did, as the colours the screen shows there say it must: blue ends the
    // round, green wins it, anything else but red leaves it as it was. Red advances it, and the same move
    // then sees what the next stage shows there: blue under the reached target ends the round after all.
    QString probe(QPoint pixel, QRgb shown, QRgb shownNext) {
        const qsizetype messages = pupil_.messages().size();
        pupil_.moveToDevicePixel(pixel);
        const bool active = window_.round().isActive();
        const int stage = window_.round().stage();
        const bool won = pupil_.messages().size() == messages + 1;
        bool right = false;
        if (shown == maze::kFieldBlue)
            right = !active && !won;
        else if (shown == maze::kTargetRed && shownNext == maze::kFieldBlue)
            right = !active && !won;
        else if (shown == maze::kTargetRed)
            right = active && stage == stage_ + 1;
        else if (shown == maze::kGoalGreen)
            right = !active && won;
        else
            right = active && stage == stage_;
        QString problem;
        if (!right)
            problem = QStringLiteral("stage %1, device pixel %2,%3 shows #%4: the round is %5 at stage %6%7")
                          .arg(stage_)
                          .arg(pixel.x())
                          .arg(pixel.y())
                          .arg(shown & 0xffffffu, 6, 16, QLatin1Char('0'))
                          .arg(active ? u"on" : u"over")
                          .arg(stage)
                          .arg(won ? u", won" : u"");
        if ((!active || stage != stage_) && !enter())
            problem += QStringLiteral("; cannot return to stage %1").arg(stage_);
        return problem;
    }

private:
    GameWindow& window_;
    Pupil& pupil_;
    int stage_;
};

} // namespace

class Exactness : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("device pixel ratio %g", qApp->devicePixelRatio()); }

    // Around each stage's segment and target, and the start label: every pixel on either side of an edge.
    void theRoundReactsToTheColourShownAtEveryEdge() {
        auto window = shownWindow();
        Pupil pupil(*window);
        int probed = 0;
        QImage next;
        for (int stage = 0; stage <= maze::kLastStage; ++stage) {
            RoundAtStage round(*window, pupil, stage);
            QImage screen = next;
            if (stage == 0) {
                QVERIFY(round.enter());
                screen = screenOf(*window);
            }
            if (stage < maze::kLastStage) {
                QVERIFY(RoundAtStage(*window, pupil, stage + 1).enter());
                next = screenOf(*window);
            }
            QVERIFY(round.enter());
            const maze::Segment& s = maze::kSegments[std::size_t(stage)];
            const maze::Target& t = maze::kTargets[std::size_t(stage)];
            const int reach = s.width / 2 + 2;
            QList<QRect> areas{deviceRect(*window, QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2))
                                                       .normalized()
                                                       .adjusted(-reach, -reach, reach, reach)),
                               deviceRect(*window, QRect(t.left, t.top, t.diameter, t.diameter))};
            if (stage == 0)
                areas << deviceRect(*window, window->startLabel().bounds());
            for (const QRect& area : areas) {
                for (const QPoint pixel : edgePixels(screen, area)) {
                    const QRgb shownNext = stage < maze::kLastStage ? next.pixel(pixel) : maze::kFieldBlue;
                    const QString problem = round.probe(pixel, screen.pixel(pixel), shownNext);
                    QVERIFY2(problem.isEmpty(), qPrintable(problem));
                    ++probed;
                }
            }
        }
        qInfo("%d device pixels probed", probed);
    }

    // Whole games, won and lost at several stages, with help opened and closed and a round started while it
    // is open: after every step the picture is what a fresh rendering gives, and the screen shows it.
    void thePictureStaysExactStepByStep() {
        auto window = shownWindow();
        Pupil pupil(*window);
        const auto check = [&](const char* step) {
            const QString problems = pictureProblems(*window);
            return problems.isEmpty() ? QString() : QLatin1StringView(step) + QStringLiteral(": ") + problems;
        };
        const auto jumpTo = [&](int stage) {
            for (int jump = 0;
                 jump < maze::kStageCount && window->round().isActive() && window->round().stage() < stage;
                 ++jump)
                pupil.moveTo(targetCentre(window->round().stage()));
        };
        VERIFY_NO_PROBLEMS(check("idle"));
        for (const int lossAt : {3, 7, maze::kLastStage}) {
            pupil.startRound();
            VERIFY_NO_PROBLEMS(check("round started"));
            for (int stage = 1; stage <= lossAt; ++stage) {
                jumpTo(stage);
                VERIFY_NO_PROBLEMS(check("advanced"));
            }
            pupil.moveTo(kAlwaysBlue);
            VERIFY_NO_PROBLEMS(check("lost"));
        }
        pupil.startRound();
        jumpTo(maze::kLastStage);
        pupil.moveTo(targetCentre(maze::kLastStage));
        QCOMPARE(pupil.messages().size(), 1);
        VERIFY_NO_PROBLEMS(check("won"));

        pupil.click(window->helpLabel().bounds().center());
        VERIFY_NO_PROBLEMS(check("help opened"));
        pupil.click(QPoint(517, 200)); // the start label's end, beside the panel
        QVERIFY(window->round().isActive());
        VERIFY_NO_PROBLEMS(check("round started under help"));
        pupil.click(window->helpPanel().closeButton().bounds().center());
        VERIFY_NO_PROBLEMS(check("help closed in a round"));
        jumpTo(2);
        VERIFY_NO_PROBLEMS(check("advanced after help"));
        pupil.moveTo(kAlwaysBlue);
        pupil.click(window->helpLabel().bounds().center());
        pupil.click(window->helpPanel().closeButton().bounds().center());
        VERIFY_NO_PROBLEMS(check("help opened and closed"));
    }
};

QTEST_MAIN(Exactness)
#include "tst_exactness.moc"
