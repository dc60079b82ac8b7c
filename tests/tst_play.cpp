// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// Whole rounds played through the window's real event path by a test pupil, and what the window does at
// its edges: the idle screen, losses, moves far outside, the real message box and the exit label.
#include "app/Form1.h"
#include "maze/MazeLayout.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <qpa/qwindowsysteminterface.h>

namespace {

const QString kWinText =
    QStringLiteral("Молодец, Вы прошли испытание\r\n\r\n               Позовите учителя");

// The whole idle state: no maze, the start label ready, the menu shown.
void verifyIdle(const Form1& form, const QString& startCaption = QStringLiteral("Старт игры")) {
    QVERIFY(!form.round().isActive());
    QCOMPARE(form.round().currentStage(), 0);
    for (int i = 0; i < maze::kStageCount; ++i) {
        QVERIFY2(!form.line1(i).isVisible(), qPrintable(QStringLiteral("segment %1").arg(i)));
        QVERIFY2(!form.shape1(i).isVisible(), qPrintable(QStringLiteral("circle %1").arg(i)));
    }
    QCOMPARE(form.label1().caption(), startCaption);
    QCOMPARE(form.label1().backColour(), forms::rgb(255, 192, 255));
    QCOMPARE(form.label1().fontPointSize(), 18.0);
    QVERIFY(form.label1().isEnabled());
    QVERIFY(form.label2().isVisible());
    QVERIFY(form.label5().isVisible());
}

// A round at stage k shows segments 0..k and circle k only.
void verifyStage(const Form1& form, int stage) {
    QVERIFY(form.round().isActive());
    QCOMPARE(form.round().currentStage(), stage);
    for (int i = 0; i < maze::kStageCount; ++i) {
        QCOMPARE(form.line1(i).isVisible(), i <= stage);
        QCOMPARE(form.shape1(i).isVisible(), i == stage);
    }
    QCOMPARE(form.label1().caption(), QStringLiteral("Иди к красному кружку, не выходя на синее поле"));
    QCOMPARE(form.label1().backColour(), forms::rgb(255, 255, 192));
    QCOMPARE(form.label1().fontPointSize(), 10.0);
    QVERIFY(!form.label1().isEnabled());
    QVERIFY(!form.label2().isVisible());
    QVERIFY(!form.label5().isVisible());
}

} // namespace

class PlayingTheGame : public QObject {
    Q_OBJECT

private slots:
    // -- The idle screen

    void theWindowStartsIdleWithTwoBlanksBeforeStart() {
        auto form = shownForm();
        verifyIdle(*form, QStringLiteral("  Старт игры"));
    }

    void movesAtIdleChangeNothing() {
        auto form = shownForm();
        Pupil pupil(*form);
        for (int x = 0; x < Form1::kClientSize.width(); x += 7)
            pupil.moveTo(QPointF(x, x * 0.8));
        verifyIdle(*form, QStringLiteral("  Старт игры"));
        QVERIFY(pupil.messages().isEmpty());
    }

    // -- Whole rounds

    // The pupil follows the visible path from circle to circle, twice, as two pupils in a row would.
    void aPupilWinsTwoRoundsInARow() {
        auto form = shownForm();
        Pupil pupil(*form);
        for (int round = 1; round <= 2; ++round) {
            pupil.startRound();
            verifyStage(*form, 0);
            for (int stage = 1; stage <= maze::kLastStage; ++stage) {
                QVERIFY2(pupil.walkToCurrentCircle(),
                         qPrintable(QStringLiteral("towards circle %1").arg(stage - 1)));
                verifyStage(*form, stage);
            }
            QVERIFY(!pupil.walkToCurrentCircle()); // the green circle ends the round
            QCOMPARE(pupil.messages().size(), round);
            QCOMPARE(pupil.messages().last(), kWinText);
            verifyIdle(*form);
            // Moving on from the green circle's place at idle changes nothing.
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
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(pupil.reachStage(stage));
        QVERIFY(pupil.walkOntoBlue());
        verifyIdle(*form);
        QVERIFY(pupil.messages().isEmpty());
        // And the next round starts at the first stage again.
        QVERIFY(pupil.reachStage(1));
    }

    // The light-yellow start label shows none of the colours the game reacts to.
    void restingOnTheDisabledStartLabelDoesNothing() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.startRound();
        const QRect label = form->label1().bounds();
        for (int y = label.top(); y <= label.bottom(); y += 2)
            for (int x = label.left() + 16; x <= label.right(); x += 2)
                pupil.moveTo(QPoint(x, y));
        verifyStage(*form, 0);
        // A click on the disabled label does not restart anything either.
        pupil.moveTo(QPoint(385, 216));
        QVERIFY(pupil.walkToCurrentCircle());
        pupil.click(label.center());
        verifyStage(*form, 1);
    }

    // A fast move may jump over blue: only the reported positions count.
    void aJumpAcrossBlueDoesNotLose() {
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(pupil.reachStage(1));
        pupil.moveTo(QPoint(340, 216)); // back on segment 0, far across the blue from circle 0's place
        verifyStage(*form, 1);
    }

    // -- The window's edges

    // Qt goes on reporting moves while a button is held and the pointer has left the window.
    void movesOutsideTheClientAreaChangeNothing() {
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(pupil.reachStage(3));
        const QList<QPointF> outside{{-1, 100},  {648, 100}, {100, 536},     {100, -0.5},  {-5000, -5000},
                                     {1e9, 1e9}, {-1e30, 5}, {648.0, 536.0}, {qQNaN(), 3}, {3, qInf()}};
        for (const QPointF& p : outside)
            pupil.moveTo(p, Qt::LeftButton);
        verifyStage(*form, 3);
        QCOMPARE(form->colourAt(QPointF(-1, 100)), forms::kNoColour);
        QCOMPARE(form->colourAt(QPointF(648, 0)), forms::kNoColour);
    }

    // -- The real message box

    // The congratulation is a box with one OK button, no icon and an empty title; while it is open the window
    // takes no input, so neither a move onto blue nor a click reaches the game.
    void theWinMessageIsAPlainBoxThatBlocksTheWindow() {
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(pupil.reachStage(maze::kLastStage));
        form->setMessagePresenter({});

        QString text, title;
        int buttons = -1;
        bool noIcon = false, blocked = false, stillPlaying = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* box = form->findChild<QMessageBox*>();
            if (box == nullptr || !box->isVisible())
                return;
            text = box->text();
            title = box->windowTitle();
            buttons = int(box->buttons().size());
            noIcon = box->icon() == QMessageBox::NoIcon;
            blocked = form->isBlockedByMessage();
            pupil.moveTo(QPoint(5, 300));
            pupil.click(QPoint(5, 300));
            stillPlaying = form->round().isActive() && form->round().currentStage() == maze::kLastStage;
            box->button(QMessageBox::Ok)->click();
        });
        pupil.moveTo(circleCentre(maze::kLastStage));
        QCOMPARE(text, kWinText);
        QVERIFY(title.isEmpty());
        QCOMPARE(buttons, 1);
        QVERIFY(noIcon);
        QVERIFY(blocked);
        QVERIFY(stillPlaying);
        QVERIFY(!form->isBlockedByMessage());
        verifyIdle(*form);
    }

    // The window's close button works even while the congratulation is open, and ends the program cleanly.
    void closingTheWindowDuringTheWinMessageEndsTheProgram() {
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(pupil.reachStage(maze::kLastStage));
        form->setMessagePresenter({});
        bool boxWasOpen = false;
        QTimer::singleShot(0, form.get(), [&] {
            QTimer::singleShot(0, form.get(), [&] {
                auto* box = form->findChild<QMessageBox*>();
                boxWasOpen = box != nullptr && box->isVisible();
                // The close request as the window system delivers it from the title bar's close button.
                QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                    form->windowHandle());
            });
            pupil.moveTo(circleCentre(maze::kLastStage));
        });
        QTimer::singleShot(5000, form.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(boxWasOpen);
        QVERIFY(!form->isVisible());
        QVERIFY(form->findChild<QMessageBox*>() == nullptr || !form->findChild<QMessageBox*>()->isVisible());
        verifyIdle(*form);
    }

    // -- Ending the program

    void theExitLabelEndsTheProgramWithStatusZero() {
        auto form = shownForm();
        Pupil pupil(*form);
        QTimer::singleShot(0, form.get(), [&] { pupil.click(form->label2().bounds().center()); });
        // Fails the test by timing out if the label does not end the event loop.
        QTimer::singleShot(5000, form.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!form->isVisible());
    }

    void closingTheWindowEndsTheProgram() {
        auto form = shownForm();
        QTimer::singleShot(0, form.get(), [&] { form->close(); });
        QTimer::singleShot(5000, form.get(), [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(PlayingTheGame)
#include "tst_play.moc"
