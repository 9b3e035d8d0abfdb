// The palette's places of the blocks the flowchart tests put down.
#pragma once

namespace koru::test::palette {

constexpr int Start = 0, End = 1, Led = 2, Backlight = 3, Timer = 5, If = 7, Loop = 8, Call = 9, Experiment = 11;

} // namespace koru::test::palette
