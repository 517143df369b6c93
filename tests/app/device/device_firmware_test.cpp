// Capability flags, predicates and the menu mask that follow the receiver's identity.
#include <cstring>

#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;

class Firmware : public DeviceFixture {
protected:
    void setOldFirmware(const char* field, std::size_t length) {
        auto& d = DeviceManagerTestAccess::cache(*dm).deviceInfo;
        std::memset(d.firmwareVersion, 0, sizeof d.firmwareVersion);
        std::memcpy(d.firmwareVersion, field, length);
        dm->applyDeviceInfo();
    }
    std::string flags() const {
        std::string out;
        const std::pair<char, bool> f[] = {
            {'A', dm->hasNovatelExtensions()},      {'B', dm->isRadioChannelV2()},
            {'C', dm->hasRadioChannelExtensions()}, {'D', dm->hasExtendedStartWays()},
            {'E', dm->isFirmwareMinor14()},         {'G', dm->hasWorkingStatusExtension()},
            {'H', dm->hasOutputExtensions()},       {'I', dm->hasStaticStatusQuery()},
            {'K', dm->hasExtendedDeviceInfo()}};
        for (const auto& p : f) {
            if (p.second) {
                out += p.first;
            }
        }
        return out;
    }
};

TEST_F(Firmware, OldProtocolFieldsGiveTheFirmwareFlagAndCapabilities) {
    struct Case {
        const char* field;
        std::size_t length;
        bool firmwareFlag;
        const char* flags;  // A needs a NovAtel board: the record says board 2
    };
    const Case cases[] = {
        {"8.20", 4, true, "ABCDGH"},  {"7.30", 4, false, ""}, {"8.14", 4, true, "BEG"},
        {"V8.2", 4, true, ""},        {"8.2\0", 4, true, ""}, {"8.22", 4, true, "ABCDGHIK"},
        {"8.21", 4, true, "ABCDGHI"}, {"820", 3, false, ""},  {"\0\0\0\0", 4, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field, c.length));
        TearDown();
        SetUp();
        ASSERT_TRUE(connectTcp(2));
        auto& d = DeviceManagerTestAccess::cache(*dm).deviceInfo;
        d.boardType[0] = 2;
        setOldFirmware(c.field, c.length);
        EXPECT_EQ(dm->firmwareFlag(), c.firmwareFlag);
        EXPECT_EQ(dm->isFirmwareBelow8(), !c.firmwareFlag);
        EXPECT_EQ(flags(), c.flags);
        EXPECT_TRUE(dm->isNovatelBoard());
    }
}

TEST_F(Firmware, AFourCharacterFieldWithoutTerminatorIsReadWithinItsBounds) {
    ASSERT_TRUE(connectTcp(2));
    auto& d = DeviceManagerTestAccess::cache(*dm).deviceInfo;
    // The bytes after the field hold digits: they must not join the version.
    std::memset(d.text92, '9', sizeof d.text92);
    d.byte88 = '9';
    setOldFirmware("8.10", 4);
    EXPECT_TRUE(dm->firmwareFlag());
    EXPECT_FALSE(dm->isRadioChannelV2());  // m == 10, not 109...
}

TEST_F(Firmware, ConnectClearsTheFlagsOfTheLastReceiver) {
    ASSERT_TRUE(connectTcp(2));
    setOldFirmware("8.22", 4);
    ASSERT_TRUE(dm->hasExtendedDeviceInfo());
    ASSERT_TRUE(dm->closePort());
    ASSERT_TRUE(connectTcp(2));
    EXPECT_FALSE(dm->firmwareFlag());
    EXPECT_EQ(flags(), "");
}

TEST_F(Firmware, NewProtocolTextAndHardwareKindGiveTheShareCapability) {
    struct Case {
        const char* text;
        std::uint32_t kind;
        bool before;  // the flag before this answer
        bool flag;
    };
    const Case cases[] = {
        {"1.2.0", 2, true, false},   {"1.2.3", 2, false, true}, {"0.9.9", 3, true, false},
        {"2.1.5", 2, true, false},   {"1.2", 2, false, false},  {"1.2", 2, true, true},
        {"V1.2.3b", 3, false, true}, {"1.2.3", 1, true, false}, {"1.x.3", 2, true, true},
        {"", 2, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " kind " + std::to_string(c.kind));
        TearDown();
        fake = FakeFactory();
        SetUp();
        ASSERT_TRUE(connectTcp(1));
        auto answerWith = [this](std::uint32_t kind, const std::string& text) {
            fake.script->answer<void(QX_SYSTEM_HARDWARE_INFO_STRUCT&)>(
                "Get_System_Hardware_Info",
                [kind](QX_SYSTEM_HARDWARE_INFO_STRUCT& h) { h.word[1] = kind; });
            fake.script->answer<void(QX_SYSTEM_FIRMWARE_VERSION_STRUCT&)>(
                "Get_System_Firmware_Info", [text](QX_SYSTEM_FIRMWARE_VERSION_STRUCT& f) {
                    std::memcpy(f.text1, text.c_str(), text.size());
                });
            fireFromThread(fake.session(), 4, 0x2);
            fireFromThread(fake.session(), 4, 0x4);
            deliver();
        };
        if (c.before) {
            answerWith(2, "1.2.3");
            ASSERT_TRUE(dm->newProtocolFirmwareFlag());
        }
        answerWith(c.kind, c.text);
        EXPECT_EQ(dm->newProtocolFirmwareFlag(), c.flag);
        EXPECT_EQ(dm->isWifiShareCapable(), c.flag);
        EXPECT_EQ(dm->isCsdSupported(), c.flag);
    }
}

TEST_F(Firmware, MenuMaskByDeviceTypeAndFirmwareFlag) {
    const struct {
        int deviceType;
        int plain;
        int withFlag;
    } cases[] = {{1, 255, 255}, {2, 7, 39},    {4, 25, 57},
                 {5, 415, 447}, {0, 223, 255}, {3, 223, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceType);
        TearDown();
        SetUp();
        ASSERT_TRUE(connectTcp(c.deviceType));
        int mask = -1;
        dm->supportedPages(&mask);
        EXPECT_EQ(mask, c.plain);
        if (c.deviceType != 1) {
            setOldFirmware("8.00", 4);
            dm->supportedPages(&mask);
            EXPECT_EQ(mask, c.withFlag);
        }
    }
}

TEST_F(Firmware, PredicatesOfConnectionKindAndDeviceType) {
    dm->setDeviceType(2);
    ASSERT_TRUE(dm->connectDevice(102, 0, 9600, Varnok::SocketTarget{}));
    EXPECT_TRUE(dm->isStaticFileDownloadable());
    EXPECT_FALSE(dm->isSerialConnection());
    EXPECT_TRUE(dm->isOldProtocolReceiver());
    EXPECT_FALSE(dm->isNewProtocolReceiver());
    EXPECT_FALSE(dm->isStaticRecordingConfigurable());
    setOldFirmware("8.20", 4);
    EXPECT_FALSE(dm->isStaticFileDownloadable());
    EXPECT_FALSE(dm->isStaticRecordingConfigurable());  // device type 2
    dm->setDeviceType(0);
    EXPECT_TRUE(dm->isStaticRecordingConfigurable());
    EXPECT_TRUE(dm->isDeviceTypeZero());
    EXPECT_TRUE(dm->isFirmwareMinor20());
    EXPECT_TRUE(dm->hasNmeaOutputQuery());
}

TEST_F(Firmware, DeviceRecordGivesChannelSwitchesAndBoard) {
    ASSERT_TRUE(connectTcp(2));
    auto& d = DeviceManagerTestAccess::cache(*dm).deviceInfo;
    d.satChannels = 0xA0;
    d.boardType[0] = 7;
    dm->applyDeviceInfo();
    const bool* ch = dm->satelliteChannelStatus();
    EXPECT_TRUE(ch[0]);
    EXPECT_FALSE(ch[1]);
    EXPECT_TRUE(ch[2]);
    EXPECT_TRUE(dm->isHemisphere2Board());
    EXPECT_FALSE(dm->isNovatelBoard());
}

}  // namespace
}  // namespace varnok_test
