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
    EXPECT_EQ(SystemRecord::firmwareText(f).size(), 100u);

    POS_INFO p{};
    p.Sol_Code = -2;
    EXPECT_EQ(SystemRecord::solutionQuality(p), -2);
}

}  // namespace
