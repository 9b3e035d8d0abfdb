#include "testutil.h"

#include "model/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace koru::test {

QString testDataPath(const QString &relative)
{
    return QDir(qEnvironmentVariable("KORU_TEST_DATA")).filePath(relative);
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

void useTemporaryAppData()
{
    static QTemporaryDir dir;
    SetAppDataFolder(dir.path());
}

} // namespace koru::test
