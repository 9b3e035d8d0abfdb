// Waiting while the program stays responsive.
#pragma once

namespace koru {

// Returns after at least ms milliseconds. Meanwhile the event loop keeps
// running (kit replies, timers, repaints), but the thread sleeps between
// events instead of spinning. Callers that must not be re-entered disable
// their commands before they wait.
void WaitMs(unsigned ms);

} // namespace koru
