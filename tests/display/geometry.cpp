// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
//
// Writes the window's layout as the display tests judge the screen by it, read from the very window the game
// builds: the maze's segments and circles, the labels, the help panel and its parts, and the colours a round
// reacts to. Usage: tropilka_geometry <file.json>, on Qt's headless platform.
#include "app/GameWindow.h"
#include "help/Contacts.h"
#include "maze/Maze.h"
#include "maze/Round.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray rect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QJsonArray rgb(maze::Rgb colour) {
    return {int(colour >> 16 & 0xff), int(colour >> 8 & 0xff), int(colour & 0xff)};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    GameWindow window;
    window.helpLabel().click(); // the panel and its parts exist once it has opened
    const help::HelpPanel& panel = window.helpPanel();

    QJsonArray segments, circles;
    for (const maze::Segment& s : maze::kSegments)
        segments.append(QJsonArray{s.x1, s.y1, s.x2, s.y2, s.width});
    for (const maze::Target& t : maze::kTargets)
        circles.append(QJsonArray{t.left, t.top, t.diameter});
    const QJsonObject geometry{
        {QStringLiteral("app_id"), QStringLiteral(TROPILKA_APP_ID)},
        {QStringLiteral("size"),
         QJsonArray{GameWindow::kClientSize.width(), GameWindow::kClientSize.height()}},
        {QStringLiteral("segments"), segments},
        {QStringLiteral("circles"), circles},
        {QStringLiteral("start"), rect(window.startLabel().bounds())},
        {QStringLiteral("help"), rect(window.helpLabel().bounds())},
        {QStringLiteral("exit"), rect(window.exitLabel().bounds())},
        {QStringLiteral("panel"), rect(panel.box().bounds())},
        {QStringLiteral("close"), rect(panel.closeButton().bounds())},
        {QStringLiteral("link"), rect(panel.authorSiteLink().bounds())},
        {QStringLiteral("link_url"), help::authorSiteUrl().toString()},
        {QStringLiteral("colours"), QJsonObject{{QStringLiteral("field"), rgb(maze::kFieldBlue)},
                                                {QStringLiteral("path"), rgb(maze::kPathYellow)},
                                                {QStringLiteral("target"), rgb(maze::kTargetRed)},
                                                {QStringLiteral("goal"), rgb(maze::kGoalGreen)},
                                                {QStringLiteral("idle"), rgb(maze::idleLook().background)}}},
    };
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(QJsonDocument(geometry).toJson(QJsonDocument::Compact));
    return file.error() == QFile::NoError ? 0 : 1;
}
