// SPDX-License-Identifier: MIT
// The tests of a suite, by name: each test file registers its main (support/testmain.h) and the
// runner (testrunner.cpp) calls the one CTest names.
#pragma once

namespace KiwanoTest {
using Main = int (*)(int argc, char **argv);

// Made once per test file, before the runner's main() starts.
struct Registration
{
    Registration(const char *name, Main main);
};
} // namespace KiwanoTest
