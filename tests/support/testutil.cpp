#include "testutil.h"

#include "model/filecommands.h"
#include "model/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <future>
#include <sys/stat.h>
#include <sys/resource.h>

namespace koru::test {

QString testDataPath(const QString &relative)
{
    return QDir(qEnvironmentVariable("KORU_TEST_DATA")).filePath(relative);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

ToolRun runKoruTool(const QStringList &args, int timeoutMs)
{
    ToolRun run;
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool"), args);
    if (!process.waitForFinished(timeoutMs))
        return run;
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ToolRun runKoruToolInEventLoop(const QString &tool, const QStringList &args, const QProcessEnvironment &env,
                               int timeoutMs, const std::function<void(const QString &err)> &onErr)
{
    QProcess process;
    process.setProcessEnvironment(env);
    QEventLoop loop;
    QString err;
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop, [&] {
        err += QString::fromUtf8(process.readAllStandardError());
        if (onErr)
            onErr(err);
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    process.start(tool, args);
    loop.exec();
    ToolRun run;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = run.crashed ? -1 : process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = err + QString::fromUtf8(process.readAllStandardError());
    return run;
}

void useTemporaryAppData()
{
    static QTemporaryDir dir;
    SetAppDataFolder(dir.path());
    SetDocumentsFolder(dir.filePath(QStringLiteral("Documents")));
}

BlockedReportPictureFolder::BlockedReportPictureFolder() : m_path(QDir::cleanPath(ReportPictureFolder()))
{
    QDir(m_path).removeRecursively();
    QFile blocker(m_path);
    if (!blocker.open(QIODevice::WriteOnly))
        qFatal("cannot put a file where the report pictures go: %s", qPrintable(m_path));
}

BlockedReportPictureFolder::~BlockedReportPictureFolder()
{
    QFile::remove(m_path);
}

FileSizeLimit::FileSizeLimit(long long bytes)
{
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = (long long)limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

bool ReadsNamedPipeWithoutWaiting(const QString &path, const std::function<bool()> &read)
{
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        return false;
    auto reading = std::async(std::launch::async, read);
    if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Let the stuck reader go: a writer that opens and closes the pipe.
        QFile writer(path);
        writer.open(QIODevice::WriteOnly);
        reading.wait();
        return false;
    }
    return reading.get();
}

} // namespace koru::test
