// SPDX-License-Identifier: MIT
#include "app/statustexts.h"

#include "hotkeys/keyboard.h"

#include <QCoreApplication>

namespace StatusTexts {

QString toolTip(bool paused, bool ignoreNext)
{
    if (paused)
        return QCoreApplication::translate("StatusTexts", "Kiwano Snapper (clipboard history paused)");
    if (ignoreNext)
        return QCoreApplication::translate("StatusTexts", "Kiwano Snapper (ignoring the next copy)");
    return QStringLiteral("Kiwano Snapper");
}

QString pauseTitle(bool paused)
{
    return paused ? QCoreApplication::translate("StatusTexts", "Resume Clipboard History") : QCoreApplication::translate("StatusTexts", "Pause Clipboard History");
}

QString shortcutText(const std::optional<HotKey> &key)
{
    if (!key || !Keyboard::hasName(key->keyCode))
        return {};
    return key->display();
}

QString rowText(const QString &title, const QString &keyText)
{
    return keyText.isEmpty() ? title : title + QLatin1Char('\t') + keyText;
}

} // namespace StatusTexts
