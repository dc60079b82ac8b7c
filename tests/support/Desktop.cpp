// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Desktop.h"

#include <QDesktopServices>

DesktopStandIn::DesktopStandIn() {
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
}

DesktopStandIn::~DesktopStandIn() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}
