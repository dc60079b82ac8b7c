// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Browser.h"

#include <QDesktopServices>

namespace help {

bool Browser::Navigate(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace help
