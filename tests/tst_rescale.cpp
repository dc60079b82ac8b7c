// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// A window moved at run time to a screen of another scale, on a platform with two screens that Qt scales by
// 1 and 2: the picture, every cached rendering in it and the colour read-back follow at once.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <memory>
#include <qpa/qwindowsysteminterface.h>

namespace {

// A round at the third stage, reached with help open for a while, so the picture holds every kind of element
// and the start label's rendering has been made at the old scale.
bool playToThirdStage(Pupil& pupil) {
    pupil.openHelp();
    pupil.click(kStartBesideHelp);
    pupil.closeHelp();
    return pupil.jumpToStage(2);
}

QScreen* screenOfRatio(qreal dpr) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == dpr)
            return screen;
    return nullptr;
}

// Qt's own scale of each screen, as on a desktop whose monitors differ, set before the application starts.
const bool screenScales = qputenv("QT_SCREEN_SCALE_FACTORS", "plain=1;sharp=2");

} // namespace

class Rescaling : public QObject {
    Q_OBJECT

private slots:
    void aMoveToASharperScreenRendersEverythingAfresh() {
        QScreen* plain = screenOfRatio(1);
        QScreen* sharp = screenOfRatio(2);
        QVERIFY2(plain != nullptr && sharp != nullptr, "the platform offers no screens of scales 1 and 2");

        // What the window must show on the sharper screen: a fresh one there, in the same state.
        auto fresh = std::make_unique<GameWindow>();
        fresh->move(sharp->geometry().topLeft() + QPoint(100, 100));
        fresh->show();
        QVERIFY(QTest::qWaitForWindowExposed(fresh.get()));
        QCOMPARE(fresh->screen(), sharp);
        Pupil freshPupil(*fresh);
        QVERIFY(playToThirdStage(freshPupil));
        const QImage expected = fresh->scene().picture().copy();
        QCOMPARE(expected.size(), QSize(1296, 1072));
        const QString freshOnScreen = differences(expected, screenOf(*fresh));
        QVERIFY2(freshOnScreen.isEmpty(), qPrintable(freshOnScreen));

        auto window = shownWindow();
        QCOMPARE(window->screen(), plain);
        Pupil pupil(*window);
        QVERIFY(playToThirdStage(pupil));
        VERIFY_NO_PROBLEMS(roundProblems(*window, 2));
        (void)screenOf(*window);

        // The window system moves the window; the readings that follow come before any other event.
        window->move(sharp->geometry().topLeft() + QPoint(100, 100));
        QWindowSystemInterface::flushWindowSystemEvents();
        QCOMPARE(window->screen(), sharp);
        VERIFY_NO_PROBLEMS(differences(expected, readBack(*window)));
        const QString onScreen = differences(expected, screenOf(*window));
        QVERIFY2(onScreen.isEmpty(), qPrintable(onScreen));
    }
};

QTEST_MAIN(Rescaling)
#include "tst_rescale.moc"
