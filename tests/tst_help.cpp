// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The help panel and its links, driven through the window's events: opening and closing, the panel keeping
// pointer moves from the game, the exact URLs handed to the desktop, and what happens when it cannot open
// one.
#include "app/Form1.h"
#include "help/Contacts.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <memory>

namespace {

// The part of the start label that the open panel leaves uncovered.
constexpr QPoint kUncoveredStart(517, 200);

} // namespace

// Stands in for the desktop's browser and mail program.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

class TheHelpPanel : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder_, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder_, "open");
        recorder_.opened.clear();
    }

    void cleanup() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }

    // -- Opening and closing

    void helpOpensThePanelAndTheCrossClosesIt() {
        auto form = shownForm();
        Pupil pupil(*form);
        QVERIFY(!form->helpPanel().isOpen());
        pupil.click(form->label5().bounds().center());
        QVERIFY(form->helpPanel().isOpen());
        const QRect panel = form->helpPanel().frame1().bounds();
        QCOMPARE(panel, QRect(120, 127, 386, 268));
        QCOMPARE(form->colourAt(panel.center()), form->helpPanel().frame1().backColour());
        QCOMPARE(form->helpPanel().command1().caption(), QStringLiteral("Х"));
        pupil.click(form->helpPanel().command1().bounds().center());
        QVERIFY(!form->helpPanel().isOpen());
        QCOMPARE(form->colourAt(panel.center()), maze::kFieldBlue);
        // Neither touched the round, and the panel opens again.
        QVERIFY(!form->round().isActive());
        QCOMPARE(form->label1().caption(), QStringLiteral("  Старт игры"));
        pupil.click(form->label5().bounds().center());
        QVERIFY(form->helpPanel().isOpen());
    }

    // The panel lies above everything, the start label included; its right-hand end stays uncovered.
    void theOpenPanelCoversAllButTheEndOfTheStartLabel() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        pupil.click(QPoint(400, 200)); // on the start label, but under the panel
        QVERIFY(!form->round().isActive());
        pupil.click(kUncoveredStart);
        QVERIFY(form->round().isActive());
        QVERIFY(form->helpPanel().isOpen());
        // The round's changes beneath the panel do not show through it.
        const forms::Colour panelGreen = form->helpPanel().frame1().backColour();
        for (const QPoint p : {QPoint(365, 215), QPoint(495, 200), QPoint(300, 212), QPoint(340, 216)})
            QCOMPARE(form->colourAt(p), panelGreen);
        QCOMPARE(form->colourAt(QPoint(520, 230)), maze::kPathYellow);
    }

    // The pupil can close the panel in the middle of a round and go on.
    void movesOverTheOpenPanelDoNotEndARound() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        pupil.click(kUncoveredStart);
        const QRect panel = form->helpPanel().frame1().bounds();
        for (int y = panel.top(); y <= panel.bottom(); y += 3)
            for (int x = panel.left(); x <= panel.right(); x += 5)
                pupil.moveTo(QPoint(x, y));
        QVERIFY(form->round().isActive());
        QCOMPARE(form->round().currentStage(), 0);

        pupil.click(form->helpPanel().command1().bounds().center());
        QVERIFY(!form->helpPanel().isOpen());
        pupil.moveTo(QPoint(385, 216)); // where the path leaves the start label
        QVERIFY(pupil.walkToCurrentCircle());
        QVERIFY(pupil.walkToCurrentCircle());
        QCOMPARE(form->round().currentStage(), 2);
        QVERIFY(pupil.walkOntoBlue());
        QVERIFY(!form->round().isActive());
    }

    // -- The links

    void eachLinkOpensItsAddressThroughOneBrowserObject() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        const help::HelpPanel& panel = form->helpPanel();
        QVERIFY(form->browserObject() == nullptr);

        pupil.click(panel.label19().bounds().center());
        const help::Browser* browser = form->browserObject();
        QVERIFY(browser != nullptr);
        pupil.click(panel.label6().bounds().center());
        pupil.click(panel.label7().bounds().center());
        pupil.click(panel.label19().bounds().center());
        QCOMPARE(form->browserObject(), browser);

        QCOMPARE(recorder_.opened, QList<QUrl>({QUrl(QStringLiteral("mailto:nt@example.org")),
                                                QUrl(QStringLiteral("mailto:olya@example.org")),
                                                QUrl(QStringLiteral("http://example.org/nt")),
                                                QUrl(QStringLiteral("mailto:nt@example.org"))}));
        // The link shows the address it opens; the web link without its scheme.
        QCOMPARE(QStringLiteral("mailto:") + panel.label19().caption(), recorder_.opened[0].toString());
        QCOMPARE(QStringLiteral("mailto:") + panel.label6().caption(), recorder_.opened[1].toString());
        QCOMPARE(QStringLiteral("http://") + panel.label7().caption(), recorder_.opened[2].toString());
        QVERIFY(panel.isOpen());
    }

    void theLinksAreCyanOnDarkGreenAndReadableWhole() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        const help::HelpPanel& panel = form->helpPanel();
        for (const forms::Label* link : {&panel.label19(), &panel.label6(), &panel.label7()}) {
            QCOMPARE(link->foreColour(), forms::rgb(0, 255, 255));
            QCOMPARE(link->backColour(), forms::rgb(0, 64, 0));
            const QFontMetrics metrics(link->font());
            QVERIFY(metrics.horizontalAdvance(link->caption()) <= link->bounds().width());
            QVERIFY(panel.frame1().bounds().contains(link->bounds()));
        }
    }

    // The desktop may have no browser or mail program: the game says so and goes on as it was.
    void aLinkThatCannotBeOpenedIsReportedAndTheGameGoesOn() {
        cleanup(); // no handlers: the headless platform opens nothing
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        pupil.click(kUncoveredStart);
        pupil.click(form->helpPanel().label7().bounds().center());
        QCOMPARE(pupil.messages().size(), 1);
        QVERIFY(pupil.messages()[0].contains(QStringLiteral("http://example.org/nt")));
        QVERIFY(pupil.messages()[0].startsWith(QStringLiteral("Не удалось открыть адрес")));
        QVERIFY(form->isVisible());
        QVERIFY(form->helpPanel().isOpen());
        QVERIFY(form->round().isActive());
        QCOMPARE(form->round().currentStage(), 0);
        // And the next try uses the same browser object.
        const help::Browser* browser = form->browserObject();
        pupil.click(form->helpPanel().label6().bounds().center());
        QCOMPARE(form->browserObject(), browser);
        QCOMPARE(pupil.messages().size(), 2);
    }

    void thePointerIsAHandOverTheLinksOnly() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        const help::HelpPanel& panel = form->helpPanel();
        for (const forms::Label* link : {&panel.label19(), &panel.label6(), &panel.label7()}) {
            pupil.moveTo(link->bounds().center());
            QCOMPARE(form->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(form->cursor().hotSpot(), QPoint(8, 0));
            QCOMPARE(form->cursor().pixmap().size(), QSize(32, 32));
            pupil.moveTo(panel.label3().bounds().center());
            QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        }
    }

    void theToolTipsSayWhatTheyShould() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        const help::HelpPanel& panel = form->helpPanel();
        const QList<std::pair<const forms::Element*, QString>> expected{
            {&panel.picture1(0),
             QStringLiteral("Здесь нет ничего интересного. Это просто моя фотография. И не надо "
                            "ковыряться мышкой у меня в носу !!!")},
            {&panel.command1(), QStringLiteral("Закрыть помощь")},
            {&panel.label7(), QStringLiteral("Захады нэ бойса, виходи - не плач.")},
        };
        for (const auto& [element, text] : expected) {
            const QPoint at = element->bounds().center();
            QHelpEvent help(QEvent::ToolTip, at, form->mapToGlobal(at));
            QApplication::sendEvent(form.get(), &help);
            QCOMPARE(QToolTip::text(), text);
        }
        // No tooltip over the other picture or a plain text.
        for (const forms::Element* quiet : {static_cast<const forms::Element*>(&panel.picture1(1)),
                                            static_cast<const forms::Element*>(&panel.label8())}) {
            const QPoint at = quiet->bounds().center();
            QHelpEvent help(QEvent::ToolTip, at, form->mapToGlobal(at));
            QApplication::sendEvent(form.get(), &help);
            QTRY_VERIFY(!QToolTip::isVisible());
        }
    }

    // The pictures are shown one image pixel to one window pixel from their boxes' corners.
    void thePicturesHaveTheirExactSizes() {
        auto form = shownForm();
        Pupil pupil(*form);
        pupil.click(form->label5().bounds().center());
        QCOMPARE(form->helpPanel().picture1(0).image().size(), QSize(100, 133));
        QCOMPARE(form->helpPanel().picture1(1).image().size(), QSize(113, 133));
        const forms::Picture& portrait = form->helpPanel().picture1(0);
        const QRect box = portrait.bounds();
        QCOMPARE(form->colourAt(box.topLeft() + QPoint(50, 70)),
                 forms::fromQRgb(portrait.image().pixel(50, 70)));
        QCOMPARE(form->colourAt(box.topLeft() + QPoint(99, 132)),
                 forms::fromQRgb(portrait.image().pixel(99, 132)));
    }

private:
    UrlRecorder recorder_;
};

QTEST_MAIN(TheHelpPanel)
#include "tst_help.moc"
