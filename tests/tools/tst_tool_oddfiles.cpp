// koru-tool and the programs as a shell starts them, on what a hostile user
// hands them: a named pipe or a folder called like a program file, and a
// file size limit (ulimit -f) with the signal it raises left as a shell
// leaves it.
#include "model/dialogservice.h"
#include "model/messages.h"
#include "model/programfile.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace koru;

namespace {

struct ShellRun
{
    int exitCode = -1; // -1: still running at the time-out, or ended by a signal
    int signal = 0;
    QString err;
};

// As from a shell: SIGXFSZ at its default (which ends the process), and
// files no larger than limit bytes when a limit is given.
void startAsFromAShell(QProcess &p, long long limit)
{
    p.setChildProcessModifier([limit] {
        std::signal(SIGXFSZ, SIG_DFL);
        if (limit >= 0) {
            rlimit r{};
            getrlimit(RLIMIT_FSIZE, &r);
            r.rlim_cur = rlim_t(limit);
            setrlimit(RLIMIT_FSIZE, &r);
        }
    });
}

ShellRun toolFromShell(const QStringList &args, long long limit = -1)
{
    QProcess p;
    startAsFromAShell(p, limit);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool"), args);
    ShellRun r;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    if (p.exitStatus() == QProcess::CrashExit)
        r.signal = p.exitCode();
    else
        r.exitCode = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether a running process ignores a signal (from /proc/PID/status).
bool ignores(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QRegularExpression line(QStringLiteral("^SigIgn:\\s*([0-9a-f]+)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() && (match.captured(1).toULongLong(nullptr, 16) >> (signal - 1)) & 1;
}

} // namespace

class TstToolOddFiles : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_pipe;
    QString m_folder;
    QString m_flow;

private slots:
    void initTestCase()
    {
        const QString bin = QCoreApplication::applicationDirPath();
        if (!QFile::exists(bin + QStringLiteral("/koru-tool")))
            QSKIP("koru-tool is not built");
        m_pipe = m_dir.filePath(QStringLiteral("lesson.koru"));
        QCOMPARE(::mkfifo(QFile::encodeName(m_pipe).constData(), 0600), 0);
        m_folder = m_dir.filePath(QStringLiteral("folder.koru"));
        QVERIFY(QDir().mkdir(m_folder));
        m_flow = bin + QStringLiteral("/Data/Demo/fro/demo1(フロー).koru");
        QVERIFY(QFile::exists(m_flow));
    }

    // Every reader refuses at once what is no regular file: none waits in
    // open() for a writer to come to the pipe.
    void noRegularFile_data()
    {
        QTest::addColumn<QStringList>("args"); // FILE stands for the odd file
        for (const char *command : {"text", "listing", "view", "image", "send"})
            QTest::addRow("%s", command) << QStringList{command, "FILE"};
        QTest::newRow("flow") << QStringList{"flow", "FILE", "OUT"};
        QTest::newRow("wav") << QStringList{"wav", "FILE", "OUT"};
        QTest::newRow("readback") << QStringList{"readback", "FILE", "OUT"};
    }
    void noRegularFile()
    {
        QFETCH(QStringList, args);
        for (const QString &odd : {m_pipe, m_folder}) {
            QStringList filled = args;
            filled.replaceInStrings(QStringLiteral("FILE"), odd);
            filled.replaceInStrings(QStringLiteral("OUT"), m_dir.filePath(QStringLiteral("out")));
            const ShellRun r = toolFromShell(filled);
            QVERIFY2(r.exitCode == 1, qPrintable(odd + QStringLiteral(": exit %1 %2").arg(r.exitCode).arg(r.err)));
            QVERIFY2(r.err.contains(LoadFailed), qPrintable(r.err));
            QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out"))));
        }
    }

    // Over the size limit the checked write says why and the old file
    // stays; nothing is killed by the signal.
    void fileSizeLimit_data()
    {
        QTest::addColumn<QStringList>("args"); // OUT is the file written
        QTest::newRow("flow") << QStringList{"flow", "IN", "OUT"};
        QTest::newRow("readback") << QStringList{"readback", "MEMORY", "OUT"};
    }
    void fileSizeLimit()
    {
        QFETCH(QStringList, args);
        const QString out = m_dir.filePath(QStringLiteral("old.koru"));
        QVERIFY(WriteProgramLines(out, {QStringLiteral("old")}));
        const QString memory = m_dir.filePath(QStringLiteral("memory.txt"));
        {
            QFile file(memory);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("E6 \n02 \nE7 \n");
            for (int n = 3; n < 255; ++n)
                file.write("FF \n");
        }
        args.replaceInStrings(QStringLiteral("IN"), m_flow);
        args.replaceInStrings(QStringLiteral("MEMORY"), memory);
        args.replaceInStrings(QStringLiteral("OUT"), out);
        const ShellRun r = toolFromShell(args, 64);
        QVERIFY2(r.signal == 0 && r.exitCode == 1,
                 qPrintable(QStringLiteral("exit %1, signal %2: %3").arg(r.exitCode).arg(r.signal).arg(r.err)));
        QVERIFY2(r.err.contains(QStringLiteral("File too large")), qPrintable(r.err));
        QCOMPARE(contents(out), QByteArray("old\r\n"));
    }

    // The program and the virtual kit ignore the signal too, from their
    // first moment.
    void programsIgnoreTheSignal_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("koru") << QStringLiteral("koru") << QStringList{};
        QTest::newRow("koru-kit") << QStringLiteral("koru-kit") << QStringList{QStringLiteral("--headless")};
    }
    void programsIgnoreTheSignal()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + program;
        if (!QFile::exists(path))
            QSKIP("not built");
        QTemporaryDir home;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
        p.setProcessEnvironment(env);
        startAsFromAShell(p, -1);
        p.start(path, args);
        QVERIFY(p.waitForStarted());
        QVERIFY(!ignores(QCoreApplication::applicationPid(), SIGHUP)); // the reading works
        const bool ignored = QTest::qWaitFor([&p] { return ignores(p.processId(), SIGXFSZ); }, 5000);
        p.kill();
        p.waitForFinished();
        QVERIFY(ignored);
    }
};

KORU_TEST_GUILESS_MAIN(TstToolOddFiles)
#include "tst_tool_oddfiles.moc"
