// SPDX-License-Identifier: MIT
#include "platform/waylandsession.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

namespace WaylandSession {

QString skipReason()
{
    if (const QString why = qEnvironmentVariable("KIWANO_TEST_WAYLAND_SKIP"); !why.isEmpty())
        return why;
    return display().isEmpty() ? QStringLiteral("no test compositor (run the tests through scripts/run-tests.sh)") : QString();
}

QByteArray display() { return qgetenv("KIWANO_TEST_WAYLAND_DISPLAY"); }

QProcessEnvironment environment(const QProcessEnvironment &base)
{
    QProcessEnvironment env = base;
    const QString socket = QString::fromLocal8Bit(display());
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QFileInfo(socket).absolutePath());
    env.insert(QStringLiteral("SWAYSOCK"), qEnvironmentVariable("KIWANO_TEST_SWAYSOCK"));
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    return env;
}

bool swaymsg(const QStringList &arguments, QByteArray *reply)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("swaymsg"),
                  QStringList{QStringLiteral("-s"), qEnvironmentVariable("KIWANO_TEST_SWAYSOCK")} + arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (reply)
        *reply = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString programForCompositor(const QString &program, const QStringList &beside)
{
    const QString user = qEnvironmentVariable("KIWANO_TEST_WAYLAND_USER");
    // The compositor runs as someone else only when we are root; check as that user.
    if (::geteuid() != 0 || user.isEmpty())
        return program;
    if (QProcess::execute(QStringLiteral("runuser"), {QStringLiteral("-u"), user, QStringLiteral("--"),
                                                      QStringLiteral("test"), QStringLiteral("-x"), program})
        == 0)
        return program;
    // A build tree under a private home: the programs link only to system libraries, so a copy
    // runs anywhere.
    static QTemporaryDir copies(QStringLiteral("/tmp/kiwano-programs-XXXXXX"));
    if (!copies.isValid())
        return {};
    QFile::setPermissions(copies.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                             | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    for (const QString &path : QStringList{program} + beside) {
        const QString copy = copies.filePath(QFileInfo(path).fileName());
        if (!QFile::exists(copy) && !QFile::copy(path, copy))
            return {};
    }
    return copies.filePath(QFileInfo(program).fileName());
}

namespace {

QJsonObject search(const QJsonObject &node, const std::function<bool(const QJsonObject &)> &accepts)
{
    if (node.contains(QStringLiteral("shell")) && accepts(node))
        return node;
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray()) {
            if (QJsonObject found = search(child.toObject(), accepts); !found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

QJsonObject findWindow(const std::function<bool(const QJsonObject &)> &accepts)
{
    QByteArray tree;
    if (!swaymsg({QStringLiteral("-t"), QStringLiteral("get_tree")}, &tree))
        return {};
    return search(QJsonDocument::fromJson(tree).object(), accepts);
}

QJsonObject focusedWindow()
{
    return findWindow([](const QJsonObject &node) { return node.value(QStringLiteral("focused")).toBool(); });
}

} // namespace WaylandSession
