// A build without sd-bus: BlueZ is never reached over D-Bus.
#include "Backends.h"

namespace Brevan2011 {
namespace BVComm {

std::unique_ptr<BluetoothBackend> MakeBluezDbusBackend() {
    return nullptr;
}

bool BluezDbusAnswers() {
    return false;
}

}  // namespace BVComm
}  // namespace Brevan2011
