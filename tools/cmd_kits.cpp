// koru-tool kits: every HID device found (USB and virtual kits) by its
// display name and its ID, oldest first, the one taken as the kit marked
// with "*" (the newest named like the kit, or the one --kit names).
#include "tools/command.h"
#include "tools/kitsession.h"

#include "link/devicelink.h"

namespace koru::tool {
namespace {

int RunKits(const QStringList &args);

const KoruCommand kitsCommand("kits", "", "list the HID devices found, marking the kit with *", RunKits);

int RunKits(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(kitsCommand);
    DeviceLink &link = SettledLink();
    const QList<HidDeviceInfo> devices = link.devices();
    for (int i = 0; i < devices.size(); ++i) {
        // The name (with the serial number where the device has one), then
        // the ID that --kit takes: the device path of a USB device, the
        // socket of a virtual kit.
        out() << (i == link.kitIndex() ? "* " : "  ") << DisplayName(devices[i]) << "  " << devices[i].path;
        if (link.accessRefused(devices[i].path))
            out() << "  (no access: install the udev rule, see README)";
        out() << '\n';
    }
    out().flush();
    return Success;
}

} // namespace
} // namespace koru::tool
