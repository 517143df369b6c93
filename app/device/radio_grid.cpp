#include "radio_grid.h"

#include <cmath>

namespace RadioGrid {

namespace {

constexpr double kUnitsPerMHz = 10000.0;
// Far beyond any radio frequency, well inside the integer range.
constexpr double kMaxUnits = 1.0e15;

}  // namespace

int subBandOfRadioType(int type) {
    switch (type) {
        case 3:
            return 2;
        case 5:
        case 7:
            return 4;
        case 6:
            return 3;
        default:
            return 1;
    }
}

int bandOfSubBand(int subBand) {
    switch (subBand) {
        case 2:
            return 1;
        case 3:
            return 2;
        case 4:
            return 3;
        default:
            return 0;
    }
}

int subBandOfFrequency(double low, double, double mhz, int type) {
    switch (type) {
        case 3:
            return 2;
        case 4:
            return 1;
        case 6:
            return 3;
        case 5:
        case 7:
            if (low <= mhz && mhz <= 430.0) {
                return 3;
            }
            if (430.0 < mhz && mhz <= 450.0) {
                return 2;
            }
            return 1;
        default:
            return 1;
    }
}

int bandOfNewProtocolType(int type) {
    switch (type) {
        case 3:
            return 1;
        case 5:
        case 7:
            return 3;
        case 6:
            return 2;
        default:
            return 0;
    }
}

bool toUnits(double mhz, std::int64_t& units) {
    const double scaled = mhz * kUnitsPerMHz;
    if (!std::isfinite(scaled) || std::fabs(scaled) > kMaxUnits) {
        return false;
    }
    units = std::llround(scaled);
    return true;
}

bool isOffChannelGrid(double mhz, double base, double step) {
    std::int64_t f = 0, b = 0, s = 0;
    if (!toUnits(mhz, f) || !toUnits(base, b) || !toUnits(step, s) || s == 0) {
        return false;
    }
    return (f - b) % s != 0;
}

double snapToChannel(double mhz, double low, double high, double step) {
    std::int64_t f = 0, l = 0, h = 0, s = 0;
    if (!toUnits(mhz, f) || !toUnits(low, l) || !toUnits(high, h) || !toUnits(step, s) || s <= 0) {
        return -1.0;
    }
    const std::int64_t n = (h - l) / s;
    if (n <= 0) {
        return -1.0;
    }
    // The interval is found by division rather than by walking the n intervals.
    if (f <= l || f >= l + n * s) {
        return static_cast<double>(f) / kUnitsPerMHz;
    }
    const std::int64_t lo = l + (f - l) / s * s;
    if (f == lo) {
        return static_cast<double>(f) / kUnitsPerMHz;
    }
    const std::int64_t snapped = f - lo > s / 2 ? lo + s : lo;
    return static_cast<double>(snapped) / kUnitsPerMHz;
}

int spaceCodeOfSpacing(double khz, int fallback) {
    if (std::fabs(khz - 12.5) < 0.1) {
        return 0;
    }
    if (std::fabs(khz - 20.0) < 0.1) {
        return 1;
    }
    if (std::fabs(khz - 25.0) < 0.1) {
        return 2;
    }
    return fallback;
}

}  // namespace RadioGrid
