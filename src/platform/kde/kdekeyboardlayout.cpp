// SPDX-License-Identifier: MIT
#include "platform/kde/kdekeyboardlayout.h"

#include "platform/keycodes.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <xkbcommon/xkbcommon.h>

namespace {
// The first entry of a comma-separated list, as KConfig writes it.
QString first(const QVariant &value)
{
    const QStringList list = value.toString().isEmpty() ? value.toStringList() : value.toString().split(u',');
    return list.value(0).trimmed();
}
}

KdeKeyboardLayout::KdeKeyboardLayout(const QString &configFolder)
{
    const QString folder = configFolder.isEmpty()
        ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) : configFolder;
    QSettings kxkbrc(QDir(folder).filePath(QStringLiteral("kxkbrc")), QSettings::IniFormat);
    kxkbrc.beginGroup(QStringLiteral("Layout"));
    const bool own = kxkbrc.value(QStringLiteral("Use"), false).toBool();
    m_layout = own ? first(kxkbrc.value(QStringLiteral("LayoutList"))) : QString();
    const QString variant = own ? first(kxkbrc.value(QStringLiteral("VariantList"))) : QString();
    const QString model = kxkbrc.value(QStringLiteral("Model")).toString();
    if (m_layout.isEmpty())
        m_layout = QStringLiteral("us");

    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (!context)
        return;
    const QByteArray layout = m_layout.toUtf8(), variantBytes = variant.toUtf8(), modelBytes = model.toUtf8();
    const xkb_rule_names names{"evdev", modelBytes.isEmpty() ? "pc105" : modelBytes.constData(),
                               layout.constData(), variantBytes.constData(), nullptr};
    m_keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
}

KdeKeyboardLayout::~KdeKeyboardLayout()
{
    xkb_keymap_unref(m_keymap);
}

std::optional<QString> KdeKeyboardLayout::text(quint32 keyCode)
{
    const std::optional<quint32> evdev = KeyCodes::toEvdev(keyCode);
    if (!m_keymap || !evdev)
        return std::nullopt;
    const xkb_keysym_t *symbols = nullptr;
    if (xkb_keymap_key_get_syms_by_level(m_keymap, *evdev + 8, 0, 0, &symbols) != 1)
        return std::nullopt;
    char utf8[16] = {};
    if (xkb_keysym_to_utf8(symbols[0], utf8, sizeof utf8) <= 1)
        return std::nullopt;
    const QString text = QString::fromUtf8(utf8);
    if (text.isEmpty() || !text.at(0).isPrint())
        return std::nullopt;
    return text;
}
