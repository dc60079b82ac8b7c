// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The bare reference the game's footprint is measured against: a Qt window of the game's size that paints a
// blue field and nothing else, with mouse tracking on.
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class BlueField final : public QWidget {
public:
    BlueField() {
        setFixedSize(648, 536);
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, 0, 255)); }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BlueField field;
    field.show();
    return QApplication::exec();
}
