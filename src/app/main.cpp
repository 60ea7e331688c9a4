// SPDX-License-Identifier: MIT
#include <QApplication>

#include "app/editorwindowcontroller.h"
#include "capture/appstate.h"
#include "look/pixel.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    QApplication::setOrganizationName(QStringLiteral("KiwanoSnapper"));
    Pixel::registerFont();

    AppState state;
    state.selectLatestIfNeeded();
    EditorWindowController editor(&state);
    editor.show();
    return app.exec();
}
