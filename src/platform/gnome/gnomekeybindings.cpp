// SPDX-License-Identifier: MIT
#include "platform/gnome/gnomekeybindings.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>

#include <memory>

namespace {
const QString schema = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString entrySchema = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys.custom-keybinding");
const QString folder = QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/");
const QString ours = QStringLiteral("kiwano-snapper-");

// A GVariant string: quoted, with its quotes and backslashes escaped.
QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

void runNext(std::shared_ptr<QList<QStringList>> left, QPointer<QObject> context,
             std::function<void(const QString &)> done)
{
    if (!context)
        return;
    if (left->isEmpty()) {
        done({});
        return;
    }
    auto *process = new QProcess(context);
    process->setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(process, &QProcess::finished, context, [=](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit || code != 0) {
            done(QCoreApplication::translate("GnomeKeybindings", "GNOME's settings refused them (%1)")
                     .arg(QString::fromLocal8Bit(process->readAll()).trimmed()));
            return;
        }
        runNext(left, context, done);
    });
    QObject::connect(process, &QProcess::errorOccurred, context, [=](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        done(QCoreApplication::translate("GnomeKeybindings", "gsettings is not installed"));
    });
    process->start(QStringLiteral("gsettings"), left->takeFirst());
}
} // namespace

namespace GnomeKeybindings {

QString entryPath(const QString &id)
{
    return folder + ours + id + QLatin1Char('/');
}

QStringList parseList(const QString &printed)
{
    static const QRegularExpression item(QStringLiteral("'((?:[^'\\\\]|\\\\.)*)'"));
    QStringList paths;
    static const QRegularExpression escape(QStringLiteral("\\\\(.)"));
    for (const QRegularExpressionMatch &match : item.globalMatch(printed))
        paths << match.captured(1).replace(escape, QStringLiteral("\\1"));
    return paths;
}

QList<QStringList> commands(const QStringList &existing, const QList<Binding> &bindings)
{
    QStringList list;
    for (const QString &path : existing) {
        if (!path.startsWith(folder + ours))
            list << quoted(path);
    }
    QList<QStringList> result;
    QList<QStringList> entries;
    for (const Binding &binding : bindings) {
        if (binding.accelerator.isEmpty())
            continue;
        const QString path = entryPath(binding.id);
        list << quoted(path);
        const QString where = entrySchema + QLatin1Char(':') + path;
        entries << QStringList{QStringLiteral("set"), where, QStringLiteral("name"), binding.name}
                << QStringList{QStringLiteral("set"), where, QStringLiteral("command"), binding.command}
                << QStringList{QStringLiteral("set"), where, QStringLiteral("binding"), binding.accelerator};
    }
    // The entries first, so that GNOME never lists one that is not filled in yet.
    result << entries;
    result << QStringList{QStringLiteral("set"), schema, QStringLiteral("custom-keybindings"),
                          QLatin1Char('[') + list.join(QStringLiteral(", ")) + QLatin1Char(']')};
    return result;
}

void write(const QList<Binding> &bindings, QObject *context, std::function<void(const QString &error)> done)
{
    auto *read = new QProcess(context);
    QPointer<QObject> guard(context);
    QObject::connect(read, &QProcess::finished, context, [=](int code, QProcess::ExitStatus status) {
        read->deleteLater();
        if (status != QProcess::NormalExit || code != 0) {
            done(QCoreApplication::translate("GnomeKeybindings", "GNOME's keyboard settings cannot be read here"));
            return;
        }
        const QStringList existing = parseList(QString::fromUtf8(read->readAllStandardOutput()));
        runNext(std::make_shared<QList<QStringList>>(commands(existing, bindings)), guard, done);
    });
    QObject::connect(read, &QProcess::errorOccurred, context, [=](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        read->deleteLater();
        done(QCoreApplication::translate("GnomeKeybindings", "gsettings is not installed"));
    });
    read->start(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, QStringLiteral("custom-keybindings")});
}

} // namespace GnomeKeybindings
