#pragma once

// The Qt Test classes of a test folder share one program, so a build links a handful of test
// programs instead of one per class (each link of the static Windows build takes seconds).
// This header is part of every Qt test's precompiled header: there QTEST_MAIN and its kin
// register their class instead of defining main(), and the folder's program
// (qtest_main.cpp) runs the class its command line names. Each class still runs in a
// process of its own, one CTest entry per class.

#include <QtTest/QtTest>

namespace zrk6::test {

using QtTestRun = int (*)(int argc, char *argv[]);

// Records a class's entry point under its name; true, so that it can start a constant.
bool RegisterQtTest(const char *className, QtTestRun run);

} // namespace zrk6::test

#undef QTEST_MAIN_WRAPPER
#define QTEST_MAIN_WRAPPER(TestObject, ...)                                                     \
    namespace {                                                                                 \
    int zrk6RunQtTest(int argc, char *argv[])                                                   \
    {                                                                                           \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                      \
        __VA_ARGS__                                                                             \
        TestObject tc;                                                                          \
        QTEST_SET_MAIN_SOURCE_PATH                                                              \
        return QTest::qExec(&tc, argc, argv);                                                   \
    }                                                                                           \
    [[maybe_unused]] const bool zrk6QtTestRegistered = zrk6::test::RegisterQtTest(#TestObject, zrk6RunQtTest); \
    }
