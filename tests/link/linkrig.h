// A device link over a scripted fake backend, with its own context, for the
// link's and the windows' tests. The link's pacing runs on the rig's manual
// clock: tests move time on with clock.advance()/step()/runUntilIdle()
// instead of waiting. Several rigs are several independent kits.
#pragma once

#include "link/devicelink.h"
#include "link/fakehidbackend.h"
#include "link/paceclock.h"

#include <QTest>

#include <memory>

namespace koru::test {

struct LinkRig
{
    ManualPaceClock clock;
    FakeHidBackend *fake = nullptr;
    std::unique_ptr<DeviceLink> link;

    LinkRig()
    {
        auto backend = std::make_unique<FakeHidBackend>();
        fake = backend.get();
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::move(backend));
        link = std::make_unique<DeviceLink>(clock, std::move(backends));
    }

    // The link, its router and the manual clock.
    KitContext context() const { return link->context(); }

    // Lets the link notice what the script changed.
    bool settle()
    {
        return QTest::qWaitFor([this] { return link->isSettled(); }, 2000);
    }

    // A kit plugged in and selected.
    bool plugKit(const QString &path = QStringLiteral("kit"), int outputLength = 2)
    {
        fake->plug(FakeHidBackend::kitInfo(path, outputLength));
        return settle() && link->KitPresent();
    }
};

} // namespace koru::test
