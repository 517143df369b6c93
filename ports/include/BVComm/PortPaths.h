#pragma once

#include <string>

#include "BVComm/BVCommExport.h"

namespace Brevan2011 {
namespace BVComm {

// COM numbers name devices. Unless mapped, serial COM n is "/dev/ttyS<n-1>" and a Bluetooth
// COM n is "/dev/rfcomm<n>". The program and the tests map numbers to other devices.
BVCOMM_EXPORT void SetComPortPath(int comNumber, const std::string& path);
BVCOMM_EXPORT void SetBluetoothPortPath(int comNumber, const std::string& path);
// Forgets one mapping (the default applies again), or all of them.
BVCOMM_EXPORT void ClearComPortPath(int comNumber, bool bluetooth);
BVCOMM_EXPORT void ClearPortPaths();
// The device path that a serial or Bluetooth open of comNumber uses; empty when there is none.
BVCOMM_EXPORT std::string ComPortPath(int comNumber, bool bluetooth);

// The folder of the library's logs ("runtime.log", "socket.log") and of the session's traces.
BVCOMM_EXPORT void SetLogDirectory(const std::string& directory);
BVCOMM_EXPORT std::string LogDirectory();

}  // namespace BVComm
}  // namespace Brevan2011
