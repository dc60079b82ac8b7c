// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Screen.h"

#include "scene/SceneWindow.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QStringList>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <qpa/qplatformbackingstore.h>

QImage screenOf(QWidget& window) {
    QCoreApplication::processEvents();
    // A copy: the backing store may hand out its live buffer (Qt 6.8 does), which the next repaint changes.
    return window.backingStore()->handle()->toImage().convertToFormat(QImage::Format_RGB32).copy();
}

qreal devicePixelRatioOf(const QWidget& window) {
    return window.windowHandle()->devicePixelRatio();
}

QPoint devicePixelOf(const scene::SceneWindow& window, QPointF pos) {
    const QPointF device = window.scene().toDevice(pos);
    return QPoint(int(std::floor(device.x() + 1e-6)), int(std::floor(device.y() + 1e-6)));
}

QRect deviceRectOf(const scene::SceneWindow& window, const QRect& layoutRect) {
    const scene::Scene& scene = window.scene();
    return QRectF(scene.toDevice(layoutRect.topLeft()), QSizeF(layoutRect.size()) * scene.placement().scale)
        .toAlignedRect();
}

QString differences(const QImage& expected, const QImage& actual) {
    if (expected.size() != actual.size())
        return QString::asprintf("sizes differ: %dx%d expected, %dx%d found", expected.width(),
                                 expected.height(), actual.width(), actual.height());
    const QImage a = expected.convertToFormat(QImage::Format_RGB32);
    const QImage b = actual.convertToFormat(QImage::Format_RGB32);
    QStringList found;
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ < 5)
                found << QString::asprintf("%d,%d #%06x instead of #%06x", x, y, b.pixel(x, y) & 0xffffffu,
                                           a.pixel(x, y) & 0xffffffu);
    if (count == 0)
        return {};
    return QStringLiteral("%1 device pixels differ: %2").arg(count).arg(found.join(QStringLiteral("; ")));
}
