// The entry point of a test. Every test file ends with KORU_TEST_MAIN,
// KORU_TEST_GUILESS_MAIN or KORU_TEST_APPLESS_MAIN (Qt Test's QTEST_*_MAIN
// with the same application set-up), or gives its own with
//     KORU_TEST_ENTRY(TestClass)(int argc, char *argv[]) { ... }
// Built on its own (KORU_TEST_GROUPS off) that is the program's main().
// Built into its folder's group program (KORU_TEST_GROUP defined), it is
// entered in the group under the file's name, and `tests_<folder> tst_x
// [Qt Test arguments]` runs it.
#pragma once

#include <QStringList>
#include <QTest>

namespace koru::test {

using TestEntry = int (*)(int argc, char *argv[]);

struct TestRegistration
{
    // file: the test's source file (__FILE__); its name without folder and
    // suffix names the test.
    TestRegistration(const char *file, TestEntry entry);
};

// Runs the test named by argv[1] among those entered; its argv[0] is then
// the test's name, as it would be for a program of its own.
int RunGroupedTest(int argc, char *argv[]);

// What to pass before a test's own arguments to start this same test again
// in another process (QCoreApplication::applicationFilePath()): the test's
// name in a group program, nothing otherwise.
QStringList TestProgramArguments();

} // namespace koru::test

#ifdef KORU_TEST_GROUP
#define KORU_TEST_ENTRY(TestObject)                                                                \
    static int koruTestEntry_##TestObject(int argc, char *argv[]);                                 \
    static const koru::test::TestRegistration koruTestRegistration_##TestObject(                   \
        __FILE__, koruTestEntry_##TestObject);                                                     \
    static int koruTestEntry_##TestObject
#else
#define KORU_TEST_ENTRY(TestObject) int main
#endif

#define KORU_TEST_MAIN_WRAPPER(TestObject, ...)                                                    \
    KORU_TEST_ENTRY(TestObject)(int argc, char *argv[])                                            \
    {                                                                                              \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                         \
        __VA_ARGS__                                                                                \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define KORU_TEST_MAIN(TestObject) KORU_TEST_MAIN_WRAPPER(TestObject, QTEST_MAIN_SETUP())
#define KORU_TEST_GUILESS_MAIN(TestObject) KORU_TEST_MAIN_WRAPPER(TestObject, QTEST_QAPP_SETUP(QCoreApplication))
#define KORU_TEST_APPLESS_MAIN(TestObject) KORU_TEST_MAIN_WRAPPER(TestObject)
