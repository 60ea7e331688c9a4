// SPDX-License-Identifier: MIT
#include "settings/updatesettings.h"

#include "platform/preferences.h"

UpdateSettings::UpdateSettings(QObject *parent) : QObject(parent) {}

bool UpdateSettings::automaticChecks() const
{
    return Preferences::value(Preferences::automaticUpdateChecks);
}

void UpdateSettings::setAutomaticChecks(bool on)
{
    if (on == automaticChecks())
        return;
    Preferences::setValue(Preferences::automaticUpdateChecks, on);
    emit automaticChecksChanged(on);
}

QString UpdateSettings::version()
{
#ifdef KIWANO_VERSION
    return QStringLiteral(KIWANO_VERSION);
#else
    return QStringLiteral("?");
#endif
}

bool UpdateSettings::fromPackageManager()
{
    return true;
}

QString UpdateSettings::checkNow()
{
    return tr("Kiwano Snapper updates come with your package manager.");
}
