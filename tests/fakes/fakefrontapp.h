// SPDX-License-Identifier: MIT
#pragma once

#include "platform/frontapp.h"

// The application in front is whatever the test says.
class FakeFrontApp : public FrontApp
{
public:
    QString identifier() const override { return id; }

    QString id;
};
