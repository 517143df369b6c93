// Median and 99th percentile of measured delays: benchmark counters and one printed line.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace varnok_bench {

inline void reportLatency(benchmark::State& state, std::vector<double> delaysUs, const char* what) {
    if (delaysUs.empty()) {
        return;
    }
    std::sort(delaysUs.begin(), delaysUs.end());
    const double median = delaysUs[delaysUs.size() / 2];
    const double p99 = delaysUs[std::min(delaysUs.size() - 1, delaysUs.size() * 99 / 100)];
    state.counters["median_us"] = median;
    state.counters["p99_us"] = p99;
    std::printf("%s over %zu samples: median %.1f us, 99th %.1f us\n", what, delaysUs.size(),
                median, p99);
}

}  // namespace varnok_bench
