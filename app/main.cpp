// Tropilka - a pointer-guiding game for primary school. SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tropilka"));
    QApplication::setApplicationVersion(QStringLiteral(TROPILKA_VERSION));

    Form1 form;
    form.show();
    form.Form_Load();
    return QApplication::exec();
}
