// The kit's op-codes by name. The variant table (catalogue.cpp) is written
// with these names, so a name and the table cannot disagree; code that
// reads or writes the kit's bytes (the virtual kit's interpreter) uses them
// instead of bare numbers.
#pragma once

namespace koru::opcode {

inline constexpr int FadeIn = 131;
inline constexpr int FadeOut = 132;
inline constexpr int Backlight = 145;
inline constexpr int BacklightLinkOn = 146;
inline constexpr int BacklightLinkOff = 147;
inline constexpr int RadioOn = 150;
inline constexpr int RadioOff = 151;
inline constexpr int Melody = 152;
inline constexpr int Beep1 = 153;
inline constexpr int Beep2 = 154;
inline constexpr int Beep3 = 155;
inline constexpr int Timer = 160;
inline constexpr int WaitSound = 170;
inline constexpr int WaitSwitch = 171;
inline constexpr int WaitBright = 172;
inline constexpr int WaitDark = 173;
inline constexpr int WaitTemperature = 174;
inline constexpr int WaitHumidity = 175;
inline constexpr int IfSwitchOn = 180;
inline constexpr int IfSwitchOff = 181;
inline constexpr int IfBright = 182;
inline constexpr int IfDark = 183;
inline constexpr int IfWarmerThan = 184;
inline constexpr int IfCoolerThan = 185;
inline constexpr int IfTemperatureIs = 186;
inline constexpr int IfWarmerThanX = 187;
inline constexpr int IfCoolerThanX = 188;
inline constexpr int IfTemperatureIsX = 189;
inline constexpr int IfMoreHumidThan = 190;
inline constexpr int IfLessHumidThan = 191;
inline constexpr int IfHumidityIs = 192;
inline constexpr int IfMoreHumidThanY = 193;
inline constexpr int IfLessHumidThanY = 194;
inline constexpr int IfHumidityIsY = 195;
inline constexpr int LoopStart = 200;
inline constexpr int LoopEnd = 201;
inline constexpr int SubroutineCall = 205;
inline constexpr int SubroutineEnd = 206;
inline constexpr int MeasureX = 210;
inline constexpr int MeasureY = 211;
inline constexpr int Motor = 220;
inline constexpr int Bulb = 222;
inline constexpr int Start = 230;
inline constexpr int End = 231;

} // namespace koru::opcode
