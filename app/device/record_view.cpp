#include "record_view.h"

#include <cstring>

#include "BVParse/Em_GnssResults.h"

namespace Varnok {

using namespace Brevan2011::BVParse;

std::string RecordView::text(std::size_t offset, std::size_t maxLength) const {
    if (offset >= size_) {
        return std::string();
    }
    std::size_t limit = size_ - offset < maxLength ? size_ - offset : maxLength;
    const unsigned char* start = data_ + offset;
    const void* nul = std::memchr(start, 0, limit);
    std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - start) : limit;
    return std::string(reinterpret_cast<const char*>(start), length);
}

std::uint8_t RecordView::byte(std::size_t offset) const {
    return offset < size_ ? data_[offset] : 0;
}

std::uint32_t RecordView::le32(std::size_t offset) const {
    if (offset > size_ || size_ - offset < 4) {
        return 0;
    }
    const unsigned char* p = data_ + offset;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string DeviceRecord::receiverId(const DEVICE_STR& d) {
    return RecordView(d).text(offsetof(DEVICE_STR, receiverId), sizeof d.receiverId);
}

std::string DeviceRecord::model(const DEVICE_STR& d) {
    return RecordView(d).text(offsetof(DEVICE_STR, model), sizeof d.model);
}

std::string DeviceRecord::firmwareVersion(const DEVICE_STR& d) {
    return RecordView(d).text(offsetof(DEVICE_STR, firmwareVersion), sizeof d.firmwareVersion);
}

std::string DeviceRecord::text92(const DEVICE_STR& d) {
    return RecordView(d).text(offsetof(DEVICE_STR, text92), sizeof d.text92);
}

std::uint8_t DeviceRecord::satChannels(const DEVICE_STR& d) {
    return RecordView(d).byte(offsetof(DEVICE_STR, satChannels));
}

std::int32_t DeviceRecord::boardType(const DEVICE_STR& d) {
    return RecordView(d).le32Signed(offsetof(DEVICE_STR, boardType));
}

std::uint8_t DeviceRecord::channel0(const DEVICE_STR& d) {
    return RecordView(d).byte(offsetof(DEVICE_STR, byte109));
}

std::string SystemRecord::hardwareSerial(const QX_SYSTEM_HARDWARE_INFO_STRUCT& h) {
    return RecordView(h).text(offsetof(QX_SYSTEM_HARDWARE_INFO_STRUCT, text1), sizeof h.text1);
}

std::uint32_t SystemRecord::hardwareKind(const QX_SYSTEM_HARDWARE_INFO_STRUCT& h) {
    return RecordView(h).le32(offsetof(QX_SYSTEM_HARDWARE_INFO_STRUCT, word) + 4);
}

std::string SystemRecord::firmwareText(const QX_SYSTEM_FIRMWARE_VERSION_STRUCT& f) {
    return RecordView(f).text(0, sizeof f);
}

std::int32_t SystemRecord::solutionQuality(const POS_INFO& p) {
    return RecordView(p).le32Signed(offsetof(POS_INFO, Sol_Code));
}

}  // namespace Varnok
