#include "Em_BoardRegistry.h"

#include <map>
#include <mutex>
#include <new>

namespace Brevan2011 {
namespace BVParse {

namespace {

struct Registry {
    std::mutex lock;
    std::map<int, Board_Factory> factories;
};

Registry& The_Registry() {
    static Registry registry;
    return registry;
}

}  // namespace

Em_OemBoard* Create_Board(int type) {
    Board_Factory factory;
    {
        Registry& r = The_Registry();
        std::lock_guard<std::mutex> guard(r.lock);
        auto it = r.factories.find(type);
        if (it != r.factories.end()) {
            factory = it->second;
        }
    }
    try {
        return factory ? factory() : Create_Default_Board(type);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Board_Factory Register_Board(int type, Board_Factory factory) {
    Registry& r = The_Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    Board_Factory previous;
    auto it = r.factories.find(type);
    if (it != r.factories.end()) {
        previous = std::move(it->second);
        r.factories.erase(it);
    }
    if (factory) {
        r.factories[type] = std::move(factory);
    }
    return previous;
}

void Reset_Board_Registry() {
    Registry& r = The_Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.factories.clear();
}

}  // namespace BVParse
}  // namespace Brevan2011
