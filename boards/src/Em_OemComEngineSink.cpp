#include "Em_OemComEngineSink.h"

namespace Brevan2011 {
namespace BVParse {

void Em_OemComEngineSink::Notify(const Engine_Solution& solution) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_solution = solution;
    m_waiting = true;
}

bool Em_OemComEngineSink::Take(Engine_Solution* out) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_waiting || out == nullptr) {
        return false;
    }
    *out = m_solution;
    m_waiting = false;
    return true;
}

}  // namespace BVParse
}  // namespace Brevan2011
