// CPU seconds per wall second of an open session that receives nothing, on a pseudo-terminal
// (the read thread polls the serial port) and on loopback TCP (it waits in recv); and the gap
// between two keep-alives on such a quiet serial line.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>
#include <thread>

#include "BVComm/PortPaths.h"
#include "BVDevice/EmGnss_Receiver.h"
#include "PtyPair.h"
#include "ScriptedProtocol.h"
#include "SessionTestHooks.h"
#include "session_bench_support.h"

using Brevan2011::BVDevice::EmGnss_Receiver;
namespace BVParse = Brevan2011::BVParse;

namespace {

constexpr auto kWindow = std::chrono::seconds(2);

void measureIdle(benchmark::State& state, EmGnss_Receiver& session, const char* what) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // threads settled
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpu0 = varnok_bench::processCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kWindow);
        cpu += varnok_bench::processCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    }
    const double share = wall > 0 ? cpu / wall : 0;
    state.counters["cpu_per_wall_pct"] = share * 100.0;
    std::printf("%s: idle session uses %.3f %% of one core\n", what, share * 100.0);
    (void)session;
}

void BM_IdleSessionOnPty(benchmark::State& state) {
    varnok_test::PtyPair pty;
    if (!pty.ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    Brevan2011::BVComm::SetComPortPath(30, pty.slavePath());
    varnok_test::UseScriptedProtocol(true);
    EmGnss_Receiver session(BVParse::GNSS_MNFCTR_VELTA, BVParse::MAINBD_NOVATEL);
    Brevan2011::BVComm::PARAM_COM com;
    com.port = 30;
    if (!session.Port_Open(com)) {
        state.SkipWithError("open failed");
        return;
    }
    measureIdle(state, session, "pty");
    session.Port_Close();
}

void BM_IdleSessionOnTcp(benchmark::State& state) {
    varnok_bench::LoopbackListener listener;
    varnok_test::UseScriptedProtocol(true);
    EmGnss_Receiver session(BVParse::GNSS_MNFCTR_VELTA, BVParse::MAINBD_NOVATEL);
    if (!listener.ok() || !session.Port_Open(listener.param()) || listener.accept() < 0) {
        state.SkipWithError("open failed");
        return;
    }
    measureIdle(state, session, "tcp");
    session.Port_Close();
}

std::mutex keepAliveMutex;
std::vector<std::chrono::steady_clock::time_point> keepAlives;

void onKeepAlive(unsigned long) {
    std::lock_guard<std::mutex> guard(keepAliveMutex);
    keepAlives.push_back(std::chrono::steady_clock::now());
}

// The keep-alive of an old-protocol session on a serial line that stays quiet (the read loop
// then waits longest between reads): its gaps should stay near 170 ms.
void BM_KeepAliveGapOnQuietPty(benchmark::State& state) {
    varnok_test::PtyPair pty;
    if (!pty.ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    Brevan2011::BVComm::SetComPortPath(31, pty.slavePath());
    varnok_test::UseScriptedProtocol(false);
    {
        std::lock_guard<std::mutex> guard(keepAliveMutex);
        keepAlives.clear();
    }
    Brevan2011::BVDevice::SetKeepAliveHook(&onKeepAlive);
    EmGnss_Receiver session(BVParse::GNSS_MNFCTR_VELTA, BVParse::MAINBD_NOVATEL);
    Brevan2011::BVComm::PARAM_COM com;
    com.port = 31;
    if (!session.Port_Open(com)) {
        Brevan2011::BVDevice::SetKeepAliveHook(nullptr);
        state.SkipWithError("open failed");
        return;
    }
    for (auto _ : state) {
        const auto until = std::chrono::steady_clock::now() + kWindow;
        while (std::chrono::steady_clock::now() < until) {
            pty.readMaster(1 << 16, 50);  // the keep-alives go nowhere else
        }
    }
    session.Port_Close();
    Brevan2011::BVDevice::SetKeepAliveHook(nullptr);
    std::vector<double> gaps;
    {
        std::lock_guard<std::mutex> guard(keepAliveMutex);
        for (std::size_t i = 1; i < keepAlives.size(); ++i) {
            gaps.push_back(
                std::chrono::duration<double, std::milli>(keepAlives[i] - keepAlives[i - 1])
                    .count());
        }
    }
    if (gaps.empty()) {
        state.SkipWithError("no keep-alive came");
        return;
    }
    double sum = 0;
    for (double g : gaps) {
        sum += g;
    }
    const double longest = *std::max_element(gaps.begin(), gaps.end());
    state.counters["gap_mean_ms"] = sum / static_cast<double>(gaps.size());
    state.counters["gap_max_ms"] = longest;
    std::printf("quiet pty: keep-alive every %.1f ms on average, longest gap %.1f ms\n",
                sum / static_cast<double>(gaps.size()), longest);
}

}  // namespace

BENCHMARK(BM_KeepAliveGapOnQuietPty)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IdleSessionOnPty)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IdleSessionOnTcp)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
