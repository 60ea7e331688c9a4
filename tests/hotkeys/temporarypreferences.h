// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Points the app's preference store at an empty temporary folder for as long as it lives.
class TemporaryPreferences
{
public:
    TemporaryPreferences()
    {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }
    // The raw value stored for an action's shortcut; invalid when there is none.
    static QVariant stored(const char *action) { return store().value(key(action)); }
    static void plant(const char *action, const QVariant &value) { store().setValue(key(action), value); }

private:
    static QSettings store()
    {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KiwanoSnapper"),
                         QStringLiteral("KiwanoSnapper"));
    }
    static QString key(const char *action) { return QLatin1String("hotkey.") + QLatin1String(action); }

    QTemporaryDir m_dir;
};
