// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Contact.h"
#include "Scene.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

class QTabletEvent;
class QTouchEvent;

namespace scene {

// A window whose whole content is one Scene: at the layout's own size, fixed, or fitted to whatever size the
// window is given (a full screen), the layout scaled and centred. It dispatches clicks and taps to the
// topmost enabled element under the pointer and pointer moves to its own background where no element takes
// them, follows one finger or pen in contact with the screen as the pointer, shows tooltips and element
// cursors, and offers a modal message box and the end of the program.
class SceneWindow : public QWidget {
    Q_OBJECT

public:
    enum class Size { Fixed, Fitted };
    SceneWindow(QSize layoutSize, const QColor& background, Size size);
    ~SceneWindow() override;

    Scene& scene() { return scene_; }
    const Scene& scene() const { return scene_; }
    // The colour this window shows at a point of its client area (logical pixels); nothing outside it.
    std::optional<QRgb> colorAt(QPointF pos) { return scene_.colorAt(pos); }
    // Where an element lies in the client area, in logical pixels.
    QRect windowRect(const Element& element) const;

    // What a pointer move at pos does, as the mouse event handler runs it: the entry point for moves that
    // do not come from the platform.
    void handlePointerMove(QPointF pos);

    enum class MessageIcon { None, Warning };
    // A modal message box with one OK button; returns when it is closed.
    void showMessage(const QString& text, const QString& title, MessageIcon icon = MessageIcon::None);
    using MessagePresenter = std::function<void(const QString& text, const QString& title)>;
    // Replaces the message box, so a test can record messages instead of blocking on them.
    void setMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }

    // Ends the program at once with exit status 0.
    void endProgram();

    // While a message box is open the window takes no pointer input.
    bool isBlockedByMessage() const { return openMessage_ != nullptr; }

protected:
    // A pointer move over the window's own background: runs only where no element takes the pointer.
    virtual void backgroundPointerMoved(QPointF pos);
    // A finger or pen in contact went from one point of the client area to another: moved, or lifted at
    // `from` and landed at `to`. Runs before the move or landing is handed on, wherever it is.
    virtual void contactWay(QPointF from, QPointF to);

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
#if QT_CONFIG(tabletevent)
    void tabletEvent(QTabletEvent* event) override;
#endif
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void hover(const Element* element);
    // Places the picture anew when the window's device pixel ratio or size has changed.
    void followPlacement();
    void touch(QTouchEvent* event);
    void follow(const Contact::Step& step);
    void releaseContactPress();

    Scene scene_;
    const Size size_;
    const Element* hovered_ = nullptr;
    Element* pressed_ = nullptr;
    Contact contact_;
    Element* contactPressed_ = nullptr;
    // Where the pointer, a finger or the pen was last seen: a landing's way starts there.
    QPointF lastPointer_;
    MessagePresenter presenter_;
    QDialog* openMessage_ = nullptr;
};

} // namespace scene
