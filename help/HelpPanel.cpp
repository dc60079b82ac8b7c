// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpPanel.h"

#include "Contacts.h"
#include "scene/Font.h"

#include <QFontMetrics>
#include <QPixmap>

namespace help {

namespace {

constexpr QColor kDarkGreen(0, 64, 0);
constexpr QColor kWhite(255, 255, 255);
constexpr QColor kCyan(0, 255, 255);
constexpr QRect kPanelRect(120, 127, 386, 268);

// The pointing hand's fingertip, in the cursor image.
constexpr QPoint kHandHotSpot(8, 0);

QRect inPanel(int left, int top, int width, int height) {
    return QRect(kPanelRect.left() + left, kPanelRect.top() + top, width, height);
}

QString panelTitle() {
    return QStringLiteral("Автор программы — Николай Тропинин");
}

QString purposeAndCredit() {
    return QStringLiteral(
        "Программа предназначена для начальной школы.\n\nЛабиринт нарисовала Маша Тропинина. "
        "Спасибо ей!");
}

QString iconThanks() {
    return QStringLiteral(
        "Большое спасибо Ольге Иконниковой, которая нарисовала для программы иконку с мышкой.\n"
        "Её адрес:");
}

QString portraitToolTip() {
    return QStringLiteral(
        "Здесь нет ничего интересного. Это просто моя фотография. И не надо ковыряться мышкой у "
        "меня в носу !!!");
}

} // namespace

HelpPanel::HelpPanel(scene::Scene& scene, LinkAction openLink)
    : scene_(scene)
    , openLink_(std::move(openLink)) {
}

void HelpPanel::open() {
    if (box_ == nullptr)
        build();
    box_->setVisible(true);
}

void HelpPanel::close() {
    if (box_ != nullptr)
        box_->setVisible(false);
}

// Texts are drawn in the palette's HighlightedText on the panel's green, unless told otherwise.
scene::Label& HelpPanel::addText(QRect rect, const QString& text) {
    scene::Label& label = scene_.add<scene::Label>(rect, text, scene::defaultFont(), box_);
    label.setBackgroundColor(kDarkGreen);
    label.setTextRole(QPalette::HighlightedText);
    return label;
}

scene::Label& HelpPanel::addLink(QRect rect, const QString& text, const QUrl& url) {
    // An address must be readable whole: widen its box to the text where the face needs it.
    const int textWidth = QFontMetrics(scene::defaultFont()).horizontalAdvance(text) + 1;
    rect.setWidth(std::max(rect.width(), textWidth));
    scene::Label& link = addText(rect, text);
    link.setTextColor(kCyan);
    link.setAccessibleRole(QAccessible::Link);
    // Without a way to open them, the links are only text: no hand, nothing to press.
    if (openLink_) {
        link.setCursor(handCursor_);
        link.setClickAction([this, url] { openLink_(url); });
    }
    return link;
}

void HelpPanel::build() {
    handCursor_ = QCursor(QPixmap(QStringLiteral(":/cursors/hand.xpm")), kHandHotSpot.x(), kHandHotSpot.y());

    QFont boldFont = scene::defaultFont();
    boldFont.setBold(true);
    box_ = &scene_.add<scene::GroupBox>(kPanelRect, panelTitle(), boldFont, kDarkGreen);
    box_->setVisible(false);

    authorPortrait_ = &scene_.add<scene::Picture>(
        inPanel(18, 23, 105, 137), QImage(QStringLiteral(":/pictures/author.png")), kDarkGreen, box_);
    authorPortrait_->setToolTip(portraitToolTip());
    authorPortrait_->setAccessibleName(QStringLiteral("Портрет автора"));
    designerPicture_ = &scene_.add<scene::Picture>(
        inPanel(254, 24, 113, 137), QImage(QStringLiteral(":/pictures/designer.png")), kDarkGreen, box_);
    designerPicture_->setAccessibleName(QStringLiteral("Ребёнок за компьютером"));

    purposeText_ = &addText(inPanel(138, 32, 100, 121), purposeAndCredit());
    thanksText_ = &addText(inPanel(19, 176, 351, 44), iconThanks());
    thanksText_->setTextColor(kWhite);
    artistMailLink_ = &addLink(inPanel(85, 202, 127, 17), iconArtistMail(), iconArtistMailUrl());
    feedbackText_ =
        &addText(inPanel(18, 222, 231, 18), QStringLiteral("Отзывы и свои предложения присылайте на"));
    authorMailLink_ = &addLink(inPanel(250, 222, 72, 17), authorMail(), authorMailUrl());
    otherProgramsText_ =
        &addText(inPanel(18, 239, 204, 18), QStringLiteral("Другие мои программы Вы найдёте на"));
    authorSiteLink_ = &addLink(inPanel(221, 239, 99, 17), authorSite(), authorSiteUrl());
    authorSiteLink_->setToolTip(QStringLiteral("Захады нэ бойса, виходи - не плач."));

    closeButton_ = &scene_.add<scene::Button>(inPanel(368, 0, 17, 17), QStringLiteral("Х"), boldFont, box_);
    closeButton_->setToolTip(QStringLiteral("Закрыть помощь"));
    closeButton_->setClickAction([this] { close(); });
}

} // namespace help
