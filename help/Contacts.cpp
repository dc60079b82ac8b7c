// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Contacts.h"

namespace help {

QString authorMail() {
    return QStringLiteral("nt@example.org");
}
QString iconArtistMail() {
    return QStringLiteral("olya@example.org");
}
QString authorSite() {
    return QStringLiteral("example.org/nt");
}

QUrl authorMailUrl() {
    return QUrl(QStringLiteral("mailto:") + authorMail());
}
QUrl iconArtistMailUrl() {
    return QUrl(QStringLiteral("mailto:") + iconArtistMail());
}
QUrl authorSiteUrl() {
    return QUrl(QStringLiteral("http://") + authorSite());
}

QString cannotOpenText(const QUrl& url) {
    return QStringLiteral(
               "Не удалось открыть адрес\n%1\n\nВозможно, на этом компьютере не настроены браузер или "
               "почтовая программа.")
        .arg(url.toString());
}

} // namespace help
