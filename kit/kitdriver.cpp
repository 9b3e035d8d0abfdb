#include "kit/kitdriver.h"

namespace koru::kit {

KitDriver::KitDriver(QObject *parent) : QObject(parent), m_firmware(m_clock, *this)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &KitDriver::kick);
}

void KitDriver::effect(const Effect &e)
{
    emit effectHappened(e);
    if (e.kind == EffectKind::Reply)
        emit replied(e.a);
}

// Runs what is due and sleeps until the next thing is: no polling while the
// kit waits for a sensor or holds.
void KitDriver::kick()
{
    m_firmware.advance();
    const std::optional<qint64> due = m_firmware.nextDueMs();
    if (!due) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(qBound(qint64(0), *due - m_clock.nowMs(), qint64(24 * 3600 * 1000))));
}

void KitDriver::receive(int value)
{
    m_firmware.receive(value);
    kick();
}

void KitDriver::abandonFrame()
{
    m_firmware.abandonFrame();
    kick();
}

void KitDriver::setSwitch(bool pressed)
{
    m_firmware.interpreter().setSwitch(pressed);
    emit worldChanged();
    kick();
}

void KitDriver::setBright(bool bright)
{
    m_firmware.interpreter().setBright(bright);
    emit worldChanged();
    kick();
}

void KitDriver::setTemperature(int celsius)
{
    m_firmware.interpreter().setTemperature(celsius);
    emit worldChanged();
    kick();
}

void KitDriver::setHumidity(int percent)
{
    m_firmware.interpreter().setHumidity(percent);
    emit worldChanged();
    kick();
}

void KitDriver::hearSound()
{
    m_firmware.interpreter().hearSound();
    kick();
}

} // namespace koru::kit
