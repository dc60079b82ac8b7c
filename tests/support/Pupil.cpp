// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Pupil.h"

#include "maze/Maze.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTest>
#include <QWindow>
#include <deque>
#include <qpa/qplatformwindow.h>
#include <qpa/qwindowsysteminterface.h>
#include <vector>

namespace {

// Keep this far from blue: a circle may stick out of its path a little, and what lies under it once it is
// reached must not be blue.
constexpr int kMargin = 2;

QList<QPoint> findRoute(const QImage& view, QPoint from, auto isGoal, auto mayStep) {
    const int w = view.width();
    const int h = view.height();
    std::vector<int> cameFrom(std::size_t(w) * h, -1);
    std::deque<QPoint> queue{from};
    cameFrom[std::size_t(from.y()) * w + from.x()] = from.y() * w + from.x();
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        if (isGoal(p)) {
            QList<QPoint> route;
            for (int at = p.y() * w + p.x(); at != from.y() * w + from.x(); at = cameFrom[std::size_t(at)])
                route.prepend(QPoint(at % w, at / w));
            return route;
        }
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint q(p.x() + dx, p.y() + dy);
                if (q.x() < 0 || q.y() < 0 || q.x() >= w || q.y() >= h)
                    continue;
                int& seen = cameFrom[std::size_t(q.y()) * w + q.x()];
                if (seen >= 0 || !mayStep(q))
                    continue;
                seen = p.y() * w + p.x();
                queue.push_back(q);
            }
        }
    }
    return {};
}

} // namespace

DisplayMode testedMode() {
    const QByteArray mode = qgetenv("TROPILKA_TEST_MODE");
    if (mode == "fullscreen")
        return DisplayMode::FullScreen;
    if (mode == "kiosk")
        return DisplayMode::Kiosk;
    return DisplayMode::Window;
}

std::unique_ptr<GameWindow> shownWindow() {
    auto window = std::make_unique<GameWindow>(testedMode());
    window->present();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the window was never exposed");
    return window;
}

QImage readBack(GameWindow& window) {
    const qreal dpr = devicePixelRatioOf(window);
    QImage read(window.scene().picture().size(), QImage::Format_RGB32);
    for (int y = 0; y < read.height(); ++y)
        for (int x = 0; x < read.width(); ++x)
            read.setPixel(x, y, window.colorAt(QPointF(x / dpr, y / dpr)).value_or(0));
    return read;
}

std::optional<QRgb> readBackAt(GameWindow& window, QPointF layoutPos) {
    return window.colorAt(QPointF(devicePixelOf(window, layoutPos)) / devicePixelRatioOf(window));
}

QPoint targetCentre(int stage) {
    const maze::Target& t = maze::kTargets[std::size_t(stage)];
    return QPoint(t.left + t.diameter / 2, t.top + t.diameter / 2);
}

QList<HelpLink> helpLinks(const GameWindow& window) {
    const help::HelpPanel& panel = window.helpPanel();
    return {{&panel.artistMailLink(), QUrl(QStringLiteral("mailto:olya@example.org"))},
            {&panel.authorMailLink(), QUrl(QStringLiteral("mailto:nt@example.org"))},
            {&panel.authorSiteLink(), QUrl(QStringLiteral("http://example.org/nt"))}};
}

Pupil::Pupil(GameWindow& window)
    : window_(window) {
    window_.setMessagePresenter([this](const QString& prompt, const QString&) { messages_.append(prompt); });
}

ulong nextEventTime(ulong by) {
    // Qt makes a press into a double click when it follows the one before within the double-click interval,
    // whichever window or test that was in.
    static ulong eventClock = 0;
    return eventClock += by;
}

PlatformPosition platformPosition(const QWidget& window, QPoint devicePixel) {
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr || handle->handle() == nullptr)
        qFatal("the pupil cannot reach a window that is closed");
    // The platform reports positions in its own pixels: device pixels where Qt scales, logical ones where
    // the platform does (as on Wayland).
    const QPlatformWindow* platformWindow = handle->handle();
    const QPointF local = QPointF(devicePixel) / platformWindow->devicePixelRatio();
    return {local, local + QPointF(platformWindow->geometry().topLeft())};
}

void Pupil::deliver(QEvent::Type type, QPoint pixel, Qt::MouseButtons buttons, Qt::MouseButton button) {
    const PlatformPosition at = platformPosition(window_, pixel);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
        window_.windowHandle(), nextEventTime(), at.local, at.global, buttons, button, type);
}

void Pupil::click(QPoint pos) {
    // Unhurried: one click, never the second half of a double click.
    nextEventTime(ulong(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
    const QPoint pixel = devicePixelOf(window_, pos);
    deliver(QEvent::MouseMove, pixel, Qt::NoButton, Qt::NoButton);
    deliver(QEvent::MouseButtonPress, pixel, Qt::LeftButton, Qt::LeftButton);
    deliver(QEvent::MouseButtonRelease, pixel, Qt::NoButton, Qt::LeftButton);
    position_ = pos;
}

void Pupil::doubleClick(QPoint pos) {
    click(pos);
    const QPoint pixel = devicePixelOf(window_, pos);
    deliver(QEvent::MouseButtonPress, pixel, Qt::LeftButton, Qt::LeftButton);
    deliver(QEvent::MouseButtonRelease, pixel, Qt::NoButton, Qt::LeftButton);
}

void Pupil::moveToDevicePixel(QPoint pixel, Qt::MouseButtons buttons) {
    deliver(QEvent::MouseMove, pixel, buttons, Qt::NoButton);
}

void Pupil::moveTo(QPointF pos, Qt::MouseButtons buttons) {
    if (!QRectF(-1e6, -1e6, 2e6, 2e6).contains(pos)) {
        // Far beyond any screen, or not a number: no platform reports such a position, but the window must
        // not trip over one either, so it goes to the window directly.
        QMouseEvent move(QEvent::MouseMove, pos, window_.mapToGlobal(pos), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(&window_, &move);
        return;
    }
    moveToDevicePixel(devicePixelOf(window_, pos), buttons);
    position_ = pos.toPoint();
    trail_.append(position_);
}

QImage Pupil::view() const {
    const QImage screen = screenOf(window_);
    QImage view(GameWindow::kClientSize, QImage::Format_RGB32);
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x)
            view.setPixel(x, y, screen.pixel(devicePixelOf(window_, QPointF(x, y))));
    return view;
}

void Pupil::startRound() {
    click(kStartOnPath);
}

void Pupil::openHelp() {
    click(window_.helpLabel().bounds().center());
}

void Pupil::closeHelp() {
    click(window_.helpPanel().closeButton().bounds().center());
}

bool Pupil::walk(const QList<QPoint>& route, int stageAtStart) {
    for (const QPoint& p : route) {
        moveTo(p);
        if (!window_.round().isActive())
            return false;
        if (window_.round().stage() != stageAtStart)
            return true;
    }
    return !route.isEmpty();
}

QList<QPoint> Pupil::routeToCurrentCircle() const {
    if (!window_.round().isActive())
        return {};
    const QImage view = this->view();
    const QRect area(QPoint(0, 0), view.size());
    const auto safe = [&](QPoint p) {
        for (int dy = -kMargin; dy <= kMargin; ++dy)
            for (int dx = -kMargin; dx <= kMargin; ++dx)
                if (!area.contains(p + QPoint(dx, dy)) || view.pixel(p + QPoint(dx, dy)) == maze::kFieldBlue)
                    return false;
        return true;
    };
    const QPoint goal = targetCentre(window_.round().stage());
    return findRoute(
        view, position_, [&](QPoint p) { return p == goal; }, safe);
}

bool Pupil::walkToCurrentCircle() {
    return window_.round().isActive() && walk(routeToCurrentCircle(), window_.round().stage());
}

bool Pupil::reachStage(int stage) {
    startRound();
    for (int walks = 0;
         walks < maze::kStageCount && window_.round().isActive() && window_.round().stage() < stage;
         ++walks) {
        if (!walkToCurrentCircle())
            return false;
    }
    return window_.round().isActive() && window_.round().stage() == stage;
}

bool Pupil::jumpToStage(int stage) {
    if (window_.round().isActive() && window_.round().stage() > stage)
        moveTo(kAlwaysBlue);
    if (!window_.round().isActive())
        startRound();
    for (int jumps = 0; jumps < stage && window_.round().isActive() && window_.round().stage() < stage;
         ++jumps)
        moveTo(targetCentre(window_.round().stage()));
    return window_.round().isActive() && window_.round().stage() == stage;
}

bool Pupil::walkOntoBlue() {
    const QImage view = this->view();
    const QList<QPoint> route = findRoute(
        view, position_, [&](QPoint p) { return view.pixel(p) == maze::kFieldBlue; },
        [](QPoint) { return true; });
    for (const QPoint& p : route)
        moveTo(p);
    return !route.isEmpty();
}
