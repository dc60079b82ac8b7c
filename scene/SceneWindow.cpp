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
#include <QTimer>
#if QT_CONFIG(tabletevent)
#include <QTabletEvent>
#endif
#include <QToolTip>
#include <QTouchEvent>
#include <QWindow>

namespace scene {

namespace {

Qt::WindowFlags flagsFor(SceneWindow::Size size) {
    const Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return size == SceneWindow::Size::Fixed ? flags | Qt::MSWindowsFixedSizeDialogHint : flags;
}

} // namespace

SceneWindow::SceneWindow(QSize layoutSize, const QColor& background, Size size)
    : QWidget(nullptr, flagsFor(size))
    , scene_(layoutSize, background)
    , size_(size) {
    installAccessibility();
    if (size == Size::Fixed)
        setFixedSize(layoutSize);
    else
        resize(layoutSize);
    setMouseTracking(true);
    // A finger or pen is followed here, not turned into mouse events: a tap must not be a jump of the
    // pointer.
    setAttribute(Qt::WA_AcceptTouchEvents);
    // The scene paints every pixel of the client area itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    scene_.setStyle(style(), palette());
    followPlacement();
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

void SceneWindow::followPlacement() {
    // QWidget::devicePixelRatio() keeps only 16 binary places of the window's, which at a scale such as 1.1
    // is enough to put a position into the neighbouring device pixel.
    const QWindow* window = windowHandle();
    const qreal dpr = window != nullptr ? window->devicePixelRatio() : devicePixelRatioF();
    scene_.setPlacement(size_ == Size::Fixed ? Placement::atDesignSize(scene_.layoutSize(), dpr)
                                             : Placement::fitted(scene_.layoutSize(), size(), dpr));
}

SceneWindow::~SceneWindow() {
    scene_.setChangeListener({});
    scene_.setAccessibilityListener({});
}

QRect SceneWindow::windowRect(const Element& element) const {
    return scene_.toWindow(element.bounds()).toAlignedRect();
}

void SceneWindow::handlePointerMove(QPointF pos) {
    lastPointer_ = pos;
    const Element* over = scene_.elementAt(pos);
    if (over != hovered_)
        hover(over);
    if (over == nullptr)
        backgroundPointerMoved(pos);
}

void SceneWindow::backgroundPointerMoved(QPointF) {
}

void SceneWindow::contactWay(QPointF, QPointF) {
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
    releaseContactPress();
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
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
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
        followPlacement();
        break;
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        touch(static_cast<QTouchEvent*>(event));
        return true;
    case QEvent::TouchCancel:
        contact_.cancel();
        releaseContactPress();
        return true;
    default:
        break;
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const Element* element = scene_.elementAt(help->pos());
        if (element != nullptr && !element->toolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), element->toolTip(), this, windowRect(*element));
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

void SceneWindow::resizeEvent(QResizeEvent* event) {
    followPlacement();
    QWidget::resizeEvent(event);
}

void SceneWindow::paintEvent(QPaintEvent*) {
    // Platforms that change the scale without telling the window show it here first.
    followPlacement();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), scene_.picture());
    if (!scene_.isPrepared())
        QTimer::singleShot(0, this, [this] { scene_.prepareAhead(); });
}

// Qt's widget event delivery rounds position() to whole logical pixels, which at a scale above 1 can be a
// neighbouring device pixel; the window's own position keeps the platform's precision.
void SceneWindow::mouseMoveEvent(QMouseEvent* event) {
    handlePointerMove(event->scenePosition());
}

void SceneWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    lastPointer_ = event->scenePosition();
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

// --- A finger or pen in contact: the pointer, with a tap for a click
// -----------------------------------------

void SceneWindow::touch(QTouchEvent* event) {
    event->accept();
    if (const auto step = contact_.touch(event->points(), event->timestamp()))
        follow(*step);
}

// A pen that touches is a finger. A hovering pen shows where it is, with the cursor an element asks for, but
// is no pointer for the background: it hovers up to a finger's width above the glass, and its hover track
// wavers, so taking it as the pointer would end rounds over blue the pen never touched; and a pen lifted over
// blue and put down again on the path is caught by the way between, as a finger is.
#if QT_CONFIG(tabletevent)
void SceneWindow::tabletEvent(QTabletEvent* event) {
    event->accept();
    const QPointF pos = event->scenePosition();
    std::optional<Contact::Step> step;
    switch (event->type()) {
    case QEvent::TabletPress:
        step = contact_.penPressed(pos, event->timestamp());
        break;
    case QEvent::TabletRelease:
        step = contact_.penReleased(pos);
        break;
    default:
        step = contact_.penMoved(pos);
        if (!contact_.isDown())
            hover(scene_.elementAt(pos));
        break;
    }
    if (step)
        follow(*step);
}
#endif

void SceneWindow::follow(const Contact::Step& step) {
    const QPointF from = std::exchange(lastPointer_, step.pos);
    const bool lifted = step.phase == Contact::Phase::Lifted;
    if (!lifted || step.pos != from)
        contactWay(from, step.pos);
    // Only now: the way may have changed what the window shows there.
    Element* over = scene_.elementAt(step.pos);
    // The second tap of a double tap presses nothing, as the second press of a double click.
    if (step.phase == Contact::Phase::Landed && over != nullptr && !step.secondTap) {
        contactPressed_ = over;
        over->setPressed(true);
    }
    if (over == nullptr && (!lifted || step.pos != from))
        backgroundPointerMoved(step.pos);
    if (lifted) {
        Element* pressed = std::exchange(contactPressed_, nullptr);
        if (pressed != nullptr) {
            pressed->setPressed(false);
            // A tap is a landing and a lift on the same element, which must still take input by then.
            if (scene_.elementAt(step.pos) == pressed)
                pressed->click();
        }
    }
}

void SceneWindow::releaseContactPress() {
    if (contactPressed_ != nullptr)
        std::exchange(contactPressed_, nullptr)->setPressed(false);
}

} // namespace scene
