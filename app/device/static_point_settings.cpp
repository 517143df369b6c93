#include "static_point_settings.h"

#include <cstdint>
#include <cstring>

#include "record_view.h"

namespace Varnok {

using Brevan2011::BVParse::Static_Point;

namespace {

int referenceOf(std::int32_t method) {
    return method == 2 || method == 3 || method == 4 ? method : -1;
}

}  // namespace

StaticPointSettings StaticPointSettings::fromRecord(const Static_Point& point, const char* antType,
                                                    std::size_t antTypeSize) {
    StaticPointSettings s;
    const RecordView view(point);
    // The length byte is a count; a receiver's count past the field is cut to it.
    std::size_t count = point.nameLength;
    if (count > kMaxName) {
        count = kMaxName;
    }
    s.name = view.text(offsetof(Static_Point, name), count);
    std::uint32_t bits = point.value;
    std::memcpy(&s.height, &bits, sizeof bits);
    s.antennaType = static_cast<int>(point.byteField & 0xFF);
    s.heightReference = referenceOf(point.method);
    if (antType) {
        s.antennaCode = RecordView(antType, antTypeSize).text(0, kMaxCode);
    }
    return s;
}

Static_Point StaticPointSettings::toRecord() const {
    Static_Point p{};
    const std::size_t count = name.size() < kMaxName ? name.size() : kMaxName;
    p.nameLength = static_cast<std::uint8_t>(count);
    std::memcpy(p.name, name.data(), count);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &height, sizeof bits);
    p.value = bits;
    p.byteField = antennaType & 0xFF;
    p.method = referenceOf(heightReference);
    return p;
}

std::string StaticPointSettings::codeToSend() const {
    const std::size_t nul = antennaCode.find('\0');
    std::string code = antennaCode.substr(0, nul);
    if (code.size() > kMaxCode) {
        code.resize(kMaxCode);
    }
    return code;
}

}  // namespace Varnok
