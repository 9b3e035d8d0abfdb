// The staff as a screen reader sees it: named "楽譜", described by how many
// notes it holds and the keys that play them, with one child per note in
// playing order ("3番目: ソ 四分音符 LED 赤").
#pragma once

namespace koru::melody {

// Makes StaffArea widgets answer with the interface above; once per program.
void InstallStaffAccessibility();

} // namespace koru::melody
