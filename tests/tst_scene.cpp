// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The window layer on its own: which element gets a click or a move, exact colours of lines and circles,
// and a picture that stays right through many changes between two readings.
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/Shapes.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSet>
#include <QTest>
#include <random>

using namespace forms;

namespace {

constexpr Colour kBlue = rgb(0, 0, 255);
constexpr Colour kYellow = rgb(255, 255, 192);
constexpr Colour kRed = rgb(255, 0, 0);

// A window that records where its own pointer-move action ran.
class RecordingForm final : public Form {
public:
    RecordingForm()
        : Form(QSize(200, 100), kBlue) {}
    QList<QPointF> moves;

protected:
    void pointerMoved(Qt::MouseButtons, Qt::KeyboardModifiers, QPointF pos) override { moves << pos; }
};

FontSpec plainFont() {
    return {{QStringLiteral("DejaVu Sans")}, 10, false, false};
}

void send(QWidget& w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void clickAt(QWidget& w, QPointF pos) {
    send(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

// Lines and circles in a fixed random layout, and a framed panel with a label above them all.
QList<Element*> populate(Scene& scene) {
    std::mt19937 random(11);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    QList<Element*> elements;
    for (int i = 0; i < 40; ++i) {
        if (i % 4 == 3)
            elements << &scene.add<Circle>(QRect(pick(0, 290), pick(0, 190), 9, 9), kRed);
        else
            elements << &scene.add<Line>(QPoint(pick(0, 299), pick(0, 199)),
                                         QPoint(pick(0, 299), pick(0, 199)), pick(1, 40), kYellow);
    }
    Frame& frame = scene.add<Frame>(QRect(60, 40, 180, 120), QStringLiteral("Панель"), plainFont(),
                                    rgb(0, 64, 0), rgb(255, 255, 255));
    elements << &frame
             << &scene.add<Label>(QRect(80, 80, 100, 30), QStringLiteral("текст"), plainFont(), &frame);
    return elements;
}

} // namespace

class TheWindowLayer : public QObject {
    Q_OBJECT

private slots:
    // -- Input

    void aClickGoesToTheTopmostEnabledVisibleLabel() {
        RecordingForm form;
        QStringList clicked;
        Label& below = form.scene().add<Label>(QRect(10, 10, 80, 40), QStringLiteral("below"), plainFont());
        Label& above = form.scene().add<Label>(QRect(50, 10, 80, 40), QStringLiteral("above"), plainFont());
        below.setClickAction([&] { clicked << QStringLiteral("below"); });
        above.setClickAction([&] { clicked << QStringLiteral("above"); });

        clickAt(form, QPointF(60, 20));
        above.setEnabled(false);
        clickAt(form, QPointF(60, 20));
        above.setEnabled(true);
        above.setVisible(false);
        clickAt(form, QPointF(60, 20));
        below.setEnabled(false);
        clickAt(form, QPointF(60, 20));
        QCOMPARE(clicked,
                 QStringList({QStringLiteral("above"), QStringLiteral("below"), QStringLiteral("below")}));
    }

    // Pressing on one label and releasing on another is no click.
    void aClickNeedsPressAndReleaseOnTheSameLabel() {
        RecordingForm form;
        int clicks = 0;
        Label& a = form.scene().add<Label>(QRect(0, 0, 50, 50), QStringLiteral("a"), plainFont());
        form.scene().add<Label>(QRect(100, 0, 50, 50), QStringLiteral("b"), plainFont());
        a.setClickAction([&] { ++clicks; });
        send(form, QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton, Qt::LeftButton);
        send(form, QEvent::MouseButtonRelease, QPointF(110, 10), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(clicks, 0);
        send(form, QEvent::MouseButtonPress, QPointF(10, 10), Qt::RightButton, Qt::RightButton);
        send(form, QEvent::MouseButtonRelease, QPointF(10, 10), Qt::RightButton, Qt::NoButton);
        QCOMPARE(clicks, 0);
    }

    // The window's own action runs only where no enabled label lies under the pointer; lines, circles
    // and disabled labels let the move through.
    void movesReachTheWindowOnlyWhereNoControlTakesThem() {
        RecordingForm form;
        Label& label = form.scene().add<Label>(QRect(10, 10, 40, 40), QStringLiteral("x"), plainFont());
        form.scene().add<Line>(QPoint(100, 50), QPoint(180, 50), 20, kYellow);
        form.scene().add<Circle>(QRect(120, 40, 9, 9), kRed);

        send(form, QEvent::MouseMove, QPointF(20, 20), Qt::NoButton, Qt::NoButton);
        send(form, QEvent::MouseMove, QPointF(124, 44), Qt::NoButton, Qt::NoButton);
        label.setEnabled(false);
        send(form, QEvent::MouseMove, QPointF(21, 21), Qt::NoButton, Qt::NoButton);
        label.setEnabled(true);
        label.setVisible(false);
        send(form, QEvent::MouseMove, QPointF(22, 22), Qt::NoButton, Qt::NoButton);
        QCOMPARE(form.moves, QList<QPointF>({QPointF(124, 44), QPointF(21, 21), QPointF(22, 22)}));
    }

    // -- Painting

    // Round ends, wide strokes and small circles: every painted pixel is exactly one of the colours.
    void linesAndCirclesPaintOnlyExactColours() {
        for (const qreal dpr : {1.0, 1.25, 1.5, 2.0}) {
            Scene scene(QSize(200, 120), kBlue);
            scene.setDevicePixelRatio(dpr);
            scene.add<Line>(QPoint(20, 20), QPoint(170, 90), 37, kYellow);
            scene.add<Line>(QPoint(30, 100), QPoint(150, 30), 20, kYellow);
            scene.add<Circle>(QRect(90, 50, 25, 25), rgb(0, 255, 0));
            scene.add<Circle>(QRect(40, 30, 9, 9), kRed);
            const QImage& picture = scene.picture();
            QSet<QRgb> colours;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    colours.insert(picture.pixel(x, y) & 0xFFFFFFu);
            QCOMPARE(colours, QSet<QRgb>({0x0000FFu, 0xFFFFC0u, 0x00FF00u, 0xFF0000u}));
        }
    }

    // Whatever appears, disappears or overlaps between two readings, in whatever order and however many
    // changes at once, the picture must equal a fresh rendering of the final state; and no element may
    // leave its painter settings to the next (a circle's brush once filled a frame's border).
    void anySequenceOfChangesLeavesTheRightPicture() {
        std::mt19937 random(7);
        const auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        Scene changed(QSize(300, 200), kBlue);
        const QList<Element*> elements = populate(changed);
        for (int round = 0; round < 60; ++round) {
            (void)changed.picture();
            const int changes = round % 10 == 0 ? 50 : pick(1, 6); // now and then more than are kept apart
            for (int c = 0; c < changes; ++c) {
                Element* element = elements[pick(0, int(elements.size()) - 1)];
                element->setVisible(!element->isVisible());
            }
            Scene fresh(QSize(300, 200), kBlue);
            const QList<Element*> same = populate(fresh);
            for (int i = 0; i < elements.size(); ++i)
                same[i]->setVisible(elements[i]->isVisible());
            QVERIFY2(changed.picture() == fresh.picture(),
                     qPrintable(QStringLiteral("after round %1").arg(round)));
        }
    }

    void aDisabledLabelDrawsItsTextInTheDisabledStyle() {
        Scene scene(QSize(120, 40), kBlue);
        Label& label = scene.add<Label>(QRect(0, 0, 120, 40), QStringLiteral("Старт"), plainFont());
        label.setBackColour(kYellow);
        const QImage enabled = scene.picture().copy();
        label.setEnabled(false);
        QVERIFY(scene.picture() != enabled);
        QCOMPARE(scene.colourAt(QPointF(1, 1)), kYellow);
    }
};

QTEST_MAIN(TheWindowLayer)
#include "tst_scene.moc"
