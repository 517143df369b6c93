#pragma once

namespace Brevan2011 {
namespace BVDevice {

// Test seam: makes the n-th session thread started from now on (1 = the next) fail to start,
// as when the system is out of threads. 0 turns it off.
void FailSessionThreadStart(int n);

}  // namespace BVDevice
}  // namespace Brevan2011
