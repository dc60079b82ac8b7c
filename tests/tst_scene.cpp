// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The window layer on its own: which element gets a click or a move, exact colours of lines and circles,
// and a picture that stays right through many changes between two readings.
#include "maze/Maze.h"
#include "scene/Button.h"
#include "scene/Font.h"
#include "scene/GroupBox.h"
#include "scene/Label.h"
#include "scene/Picture.h"
#include "scene/SceneWindow.h"
#include "scene/Shapes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSet>
#include <QTest>
#include <functional>
#include <random>

using namespace scene;
Q_DECLARE_METATYPE(Placement)
using maze::kFieldBlue, maze::kGoalGreen, maze::kPathYellow, maze::kTargetRed;

namespace {

// A window that records where its own pointer-move action ran.
class RecordingWindow final : public SceneWindow {
public:
    RecordingWindow()
        : SceneWindow(QSize(200, 100), QColor::fromRgb(kFieldBlue), Size::Fixed) {}
    QList<QPointF> moves;

protected:
    void backgroundPointerMoved(QPointF pos) override { moves << pos; }
};

void send(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void clickAt(QWidget& w, QPointF pos) {
    send(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

// The kinds of element that take the pointer, one per data row.
void pointerTakingKinds() {
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"label", "picture", "button", "group box"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

// How the scene is placed where it is checked, one per data row: at its own size at display scales, and
// scaled up in a wider and in a taller window, as full screen, at ratios 1 and 2.
void scales(QSize layout) {
    QTest::addColumn<Placement>("placement");
    for (const qreal dpr : {1.0, 1.1, 1.25, 1.33, 1.5, 1.75, 2.0, 2.5, 3.0})
        QTest::addRow("scale %g", dpr) << Placement::atDesignSize(layout, dpr);
    QTest::newRow("fitted, wide") << Placement::fitted(layout, layout * 2.3 + QSize(101, 0), 1);
    QTest::newRow("fitted, tall, ratio 2") << Placement::fitted(layout, layout * 1.7 + QSize(0, 33), 2);
}

Element& addOfKind(Scene& scene, const QString& kind, const QRect& rect) {
    if (kind == u"picture")
        return scene.add<Picture>(rect, QImage(), QColor(0, 64, 0));
    if (kind == u"button")
        return scene.add<Button>(rect, kind, defaultFont());
    if (kind == u"group box")
        return scene.add<GroupBox>(rect, kind, defaultFont(), QColor(0, 64, 0));
    return scene.add<Label>(rect, kind, defaultFont());
}

// Every kind of element in a fixed random layout: lines and circles, two labels over them, and a group box
// with a label, a picture and a button above them all.
struct Populated {
    QList<Element*> all;
    QList<Label*> labels;
    Button* button = nullptr;
};

Populated populate(Scene& scene) {
    std::mt19937 random(11);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    Populated p;
    for (int i = 0; i < 40; ++i) {
        if (i % 4 == 3)
            p.all << &scene.add<Circle>(QRect(pick(0, 290), pick(0, 190), 9, 9), QColor::fromRgb(kTargetRed));
        else
            p.all << &scene.add<Line>(QPoint(pick(0, 299), pick(0, 199)), QPoint(pick(0, 299), pick(0, 199)),
                                      pick(1, 40), QColor::fromRgb(kPathYellow));
    }
    p.labels << &scene.add<Label>(QRect(7, 9, 61, 23), QStringLiteral("метка"), defaultFont())
             << &scene.add<Label>(QRect(233, 151, 57, 41), QStringLiteral("вторая метка"), defaultFont());
    GroupBox& box = scene.add<GroupBox>(QRect(61, 41, 179, 121), QStringLiteral("Панель"), defaultFont(),
                                        QColor(0, 64, 0));
    p.labels << &scene.add<Label>(QRect(80, 80, 100, 30), QStringLiteral("текст"), defaultFont(), &box);
    QImage image(23, 17, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    p.all << &scene.add<Picture>(QRect(70, 120, 29, 31), image, QColor(0, 64, 0), &box);
    p.button = &scene.add<Button>(QRect(221, 41, 17, 17), QStringLiteral("Х"), defaultFont(), &box);
    p.all << p.button << &box;
    for (Label* label : p.labels)
        p.all << label;
    return p;
}

// A change to the elements, made on one scene and made again on another populated alike.
using Change = std::function<void(const Populated&)>;

} // namespace

class TheWindowLayer : public QObject {
    Q_OBJECT

private slots:
    // -- Input

    void aClickGoesToTheTopmostEnabledVisibleElement_data() { pointerTakingKinds(); }
    void aClickGoesToTheTopmostEnabledVisibleElement() {
        QFETCH(QString, kind);
        RecordingWindow window;
        QStringList clicked;
        Label& below =
            window.scene().add<Label>(QRect(10, 10, 80, 40), QStringLiteral("below"), defaultFont());
        Element& above = addOfKind(window.scene(), kind, QRect(50, 10, 80, 40));
        below.setClickAction([&] { clicked << QStringLiteral("below"); });
        above.setClickAction([&] { clicked << QStringLiteral("above"); });

        clickAt(window, QPointF(60, 20));
        above.setEnabled(false);
        clickAt(window, QPointF(60, 20));
        above.setEnabled(true);
        above.setVisible(false);
        clickAt(window, QPointF(60, 20));
        below.setEnabled(false);
        clickAt(window, QPointF(60, 20));
        QCOMPARE(clicked,
                 QStringList({QStringLiteral("above"), QStringLiteral("below"), QStringLiteral("below")}));
    }

    // Pressing on one label and releasing on another is no click.
    void aClickNeedsPressAndReleaseOnTheSameLabel() {
        RecordingWindow window;
        int clicks = 0;
        Label& a = window.scene().add<Label>(QRect(0, 0, 50, 50), QStringLiteral("a"), defaultFont());
        window.scene().add<Label>(QRect(100, 0, 50, 50), QStringLiteral("b"), defaultFont());
        a.setClickAction([&] { ++clicks; });
        send(window, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
        send(window, QEvent::MouseButtonRelease, QPointF(110, 10), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(clicks, 0);
        send(window, QEvent::MouseButtonPress, QPointF(10, 10), Qt::RightButton, Qt::RightButton);
        send(window, QEvent::MouseButtonRelease, QPointF(10, 10), Qt::RightButton, Qt::NoButton);
        QCOMPARE(clicks, 0);
    }

    // The window's own action runs only where no enabled element of a kind that takes the pointer lies
    // under it; lines, circles and disabled elements let the move through.
    void movesReachTheWindowOnlyWhereNoControlTakesThem_data() { pointerTakingKinds(); }
    void movesReachTheWindowOnlyWhereNoControlTakesThem() {
        QFETCH(QString, kind);
        RecordingWindow window;
        Element& control = addOfKind(window.scene(), kind, QRect(10, 10, 40, 40));
        window.scene().add<Line>(QPoint(100, 50), QPoint(180, 50), 20, QColor::fromRgb(kPathYellow));
        window.scene().add<Circle>(QRect(120, 40, 9, 9), QColor::fromRgb(kTargetRed));

        send(window, QEvent::MouseMove, QPointF(20, 20), Qt::NoButton, Qt::NoButton);
        send(window, QEvent::MouseMove, QPointF(124, 44), Qt::NoButton, Qt::NoButton);
        control.setEnabled(false);
        send(window, QEvent::MouseMove, QPointF(21, 21), Qt::NoButton, Qt::NoButton);
        control.setEnabled(true);
        control.setVisible(false);
        send(window, QEvent::MouseMove, QPointF(22, 22), Qt::NoButton, Qt::NoButton);
        QCOMPARE(window.moves, QList<QPointF>({QPointF(124, 44), QPointF(21, 21), QPointF(22, 22)}));
    }

    // -- Painting

    // Round ends, wide strokes and small circles: every painted pixel is exactly one of the colours.
    void linesAndCirclesPaintOnlyExactColours_data() { scales(QSize(200, 120)); }
    void linesAndCirclesPaintOnlyExactColours() {
        QFETCH(Placement, placement);
        Scene scene(QSize(200, 120), QColor::fromRgb(kFieldBlue));
        scene.setPlacement(placement);
        scene.add<Line>(QPoint(20, 20), QPoint(170, 90), 37, QColor::fromRgb(kPathYellow));
        scene.add<Line>(QPoint(30, 100), QPoint(150, 30), 20, QColor::fromRgb(kPathYellow));
        scene.add<Circle>(QRect(90, 50, 25, 25), QColor::fromRgb(kGoalGreen));
        scene.add<Circle>(QRect(40, 30, 9, 9), QColor::fromRgb(kTargetRed));
        const QImage& picture = scene.picture();
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                colours.insert(picture.pixel(x, y));
        QCOMPARE(colours, QSet<QRgb>({kFieldBlue, kPathYellow, kGoalGreen, kTargetRed}));
    }

    // Whatever appears, disappears, changes or overlaps between two readings, in whatever order and however
    // many changes at once, the picture must equal a fresh rendering of the final state to the device pixel,
    // at any scale; and no element may leave its painter settings to the next (a circle's brush once filled a
    // group box's border).
    void anySequenceOfChangesLeavesTheRightPicture_data() { scales(QSize(300, 200)); }
    void anySequenceOfChangesLeavesTheRightPicture() {
        QFETCH(Placement, placement);
        const QStringList texts{QStringLiteral("метка"), QStringLiteral("Иди к красному кружку"),
                                QStringLiteral("Старт игры"), QString()};
        const QList<QColor> colours{QColor(255, 192, 255), QColor(255, 255, 192), QColor(), QColor(0, 64, 0)};
        std::mt19937 random(7);
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        Scene changed(QSize(300, 200), QColor::fromRgb(kFieldBlue));
        changed.setPlacement(placement);
        const Populated elements = populate(changed);
        QList<Change> made;
        const auto make = [&](const Change& change) {
            change(elements);
            made << change;
        };
        bool pressed = false;
        QList<bool> keptVisibility;
        for (int round = 0; round < 40; ++round) {
            (void)changed.picture();
            // Now and then the picture is kept, and later every element is shown or hidden as it was then,
            // as a round does at its start and end: what changed in content meanwhile must show all the same.
            if (round % 4 == 1) {
                changed.keepPicture();
                keptVisibility.clear();
                for (const Element* element : elements.all)
                    keptVisibility << element->isVisible();
            } else if (round % 4 == 3) {
                for (qsizetype e = 0; e < elements.all.size(); ++e)
                    make([e, v = keptVisibility[e]](const Populated& p) { p.all[e]->setVisible(v); });
            }
            const int changes = round % 4 == 3 ? 0 : round % 10 == 0 ? 50 : pick(1, 6); // now and then many
            for (int c = 0; c < changes; ++c) {
                const int kind = pick(0, 9);
                if (kind < 6) {
                    const int e = pick(0, int(elements.all.size()) - 1);
                    make([e](const Populated& p) { p.all[e]->setVisible(!p.all[e]->isVisible()); });
                } else if (kind < 9) {
                    const int i = pick(0, int(elements.labels.size()) - 1);
                    switch (pick(0, 4)) {
                    case 0:
                        make([i, text = texts[pick(0, 3)]](const Populated& p) {
                            p.labels[i]->setText(text);
                        });
                        break;
                    case 1:
                        make([i, c = colours[pick(0, 3)]](const Populated& p) {
                            p.labels[i]->setBackgroundColor(c);
                        });
                        break;
                    case 2:
                        make([i, c = colours[pick(0, 3)]](const Populated& p) {
                            p.labels[i]->setTextColor(c);
                        });
                        break;
                    case 3:
                        make([i, size = pick(9, 24)](const Populated& p) {
                            QFont font = p.labels[i]->font();
                            font.setPixelSize(size);
                            p.labels[i]->setFont(font);
                        });
                        break;
                    default:
                        make([i](const Populated& p) { p.labels[i]->setEnabled(!p.labels[i]->isEnabled()); });
                        break;
                    }
                } else {
                    pressed = !pressed;
                    make([pressed](const Populated& p) { p.button->setPressed(pressed); });
                }
            }
            Scene fresh(QSize(300, 200), QColor::fromRgb(kFieldBlue));
            fresh.setPlacement(placement);
            const Populated same = populate(fresh);
            for (const Change& change : made)
                change(same);
            QVERIFY2(changed.picture() == fresh.picture(),
                     qPrintable(QStringLiteral("after round %1").arg(round)));
        }
    }

    // A label whose text changes while it is hidden, between keeping the picture and taking it back.
    void aKeptPictureComesBackWithWhatChangedWhileHidden() {
        const auto build = [](Scene& scene) -> Label& {
            scene.add<Line>(QPoint(10, 20), QPoint(110, 20), 9, QColor::fromRgb(kPathYellow));
            return scene.add<Label>(QRect(0, 0, 120, 40), QStringLiteral("Старт"), defaultFont());
        };
        Scene changed(QSize(120, 40), QColor::fromRgb(kFieldBlue));
        Label& label = build(changed);
        changed.keepPicture();
        label.setVisible(false);
        (void)changed.picture();
        label.setText(QStringLiteral("Иди"));
        label.setVisible(true);
        Scene fresh(QSize(120, 40), QColor::fromRgb(kFieldBlue));
        build(fresh).setText(QStringLiteral("Иди"));
        QVERIFY(changed.picture() == fresh.picture());
    }

    void aDisabledLabelDrawsItsTextInTheDisabledStyle() {
        Scene scene(QSize(120, 40), QColor::fromRgb(kFieldBlue));
        Label& label = scene.add<Label>(QRect(0, 0, 120, 40), QStringLiteral("Старт"), defaultFont());
        label.setBackgroundColor(QColor::fromRgb(kPathYellow));
        const QImage enabled = scene.picture().copy();
        label.setEnabled(false);
        QVERIFY(scene.picture() != enabled);
        QCOMPARE(scene.colorAt(QPointF(1, 1)), kPathYellow);
    }
};

QTEST_MAIN(TheWindowLayer)
#include "tst_scene.moc"
