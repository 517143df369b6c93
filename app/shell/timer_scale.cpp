#include "timer_scale.h"

#include <atomic>
#include <cmath>

namespace Varnok {

namespace {
std::atomic<double> g_scale{1.0};
}

int uiMs(int ms) {
    const double scaled = std::round(ms * g_scale.load(std::memory_order_relaxed));
    return scaled < 0 ? 0 : static_cast<int>(scaled);
}

void setUiScale(double scale) {
    g_scale.store(scale, std::memory_order_relaxed);
}

}  // namespace Varnok
