// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The bare reference the game's footprint is measured against: a Qt window of the game's size that paints a
// blue field and nothing else, with mouse tracking on. With TROPILKA_BARE_TEXT set it also draws one line of
// text, the least any window with words on it pays: the faces found and one loaded.
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
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 255));
        if (withText_) {
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(16);
            painter.setFont(font);
            painter.drawText(QPoint(250, 280), QStringLiteral("Старт игры"));
        }
    }

private:
    const bool withText_ = qEnvironmentVariableIsSet("TROPILKA_BARE_TEXT");
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BlueField field;
    field.show();
    return QApplication::exec();
}
