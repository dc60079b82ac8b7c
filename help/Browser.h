// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

namespace help {

// The program's one way out to the desktop: hands a URL to the desktop's browser, or a mailto: URL to its
// mail program, in a new window of its own.
class Browser final {
public:
    Browser() = default;
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // False when the desktop could not open it.
    bool Navigate(const QUrl& url);
};

} // namespace help
