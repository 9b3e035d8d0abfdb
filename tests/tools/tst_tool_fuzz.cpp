// koru-tool end to end over damaged program files and memory replies: every
// run ends with 0, 1 or 2 and never by a signal or a time-out, and whatever a
// command saves with success opens again to the same file. The files are the
// shipped demos changed at random (seeded, a fixed number per run), with the
// values readers must refuse or normalise ("-0", "+5", "005", lines above
// FF) among the changes.
#include "model/programfile.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "testutil.h"

using namespace koru;
using koru::test::runKoruTool;
using koru::test::ToolRun;

namespace {

constexpr int FilesPerRun = 40;
const QStringList OddNumbers{"-0", "+5", "005", "-1", "256", "999", "", "x", "2147483648"};

// One random change of a program file's lines.
QStringList Mutate(QStringList lines, QRandomGenerator &random)
{
    const int changes = 1 + random.bounded(3);
    for (int n = 0; n < changes && !lines.isEmpty(); ++n) {
        const int at = random.bounded(int(lines.size()));
        switch (random.bounded(6)) {
        case 0: { // one field of a record or slot line becomes an odd number
            const QChar separator = lines[at].contains(QLatin1Char(',')) ? QLatin1Char(',') : QLatin1Char('-');
            QStringList fields = lines[at].split(separator);
            fields[random.bounded(int(fields.size()))] = OddNumbers[random.bounded(int(OddNumbers.size()))];
            lines[at] = fields.join(separator);
            break;
        }
        case 1:
            lines.removeAt(at);
            break;
        case 2:
            lines.insert(at, lines[random.bounded(int(lines.size()))]);
            break;
        case 3:
            lines.swapItemsAt(at, random.bounded(int(lines.size())));
            break;
        case 4:
            lines = lines.mid(0, at);
            break;
        default:
            lines[at] = QString::number(random.bounded(-3, 300));
            break;
        }
    }
    return lines;
}

QString Describe(const QStringList &args, const ToolRun &run)
{
    return QStringLiteral("koru-tool %1: exit %2%3\n%4")
        .arg(args.join(QLatin1Char(' ')))
        .arg(run.exitCode)
        .arg(run.crashed ? QStringLiteral(" (crashed)") : QString(), run.err);
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TstToolFuzz : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QStringList m_seeds;

    // Runs the tool and marks the test failed unless it ended by itself
    // with a known exit code. Returns the run.
    ToolRun checked(const QStringList &args)
    {
        const ToolRun run = runKoruTool(args);
        if (run.crashed || run.exitCode < 0 || run.exitCode > 2)
            QTest::qFail(qPrintable(Describe(args, run)), __FILE__, __LINE__);
        return run;
    }

private slots:
    void initTestCase()
    {
        const QString bin = QCoreApplication::applicationDirPath();
        if (!QFile::exists(bin + QStringLiteral("/koru-tool")))
            QSKIP("koru-tool is not built");
        for (const QString &folder : {QStringLiteral("/Data/Demo/fro"), QStringLiteral("/Data/Demo/dd")}) {
            const QDir dir(bin + folder);
            for (const QString &name : dir.entryList({QStringLiteral("*.koru")}))
                m_seeds << dir.filePath(name);
        }
        QVERIFY2(!m_seeds.isEmpty(), "no demo files beside the tool");
    }

    // Damaged program files: every command ends normally, and a flowchart
    // saved from whatever opened is opened and saved again unchanged.
    void damagedProgramFiles()
    {
        QRandomGenerator random(20261210);
        for (int n = 0; n < FilesPerRun; ++n) {
            const std::optional<QStringList> seed = ReadProgramLines(m_seeds[n % m_seeds.size()]);
            QVERIFY(seed);
            const QString file = m_dir.filePath(QStringLiteral("in%1.koru").arg(n));
            QVERIFY(WriteProgramLines(file, Mutate(*seed, random)));
            for (const char *command : {"image", "listing", "view"})
                checked({QLatin1String(command), file});

            const QString saved = m_dir.filePath(QStringLiteral("out%1.koru").arg(n));
            if (checked({"flow", file, saved}).exitCode != 0)
                continue;
            const QString again = m_dir.filePath(QStringLiteral("again%1.koru").arg(n));
            const ToolRun reopen = checked({"flow", saved, again});
            QVERIFY2(reopen.exitCode == 0, qPrintable(Describe({"flow", saved, again}, reopen)));
            QVERIFY2(Contents(saved) == Contents(again), qPrintable(saved));
        }
    }

    // Memory replies with damaged lines: a rebuilt program file always
    // opens again to the same file.
    void damagedMemoryReplies()
    {
        QRandomGenerator random(1210);
        const QStringList demo{"E6 ", "02 ", "A0 ", "03 ", "05 ", "E7 "};
        const QStringList oddLines{"230 ", "FFF ", "-1 ", "", "G0 ", "0 0 0 "};
        for (int n = 0; n < FilesPerRun / 2; ++n) {
            QStringList lines = demo;
            lines[random.bounded(int(lines.size()))] = oddLines[random.bounded(int(oddLines.size()))];
            while (lines.size() < 128)
                lines << QStringLiteral("FF ");
            const QString memory = m_dir.filePath(QStringLiteral("memory%1.txt").arg(n));
            QFile file(memory);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(lines.join(QLatin1Char('\n')).toLatin1() + '\n');
            file.close();
            const QString rebuilt = m_dir.filePath(QStringLiteral("rb%1.koru").arg(n));
            if (checked({"readback", memory, rebuilt}).exitCode != 0)
                continue;
            const QString again = m_dir.filePath(QStringLiteral("rbagain%1.koru").arg(n));
            const ToolRun reopen = checked({"flow", rebuilt, again});
            QVERIFY2(reopen.exitCode == 0, qPrintable(Describe({"flow", rebuilt, again}, reopen)));
            QVERIFY2(Contents(rebuilt) == Contents(again), qPrintable(rebuilt));
        }
    }
};

KORU_TEST_GUILESS_MAIN(TstToolFuzz)
#include "tst_tool_fuzz.moc"
