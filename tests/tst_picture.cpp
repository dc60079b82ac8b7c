// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What the game relies on in its picture: the colour read-back equals what the window shows at every pixel
// and stage (run at several display scales), the maze's geometry holds once rendered, and the window has
// its fixed properties.
#include "app/GameWindow.h"
#include "maze/Maze.h"
#include "scene/Shapes.h"
#include "support/ExpectedTexts.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QIcon>
#include <QTest>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kYellow = qRgb(255, 255, 192);

// Compares the read-back at every device pixel of the client area with what the window shows there, at the
// positions pointer events report for that pixel.
int mismatchesWithScreen(GameWindow& window) {
    const QImage shown = screenOf(window);
    const qreal dpr = devicePixelRatioOf(window);
    int mismatches = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const std::optional<QRgb> read = window.colorAt(QPointF(x / dpr, y / dpr));
            if (read != shown.pixel(x, y) && mismatches++ < 5)
                qWarning("device pixel %d,%d: read #%06x, shown #%06x", x, y, read.value_or(0) & 0xffffffu,
                         shown.pixel(x, y) & 0xffffffu);
        }
    }
    return mismatches;
}

// 4-connected components of the pixels that are not blue.
int nonBlueAreas(const QImage& look) {
    std::vector<char> seen(std::size_t(look.width()) * look.height(), 0);
    int areas = 0;
    for (int y0 = 0; y0 < look.height(); ++y0) {
        for (int x0 = 0; x0 < look.width(); ++x0) {
            if (seen[std::size_t(y0) * look.width() + x0] || look.pixel(x0, y0) == kBlue)
                continue;
            ++areas;
            std::vector<QPoint> stack{QPoint(x0, y0)};
            seen[std::size_t(y0) * look.width() + x0] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + d;
                    if (q.x() < 0 || q.y() < 0 || q.x() >= look.width() || q.y() >= look.height())
                        continue;
                    char& s = seen[std::size_t(q.y()) * look.width() + q.x()];
                    if (!s && look.pixel(q) != kBlue) {
                        s = 1;
                        stack.push_back(q);
                    }
                }
            }
        }
    }
    return areas;
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

    void theReadBackEqualsTheScreenAtIdleAndEveryStage() {
        auto window = shownWindow();
        Pupil pupil(*window);
        QCOMPARE(mismatchesWithScreen(*window), 0);
        pupil.startRound();
        for (int stage = 0; stage <= maze::kLastStage; ++stage) {
            QCOMPARE(window->round().stage(), stage);
            QCOMPARE(mismatchesWithScreen(*window), 0);
            if (stage < maze::kLastStage)
                QVERIFY(pupil.walkToCurrentCircle());
        }
        QVERIFY(pupil.playWholeRound() || !window->round().isActive());
        QCOMPARE(mismatchesWithScreen(*window), 0);
    }

    // A change made earlier in the same handler is seen by the next reading, before any repaint.
    void theReadBackSeesAChangeAtOnce() {
        auto window = shownWindow();
        Pupil pupil(*window);
        const QPoint onFirstCircle = targetCentre(0);
        QCOMPARE(window->colorAt(onFirstCircle), maze::kFieldBlue);
        pupil.startRound();
        QCOMPARE(window->colorAt(onFirstCircle), maze::kTargetRed);
        pupil.moveTo(onFirstCircle);
        QCOMPARE(window->colorAt(onFirstCircle), maze::kPathYellow);
        QCOMPARE(window->colorAt(targetCentre(1)), maze::kTargetRed);
    }

    // -- The maze once rendered

    void atIdleNoPixelIsRedOrGreen() {
        auto window = shownWindow();
        const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                QVERIFY(shown.pixel(x, y) != kRed && shown.pixel(x, y) != kGreen);
    }

    // Once a target is reached and hidden, the pupil stands on its segment.
    void everyTargetCentreLiesOnItsSegment() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.startRound();
        for (int stage = 0; stage < maze::kLastStage; ++stage) {
            QVERIFY(pupil.walkToCurrentCircle());
            QCOMPARE(window->colorAt(targetCentre(stage)), maze::kPathYellow);
        }
        // The green target is never hidden in a round: look under it with the last segment drawn alone.
        scene::Scene alone(GameWindow::kClientSize, QColor::fromRgb(maze::kFieldBlue));
        const maze::Segment& s = maze::kSegments[maze::kLastStage];
        alone.add<scene::Line>(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2), s.width,
                               QColor::fromRgb(maze::kPathYellow));
        QCOMPARE(alone.colorAt(targetCentre(maze::kLastStage)), maze::kPathYellow);
    }

    // Several segments join the path beside the previous circle, never across blue.
    void theVisiblePathIsOneAreaAtEveryStage() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.startRound();
        for (int stage = 0; stage <= maze::kLastStage; ++stage) {
            QCOMPARE(window->round().stage(), stage);
            // The start label is part of that area too: the first segment runs on from it.
            QCOMPARE(nonBlueAreas(pupil.look()), 1);
            if (stage < maze::kLastStage)
                QVERIFY(pupil.walkToCurrentCircle());
        }
    }

    void theSecondStageShowsRedOnTheWideSegment() {
        auto window = shownWindow();
        Pupil pupil(*window);
        QVERIFY(pupil.reachStage(2));
        const QImage look = pupil.look();
        const QPoint c = targetCentre(2);
        QCOMPARE(look.pixel(c), kRed);
        QCOMPARE(look.pixel(c + QPoint(8, 0)), kYellow);
        QCOMPARE(look.pixel(c - QPoint(8, 0)), kYellow);
    }

    // The instruction stays on the disabled start label all through a round, and a pupil must read it
    // easily: at least 4.5 to 1, as WCAG asks of text, from its darkest pixel to the label's background.
    void theInstructionReadsAtAContrastOfAtLeastFourAndAHalf() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.startRound();
        const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal dpr = window->devicePixelRatioF();
        const QRectF label = QRectF(window->startLabel().bounds()).adjusted(1, 1, -1, -1);
        const QRect device = QRectF(label.topLeft() * dpr, label.size() * dpr).toAlignedRect() & shown.rect();
        QCOMPARE(shown.pixel(device.topLeft()), kYellow);
        double darkest = 1;
        for (int y = device.top(); y <= device.bottom(); ++y) {
            for (int x = device.left(); x <= device.right(); ++x) {
                const QRgb pixel = shown.pixel(x, y);
                QVERIFY(pixel != kBlue && pixel != kRed && pixel != kGreen);
                darkest = std::min(darkest, luminance(pixel));
            }
        }
        const double contrast = (luminance(kYellow) + 0.05) / (darkest + 0.05);
        QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("contrast %1 to 1").arg(contrast)));
    }

    // -- The window

    void theWindowHasItsFixedProperties() {
        auto window = shownWindow();
        QCOMPARE(window->windowTitle(), expected::title());
        QCOMPARE(window->size(), QSize(648, 536));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(window->hasMouseTracking());
        const QIcon icon = window->windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes().value(0), QSize(32, 32));
        QCOMPARE(window->colorAt(QPoint(0, 0)), maze::kFieldBlue);
        QCOMPARE(window->colorAt(QPoint(647, 535)), maze::kFieldBlue);
    }
};

QTEST_MAIN(ThePicture)
#include "tst_picture.moc"
