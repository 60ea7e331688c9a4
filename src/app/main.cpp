// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QLabel>

#include "look/kiwano.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    QLabel window(QStringLiteral("Kiwano Snapper"));
    window.setAlignment(Qt::AlignCenter);
    window.setStyleSheet(QStringLiteral("background: %1; color: %2;")
                             .arg(Kiwano::cream.name(), Kiwano::peel.name()));
    window.resize(480, 320);
    window.show();
    return app.exec();
}
