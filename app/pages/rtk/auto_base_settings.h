#pragma once

#include <string>

namespace Varnok {

// Whether the receivers support the auto base: configs/rtksettings.vnk, root "rtk", integer
// "autobasesupported". A missing or unreadable file is replaced by one holding 0.
class AutoBaseSettings {
public:
    static AutoBaseSettings& instance();

    explicit AutoBaseSettings(const std::string& path);
    bool isSupported() const { return supported_; }

private:
    bool supported_ = false;
};

}  // namespace Varnok
