// SPDX-License-Identifier: MIT
#pragma once

// Synthesises the paste keystroke into the application in front.
class KeySender
{
public:
    virtual ~KeySender() = default;

    // True when this session lets the app type for the user (X11 with XTEST).
    virtual bool isTrusted() const = 0;
    // Waits until the user has let go of every modifier, then types Ctrl+V, or Ctrl+Shift+V when
    // terminal is true. Returns false when nothing could be sent.
    virtual bool sendPaste(bool terminal) = 0;
};
