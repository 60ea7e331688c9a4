// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keyboardlayout.h"

#include <QHash>

// A US keyboard layout as a table of key codes and their texts.
class FakeKeyboardLayout : public KeyboardLayout
{
public:
    QHash<quint32, QString> texts;

    FakeKeyboardLayout()
    {
        // Codes 0 to 47 in order; 10 is the ISO key a US keyboard lacks, 36 is Return.
        static constexpr char16_t letters[] = u"asdfhgzxcv bqweryt123465=97-80]ou[ip lj'k;\\,/nm.";
        for (quint32 code = 0; code + 1 < std::size(letters); ++code)
            if (letters[code] != u' ')
                texts.insert(code, QString(QChar(letters[code])));
    }
    std::optional<QString> text(quint32 keyCode) override
    {
        return texts.contains(keyCode) ? std::optional(texts.value(keyCode)) : std::nullopt;
    }
};
