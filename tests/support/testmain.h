// SPDX-License-Identifier: MIT
// The start of every Qt Test file. The tests of one folder link into one program (a suite);
// CTest runs `SUITE NAME`, and the runner (testrunner.cpp) hands the command line to the test
// registered under NAME. kiwano_test() in cmake/Kiwano.cmake includes this header into each test
// (through the tests' precompiled header, cmake/pch/test.h) and names the test in KIWANO_TEST_NAME.
//
//   KIWANO_TEST_MAIN(TestFoo)          as QTEST_MAIN: a QApplication, QGuiApplication or
//                                      QCoreApplication after what the test links
//   KIWANO_TEST_GUILESS_MAIN(TestFoo)  as QTEST_GUILESS_MAIN: a QCoreApplication
//   KIWANO_TEST_APPLESS_MAIN(TestFoo)  as QTEST_APPLESS_MAIN: no application object
//   KIWANO_TEST_OWN_MAIN(int argc, char **argv) { ... }
//                                      in place of `int main(...)`, for a test that sets up its
//                                      process itself
//
// scripts/test-mains.sh turns Qt's macros and a test's own main() into these; kiwano_test()
// refuses a file that still has one.
#pragma once

#include "support/testregistry.h"

#include <QtTest/qtest.h>
#if defined(QT_WIDGETS_LIB)
#include <QApplication>
#define KIWANO_TEST_APPLICATION QApplication
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
#define KIWANO_TEST_APPLICATION QGuiApplication
#else
#define KIWANO_TEST_APPLICATION QCoreApplication
#endif


// The name comes from the command line as KIWANO_TEST_NAME. The identifier is pasted together
// where the macro is used, because GCC refuses a precompiled header that spells a macro which the
// file using it defines (this header is precompiled for every test).
#define KIWANO_TEST_JOIN(a, b) a##b
#define KIWANO_TEST_REGISTER(function) \
    static const KiwanoTest::Registration kiwanoTestRegistration(KIWANO_TEST_JOIN(KIWANO_TEST_, NAME), function);

#define KIWANO_TEST_MAIN_WITH(TestObject, ...) \
    static int kiwanoTestMain(int argc, char **argv) \
    { \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>(); \
        __VA_ARGS__ \
        TestObject test; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&test, argc, argv); \
    } \
    KIWANO_TEST_REGISTER(kiwanoTestMain)

#define KIWANO_TEST_APP_SETUP(Application) \
    Application app(argc, argv); \
    app.setAttribute(Qt::AA_Use96Dpi, true);

#define KIWANO_TEST_MAIN(TestObject) \
    KIWANO_TEST_MAIN_WITH(TestObject, KIWANO_TEST_APP_SETUP(KIWANO_TEST_APPLICATION))
#define KIWANO_TEST_GUILESS_MAIN(TestObject) \
    KIWANO_TEST_MAIN_WITH(TestObject, KIWANO_TEST_APP_SETUP(QCoreApplication))
#define KIWANO_TEST_APPLESS_MAIN(TestObject) KIWANO_TEST_MAIN_WITH(TestObject)

#define KIWANO_TEST_OWN_MAIN(...) \
    static int kiwanoTestMain(__VA_ARGS__); \
    KIWANO_TEST_REGISTER(kiwanoTestMain) \
    static int kiwanoTestMain(__VA_ARGS__)
