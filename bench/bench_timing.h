// Timing shared by the benchmarks: a timed loop that measures every
// iteration on the wall clock and records their median as the counter
// "median_ms", and a reporter that remembers those figures so ratios can be
// printed at the end.
//
// The median of wall-clock times is used because the per-thread processor
// clock reads up to 45 % low now and then on shared machines, and a fastest
// iteration picks exactly those readings; a median is robust against both
// those and the iterations that another program slowed down.
#pragma once

#include "bench_stats.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Wall-clock seconds on the steady clock.
inline double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs `work` once per iteration after an untimed `reset` and times only the
// work on the wall clock. The median iteration is recorded as "median_ms";
// the ratios are taken from it.
// `batch` is how many operations one call of `work` performs: the library's
// times are per call, "median_ms" per operation.
template <class Reset, class Work>
void TimedLoop(benchmark::State& state, Reset reset, Work work, int batch = 1) {
    std::vector<double> times;
    for (auto _ : state) {
        reset();
        benchmark::ClobberMemory();
        const double start = WallSeconds();
        work();
        benchmark::ClobberMemory();
        const double seconds = WallSeconds() - start;
        state.SetIterationTime(seconds);
        times.push_back(seconds / batch);
    }
    state.counters["median_ms"] = MedianOf(std::move(times)) * 1e3;
}

template <class Work> void TimedLoop(benchmark::State& state, Work work, int batch = 1) {
    TimedLoop(
        state, [] {}, work, batch);
}

// Remembers every benchmark's median iteration by name; a benchmark run more
// than once (repetitions) keeps the median of its runs' medians.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto median = run.counters.find("median_ms");
            if (run.run_type != Run::RT_Iteration || run.error_occurred ||
                median == run.counters.end())
                continue;
            m_runs[run.run_name.function_name].push_back(median->second.value);
        }
    }
    // Milliseconds of the median iteration, or a negative value when it did not run.
    double Ms(const std::string& name) const {
        const auto it = m_runs.find(name);
        return it == m_runs.end() ? -1.0 : MedianOf(it->second);
    }

private:
    std::map<std::string, std::vector<double>> m_runs;
};

} // namespace bench
