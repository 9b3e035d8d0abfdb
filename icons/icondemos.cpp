#include "icons/icondemos.h"

namespace koru::icons {

namespace {

struct Step
{
    int kind;
    int mode = -1;  // -1: as placed
    int value = -1; // -1: as placed
};

IconProgram build(std::initializer_list<Step> steps)
{
    IconProgram program;
    int n = 0;
    for (const Step &step : steps) {
        program.place(n, step.kind);
        if (step.mode >= 0)
            program.setMode(n, step.mode);
        if (step.value >= 0)
            program.setValue(n, step.value);
        ++n;
    }
    return program;
}

} // namespace

IconProgram DemoProgram(int number)
{
    if (number == 1) {
        // Traffic-light colours, a pause, a soft white glow, then dark.
        return build({
            {Beep, 0},
            {RedLed, 0, 4},
            {YellowLed, 0, 4},
            {GreenLed, 0, 4},
            {LedOff, 0, 2},
            {Timer, -1, 2},
            {BlueLed, 1},
            {BlueLed, 2},
            {WhiteLed, 1},
            {Backlight, -1, 8},
            {WhiteLed, 2},
            {Beep, 2},
        });
    }
    // Press the switch, blink red three times, wait for the room to go dark,
    // then light the clock and glow white for a while.
    return build({
        {WaitSwitch},
        {Beep, 1},
        {LoopStart, -1, 3},
        {RedLed, 0, 2},
        {LedOff, 0, 2},
        {LoopEnd},
        {WaitDark},
        {Backlight, -1, 12},
        {WhiteLed, 1},
        {Timer, -1, 5},
        {WhiteLed, 2},
        {Beep, 2},
    });
}

} // namespace koru::icons
