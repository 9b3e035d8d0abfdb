// The two demo lessons shipped with STEP1, built in code so that the files
// under Data/Demo/dd/ can be checked against (and regenerated from) them.
#pragma once

#include "icons/iconprogram.h"

namespace koru::icons {

// 1: a plain sequence of colours, beeps and a timer.
// 2: waits for the switch, blinks in a loop, then waits for the dark.
IconProgram DemoProgram(int number);

} // namespace koru::icons
