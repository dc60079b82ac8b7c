// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "forms/Button.h"
#include "forms/GroupBox.h"
#include "forms/Label.h"
#include "forms/Picture.h"
#include "forms/Scene.h"

#include <QCursor>
#include <QUrl>
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

    void open();
    void close();
    bool isOpen() const { return box_ != nullptr && box_->isVisible(); }
    bool isBuilt() const { return box_ != nullptr; }

    // Parts of the panel, for those who look at it; they exist once it has been opened.
    const forms::GroupBox& box() const { return *box_; }
    const forms::Button& closeButton() const { return *closeButton_; }
    const forms::Picture& authorPortrait() const { return *authorPortrait_; }
    const forms::Picture& designerPicture() const { return *designerPicture_; }
    const forms::Label& purposeText() const { return *purposeText_; }
    const forms::Label& thanksText() const { return *thanksText_; }
    const forms::Label& feedbackText() const { return *feedbackText_; }
    const forms::Label& otherProgramsText() const { return *otherProgramsText_; }
    const forms::Label& artistMailLink() const { return *artistMailLink_; }
    const forms::Label& authorMailLink() const { return *authorMailLink_; }
    const forms::Label& authorSiteLink() const { return *authorSiteLink_; }

private:
    void build();
    forms::Label& addText(QRect rect, const QString& text);
    forms::Label& addLink(QRect rect, const QString& text, const QUrl& url);

    forms::Scene& scene_;
    LinkAction openLink_;
    forms::GroupBox* box_ = nullptr;
    forms::Button* closeButton_ = nullptr;
    forms::Picture* authorPortrait_ = nullptr;
    forms::Picture* designerPicture_ = nullptr;
    forms::Label* purposeText_ = nullptr;
    forms::Label* thanksText_ = nullptr;
    forms::Label* feedbackText_ = nullptr;
    forms::Label* otherProgramsText_ = nullptr;
    forms::Label* artistMailLink_ = nullptr;
    forms::Label* authorMailLink_ = nullptr;
    forms::Label* authorSiteLink_ = nullptr;
    QCursor handCursor_;
};

} // namespace help
