// SPDX-License-Identifier: MIT
#include <QApplication>

#include "app/sampledocument.h"
#include "look/pixel.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    Pixel::registerFont();
    SampleDocumentView window;
    window.show();
    return app.exec();
}
