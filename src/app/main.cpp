// SPDX-License-Identifier: MIT
#include <QApplication>

#include "app/editorwindowcontroller.h"
#include "capture/appstate.h"
#include "hotkeys/keyboard.h"
#include "look/pixel.h"
#include "look/widgets/kiwanostyle.h"
#include "platform/x11/x11keyboardlayout.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    QApplication::setOrganizationName(QStringLiteral("KiwanoSnapper"));
    Pixel::registerFont();
    Look::apply(app);
    // Key names in shortcut texts follow the keyboard layout of the X server.
    X11KeyboardLayout layout;
    if (layout.isReadable())
        Keyboard::setLayout(&layout);

    AppState state;
    state.selectLatestIfNeeded();
    EditorWindowController editor(&state);
    editor.show();
    const int status = app.exec();
    Keyboard::setLayout(nullptr);
    return status;
}
