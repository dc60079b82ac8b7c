// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// Whole rounds played through the window's real event path by a test pupil, and what the window does at
// its edges: the idle screen, losses, moves far outside, the real message box and the exit label.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "support/ExpectedTexts.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

class PlayingTheGame : public QObject {
    Q_OBJECT

private slots:
    // -- The idle screen

    void theWindowStartsIdleWithTwoBlanksBeforeStart() {
        auto window = shownWindow();
        VERIFY_NO_PROBLEMS(idleProblems(*window, true));
    }

    void movesAtIdleChangeNothing() {
        auto&& [window, pupil] = Game();
        for (int x = 0; x < GameWindow::kClientSize.width(); x += 7)
            pupil.moveTo(QPointF(x, x * 0.8));
        VERIFY_NO_PROBLEMS(idleProblems(*window, true));
        QVERIFY(pupil.messages().isEmpty());
    }

    // -- Whole rounds

    // The pupil follows the visible path from circle to circle, twice, as two pupils in a row would.
    void aPupilWinsTwoRoundsInARow() {
        auto&& [window, pupil] = Game();
        for (int round = 1; round <= 2; ++round) {
            pupil.startRound();
            VERIFY_NO_PROBLEMS(roundProblems(*window, 0));
            for (int stage = 1; stage <= maze::kLastStage; ++stage) {
                QVERIFY2(pupil.walkToCurrentCircle(),
                         qPrintable(QStringLiteral("towards target %1").arg(stage - 1)));
                VERIFY_NO_PROBLEMS(roundProblems(*window, stage));
            }
            QVERIFY(!pupil.walkToCurrentCircle()); // the green target ends the round
            QCOMPARE(pupil.messages().size(), round);
            QCOMPARE(pupil.messages().last(), expected::winMessage());
            VERIFY_NO_PROBLEMS(idleProblems(*window));
            // Moving on from the green target's place at idle changes nothing.
            pupil.moveTo(pupil.position() + QPoint(1, 1));
            QCOMPARE(pupil.messages().size(), round);
        }
    }

    void touchingBlueReturnsToIdleSilently_data() {
        QTest::addColumn<int>("stage");
        QTest::newRow("first stage") << 0;
        QTest::newRow("middle stage") << 6;
        QTest::newRow("green stage") << maze::kLastStage;
    }

    void touchingBlueReturnsToIdleSilently() {
        QFETCH(int, stage);
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(stage));
        QVERIFY(pupil.walkOntoBlue());
        VERIFY_NO_PROBLEMS(idleProblems(*window));
        QVERIFY(pupil.messages().isEmpty());
        // And the next round starts at the first stage again.
        QVERIFY(pupil.reachStage(1));
    }

    // The light-yellow start label shows none of the colours the game reacts to.
    void restingOnTheDisabledStartLabelDoesNothing() {
        auto&& [window, pupil] = Game();
        pupil.startRound();
        const QRect label = window->startLabel().bounds();
        for (int y = label.top(); y <= label.bottom(); y += 2)
            for (int x = label.left() + 16; x <= label.right(); x += 2)
                pupil.moveTo(QPoint(x, y));
        VERIFY_NO_PROBLEMS(roundProblems(*window, 0));
        // A click on the disabled label does not restart anything either.
        pupil.moveTo(kStartOnPath);
        QVERIFY(pupil.walkToCurrentCircle());
        pupil.click(label.center());
        VERIFY_NO_PROBLEMS(roundProblems(*window, 1));
    }

    // A fast move may jump over blue: only the reported positions count.
    void aJumpAcrossBlueDoesNotLose() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(1));
        pupil.moveTo(QPoint(340, 216)); // back on segment 0, far across the blue from target 0's place
        VERIFY_NO_PROBLEMS(roundProblems(*window, 1));
    }

    // -- The window's edges

    // Qt goes on reporting moves while a button is held and the pointer has left the window.
    void movesOutsideTheClientAreaChangeNothing() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(3));
        const QList<QPointF> outside{{-1, 100},  {648, 100}, {100, 536},     {100, -0.5},  {-5000, -5000},
                                     {1e9, 1e9}, {-1e30, 5}, {648.0, 536.0}, {qQNaN(), 3}, {3, qInf()}};
        for (const QPointF& p : outside)
            pupil.moveTo(p, Qt::LeftButton);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 3));
        QCOMPARE(window->colorAt(QPointF(-1, 100)), std::nullopt);
        QCOMPARE(window->colorAt(QPointF(648, 0)), std::nullopt);
    }

    // -- The real message box

    // The congratulation is a box with one OK button, no icon and the program's name for a title (left empty,
    // the desktop shows the executable's); while it is open the window takes no input, so neither a move
    // onto blue nor a click reaches the game.
    void theWinMessageIsAPlainBoxThatBlocksTheWindow() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(maze::kLastStage));
        window->setMessagePresenter({});

        QString text, title;
        int buttons = -1;
        bool noIcon = false, blocked = false, stillPlaying = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto* box = window->findChild<QMessageBox*>();
            if (box == nullptr || !box->isVisible())
                return;
            text = box->text();
            title = box->windowTitle();
            buttons = int(box->buttons().size());
            noIcon = box->icon() == QMessageBox::NoIcon;
            blocked = window->isBlockedByMessage();
            pupil.moveTo(QPoint(5, 300));
            pupil.click(QPoint(5, 300));
            stillPlaying = window->round().isActive() && window->round().stage() == maze::kLastStage;
            box->button(QMessageBox::Ok)->click();
        });
        pupil.moveTo(targetCentre(maze::kLastStage));
        QCOMPARE(text, expected::winMessage());
        QCOMPARE(title, expected::programName());
        QCOMPARE(buttons, 1);
        QVERIFY(noIcon);
        QVERIFY(blocked);
        QVERIFY(stillPlaying);
        QVERIFY(!window->isBlockedByMessage());
        VERIFY_NO_PROBLEMS(idleProblems(*window));
    }

    // The window's close button works even while the congratulation is open, and ends the program cleanly.
    void closingTheWindowDuringTheWinMessageEndsTheProgram() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(maze::kLastStage));
        window->setMessagePresenter({});
        bool boxWasOpen = false;
        QTimer::singleShot(0, window.get(), [&] {
            QTimer::singleShot(0, window.get(), [&] {
                auto* box = window->findChild<QMessageBox*>();
                boxWasOpen = box != nullptr && box->isVisible();
                // The close request as the window system delivers it from the title bar's close button.
                QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                    window->windowHandle());
            });
            pupil.moveTo(targetCentre(maze::kLastStage));
        });
        QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(boxWasOpen);
        QVERIFY(!window->isVisible());
        QVERIFY(window->findChild<QMessageBox*>() == nullptr ||
                !window->findChild<QMessageBox*>()->isVisible());
        VERIFY_NO_PROBLEMS(idleProblems(*window));
    }

    // -- Ending the program

    void theExitLabelEndsTheProgramWithStatusZero() {
        auto&& [window, pupil] = Game();
        QTimer::singleShot(0, window.get(), [&] { pupil.click(window->exitLabel().bounds().center()); });
        // Fails the test by timing out if the label does not end the event loop.
        QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window->isVisible());
    }

    void closingTheWindowEndsTheProgram() {
        auto window = shownWindow();
        QTimer::singleShot(0, window.get(), [&] { window->close(); });
        QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(PlayingTheGame)
#include "tst_play.moc"
