// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "SceneWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHelpEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

namespace forms {

SceneWindow::SceneWindow(QSize clientSize, const QColor& background)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , scene_(clientSize, background) {
    setFixedSize(clientSize);
    setMouseTracking(true);
    // The scene paints every pixel of the client area itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    scene_.setLook(style(), palette());
    scene_.setDevicePixelRatio(devicePixelRatioF());
    scene_.setChangeListener([this](const QRect& area) { update(area); });
}

SceneWindow::~SceneWindow() {
    scene_.setChangeListener({});
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
        scene_.setLook(style(), palette());
    QWidget::changeEvent(event);
}

void SceneWindow::paintEvent(QPaintEvent*) {
    // A move to a screen of another scale shows up here first.
    scene_.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), scene_.picture());
}

void SceneWindow::mouseMoveEvent(QMouseEvent* event) {
    handlePointerMove(event->position());
}

void SceneWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = scene_.elementAt(event->position());
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
    if (pressed != nullptr && scene_.elementAt(event->position()) == pressed)
        pressed->click();
}

void SceneWindow::leaveEvent(QEvent* event) {
    hover(nullptr);
    QWidget::leaveEvent(event);
}

} // namespace forms
