// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Says something to whoever started the program: on its standard output or error, or, where a Windows
// program started from a shortcut has neither, in a message box.
void tellOnOutput(const QString& text);
void tellOnError(const QString& text);
