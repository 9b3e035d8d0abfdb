// The firmware in real time: a steady clock and one single-shot timer that
// fires when the firmware next has something to do. The window, the headless
// mode and the socket server all talk to the kit through this object.
#pragma once

#include "kit/clock.h"
#include "kit/effect.h"
#include "kit/firmware.h"

#include <QObject>
#include <QTimer>

namespace koru::kit {

class KitDriver : public QObject, private EffectSink
{
    Q_OBJECT
public:
    explicit KitDriver(QObject *parent = nullptr);

    const KitFirmware &firmware() const { return m_firmware; }
    const World &world() const { return m_firmware.interpreter().world(); }
    const KitOutputs &outputs() const { return m_firmware.interpreter().outputs(); }
    qint64 nowMs() const { return m_clock.nowMs(); }

public slots:
    void receive(int value);
    // The sender of an open frame went away: the frame is dropped.
    void abandonFrame();
    void setSwitch(bool pressed);
    void setBright(bool bright);
    void setTemperature(int celsius);
    void setHumidity(int percent);
    void hearSound();

signals:
    void effectHappened(const koru::kit::Effect &effect);
    // A byte for the PC (also reported as an Reply effect).
    void replied(int value);
    // Any sensor changed.
    void worldChanged();

private:
    void effect(const Effect &effect) override;
    void kick();

    SteadyClock m_clock;
    KitFirmware m_firmware;
    QTimer m_timer;
};

} // namespace koru::kit
