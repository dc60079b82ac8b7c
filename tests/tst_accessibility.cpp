// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology and UI automation see of the window, walked as they walk it: the menu labels
// as buttons, the help panel as a group of texts, pictures and links, each with its name, state, place on
// screen (run at several display scales) and the action a click would do; and the changes a round makes,
// announced as it makes them.
#include "app/GameWindow.h"
#include "support/Desktop.h"
#include "support/ExpectedTexts.h"
#include "support/Pupil.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <memory>
#include <optional>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

// Where the window is put, so that screen and window coordinates differ.
constexpr QPoint kWindowPlace(60, 40);

struct Announcement {
    QAccessible::Event type;
    QAccessibleInterface* about;
    bool enabledChanged;
    bool operator==(const Announcement&) const = default;
};

QList<Announcement> announced;

void recordAnnouncement(QAccessibleEvent* event) {
    const bool enabledChanged = event->type() == QAccessible::StateChanged &&
                                static_cast<QAccessibleStateChangeEvent*>(event)->changedStates().disabled;
    announced.append({event->type(), event->accessibleInterface(), enabledChanged});
}

QList<QAccessibleInterface*> childrenOf(QAccessibleInterface* parent) {
    QList<QAccessibleInterface*> list;
    for (int i = 0; i < parent->childCount(); ++i)
        list << parent->child(i);
    return list;
}

QStringList names(const QList<QAccessibleInterface*>& interfaces) {
    QStringList list;
    for (QAccessibleInterface* i : interfaces)
        list << i->text(QAccessible::Name);
    return list;
}

QStringList actions(QAccessibleInterface* interface) {
    return interface->actionInterface() == nullptr ? QStringList()
                                                   : interface->actionInterface()->actionNames();
}

void press(QAccessibleInterface* interface) {
    QVERIFY(interface->actionInterface() != nullptr);
    interface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
}

// An element's rectangle on screen, in the logical pixels Qt's accessibility uses: from where the window
// system put the window's client area.
QRect onScreen(const GameWindow& window, const scene::Element& element) {
    return element.bounds().translated(window.geometry().topLeft());
}

} // namespace

class SeenByAssistiveTechnology : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Headless, Qt's accessibility stays off until an assistive technology turns the platform's on, as
        // the AT-SPI bridge does when a screen reader runs. QAccessible::setActive only tells observers.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QVERIFY(QAccessible::isActive());
    }

    void init() {
        window_ = std::make_unique<GameWindow>();
        window_->move(kWindowPlace);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QVERIFY(window_->geometry().left() >= kWindowPlace.x() &&
                window_->geometry().top() >= kWindowPlace.y());
        previousHandler_ = QAccessible::installUpdateHandler(recordAnnouncement);
        announced.clear();
        desktop_.emplace();
    }

    void cleanup() {
        desktop_.reset();
        QAccessible::installUpdateHandler(previousHandler_);
        window_.reset();
    }

    // -- The menu

    void theMenuLabelsAreButtonsThatDoWhatAClickDoes() {
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(window_.get());
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), expected::title());
        // The maze's lines and circles are left out.
        const QList<QAccessibleInterface*> menu = childrenOf(window);
        QCOMPARE(names(menu),
                 QStringList({expected::startText(), QStringLiteral("Помощь"), QStringLiteral("Выход")}));
        QAccessibleInterface* start = menu[0];
        QAccessibleInterface* help = menu[1];
        QAccessibleInterface* exit = menu[2];
        const QList<const scene::Element*> labels{&window_->startLabel(), &window_->helpLabel(),
                                                  &window_->exitLabel()};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(menu[i]->role(), QAccessible::Button);
            QCOMPARE(menu[i]->parent(), window);
            QCOMPARE(window->indexOfChild(menu[i]), i);
            QVERIFY(!menu[i]->state().disabled && !menu[i]->state().invisible);
            QCOMPARE(menu[i]->rect(), onScreen(*window_, *labels[i]));
            QCOMPARE(actions(menu[i]), QStringList{QAccessibleActionInterface::pressAction()});
            QCOMPARE(window->childAt(menu[i]->rect().center().x(), menu[i]->rect().center().y()), menu[i]);
        }

        press(start);
        QVERIFY(window_->round().isActive());
        QCOMPARE(start->text(QAccessible::Name), expected::instruction());
        QVERIFY(start->state().disabled);
        QVERIFY(help->state().invisible && exit->state().invisible);
        for (QAccessibleInterface* label : menu)
            QCOMPARE(actions(label), QStringList());
        // Only what a pupil could notice is announced, not the two dozen shapes of the maze.
        QCOMPARE(announced, QList<Announcement>({{QAccessible::NameChanged, start, false},
                                                 {QAccessible::StateChanged, start, true},
                                                 {QAccessible::ObjectHide, exit, false},
                                                 {QAccessible::ObjectHide, help, false}}));

        // Disabled, the label does nothing when pressed, as it does nothing when clicked.
        Pupil pupil(*window_);
        pupil.moveTo(kStartOnPath);
        QVERIFY(pupil.walkToCurrentCircle());
        press(start);
        QCOMPARE(window_->round().stage(), 1);

        announced.clear();
        QVERIFY(pupil.walkOntoBlue());
        QCOMPARE(start->text(QAccessible::Name), expected::startText());
        QVERIFY(!start->state().disabled && !help->state().invisible && !exit->state().invisible);
        QCOMPARE(announced, QList<Announcement>({{QAccessible::NameChanged, start, false},
                                                 {QAccessible::StateChanged, start, true},
                                                 {QAccessible::ObjectShow, exit, false},
                                                 {QAccessible::ObjectShow, help, false}}));
    }

    // -- The help panel

    void theHelpPanelIsAGroupOfTextsPicturesAndLinks() {
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(window_.get());
        press(childrenOf(window)[1]);
        const help::HelpPanel& panel = window_->helpPanel();
        QVERIFY(panel.isOpen());
        const QList<QAccessibleInterface*> top = childrenOf(window);
        QCOMPARE(top.size(), 4);
        QAccessibleInterface* group = top[3];
        QCOMPARE(group->role(), QAccessible::Grouping);
        QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Автор программы — Николай Тропинин"));
        QCOMPARE(group->rect(), onScreen(*window_, panel.box()));
        QCOMPARE(window->childAt(onScreen(*window_, panel.box()).center().x(),
                                 onScreen(*window_, panel.box()).center().y()),
                 group);

        struct Part {
            const scene::Element* element;
            QAccessible::Role role;
            QString name;
            QString description;
        };
        const QList<Part> expectedParts{
            {&panel.authorPortrait(), QAccessible::Graphic, QStringLiteral("Портрет автора"),
             QStringLiteral("Здесь нет ничего интересного. Это просто моя фотография. И не надо ковыряться "
                            "мышкой у меня в носу !!!")},
            {&panel.designerPicture(), QAccessible::Graphic, QStringLiteral("Ребёнок за компьютером"), {}},
            {&panel.purposeText(), QAccessible::StaticText, panel.purposeText().text(), {}},
            {&panel.thanksText(), QAccessible::StaticText, panel.thanksText().text(), {}},
            {&panel.artistMailLink(), QAccessible::Link, QStringLiteral("olya@example.org"), {}},
            {&panel.feedbackText(),
             QAccessible::StaticText,
             QStringLiteral("Отзывы и свои предложения присылайте на"),
             {}},
            {&panel.authorMailLink(), QAccessible::Link, QStringLiteral("nt@example.org"), {}},
            {&panel.otherProgramsText(),
             QAccessible::StaticText,
             QStringLiteral("Другие мои программы Вы найдёте на"),
             {}},
            {&panel.authorSiteLink(), QAccessible::Link, QStringLiteral("example.org/nt"),
             QStringLiteral("Захады нэ бойса, виходи - не плач.")},
            {&panel.closeButton(), QAccessible::Button, QStringLiteral("Х"),
             QStringLiteral("Закрыть помощь")},
        };
        const QList<QAccessibleInterface*> parts = childrenOf(group);
        QCOMPARE(parts.size(), expectedParts.size());
        for (int i = 0; i < parts.size(); ++i) {
            const Part& part = expectedParts[i];
            QCOMPARE(parts[i]->role(), part.role);
            QCOMPARE(parts[i]->parent(), group);
            QCOMPARE(group->indexOfChild(parts[i]), i);
            QCOMPARE(parts[i]->text(QAccessible::Name), part.name);
            QCOMPARE(parts[i]->text(QAccessible::Description), part.description);
            QCOMPARE(parts[i]->rect(), onScreen(*window_, *part.element));
            QVERIFY(!parts[i]->state().invisible);
            const bool acts = part.role == QAccessible::Link || part.role == QAccessible::Button;
            QCOMPARE(actions(parts[i]).size(), acts ? 1 : 0);
        }
        QCOMPARE(group->childAt(onScreen(*window_, panel.closeButton()).center().x(),
                                onScreen(*window_, panel.closeButton()).center().y()),
                 parts[9]);
        // Everything that appeared was announced.
        for (QAccessibleInterface* shown : QList<QAccessibleInterface*>{group} + parts)
            QVERIFY(announced.contains(Announcement{QAccessible::ObjectShow, shown, false}));

        QList<QUrl> expectedUrls;
        for (const HelpLink& link : helpLinks(*window_))
            expectedUrls << link.url;
        for (int link : {4, 6, 8}) // the links, in the panel's order
            press(parts[link]);
        QCOMPARE(desktop_->opened, expectedUrls);

        announced.clear();
        press(parts[9]);
        QVERIFY(!panel.isOpen());
        QVERIFY(group->state().invisible);
        for (QAccessibleInterface* part : parts) {
            QVERIFY(part->state().invisible);
            QCOMPARE(actions(part), QStringList());
            QVERIFY(announced.contains(Announcement{QAccessible::ObjectHide, part, false}));
        }
        QVERIFY(announced.contains(Announcement{QAccessible::ObjectHide, group, false}));

        // The interfaces go with the elements they stand for, and the window's with the window.
        QList<QAccessible::Id> ids{QAccessible::uniqueId(window), QAccessible::uniqueId(group)};
        for (QAccessibleInterface* part : parts)
            ids << QAccessible::uniqueId(part);
        window_.reset();
        for (QAccessible::Id id : ids)
            QCOMPARE(QAccessible::accessibleInterface(id), nullptr);
    }

private:
    std::unique_ptr<GameWindow> window_;
    QAccessible::UpdateHandler previousHandler_ = nullptr;
    std::optional<DesktopStandIn> desktop_;
};

QTEST_MAIN(SeenByAssistiveTechnology)
#include "tst_accessibility.moc"
