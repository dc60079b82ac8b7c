// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What one pointer move and one advance cost in a running round, against reading the colour the naive way
// by grabbing the window. Run headless: build/bench/tropilka_bench
#include "allocations.h"
#include "app/GameWindow.h"
#include "forms/Scene.h"
#include "maze/Maze.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A point on the fourth segment, away from every target: reading it changes nothing.
constexpr QPointF kOnThePath(460, 396);

GameWindow& gameWindow() {
    static std::unique_ptr<GameWindow> window = [] {
        auto w = std::make_unique<GameWindow>();
        w->setMessagePresenter([](const QString&, const QString&) {});
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qFatal("the window was never exposed");
        return w;
    }();
    return *window;
}

// Starts a round and jumps from target to target up to the given stage; jumps over blue are not tested.
void enterStage(GameWindow& window, int stage) {
    Pupil pupil(window);
    if (window.round().isActive())
        pupil.moveTo(QPointF(5, 530));
    pupil.startRound();
    for (int i = 0; i < stage; ++i)
        window.handlePointerMove(targetCentre(i));
    if (!window.round().isActive() || window.round().stage() != stage)
        qFatal("could not reach stage %d", stage);
}

void pointerMove(benchmark::State& state) {
    GameWindow& window = gameWindow();
    enterStage(window, 3);
    (void)window.colorAt(kOnThePath);
    const long allocationsBefore = heapAllocations();
    for (auto _ : state)
        window.handlePointerMove(kOnThePath);
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
    QMouseEvent move(QEvent::MouseMove, kOnThePath, window.mapToGlobal(kOnThePath), Qt::NoButton,
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
    const QPoint device = (kOnThePath * window.devicePixelRatioF()).toPoint();
    const long allocationsBefore = heapAllocations();
    for (auto _ : state) {
        for (int reading = 0; reading < 3; ++reading)
            benchmark::DoNotOptimize(window.grab().toImage().pixel(device));
    }
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
}
BENCHMARK(pointerMoveByGrabbing)->Unit(benchmark::kMicrosecond);

// Reaching target k: the next segment and target appear, target k goes, and the third reading of the same
// move renders what changed.
void advance(benchmark::State& state) {
    GameWindow& window = gameWindow();
    const int stage = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        enterStage(window, stage);
        QApplication::processEvents();
        state.ResumeTiming();
        window.handlePointerMove(targetCentre(stage));
    }
    if (window.round().stage() != stage + 1)
        state.SkipWithError("no advance");
}
BENCHMARK(advance)->DenseRange(0, maze::kLastStage - 1)->Unit(benchmark::kMicrosecond)->MinTime(0.05);

// For scale: rendering the whole client area, which an advance must not need.
void fullRender(benchmark::State& state) {
    GameWindow& window = gameWindow();
    enterStage(window, 6);
    for (auto _ : state) {
        window.scene().invalidate(QRect(QPoint(0, 0), GameWindow::kClientSize));
        benchmark::DoNotOptimize(window.colorAt(kOnThePath));
    }
}
BENCHMARK(fullRender)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
