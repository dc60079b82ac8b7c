// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What the game relies on in its picture: the colour read-back equals what the window shows at every pixel
// and stage (run at several display scales), the maze's geometry holds once rendered, and the window has
// its fixed properties.
#include "app/Form1.h"
#include "forms/Shapes.h"
#include "maze/MazeLayout.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QIcon>
#include <QTest>
#include <memory>
#include <vector>

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kYellow = qRgb(255, 255, 192);

// Compares the read-back at every device pixel of the client area with the window's own grabbed picture,
// at the positions pointer events report for that pixel.
int mismatchesWithScreen(Form1& form) {
    const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal dpr = form.devicePixelRatioF();
    int mismatches = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const forms::Colour read = form.colourAt(QPointF(x / dpr, y / dpr));
            if (read != forms::fromQRgb(shown.pixel(x, y)) && mismatches++ < 5)
                qWarning("device pixel %d,%d: read %06x, shown %06x", x, y, read,
                         forms::fromQRgb(shown.pixel(x, y)));
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

} // namespace

class ThePicture : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("device pixel ratio %g", qApp->devicePixelRatio()); }

    // -- What the pupil sees is what the game reads

    void theReadBackEqualsTheScreenAtIdleAndEveryStage() {
        auto form = shownForm();
        Pupil pupil(*form);
        QCOMPARE(mismatchesWithScreen(*form), 0);
        pupil.startRound();
        for (int stage = 0; stage <= maze::kLastStage; ++stage) {
            QCOMPARE(form->round().currentStage(), stage);
            QCOMPARE(mismatchesWithScreen(*form), 0);
            if (stage < maze::kLastStage)
                QVERIFY(pupil.walkToCurrentCircle());
        }
        QVERIFY(pupil.playWholeRound() || !form->round().isActive());
        QCOMPARE(mismatchesWithScreen(*form), 0);
    }

    // A change made earlier in the same handler is seen by the next reading, before any repaint.
    void theReadBackSeesAChangeAtOnce() {
        auto form = shownForm();
        Pupil pupil(*form);
        const QPoint onFirstCircle = circleCentre(0);
        QCOMPARE(form->colourAt(onFirstCircle), maze::kFieldBlue);
        pupil.startRound();
        QCOMPARE(form->colourAt(onFirstCircle), maze::kTargetRed);
        pupil.moveTo(onFirstCircle);
        QCOMPARE(form->colourAt(onFirstCircle), maze::kPathYellow);
        QCOMPARE(form->colourAt(circleCentre(1)), maze::kTargetRed);
    }

    // -- The maze once rendered

    void atIdleNoPixelIsRedOrGreen() {
        auto form = shownForm();
        const QImage shown = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                QVERIFY(shown.pixel(x, y) != kRed && shown.pixel(x, y) != kGreen);
    }

    // Once a circle is reached and hidden, the pupil stands on its segment.
    void everyCircleCentreLiesOnItsSegment() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.startRound();
        for (int stage = 0; stage < maze::kLastStage; ++stage) {
            QVERIFY(pupil.walkToCurrentCircle());
            QCOMPARE(form->colourAt(circleCentre(stage)), maze::kPathYellow);
        }
        // The green circle is never hidden in a round: look under it with the last segment drawn alone.
        forms::Scene alone(Form1::kClientSize, maze::kFieldBlue);
        const maze::SegmentSpec& s = maze::kSegments[maze::kLastStage];
        alone.add<forms::Line>(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2), s.width, maze::kPathYellow);
        QCOMPARE(alone.colourAt(circleCentre(maze::kLastStage)), maze::kPathYellow);
    }

    // Several segments join the path beside the previous circle, never across blue.
    void theVisiblePathIsOneAreaAtEveryStage() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.startRound();
        for (int stage = 0; stage <= maze::kLastStage; ++stage) {
            QCOMPARE(form->round().currentStage(), stage);
            // The start label is part of that area too: the first segment runs on from it.
            QCOMPARE(nonBlueAreas(pupil.look()), 1);
            if (stage < maze::kLastStage)
                QVERIFY(pupil.walkToCurrentCircle());
        }
    }

    void theSecondStageShowsRedOnTheWideSegment() {
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(pupil.reachStage(2));
        const QImage look = pupil.look();
        const QPoint c = circleCentre(2);
        QCOMPARE(look.pixel(c), kRed);
        QCOMPARE(look.pixel(c + QPoint(8, 0)), kYellow);
        QCOMPARE(look.pixel(c - QPoint(8, 0)), kYellow);
    }

    // -- The window

    void theWindowHasItsFixedProperties() {
        auto form = shownForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Тропилка   ver. 3.0"));
        QCOMPARE(form->size(), QSize(648, 536));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(form->hasMouseTracking());
        const QIcon icon = form->windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes().value(0), QSize(32, 32));
        QCOMPARE(form->colourAt(QPoint(0, 0)), maze::kFieldBlue);
        QCOMPARE(form->colourAt(QPoint(647, 535)), maze::kFieldBlue);
    }
};

QTEST_MAIN(ThePicture)
#include "tst_picture.moc"
