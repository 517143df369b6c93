#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "BVParse/Em_GnssResults.h"
#include "BVParse/Em_NewRecords.h"
#include "BVParse/Em_OldRecords.h"

namespace Varnok {

// Bounded reads of a record copied out of the session: a text never runs past its field,
// whether or not the receiver terminated it, and a read beyond the record gives 0 or "".
class RecordView {
public:
    RecordView(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(data ? size : 0) {}
    template <class T>
    explicit RecordView(const T& record) : RecordView(&record, sizeof(T)) {}

    // The bytes at offset up to the first NUL, at most maxLength of them.
    std::string text(std::size_t offset, std::size_t maxLength) const;
    std::uint8_t byte(std::size_t offset) const;
    // Little-endian, unaligned.
    std::uint16_t le16(std::size_t offset) const;
    std::uint32_t le32(std::size_t offset) const;
    std::int32_t le32Signed(std::size_t offset) const {
        return static_cast<std::int32_t>(le32(offset));
    }

private:
    const unsigned char* data_;
    std::size_t size_;
};

// The fields of DEVICE_STR that the program reads.
struct DeviceRecord {
    // Byte positions within the record.
    enum Offset : std::size_t {
        SerialNumber = 0,     // 22-byte text
        Model = 22,           // 22-byte text
        ProductionDate = 44,  // 22-byte text
        OutputMode = 74,
        DataLogMode = 76,
        SessionLength = 77,
        OutputRateHz = 78,
        SatChannels = 79,
        SampleInterval = 81,
        RecordElevMask = 82,
        MemoryCode = 83,
        FirmwareVersion = 84,  // 4 characters
        RtkElevMask = 89,      // 255: none
        TransmitPort = 90,
        TransmitFormat = 91,
        PartNumber = 92,  // 17-byte text
        Channel0Lock = 109,
        StartMode = 110,
        AutoBaseDistance = 111,  // 16 bits
        AirBaudCode = 113,
        BoardType = 114,  // 32 bits
    };
    static constexpr std::size_t kTextLength = 22;
    static constexpr std::size_t kFirmwareLength = 4;
    static constexpr std::size_t kPartNumberLength = 17;

    static std::string receiverId(const Brevan2011::BVParse::DEVICE_STR& d);  // the serial number
    static std::string model(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string productionDate(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string firmwareVersion(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string partNumber(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string text92(const Brevan2011::BVParse::DEVICE_STR& d) { return partNumber(d); }
    static std::uint8_t satChannels(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::int32_t boardType(const Brevan2011::BVParse::DEVICE_STR& d);
    // One byte at a named position.
    static std::uint8_t byteAt(const Brevan2011::BVParse::DEVICE_STR& d, Offset o);
    static std::uint16_t autoBaseDistance(const Brevan2011::BVParse::DEVICE_STR& d);
    // Byte 109: 0xAA when the radio's channel 0 is locked.
    static std::uint8_t channel0(const Brevan2011::BVParse::DEVICE_STR& d);
};

// The fields of the new-protocol system records that the program reads.
struct SystemRecord {
    static constexpr std::size_t kHardwareSerialOffset = 4;
    static constexpr std::size_t kHardwarePartNumberOffset = 28;
    static constexpr std::size_t kHardwareTextLength = 24;
    static constexpr std::size_t kHardwareKindOffset = 56;
    static constexpr std::size_t kFirmwareTextLength = 50;

    static std::string hardwareSerial(const Brevan2011::BVParse::QX_SYSTEM_HARDWARE_INFO_STRUCT& h);
    static std::string hardwarePartNumber(
        const Brevan2011::BVParse::QX_SYSTEM_HARDWARE_INFO_STRUCT& h);
    static std::uint32_t hardwareKind(const Brevan2011::BVParse::QX_SYSTEM_HARDWARE_INFO_STRUCT& h);
    static std::string firmwareText(
        const Brevan2011::BVParse::QX_SYSTEM_FIRMWARE_VERSION_STRUCT& f);
    static std::int32_t solutionQuality(const Brevan2011::BVParse::POS_INFO& p);
};

// The new protocol's internal-recording configuration.
struct FileRecordConfig {
    static constexpr std::size_t kSessionOffset = 32;   // minutes, 32 bits
    static constexpr std::size_t kIntervalOffset = 40;  // code, low 16 bits used
    static std::uint32_t sessionMinutes(const Brevan2011::BVParse::QX_FILE_RECORD_CONFIG_STRUCT& r);
    static std::uint16_t intervalCode(const Brevan2011::BVParse::QX_FILE_RECORD_CONFIG_STRUCT& r);
};

// One IO's data configuration list: its IO id and 44 rate codes by sentence id.
struct DataConfigList {
    static constexpr std::size_t kCodes = 44;
    static std::uint16_t ioId(const Brevan2011::BVParse::QX_DATA_CONFIG_LIST& l);
    // 0 beyond the 44 codes.
    static std::uint16_t code(const Brevan2011::BVParse::QX_DATA_CONFIG_LIST& l, std::size_t index);
    // A code from 2 to 17 means differential data go out on that IO.
    static bool outputsDifferential(const Brevan2011::BVParse::QX_DATA_CONFIG_LIST& l);
};

}  // namespace Varnok
