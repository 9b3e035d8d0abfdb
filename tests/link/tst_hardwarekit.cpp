// A kit on USB, when one is plugged in: it is selected and answers a
// measurement. Skipped (77) without one, as on CI.
#include "link/devicelink.h"
#include "link/hidapibackend.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdio>

using namespace koru;

class TestHardwareKit : public QObject
{
    Q_OBJECT
private slots:
    void measures()
    {
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::make_unique<HidapiBackend>());
        TimerPaceClock clock;
        DeviceLink link(clock, std::move(backends));
        QVERIFY(QTest::qWaitFor([&] { return link.isSettled(); }, 3000));
        QTRY_VERIFY_WITH_TIMEOUT(link.KitPresent(), DeviceLink::PermissionGiveUpMs + 1000);
        QVERIFY(link.OutputReportLength() >= 2);
        QSignalSpy replies(&link, &DeviceLink::replyReceived);
        QVERIFY(link.RequestMeasurement());
        QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 2, 3000);
    }
};

KORU_TEST_ENTRY(TestHardwareKit)(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    bool kit = false;
    {
        HidapiBackend backend;
        for (const HidDeviceInfo &d : backend.enumerate())
            kit = kit || DisplayName(d) == KitDisplayName;
    }
    if (!kit) {
        std::fputs("no kit on USB: skipped\n", stderr);
        return 77;
    }
    TestHardwareKit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hardwarekit.moc"
