// Small helpers shared by the tests.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace koru::test {

// Folder of checked-in test files (tests/data).
QString testDataPath(const QString &relative);

// Writes bytes to path as they are (a file as some other program left it);
// fails the test when it cannot.
void writeBytes(const QString &path, const QByteArray &bytes);

// Result of running koru-tool (beside the test executable) to its end.
struct ToolRun
{
    int exitCode = -1; // -1 when it did not finish within the time-out
    bool crashed = false; // ended by a signal (exitCode is then meaningless)
    QString out;
    QString err;
};
ToolRun runKoruTool(const QStringList &args, int timeoutMs = 30000);
// The same in the event loop, with the given environment, so that whatever
// else the test serves meanwhile (virtual kits whose output must be read)
// goes on; onErr hears the tool's stderr so far whenever it writes some.
// exitCode is -1 when the tool did not finish in time or crashed.
ToolRun runKoruToolInEventLoop(const QString &tool, const QStringList &args, const QProcessEnvironment &env,
                               int timeoutMs = 30000, const std::function<void(const QString &err)> &onErr = {});

// Points the asset root at the build's assets (next to the executables) and
// the application-data and documents folders at a fresh temporary folder
// for this process.
void useTemporaryAppData();

// Makes a named pipe at path and runs read against it on another thread:
// true when read came back within five seconds, without anyone writing to
// the pipe, and answered true. A reader stuck in open() is let go.
bool ReadsNamedPipeWithoutWaiting(const QString &path, const std::function<bool()> &read);

// While it lives, files this process writes cannot grow beyond bytes, and
// a write past the limit fails (EFBIG) instead of killing the process, as
// on a disk that is full.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    long long m_previous = -1;
    void (*m_previousHandler)(int) = nullptr;
};

// While it lives, a regular file stands where the report picture folder
// belongs, so no report picture can be written (the tests run as root, for
// whom a read-only folder would be no obstacle).
class BlockedReportPictureFolder
{
public:
    BlockedReportPictureFolder();
    ~BlockedReportPictureFolder();
    BlockedReportPictureFolder(const BlockedReportPictureFolder &) = delete;
    BlockedReportPictureFolder &operator=(const BlockedReportPictureFolder &) = delete;

private:
    QString m_path;
};

} // namespace koru::test
