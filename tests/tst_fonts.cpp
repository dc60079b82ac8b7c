// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The texts with whatever faces the computer has. Run with the faces the layout was made for, where every
// text keeps its size; with only the fallback face, which is wider, where every text of the window and the
// open help panel must still show whole inside its box; and with only the fallback face but the made-for
// faces carried in a folder (TROPILKA_CARRIED_FACES), as the portable download has them.
#include "app/CarriedFaces.h"
#include "app/GameWindow.h"
#include "support/Pupil.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QTest>

namespace {

// Where the text leaves ink when drawn into a box without being cut off, relative to the box.
QRect inkOf(const QString& text, const QFont& font, QSize box) {
    constexpr int kMargin = 40;
    QImage image(box.width() * 2 + 2 * kMargin, box.height() * 3 + 2 * kMargin, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(kMargin, kMargin), box),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip, text);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x - kMargin, y - kMargin, 1, 1);
    return ink;
}

QString fitProblems(const scene::Label& label, bool mayShrink) {
    const QFont font = label.fittedFont();
    const QRect ink = inkOf(label.text(), font, label.bounds().size());
    QStringList problems;
    // A glyph may reach a pixel left of the box's edge, as italics do; what matters is that nothing is lost
    // to the right or below.
    const QSize box = label.bounds().size();
    if (ink.width() > box.width() || ink.right() >= box.width() || ink.bottom() >= box.height())
        problems << QString::asprintf("\"%s\" at %d px needs %dx%d from its box's corner, its box is %dx%d",
                                      qUtf8Printable(label.text()), font.pixelSize(), ink.right() + 1,
                                      ink.bottom() + 1, box.width(), box.height());
    if (!mayShrink && font.pixelSize() != label.font().pixelSize())
        problems << QString::asprintf("\"%s\" shrinks from %d to %d px with the faces it was made for",
                                      qUtf8Printable(label.text()), label.font().pixelSize(),
                                      font.pixelSize());
    return problems.join(QStringLiteral("; "));
}

} // namespace

class TheFaces : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QString carried = qEnvironmentVariable("TROPILKA_CARRIED_FACES");
        if (!carried.isEmpty())
            QVERIFY2(addCarriedFaces(carried) > 0, qPrintable(QStringLiteral("no faces in ") + carried));
    }

    void everyTextShowsWholeInItsBox() {
        const bool madeFor = QFontDatabase::families().contains(QStringLiteral("Liberation Sans"));
        auto window = shownWindow();
        const QString face = QFontInfo(window->startLabel().font()).family();
        qInfo("the labels are drawn in %s", qPrintable(face));
        QCOMPARE(face, madeFor ? QStringLiteral("Liberation Sans") : QStringLiteral("DejaVu Sans"));

        Pupil pupil(*window);
        pupil.openHelp();
        const help::HelpPanel& panel = window->helpPanel();
        QStringList problems;
        for (const scene::Label* label :
             {&window->startLabel(), &window->exitLabel(), &window->helpLabel(), &panel.purposeText(),
              &panel.thanksText(), &panel.feedbackText(), &panel.otherProgramsText(), &panel.artistMailLink(),
              &panel.authorMailLink(), &panel.authorSiteLink()})
            problems << fitProblems(*label, !madeFor);
        pupil.click(kStartBesideHelp); // a round, for the instruction on the start label
        QVERIFY(window->round().isActive());
        problems << fitProblems(window->startLabel(), !madeFor);
        problems.removeAll(QString());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n"))));

        // The panel's title interrupts its top border, inside the panel.
        QVERIFY(QFontMetrics(panel.box().font()).horizontalAdvance(panel.box().text()) + 12 <=
                panel.box().bounds().width());
    }
};

QTEST_MAIN(TheFaces)
#include "tst_fonts.moc"
