// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keysender.h"

#include <QList>

// Records each paste keystroke instead of typing it.
class FakeKeySender : public KeySender
{
public:
    bool isTrusted() const override { return trusted; }
    bool sendPaste(bool terminal) override
    {
        pastes.append(terminal);
        return trusted;
    }

    bool trusted = true;
    QList<bool> pastes; // one entry per keystroke: true when Ctrl+Shift+V was asked for
};
