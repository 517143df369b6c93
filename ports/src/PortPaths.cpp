#include "BVComm/PortPaths.h"

#include <map>
#include <mutex>
#include <utility>

#include "BVComm/Logger.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

struct PathMap {
    std::mutex mutex;
    std::map<std::pair<bool, int>, std::string> paths;
};

PathMap& pathMap() {
    static PathMap map;
    return map;
}

}  // namespace

void SetComPortPath(int comNumber, const std::string& path) {
    PathMap& m = pathMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.paths[{false, comNumber}] = path;
}

void SetBluetoothPortPath(int comNumber, const std::string& path) {
    PathMap& m = pathMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.paths[{true, comNumber}] = path;
}

void ClearComPortPath(int comNumber, bool bluetooth) {
    PathMap& m = pathMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.paths.erase({bluetooth, comNumber});
}

void ClearPortPaths() {
    PathMap& m = pathMap();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.paths.clear();
}

std::string ComPortPath(int comNumber, bool bluetooth) {
    {
        PathMap& m = pathMap();
        std::lock_guard<std::mutex> guard(m.mutex);
        auto it = m.paths.find({bluetooth, comNumber});
        if (it != m.paths.end()) {
            return it->second;
        }
    }
    if (bluetooth) {
        return "/dev/rfcomm" + std::to_string(comNumber);
    }
    // COM1 is the first serial device; there is no COM0.
    return comNumber >= 1 ? "/dev/ttyS" + std::to_string(comNumber - 1) : std::string();
}

void SetLogDirectory(const std::string& directory) {
    BVCore::setLogDirectory(directory);
}

std::string LogDirectory() {
    return BVCore::logDirectory();
}

}  // namespace BVComm
}  // namespace Brevan2011
