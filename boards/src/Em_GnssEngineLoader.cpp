#include "Em_GnssEngineLoader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Brevan2011 {
namespace BVParse {

namespace {

std::mutex g_Path_Lock;
std::string g_Path;

}  // namespace

void Em_GnssEngineLoader::Set_Path(const std::string& path) {
    std::lock_guard<std::mutex> guard(g_Path_Lock);
    g_Path = path;
}

std::string Em_GnssEngineLoader::Path() {
    {
        std::lock_guard<std::mutex> guard(g_Path_Lock);
        if (!g_Path.empty()) {
            return g_Path;
        }
    }
    const char* env = std::getenv(kEnvironment);
    return (env != nullptr && env[0] != '\0') ? std::string(env) : std::string(kDefaultPath);
}

Em_GnssEngineLoader::~Em_GnssEngineLoader() {
    Unload();
}

IGnssEngine* Em_GnssEngineLoader::Create() {
    if (m_handle == nullptr) {
        m_handle = dlopen(Path().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr) {
            return nullptr;
        }
    }
    void* entry = dlsym(m_handle, "CreateGnssEngine");
    if (entry == nullptr) {
        Unload();
        return nullptr;
    }
    Create_Gnss_Engine_Fn create = nullptr;
    static_assert(sizeof create == sizeof entry, "function and object pointers differ");
    std::memcpy(&create, &entry, sizeof create);
    IGnssEngine* engine = create();
    if (engine == nullptr) {
        Unload();
    }
    return engine;
}

void Em_GnssEngineLoader::Unload() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
        m_handle = nullptr;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
