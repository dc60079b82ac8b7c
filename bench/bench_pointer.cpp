// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What one pointer move and one advance cost in a running round, against reading the colour the naive way
// by grabbing the window. Run headless: build/bench/tropilka_bench
#include "allocations.h"
#include "app/Form1.h"
#include "forms/Scene.h"
#include "maze/MazeLayout.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A point on the fourth segment, away from every circle: reading it changes nothing.
constexpr QPointF kOnThePath(460, 396);

Form1& window() {
    static std::unique_ptr<Form1> form = [] {
        auto f = std::make_unique<Form1>();
        f->setMessagePresenter([](const QString&, const QString&) {});
        f->show();
        f->Form_Load();
        if (!QTest::qWaitForWindowExposed(f.get()))
            qFatal("the window was never exposed");
        return f;
    }();
    return *form;
}

// Starts a round and jumps from circle to circle up to the given stage; jumps over blue are not tested.
void enterStage(Form1& form, int stage) {
    Pupil pupil(form);
    if (form.round().isActive())
        pupil.moveTo(QPointF(5, 530));
    pupil.startRound();
    for (int i = 0; i < stage; ++i)
        form.movePointer(circleCentre(i), Qt::NoButton, Qt::NoModifier);
    if (!form.round().isActive() || form.round().currentStage() != stage)
        qFatal("could not reach stage %d", stage);
}

void pointerMove(benchmark::State& state) {
    Form1& form = window();
    enterStage(form, 3);
    (void)form.colourAt(kOnThePath);
    const long allocationsBefore = heapAllocations();
    for (auto _ : state)
        form.movePointer(kOnThePath, Qt::NoButton, Qt::NoModifier);
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
    if (form.round().currentStage() != 3)
        state.SkipWithError("the move changed the round");
}
BENCHMARK(pointerMove);

// The same move as the platform delivers it, through Qt's event dispatch.
void pointerMoveEvent(benchmark::State& state) {
    Form1& form = window();
    enterStage(form, 3);
    QMouseEvent move(QEvent::MouseMove, kOnThePath, form.mapToGlobal(kOnThePath), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    const long allocationsBefore = heapAllocations();
    for (auto _ : state)
        QApplication::sendEvent(&form, &move);
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
    if (form.round().currentStage() != 3)
        state.SkipWithError("the move changed the round");
}
BENCHMARK(pointerMoveEvent);

// The naive way: three readings, each from a fresh grab of the window.
void pointerMoveByGrabbing(benchmark::State& state) {
    Form1& form = window();
    enterStage(form, 3);
    const QPoint device = (kOnThePath * form.devicePixelRatioF()).toPoint();
    const long allocationsBefore = heapAllocations();
    for (auto _ : state) {
        for (int reading = 0; reading < 3; ++reading)
            benchmark::DoNotOptimize(form.grab().toImage().pixel(device));
    }
    state.counters["allocations"] =
        benchmark::Counter(double(heapAllocations() - allocationsBefore), benchmark::Counter::kAvgIterations);
}
BENCHMARK(pointerMoveByGrabbing)->Unit(benchmark::kMicrosecond);

// Reaching circle k: the next segment and circle appear, circle k goes, and the third reading of the same
// move renders what changed.
void advance(benchmark::State& state) {
    Form1& form = window();
    const int stage = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        enterStage(form, stage);
        QApplication::processEvents();
        state.ResumeTiming();
        form.movePointer(circleCentre(stage), Qt::NoButton, Qt::NoModifier);
    }
    if (form.round().currentStage() != stage + 1)
        state.SkipWithError("no advance");
}
BENCHMARK(advance)->DenseRange(0, maze::kLastStage - 1)->Unit(benchmark::kMicrosecond)->MinTime(0.05);

// For scale: rendering the whole client area, which an advance must not need.
void fullRender(benchmark::State& state) {
    Form1& form = window();
    enterStage(form, 6);
    for (auto _ : state) {
        form.scene().invalidate(QRect(QPoint(0, 0), Form1::kClientSize));
        benchmark::DoNotOptimize(form.colourAt(kOnThePath));
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
