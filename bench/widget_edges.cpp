// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// Why the help panel stays in the scene rather than being a child widget: at the device pixels along a child
// widget's edges, does Qt hand the pointer to the widget exactly where it paints it? Places a widget where
// the help panel lies, moves the pointer through the window system's path to every device pixel near its
// edges, and counts the pixels where the one who paints and the one who gets the move differ. Where they
// differ in a round started beside the open panel, the game would read the field under a pixel that shows the
// panel, or let a pixel of the field go untested. Run at a display scale: QT_SCALE_FACTOR=1.5
// build-testing/bench/tropilka_widget_edges
#include "support/Pupil.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <qpa/qwindowsysteminterface.h>

namespace {

constexpr QRect kPanel(120, 127, 386, 268);

class Filled final : public QWidget {
public:
    Filled(QWidget* parent, QColor colour)
        : QWidget(parent)
        , colour_(colour) {
        setMouseTracking(true);
    }
    bool moved = false;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }
    void mouseMoveEvent(QMouseEvent*) override { moved = true; }

private:
    QColor colour_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Filled window(nullptr, Qt::blue);
    window.resize(648, 536);
    Filled panel(&window, QColor(0, 64, 0));
    panel.setGeometry(kPanel);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window was never exposed");
    const QImage shown = screenOf(window);
    const qreal dpr = devicePixelRatioOf(window);
    int pixels = 0, differ = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QPointF at = QPointF(x, y) / dpr;
            const bool nearEdge =
                std::abs(at.x() - kPanel.left()) < 2 || std::abs(at.x() - kPanel.right() - 1) < 2 ||
                std::abs(at.y() - kPanel.top()) < 2 || std::abs(at.y() - kPanel.bottom() - 1) < 2;
            if (!nearEdge || !kPanel.adjusted(-2, -2, 2, 2).contains(at.toPoint()))
                continue;
            panel.moved = false;
            const PlatformPosition platform = platformPosition(window, QPoint(x, y));
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::SynchronousDelivery>(
                window.windowHandle(), nextEventTime(), platform.local, platform.global, Qt::NoButton,
                Qt::NoButton, QEvent::MouseMove);
            ++pixels;
            differ += (shown.pixel(x, y) == qRgb(0, 64, 0)) != panel.moved;
        }
    }
    std::printf(
        "display scale %g: at %d of %d device pixels along the widget's edges, the one that paints the "
        "pixel is not the one that gets the pointer\n",
        dpr, differ, pixels);
    return 0;
}
