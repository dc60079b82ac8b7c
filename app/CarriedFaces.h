// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The portable folder carries the faces the layout is made for, in a folder beside the program, for systems
// that have none of them. Adds every face found there to the application's own; a missing folder adds none.
// Returns how many faces were added.
int addCarriedFaces(const QString& folder);
