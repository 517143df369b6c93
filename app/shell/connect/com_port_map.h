#pragma once

#include <QString>

namespace Varnok {

// Applies a map of COM numbers to device paths, "3=/dev/ttyUSB0,5=/dev/pts/4", to the port
// library; entries that are not "<1-255>=<path>" are skipped. Returns how many were applied.
int applyComPortMap(const QString& map);

}  // namespace Varnok
