// USB HID devices through hidapi (hidraw on Linux). Hot-plug notices come
// from a udev monitor read on the user-interface thread. Without hidraw
// devices (a container, CI) it simply finds nothing.
#pragma once

#include "link/hidbackend.h"
#include "link/reportreader.h"

#include <QSocketNotifier>

#include <memory>

struct udev;
struct udev_monitor;

namespace koru {

// hidraw hands out unnumbered input reports without their report ID byte;
// this puts a 0 in front of each, so every report reaches the link report
// ID first. Numbered reports pass unchanged.
ReportReader::ReadFunction WithReportIdByte(ReportReader::ReadFunction raw, bool numbered);

class HidapiBackend : public HidBackend
{
    Q_OBJECT
public:
    explicit HidapiBackend(QObject *parent = nullptr);
    ~HidapiBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    OpenResult open(const HidDeviceInfo &info) override;

private:
    void onUdevActivity();

    bool m_initialised = false;
    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace koru
