// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "SceneWindow.h"

#include "Accessible.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHelpEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>

namespace scene {

SceneWindow::SceneWindow(QSize clientSize, const QColor& background)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , scene_(clientSize, background) {
    installAccessibility();
    setFixedSize(clientSize);
    setMouseTracking(true);
    // The scene paints every pixel of the client area itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    scene_.setStyle(style(), palette());
    followDevicePixelRatio();
    scene_.setChangeListener([this](const QRect& deviceArea) {
        // The window repaints in logical pixels: take every one that shares a device pixel with the area, and
        // one more, whatever the platform's rounding.
        const qreal dpr = scene_.devicePixelRatio();
        const QRectF logical(QPointF(deviceArea.topLeft()) / dpr, QSizeF(deviceArea.size()) / dpr);
        update(logical.toAlignedRect().adjusted(-1, -1, 1, 1));
    });
    scene_.setAccessibilityListener([this](const Element& element, QAccessible::Event event) {
        announceAccessibility(*this, element, event);
    });
}

void SceneWindow::followDevicePixelRatio() {
    // QWidget::devicePixelRatio() keeps only 16 binary places of the window's, which at a scale such as 1.1
    // is enough to put a position into the neighbouring device pixel.
    const QWindow* window = windowHandle();
    scene_.setDevicePixelRatio(window != nullptr ? window->devicePixelRatio() : devicePixelRatioF());
}

SceneWindow::~SceneWindow() {
    scene_.setChangeListener({});
    scene_.setAccessibilityListener({});
}

void SceneWindow::handlePointerMove(QPointF pos) {
    const Element* over = scene_.elementAt(pos);
    if (over != hovered_)
        hover(over);
    if (over == nullptr)
        backgroundPointerMoved(pos);
}

void SceneWindow::backgroundPointerMoved(QPointF) {
}

void SceneWindow::hover(const Element* element) {
    hovered_ = element;
    if (element != nullptr && element->cursor())
        setCursor(*element->cursor());
    else
        unsetCursor();
}

void SceneWindow::showMessage(const QString& text, const QString& title, MessageIcon icon) {
    if (presenter_) {
        presenter_(text, title);
        return;
    }
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, this);
    // Qt's own modality would also swallow the close button of this window, and a teacher must be able to
    // close the game at any time; so the window blocks its own input while the box is open instead.
    box.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    openMessage_ = &box;
    hover(nullptr);
    if (pressed_ != nullptr)
        std::exchange(pressed_, nullptr)->setPressed(false);
    box.show();
    loop.exec(QEventLoop::DialogExec);
    openMessage_ = nullptr;
}

void SceneWindow::closeEvent(QCloseEvent* event) {
    if (openMessage_ != nullptr)
        openMessage_->done(QDialog::Rejected);
    QWidget::closeEvent(event);
}

void SceneWindow::endProgram() {
    close();
    QCoreApplication::exit(0);
}

bool SceneWindow::event(QEvent* event) {
    if (openMessage_ != nullptr) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ToolTip:
            return true;
        default:
            break;
        }
    }
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::ScreenChangeInternal: // moved to a screen of another scale
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    case QEvent::DevicePixelRatioChange: // the screen's scale changed
#endif
        followDevicePixelRatio();
        break;
    default:
        break;
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const Element* element = scene_.elementAt(help->pos());
        if (element != nullptr && !element->toolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), element->toolTip(), this, element->bounds());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void SceneWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        scene_.setStyle(style(), palette());
    QWidget::changeEvent(event);
}

void SceneWindow::paintEvent(QPaintEvent*) {
    // Platforms that change the scale without telling the window show it here first.
    followDevicePixelRatio();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), scene_.picture());
}

// Qt's widget event delivery rounds position() to whole logical pixels, which at a scale above 1 can be a
// neighbouring device pixel; the window's own position keeps the platform's precision.
void SceneWindow::mouseMoveEvent(QMouseEvent* event) {
    handlePointerMove(event->scenePosition());
}

void SceneWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = scene_.elementAt(event->scenePosition());
    if (pressed_ != nullptr)
        pressed_->setPressed(true);
}

void SceneWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    Element* pressed = std::exchange(pressed_, nullptr);
    if (pressed != nullptr)
        pressed->setPressed(false);
    // A click is a press and a release on the same element, which must still take input by then.
    if (pressed != nullptr && scene_.elementAt(event->scenePosition()) == pressed)
        pressed->click();
}

// Pupils double-click everything: the press that began the double click has already made its click, and
// Qt would otherwise deliver the second press as one more.
void SceneWindow::mouseDoubleClickEvent(QMouseEvent*) {
}

void SceneWindow::leaveEvent(QEvent* event) {
    hover(nullptr);
    QWidget::leaveEvent(event);
}

} // namespace scene
