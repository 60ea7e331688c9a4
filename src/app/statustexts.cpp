// SPDX-License-Identifier: MIT
#include "app/statustexts.h"

#include "hotkeys/keyboard.h"

namespace StatusTexts {

QString toolTip(bool paused, bool ignoreNext)
{
    if (paused)
        return QStringLiteral("Kiwano Snapper (clipboard history paused)");
    if (ignoreNext)
        return QStringLiteral("Kiwano Snapper (ignoring the next copy)");
    return QStringLiteral("Kiwano Snapper");
}

QString pauseTitle(bool paused)
{
    return paused ? QStringLiteral("Resume Clipboard History") : QStringLiteral("Pause Clipboard History");
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
