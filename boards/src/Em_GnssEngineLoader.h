// Loads the software GNSS engine plug-in with dlopen and creates its engine. The library path
// is the one set here, else the environment variable VARNOK_GNSS_ENGINE, else "libKobrin.so".
#pragma once

#include <string>

#include "Em_GnssEngine.h"

namespace Brevan2011 {
namespace BVParse {

class Em_GnssEngineLoader {
public:
    static constexpr const char* kEnvironment = "VARNOK_GNSS_ENGINE";
    static constexpr const char* kDefaultPath = "libKobrin.so";

    // Process-wide library path; an empty path goes back to the environment and the default.
    static void Set_Path(const std::string& path);
    static std::string Path();

    Em_GnssEngineLoader() = default;
    ~Em_GnssEngineLoader();
    Em_GnssEngineLoader(const Em_GnssEngineLoader&) = delete;
    Em_GnssEngineLoader& operator=(const Em_GnssEngineLoader&) = delete;

    // Loads the library and creates an engine; null when the library, its entry or the
    // engine is missing.
    IGnssEngine* Create();
    // Unloads the library (its engine must have been released).
    void Unload();

private:
    void* m_handle = nullptr;
};

}  // namespace BVParse
}  // namespace Brevan2011
