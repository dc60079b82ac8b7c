// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "CarriedFaces.h"

#include <QDir>
#include <QFontDatabase>

int addCarriedFaces(const QString& folder) {
    int added = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        if (QFontDatabase::addApplicationFont(dir.filePath(name)) >= 0)
            ++added;
    return added;
}
