// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include <QApplication>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <latch>
#include <malloc.h>
#include <thread>

int main(int argc, char* argv[]) {
    // Reading the system's fonts takes milliseconds that would otherwise add to the start: a helper thread
    // reads the font configuration while Qt connects to the display, then fills Qt's font database while
    // the window is built and mapped. The first frame's text waits for it. One malloc arena keeps the
    // helper from leaving a second heap behind.
    mallopt(M_ARENA_MAX, 1);
    std::latch applicationReady(1);
    std::thread fontWarmUp([&applicationReady] {
        FcInit();
        applicationReady.wait();
        QFontDatabase::families();
    });
    QApplication app(argc, argv);
    applicationReady.count_down();
    QApplication::setApplicationName(QStringLiteral("tropilka"));
    QApplication::setApplicationVersion(QStringLiteral(TROPILKA_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tropilka"));

    Form1 form;
    form.show();
    form.Form_Load();
    fontWarmUp.join();
    return QApplication::exec();
}
