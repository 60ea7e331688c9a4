// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/pickertexts.h"

#include <QCoreApplication>
#include <QStringList>

namespace PickerTexts {

QString details(const ClipItem &item,
                const std::function<std::optional<QString>(const QString &)> &appName,
                const QLocale &locale)
{
    QStringList parts;
    if (item.app && appName) {
        if (const auto name = appName(*item.app))
            parts << QCoreApplication::translate("PickerTexts", "From %1").arg(*name);
    }
    parts << (item.copies == 1 ? QCoreApplication::translate("PickerTexts", "Copied once")
                               : QCoreApplication::translate("PickerTexts", "Copied %nx", nullptr,
                                                                 item.copies));
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
        parts << QCoreApplication::translate("PickerTexts", "%1 at %2")
                     .arg(date, locale.toString(local.time(), timeFormat));
    }
    if (item.pinned)
        parts << QCoreApplication::translate("PickerTexts", "Pinned");
    return parts.join(QStringLiteral("  \u00B7  "));
}

QString hint(bool pasteAutomatically)
{
    const QString keys = pasteAutomatically
        ? QCoreApplication::translate("PickerTexts", "\u23CE paste  Alt+\u23CE copy")
        : QCoreApplication::translate("PickerTexts", "\u23CE copy  Alt+\u23CE paste");
    return keys + QCoreApplication::translate("PickerTexts", "  Alt+P pin  Alt+\u232B delete");
}

QString sessionWarning()
{
    return QCoreApplication::translate("PickerTexts",
        "To paste for you, Kiwano Snapper needs an X11 session. Until then \u23CE copies.");
}

QString badge(int index)
{
    return index >= 0 && index < 9 ? QStringLiteral("Ctrl+%1").arg(index + 1) : QString();
}

} // namespace PickerTexts
