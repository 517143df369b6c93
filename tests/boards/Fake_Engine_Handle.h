// The test's own handle on the fake engine plug-in: its control functions and call record.
// The engine board loads the same file by its path, so both share one loaded copy.
#pragma once

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "Em_GnssEngine.h"
#include "Em_GnssEngineLoader.h"

namespace Brevan2011 {
namespace BVParse {
namespace engine_test {

class Fake_Engine_Handle {
public:
    Fake_Engine_Handle() {
        m_handle = dlopen(FAKE_GNSS_ENGINE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (m_handle != nullptr) {
            Bind(m_reset, "FakeGnssEngine_Reset");
            Bind(m_calls, "FakeGnssEngine_Calls");
            Bind(m_live, "FakeGnssEngine_Live");
            Bind(m_notify, "FakeGnssEngine_Notify");
        }
        Em_GnssEngineLoader::Set_Path(FAKE_GNSS_ENGINE_PATH);
        Reset(1);
    }
    ~Fake_Engine_Handle() {
        Em_GnssEngineLoader::Set_Path("");
        if (m_handle != nullptr) {
            dlclose(m_handle);
        }
    }
    Fake_Engine_Handle(const Fake_Engine_Handle&) = delete;
    Fake_Engine_Handle& operator=(const Fake_Engine_Handle&) = delete;

    bool Ok() const { return m_reset && m_calls && m_live && m_notify; }
    void Reset(int channels) {
        if (m_reset) {
            m_reset(channels);
        }
    }
    std::string Calls() const {
        char buf[4096];
        buf[0] = '\0';
        if (m_calls) {
            m_calls(buf, sizeof buf);
        }
        return buf;
    }
    int Live() const { return m_live ? m_live() : -1; }
    bool Notify(const Engine_Solution& s) const { return m_notify && m_notify(&s) != 0; }

private:
    template <class F>
    void Bind(F& f, const char* name) {
        void* p = dlsym(m_handle, name);
        std::memcpy(&f, &p, sizeof f);
    }

    void* m_handle = nullptr;
    void (*m_reset)(int) = nullptr;
    void (*m_calls)(char*, int) = nullptr;
    int (*m_live)() = nullptr;
    int (*m_notify)(const Engine_Solution*) = nullptr;
};

}  // namespace engine_test
}  // namespace BVParse
}  // namespace Brevan2011
