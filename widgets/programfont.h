// The program's font "ＭＳ Ｐゴシック" at 12 pixels, drawn with the installed
// Japanese P-gothic, and the STEP3 editor's "FixedSys" drawn with the
// installed Japanese monospaced gothic. The one place where the stand-ins
// are named.
#pragma once

#include <QFont>

namespace koru {

// The program's font; the stand-ins are registered on first use.
QFont ProgramFont();
// Makes the program's font the application's (start-up).
void UseProgramFont();
// `base` at another size, in pixels.
QFont PixelFont(const QFont &base, int pixels);

} // namespace koru
