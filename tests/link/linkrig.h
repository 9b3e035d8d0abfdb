// A device link over a scripted fake backend, for the link's tests.
#pragma once

#include "link/devicelink.h"
#include "link/fakehidbackend.h"

#include <QTest>

#include <memory>

namespace koru::test {

struct LinkRig
{
    FakeHidBackend *fake = nullptr;
    std::unique_ptr<DeviceLink> link;

    LinkRig()
    {
        auto backend = std::make_unique<FakeHidBackend>();
        fake = backend.get();
        std::vector<std::unique_ptr<HidBackend>> backends;
        backends.push_back(std::move(backend));
        link = std::make_unique<DeviceLink>(std::move(backends));
    }

    // Lets the link notice what the script changed.
    bool settle() { return link->waitUntilSettled(2000); }

    // A kit plugged in and selected.
    bool plugKit(const QString &path = QStringLiteral("kit"), int outputLength = 2)
    {
        fake->plug(FakeHidBackend::kitInfo(path, outputLength));
        return settle() && link->KitPresent();
    }
};

} // namespace koru::test
