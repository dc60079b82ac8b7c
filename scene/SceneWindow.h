// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scene.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

namespace scene {

// A window with a fixed client area whose whole content is one Scene. It dispatches clicks to the topmost
// enabled element under the pointer and pointer moves to its own background where no element takes them,
// shows tooltips and element cursors, and offers a modal message box and the end of the program.
class SceneWindow : public QWidget {
    Q_OBJECT

public:
    SceneWindow(QSize clientSize, const QColor& background);
    ~SceneWindow() override;

    Scene& scene() { return scene_; }
    // The colour this window shows at a point of its client area (logical pixels); nothing outside it.
    std::optional<QRgb> colorAt(QPointF pos) { return scene_.colorAt(pos); }

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

    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void hover(const Element* element);
    // Renders the picture again when the window's device pixel ratio has changed.
    void followDevicePixelRatio();

    Scene scene_;
    const Element* hovered_ = nullptr;
    Element* pressed_ = nullptr;
    MessagePresenter presenter_;
    QDialog* openMessage_ = nullptr;
};

} // namespace scene
