// The COM number → receiver address map behind Bluetooth opens, with the binding that holds
// each number.
#pragma once

#include <cstdint>

namespace Brevan2011 {
namespace BVComm {

// Binds comNumber to address for owner; false when another owner holds the number.
bool ClaimBluetoothPort(int comNumber, std::uint64_t address, const void* owner);
// Forgets comNumber when owner holds it.
void ReleaseBluetoothPort(int comNumber, const void* owner);
// A Bluetooth open begins: the reason of an earlier failure no longer applies.
void ResetBluetoothConnectError();

}  // namespace BVComm
}  // namespace Brevan2011
