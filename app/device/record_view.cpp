#include "record_view.h"

#include <cstddef>
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

std::uint16_t RecordView::le16(std::size_t offset) const {
    if (offset > size_ || size_ - offset < 2) {
        return 0;
    }
    const unsigned char* p = data_ + offset;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// The named positions match the library's record.
static_assert(sizeof(DEVICE_STR) == 118, "DEVICE_STR size");
static_assert(offsetof(DEVICE_STR, receiverId) == DeviceRecord::SerialNumber &&
                  sizeof(DEVICE_STR::receiverId) == DeviceRecord::kTextLength,
              "serial number");
static_assert(offsetof(DEVICE_STR, model) == DeviceRecord::Model &&
                  sizeof(DEVICE_STR::model) == DeviceRecord::kTextLength,
              "model");
static_assert(offsetof(DEVICE_STR, text44) == DeviceRecord::ProductionDate &&
                  sizeof(DEVICE_STR::text44) == DeviceRecord::kTextLength,
              "production date");
static_assert(offsetof(DEVICE_STR, text66) + 8 == DeviceRecord::OutputMode &&
                  offsetof(DEVICE_STR, text66) + sizeof(DEVICE_STR::text66) ==
                      DeviceRecord::SatChannels,
              "bytes 74-78 lie in the block at 66");
static_assert(offsetof(DEVICE_STR, satChannels) == DeviceRecord::SatChannels, "channels");
static_assert(offsetof(DEVICE_STR, outputInterval) == DeviceRecord::SampleInterval, "interval");
static_assert(offsetof(DEVICE_STR, byte82) == DeviceRecord::RecordElevMask, "record mask");
static_assert(offsetof(DEVICE_STR, byte83) == DeviceRecord::MemoryCode, "memory");
static_assert(offsetof(DEVICE_STR, firmwareVersion) == DeviceRecord::FirmwareVersion &&
                  sizeof(DEVICE_STR::firmwareVersion) == DeviceRecord::kFirmwareLength,
              "firmware");
static_assert(offsetof(DEVICE_STR, byte89) == DeviceRecord::RtkElevMask, "rtk mask");
static_assert(offsetof(DEVICE_STR, byte90) == DeviceRecord::TransmitPort, "port");
static_assert(offsetof(DEVICE_STR, byte91) == DeviceRecord::TransmitFormat, "format");
static_assert(offsetof(DEVICE_STR, text92) == DeviceRecord::PartNumber &&
                  sizeof(DEVICE_STR::text92) == DeviceRecord::kPartNumberLength,
              "part number");
static_assert(offsetof(DEVICE_STR, byte109) == DeviceRecord::Channel0Lock, "lock");
static_assert(offsetof(DEVICE_STR, byte110) == DeviceRecord::StartMode, "start mode");
static_assert(offsetof(DEVICE_STR, byte111) == DeviceRecord::AutoBaseDistance &&
                  offsetof(DEVICE_STR, byte112) == DeviceRecord::AutoBaseDistance + 1,
              "distance");
static_assert(offsetof(DEVICE_STR, byte113) == DeviceRecord::AirBaudCode, "air baud");
static_assert(offsetof(DEVICE_STR, boardType) == DeviceRecord::BoardType, "board");

static_assert(sizeof(QX_SYSTEM_HARDWARE_INFO_STRUCT) == 68, "hardware record size");
static_assert(offsetof(QX_SYSTEM_HARDWARE_INFO_STRUCT, text1) ==
                      SystemRecord::kHardwareSerialOffset &&
                  sizeof(QX_SYSTEM_HARDWARE_INFO_STRUCT::text1) ==
                      SystemRecord::kHardwareTextLength,
              "hardware serial");
static_assert(offsetof(QX_SYSTEM_HARDWARE_INFO_STRUCT, text2) ==
                      SystemRecord::kHardwarePartNumberOffset &&
                  sizeof(QX_SYSTEM_HARDWARE_INFO_STRUCT::text2) ==
                      SystemRecord::kHardwareTextLength,
              "hardware part number");
static_assert(offsetof(QX_SYSTEM_HARDWARE_INFO_STRUCT, word) + 4 ==
                  SystemRecord::kHardwareKindOffset,
              "hardware kind");
static_assert(sizeof(QX_SYSTEM_FIRMWARE_VERSION_STRUCT) == 100 &&
                  sizeof(QX_SYSTEM_FIRMWARE_VERSION_STRUCT::text1) ==
                      SystemRecord::kFirmwareTextLength,
              "firmware record");
static_assert(sizeof(QX_FILE_RECORD_CONFIG_STRUCT) == 48, "file record size");
static_assert(offsetof(QX_FILE_RECORD_CONFIG_STRUCT, v3) == FileRecordConfig::kSessionOffset &&
                  sizeof(QX_FILE_RECORD_CONFIG_STRUCT::v3) == 4,
              "session");
static_assert(offsetof(QX_FILE_RECORD_CONFIG_STRUCT, v4) == FileRecordConfig::kIntervalOffset,
              "interval");
static_assert(offsetof(QX_DATA_CONFIG_LIST, count) == 0 &&
                  offsetof(QX_DATA_CONFIG_LIST, entries) == 2 &&
                  sizeof(QX_DATA_CONFIG_LIST::entries) == 2 * DataConfigList::kCodes,
              "data list");

std::string DeviceRecord::receiverId(const DEVICE_STR& d) {
    return RecordView(d).text(SerialNumber, kTextLength);
}

std::string DeviceRecord::model(const DEVICE_STR& d) {
    return RecordView(d).text(Model, kTextLength);
}

std::string DeviceRecord::productionDate(const DEVICE_STR& d) {
    return RecordView(d).text(ProductionDate, kTextLength);
}

std::string DeviceRecord::firmwareVersion(const DEVICE_STR& d) {
    return RecordView(d).text(FirmwareVersion, kFirmwareLength);
}

std::string DeviceRecord::partNumber(const DEVICE_STR& d) {
    return RecordView(d).text(PartNumber, kPartNumberLength);
}

std::uint8_t DeviceRecord::satChannels(const DEVICE_STR& d) {
    return RecordView(d).byte(SatChannels);
}

std::int32_t DeviceRecord::boardType(const DEVICE_STR& d) {
    return RecordView(d).le32Signed(BoardType);
}

std::uint8_t DeviceRecord::byteAt(const DEVICE_STR& d, Offset o) {
    return RecordView(d).byte(o);
}

std::uint16_t DeviceRecord::autoBaseDistance(const DEVICE_STR& d) {
    return RecordView(d).le16(AutoBaseDistance);
}

std::uint8_t DeviceRecord::channel0(const DEVICE_STR& d) {
    return RecordView(d).byte(offsetof(DEVICE_STR, byte109));
}

std::string SystemRecord::hardwareSerial(const QX_SYSTEM_HARDWARE_INFO_STRUCT& h) {
    return RecordView(h).text(kHardwareSerialOffset, kHardwareTextLength);
}

std::string SystemRecord::hardwarePartNumber(const QX_SYSTEM_HARDWARE_INFO_STRUCT& h) {
    return RecordView(h).text(kHardwarePartNumberOffset, kHardwareTextLength);
}

std::uint32_t SystemRecord::hardwareKind(const QX_SYSTEM_HARDWARE_INFO_STRUCT& h) {
    return RecordView(h).le32(kHardwareKindOffset);
}

std::string SystemRecord::firmwareText(const QX_SYSTEM_FIRMWARE_VERSION_STRUCT& f) {
    return RecordView(f).text(0, kFirmwareTextLength);
}

std::int32_t SystemRecord::solutionQuality(const POS_INFO& p) {
    return RecordView(p).le32Signed(offsetof(POS_INFO, Sol_Code));
}

std::uint32_t FileRecordConfig::sessionMinutes(const QX_FILE_RECORD_CONFIG_STRUCT& r) {
    return RecordView(r).le32(kSessionOffset);
}

std::uint16_t FileRecordConfig::intervalCode(const QX_FILE_RECORD_CONFIG_STRUCT& r) {
    return RecordView(r).le16(kIntervalOffset);
}

std::uint16_t DataConfigList::ioId(const QX_DATA_CONFIG_LIST& l) {
    return RecordView(l).le16(0);
}

std::uint16_t DataConfigList::code(const QX_DATA_CONFIG_LIST& l, std::size_t index) {
    return index < kCodes ? RecordView(l).le16(2 + 2 * index) : 0;
}

bool DataConfigList::outputsDifferential(const QX_DATA_CONFIG_LIST& l) {
    for (std::size_t i = 0; i < kCodes; ++i) {
        const std::uint16_t c = code(l, i);
        if (c >= 2 && c <= 17) {
            return true;
        }
    }
    return false;
}

}  // namespace Varnok
