// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keyboardlayout.h"

#include <QString>

struct xkb_keymap;

// The keyboard layout Plasma sets up, read from its keyboard settings (kxkbrc: the first layout
// of the list, with its variant and the model) and compiled here, without asking the compositor:
// for native Wayland windows, which see no X11 keymap. A US keyboard where Plasma names none.
class KdeKeyboardLayout : public KeyboardLayout
{
public:
    // configFolder: where kxkbrc lies ($XDG_CONFIG_HOME or ~/.config when empty).
    explicit KdeKeyboardLayout(const QString &configFolder = {});
    ~KdeKeyboardLayout() override;
    KdeKeyboardLayout(const KdeKeyboardLayout &) = delete;
    KdeKeyboardLayout &operator=(const KdeKeyboardLayout &) = delete;

    bool isReadable() const { return m_keymap != nullptr; }
    // "de", "us" ...: the layout compiled.
    QString name() const { return m_layout; }
    std::optional<QString> text(quint32 keyCode) override;

private:
    xkb_keymap *m_keymap = nullptr;
    QString m_layout;
};
