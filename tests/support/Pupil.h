// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Screen.h"
#include "app/GameWindow.h"

#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QUrl>
#include <memory>

// Points of the window the tests name, in logical pixels. The start label where the first segment leaves it:
// a click there starts a round with the pupil on the path.
inline constexpr QPoint kStartOnPath(385, 216);
// The start label's right-hand end, which the open help panel leaves uncovered.
inline constexpr QPoint kStartBesideHelp(517, 200);
// Blue at every stage, away from the maze and the labels.
inline constexpr QPoint kAlwaysBlue(2, 530);

// A test pupil: plays the game through the window system's own path, as a mouse would: every press,
// release and move is reported at a whole device pixel, as platforms report them, and goes through Qt's
// event delivery to the window. It finds its way by looking at what the window shows, as a person would.
class Pupil {
public:
    explicit Pupil(GameWindow& window);

    // Every message the window showed, in order; nothing blocks.
    const QStringList& messages() const { return messages_; }

    // Positions in logical pixels stand for the device pixel under them.
    void click(QPoint pos);
    // Two clicks in quick succession, which the platform reports as a click and a double click.
    void doubleClick(QPoint pos);
    void moveTo(QPointF pos, Qt::MouseButtons buttons = Qt::NoButton);
    void moveToDevicePixel(QPoint pixel, Qt::MouseButtons buttons = Qt::NoButton);
    QPoint position() const { return position_; }
    // Where a finger or pen left the pupil, for the mouse to go on from.
    void setPosition(QPoint pos) { position_ = pos; }
    // Every position moved to, in order.
    const QList<QPoint>& trail() const { return trail_; }

    // Clicks the start label where the path leaves it.
    void startRound();
    // A way inside the visible path, one pixel a step, from where the pupil is to the centre of the current
    // stage's circle, keeping clear of blue; empty where there is none.
    QList<QPoint> routeToCurrentCircle() const;
    // Walks that way, one pixel per move; stops early once the stage changes. False when there is no such way
    // or the round ended.
    bool walkToCurrentCircle();
    // Starts a round and reaches the given stage.
    bool reachStage(int stage);
    // Jumps from circle to circle to the stage, one reported move each, so a jump over blue does not lose:
    // on from the round that runs, or in a new one if none does or it is past the stage (which touching blue
    // ends). False when the round is not at the stage then.
    bool jumpToStage(int stage);
    // From inside the path, walks straight out onto the nearest blue pixel.
    bool walkOntoBlue();

    // Opens the help panel with its label, and closes it with its cross.
    void openHelp();
    void closeHelp();

    // What the window shows, one sample per logical pixel.
    QImage view() const;

private:
    bool walk(const QList<QPoint>& route, int stageAtStart);
    void deliver(QEvent::Type type, QPoint pixel, Qt::MouseButtons buttons, Qt::MouseButton button);

    GameWindow& window_;
    QStringList messages_;
    QPoint position_;
    QList<QPoint> trail_;
};

// The mode the tests run the window in: the test's TROPILKA_TEST_MODE (fullscreen or kiosk), the window
// otherwise.
DisplayMode testedMode();
// A new game window in that mode, shown and exposed, as the program starts it.
std::unique_ptr<GameWindow> shownWindow();

// Such a window and a pupil at it, for auto&& [window, pupil] = Game();
struct Game {
    Game()
        : window(shownWindow())
        , pupil(*window) {}
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    std::unique_ptr<GameWindow> window;
    Pupil pupil;
};

// The time stamp, in milliseconds, of the next event any test pupil reports, mouse, finger or pen: `by`
// after the last.
ulong nextEventTime(ulong by = 1);
// Where the platform reports a device pixel of the window: in its own pixels, on the screen and in the
// window.
struct PlatformPosition {
    QPointF local;
    QPointF global;
};
PlatformPosition platformPosition(const QWidget& window, QPoint devicePixel);

// The window's colour read-back at each of its device pixels, read at the position pointer events report for
// it.
QImage readBack(GameWindow& window);

// The window's colour read-back at the device pixel under a point of its layout.
std::optional<QRgb> readBackAt(GameWindow& window, QPointF layoutPos);

// The centre pixel of a target circle of the maze.
QPoint targetCentre(int stage);

// The help panel's links in the panel's order, once it has been opened, with the addresses they must open.
struct HelpLink {
    const scene::Label* label;
    QUrl url;
};
QList<HelpLink> helpLinks(const GameWindow& window);
