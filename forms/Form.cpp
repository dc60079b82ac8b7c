// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Form.h"

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

Form::Form(QSize clientSize, Colour background)
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

Form::~Form() {
    scene_.setChangeListener({});
}

void Form::movePointer(QPointF pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    const Element* over = scene_.elementAt(pos);
    if (over != hovered_)
        hover(over);
    if (over == nullptr)
        pointerMoved(buttons, modifiers, pos);
}

void Form::pointerMoved(Qt::MouseButtons, Qt::KeyboardModifiers, QPointF) {
}

void Form::hover(const Element* element) {
    hovered_ = element;
    if (element != nullptr && element->cursor())
        setCursor(*element->cursor());
    else
        unsetCursor();
}

void Form::showMessage(const QString& prompt, const QString& title, MessageIcon icon) {
    if (presenter_) {
        presenter_(prompt, title);
        return;
    }
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, prompt,
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

void Form::closeEvent(QCloseEvent* event) {
    if (openMessage_ != nullptr)
        openMessage_->done(QDialog::Rejected);
    QWidget::closeEvent(event);
}

void Form::endProgram() {
    close();
    QCoreApplication::exit(0);
}

bool Form::event(QEvent* event) {
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

void Form::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        scene_.setLook(style(), palette());
    QWidget::changeEvent(event);
}

void Form::paintEvent(QPaintEvent*) {
    // A move to a screen of another scale shows up here first.
    scene_.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), scene_.picture());
}

void Form::mouseMoveEvent(QMouseEvent* event) {
    movePointer(event->position(), event->buttons(), event->modifiers());
}

void Form::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = scene_.elementAt(event->position());
    if (pressed_ != nullptr)
        pressed_->setPressed(true);
}

void Form::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    Element* pressed = std::exchange(pressed_, nullptr);
    if (pressed != nullptr)
        pressed->setPressed(false);
    // A click is a press and a release on the same element, which must still take input by then.
    if (pressed != nullptr && scene_.elementAt(event->position()) == pressed)
        pressed->click();
}

void Form::leaveEvent(QEvent* event) {
    hover(nullptr);
    QWidget::leaveEvent(event);
}

} // namespace forms
