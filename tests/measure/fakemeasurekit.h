// A scripted kit and a hand-turned ticker for the measurement's tests: the
// test says when the kit answers and when the next tick comes.
#pragma once

#include "measure/measurekit.h"

#include <QList>
#include <QStringList>

namespace koru::test {

class FakeMeasureKit final : public measure::MeasureKit
{
public:
    bool present = true;
    QList<int> sent;
    bool pending = false;

    bool request(int value) override
    {
        if (!present)
            return false;
        sent.append(value);
        pending = true;
        return true;
    }
    // The kit's replies to the pending request, then its end.
    void answer(const QStringList &lines = {}, bool delivered = true)
    {
        pending = false;
        for (const QString &line : lines)
            emit reply(line);
        emit requestDone(delivered);
    }
    int last() const { return sent.isEmpty() ? -1 : sent.last(); }
};

class ManualTicker final : public measure::Ticker
{
public:
    int interval = 0;
    bool running = false;
    void start(int intervalMs) override
    {
        interval = intervalMs;
        running = true;
    }
    void stop() override { running = false; }
    bool active() const override { return running; }
    // One tick, if the ticker runs.
    void fire()
    {
        if (running)
            emit tick();
    }
};

} // namespace koru::test
