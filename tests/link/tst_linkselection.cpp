// Finding the kit: display names, which device is the kit, and keeping that
// choice current as devices are plugged in and out.
#include "linkrig.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(koru::HidDeviceInfo)

using namespace koru;
using koru::test::LinkRig;

namespace {
HidDeviceInfo device(const QString &path, const QString &product, const QString &serial = {},
                     quint16 vid = 0x04D8, quint16 pid = 0x003F)
{
    HidDeviceInfo info = FakeHidBackend::kitInfo(path);
    info.product = product;
    info.serial = serial;
    info.vendorId = vid;
    info.productId = pid;
    return info;
}
} // namespace

class TestLinkSelection : public QObject
{
    Q_OBJECT
private slots:
    void displayName_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("name");
        QTest::newRow("kit") << "ORBA" << "" << 1 << 2 << "ORBA";
        QTest::newRow("kit with serial") << "ORBA" << "A1b" << 1 << 2 << "ORBA (Serial=A1b)";
        QTest::newRow("no product") << "" << "" << 0x04D8 << 0x003F << "Device VID=04D8 PID=003F";
        QTest::newRow("no product, hex letters") << "" << "" << 0xabcd << 0x00ef << "Device VID=ABCD PID=00EF";
        QTest::newRow("no product, serial") << "" << "x" << 0 << 0xffff << "Device VID=0000 PID=FFFF (Serial=x)";
    }
    void displayName()
    {
        QFETCH(QString, product);
        QFETCH(QString, serial);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(QString, name);
        QCOMPARE(DisplayName(device("p", product, serial, quint16(vid), quint16(pid))), name);
    }

    void startsWithoutKitQuietly()
    {
        LinkRig rig;
        QVERIFY(!rig.link->KitPresent());
        QVERIFY(rig.settle());
        QVERIFY(!rig.link->KitPresent());
        QCOMPARE(rig.link->OutputReportLength(), 0);
        QCOMPARE(rig.link->kitIndex(), -1);
        QVERIFY(!rig.link->WriteReport(QByteArray(2, '\0')));
    }

    void choosesKit_data()
    {
        QTest::addColumn<QList<HidDeviceInfo>>("devices");
        QTest::addColumn<int>("kit");
        QTest::newRow("only a kit") << QList<HidDeviceInfo>{device("a", "ORBA")} << 0;
        QTest::newRow("kit among others")
            << QList<HidDeviceInfo>{device("m", "Mouse"), device("a", "ORBA"), device("k", "")} << 1;
        QTest::newRow("serial disqualifies") << QList<HidDeviceInfo>{device("a", "ORBA", "123")} << -1;
        QTest::newRow("name must match exactly")
            << QList<HidDeviceInfo>{device("a", "orba"), device("b", "ORBA "), device("c", "ORBA2")} << -1;
        QTest::newRow("last of several wins")
            << QList<HidDeviceInfo>{device("a", "ORBA"), device("b", "ORBA"), device("c", "Mouse")} << 1;
        QTest::newRow("serial one skipped, earlier wins")
            << QList<HidDeviceInfo>{device("a", "ORBA"), device("b", "ORBA", "9")} << 0;
    }
    void choosesKit()
    {
        QFETCH(QList<HidDeviceInfo>, devices);
        QFETCH(int, kit);
        LinkRig rig;
        for (const HidDeviceInfo &d : devices)
            rig.fake->plug(d);
        QVERIFY(rig.settle());
        QCOMPARE(rig.link->devices(), devices);
        QCOMPARE(rig.link->kitIndex(), kit);
        QCOMPARE(rig.link->KitPresent(), kit >= 0);
        if (kit >= 0) {
            QVERIFY(rig.fake->isOpen(devices[kit].path));
            for (int i = 0; i < devices.size(); ++i)
                if (i != kit)
                    QCOMPARE(rig.fake->openCount(devices[i].path), 0);
        }
    }

    void followsPlugAndUnplug()
    {
        LinkRig rig;
        QSignalSpy kitChanged(rig.link.get(), &DeviceLink::kitChanged);
        rig.fake->plug(device("mouse", "Mouse"));
        QVERIFY(rig.settle());
        QVERIFY(!rig.link->KitPresent());

        rig.fake->plug(FakeHidBackend::kitInfo("kit", 65));
        QVERIFY(rig.settle());
        QVERIFY(rig.link->KitPresent());
        QCOMPARE(rig.link->OutputReportLength(), 65);
        QCOMPARE(kitChanged.size(), 1);

        // A second kit plugged in later is enumerated last and takes over.
        rig.fake->plug(FakeHidBackend::kitInfo("kit2", 2));
        QVERIFY(rig.settle());
        QCOMPARE(rig.link->kitIndex(), 2);
        QCOMPARE(rig.link->OutputReportLength(), 2);
        QVERIFY(!rig.fake->isOpen("kit"));

        // Pulling it out falls back to the first one.
        rig.fake->unplug("kit2");
        QVERIFY(rig.settle());
        QCOMPARE(rig.link->kitIndex(), 1);
        QCOMPARE(rig.link->OutputReportLength(), 65);

        rig.fake->unplug("kit");
        QVERIFY(rig.settle());
        QVERIFY(!rig.link->KitPresent());
        QCOMPARE(rig.link->devices().size(), 1);
        QVERIFY(!rig.link->RequestRun());
    }

    void keepsOpenKitAcrossUnrelatedChanges()
    {
        // Another device coming or going must not reopen the kit (and lose
        // the replies queued on its handle).
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->plug(device("mouse", "Mouse"));
        QVERIFY(rig.settle());
        rig.fake->unplug("mouse");
        QVERIFY(rig.settle());
        QCOMPARE(rig.fake->openCount("kit"), 1);
        QVERIFY(rig.link->KitPresent());
    }

    void unopenableKitIsLeftOut()
    {
        LinkRig rig;
        rig.fake->plug(FakeHidBackend::kitInfo("good"));
        rig.fake->plug(FakeHidBackend::kitInfo("broken"));
        rig.fake->setOpenStatus("broken", OpenStatus::Failed);
        rig.link->refresh();
        QCOMPARE(rig.link->kitIndex(), 0);
        QVERIFY(rig.fake->isOpen("good"));
    }

    void permissionRefusalIsRetried()
    {
        // Right after plugging in, access rights may not be granted yet.
        LinkRig rig;
        rig.fake->plug(FakeHidBackend::kitInfo("kit"));
        rig.fake->setOpenStatus("kit", OpenStatus::PermissionDenied);
        QVERIFY(rig.settle());
        QVERIFY(!rig.link->KitPresent());
        QVERIFY(rig.link->accessRefused("kit"));
        rig.clock.advance(DeviceLink::PermissionRetryMs);
        QVERIFY(!rig.link->KitPresent());
        QVERIFY(rig.link->accessRefused("kit"));
        rig.fake->setOpenStatus("kit", OpenStatus::Opened);
        rig.clock.advance(DeviceLink::PermissionRetryMs);
        QVERIFY(rig.link->KitPresent());
        QVERIFY(!rig.link->accessRefused("kit"));
        QCOMPARE(rig.clock.pending(), 0);
    }

    void permissionRefusalGivesUp()
    {
        LinkRig rig;
        rig.fake->plug(FakeHidBackend::kitInfo("kit"));
        rig.fake->setOpenStatus("kit", OpenStatus::PermissionDenied);
        QVERIFY(rig.settle());
        rig.clock.advance(DeviceLink::PermissionGiveUpMs + DeviceLink::PermissionRetryMs);
        QCOMPARE(rig.clock.pending(), 0); // no more retries planned
        rig.fake->setOpenStatus("kit", OpenStatus::Opened);
        rig.clock.advance(DeviceLink::PermissionRetryMs * 3);
        QVERIFY(!rig.link->KitPresent());
        // A fresh change notice (plugging it in again) tries once more.
        rig.fake->plug(FakeHidBackend::kitInfo("kit"));
        QVERIFY(rig.settle());
        QVERIFY(rig.link->KitPresent());
    }

    void requestSeesChangeBeforeSending()
    {
        // A request served right after an unplug notice uses the new list.
        LinkRig rig;
        QVERIFY(rig.plugKit());
        rig.fake->unplug("kit");
        QVERIFY(!rig.link->RequestStop());
        QCOMPARE(rig.fake->writes("kit").size(), 0);
    }
};

KORU_TEST_GUILESS_MAIN(TestLinkSelection)
#include "tst_linkselection.moc"
