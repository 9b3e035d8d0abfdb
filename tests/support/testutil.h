// Small helpers shared by the tests.
#pragma once

#include <QString>
#include <QStringList>

namespace koru::test {

// Folder of checked-in test files (tests/data).
QString testDataPath(const QString &relative);

// Result of running koru-tool (beside the test executable) to its end.
struct ToolRun
{
    int exitCode = -1; // -1 when it did not finish within the time-out
    bool crashed = false; // ended by a signal (exitCode is then meaningless)
    QString out;
    QString err;
};
ToolRun runKoruTool(const QStringList &args, int timeoutMs = 30000);

// Points the asset root at the build's assets (next to the executables) and
// the application-data folder at a fresh temporary folder for this process.
void useTemporaryAppData();

} // namespace koru::test
