// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scene/Button.h"
#include "scene/GroupBox.h"
#include "scene/Label.h"
#include "scene/Picture.h"
#include "scene/Scene.h"

#include <QCursor>
#include <QUrl>
#include <functional>

namespace help {

// The dark-green help panel: who made the program, what it is for, thanks, and three contact links. It is
// built the first time it opens, on top of everything the window has, so a start that never needs it
// never pays for its pictures. It is part of the window's picture, not a child widget: a round can run
// beside it, and at display scales other than 1 and 1.1 Qt hands the pointer to a child widget along its
// edges where the widget does not paint, or to the window where it does (bench/tropilka_widget_edges counts
// those device pixels); full screen, it must also scale with the field, which Qt cannot do for one widget.
class HelpPanel final {
public:
    using LinkAction = std::function<void(const QUrl&)>;

    // Without a link action the links open nothing.
    HelpPanel(scene::Scene& scene, LinkAction openLink);
    HelpPanel(const HelpPanel&) = delete;
    HelpPanel& operator=(const HelpPanel&) = delete;

    void open();
    void close();
    bool isOpen() const { return box_ != nullptr && box_->isVisible(); }
    bool isBuilt() const { return box_ != nullptr; }

    // Parts of the panel, for those who look at it; they exist once it has been opened.
    const scene::GroupBox& box() const { return *box_; }
    const scene::Button& closeButton() const { return *closeButton_; }
    const scene::Picture& authorPortrait() const { return *authorPortrait_; }
    const scene::Picture& designerPicture() const { return *designerPicture_; }
    const scene::Label& purposeText() const { return *purposeText_; }
    const scene::Label& thanksText() const { return *thanksText_; }
    const scene::Label& feedbackText() const { return *feedbackText_; }
    const scene::Label& otherProgramsText() const { return *otherProgramsText_; }
    const scene::Label& artistMailLink() const { return *artistMailLink_; }
    const scene::Label& authorMailLink() const { return *authorMailLink_; }
    const scene::Label& authorSiteLink() const { return *authorSiteLink_; }

private:
    void build();
    scene::Label& addText(QRect rect, const QString& text);
    scene::Label& addLink(QRect rect, const QString& text, const QUrl& url);

    scene::Scene& scene_;
    LinkAction openLink_;
    scene::GroupBox* box_ = nullptr;
    scene::Button* closeButton_ = nullptr;
    scene::Picture* authorPortrait_ = nullptr;
    scene::Picture* designerPicture_ = nullptr;
    scene::Label* purposeText_ = nullptr;
    scene::Label* thanksText_ = nullptr;
    scene::Label* feedbackText_ = nullptr;
    scene::Label* otherProgramsText_ = nullptr;
    scene::Label* artistMailLink_ = nullptr;
    scene::Label* authorMailLink_ = nullptr;
    scene::Label* authorSiteLink_ = nullptr;
    QCursor handCursor_;
};

} // namespace help
