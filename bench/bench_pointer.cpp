// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What one pointer move costs in a running round, against reading the colour the naive way by grabbing the
// window; and the moves that change the picture, reaching a circle and touching blue, at display scales 1, 2
// and 3, against rendering the whole picture. Run headless: build/bench/tropilka_bench
#include "allocations.h"
#include "app/GameWindow.h"
#include "help/HelpPanel.h"
#include "maze/Maze.h"
#include "scene/Scene.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointingDevice>
#include <QTest>
#include <QTouchEvent>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

// A point on the fourth segment, away from every target: reading it changes nothing.
constexpr QPointF kOnThePath(460, 396);

// The one window every benchmark plays in; main() owns it, so it goes before the application does.
GameWindow* theWindow = nullptr;

GameWindow& gameWindow() {
    return *theWindow;
}

// A point of the layout where the window has it, full screen or not.
QPointF at(QPointF layoutPoint) {
    return theWindow->scene().toWindow(layoutPoint);
}

// The scene's placement at the window's own scale, as the window has it.
scene::Placement ownPlacement;

// The pupil plays at the window's own scale, whatever scale a measurement left the scene at.
void enterStage(GameWindow& window, int stage) {
    window.scene().setPlacement(ownPlacement);
    if (!Pupil(window).jumpToStage(stage))
        qFatal("could not reach stage %d", stage);
}

void pointerMove(benchmark::State& state) {
    GameWindow& window = gameWindow();
    enterStage(window, 3);
    (void)window.colorAt(at(kOnThePath));
    const long allocationsBefore = heapAllocations();
    for (auto _ : state)
        window.handlePointerMove(at(kOnThePath));
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
    if (window.round().stage() != 3)
        state.SkipWithError("the move changed the round");
}
BENCHMARK(pointerMove);

// The same move as the platform delivers it, through Qt's event dispatch.
void pointerMoveEvent(benchmark::State& state) {
    GameWindow& window = gameWindow();
    enterStage(window, 3);
    QMouseEvent move(QEvent::MouseMove, at(kOnThePath), window.mapToGlobal(at(kOnThePath)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    const long allocationsBefore = heapAllocations();
    for (auto _ : state)
        QApplication::sendEvent(&window, &move);
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
    if (window.round().stage() != 3)
        state.SkipWithError("the move changed the round");
}
BENCHMARK(pointerMoveEvent);

// The naive way: three readings, each from a fresh grab of the window.
void pointerMoveByGrabbing(benchmark::State& state) {
    GameWindow& window = gameWindow();
    enterStage(window, 3);
    const QPoint device = window.scene().toDevice(kOnThePath).toPoint();
    const long allocationsBefore = heapAllocations();
    for (auto _ : state) {
        for (int reading = 0; reading < 3; ++reading)
            benchmark::DoNotOptimize(window.grab().toImage().pixel(device));
    }
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
}
BENCHMARK(pointerMoveByGrabbing)->Unit(benchmark::kMicrosecond);

// The scene rendered at a display scale, whatever the window's: nothing measured here repaints the window,
// which would take its own scale again. Scale 0 keeps the window's own placement, full screen. What is
// pending is rendered and prepared first, outside the measurement.
void renderAtScale(GameWindow& window, qreal scale) {
    // What the window does between two of the pupil's moves: its repaint, and what that queues.
    QApplication::processEvents(QEventLoop::AllEvents, 100);
    if (scale != 0)
        window.scene().setDevicePixelRatio(scale);
    (void)window.scene().picture();
    // As the window does once a picture is on screen.
    window.scene().prepareAhead();
}

// The display scales the moves that change the picture are measured at: a move has 1 ms, one report of a
// 1000 Hz mouse, at 3. Full screen (TROPILKA_TEST_MODE=fullscreen), the window's own scale only.
const std::vector<int64_t> kScales =
    testedMode() == DisplayMode::Window ? std::vector<int64_t>{1, 2, 3} : std::vector<int64_t>{0};

// Times the move alone into the counter move_us, the picture's repaint left out. A move that ends the round
// reads no colour afterwards, so the window renders the picture at its next repaint, once a frame; a move
// that reaches a circle renders within itself, for its own next reading.
class MoveTimer {
public:
    explicit MoveTimer(benchmark::State& state)
        : state_(state) {}
    ~MoveTimer() {
        state_.counters["move_us"] = benchmark::Counter(total_, benchmark::Counter::kAvgIterations);
    }
    template <typename Move> void operator()(Move move) {
        const auto start = std::chrono::steady_clock::now();
        move();
        total_ += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    }

private:
    benchmark::State& state_;
    double total_ = 0;
};

// Reaching circle k: the next segment and circle appear, circle k goes, and the third reading of the same
// move renders what changed.
void advance(benchmark::State& state) {
    GameWindow& window = gameWindow();
    const int stage = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        enterStage(window, stage);
        renderAtScale(window, qreal(state.range(1)));
        state.ResumeTiming();
        window.handlePointerMove(at(targetCentre(stage)));
    }
    if (window.round().stage() != stage + 1)
        state.SkipWithError("no advance");
}
BENCHMARK(advance)
    ->ArgsProduct({benchmark::CreateDenseRange(0, maze::kLastStage - 1, 1), kScales})
    ->ArgNames({"stage", "scale"})
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

// Touching blue at stage k: every segment and circle shown goes, the start label and the menu come back,
// and the picture is rendered again, as the window's next repaint needs it.
void loss(benchmark::State& state) {
    GameWindow& window = gameWindow();
    const int stage = int(state.range(0));
    MoveTimer timeMove(state);
    for (auto _ : state) {
        state.PauseTiming();
        enterStage(window, stage);
        renderAtScale(window, qreal(state.range(1)));
        state.ResumeTiming();
        timeMove([&] { window.handlePointerMove(at(kAlwaysBlue)); });
        (void)window.scene().picture();
    }
    if (window.round().isActive())
        state.SkipWithError("no loss");
}
BENCHMARK(loss)
    ->ArgsProduct({{0, 6, maze::kLastStage}, kScales})
    ->ArgNames({"stage", "scale"})
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

// A finger on the touch screen, as the window receives it: one touch event, which the window tests along the
// way from the finger's last report before the three readings.
void touch(QEvent::Type type, QEventPoint::State state, QPointF layoutPoint) {
    static QPointingDevice* const screen = QTest::createTouchDevice();
    const QPointF pos = at(layoutPoint);
    QTouchEvent event(type, screen, Qt::NoModifier,
                      {QEventPoint(0, state, pos, theWindow->mapToGlobal(pos))});
    QApplication::sendEvent(theWindow, &event);
}

// A point on the path just off a stage's circle, along its segment.
QPointF beforeCircle(int stage) {
    const maze::Segment& s = maze::kSegments[std::size_t(stage)];
    const QPointF centre = targetCentre(stage);
    const QLineF back(centre, centre + QPointF(s.x1 - s.x2, s.y1 - s.y2));
    return back.pointAt(8 / back.length());
}

// A finger in contact moving along the path, where nothing changes: the way between its reports, a few
// pixels, and the three readings.
void touchMove(benchmark::State& state) {
    GameWindow& window = gameWindow();
    enterStage(window, 3);
    Pupil(window).moveTo(kOnThePath);
    touch(QEvent::TouchBegin, QEventPoint::State::Pressed, kOnThePath);
    const long allocationsBefore = heapAllocations();
    bool there = false;
    for (auto _ : state) {
        there = !there;
        touch(QEvent::TouchUpdate, QEventPoint::State::Updated, kOnThePath + QPointF(there ? 3 : 0, 0));
    }
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
    touch(QEvent::TouchEnd, QEventPoint::State::Released, kOnThePath);
    if (window.round().stage() != 3)
        state.SkipWithError("the moves changed the round");
}
BENCHMARK(touchMove)->Unit(benchmark::kMicrosecond);

// A finger in contact reaching circle k, and one sliding off the path onto blue at stage k, as the picture is
// rendered for the next reading or the next repaint.
void touchAdvanceOrLoss(benchmark::State& state) {
    GameWindow& window = gameWindow();
    const int stage = int(state.range(0));
    const bool loss = state.range(1) != 0;
    MoveTimer timeMove(state);
    for (auto _ : state) {
        state.PauseTiming();
        enterStage(window, stage);
        Pupil(window).moveTo(beforeCircle(stage));
        touch(QEvent::TouchBegin, QEventPoint::State::Pressed, beforeCircle(stage));
        renderAtScale(window, qreal(state.range(2)));
        if (!window.round().isActive() || window.round().stage() != stage) {
            state.SkipWithError("the finger did not land beside the circle");
            break;
        }
        state.ResumeTiming();
        timeMove([&] {
            touch(QEvent::TouchUpdate, QEventPoint::State::Updated, loss ? kAlwaysBlue : targetCentre(stage));
        });
        (void)window.scene().picture();
        state.PauseTiming();
        touch(QEvent::TouchEnd, QEventPoint::State::Released, loss ? kAlwaysBlue : targetCentre(stage));
        state.ResumeTiming();
    }
    if (window.round().isActive() != !loss || (!loss && window.round().stage() != stage + 1))
        state.SkipWithError(loss ? "no loss" : "no advance");
}
BENCHMARK(touchAdvanceOrLoss)
    ->ArgsProduct({{0, 6, maze::kLastStage - 1}, {0, 1}, kScales})
    ->ArgNames({"stage", "loss", "scale"})
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

// The same in a round started beside the open help panel: what changes lies under the panel.
void lossUnderHelp(benchmark::State& state) {
    GameWindow& window = gameWindow();
    Pupil pupil(window);
    MoveTimer timeMove(state);
    for (auto _ : state) {
        state.PauseTiming();
        if (window.round().isActive())
            pupil.moveTo(kAlwaysBlue);
        pupil.openHelp();
        pupil.click(kStartBesideHelp);
        renderAtScale(window, qreal(state.range(0)));
        state.ResumeTiming();
        timeMove([&] { window.handlePointerMove(at(QPointF(540, 200))); });
        (void)window.scene().picture();
    }
    if (window.round().isActive())
        state.SkipWithError("no loss");
    pupil.closeHelp();
}
BENCHMARK(lossUnderHelp)
    ->ArgsProduct({kScales})
    ->ArgName("scale")
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

// The click on the start label that starts a round: what the round shows first is rendered. Full screen the
// idle picture is kept for the round's end, ahead, while the game is idle (see wholeRender for its cost).
void roundStart(benchmark::State& state) {
    GameWindow& window = gameWindow();
    Pupil pupil(window);
    for (auto _ : state) {
        state.PauseTiming();
        if (window.round().isActive())
            pupil.moveTo(kAlwaysBlue);
        renderAtScale(window, qreal(state.range(0)));
        state.ResumeTiming();
        pupil.startRound();
        (void)window.scene().picture();
    }
    if (!window.round().isActive())
        state.SkipWithError("no round");
}
BENCHMARK(roundStart)
    ->ArgsProduct({kScales})
    ->ArgName("scale")
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

// For comparison: rendering the whole picture, each label's kept rendering reused, at the last stage (0) or
// in a round started beside the open help panel (1).
void wholeRender(benchmark::State& state) {
    GameWindow& window = gameWindow();
    Pupil pupil(window);
    const bool help = state.range(0) != 0;
    if (help) {
        if (window.round().isActive())
            pupil.moveTo(kAlwaysBlue);
        pupil.openHelp();
        pupil.click(kStartBesideHelp);
    } else {
        enterStage(window, maze::kLastStage);
    }
    renderAtScale(window, qreal(state.range(1)));
    for (auto _ : state) {
        window.scene().invalidate(QRect(QPoint(0, 0), window.scene().picture().size()));
        benchmark::DoNotOptimize(window.colorAt(at(kOnThePath)));
    }
    if (help)
        pupil.closeHelp();
}
BENCHMARK(wholeRender)
    ->ArgsProduct({{0, 1}, kScales})
    ->ArgNames({"help", "scale"})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GameWindow window(testedMode());
    window.setMessagePresenter([](const QString&, const QString&) {});
    window.present();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window was never exposed");
    theWindow = &window;
    const scene::Placement& placement = ownPlacement = window.scene().placement();
    std::printf("window %dx%d, device pixel ratio %g, %g device pixels per layout pixel\n", window.width(),
                window.height(), placement.devicePixelRatio, placement.scale);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
