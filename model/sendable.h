// What an editor hands to the kit on F6 and to the preview, decided by the
// editor's core so that the windows and koru-tool refuse exactly the same
// programs with the same words. Each core offers
//   Sendable SendableImage(const Document &);
//   int ElementAtAddress(const Document &, address);
// where an element is what the editor marks: an icon slot, a flowchart block
// (routine * SlotsPerRoutine + slot), a line of program text, a note.
#pragma once

#include "model/encoder.h"

#include <QString>

namespace koru {

struct Sendable
{
    DeviceImage image;  // unframed; what F6 sends; empty when refused
    QString message;    // the refusal (shown as a warning); empty when sendable
    int element = -1;   // refused: the failing element, -1 when none is to blame
    bool ok() const { return message.isEmpty() && !image.isEmpty(); }
};

} // namespace koru
