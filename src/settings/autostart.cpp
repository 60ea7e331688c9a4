// SPDX-License-Identifier: MIT
#include "settings/autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

QString configHome()
{
    // Read per call: the user's session may set it after the process started (and tests do).
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString program()
{
    // Started through kiwano-snapper, the program that hands requests over: that is the one to
    // run at login, not this one in its library folder.
    const QString launcher = qEnvironmentVariable("KIWANO_SNAPPER_LAUNCHER");
    if (QDir::isAbsolutePath(launcher) && QFileInfo(launcher).isExecutable())
        return launcher;
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("kiwano-snapper") : path;
}

} // namespace

namespace Autostart {

QString execLine(const QString &program)
{
    // One argument: quoted when it holds a character the Exec key reserves, with the quote, the
    // grave accent, the dollar sign and the backslash escaped inside the quotes.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = program;
    if (std::any_of(program.cbegin(), program.cend(), [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    // A lone % starts a field code.
    argument.replace(u'%', QLatin1String("%%"));
    // Then the escapes of every string value of the file format.
    QString value;
    for (const QChar c : argument) {
        switch (c.unicode()) {
        case u'\\': value += QLatin1String("\\\\"); break;
        case u'\n': value += QLatin1String("\\n"); break;
        case u'\t': value += QLatin1String("\\t"); break;
        case u'\r': value += QLatin1String("\\r"); break;
        default: value += c;
        }
    }
    return value;
}

QByteArray desktopEntry(const QString &program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Kiwano Snapper\n"
                          "Comment=Grabs, annotations and clipboard history\n"
                          "Exec=%1\n"
                          "Icon=kiwano-snapper\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execLine(program))
        .toUtf8();
}

} // namespace

namespace Autostart {

QString path()
{
    return configHome() + QStringLiteral("/autostart/kiwano-snapper.desktop");
}

bool isEnabled()
{
    const QString file = path();
    if (!QFileInfo(file).isFile())
        return false;
    // Hidden=true is how a desktop-wide autostart entry is switched off for one user.
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed() == QLatin1String("Hidden"))
            return line.mid(equals + 1).trimmed() != QLatin1String("true");
    }
    return true;
}

bool setEnabled(bool enabled, QString *error)
{
    const QString file = path();
    if (!enabled) {
        if (!QFileInfo::exists(file) && !QFileInfo(file).isSymLink())
            return true;
        QFile existing(file);
        if (existing.remove())
            return true;
        if (error)
            *error = existing.errorString();
        return false;
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QCoreApplication::translate("Autostart", "Cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(desktopEntry(program())) < 0 || !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace Autostart
