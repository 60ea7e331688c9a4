// SPDX-License-Identifier: MIT
// Precompiled for the tests, after core.h, gui.h or widgets.h as the test links. It brings every
// test file the macros that register the test with its suite (kiwano_test() in cmake/Kiwano.cmake).
#pragma once

#include "support/testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
