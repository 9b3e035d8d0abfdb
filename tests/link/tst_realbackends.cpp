// The real backends on a machine without a kit (CI, a container): nothing is
// found, nothing is printed, nothing hangs; bogus paths fail cleanly.
#include "link/devicelink.h"
#include "link/hidapibackend.h"
#include "link/virtualkitbackend.h"
#include "testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;

class TestRealBackends : public QObject
{
    Q_OBJECT
private slots:
    void hidapiOpensNothingBogus()
    {
        HidapiBackend backend;
        const QList<HidDeviceInfo> devices = backend.enumerate();
        if (QDir(QStringLiteral("/dev")).entryList({QStringLiteral("hidraw*")}, QDir::System).isEmpty())
            QVERIFY(devices.isEmpty());
        for (const HidDeviceInfo &d : devices)
            QVERIFY(!d.path.isEmpty());
        HidDeviceInfo bogus;
        bogus.path = QStringLiteral("/dev/hidraw-none");
        const OpenResult result = backend.open(bogus);
        QVERIFY(!result.device);
        QCOMPARE(result.status, OpenStatus::Failed);
    }

    void reportIdByteInFront_data()
    {
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<int>("rawResult");
        QTest::addColumn<QByteArray>("report");
        // The kernel gives [FF] for an unnumbered one-byte report.
        QTest::newRow("unnumbered") << false << 1 << QByteArray("\x00\xFF", 2);
        QTest::newRow("numbered passes") << true << 1 << QByteArray("\xFF", 1);
        QTest::newRow("time-out") << false << 0 << QByteArray();
        QTest::newRow("gone") << false << -1 << QByteArray();
    }
    void reportIdByteInFront()
    {
        QFETCH(bool, numbered);
        QFETCH(int, rawResult);
        QFETCH(QByteArray, report);
        int askedLength = -1;
        const auto read = WithReportIdByte(
            [&](unsigned char *buffer, int length, int) {
                askedLength = length;
                if (rawResult > 0)
                    buffer[0] = 0xFF;
                return rawResult;
            },
            numbered);
        unsigned char buffer[3] = {9, 9, 9};
        const int n = read(buffer, 3, 100);
        QCOMPARE(askedLength, numbered ? 3 : 2); // room for the byte put in front
        if (rawResult <= 0) {
            QCOMPARE(n, rawResult);
        } else {
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(buffer), n), report);
        }
    }

    void virtualBackendIgnoresForeignPaths()
    {
        QTemporaryDir folder;
        VirtualKitBackend backend(folder.path());
        HidDeviceInfo info;
        info.path = QStringLiteral("/dev/hidraw0");
        QVERIFY(!backend.open(info).device);
        info.path = QStringLiteral("virtual:") + folder.filePath(QStringLiteral("kit-1"));
        QVERIFY(!backend.open(info).device);
        QVERIFY(backend.settled());
    }

    void realLinkSettlesWithoutKit()
    {
        // The program's own link, in a runtime folder of its own.
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        TimerPaceClock clock;
        DeviceLink link(clock);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(QTest::qWaitFor([&] { return link.isSettled(); }, 3000));
        QVERIFY(timer.elapsed() < 1000);
        bool kitPlugged = false;
        for (const HidDeviceInfo &d : link.devices())
            kitPlugged = kitPlugged || DisplayName(d) == KitDisplayName;
        if (kitPlugged)
            QSKIP("a kit is plugged into this machine");
        QVERIFY(!link.KitPresent());
        QVERIFY(!link.RequestMeasurement());
        QVERIFY(!link.Transfer({240, 250}));
    }
};

KORU_TEST_GUILESS_MAIN(TestRealBackends)
#include "tst_realbackends.moc"
