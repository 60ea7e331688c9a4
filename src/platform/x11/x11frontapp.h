// SPDX-License-Identifier: MIT
#pragma once

#include "platform/frontapp.h"

#include <memory>

class X11Connection;

// The application of the window in _NET_ACTIVE_WINDOW, by its desktop file when one matches
// (StartupWMClass, or the program its process runs), else by its WM_CLASS class.
class X11FrontApp : public FrontApp
{
public:
    X11FrontApp();
    ~X11FrontApp() override;

    QString identifier() const override;

private:
    std::unique_ptr<X11Connection> m_connection;
};
