// Bounded reads of records copied out of the session.
#include <cstring>

#include <gtest/gtest.h>

#include "BVParse/Em_GnssResults.h"
#include "record_view.h"

namespace {

using namespace Brevan2011::BVParse;
using Varnok::DeviceRecord;
using Varnok::RecordView;
using Varnok::SystemRecord;

TEST(RecordView, TextsStopAtTheirTerminatorTheirFieldOrTheRecord) {
    const char bytes[] = {'a', 'b', 'c', 0, 'd', 'e', 'f', 'g'};
    RecordView v(bytes, sizeof bytes);
    EXPECT_EQ(v.text(0, 8), "abc");
    EXPECT_EQ(v.text(4, 2), "de");
    EXPECT_EQ(v.text(4, 100), "defg");
    EXPECT_EQ(v.text(8, 4), "");
    EXPECT_EQ(v.text(1000, 4), "");
    EXPECT_EQ(v.byte(7), 'g');
    EXPECT_EQ(v.byte(8), 0);
    EXPECT_EQ(RecordView(nullptr, 10).text(0, 10), "");
}

TEST(RecordView, LittleEndianWordsNeverReadPastTheEnd) {
    const unsigned char bytes[] = {0x01, 0x02, 0x03, 0x84, 0x05};
    RecordView v(bytes, sizeof bytes);
    EXPECT_EQ(v.le32(0), 0x84030201u);
    EXPECT_EQ(v.le32(1), 0x05840302u);
    EXPECT_EQ(v.le32(2), 0u);
    EXPECT_EQ(v.le32(static_cast<std::size_t>(-1)), 0u);
    EXPECT_LT(v.le32Signed(0), 0);
}

TEST(DeviceRecord, FieldsOfAnUnterminatedRecord) {
    DEVICE_STR d;
    std::memset(&d, 'X', sizeof d);  // no terminator anywhere
    std::memcpy(d.firmwareVersion, "8.20", 4);
    d.satChannels = 0xE0;
    d.boardType[0] = 7;
    d.boardType[1] = d.boardType[2] = d.boardType[3] = 0;
    EXPECT_EQ(DeviceRecord::receiverId(d), std::string(22, 'X'));
    EXPECT_EQ(DeviceRecord::model(d), std::string(22, 'X'));
    EXPECT_EQ(DeviceRecord::firmwareVersion(d), "8.20");
    EXPECT_EQ(DeviceRecord::text92(d), std::string(17, 'X'));
    EXPECT_EQ(DeviceRecord::satChannels(d), 0xE0);
    EXPECT_EQ(DeviceRecord::boardType(d), 7);

    std::memcpy(d.receiverId, "R01\0", 4);
    std::memcpy(d.firmwareVersion, "8.2\0", 4);
    EXPECT_EQ(DeviceRecord::receiverId(d), "R01");
    EXPECT_EQ(DeviceRecord::firmwareVersion(d), "8.2");
}

TEST(SystemRecord, HardwareSerialKindAndFirmwareText) {
    QX_SYSTEM_HARDWARE_INFO_STRUCT h;
    std::memset(&h, 'S', sizeof h);
    h.word[1] = 3;
    EXPECT_EQ(SystemRecord::hardwareSerial(h), std::string(24, 'S'));
    EXPECT_EQ(SystemRecord::hardwareKind(h), 3u);

    QX_SYSTEM_FIRMWARE_VERSION_STRUCT f;
    std::memset(&f, '1', sizeof f);
    EXPECT_EQ(SystemRecord::firmwareText(f), std::string(50, '1'));

    POS_INFO p{};
    p.Sol_Code = -2;
    EXPECT_EQ(SystemRecord::solutionQuality(p), -2);
}

// Images as a receiver may send them: texts filling their fields without a terminator,
// and the bytes of every named position.
TEST(DeviceRecord, EveryNamedFieldOfAnImage) {
    unsigned char image[sizeof(DEVICE_STR)];
    std::memset(image, 'Z', sizeof image);
    std::memset(image, 'S', 22);         // serial, unterminated
    std::memcpy(image + 22, "M8\0", 3);  // model
    std::memcpy(image + 44, "2026-01-02", 11);
    std::memset(image + 92, 'P', 17);  // full part number
    const struct {
        std::size_t at;
        unsigned char value;
        DeviceRecord::Offset field;
    } bytes[] = {
        {74, 1, DeviceRecord::OutputMode},      {76, 2, DeviceRecord::DataLogMode},
        {77, 3, DeviceRecord::SessionLength},   {78, 10, DeviceRecord::OutputRateHz},
        {79, 0x80, DeviceRecord::SatChannels},  {81, 5, DeviceRecord::SampleInterval},
        {82, 15, DeviceRecord::RecordElevMask}, {83, 255, DeviceRecord::MemoryCode},
        {89, 255, DeviceRecord::RtkElevMask},   {90, 3, DeviceRecord::TransmitPort},
        {91, 6, DeviceRecord::TransmitFormat},  {109, 170, DeviceRecord::Channel0Lock},
        {110, 1, DeviceRecord::StartMode},      {113, 4, DeviceRecord::AirBaudCode},
    };
    for (const auto& b : bytes) {
        image[b.at] = b.value;
    }
    image[111] = 0x34;
    image[112] = 0x12;
    const unsigned char board[] = {7, 0, 0, 0};
    std::memcpy(image + 114, board, 4);

    struct Case {
        const char* firmware;
        const char* expected;
    };
    for (const Case& c : {Case{"8.20", "8.20"}, Case{"8.2\0", "8.2"}, Case{"\0\0\0\0", ""}}) {
        std::memcpy(image + 84, c.firmware, 4);
        DEVICE_STR d;
        std::memcpy(&d, image, sizeof d);
        EXPECT_EQ(DeviceRecord::firmwareVersion(d), c.expected);
        EXPECT_EQ(DeviceRecord::receiverId(d), std::string(22, 'S'));
        EXPECT_EQ(DeviceRecord::model(d), "M8");
        EXPECT_EQ(DeviceRecord::productionDate(d), "2026-01-02");
        EXPECT_EQ(DeviceRecord::partNumber(d), std::string(17, 'P'));
        for (const auto& b : bytes) {
            EXPECT_EQ(DeviceRecord::byteAt(d, b.field), b.value) << "byte " << b.at;
        }
        EXPECT_EQ(DeviceRecord::autoBaseDistance(d), 4660);
        EXPECT_EQ(DeviceRecord::boardType(d), 7);
    }
}

TEST(SystemRecord, HardwareSerialFillingItsFieldStopsBeforeThePartNumber) {
    QX_SYSTEM_HARDWARE_INFO_STRUCT h{};
    std::memset(h.text1, 'N', sizeof h.text1);  // 24 characters, no terminator
    std::memcpy(h.text2, "ABC", 4);
    EXPECT_EQ(SystemRecord::hardwareSerial(h), std::string(24, 'N'));
    EXPECT_EQ(SystemRecord::hardwarePartNumber(h), "ABC");
    std::memset(h.text2, 'Q', sizeof h.text2);
    EXPECT_EQ(SystemRecord::hardwarePartNumber(h), std::string(24, 'Q'));
}

TEST(NewRecords, FileRecordAndDataList) {
    QX_FILE_RECORD_CONFIG_STRUCT r{};
    r.v3 = 1440;
    r.v4 = 0x0203;
    EXPECT_EQ(Varnok::FileRecordConfig::sessionMinutes(r), 1440u);
    EXPECT_EQ(Varnok::FileRecordConfig::intervalCode(r), 0x0203);

    using Varnok::DataConfigList;
    QX_DATA_CONFIG_LIST l{};
    l.count = 6;
    EXPECT_EQ(DataConfigList::ioId(l), 6);
    EXPECT_FALSE(DataConfigList::outputsDifferential(l));
    for (std::uint16_t c : {1, 18, 0xFFFF}) {
        l.entries[43] = c;
        EXPECT_FALSE(DataConfigList::outputsDifferential(l)) << c;
    }
    for (std::uint16_t c : {2, 17}) {
        l.entries[43] = c;
        EXPECT_TRUE(DataConfigList::outputsDifferential(l)) << c;
    }
    EXPECT_EQ(DataConfigList::code(l, 43), 17);
    EXPECT_EQ(DataConfigList::code(l, 44), 0);
}

}  // namespace
