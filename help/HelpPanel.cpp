// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpPanel.h"

#include "Contacts.h"

#include <QFontMetrics>
#include <QPixmap>

namespace help {

namespace {

using forms::rgb;

constexpr forms::Colour kDarkGreen = rgb(0, 64, 0);
constexpr forms::Colour kWhite = rgb(255, 255, 255);
constexpr forms::Colour kCyan = rgb(0, 255, 255);
constexpr QRect kPanelRect(120, 127, 386, 268);

// The pointing hand's fingertip, in the cursor image.
constexpr QPoint kHandHotSpot(8, 0);

QRect inPanel(int left, int top, int width, int height) {
    return QRect(kPanelRect.left() + left, kPanelRect.top() + top, width, height);
}

QString panelCaption() {
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

HelpPanel::HelpPanel(forms::Scene& scene, LinkAction openLink)
    : scene_(scene)
    , openLink_(std::move(openLink)) {
}

void HelpPanel::show() {
    if (frame1_ == nullptr)
        build();
    frame1_->setVisible(true);
}

void HelpPanel::hide() {
    if (frame1_ != nullptr)
        frame1_->setVisible(false);
}

forms::Label& HelpPanel::addText(QRect rect, const QString& text, forms::Colour fore) {
    forms::Label& label = scene_.add<forms::Label>(rect, text, forms::defaultFont(), frame1_);
    label.setBackColour(kDarkGreen);
    label.setForeColour(fore);
    return label;
}

forms::Label& HelpPanel::addLink(QRect rect, const QString& text, const QUrl& url) {
    // An address must be readable whole: widen its box to the text where the face needs it.
    const int textWidth = QFontMetrics(toQFont(forms::defaultFont())).horizontalAdvance(text) + 1;
    rect.setWidth(std::max(rect.width(), textWidth));
    forms::Label& link = addText(rect, text, kCyan);
    link.setCursor(handCursor_);
    link.setClickAction([this, url] { openLink_(url); });
    return link;
}

void HelpPanel::build() {
    handCursor_ = QCursor(QPixmap(QStringLiteral(":/cursors/hand.xpm")), kHandHotSpot.x(), kHandHotSpot.y());

    forms::FontSpec captionFont = forms::defaultFont();
    captionFont.bold = true;
    frame1_ = &scene_.add<forms::Frame>(kPanelRect, panelCaption(), captionFont, kDarkGreen,
                                        forms::kSystemHighlightText);
    frame1_->setVisible(false);

    picture1_[0] = &scene_.add<forms::Picture>(
        inPanel(18, 23, 105, 137), QImage(QStringLiteral(":/pictures/author.png")), kDarkGreen, frame1_);
    picture1_[0]->setToolTip(portraitToolTip());
    picture1_[1] = &scene_.add<forms::Picture>(
        inPanel(254, 24, 113, 137), QImage(QStringLiteral(":/pictures/designer.png")), kDarkGreen, frame1_);

    label3_ = &addText(inPanel(138, 32, 100, 121), purposeAndCredit(), forms::kSystemHighlightText);
    label4_ = &addText(inPanel(19, 176, 351, 44), iconThanks(), kWhite);
    label6_ = &addLink(inPanel(85, 202, 127, 17), iconArtistMail(), iconArtistMailUrl());
    label8_ = &addText(inPanel(18, 222, 231, 18), QStringLiteral("Отзывы и свои предложения присылайте на"),
                       forms::kSystemHighlightText);
    label19_ = &addLink(inPanel(250, 222, 72, 17), authorMail(), authorMailUrl());
    label9_ = &addText(inPanel(18, 239, 204, 18), QStringLiteral("Другие мои программы Вы найдёте на"),
                       forms::kSystemHighlightText);
    label7_ = &addLink(inPanel(221, 239, 99, 17), authorSite(), authorSiteUrl());
    label7_->setToolTip(QStringLiteral("Захады нэ бойса, виходи - не плач."));

    forms::FontSpec crossFont{
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
        8.25,
        true,
        false};
    command1_ = &scene_.add<forms::Button>(inPanel(368, 0, 17, 17), QStringLiteral("Х"), crossFont, frame1_);
    command1_->setToolTip(QStringLiteral("Закрыть помощь"));
    command1_->setClickAction([this] { hide(); });
}

} // namespace help
