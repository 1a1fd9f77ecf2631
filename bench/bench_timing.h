// Timing shared by the benchmarks: processor time of this thread, a timed
// loop that records each benchmark's fastest iteration as "best_ms", and a
// reporter that remembers those figures so ratios can be printed at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <time.h>

namespace bench {

// Processor time of this thread in seconds: unlike the wall clock it does not
// count the time other programs on a shared machine hold the processor.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Runs `work` once per iteration after an untimed `reset` and times only the
// work, in thread processor time. Besides the mean it records the fastest
// iteration as the counter "best_ms", the steadiest measure of the code
// itself; the ratios are taken from it.
// `batch` is how many operations one call of `work` performs: the library's
// times are per call, "best_ms" per operation.
template <class Reset, class Work>
void TimedLoop(benchmark::State& state, Reset reset, Work work, int batch = 1) {
    double best = 1e300;
    for (auto _ : state) {
        reset();
        benchmark::ClobberMemory();
        const double start = ThreadSeconds();
        work();
        benchmark::ClobberMemory();
        const double seconds = ThreadSeconds() - start;
        state.SetIterationTime(seconds);
        best = std::min(best, seconds / batch);
    }
    state.counters["best_ms"] = best * 1e3;
}

template <class Work> void TimedLoop(benchmark::State& state, Work work, int batch = 1) {
    TimedLoop(
        state, [] {}, work, batch);
}

// Remembers every benchmark's fastest iteration by name.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto best = run.counters.find("best_ms");
            if (run.run_type != Run::RT_Iteration || run.error_occurred ||
                best == run.counters.end())
                continue;
            auto [it, fresh] = m_ms.emplace(run.run_name.function_name, best->second.value);
            if (!fresh)
                it->second = std::min(it->second, best->second.value);
        }
    }
    // Milliseconds of the fastest iteration, or a negative value when it did not run.
    double Ms(const std::string& name) const {
        const auto it = m_ms.find(name);
        return it == m_ms.end() ? -1.0 : it->second;
    }

private:
    std::map<std::string, double> m_ms;
};

} // namespace bench
