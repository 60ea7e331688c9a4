// SPDX-License-Identifier: MIT
// kiwano-test-pastewindow: a window with a text field that takes the focus and reports the paste
// shortcuts it receives and the text it then holds, like an editor or (with --terminal) a
// terminal, which pastes with Ctrl+Shift+V only. --wm-class INSTANCE,CLASS and --app-id ID name it.

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// Whether the window manager has published this window as the active one yet: Qt may see the
// focus a moment before, and tests that ask who is in front go by the window manager. On Wayland
// Qt learns of the focus from the compositor itself.
bool isPublishedActive(WId window)
{
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        return true;
    xcb_connection_t *c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const char name[] = "_NET_ACTIVE_WINDOW";
    auto *atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    auto *reply = xcb_get_property_reply(c, xcb_get_property(c, 0, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                                                             atom ? atom->atom : XCB_NONE, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool active = reply && xcb_get_property_value_length(reply) == 4
        && *static_cast<const xcb_window_t *>(xcb_get_property_value(reply)) == window;
    std::free(atom);
    std::free(reply);
    return active;
}

class PasteField : public QPlainTextEdit
{
public:
    explicit PasteField(bool terminal) : m_terminal(terminal) { }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const auto modifiers = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier
                                                     | Qt::AltModifier | Qt::MetaModifier);
        if (event->key() != Qt::Key_V || !(modifiers & Qt::ControlModifier)) {
            QPlainTextEdit::keyPressEvent(event);
            return;
        }
        QString keys = QStringLiteral("key ctrl+");
        for (const auto &[modifier, name] : {std::pair{Qt::ShiftModifier, "shift+"},
                                             {Qt::AltModifier, "alt+"}, {Qt::MetaModifier, "super+"}})
            keys += (modifiers & modifier) ? QLatin1String(name) : QLatin1String();
        say(keys + u'v');
        const auto pasteModifiers = m_terminal ? (Qt::ControlModifier | Qt::ShiftModifier)
                                               : Qt::KeyboardModifiers(Qt::ControlModifier);
        if (modifiers == pasteModifiers) {
            insertPlainText(QGuiApplication::clipboard()->text());
            QString text = toPlainText();
            say(QStringLiteral("text ") + text.replace(u'\n', QStringLiteral("\\n")));
        }
    }

private:
    bool m_terminal;
};

} // namespace

int main(int argc, char **argv)
{
    // Qt takes the WM_CLASS instance from RESOURCE_NAME, which it reads as it starts, and the
    // class from the application name.
    const auto wmClass = std::find(argv, argv + argc, std::string_view("--wm-class"));
    if (wmClass < argv + argc - 1)
        qputenv("RESOURCE_NAME", QByteArray(wmClass[1]).split(',').value(0));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"wm-class", {}, "INSTANCE,CLASS"}, {"app-id", {}, "ID"}, {"terminal", {}}});
    parser.process(app);
    if (parser.isSet("wm-class"))
        QApplication::setApplicationName(parser.value("wm-class").section(u',', 1));
    if (parser.isSet("app-id"))
        QGuiApplication::setDesktopFileName(parser.value("app-id"));

    PasteField field(parser.isSet("terminal"));
    field.setWindowTitle(QStringLiteral("kiwano-test-pastewindow"));
    field.resize(400, 200);
    field.show();
    field.activateWindow();
    field.raise();

    // Ready once the window manager has given the window the focus.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (field.isActiveWindow() && field.hasFocus() && isPublishedActive(field.winId())) {
            poll.stop();
            say(QStringLiteral("ready 0x") + QString::number(field.winId(), 16));
        } else {
            field.activateWindow();
        }
    });
    poll.start(20);
    return app.exec();
}
