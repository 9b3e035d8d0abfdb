// What a screen reader says of a flowchart: each block's kind and caption as
// the canvas draws them, and where its arrows lead, in the order a pupil
// reads the chart (top to bottom, then left to right).
#pragma once

#include "flowchart/flowdocument.h"

#include <QList>
#include <QString>

namespace koru::flow {

// "フルカラーLED LED点灯 2秒"; "開始" and "終了" for the start and end.
QString BlockSpokenName(const FlowDocument &document, int routine, int slot);

// Where the arrows lead: "下の矢印: タイマー 1秒", and for a condition also
// "横の矢印: …"; "矢印なし" when none leaves the block.
QString BlockSpokenArrows(const FlowDocument &document, int routine, int slot);

// The block at an image address with its routine, as the preview names
// what runs ("メインルーチン: フルカラーLED LED点灯 2秒"); empty for an
// address where no block starts.
QString BlockAtAddressName(const FlowDocument &document, int address);

// The occupied slots of a routine in reading order.
QList<int> SlotsInReadingOrder(const FlowDocument &document, int routine);

} // namespace koru::flow
