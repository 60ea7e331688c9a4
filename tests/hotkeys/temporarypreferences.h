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

    // The store as the app opens it, for planting and inspecting raw values.
    static QSettings store()
    {
        return QSettings(QSettings::IniFormat, QSettings::UserScope,
                         QStringLiteral("KiwanoSnapper"), QStringLiteral("KiwanoSnapper"));
    }

private:
    QTemporaryDir m_dir;
};
