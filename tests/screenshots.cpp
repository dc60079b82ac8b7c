// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
// The screenshots the README shows, taken from what the window shows, headless: the idle screen, a round at
// its sixth stage, and a round started beside the open help panel.
// Usage: tropilka_screenshots <folder>   (tools/update-screenshots.sh puts them into docs/images/)
#include "support/Pupil.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    auto&& [window, pupil] = Game();
    const auto save = [&](const char* name) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        if (!screenOf(*window).save(path))
            qFatal("could not write %s", qPrintable(path));
        std::printf("%s\n", qPrintable(path));
    };
    save("idle.png");
    if (!pupil.reachStage(5))
        qFatal("could not reach the sixth stage");
    save("round.png");
    pupil.moveTo(kAlwaysBlue);
    pupil.openHelp();
    pupil.click(kStartBesideHelp);
    save("round-with-help.png");
    return 0;
}
