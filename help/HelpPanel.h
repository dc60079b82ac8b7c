// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/Button.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/Picture.h"
#include "forms/Scene.h"

#include <QCursor>
#include <QUrl>
#include <array>
#include <functional>

namespace help {

// The dark-green help panel: who made the program, what it is for, thanks, and three contact links. It is
// built the first time it opens, on top of everything the window has, so a start that never needs it
// never pays for its pictures.
class HelpPanel final {
public:
    using LinkAction = std::function<void(const QUrl&)>;

    HelpPanel(forms::Scene& scene, LinkAction openLink);
    HelpPanel(const HelpPanel&) = delete;
    HelpPanel& operator=(const HelpPanel&) = delete;

    void show();
    void hide();
    bool isOpen() const { return frame1_ != nullptr && frame1_->isVisible(); }
    bool isBuilt() const { return frame1_ != nullptr; }

    // Parts of the panel, for those who look at it; they exist once it has been shown.
    const forms::Frame& frame1() const { return *frame1_; }
    const forms::Button& command1() const { return *command1_; }
    const forms::Picture& picture1(int index) const { return *picture1_.at(index); }
    const forms::Label& label3() const { return *label3_; }
    const forms::Label& label4() const { return *label4_; }
    const forms::Label& label6() const { return *label6_; }
    const forms::Label& label7() const { return *label7_; }
    const forms::Label& label8() const { return *label8_; }
    const forms::Label& label9() const { return *label9_; }
    const forms::Label& label19() const { return *label19_; }

private:
    void build();
    forms::Label& addText(QRect rect, const QString& text, forms::Colour fore);
    forms::Label& addLink(QRect rect, const QString& text, const QUrl& url);

    forms::Scene& scene_;
    LinkAction openLink_;
    forms::Frame* frame1_ = nullptr;
    forms::Button* command1_ = nullptr;
    std::array<forms::Picture*, 2> picture1_{};
    forms::Label* label3_ = nullptr;
    forms::Label* label4_ = nullptr;
    forms::Label* label6_ = nullptr;
    forms::Label* label7_ = nullptr;
    forms::Label* label8_ = nullptr;
    forms::Label* label9_ = nullptr;
    forms::Label* label19_ = nullptr;
    QCursor handCursor_;
};

} // namespace help
