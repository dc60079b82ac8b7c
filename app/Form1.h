// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Shapes.h"
#include "help/Browser.h"
#include "help/HelpPanel.h"
#include "maze/Round.h"

#include <array>
#include <memory>

// The game's one window: the blue field, the menu labels, the maze and the round that runs on them.
class Form1 final : public forms::Form, private maze::RoundHost {
    Q_OBJECT

public:
    static constexpr QSize kClientSize{648, 536};

    Form1();
    ~Form1() override;

    // The load action, run once the window is shown.
    void Form_Load();

    const maze::Round& round() const { return round_; }
    const forms::Label& label1() const { return *label1_; }
    const forms::Label& label2() const { return *label2_; }
    const forms::Label& label5() const { return *label5_; }
    const forms::Line& line1(int index) const { return *line1_.at(index); }
    const forms::Circle& shape1(int index) const { return *shape1_.at(index); }
    const help::HelpPanel& helpPanel() const { return helpPanel_; }
    // Null until the first link is opened; then the same object for every later one.
    const help::Browser* browserObject() const { return browser.get(); }

protected:
    void pointerMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF pos) override;

private:
    void Label1_Click();
    void Label2_Click();
    void Label5_Click();
    void OpenLink(const QUrl& url);

    // maze::RoundHost
    forms::Colour pointerColour(QPointF pos) override;
    void setSegmentVisible(int index, bool visible) override;
    void setCircleVisible(int index, bool visible) override;
    void setStartLabel(forms::Colour back, const QString& caption, qreal pointSize) override;
    void setStartLabelEnabled(bool enabled) override;
    void setMenuLabelsVisible(bool visible) override;
    void showWinMessage(const QString& text) override;

    forms::Label* label1_ = nullptr;
    forms::Label* label2_ = nullptr;
    forms::Label* label5_ = nullptr;
    std::array<forms::Line*, maze::kStageCount> line1_{};
    std::array<forms::Circle*, maze::kStageCount> shape1_{};
    maze::Round round_{*this};
    help::HelpPanel helpPanel_;
    std::unique_ptr<help::Browser> browser;
};
