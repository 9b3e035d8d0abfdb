#include "testmain.h"

#include <QFileInfo>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace koru::test {
namespace {

std::map<std::string, TestEntry> &Entries()
{
    static std::map<std::string, TestEntry> entries;
    return entries;
}

QString &RunningTest()
{
    static QString name;
    return name;
}

} // namespace

TestRegistration::TestRegistration(const char *file, TestEntry entry)
{
    Entries()[QFileInfo(QString::fromLocal8Bit(file)).completeBaseName().toStdString()] = entry;
}

int RunGroupedTest(int argc, char *argv[])
{
    const auto found = argc >= 2 ? Entries().find(argv[1]) : Entries().end();
    if (found == Entries().end()) {
        std::fprintf(stderr, "usage: %s TEST [Qt Test arguments]\ntests:", argc > 0 ? argv[0] : "tests");
        for (const auto &[name, entry] : Entries())
            std::fprintf(stderr, " %s", name.c_str());
        std::fputs("\n", stderr);
        return 2;
    }
    RunningTest() = QString::fromStdString(found->first);
    // The test's name stands where its program's name would, in the same
    // folder: the application's name (and so its settings and data folders)
    // follows it, and what a test looks for beside itself is still found.
    const std::string program = argv[0];
    const std::size_t slash = program.rfind('/');
    std::string self = (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + found->first;
    std::vector<char *> arguments{self.data()};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return found->second(argc - 1, arguments.data());
}

QStringList TestProgramArguments()
{
    return RunningTest().isEmpty() ? QStringList() : QStringList{RunningTest()};
}

} // namespace koru::test
