// What the measurement needs of the kit and of time, as small interfaces:
// the window connects them to the device link and a timer, the tests to a
// scripted kit and a hand-turned ticker, so an hour takes no time.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace koru::measure {

// The kit as the measurement sees it: one request value at a time, its
// replies as they arrive.
class MeasureKit : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Sends one request value (244, 247-249). False at once, sending
    // nothing, when no kit is connected. Otherwise requestDone follows later,
    // from the event loop, once the kit has had its time to answer.
    virtual bool request(int value) = 0;

signals:
    // One reply line of the kit ("19 "), unchanged.
    void reply(const QString &line);
    // The request sent last is over; false when the kit went away meanwhile.
    void requestDone(bool delivered);
};

// A repeating tick.
class Ticker : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;

signals:
    void tick();
};

// The ticker of the program: a timer on the user-interface thread.
class TimerTicker final : public Ticker
{
public:
    explicit TimerTicker(QObject *parent = nullptr) : Ticker(parent)
    {
        connect(&m_timer, &QTimer::timeout, this, &Ticker::tick);
    }
    void start(int intervalMs) override { m_timer.start(intervalMs); }
    void stop() override { m_timer.stop(); }
    bool active() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

} // namespace koru::measure
