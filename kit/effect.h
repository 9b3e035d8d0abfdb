// What the kit does, as a stream of effects. The interpreter and the firmware
// report every change of the kit's outputs (LED, backlight, radio, sounds,
// fan, lamp), every hold and wait, the end of a run and every reply byte to
// one EffectSink; the kit's window, its headless mode and the tests are such
// sinks.
#pragma once

#include <QString>
#include <QtGlobal>

namespace koru::kit {

enum class EffectKind {
    RunStarted,    // a = RunKind
    Led,           // a, b, c = red, green, blue (0-255), d = level (0 solid .. 255 invisible)
    LedOff,
    Backlight,     // a = 1 on / 0 off, b = brightness in %
    BacklightLink, // a = 1 on / 0 off
    Radio,         // a = 1 on / 0 off
    Status,        // a = KitStatus, b = beep number, WaitKind or experiment device (0 motor, 2 bulb)
    Beep,          // a = confirmation sound 1-3, b = duration in ms
    Melody,        // a = 1 starts / 0 ends
    Note,          // a = note code, b = frequency in Hz (0 for a rest), c = duration in ms
    Hold,          // a = ms the program holds
    Wait,          // a = WaitKind, b = set value (temperature and humidity waits)
    Released,      // a = WaitKind that was released
    Fan,           // a = 1 on / 0 off
    Lamp,          // a = 1 on / 0 off
    Variable,      // a = 'x' or 'y', b = the measured value
    Ended,         // a = EndReason
    Frame,         // a = FrameArea, b = bytes stored, c = 1 accepted / 0 refused (too long)
    Reply,         // a = the byte sent to the PC
    Step,          // a = address of the instruction reached (only with Profile::reportsSteps)
};

// What the kit's status picture shows.
enum class KitStatus { None = 0, Melody = 1, Beep = 2, Experiment = 3, Waiting = 4 };

enum class RunKind { Program = 0, Melody = 1 };

enum class WaitKind { None = 0, Sound = 1, Switch = 2, Bright = 3, Dark = 4, Temperature = 5, Humidity = 6 };

enum class EndReason {
    Finished = 0,       // 231, or the melody's last note
    Stopped = 1,        // stop request
    InvalidAddress = 2, // jump to memory that holds no program, or past the area
};

enum class FrameArea { Program = 0, Melody = 1 };

struct Effect
{
    EffectKind kind = EffectKind::Hold;
    qint64 atMs = 0; // the kit's time when it happened
    int a = 0;
    int b = 0;
    int c = 0;
    int d = 0;

    bool operator==(const Effect &) const = default;
};

// One line per effect, for the headless mode and test failure messages,
// e.g. "led 255 0 0 level 150", "wait temperature 25", "reply FF".
QString DescribeEffect(const Effect &effect);

class EffectSink
{
public:
    virtual ~EffectSink() = default;
    virtual void effect(const Effect &effect) = 0;
};

} // namespace koru::kit
