// Timing helper shared by the micro-benchmarks: runs a piece of work several
// times and prints the median and the slowest run in microseconds.
#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace koru::bench {

inline void measure(const char *what, int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %9.1f us   slowest %9.1f us\n", what, times[times.size() / 2], times.back());
}

} // namespace koru::bench
