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
void playToThirdStage(GameWindow& window, Pupil& pupil) {
    pupil.click(window.helpLabel().bounds().center());
    pupil.click(QPoint(517, 200)); // the start label's end, beside the panel
    pupil.click(window.helpPanel().closeButton().bounds().center());
    pupil.moveTo(targetCentre(0));
    pupil.moveTo(targetCentre(1));
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
        playToThirdStage(*fresh, freshPupil);
        const QImage expected = fresh->scene().picture().copy();
        QCOMPARE(expected.size(), QSize(1296, 1072));
        const QString freshOnScreen = differences(expected, screenOf(*fresh));
        QVERIFY2(freshOnScreen.isEmpty(), qPrintable(freshOnScreen));

        auto window = shownWindow();
        QCOMPARE(window->screen(), plain);
        Pupil pupil(*window);
        playToThirdStage(*window, pupil);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 2));
        (void)screenOf(*window);

        // The window system moves the window; the readings that follow come before any other event.
        window->move(sharp->geometry().topLeft() + QPoint(100, 100));
        QWindowSystemInterface::flushWindowSystemEvents();
        QCOMPARE(window->screen(), sharp);
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                if (window->colorAt(QPointF(x / 2.0, y / 2.0)) != expected.pixel(x, y))
                    QFAIL(
                        qPrintable(QStringLiteral("device pixel %1,%2 reads #%3, shows #%4")
                                       .arg(x)
                                       .arg(y)
                                       .arg(window->colorAt(QPointF(x / 2.0, y / 2.0)).value_or(0) & 0xffffff,
                                            6, 16, QLatin1Char('0'))
                                       .arg(expected.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'))));
        const QString onScreen = differences(expected, screenOf(*window));
        QVERIFY2(onScreen.isEmpty(), qPrintable(onScreen));
    }
};

QTEST_MAIN(Rescaling)
#include "tst_rescale.moc"
