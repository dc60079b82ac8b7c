// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "GameWindow.h"

#include "help/Contacts.h"
#include "scene/Font.h"

#include <QDesktopServices>
#include <QIcon>

namespace {

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
    return QStringLiteral("Тропилка");
}

QString titleText() {
    return programName() + QStringLiteral("   ver. ") + QStringLiteral(TROPILKA_VERSION);
}

// The instruction stays on the start label, disabled, all through a round: it must be easy to read. This
// classic dark grey reads at about 5 to 1 on the path's light yellow, and its blends with the yellow are
// none of the colours a round reacts to.
constexpr QColor kDisabledText(109, 109, 109);

} // namespace

GameWindow::GameWindow()
    : SceneWindow(kClientSize, QColor::fromRgb(maze::kFieldBlue))
    , helpPanel_(scene(), [this](const QUrl& url) { openLink(url); }) {
    setWindowTitle(titleText());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tropilka.xpm")));
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
}

GameWindow::~GameWindow() = default;

void GameWindow::backgroundPointerMoved(QPointF pos) {
    round_.pointerMoved(pos);
}

void GameWindow::openLink(const QUrl& url) {
    // A desktop without a browser or mail program is no reason to end the game: say so and go on.
    if (!QDesktopServices::openUrl(url))
        showMessage(help::cannotOpenText(url), windowTitle(), MessageIcon::Warning);
}

std::optional<maze::Rgb> GameWindow::colorUnderPointer(QPointF pos) {
    return colorAt(pos);
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
    exitLabel_->setVisible(visible);
    helpLabel_->setVisible(visible);
}

void GameWindow::showWinMessage(const QString& text) {
    // Where the title is empty, the desktop would show the executable's name instead.
    showMessage(text, programName());
}
