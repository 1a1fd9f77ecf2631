// Wall-clock timing and the statistics the benchmarks report: medians and
// other quantiles of repeated measurements. No benchmark library, no Qt, so
// every benchmark program can use it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The value below which `share` of the values lie, interpolated between the
// two nearest (0.5: the median, the mean of the two middle ones for an even
// count); -1 when there are none.
inline double Quantile(std::vector<double> values, double share) {
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    const double at = share * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - static_cast<double>(below)) * (values[above] - values[below]);
}

inline double MedianOf(std::vector<double> values) {
    return Quantile(std::move(values), 0.5);
}

} // namespace bench
