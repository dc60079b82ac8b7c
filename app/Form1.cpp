// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "help/Contacts.h"

#include <QIcon>

namespace {

using forms::FontSpec;
using forms::rgb;

constexpr forms::Colour kFieldBlue = rgb(0, 0, 255);
constexpr forms::Colour kStartBack = rgb(255, 192, 255);

// Faces that show Cyrillic stand in where the designed ones are missing.
FontSpec startFont() {
    FontSpec font = forms::defaultFont();
    font.pointSize = 18;
    font.bold = true;
    return font;
}

FontSpec menuFont() {
    return {{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
             QStringLiteral("DejaVu Serif")},
            12,
            true,
            true};
}

QString titleText() {
    return QStringLiteral("Тропилка   ver. ") + QStringLiteral(TROPILKA_VERSION);
}

} // namespace

Form1::Form1()
    : Form(kClientSize, kFieldBlue)
    , helpPanel_(scene(), [this](const QUrl& url) { OpenLink(url); }) {
    setWindowTitle(titleText());
    setWindowIcon(QIcon(QStringLiteral(":/icons/tropilka.xpm")));

    // Stacking order, bottom first: the start label, the maze, then the help and exit labels.
    forms::Scene& scene = this->scene();
    label1_ = &scene.add<forms::Label>(QRect(379, 176, 150, 65), QStringLiteral("  Старт игры"), startFont());
    label1_->setBackColour(kStartBack);
    label1_->setAlignment(Qt::AlignHCenter);
    label1_->setClickAction([this] { Label1_Click(); });

    for (const maze::MazeElement& element : maze::kPaintOrder) {
        const int i = element.index;
        if (element.kind == maze::MazeElement::Segment) {
            const maze::SegmentSpec& s = maze::kSegments[i];
            line1_[i] =
                &scene.add<forms::Line>(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2), s.width, maze::kPathYellow);
            line1_[i]->setVisible(false);
        } else {
            const maze::CircleSpec& c = maze::kCircles[i];
            shape1_[i] = &scene.add<forms::Circle>(QRect(c.left, c.top, c.width, c.height), c.colour);
            shape1_[i]->setVisible(false);
        }
    }

    label5_ = &scene.add<forms::Label>(QRect(512, 16, 81, 25), QStringLiteral("Помощь"), menuFont());
    label5_->setAlignment(Qt::AlignHCenter);
    label5_->setClickAction([this] { Label5_Click(); });
    label2_ = &scene.add<forms::Label>(QRect(48, 16, 81, 25), QStringLiteral("Выход"), menuFont());
    label2_->setAlignment(Qt::AlignHCenter);
    label2_->setClickAction([this] { Label2_Click(); });
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    round_.Load();
}

void Form1::pointerMoved(Qt::MouseButtons, Qt::KeyboardModifiers, QPointF pos) {
    round_.TestPointerColor(pos);
}

void Form1::Label1_Click() {
    round_.StartRound();
}

void Form1::Label2_Click() {
    endProgram();
}

void Form1::Label5_Click() {
    helpPanel_.show();
}

void Form1::OpenLink(const QUrl& url) {
    if (!browser)
        browser = std::make_unique<help::Browser>();
    // A desktop without a browser or mail program is no reason to end the game: say so and go on.
    if (!browser->Navigate(url))
        showMessage(help::cannotOpenText(url), windowTitle(), MessageIcon::Warning);
}

forms::Colour Form1::pointerColour(QPointF pos) {
    return colourAt(pos);
}

void Form1::setSegmentVisible(int index, bool visible) {
    line1_.at(index)->setVisible(visible);
}

void Form1::setCircleVisible(int index, bool visible) {
    shape1_.at(index)->setVisible(visible);
}

void Form1::setStartLabel(forms::Colour back, const QString& caption, qreal pointSize) {
    label1_->setBackColour(back);
    label1_->setCaption(caption);
    label1_->setFontPointSize(pointSize);
}

void Form1::setStartLabelEnabled(bool enabled) {
    label1_->setEnabled(enabled);
}

void Form1::setMenuLabelsVisible(bool visible) {
    label2_->setVisible(visible);
    label5_->setVisible(visible);
}

void Form1::showWinMessage(const QString& text) {
    showMessage(text, QString());
}
