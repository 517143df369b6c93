// A stand-in for the software GNSS engine plug-in: records every call the engine board makes,
// answers the channel query with a count the test sets, and lets the test report a solution
// from a thread of its own through the sink the board handed over.
#include <cstring>
#include <mutex>
#include <string>

#include "Em_GnssEngine.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

using namespace Brevan2011::BVParse;

namespace {

std::mutex g_lock;
std::string g_calls;
int g_channels = 1;
int g_live = 0;
ISolutionSink* g_sink = nullptr;

void Log(const std::string& call) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (!g_calls.empty()) {
        g_calls += ' ';
    }
    g_calls += call;
}

class Fake_Engine : public IGnssEngine {
public:
    void Release() override {
        Log("2");
        {
            std::lock_guard<std::mutex> guard(g_lock);
            --g_live;
            g_sink = nullptr;
        }
        delete this;
    }
    int Put_Observation(const Engine_Observation& obs, int* out) override {
        Log("3:" + std::to_string(obs.Count));
        *out = 0;
        return 0;
    }
    int Put_Auxiliary(const Engine_Auxiliary& aux, int* out) override {
        Log("4:" + std::to_string(aux.Value));
        *out = 0;
        return 0;
    }
    int Put_Station(const Engine_Station& station, int* out) override {
        Log("5:" + std::to_string(station.Mode) + "," +
            std::string(station.Name, strnlen(station.Name, sizeof station.Name)));
        *out = 0;
        return 0;
    }
    int Put_Parameters(const Engine_Parameters& p, int* out) override {
        std::string words;
        for (int w : p.Words) {
            words += (words.empty() ? "" : ",") + std::to_string(w);
        }
        Log("6:" + words);
        *out = 0;
        return 0;
    }
    int Set_Solution_Sink(ISolutionSink* sink) override {
        Log(sink != nullptr ? "7" : "7:null");
        std::lock_guard<std::mutex> guard(g_lock);
        g_sink = sink;
        return 0;
    }
    int Stop(int how) override {
        Log("8:" + std::to_string(how));
        std::lock_guard<std::mutex> guard(g_lock);
        g_sink = nullptr;
        return 0;
    }
    int Put_Ephemeris(const Engine_Ephemeris& eph, int* out) override {
        Log("9:" + std::to_string(eph.Sat) + "," + std::to_string(eph.Week));
        *out = 0;
        return 0;
    }
    int Restart(int a, int b) override {
        Log("11:" + std::to_string(a) + "," + std::to_string(b));
        return 0;
    }
    int Start() override {
        Log("12");
        return 0;
    }
    int Open(void* buffer, int size, int* count) override {
        Log("20:" + std::to_string(size));
        std::memset(buffer, 0, static_cast<size_t>(size));
        std::lock_guard<std::mutex> guard(g_lock);
        *count = g_channels;
        return 0;
    }
};

}  // namespace

FAKE_EXPORT IGnssEngine* CreateGnssEngine() {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        ++g_live;
    }
    return new Fake_Engine;
}

// Clears the call record; the channel query then answers `channels`.
FAKE_EXPORT void FakeGnssEngine_Reset(int channels) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_calls.clear();
    g_channels = channels;
}

// The calls so far, blank-separated, copied into buf (size bytes with the terminator).
FAKE_EXPORT void FakeGnssEngine_Calls(char* buf, int size) {
    std::lock_guard<std::mutex> guard(g_lock);
    const size_t n = g_calls.size() < static_cast<size_t>(size - 1) ? g_calls.size()
                                                                    : static_cast<size_t>(size - 1);
    std::memcpy(buf, g_calls.data(), n);
    buf[n] = '\0';
}

// Engines created and not yet released.
FAKE_EXPORT int FakeGnssEngine_Live() {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_live;
}

// Reports a solution through the sink the board handed over; 1 when there was one.
FAKE_EXPORT int FakeGnssEngine_Notify(const Engine_Solution* solution) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_sink == nullptr) {
        return 0;
    }
    g_sink->Notify(*solution);
    return 1;
}
