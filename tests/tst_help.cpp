// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The help panel and its links, driven through the window's events: opening and closing, the panel keeping
// pointer moves from the game, the exact URLs handed to the desktop, and what happens when it cannot open
// one.
#include "app/GameWindow.h"
#include "help/Contacts.h"
#include "support/Desktop.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <memory>
#include <optional>

namespace {

// The part of the start label that the open panel leaves uncovered.
constexpr QPoint kUncoveredStart(517, 200);

} // namespace

class TheHelpPanel : public QObject {
    Q_OBJECT

private slots:
    void init() { desktop_.emplace(); }
    void cleanup() { desktop_.reset(); }

    // -- Opening and closing

    void helpOpensThePanelAndTheCrossClosesIt() {
        auto window = shownWindow();
        Pupil pupil(*window);
        QVERIFY(!window->helpPanel().isOpen());
        pupil.click(window->helpLabel().bounds().center());
        QVERIFY(window->helpPanel().isOpen());
        const QRect panel = window->helpPanel().box().bounds();
        QCOMPARE(panel, QRect(120, 127, 386, 268));
        QCOMPARE(window->colorAt(panel.center()), qRgb(0, 64, 0));
        QCOMPARE(window->helpPanel().closeButton().text(), QStringLiteral("Х"));
        pupil.click(window->helpPanel().closeButton().bounds().center());
        QVERIFY(!window->helpPanel().isOpen());
        QCOMPARE(window->colorAt(panel.center()), maze::kFieldBlue);
        // Neither touched the round, and the panel opens again.
        VERIFY_NO_PROBLEMS(idleProblems(*window, true));
        pupil.click(window->helpLabel().bounds().center());
        QVERIFY(window->helpPanel().isOpen());
    }

    // The panel lies above everything, the start label included; its right-hand end stays uncovered.
    void theOpenPanelCoversAllButTheEndOfTheStartLabel() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        pupil.click(QPoint(400, 200)); // on the start label, but under the panel
        QVERIFY(!window->round().isActive());
        pupil.click(kUncoveredStart);
        QVERIFY(window->round().isActive());
        QVERIFY(window->helpPanel().isOpen());
        // The round's changes beneath the panel do not show through it.
        for (const QPoint p : {QPoint(365, 215), QPoint(495, 200), QPoint(300, 212), QPoint(340, 216)})
            QCOMPARE(window->colorAt(p), qRgb(0, 64, 0));
        QCOMPARE(window->colorAt(QPoint(520, 230)), maze::kPathYellow);
    }

    // The pupil can close the panel in the middle of a round and go on.
    void movesOverTheOpenPanelDoNotEndARound() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        pupil.click(kUncoveredStart);
        const QRect panel = window->helpPanel().box().bounds();
        for (int y = panel.top(); y <= panel.bottom(); y += 3)
            for (int x = panel.left(); x <= panel.right(); x += 5)
                pupil.moveTo(QPoint(x, y));
        QVERIFY(window->round().isActive());
        QCOMPARE(window->round().stage(), 0);

        pupil.click(window->helpPanel().closeButton().bounds().center());
        QVERIFY(!window->helpPanel().isOpen());
        pupil.moveTo(QPoint(385, 216)); // where the path leaves the start label
        QVERIFY(pupil.walkToCurrentCircle());
        QVERIFY(pupil.walkToCurrentCircle());
        QCOMPARE(window->round().stage(), 2);
        QVERIFY(pupil.walkOntoBlue());
        QVERIFY(!window->round().isActive());
    }

    // -- The links

    void eachLinkOpensItsAddress() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        const help::HelpPanel& panel = window->helpPanel();
        pupil.click(panel.authorMailLink().bounds().center());
        pupil.click(panel.artistMailLink().bounds().center());
        pupil.click(panel.authorSiteLink().bounds().center());
        pupil.click(panel.authorMailLink().bounds().center());

        QCOMPARE(desktop_->opened, QList<QUrl>({QUrl(QStringLiteral("mailto:nt@example.org")),
                                                QUrl(QStringLiteral("mailto:olya@example.org")),
                                                QUrl(QStringLiteral("http://example.org/nt")),
                                                QUrl(QStringLiteral("mailto:nt@example.org"))}));
        // The link shows the address it opens; the web link without its scheme.
        QCOMPARE(QStringLiteral("mailto:") + panel.authorMailLink().text(), desktop_->opened[0].toString());
        QCOMPARE(QStringLiteral("mailto:") + panel.artistMailLink().text(), desktop_->opened[1].toString());
        QCOMPARE(QStringLiteral("http://") + panel.authorSiteLink().text(), desktop_->opened[2].toString());
        QVERIFY(panel.isOpen());
    }

    // Pupils double-click everything: a double click opens a link once, as it starts one round.
    void aDoubleClickIsOneClick() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.doubleClick(window->helpLabel().bounds().center());
        const help::HelpPanel& panel = window->helpPanel();
        QVERIFY(panel.isOpen());
        for (const scene::Label* link :
             {&panel.authorMailLink(), &panel.artistMailLink(), &panel.authorSiteLink()})
            pupil.doubleClick(link->bounds().center());
        QCOMPARE(desktop_->opened, QList<QUrl>({QUrl(QStringLiteral("mailto:nt@example.org")),
                                                QUrl(QStringLiteral("mailto:olya@example.org")),
                                                QUrl(QStringLiteral("http://example.org/nt"))}));
        pupil.doubleClick(kUncoveredStart);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 0));
    }

    void theLinksAreCyanOnDarkGreenAndReadableWhole() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        const help::HelpPanel& panel = window->helpPanel();
        for (const scene::Label* link :
             {&panel.authorMailLink(), &panel.artistMailLink(), &panel.authorSiteLink()}) {
            QCOMPARE(link->textColor(), QColor(0, 255, 255));
            QCOMPARE(link->backgroundColor(), QColor(0, 64, 0));
            const QFontMetrics metrics(link->font());
            QVERIFY(metrics.horizontalAdvance(link->text()) <= link->bounds().width());
            QVERIFY(panel.box().bounds().contains(link->bounds()));
        }
    }

    // The desktop may have no browser or mail program: the game says so and goes on as it was.
    void aLinkThatCannotBeOpenedIsReportedAndTheGameGoesOn() {
        desktop_.reset(); // nothing stands in: the headless platform opens nothing
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        pupil.click(kUncoveredStart);
        pupil.click(window->helpPanel().authorSiteLink().bounds().center());
        QCOMPARE(pupil.messages().size(), 1);
        QVERIFY(pupil.messages()[0].contains(QStringLiteral("http://example.org/nt")));
        QVERIFY(pupil.messages()[0].startsWith(QStringLiteral("Не удалось открыть адрес")));
        QVERIFY(window->isVisible());
        QVERIFY(window->helpPanel().isOpen());
        QVERIFY(window->round().isActive());
        QCOMPARE(window->round().stage(), 0);
        // And the next try is reported the same way.
        pupil.click(window->helpPanel().artistMailLink().bounds().center());
        QCOMPARE(pupil.messages().size(), 2);
        QVERIFY(pupil.messages()[1].contains(QStringLiteral("mailto:olya@example.org")));
    }

    void thePointerIsAHandOverTheLinksOnly() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        const help::HelpPanel& panel = window->helpPanel();
        for (const scene::Label* link :
             {&panel.authorMailLink(), &panel.artistMailLink(), &panel.authorSiteLink()}) {
            pupil.moveTo(link->bounds().center());
            QCOMPARE(window->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(window->cursor().hotSpot(), QPoint(8, 0));
            QCOMPARE(window->cursor().pixmap().size(), QSize(32, 32));
            pupil.moveTo(panel.purposeText().bounds().center());
            QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        }
    }

    void theToolTipsSayWhatTheyShould() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        const help::HelpPanel& panel = window->helpPanel();
        const QList<std::pair<const scene::Element*, QString>> expected{
            {&panel.authorPortrait(),
             QStringLiteral("Здесь нет ничего интересного. Это просто моя фотография. И не надо "
                            "ковыряться мышкой у меня в носу !!!")},
            {&panel.closeButton(), QStringLiteral("Закрыть помощь")},
            {&panel.authorSiteLink(), QStringLiteral("Захады нэ бойса, виходи - не плач.")},
        };
        for (const auto& [element, text] : expected) {
            const QPoint at = element->bounds().center();
            QHelpEvent help(QEvent::ToolTip, at, window->mapToGlobal(at));
            QApplication::sendEvent(window.get(), &help);
            QCOMPARE(QToolTip::text(), text);
        }
        // No tooltip over the other picture or a plain text.
        for (const scene::Element* quiet : {static_cast<const scene::Element*>(&panel.designerPicture()),
                                            static_cast<const scene::Element*>(&panel.feedbackText())}) {
            const QPoint at = quiet->bounds().center();
            QHelpEvent help(QEvent::ToolTip, at, window->mapToGlobal(at));
            QApplication::sendEvent(window.get(), &help);
            QTRY_VERIFY(!QToolTip::isVisible());
        }
    }

    // The pictures are shown one image pixel to one window pixel from their boxes' corners.
    void thePicturesHaveTheirExactSizes() {
        auto window = shownWindow();
        Pupil pupil(*window);
        pupil.click(window->helpLabel().bounds().center());
        QCOMPARE(window->helpPanel().authorPortrait().image().size(), QSize(100, 133));
        QCOMPARE(window->helpPanel().designerPicture().image().size(), QSize(113, 133));
        const scene::Picture& portrait = window->helpPanel().authorPortrait();
        const QRect box = portrait.bounds();
        QCOMPARE(window->colorAt(box.topLeft() + QPoint(50, 70)), portrait.image().pixel(50, 70));
        QCOMPARE(window->colorAt(box.topLeft() + QPoint(99, 132)), portrait.image().pixel(99, 132));
    }

private:
    std::optional<DesktopStandIn> desktop_;
};

QTEST_MAIN(TheHelpPanel)
#include "tst_help.moc"
