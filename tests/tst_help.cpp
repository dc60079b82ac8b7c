// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The help panel and its links, driven through the window's events: opening and closing, the panel keeping
// pointer moves from the game, the exact URLs handed to the desktop, and what happens when it cannot open
// one.
#include "app/GameWindow.h"
#include "support/Desktop.h"
#include "support/GameState.h"
#include "support/Pupil.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <optional>

class TheHelpPanel : public QObject {
    Q_OBJECT

private slots:
    void init() { desktop_.emplace(); }
    void cleanup() { desktop_.reset(); }

    // -- Opening and closing

    void helpOpensThePanelAndTheCrossClosesIt() {
        auto&& [window, pupil] = Game();
        QVERIFY(!window->helpPanel().isOpen());
        pupil.openHelp();
        QVERIFY(window->helpPanel().isOpen());
        const QRect panel = window->helpPanel().box().bounds();
        QCOMPARE(panel, QRect(120, 127, 386, 268));
        QCOMPARE(window->colorAt(panel.center()), qRgb(0, 64, 0));
        QCOMPARE(window->helpPanel().closeButton().text(), QStringLiteral("Х"));
        pupil.closeHelp();
        QVERIFY(!window->helpPanel().isOpen());
        QCOMPARE(window->colorAt(panel.center()), maze::kFieldBlue);
        // Neither touched the round, and the panel opens again.
        VERIFY_NO_PROBLEMS(idleProblems(*window, true));
        pupil.openHelp();
        QVERIFY(window->helpPanel().isOpen());
    }

    // The panel lies above everything, the start label included; its right-hand end stays uncovered.
    void theOpenPanelCoversAllButTheEndOfTheStartLabel() {
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        pupil.click(QPoint(400, 200)); // on the start label, but under the panel
        QVERIFY(!window->round().isActive());
        pupil.click(kStartBesideHelp);
        QVERIFY(window->round().isActive());
        QVERIFY(window->helpPanel().isOpen());
        // The round's changes beneath the panel do not show through it.
        for (const QPoint p : {QPoint(365, 215), QPoint(495, 200), QPoint(300, 212), QPoint(340, 216)})
            QCOMPARE(window->colorAt(p), qRgb(0, 64, 0));
        QCOMPARE(window->colorAt(QPoint(520, 230)), maze::kPathYellow);
    }

    // The pupil can close the panel in the middle of a round and go on.
    void movesOverTheOpenPanelDoNotEndARound() {
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        pupil.click(kStartBesideHelp);
        const QRect panel = window->helpPanel().box().bounds();
        for (int y = panel.top(); y <= panel.bottom(); y += 3)
            for (int x = panel.left(); x <= panel.right(); x += 5)
                pupil.moveTo(QPoint(x, y));
        QVERIFY(window->round().isActive());
        QCOMPARE(window->round().stage(), 0);

        pupil.closeHelp();
        QVERIFY(!window->helpPanel().isOpen());
        pupil.moveTo(kStartOnPath);
        QVERIFY(pupil.walkToCurrentCircle());
        QVERIFY(pupil.walkToCurrentCircle());
        QCOMPARE(window->round().stage(), 2);
        QVERIFY(pupil.walkOntoBlue());
        QVERIFY(!window->round().isActive());
    }

    // -- The links

    // Each link shows the address it opens, the web link without its scheme; a second click opens it again.
    void eachLinkOpensItsAddress() {
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        QList<QUrl> expected;
        for (const HelpLink& link : helpLinks(*window)) {
            pupil.click(link.label->bounds().center());
            expected << link.url;
            const QString separator =
                link.url.scheme() == u"http" ? QStringLiteral("://") : QStringLiteral(":");
            QCOMPARE(link.url.scheme() + separator + link.label->text(), link.url.toString());
        }
        pupil.click(helpLinks(*window)[0].label->bounds().center());
        QCOMPARE(desktop_->opened, expected << expected[0]);
        QVERIFY(window->helpPanel().isOpen());
    }

    // Pupils double-click everything: a double click opens a link once, as it starts one round.
    void aDoubleClickIsOneClick() {
        auto&& [window, pupil] = Game();
        pupil.doubleClick(window->helpLabel().bounds().center());
        QVERIFY(window->helpPanel().isOpen());
        QList<QUrl> expected;
        for (const HelpLink& link : helpLinks(*window)) {
            pupil.doubleClick(link.label->bounds().center());
            expected << link.url;
        }
        QCOMPARE(desktop_->opened, expected);
        pupil.doubleClick(kStartBesideHelp);
        VERIFY_NO_PROBLEMS(roundProblems(*window, 0));
    }

    void theLinksAreCyanOnDarkGreenAndReadableWhole() {
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        for (const HelpLink& link : helpLinks(*window)) {
            QCOMPARE(link.label->textColor(), QColor(0, 255, 255));
            QCOMPARE(link.label->backgroundColor(), QColor(0, 64, 0));
            const QFontMetrics metrics(link.label->font());
            QVERIFY(metrics.horizontalAdvance(link.label->text()) <= link.label->bounds().width());
            QVERIFY(window->helpPanel().box().bounds().contains(link.label->bounds()));
        }
    }

    // The desktop may have no browser or mail program: the game says so and goes on as it was.
    void aLinkThatCannotBeOpenedIsReportedAndTheGameGoesOn() {
        desktop_.reset(); // nothing stands in: the headless platform opens nothing
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        pupil.click(kStartBesideHelp);
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
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        for (const HelpLink& link : helpLinks(*window)) {
            pupil.moveTo(link.label->bounds().center());
            QCOMPARE(window->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(window->cursor().hotSpot(), QPoint(8, 0));
            QCOMPARE(window->cursor().pixmap().size(), QSize(32, 32));
            pupil.moveTo(window->helpPanel().purposeText().bounds().center());
            QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        }
    }

    void theToolTipsSayWhatTheyShould() {
        auto&& [window, pupil] = Game();
        pupil.openHelp();
        const help::HelpPanel& panel = window->helpPanel();
        // None over the other picture or a plain text.
        const QList<std::pair<const scene::Element*, QString>> expected{
            {&panel.authorPortrait(),
             QStringLiteral("Здесь нет ничего интересного. Это просто моя фотография. И не надо "
                            "ковыряться мышкой у меня в носу !!!")},
            {&panel.closeButton(), QStringLiteral("Закрыть помощь")},
            {&panel.authorSiteLink(), QStringLiteral("Захады нэ бойса, виходи - не плач.")},
            {&panel.designerPicture(), QString()},
            {&panel.feedbackText(), QString()},
        };
        for (const auto& [element, text] : expected) {
            const QPoint at = element->bounds().center();
            QHelpEvent help(QEvent::ToolTip, at, window->mapToGlobal(at));
            QApplication::sendEvent(window.get(), &help);
            if (text.isEmpty())
                QTRY_VERIFY(!QToolTip::isVisible());
            else
                QCOMPARE(QToolTip::text(), text);
        }
    }

    // The pictures are shown one image pixel to one window pixel from their boxes' corners.
    void thePicturesHaveTheirExactSizes() {
        auto&& [window, pupil] = Game();
        pupil.openHelp();
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
