// The solution callback the engine board hands to its engine. The engine may call it from a
// thread of its own, so it only copies the solution into a guarded slot; the board's next
// parse step takes it out and applies it under the parser lock.
#pragma once

#include <mutex>

#include "Em_GnssEngine.h"

namespace Brevan2011 {
namespace BVParse {

class Em_OemComEngineSink final : public ISolutionSink {
public:
    void Notify(const Engine_Solution& solution) override;
    // Moves the waiting solution into `out`; false when none has come since the last take.
    bool Take(Engine_Solution* out);

private:
    std::mutex m_lock;
    Engine_Solution m_solution{};
    bool m_waiting = false;
};

}  // namespace BVParse
}  // namespace Brevan2011
