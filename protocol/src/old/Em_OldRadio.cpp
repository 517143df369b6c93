#include "Em_OldRadio.h"

#include <cmath>
#include <cstdlib>

namespace Brevan2011 {
namespace BVParse {

namespace {

double Clamp(const Em_OldRadioRecord& r, double v) {
    if (v < r.lowerLimit) {
        return r.lowerLimit;
    }
    if (v > r.upperLimit) {
        return r.upperLimit;
    }
    return v;
}

// Not clamped into the band: a radio reporting a frequency past its band is shown as it is,
// so the page can refuse it rather than send the band's edge back as if it had been read.
double OnGrid(const Em_OldRadioRecord& r, double v) {
    return std::floor(v * 1000.0 / r.spacing) * r.spacing * 0.001;
}

bool KnownType(std::int32_t t) {
    return t >= 1 && t <= 10;
}

}  // namespace

void Radio_ApplyBand(Em_OldRadioRecord& r) {
    auto set = [&r](double lower, double upper, double spacing, double step) {
        r.lowerLimit = lower;
        r.upperLimit = upper;
        r.spacing = spacing;
        r.step = step;
    };
    switch (r.radioType) {
        case 1:
            set(455.0, 467.0, 50.0, 0.05);
            break;
        case 2:
            set(410.0, 430.0, 50.0, 0.05);
            break;
        case 3:
        case 6:
        case 10:
            set(450.0, 470.0, 12.5, 0.0125);
            break;
        case 4:
            set(410.0, 430.0, 12.5, 0.0125);
            break;
        case 5:
            set(430.0, 450.0, 12.5, 0.0125);
            break;
        case 7:
        case 9:
            set(455.0, 463.0, 25.0, 0.025);
            break;
        case 8:
            set(403.0, 473.0, 12.5, 0.0125);
            break;
        default:
            break;
    }
}

double Radio_FromCode1(Em_OldRadioRecord& r, std::uint8_t k) {
    double v = 0.0;
    const std::int32_t t = r.radioType;
    if (t == 1 || t == 2) {
        v = k * r.step + r.lowerLimit;
    } else if (t == 8) {
        v = std::floor(k * r.step * 1000.0 / r.altStep) * r.altStep * 0.001;
    } else if (KnownType(t)) {
        v = k * r.step;
    }
    r.frequency = OnGrid(r, v);
    return r.frequency;
}

double Radio_FromCode2(Em_OldRadioRecord& r, std::uint8_t low, std::uint8_t high) {
    const unsigned code = static_cast<unsigned>(low) | (static_cast<unsigned>(high) << 8);
    const std::int32_t t = r.radioType;
    if (t == 8) {
        r.frequency = code * r.altStep * 0.001;
        return r.frequency;
    }
    double v = 0.0;
    if (t == 1 || t == 2) {
        const double magnitude = static_cast<double>(code & 0x7FFFu);
        v = ((code & 0x8000u) ? -magnitude : magnitude) * r.step + r.lowerLimit;
    } else if (KnownType(t)) {
        v = code * r.step;
    }
    r.frequency = OnGrid(r, v);
    return r.frequency;
}

bool Radio_ToCode(const Em_OldRadioRecord& r, double mhz, std::uint8_t code[2],
                  std::uint8_t* command) {
    const std::int32_t t = r.radioType;
    if (!KnownType(t) || code == nullptr || command == nullptr) {
        return false;
    }
    const double grid = (t == 8) ? r.altStep : r.spacing;
    if (!(grid > 0.0)) {
        return false;
    }
    const double v = Clamp(r, std::floor((mhz * 1000.0 + 0.4) / grid) * grid * 0.001);
    long value = 0;
    bool negative = false;
    if (t == 1 || t == 2) {
        value = static_cast<long>((v - r.lowerLimit) * 20.0 + 0.00001);
        negative = value < 0;
        *command = 'a';
    } else {
        value = static_cast<long>(v / grid * 1000.0 + 0.00001);
        *command = 'm';
    }
    const unsigned long magnitude = static_cast<unsigned long>(std::labs(value));
    code[0] = static_cast<std::uint8_t>(magnitude % 256);
    code[1] = static_cast<std::uint8_t>(((magnitude / 256) & 0xFF) | (negative ? 0x80 : 0));
    return true;
}

}  // namespace BVParse
}  // namespace Brevan2011
