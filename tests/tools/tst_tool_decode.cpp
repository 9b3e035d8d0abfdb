// koru-tool decode, run as a teacher's script would run it.

#include "testmain.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstToolDecode : public QObject
{
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("error"); // a part of stderr

        QTest::newRow("smallest program") << QStringList{"230", "2", "231"} << QByteArray() << 0
                                          << "0\tstart\t0,0,0,0,0,0\t2\n2\tend\t0,0,0,0,0,0\t-\n" << "";
        QTest::newRow("text image's closing 0")
            << QStringList{"230", "2", "160", "3", "5", "231", "0"} << QByteArray() << 0
            << "0\tstart\t0,0,0,0,0,0\t2\n2\ttimer\t0,3,0,0,0,0\t5\n5\tend\t0,0,0,0,0,0\t-\n" << "";
        QTest::newRow("branch, call and subroutine")
            << QStringList{"-"} << QByteArray("230,2\n184 25 6 9\r\n205, 10, 9\n231\n230 12 206\n") << 0
            << "0\tstart\t0,0,0,0,0,0\t2\n"
               "2\tif\t4,25,0,0,0,0\t6,9\n"
               "6\troutine\t0,1,0,0,0,0\t10,9\n"
               "9\tend\t0,0,0,0,0,0\t-\n"
               "10\tstart\t0,0,0,0,0,0\t12\n"
               "12\tend\t0,0,0,0,0,0\t-\n"
            << "";
        QTest::newRow("comma-joined argument") << QStringList{"126,0,4,4", "231"} << QByteArray() << 0
                                               << "0\tfull_led\t0,255,0,0,4,0\t4\n4\tend\t0,0,0,0,0,0\t-\n" << "";
        QTest::newRow("truncated") << QStringList{"230", "2", "184", "25"} << QByteArray() << 1
                                   << "0\tstart\t0,0,0,0,0,0\t2\n" << "ends inside the if instruction at address 2";
        QTest::newRow("value above a byte") << QStringList{"230", "256"} << QByteArray() << 2 << ""
                                            << "'256' is not a byte value";
        QTest::newRow("not a number") << QStringList{"230", "x"} << QByteArray() << 2 << ""
                                      << "'x' is not a byte value";
        QTest::newRow("negative") << QStringList{"-5"} << QByteArray() << 2 << "" << "'-5' is not a byte value";
        QTest::newRow("no values") << QStringList{} << QByteArray() << 2 << "" << "usage: koru-tool decode";
        QTest::newRow("bad value on stdin") << QStringList{"-"} << QByteArray("230 2 0x10") << 1 << ""
                                            << "'0x10' is not a byte value";
        QTest::newRow("empty stdin") << QStringList{"-"} << QByteArray("\n") << 1 << "" << "the image is empty";
    }
    void decode()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, error);

        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!QFile::exists(tool))
            QSKIP("koru-tool is not built");
        QProcess process;
        process.start(tool, QStringList{QStringLiteral("decode")} + args);
        QVERIFY(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(10000));
        const QString stdErr = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), output);
        QVERIFY2(stdErr.contains(error), qPrintable(stdErr));
        if (exitCode == 0)
            QCOMPARE(stdErr, QString());
    }

    // A pipe hands over what its writer has written so far: a long image
    // fed through a pipe from a shell (`cat big | koru-tool decode -`, the
    // two files one after the other) is decoded whole, not up to what the
    // first read got.
    void standardInputToItsEnd()
    {
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!QFile::exists(tool))
            QSKIP("koru-tool is not built");
        constexpr int Timers = 20000; // about 160 KB, more than a pipe holds
        QByteArray first = "230 2\n";
        QByteArray second;
        for (int n = 0; n < Timers; ++n)
            (n < Timers / 2 ? first : second) += "160 1 5\n";
        second += "231\n";
        QTemporaryDir dir;
        const QString one = dir.filePath(QStringLiteral("one.txt"));
        const QString two = dir.filePath(QStringLiteral("two.txt"));
        for (const auto &[path, bytes] : {std::pair{one, first}, std::pair{two, second}}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        QProcess process;
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), QStringLiteral("cat \"$1\" \"$2\" | \"$0\" decode -"), tool, one, two});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
        QCOMPARE(lines.size(), Timers + 3); // start, the timers, end, and after the last line break
        QCOMPARE(lines.at(Timers + 1), QByteArray::number(2 + 3 * Timers) + "\tend\t0,0,0,0,0,0\t-");
    }

    // A bad piece is quoted by its start: the message stays a line.
    void longPieceIsCut()
    {
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool");
        if (!QFile::exists(tool))
            QSKIP("koru-tool is not built");
        QProcess process;
        process.start(tool, {QStringLiteral("decode"), QStringLiteral("-")});
        QVERIFY(process.waitForStarted());
        process.write("230 2 " + QByteArray(65585, '7'));
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 1);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(err, QStringLiteral("koru-tool decode: '77777777777777777777...' is not a byte value (0-255)\n"));
    }
};

KORU_TEST_GUILESS_MAIN(TstToolDecode)
#include "tst_tool_decode.moc"
