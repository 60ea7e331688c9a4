// SPDX-License-Identifier: MIT
#include "settings/updatesettings.h"

#include <QSettings>

namespace {

const QString key = QStringLiteral("update.automaticChecks");

QSettings preferences()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KiwanoSnapper"),
                     QStringLiteral("KiwanoSnapper"));
}

} // namespace

UpdateSettings::UpdateSettings(QObject *parent) : QObject(parent) {}

bool UpdateSettings::automaticChecks() const
{
    const QVariant stored = preferences().value(key);
    // Anything but a stored boolean reads as the default.
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString();
        if (text == QLatin1String("false"))
            return false;
    }
    return true;
}

void UpdateSettings::setAutomaticChecks(bool on)
{
    if (on == automaticChecks())
        return;
    preferences().setValue(key, on);
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

QString UpdateSettings::checkNow()
{
    return tr("Kiwano Snapper updates come with your package manager.");
}
