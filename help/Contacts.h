// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

namespace help {

// The addresses the help panel shows, and what a click on each opens.
QString authorMail();
QString iconArtistMail();
QString authorSite();

QUrl authorMailUrl();
QUrl iconArtistMailUrl();
QUrl authorSiteUrl();

// Said when the desktop could not open an address.
QString cannotOpenText(const QUrl& url);

} // namespace help
