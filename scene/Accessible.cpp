// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessible.h"

#include "SceneWindow.h"

#include <QAccessibleWidget>
#include <QList>

namespace scene {

namespace {

// Assistive technology's press does what a click does, and only where a click would reach the element.
bool canClick(const SceneWindow& window, const Element& element) {
    return element.hasClickAction() && element.isShown() && element.isEnabled() && window.isVisible() &&
           !window.isBlockedByMessage();
}

QRect screenRect(const SceneWindow& window, const Element& element) {
    const QRect rect = window.windowRect(element);
    return QRect(window.mapToGlobal(rect.topLeft()), rect.size());
}

// The elements shown to assistive technology directly inside a container (null: the window itself), in
// stacking order. Hidden ones stay, marked invisible, as hidden widgets do.
class ExposedElements {
public:
    ExposedElements(SceneWindow& window, const Element* container)
        : window_(window) {
        const Scene& scene = window.scene();
        for (std::size_t i = 0; i < scene.elementCount(); ++i) {
            const Element& element = scene.element(i);
            if (element.container() == container && element.accessibleRole() != QAccessible::NoRole)
                elements_.append(&element);
        }
    }

    const QList<const Element*>& list() const { return elements_; }
    int count() const { return int(elements_.size()); }

    QAccessibleInterface* at(int index) const {
        if (index < 0 || index >= elements_.size())
            return nullptr;
        return accessibleInterface(window_, *elements_[index]);
    }

    int indexOf(const QAccessibleInterface* child) const;

    // The topmost shown one at a point of the screen.
    QAccessibleInterface* at(QPoint global) const {
        for (auto it = elements_.crbegin(); it != elements_.crend(); ++it)
            if ((*it)->isShown() && screenRect(window_, **it).contains(global))
                return accessibleInterface(window_, **it);
        return nullptr;
    }

private:
    SceneWindow& window_;
    QList<const Element*> elements_;
};

class AccessibleElement final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    // Lives no longer than the element: the element has Qt delete it when it dies.
    AccessibleElement(SceneWindow& window, const Element& element)
        : window_(window)
        , element_(element) {}

    const Element& element() const { return element_; }

    bool isValid() const override { return true; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_.windowHandle(); }

    QAccessibleInterface* parent() const override {
        if (element_.container() != nullptr)
            return accessibleInterface(window_, *element_.container());
        return QAccessible::queryAccessibleInterface(&window_);
    }
    int childCount() const override { return ExposedElements(window_, &element_).count(); }
    QAccessibleInterface* child(int index) const override {
        return ExposedElements(window_, &element_).at(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return ExposedElements(window_, &element_).indexOf(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return ExposedElements(window_, &element_).at(QPoint(x, y));
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return element_.accessibleName();
        case QAccessible::Description:
            return element_.toolTip();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return screenRect(window_, element_); }
    QAccessible::Role role() const override { return element_.accessibleRole(); }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !element_.isShown() || !window_.isVisible();
        state.disabled = !element_.isEnabled();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && element_.hasClickAction())
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        return canClick(window_, element_) ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& name) override {
        if (name != pressAction() || !canClick(window_, element_))
            return;
        // Later, as Qt's own buttons click when pressed this way: the click may open a modal message, and
        // the tool that asked must not wait until the pupil closes it.
        QMetaObject::invokeMethod(
            &window_,
            [window = &window_, element = &element_] {
                if (canClick(*window, *element))
                    element->click();
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    SceneWindow& window_;
    const Element& element_;
};

int ExposedElements::indexOf(const QAccessibleInterface* child) const {
    const auto* known = dynamic_cast<const AccessibleElement*>(child);
    return known == nullptr ? -1 : int(elements_.indexOf(&known->element()));
}

// The window as a top-level frame named by its title, holding its elements instead of child widgets.
class AccessibleSceneWindow final : public QAccessibleWidget {
public:
    explicit AccessibleSceneWindow(SceneWindow* window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return elements().count(); }
    QAccessibleInterface* child(int index) const override { return elements().at(index); }
    int indexOfChild(const QAccessibleInterface* child) const override { return elements().indexOf(child); }
    QAccessibleInterface* childAt(int x, int y) const override { return elements().at(QPoint(x, y)); }

private:
    ExposedElements elements() const {
        return ExposedElements(*static_cast<SceneWindow*>(widget()), nullptr);
    }
};

QAccessibleInterface* sceneWindowFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(SceneWindow::staticMetaObject.className()))
        return nullptr;
    auto* window = qobject_cast<SceneWindow*>(object);
    return window == nullptr ? nullptr : new AccessibleSceneWindow(window);
}

} // namespace

void installAccessibility() {
    QAccessible::installFactory(sceneWindowFactory);
}

QAccessibleInterface* accessibleInterface(SceneWindow& window, const Element& element) {
    if (element.accessibleId_ != 0) {
        if (QAccessibleInterface* known = QAccessible::accessibleInterface(element.accessibleId_))
            return known;
    }
    auto* made = new AccessibleElement(window, element);
    element.accessibleId_ = QAccessible::registerAccessibleInterface(made);
    return made;
}

void announceAccessibility(SceneWindow& window, const Element& element, QAccessible::Event event) {
    // Costs nothing while no one listens: every step of a round shows and hides elements.
    if (!QAccessible::isActive() || element.accessibleRole() == QAccessible::NoRole)
        return;
    QAccessibleInterface* changed = accessibleInterface(window, element);
    if (event == QAccessible::StateChanged) {
        QAccessible::State states;
        states.disabled = true;
        QAccessibleStateChangeEvent stateChange(changed, states);
        QAccessible::updateAccessibility(&stateChange);
    } else {
        QAccessibleEvent plain(changed, event);
        QAccessible::updateAccessibility(&plain);
    }
    // What a group box holds appears and disappears with it, as a widget's children do.
    if (event == QAccessible::ObjectShow || event == QAccessible::ObjectHide) {
        const ExposedElements held(window, &element);
        for (const Element* inside : held.list())
            if (inside->isVisible())
                announceAccessibility(window, *inside, event);
    }
}

} // namespace scene
