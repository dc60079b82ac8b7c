// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Hand.h"

#include "Pupil.h"
#include "Screen.h"

#include <QGuiApplication>
#include <QPointingDevice>
#include <QStyleHints>
#include <QTest>
#include <qpa/qwindowsysteminterface.h>

namespace {

QPointingDevice* stylusDevice() {
    static QPointingDevice* stylus = [] {
        auto* device =
            new QPointingDevice(QStringLiteral("test pen"), 2, QInputDevice::DeviceType::Stylus,
                                QPointingDevice::PointerType::Pen,
                                QInputDevice::Capability::Position | QInputDevice::Capability::Pressure |
                                    QInputDevice::Capability::Hover,
                                1, 2);
        QWindowSystemInterface::registerInputDevice(device);
        return device;
    }();
    return stylus;
}

} // namespace

Hand::Hand(GameWindow& window)
    : window_(window)
    , touchScreen_([] {
        static QPointingDevice* screen = QTest::createTouchDevice();
        return screen;
    }())
    , stylus_(stylusDevice()) {
}

void Hand::touch(int finger, QPoint pos, int state) {
    const QPoint pixel = devicePixelOf(window_, pos);
    QList<QWindowSystemInterface::TouchPoint> points;
    for (auto it = fingers_.cbegin(); it != fingers_.cend(); ++it) {
        if (it.key() == finger)
            continue;
        QWindowSystemInterface::TouchPoint still;
        still.id = it.key();
        still.state = QEventPoint::State::Stationary;
        still.area = QRectF(platformPosition(window_, *it).global, QSizeF(0, 0));
        still.pressure = 1;
        points << still;
    }
    QWindowSystemInterface::TouchPoint point;
    point.id = finger;
    point.state = QEventPoint::State(state);
    point.area = QRectF(platformPosition(window_, pixel).global, QSizeF(0, 0));
    point.pressure = point.state == QEventPoint::State::Released ? 0 : 1;
    points << point;
    if (point.state == QEventPoint::State::Released)
        fingers_.remove(finger);
    else
        fingers_[finger] = pixel;
    QWindowSystemInterface::handleTouchEvent<QWindowSystemInterface::SynchronousDelivery>(
        window_.windowHandle(), nextEventTime(), touchScreen_, points);
}

void Hand::pen(QPoint pos, Qt::MouseButtons buttons) {
    const PlatformPosition at = platformPosition(window_, devicePixelOf(window_, pos));
    QWindowSystemInterface::handleTabletEvent(window_.windowHandle(), nextEventTime(), stylus_, at.local,
                                              at.global, buttons, buttons == Qt::NoButton ? 0 : 0.5, 0, 0, 0,
                                              0, 0);
    QWindowSystemInterface::flushWindowSystemEvents();
}

void Hand::down(QPoint pos, Tool tool, int finger) {
    if (tool == Tool::Pen)
        pen(pos, Qt::LeftButton);
    else
        touch(finger, pos, int(QEventPoint::State::Pressed));
}

void Hand::move(QPoint pos, Tool tool, int finger) {
    if (tool == Tool::Pen)
        pen(pos, Qt::LeftButton);
    else
        touch(finger, pos, int(QEventPoint::State::Updated));
}

void Hand::up(QPoint pos, Tool tool, int finger) {
    if (tool == Tool::Pen)
        pen(pos, Qt::NoButton);
    else
        touch(finger, pos, int(QEventPoint::State::Released));
}

void Hand::hover(QPoint pos) {
    pen(pos, Qt::NoButton);
}

void Hand::tap(QPoint pos, Tool tool) {
    nextEventTime(ulong(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
    down(pos, tool);
    up(pos, tool);
}

void Hand::doubleTap(QPoint pos, Tool tool) {
    tap(pos, tool);
    down(pos, tool);
    up(pos, tool);
}
