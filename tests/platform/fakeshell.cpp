// SPDX-License-Identifier: MIT
// Stands in for our GNOME Shell extension on the test's private session bus. Lines on standard
// input change what it does:
//   copy TYPE=TEXT...   the clipboard now offers these types (the text after the last =), and
//                       it says so (ClipboardChanged, naming the types)
//   bare-copy TYPE=TEXT...  the same, said as an extension of version 1 did: without the types
//   stall TYPE          reads of TYPE are never answered
//   press NAME          the shortcut NAME was pressed (ShortcutPressed)
//   focus yes|no        whether a window has the focus (Paste answers false without one)
// and it prints what it was asked: "shortcuts NAME=ACCELERATOR,...", "paste plain|terminal",
// "clipboard TYPE BYTES", "types asked", after "ready" once it serves.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMap>

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

namespace {
void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}
}

class FakeShell : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kiwanosnapper.KiwanoSnapper.Shell1")

public:
    QMap<QString, QByteArray> offered;
    QStringList stalled;
    bool focused = true;

public slots:
    uint Version() { return 1; }
    QStringList ClipboardTypes()
    {
        say(QStringLiteral("types asked"));
        return offered.keys();
    }
    QByteArray ClipboardData(const QString &type)
    {
        if (stalled.contains(type)) {
            setDelayedReply(true);
            return {};
        }
        return offered.value(type);
    }
    void SetClipboard(const QString &type, const QByteArray &data)
    {
        say(QStringLiteral("clipboard %1 %2").arg(type).arg(data.size()));
    }
    bool Paste(bool terminal)
    {
        say(QStringLiteral("paste %1").arg(terminal ? "terminal" : "plain"));
        return focused;
    }
    QStringList SetShortcuts(const QMap<QString, QString> &accelerators)
    {
        QStringList pairs;
        QStringList refused;
        for (auto it = accelerators.cbegin(); it != accelerators.cend(); ++it) {
            pairs << it.key() + QLatin1Char('=') + it.value();
            if (it.value() == QLatin1String("<Alt>F4"))
                refused << it.key();
        }
        say(QStringLiteral("shortcuts ") + pairs.join(QLatin1Char(',')));
        return refused;
    }

signals:
    void ClipboardChanged(const QStringList &types);
    void ShortcutPressed(const QString &name);
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<QMap<QString, QString>>();
    FakeShell shell;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/kiwanosnapper/KiwanoSnapper/Shell"), &shell,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
        || !bus.registerService(QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell")))
        return 1;
    // Each line is handled on the main thread, in order; the end of the input ends the program.
    const auto handle = [&](const QString &line) {
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        const QStringList words = line.section(QLatin1Char(' '), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (command == QLatin1String("copy") || command == QLatin1String("bare-copy")) {
            shell.offered.clear();
            for (const QString &word : words)
                shell.offered.insert(word.section(QLatin1Char('='), 0, -2), word.section(QLatin1Char('='), -1).toUtf8());
            if (command == QLatin1String("copy"))
                emit shell.ClipboardChanged(shell.offered.keys());
            else
                bus.send(QDBusMessage::createSignal(QStringLiteral("/org/kiwanosnapper/KiwanoSnapper/Shell"),
                                                    QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell1"),
                                                    QStringLiteral("ClipboardChanged")));
        } else if (command == QLatin1String("stall")) {
            shell.stalled << words;
        } else if (command == QLatin1String("press")) {
            emit shell.ShortcutPressed(words.value(0));
        } else if (command == QLatin1String("focus")) {
            shell.focused = words.value(0) == QLatin1String("yes");
        }
        say(QStringLiteral("ok"));
    };
    std::thread([&app, handle] {
        std::string line;
        while (std::getline(std::cin, line))
            QMetaObject::invokeMethod(&app, [handle, text = QString::fromStdString(line)] { handle(text); });
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit);
    }).detach();
    say(QStringLiteral("ready"));
    return app.exec();
}

#include "fakeshell.moc"
