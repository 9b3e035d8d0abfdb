// For bench_startup only: once the launcher is up, every window of the
// launcher's table is opened and closed again, then every shared window is
// shown and hidden, one step per turn of the event loop so that each is
// mapped and painted as when a pupil opens it. main.cpp starts it when
// KORU_BENCH_WINDOW_TOUR is set; "window tour done" on the standard output
// tells the benchmark that the resident memory can be read.
#pragma once

#include <functional>

namespace koru::shell {

class Shell;

void TourEveryWindow(Shell &shell, std::function<void()> done);

} // namespace koru::shell
