// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Points the app's preference store at an empty temporary folder for as long as it lives.
class TemporaryPreferences
{
public:
    TemporaryPreferences() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path()); }
    static QSettings store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapper"); }
    static QVariant stored(const char *action) { return store().value(QLatin1String("hotkey.") + action); }
    static void plant(const char *action, const QVariant &value) { store().setValue(QLatin1String("hotkey.") + action, value); }

private:
    QTemporaryDir m_dir;
};
