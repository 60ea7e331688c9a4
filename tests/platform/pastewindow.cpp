// SPDX-License-Identifier: MIT
// kiwano-test-pastewindow: a window with a text field that takes the focus and reports the paste
// shortcuts it receives and the text it then holds, like an editor or (with --terminal) a
// terminal, which pastes with Ctrl+Shift+V only.

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QFile *output = nullptr;

void say(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    output->write(bytes);
    output->flush();
}

// Whether the window manager has published this window as the active one yet: Qt may see the
// focus a moment before, and tests that ask who is in front go by the window manager. On Wayland
// Qt learns of the focus from the compositor itself.
bool isPublishedActive(WId window)
{
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        return true;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char name[] = "_NET_ACTIVE_WINDOW";
    auto *atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    if (!atom)
        return false;
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
    std::free(atom);
    xcb_window_t active = XCB_NONE;
    if (reply && xcb_get_property_value_length(reply) == 4)
        std::memcpy(&active, xcb_get_property_value(reply), 4);
    std::free(reply);
    return active == window;
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
    // Qt takes the WM_CLASS instance from RESOURCE_NAME and the class from the application name.
    QString instance, wmClass;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--wm-class") == 0) {
            const QStringList parts = QString::fromLocal8Bit(argv[i + 1]).split(u',');
            instance = parts.value(0);
            wmClass = parts.value(1);
        }
    }
    if (!instance.isEmpty())
        qputenv("RESOURCE_NAME", instance.toLocal8Bit());

    QApplication app(argc, argv);
    if (!wmClass.isEmpty())
        QApplication::setApplicationName(wmClass);
    QCommandLineParser parser;
    parser.setApplicationDescription("A window that reports what is pasted into it.");
    parser.addHelpOption();
    parser.addOptions({
        {"wm-class", "Sets the window's WM_CLASS.", "INSTANCE,CLASS"},
        {"app-id", "Sets the window's Wayland app_id.", "ID"},
        {"terminal", "Pastes with Ctrl+Shift+V only, as terminals do."},
        {"output", "Writes the report to FILE instead of stdout.", "FILE"},
    });
    parser.process(app);
    if (parser.isSet("app-id"))
        QGuiApplication::setDesktopFileName(parser.value("app-id"));

    QFile file;
    if (parser.isSet("output")) {
        file.setFileName(parser.value("output"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 2;
    } else {
        file.open(stdout, QIODevice::WriteOnly);
    }
    output = &file;

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
