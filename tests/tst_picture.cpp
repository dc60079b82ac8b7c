// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What the game relies on in its picture: the colour read-back equals what the window shows at every pixel
// and stage (run at several display scales), the maze's geometry holds once rendered, and the window has
// its fixed properties.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "scene/Shapes.h"
#include "support/ExpectedTexts.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using maze::kFieldBlue, maze::kGoalGreen, maze::kPathYellow, maze::kTargetRed;

// Whether the pixels that are not blue form one 4-connected area; an all-blue view has none.
bool isOneArea(const QImage& view) {
    std::vector<QPoint> stack;
    int unreached = 0;
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x)
            if (view.pixel(x, y) != kFieldBlue && unreached++ == 0)
                stack.push_back(QPoint(x, y));
    std::vector<char> reached(std::size_t(view.width()) * view.height(), 0);
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (!view.rect().contains(p) || view.pixel(p) == kFieldBlue ||
            reached[p.y() * view.width() + p.x()]++)
            continue;
        --unreached;
        stack.insert(stack.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    return unreached == 0 && std::any_of(reached.begin(), reached.end(), [](char r) { return r != 0; });
}

// WCAG's relative luminance of an sRGB colour.
double luminance(QRgb rgb) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

} // namespace

class ThePicture : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("device pixel ratio %g", qApp->devicePixelRatio()); }

    // -- What the pupil sees is what the game reads

    // At idle (-1), at every stage, and after a win (13).
    void theReadBackEqualsTheScreen_data() { stageRows(-1, maze::kStageCount); }

    void theReadBackEqualsTheScreen() {
        QFETCH(int, stage);
        auto&& [window, pupil] = Game();
        if (stage >= 0)
            QVERIFY(pupil.jumpToStage(std::min(stage, maze::kLastStage)));
        if (stage == maze::kStageCount) {
            pupil.moveTo(targetCentre(maze::kLastStage));
            QCOMPARE(pupil.messages().size(), 1);
        }
        VERIFY_NO_PROBLEMS(differences(screenOf(*window), readBack(*window)));
    }

    // A change made earlier in the same handler is seen by the next reading, before any repaint.
    void theReadBackSeesAChangeAtOnce() {
        auto&& [window, pupil] = Game();
        const QPoint onFirstCircle = targetCentre(0);
        QCOMPARE(readBackAt(*window, onFirstCircle), maze::kFieldBlue);
        pupil.startRound();
        QCOMPARE(readBackAt(*window, onFirstCircle), maze::kTargetRed);
        pupil.moveTo(onFirstCircle);
        QCOMPARE(readBackAt(*window, onFirstCircle), maze::kPathYellow);
        QCOMPARE(readBackAt(*window, targetCentre(1)), maze::kTargetRed);
    }

    // -- The maze once rendered

    void atIdleNoPixelIsRedOrGreen() {
        auto window = shownWindow();
        const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                QVERIFY(shown.pixel(x, y) != kTargetRed && shown.pixel(x, y) != kGoalGreen);
    }

    // Once a target is reached and hidden, the pupil stands on its segment.
    void everyTargetCentreLiesOnItsSegment_data() { stageRows(); }
    void everyTargetCentreLiesOnItsSegment() {
        QFETCH(int, stage);
        if (stage < maze::kLastStage) {
            auto&& [window, pupil] = Game();
            QVERIFY(pupil.jumpToStage(stage + 1));
            QCOMPARE(readBackAt(*window, targetCentre(stage)), kPathYellow);
            return;
        }
        // The green target is never hidden in a round: look under it with the last segment drawn alone.
        scene::Scene alone(GameWindow::kClientSize, QColor::fromRgb(kFieldBlue));
        const maze::Segment& s = maze::kSegments[maze::kLastStage];
        alone.add<scene::Line>(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2), s.width, QColor::fromRgb(kPathYellow));
        QCOMPARE(alone.colorAt(targetCentre(maze::kLastStage)), kPathYellow);
    }

    // Several segments join the path beside the previous circle, never across blue. The start label is part
    // of that area too: the first segment runs on from it.
    void theVisiblePathIsOneAreaAtEveryStage_data() { stageRows(); }
    void theVisiblePathIsOneAreaAtEveryStage() {
        QFETCH(int, stage);
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.jumpToStage(stage));
        QVERIFY(isOneArea(pupil.view()));
    }

    void theSecondStageShowsRedOnTheWideSegment() {
        auto&& [window, pupil] = Game();
        QVERIFY(pupil.reachStage(2));
        const QImage view = pupil.view();
        const QPoint c = targetCentre(2);
        QCOMPARE(view.pixel(c), kTargetRed);
        QCOMPARE(view.pixel(c + QPoint(8, 0)), kPathYellow);
        QCOMPARE(view.pixel(c - QPoint(8, 0)), kPathYellow);
    }

    // The instruction stays on the disabled start label all through a round, and a pupil must read it
    // easily: at least 4.5 to 1, as WCAG asks of text, from its darkest pixel to the label's background.
    void theInstructionReadsAtAContrastOfAtLeastFourAndAHalf() {
        auto&& [window, pupil] = Game();
        pupil.startRound();
        const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect device =
            deviceRectOf(*window, window->startLabel().bounds()).adjusted(2, 2, -2, -2) & shown.rect();
        QCOMPARE(shown.pixel(device.topLeft()), kPathYellow);
        double darkest = 1;
        for (int y = device.top(); y <= device.bottom(); ++y) {
            for (int x = device.left(); x <= device.right(); ++x) {
                const QRgb pixel = shown.pixel(x, y);
                QVERIFY(pixel != kFieldBlue && pixel != kTargetRed && pixel != kGoalGreen);
                darkest = std::min(darkest, luminance(pixel));
            }
        }
        const double contrast = (luminance(kPathYellow) + 0.05) / (darkest + 0.05);
        QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("contrast %1 to 1").arg(contrast)));
    }

    // -- The window

    // At its own size, or covering the whole screen.
    void theWindowHasItsFixedProperties() {
        auto window = shownWindow();
        QCOMPARE(window->windowTitle(), expected::title());
        if (testedMode() == DisplayMode::Window) {
            QCOMPARE(window->size(), QSize(648, 536));
            QCOMPARE(window->minimumSize(), window->maximumSize());
        } else {
            QCOMPARE(window->geometry(), window->screen()->geometry());
            QVERIFY(window->isFullScreen());
            // The field as large as fits, a whole number of device pixels from the edges.
            const QRect field = deviceRectOf(*window, QRect(QPoint(0, 0), GameWindow::kClientSize));
            const QSize picture = window->scene().picture().size();
            QVERIFY(field.width() == picture.width() || field.height() == picture.height());
            QVERIFY(QRect(QPoint(0, 0), picture).contains(field));
            QVERIFY(std::abs(field.left() - (picture.width() - field.right() - 1)) <= 1);
            QVERIFY(std::abs(field.top() - (picture.height() - field.bottom() - 1)) <= 1);
        }
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(window->hasMouseTracking());
        // What a round will show is prepared once the first picture is on screen, before any round.
        QTRY_VERIFY(window->scene().isPrepared());
        const QIcon icon = window->windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes().value(0), QSize(32, 32));
        QCOMPARE(window->colorAt(QPoint(0, 0)), maze::kFieldBlue);
        QCOMPARE(window->colorAt(window->rect().bottomRight()), maze::kFieldBlue);
    }
};

QTEST_MAIN(ThePicture)
#include "tst_picture.moc"
