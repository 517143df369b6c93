// Answers of categories 2, 3 and 6 on the recording fake, and the requests that depend on them:
// the old-protocol connection, the base position list, the radio settings and the NMEA output.
#include <cstring>

#include "device_test_support.h"
#include "radio_config.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;
using Strings = std::vector<std::string>;

void scriptDevice(FakeScript& script, std::int32_t board) {
    script.answer<void(DEVICE_STR&)>("GetInfo_DevcInfo", [board](DEVICE_STR& d) {
        std::memcpy(d.firmwareVersion, "8.20", 4);
        std::memcpy(d.boardType, &board, 4);
    });
}

class OldProtocolConnect : public DeviceFixture {
protected:
    void connectAs(int deviceType) {
        ASSERT_TRUE(connectTcp(deviceType));
        ASSERT_EQ(dm->workingStatus(), 2);
        hub->clear();
        fake.script->clear();
    }
};

TEST_F(OldProtocolConnect, DeviceTypeTwoConnectsOnTheDeviceInformation) {
    connectAs(2);
    scriptDevice(*fake.script, 2);
    fireFromThread(fake.session(), 2, 0x80000000u);
    deliver();
    EXPECT_EQ(hub->events(), (Strings{"deviceInfo()", "workingStatus(4)"}));
    EXPECT_EQ(fake.script->linesStartingWith("ReSetGnsMd"), Strings{"ReSetGnsMd(2)"});
}

TEST_F(OldProtocolConnect, OtherTypesWaitForTheGprsVersion) {
    for (int type : {5, 4}) {
        connectAs(type);
        scriptDevice(*fake.script, 2);
        fireFromThread(fake.session(), 2, 0x80000000u);
        deliver();
        EXPECT_EQ(hub->events(), (Strings{"deviceInfo()", "workingStatus(3)"})) << type;
        EXPECT_EQ(dm->workingStatus(), 3);
        fake.script->clear();
        fireStatusFromThread(fake.session(), true);
        deliver();
        EXPECT_EQ(fake.script->lines(), (Strings{"Send_Gprs_Version()", "Set_Gnss_PosFrq(3)"}));
        hub->clear();
        fake.script->clear();
        fake.script->answer<double()>("GetInfo_Gprs_Version", [] { return 2.5; });
        fireFromThread(fake.session(), 2, 0x1000000u);
        deliver();
        EXPECT_EQ(hub->events(),
                  (Strings{"gprsVersion()", "radioInfo()", "radioFreqRange()", "workingStatus(4)"}))
            << type;
        EXPECT_EQ(fake.script->linesStartingWith("Set_DevcInfo_StrtTp"),
                  type == 4 ? Strings{"Set_DevcInfo_StrtTp(2)"} : Strings{});
        EXPECT_EQ(dm->gprsVersion(), 2.5);
        // Connected: a later version answer only announces its values.
        hub->clear();
        fireFromThread(fake.session(), 2, 0x1000000u);
        deliver();
        EXPECT_EQ(hub->events(), (Strings{"gprsVersion()", "radioInfo()", "radioFreqRange()"}));
        EXPECT_TRUE(dm->closePort());
    }
}

TEST_F(OldProtocolConnect, BoardZeroStaysWaitingAndTableOrderBeatsBitOrder) {
    connectAs(5);
    scriptDevice(*fake.script, 0);
    fireFromThread(fake.session(), 2, 0x80000000u);
    deliver();
    EXPECT_EQ(hub->events(), Strings{"deviceInfo()"});
    EXPECT_EQ(dm->workingStatus(), 2);
    EXPECT_TRUE(fake.script->linesStartingWith("ReSetGnsMd").empty());
    hub->clear();
    fireFromThread(fake.session(), 2, 0x40000000u | 0x400u);
    deliver();
    EXPECT_EQ(hub->events(), (Strings{"staticPointInfo()", "batteryLife(0)"}));
}

TEST_F(OldProtocolConnect, TheBaseConfigurationIsACopyTakenOnTheParseThread) {
    connectAs(2);
    Base_Config config{};
    config.Station_Id = 17;
    fake.script->answer<const Base_Config*()>("Get_Gnss_BsCfg", [&config] { return &config; });
    fireFromThread(fake.session(), 2, 0x200u);
    deliver();
    EXPECT_EQ(hub->events(), Strings{"deviceClosed()"});
    // The session's record may be gone; the copy stays.
    config.Station_Id = 99;
    const Base_Config copy = dm->baseConfig();
    const int id = copy.Station_Id;
    EXPECT_EQ(id, 17);
}

TEST_F(OldProtocolConnect, RadioFrequencyThenTransmitModeAndTheSourceList) {
    connectAs(2);
    fake.script->answer<double()>("Get_Radio_Frq", [] { return 438.125; });
    fake.script->answer<Rdo_Mdl()>("Get_Transmit_Mdl", [] { return static_cast<Rdo_Mdl>(5); });
    fireFromThread(fake.session(), 2, 0x2000000u);
    deliver();
    EXPECT_EQ(hub->events(), (Strings{"radioFreq()", "radioProtocol()"}));
    EXPECT_EQ(dm->radioFrequency(), 438.125);
    EXPECT_EQ(dm->radioProtocol(), 5);

    // A full 4,096-byte piece, then pieces after the end.
    std::string piece = "SOURCETABLE 200 OK\r\n";
    piece.resize(4096 - 14, 'm');
    piece += "ENDSOURCETABLE";
    fake.script->answer<void(char*, int*)>("Get_Gprs_GetList", [&piece](char* out, int* length) {
        std::memcpy(out, piece.data(), piece.size());
        *length = static_cast<int>(piece.size());
    });
    hub->clear();
    for (int i = 0; i < 3; ++i) {
        fireFromThread(fake.session(), 2, 0x1000u);
        deliver();
    }
    EXPECT_EQ(hub->events(), Strings{"sourceTable()"});
    // A length beyond the piece is clamped.
    fake.script->answer<void(char*, int*)>("Get_Gprs_GetList",
                                           [](char*, int* length) { *length = 1 << 30; });
    fireFromThread(fake.session(), 2, 0x1000u);
    deliver();
}

class BaseListOnTheFake : public DeviceFixture {
protected:
    // A list answer of the new protocol: radius 5 m, limit 3, entries at the given latitudes.
    void answerList(std::vector<double> lats) {
        fake.script->answer<void(BASE_POS_LIST_STRUCT&)>(
            "Get_Gnss_Base_Position_list", [lats](BASE_POS_LIST_STRUCT& l) {
                l.value = 5.0;
                l.limit = 3;
                for (double lat : lats) {
                    BASE_POS_ENTRY e{};
                    e.first = lat * 0.017453292519943295;
                    e.second = 120 * 0.017453292519943295;
                    const float h = 1.5f;
                    std::memcpy(&e.value, &h, 4);
                    l.list.push_back(e);
                }
            });
        fireFromThread(fake.session(), 3, 0x80000u);
        deliver();
    }
    // The lists sent, as their entry counts with radius and limit.
    std::vector<std::string> sent;
    void recordSent() {
        fake.script->answer<void(const BASE_POS_LIST_STRUCT*)>(
            "Send_Gnss_Base_Position_list", [this](const BASE_POS_LIST_STRUCT* l) {
                sent.push_back(l ? std::to_string(l->list.size()) + "@" +
                                       std::to_string(static_cast<int>(l->value)) + "/" +
                                       std::to_string(l->limit)
                                 : "query");
            });
    }
};

TEST_F(BaseListOnTheFake, NewProtocolEditsSendTheWholeListAfterTheAnswerOnly) {
    ASSERT_TRUE(connectTcp(1));
    recordSent();
    sent.clear();
    dm->addBasePosition(30, 120, 1);
    dm->removeBasePosition(0);
    dm->clearBasePositionList();
    dm->setBasePosDifference(9.0);
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(dm->hasBasePositionList());
    hub->clear();
    answerList({30.0, 31.0, 32.0});
    EXPECT_EQ(hub->events(), Strings{"basePosList()"});
    EXPECT_TRUE(dm->hasBasePositionList());
    EXPECT_EQ(dm->basePosDifference(), 5.0);
    // A second answer without a query: each entry once.
    answerList({30.0, 31.0, 32.0});
    EXPECT_EQ(dm->basePositionList().size(), 3u);
    dm->removeBasePosition(3);
    dm->removeBasePosition(-1);
    EXPECT_TRUE(sent.empty());
    dm->removeBasePosition(2);
    dm->addBasePosition(30.00001, 120, 2);
    dm->clearBasePositionList();
    dm->setBasePosDifference(9.0);
    EXPECT_EQ(sent, (Strings{"2@5/3", "2@5/3", "0@5/3", "0@9/3"}));
    EXPECT_TRUE(dm->basePositionList().empty());
    // A new connection forgets the answer.
    EXPECT_TRUE(dm->closePort());
    ASSERT_TRUE(connectTcp(1));
    recordSent();
    sent.clear();
    dm->setBasePosDifference(1.0);
    EXPECT_TRUE(sent.empty());
}

class RadioRequests : public DeviceFixture {};

TEST_F(RadioRequests, RadioLinkSettingsFollowTheCapabilities) {
    ASSERT_TRUE(connectTcp(1));
    fake.script->clear();
    // Without a capability file every item is fixed (1): only the mode, power-on and frequency.
    dm->setRadioLinkSettings(1, 438.12345, true, 125, 9600, 10, true, 0, nullptr);
    EXPECT_EQ(fake.script->lines(),
              (Strings{"Send_DataLink_Mode(&1)", "Send_Radio_Auto_Power_On(&1)",
                       "Send_Radio_Frequency(&438.123)"}));
    float sent = 0;
    fake.script->answer<void(const float*)>("Send_Radio_Frequency",
                                            [&sent](const float* f) { sent = *f; });
    dm->setRadioLinkSettings(1, 438.12345, false, ~0u, ~0u, ~0u, false, -1, nullptr);
    EXPECT_EQ(sent, 438.12345f);
}

TEST_F(RadioRequests, OldRadioSettingsGoOutPerCapabilityBit) {
    ASSERT_TRUE(connectTcp(2));
    const struct {
        int bit;
        const char* call;
    } bits[] = {{27, "Set_Radio_Power(2)"},       {17, "Set_Radio_Baudrate(3)"},
                {20, "Set_Radio_Sensitivity(4)"}, {16, "Set_Radio_ChannelSpace(1)"},
                {24, "Set_Radio_Frq(438.5)"},     {22, "Set_Radio_FEC(true)"},
                {23, "Set_Radio_Callsign({})"}};
    for (const auto& b : bits) {
        const std::uint32_t word = 1u << b.bit;
        fake.script->answer<int(Radio_Info&)>("Get_Radio_Info", [word](Radio_Info& r) {
            r.wordC = word;
            return 0;
        });
        fireFromThread(fake.session(), 2, 0x1000000u);
        deliver();
        fake.script->clear();
        dm->setRadioSettings(static_cast<Rdo_Mdl>(1), 438.5, static_cast<Radio_Power>(2),
                             static_cast<Radio_Baudrate>(3), static_cast<Rdo_Sensitv>(4),
                             static_cast<Channel_Space>(1), true, Radio_Callsign{});
        EXPECT_EQ(fake.script->lines(), (Strings{"Set_Radio_Mdl(1)", b.call})) << b.bit;
    }
}

class DataLinkAnswers : public DeviceFixture {};

TEST_F(DataLinkAnswers, ModuleTypeQueriesTheChannelListsBeforeTheFrequency) {
    ASSERT_TRUE(connectTcp(1));
    hub->clear();
    fake.script->clear();
    fake.script->answer<void(QX_RADIO_MODULE_TYPE_ENUM&)>(
        "Get_Radio_Module_Type",
        [](QX_RADIO_MODULE_TYPE_ENUM& t) { t = static_cast<QX_RADIO_MODULE_TYPE_ENUM>(4); });
    fake.script->answer<float()>("Get_Radio_Frequency", [] { return 438.12345f; });
    fireFromThread(fake.session(), 6, 0x1u | 0x80u);
    fake.script->clear();
    deliver();
    EXPECT_EQ(hub->events(), (Strings{"radioType(4)", "radioFreq()"}));
    EXPECT_EQ(fake.script->lines(),
              (Strings{"Send_Radio_Channel_List_Query()", "Send_Radio_Channel_List_All_Query()"}));
    EXPECT_EQ(RadioConfig::instance().radioType(), 4);
    // The frequency is widened, not rounded.
    EXPECT_EQ(RadioConfig::instance().frequency(), static_cast<double>(438.12345f));
}

TEST_F(DataLinkAnswers, SensitivityLoginModeAndChannelLists) {
    ASSERT_TRUE(connectTcp(1));
    for (const auto& [answer, choice] : {std::pair<int, int>{1, 2}, {2, 1}, {3, 0}}) {
        const unsigned char a = static_cast<unsigned char>(answer);
        fake.script->answer<unsigned char()>("Get_Radio_Sensitivity", [a] { return a; });
        fireFromThread(fake.session(), 6, 0x200000u);
        deliver();
        EXPECT_EQ(RadioConfig::instance().sensitivity(), choice) << answer;
    }
    fake.script->answer<unsigned char()>("Get_NetLink_Auto_Open",
                                         [] { return static_cast<unsigned char>(5); });
    fireFromThread(fake.session(), 6, 0x4000u);
    deliver();
    EXPECT_EQ(dm->loginMode(), 1);

    fake.script->answer<void(QX_RADIO_CHANNEL_LIST_STRUCT&)>(
        "Get_Radio_Channel_List", [](QX_RADIO_CHANNEL_LIST_STRUCT& l) {
            for (int i = 0; i < 10; ++i) {
                const float f = 430.0125f + static_cast<float>(i);
                std::memcpy(&l.channel[i], &f, 4);
            }
        });
    fake.script->answer<void(QX_RADIO_CHANNEL_LIST_EX_STRUCT&)>(
        "Get_Radio_Channel_List", [](QX_RADIO_CHANNEL_LIST_EX_STRUCT& l) {
            auto put = [](std::vector<QX_RADIO_CHANNEL_ENTRY>& v, float f, int n) {
                for (int i = 0; i < n; ++i) {
                    QX_RADIO_CHANNEL_ENTRY e{};
                    std::memcpy(&e.value, &f, 4);
                    e.flag = static_cast<std::uint8_t>(i);
                    v.push_back(e);
                }
            };
            put(l.list1, 438.12345f, 1);
            put(l.list2, 450.0f, 2);
            put(l.list3, 410.0f, 3);
        });
    hub->clear();
    fireFromThread(fake.session(), 6, 0x40000u | 0x80000u);
    deliver();
    EXPECT_TRUE(hub->events().empty());
    const std::vector<double> freqs = RadioConfig::instance().channelFrequencies();
    ASSERT_EQ(freqs.size(), 10u);
    EXPECT_EQ(freqs[0], 0.0);
    EXPECT_NEAR(freqs[1], 431.0125, 1e-9);
    EXPECT_NEAR(freqs[9], 439.0125, 1e-9);
    ASSERT_EQ(RadioConfig::instance().channelTable(2).size(), 1u);
    EXPECT_NEAR(RadioConfig::instance().channelTable(2)[0].frequency, 438.1235, 1e-9);
    ASSERT_EQ(RadioConfig::instance().channelTable(1).size(), 2u);
    EXPECT_EQ(RadioConfig::instance().channelTable(1)[1].value, 1);
    EXPECT_EQ(RadioConfig::instance().channelTable(0).size(), 3u);
}

TEST_F(DataLinkAnswers, BaseSettingsRowsInTableOrder) {
    ASSERT_TRUE(connectTcp(1));
    hub->clear();
    EXPECT_EQ(dm->diffType(), 1);
    fake.script->answer<int()>("Get_Gnss_Pdop_Mask", [] { return 6; });
    fireFromThread(fake.session(), 3, 0x1u | 0x2u | 0x4u | 0x8u | 0x200u | 0x40000u);
    deliver();
    EXPECT_EQ(hub->events(),
              (Strings{"elevMask()", "diffType()", "basePos()", "pdopMask(6)", "ioConfigs()"}));
}

// Three lists land back to back before the GUI thread runs; each IO keeps its own.
TEST_F(DataLinkAnswers, EachIoKeepsItsOwnDataListUntilTheNextQuery) {
    ASSERT_TRUE(connectTcp(1));
    QX_DATA_CONFIG_LIST out{};
    EXPECT_FALSE(dm->ioConfigs(5, out));
    dm->queryRtkSettings();
    std::vector<std::uint16_t> ids = {5, 6, 7};
    std::size_t next = 0;
    fake.script->answer<void(QX_DATA_CONFIG_LIST&)>("Get_Gnss_Data_Configlist",
                                                    [&](QX_DATA_CONFIG_LIST& l) {
                                                        l = QX_DATA_CONFIG_LIST{};
                                                        l.count = ids[next % ids.size()];
                                                        l.entries[0] = l.count == 5 ? 6 : 0;
                                                        ++next;
                                                    });
    for (int i = 0; i < 3; ++i) {
        fireFromThread(fake.session(), 3, 0x40000u);
    }
    deliver();
    ASSERT_TRUE(dm->ioConfigs(5, out));
    EXPECT_EQ(out.count, 5);
    EXPECT_EQ(out.entries[0], 6);
    ASSERT_TRUE(dm->ioConfigs(6, out));
    EXPECT_EQ(out.count, 6);
    EXPECT_EQ(out.entries[0], 0);
    EXPECT_FALSE(dm->ioConfigs(1, out));  // IO 7 has no slot; IO 1 never answered
    EXPECT_FALSE(dm->ioConfigs(7, out));
    dm->ioConfigs(out);
    EXPECT_EQ(out.count, 7);  // the last list, as before

    dm->queryRtkSettings();
    EXPECT_FALSE(dm->ioConfigs(5, out));
}

// The old protocol's list arrives in pieces of 55 bytes; only the whole list is shown.
TEST_F(OldProtocolConnect, BaseListPiecesAndTheDifference) {
    connectAs(2);
    std::vector<unsigned char> bytes(16, 0);
    bytes[0] = 2;
    for (double v : {-0.5, 120.0, 10.0, 31.5, -7.25, 3.0}) {
        unsigned char b[8];
        std::memcpy(b, &v, 8);
        bytes.insert(bytes.end(), b, b + 8);
    }
    std::size_t at = 0;
    fake.script->answer<void(unsigned char*, int&)>(
        "Get_BasePosition_List", [&](unsigned char* out, int& length) {
            const std::size_t n = std::min<std::size_t>(55, bytes.size() - at);
            std::memcpy(out, bytes.data() + at, n);
            at += n;
            length = static_cast<int>(n);
        });
    dm->queryBasePositionList();
    fireFromThread(fake.session(), 8, 0x40u);
    deliver();
    EXPECT_TRUE(hub->named("basePosList").empty());
    EXPECT_TRUE(dm->basePositionList().empty());
    fireFromThread(fake.session(), 8, 0x80u);
    deliver();
    EXPECT_EQ(hub->named("basePosList").size(), 1u);
    const std::vector<Varnok::BasePosition> list = dm->basePositionList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].latitude, -0.5);
    EXPECT_EQ(list[1].longitude, -7.25);

    fake.script->answer<void(double&)>("Get_BasePosition_Difference", [](double& d) { d = 12.5; });
    fireFromThread(fake.session(), 8, 0x100u);
    deliver();
    EXPECT_EQ(hub->named("basePosDifference").size(), 1u);
    EXPECT_EQ(dm->basePosDifference(), 12.5);
}

class NmeaOutput : public DeviceFixture {};

TEST_F(NmeaOutput, NewProtocolSendsPerSelector) {
    ASSERT_TRUE(connectTcp(1));
    std::vector<std::string> sent;
    fake.script->answer<void(const std::vector<DataFreq>&, QX_GNSS_IO_ID_ENUM)>(
        "Send_Gnss_Data_Freq", [&sent](const std::vector<DataFreq>& v, QX_GNSS_IO_ID_ENUM port) {
            std::string s = std::to_string(port) + ":";
            for (const DataFreq& f : v) {
                s += "(" + std::to_string(f.tag) + "," + std::to_string(f.rate) + ")";
            }
            sent.push_back(s);
        });
    const std::vector<_set_nmea> filled = {{12, 1}, {99, 0}};
    const struct {
        int selector;
        Strings filledSent;
    } cases[] = {
        {0, {}},
        {1, {"1:(1032,6)(1,1)"}},
        {2, {"4:(1032,6)(1,1)"}},
        {3, {"4:(1032,6)(1,1)", "1:(1032,6)(1,1)"}},
        {4, {}},
    };
    for (const auto& c : cases) {
        std::vector<_set_nmea> empty;
        sent.clear();
        dm->setNmeaOutput(empty, true, c.selector);
        EXPECT_TRUE(sent.empty()) << c.selector;
        std::vector<_set_nmea> list = filled;
        dm->setNmeaOutput(list, false, c.selector);
        EXPECT_EQ(sent, c.filledSent) << c.selector;
    }
    sent.clear();
    dm->startPositionOutput();
    dm->stopPositionOutput();
    EXPECT_EQ(sent, (Strings{"0:(1040,9)", "0:(1040,1)"}));
}

TEST_F(NmeaOutput, OldProtocolPassesTheListUnchanged) {
    ASSERT_TRUE(connectTcp(2));
    std::vector<std::string> sent;
    fake.script->answer<void(std::vector<_set_nmea>&, int, bool)>(
        "Set_Velta_NMEA", [&sent](std::vector<_set_nmea>& v, int selector, bool keep) {
            sent.push_back(std::to_string(v.size()) + "/" + std::to_string(selector) + "/" +
                           (keep ? "keep" : "once"));
        });
    for (int selector = 0; selector <= 4; ++selector) {
        std::vector<_set_nmea> empty;
        std::vector<_set_nmea> list = {{1, 3}, {64, 3}};
        dm->setNmeaOutput(empty, true, selector);
        dm->setNmeaOutput(list, false, selector);
    }
    EXPECT_EQ(sent.size(), 10u);
    EXPECT_EQ(sent[0], "0/0/keep");
    EXPECT_EQ(sent[9], "2/4/once");
}

}  // namespace
}  // namespace varnok_test
