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
    static std::string receiverId(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string model(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string firmwareVersion(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::string text92(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::uint8_t satChannels(const Brevan2011::BVParse::DEVICE_STR& d);
    static std::int32_t boardType(const Brevan2011::BVParse::DEVICE_STR& d);
    // Byte 109: 0xAA when the radio's channel 0 is locked.
    static std::uint8_t channel0(const Brevan2011::BVParse::DEVICE_STR& d);
};

// The fields of the new-protocol system records that the program reads.
struct SystemRecord {
    static std::string hardwareSerial(const Brevan2011::BVParse::QX_SYSTEM_HARDWARE_INFO_STRUCT& h);
    static std::uint32_t hardwareKind(const Brevan2011::BVParse::QX_SYSTEM_HARDWARE_INFO_STRUCT& h);
    static std::string firmwareText(
        const Brevan2011::BVParse::QX_SYSTEM_FIRMWARE_VERSION_STRUCT& f);
    static std::int32_t solutionQuality(const Brevan2011::BVParse::POS_INFO& p);
};

}  // namespace Varnok
