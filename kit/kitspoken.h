// The kit picture in words, for a screen reader: what the kit shows now.
#pragma once

#include "kit/interpreter.h"
#include "kit/world.h"

#include <QString>

namespace koru::kit {

// "LED 点灯 (赤31 緑0 青6)、バックライト消灯、AM/FM 停止、DCモータ 停止、
// 豆球 消灯、押しボタンSW 押していない": the outputs in the record's words,
// then the switch (the one part of the world drawn on the kit itself).
QString KitSpokenState(const KitOutputs &outputs, const World &world);

} // namespace koru::kit
