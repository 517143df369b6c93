#pragma once

#include <string>
#include <vector>

namespace Brevan2011 {
namespace BVDevice {

// Test seam: makes the n-th session thread started from now on (1 = the next) fail to start,
// as when the system is out of threads. 0 turns it off.
void FailSessionThreadStart(int n);

// Called on the read thread each time the keep-alive fires, with that session's count of
// read passes so far (1 for the first). Null turns it off.
typedef void (*KeepAliveHook)(unsigned long readPass);
void SetKeepAliveHook(KeepAliveHook hook);

}  // namespace BVDevice
}  // namespace Brevan2011
