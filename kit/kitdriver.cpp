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
    followRoom();
    std::optional<qint64> due = m_firmware.nextDueMs();
    if (const std::optional<qint64> roomDue = m_room.nextDueMs())
        due = due ? qMin(*due, *roomDue) : *roomDue;
    if (!due) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(qBound(qint64(0), *due - m_clock.nowMs(), qint64(24 * 3600 * 1000))));
}

void KitDriver::followRoom()
{
    const KitOutputs &out = outputs();
    const Room::Mode mode = out.fan == out.lamp ? Room::Mode::Off
                            : out.fan           ? Room::Mode::Cooling
                                                : Room::Mode::Heating;
    if (!m_room.advance(m_clock.nowMs(), mode))
        return;
    Interpreter &interpreter = m_firmware.interpreter();
    interpreter.setTemperature(m_room.temperature());
    interpreter.setHumidity(m_room.humidity());
    m_firmware.advance(); // a wait for the temperature may be over
    emit worldChanged();
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
    followRoom();
    m_room.setTemperature(celsius, m_clock.nowMs());
    m_firmware.interpreter().setTemperature(celsius);
    emit worldChanged();
    kick();
}

void KitDriver::setHumidity(int percent)
{
    followRoom();
    m_room.setHumidity(percent, m_clock.nowMs());
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
