#include "base_position_list.h"

#include <cmath>
#include <cstring>

namespace Varnok {

namespace {

float heightOf(const Brevan2011::BVParse::BASE_POS_ENTRY& e) {
    float h = 0;
    std::memcpy(&h, &e.value, sizeof h);
    return h;
}

double readDouble(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = bits << 8 | p[i];
    }
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

}  // namespace

void BasePositionList::clearDisplay() {
    display_.clear();
    buffer_.clear();
}

bool BasePositionList::clear() {
    if (!answered_) {
        return false;
    }
    record_.list.clear();
    return true;
}

bool BasePositionList::remove(int index) {
    if (!answered_ || index < 0 || static_cast<std::size_t>(index) >= record_.list.size()) {
        return false;
    }
    record_.list.erase(record_.list.begin() + index);
    return true;
}

bool BasePositionList::add(double latitudeDeg, double longitudeDeg, double height) {
    // A receiver that keeps no positions (limit 0) takes none, even over a stored one.
    if (!answered_ || record_.limit == 0) {
        return false;
    }
    Brevan2011::BVParse::BASE_POS_ENTRY entry{};
    entry.first = latitudeDeg * kDegToRad;
    entry.second = longitudeDeg * kDegToRad;
    const float h = static_cast<float>(height);
    std::memcpy(&entry.value, &h, sizeof h);

    for (auto& stored : record_.list) {
        const double lat = stored.first * kRadToDeg * kDegToRad;
        const double lon = stored.second * kRadToDeg * kDegToRad;
        const double dLat = (entry.first - lat) * kEarthRadius;
        const double dLon = (entry.second - lon) * kEarthRadius;
        if (std::sqrt(dLon * dLon + dLat * dLat) < record_.value) {
            stored = entry;
            return true;
        }
    }
    if (record_.list.size() < record_.limit) {
        record_.list.insert(record_.list.begin(), entry);
        return true;
    }
    if (record_.list.empty()) {
        return false;
    }
    record_.list.front() = entry;
    return true;
}

bool BasePositionList::setDifference(double value) {
    if (!answered_) {
        return false;
    }
    record_.value = value;
    return true;
}

void BasePositionList::takeAnswer(const Record& record) {
    answered_ = true;
    record_ = record;
    difference_ = record.value;
    display_.clear();
    for (const auto& e : record.list) {
        display_.push_back({e.first * kRadToDeg, e.second * kRadToDeg, heightOf(e)});
    }
}

void BasePositionList::appendBytes(const unsigned char* data, std::size_t count) {
    if (data && count) {
        buffer_.insert(buffer_.end(), data, data + count);
    }
}

bool BasePositionList::parse() {
    if (buffer_.size() < kHeaderBytes) {
        return false;
    }
    const std::uint64_t n =
        static_cast<std::uint64_t>(buffer_[0]) | static_cast<std::uint64_t>(buffer_[1]) << 8 |
        static_cast<std::uint64_t>(buffer_[2]) << 16 | static_cast<std::uint64_t>(buffer_[3]) << 24;
    const std::uint64_t present = (buffer_.size() - kHeaderBytes) / kRecordBytes;
    if (n > present) {
        return false;
    }
    display_.clear();
    const unsigned char* p = buffer_.data() + kHeaderBytes;
    for (std::uint64_t i = 0; i < n; ++i, p += kRecordBytes) {
        const BasePosition pos{readDouble(p), readDouble(p + 8), readDouble(p + 16)};
        if (std::fabs(pos.latitude) >= 1e-10 && std::fabs(pos.longitude) >= 1e-10 &&
            std::fabs(pos.height) >= 1e-10) {
            display_.push_back(pos);
        }
    }
    buffer_.clear();
    return true;
}

}  // namespace Varnok
