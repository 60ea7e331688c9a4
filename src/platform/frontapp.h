// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Identifies the application whose window is in front.
class FrontApp
{
public:
    virtual ~FrontApp() = default;

    // The desktop-file id of the active window's application when it resolves, else its WM_CLASS
    // class; empty when no window is active.
    virtual QString identifier() const = 0;
};
