// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "CarriedFaces.h"
#include "GameWindow.h"
#include "StartOptions.h"
#include "Terminal.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Before the application object, which needs a display: --help must answer in a terminal without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartRequest request = parseCommandLine(arguments);
    switch (request.action) {
    case StartRequest::Action::PrintHelp:
    case StartRequest::Action::PrintVersion:
        tellOnOutput(request.text);
        return 0;
    case StartRequest::Action::Refuse:
        tellOnError(request.text);
        return kUsageStatus;
    case StartRequest::Action::Play:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tropilka"));
    QApplication::setApplicationVersion(QStringLiteral(TROPILKA_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TROPILKA_APP_ID));

    DisplayMode mode = DisplayMode::Window;
    if (request.mode) {
        mode = *request.mode;
    } else {
        const SystemSetting setting = readSystemSetting();
        if (!setting.problem.isEmpty())
            tellOnError(setting.problem + QStringLiteral("\n"));
        mode = setting.mode;
    }
    // The portable folder's faces, before any text is laid out.
    addCarriedFaces(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    GameWindow window(mode);
    window.present();
    return QApplication::exec();
}
