// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/pickertexts.h"

#include <QStringList>

namespace PickerTexts {

QString details(const ClipItem &item,
                const std::function<std::optional<QString>(const QString &)> &appName,
                const QLocale &locale)
{
    QStringList parts;
    if (item.app && appName) {
        if (const auto name = appName(*item.app))
            parts << QStringLiteral("From ") + *name;
    }
    parts << (item.copies == 1 ? QStringLiteral("Copied once")
                               : QStringLiteral("Copied %1x").arg(item.copies));
    if (item.lastCopied.isValid()) {
        const QDateTime local = item.lastCopied.toLocalTime();
        // An abbreviated date with a short time, in the user's own order and words.
        QString date = locale.toString(local.date(), QLocale::ShortFormat);
        const QString month = locale.monthName(local.date().month(), QLocale::ShortFormat);
        if (locale.language() == QLocale::English || locale.language() == QLocale::C)
            date = QStringLiteral("%1 %2, %3").arg(month).arg(local.date().day()).arg(local.date().year());
        // Minutes are enough; some locales' short format carries seconds.
        QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
        timeFormat.remove(QLatin1String(":ss"));
        parts << QStringLiteral("%1 at %2").arg(date, locale.toString(local.time(), timeFormat));
    }
    if (item.pinned)
        parts << QStringLiteral("Pinned");
    return parts.join(QStringLiteral("  \u00B7  "));
}

QString hint(bool pasteAutomatically)
{
    const QString keys = pasteAutomatically ? QStringLiteral("\u23CE paste  Alt+\u23CE copy")
                                            : QStringLiteral("\u23CE copy  Alt+\u23CE paste");
    return keys + QStringLiteral("  Alt+P pin  Alt+\u232B delete");
}

QString sessionWarning()
{
    return QStringLiteral("To paste for you, Kiwano Snapper needs an X11 session. Until then \u23CE copies.");
}

QString badge(int index)
{
    return index >= 0 && index < 9 ? QStringLiteral("Ctrl+%1").arg(index + 1) : QString();
}

} // namespace PickerTexts
