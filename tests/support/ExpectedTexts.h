// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts the game must show, written out once for all tests and apart from the game's own code.
namespace expected {

inline QString firstStartText() {
    return QStringLiteral("  Старт игры");
}
inline QString startText() {
    return QStringLiteral("Старт игры");
}
inline QString instruction() {
    return QStringLiteral("Иди к красному кружку, не выходя на синее поле");
}
inline QString winMessage() {
    return QStringLiteral("Молодец, Вы прошли испытание\r\n\r\n               Позовите учителя");
}
inline QString programName() {
    return QStringLiteral("Тропилка");
}
// With the version the build gives the game.
inline QString title() {
    return QStringLiteral("Тропилка   ver. " TROPILKA_VERSION);
}

} // namespace expected
