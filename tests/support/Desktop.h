// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop's browser and mail program while it lives: every web and mail address the game
// hands to the desktop is recorded here instead of opened.
class DesktopStandIn final : public QObject {
    Q_OBJECT

public:
    DesktopStandIn();
    ~DesktopStandIn() override;

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};
