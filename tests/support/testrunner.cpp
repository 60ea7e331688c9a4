// SPDX-License-Identifier: MIT
// main() of a test suite: `SUITE NAME [Qt Test arguments]` runs the test registered as NAME.
#include "support/testregistry.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {
// Filled while the test files' registrations are made, before main().
std::map<std::string, KiwanoTest::Main> &tests()
{
    static std::map<std::string, KiwanoTest::Main> all;
    return all;
}

// The variable that keeps the chosen test for programs the test starts from its own file.
constexpr const char *chosenVariable = "KIWANO_TEST_RUN";

std::string chosen;

// Each test was a program of its own, named after the test: keep that name for the application
// (window classes, settings, sockets), whichever application object the test makes.
void nameApplication()
{
    QCoreApplication::setApplicationName(QString::fromStdString(chosen));
}
} // namespace

KiwanoTest::Registration::Registration(const char *name, Main main)
{
    if (!tests().emplace(name, main).second) {
        std::fprintf(stderr, "two tests named %s in one suite\n", name);
        std::abort();
    }
}

int main(int argc, char **argv)
{
    std::vector<char *> arguments(argv, argv + argc);
    arguments.push_back(nullptr);
    if (argc > 1 && tests().count(argv[1])) {
        chosen = argv[1];
        arguments.erase(arguments.begin() + 1);
    } else if (const char *inherited = std::getenv(chosenVariable); inherited && tests().count(inherited)) {
        // A test that runs its own program again, without a name, gets the same test.
        chosen = inherited;
    } else {
        std::fprintf(stderr, "usage: %s TEST [Qt Test arguments]\ntests:\n", argv[0]);
        for (const auto &[name, main] : tests())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    setenv(chosenVariable, chosen.c_str(), 1);
    qAddPreRoutine(nameApplication);
    int count = int(arguments.size()) - 1;
    return tests().at(chosen)(count, arguments.data());
}
