// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DisplayMode.h"
#include "help/HelpPanel.h"
#include "maze/Round.h"
#include "scene/Label.h"
#include "scene/SceneWindow.h"
#include "scene/Shapes.h"

#include <QKeySequence>
#include <array>

// The game's one window: the blue field, the menu labels, the maze and the round that runs on them.
class GameWindow final : public scene::SceneWindow, private maze::RoundHost {
    Q_OBJECT

public:
    static constexpr QSize kClientSize{648, 536};

    explicit GameWindow(DisplayMode mode = DisplayMode::Window);
    ~GameWindow() override;

    DisplayMode displayMode() const { return mode_; }
    // Shows the window as its mode has it: at its own size, or over the whole screen.
    void present();
    // The teacher's way out of a kiosk: this key chord ends the program, and only it.
    static QKeySequence leavingChord();

    const maze::Round& round() const { return round_; }
    const scene::Label& startLabel() const { return *startLabel_; }
    const scene::Label& exitLabel() const { return *exitLabel_; }
    const scene::Label& helpLabel() const { return *helpLabel_; }
    const scene::Line& segment(int stage) const { return *segments_.at(stage); }
    const scene::Circle& target(int stage) const { return *targets_.at(stage); }
    const help::HelpPanel& helpPanel() const { return helpPanel_; }

protected:
    void backgroundPointerMoved(QPointF pos) override;
    void contactWay(QPointF from, QPointF to) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void openLink(const QUrl& url);
    void leave();
    bool keepsIdlePicture() const;

    // maze::RoundHost
    std::optional<maze::Rgb> colorUnderPointer(QPointF pos) override;
    bool wayShows(QPointF from, QPointF to, maze::Rgb colour) override;
    void roundStarting() override;
    void setSegmentVisible(int stage, bool visible) override;
    void setTargetVisible(int stage, bool visible) override;
    void setStartLabelLook(const maze::StartLabelLook& look) override;
    void setStartLabelEnabled(bool enabled) override;
    void setMenuVisible(bool visible) override;
    void showWinMessage(const QString& text) override;

    const DisplayMode mode_;
    // Set once the program may end: in a kiosk only the teacher's chord or the end of the session end it.
    bool leaving_ = false;
    scene::Label* startLabel_ = nullptr;
    scene::Label* exitLabel_ = nullptr;
    scene::Label* helpLabel_ = nullptr;
    std::array<scene::Line*, maze::kStageCount> segments_{};
    std::array<scene::Circle*, maze::kStageCount> targets_{};
    maze::Round round_{*this};
    help::HelpPanel helpPanel_;
};
