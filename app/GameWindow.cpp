// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GameWindow.h"

#include "help/Contacts.h"
#include "scene/Font.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {

#include "tropilka.xpm"

QFont menuFont() {
    QFont font = scene::serifFont(16);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QFont startFont() {
    QFont font = scene::defaultFont();
    font.setBold(true);
    return font;
}

QString programName() {
    return QStringLiteral(TROPILKA_DISPLAY_NAME);
}

QString titleText() {
    return programName() + QStringLiteral("   ver. ") + QStringLiteral(TROPILKA_VERSION);
}

// The instruction stays on the start label, disabled, all through a round: it must be easy to read. This
// classic dark grey reads at about 5 to 1 on the path's light yellow, and its blends with the yellow are
// none of the colours a round reacts to.
constexpr QColor kDisabledText(109, 109, 109);

} // namespace

GameWindow::GameWindow(DisplayMode mode)
    : SceneWindow(kClientSize, QColor::fromRgb(maze::kFieldBlue),
                  mode == DisplayMode::Window ? Size::Fixed : Size::Fitted)
    , mode_(mode)
    // In a kiosk the links are shown but open nothing: a pupil must not reach a browser or mail program.
    , helpPanel_(
          scene(), mode == DisplayMode::Kiosk ? help::HelpPanel::LinkAction()
                                              : [this](const QUrl& url) { openLink(url); }) {
    setWindowTitle(titleText());
    // Read from the compiled-in picture: loading it as a file would make Qt try its image plug-ins first.
    setWindowIcon(QIcon(QPixmap(tropilka_xpm)));
    QPalette colours = palette();
    colours.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
    setPalette(colours);

    // Stacking order, bottom first: the start label, the maze, then the help and exit labels.
    scene::Scene& scene = this->scene();
    startLabel_ = &scene.add<scene::Label>(QRect(379, 176, 150, 65), QString(), startFont());
    startLabel_->setAlignment(Qt::AlignHCenter);
    setStartLabelLook(maze::firstIdleLook());
    startLabel_->setClickAction([this] { round_.start(); });
    startLabel_->setAccessibleRole(QAccessible::Button);

    for (const maze::MazePiece& piece : maze::kStackingOrder) {
        const auto stage = std::size_t(piece.stage);
        if (piece.kind == maze::MazePiece::Segment) {
            const maze::Segment& s = maze::kSegments[stage];
            segments_[stage] = &scene.add<scene::Line>(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2), s.width,
                                                       QColor::fromRgb(maze::kPathYellow));
            segments_[stage]->setVisible(false);
        } else {
            const maze::Target& t = maze::kTargets[stage];
            targets_[stage] = &scene.add<scene::Circle>(QRect(t.left, t.top, t.diameter, t.diameter),
                                                        QColor::fromRgb(t.color));
            targets_[stage]->setVisible(false);
        }
    }

    helpLabel_ = &scene.add<scene::Label>(QRect(512, 16, 81, 25), QStringLiteral("Помощь"), menuFont());
    helpLabel_->setAlignment(Qt::AlignHCenter);
    helpLabel_->setClickAction([this] { helpPanel_.open(); });
    helpLabel_->setAccessibleRole(QAccessible::Button);
    exitLabel_ = &scene.add<scene::Label>(QRect(48, 16, 81, 25), QStringLiteral("Выход"), menuFont());
    exitLabel_->setAlignment(Qt::AlignHCenter);
    exitLabel_->setClickAction([this] { endProgram(); });
    exitLabel_->setAccessibleRole(QAccessible::Button);

    if (mode == DisplayMode::Kiosk) {
        exitLabel_->setVisible(false);
        // Wherever the focus is, the win message's box included.
        auto* chord = new QShortcut(leavingChord(), this);
        chord->setContext(Qt::ApplicationShortcut);
        connect(chord, &QShortcut::activated, this, &GameWindow::leave);
#if QT_CONFIG(sessionmanager)
        // Logging out or shutting down ends the game like any other program. A Qt without session management
        // (the portable build's) loses its display then and ends all the same.
        connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { leaving_ = true; });
#endif
    }
}

GameWindow::~GameWindow() = default;

QKeySequence GameWindow::leavingChord() {
    // Three modifiers and a letter, held together: no child presses that by chance. Qt matches the letter by
    // its place on a Latin layout too, so the chord works with the Russian layout on.
    return QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_Q);
}

void GameWindow::present() {
    if (mode_ == DisplayMode::Window) {
        show();
        return;
    }
    // Where no window manager grants the full screen, the window covers the screen all the same.
    if (const QScreen* screen = this->screen())
        setGeometry(screen->geometry());
    showFullScreen();
}

void GameWindow::leave() {
    leaving_ = true;
    endProgram();
}

void GameWindow::changeEvent(QEvent* event) {
    // A kiosk comes straight back when something minimizes it.
    if (event->type() == QEvent::WindowStateChange && mode_ == DisplayMode::Kiosk &&
        (windowState() & Qt::WindowMinimized) != 0)
        QTimer::singleShot(0, this, [this] {
            if (!leaving_)
                showFullScreen();
        });
    SceneWindow::changeEvent(event);
}

void GameWindow::closeEvent(QCloseEvent* event) {
    // Alt+F4, the title bar and the taskbar all ask here; in a kiosk the answer is no.
    if (mode_ == DisplayMode::Kiosk && !leaving_) {
        event->ignore();
        return;
    }
    SceneWindow::closeEvent(event);
}

void GameWindow::backgroundPointerMoved(QPointF pos) {
    round_.pointerMoved(pos);
}

void GameWindow::contactWay(QPointF from, QPointF to) {
    round_.contactWay(from, to);
}

void GameWindow::openLink(const QUrl& url) {
    // A desktop without a browser or mail program is no reason to end the game: say so and go on.
    if (!QDesktopServices::openUrl(url))
        showMessage(help::cannotOpenText(url), windowTitle(), MessageIcon::Warning);
}

std::optional<maze::Rgb> GameWindow::colorUnderPointer(QPointF pos) {
    return colorAt(pos);
}

bool GameWindow::wayShows(QPointF from, QPointF to, maze::Rgb colour) {
    return scene().wayShows(from, to, colour);
}

// Full screen on a large panel, erasing a lost round's path writes more pixels than a pointer move has time
// for, so the idle picture is kept, at the cost of a second picture's memory. A window at its own size erases
// its path in a fraction of that time.
bool GameWindow::keepsIdlePicture() const {
    return mode_ != DisplayMode::Window;
}

void GameWindow::roundStarting() {
    if (keepsIdlePicture() && !scene().keepsPicture())
        scene().keepPicture();
}

// The copy is made ahead, once the idle picture is on screen, so that the click on "start" does not wait
// for it; a round started before then keeps the picture itself.
void GameWindow::paintEvent(QPaintEvent* event) {
    SceneWindow::paintEvent(event);
    if (keepsIdlePicture() && !round_.isActive() && !scene().keepsPicture()) {
        QTimer::singleShot(0, this, [this] {
            if (!round_.isActive() && !scene().keepsPicture())
                scene().keepPicture();
        });
    }
}

void GameWindow::setSegmentVisible(int stage, bool visible) {
    segments_.at(std::size_t(stage))->setVisible(visible);
}

void GameWindow::setTargetVisible(int stage, bool visible) {
    targets_.at(std::size_t(stage))->setVisible(visible);
}

void GameWindow::setStartLabelLook(const maze::StartLabelLook& look) {
    startLabel_->setBackgroundColor(QColor::fromRgb(look.background));
    startLabel_->setText(look.text);
    QFont font = startLabel_->font();
    font.setPixelSize(look.fontPixelSize);
    startLabel_->setFont(font);
}

void GameWindow::setStartLabelEnabled(bool enabled) {
    startLabel_->setEnabled(enabled);
}

void GameWindow::setMenuVisible(bool visible) {
    exitLabel_->setVisible(visible && mode_ != DisplayMode::Kiosk);
    helpLabel_->setVisible(visible);
}

void GameWindow::showWinMessage(const QString& text) {
    // Where the title is empty, the desktop would show the executable's name instead.
    showMessage(text, programName());
}
