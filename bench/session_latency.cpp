// Delay from bytes reaching the session's TCP port to its data callback, with the scripted
// protocol object: the median and the 99th percentile over many single messages.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

#include "BVDevice/EmGnss_Receiver.h"
#include "latency_report.h"
#include "ScriptedProtocol.h"
#include "session_bench_support.h"

using Brevan2011::BVDevice::EmGnss_Receiver;
namespace BVParse = Brevan2011::BVParse;
using Clock = std::chrono::steady_clock;

namespace {

std::mutex gMutex;
std::condition_variable gArrived;
std::uint32_t gLastFlags = 0;
Clock::time_point gAt;

void onData(BVParse::Msg_Type, std::uint32_t flags, const void*) {
    const auto now = Clock::now();
    {
        std::lock_guard<std::mutex> guard(gMutex);
        gLastFlags = flags;
        gAt = now;
    }
    gArrived.notify_one();
}

void onStatus(bool, const void*) {}

const BVParse::_CALLBACKS_RECEIVER kCallbacks = {&onData, &onStatus};

void BM_ArrivalToCallback(benchmark::State& state) {
    varnok_bench::LoopbackListener listener;
    varnok_test::UseScriptedProtocol(true);
    EmGnss_Receiver session(BVParse::GNSS_MNFCTR_VELTA, BVParse::MAINBD_NOVATEL);
    session.RegisterCbs_Receiver(&kCallbacks, nullptr);
    if (!listener.ok() || !session.Port_Open(listener.param()) || listener.accept() < 0) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<double> delaysUs;
    std::uint32_t n = 0;
    for (auto _ : state) {
        ++n;
        const auto sent = Clock::now();
        listener.send(varnok_test::scriptedRecord(n));
        std::unique_lock<std::mutex> lock(gMutex);
        if (!gArrived.wait_for(lock, std::chrono::seconds(2), [&] { return gLastFlags == n; })) {
            state.SkipWithError("message lost");
            break;
        }
        delaysUs.push_back(std::chrono::duration<double, std::micro>(gAt - sent).count());
    }
    session.Port_Close();
    varnok_bench::reportLatency(state, std::move(delaysUs), "arrival to data callback");
}

}  // namespace

BENCHMARK(BM_ArrivalToCallback)->Iterations(2000)->UseRealTime();
BENCHMARK_MAIN();
