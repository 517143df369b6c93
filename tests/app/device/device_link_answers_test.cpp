// Answers of categories 2, 3 and 6 on the recording fake, and the requests that depend on them:
// the old-protocol connection, the base position list, the radio settings and the NMEA output.
#include <QTemporaryDir>

#include <cstdio>
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

// Source-list pieces reach the collector the same way on both protocols: the old protocol's
// category 2 (bit 0x1000) and the new protocol's category 6 (bit 0x2000).
TEST_F(OldProtocolConnect, SourceListPiecesOfBothProtocolsAnnounceOneTable) {
    const struct {
        int deviceType;
        int category;
        std::uint32_t bit;
    } protocols[] = {{2, 2, 0x1000u}, {1, 6, 0x2000u}};
    const std::vector<Strings> runs = {
        // Junk before the caster's answer is dropped; the end comes in the last piece.
        {"junk \r\n", "SOURCETABLE 200 OK\r\nSTR;MP1;x\r\n", "STR;MP2;y\r\nENDSOURCETABLE\r\n",
         "after the end\r\n"},
        // The status line cut over two pieces is still found.
        {"xxSOURCETABLE 2", "00 OK\r\nSTR;MP1;x\r\nENDSOURCETABLE\r\n"},
    };
    for (const auto& p : protocols) {
        for (const Strings& pieces : runs) {
            SCOPED_TRACE(p.category);
            ASSERT_TRUE(connectTcp(p.deviceType));
            hub->clear();
            for (const std::string& piece : pieces) {
                fake.script->answer<void(char*, int*)>(
                    "Get_Gprs_GetList", [piece](char* out, int* length) {
                        std::memcpy(out, piece.data(), piece.size());
                        *length = static_cast<int>(piece.size());
                    });
                fireFromThread(fake.session(), p.category, p.bit);
                deliver();
            }
            EXPECT_EQ(hub->events(), Strings{"sourceTable()"});
            EXPECT_TRUE(dm->closePort());
        }
    }
    // Without a status line nothing is announced.
    ASSERT_TRUE(connectTcp(1));
    hub->clear();
    fake.script->answer<void(char*, int*)>("Get_Gprs_GetList", [](char* out, int* length) {
        std::memcpy(out, "STR;MP1;x\r\nENDSOURCETABLE\r\n", 27);
        *length = 27;
    });
    fireFromThread(fake.session(), 6, 0x2000u);
    deliver();
    EXPECT_TRUE(hub->events().empty());
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
    // Before the list answer each says that it sent nothing.
    EXPECT_FALSE(dm->addBasePosition(30, 120, 1));
    EXPECT_FALSE(dm->removeBasePosition(0));
    EXPECT_FALSE(dm->clearBasePositionList());
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
    EXPECT_FALSE(dm->removeBasePosition(3));
    EXPECT_FALSE(dm->removeBasePosition(-1));
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(dm->removeBasePosition(2));
    EXPECT_TRUE(dm->addBasePosition(30.00001, 120, 2));
    EXPECT_TRUE(dm->clearBasePositionList());
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

// A capability file of one radio type where only `item` has the state `state`; every other
// item is fixed (1). List items are fixed with one entry and choosable with two.
std::string capabilityFile(int item, int state) {
    const auto list = [&](int forItem, const char* name, const char* entry) {
        const int n = item == forItem && state == 2 ? 2 : 1;
        std::string xml =
            std::string("<") + name + " type=\"array\"><size>" + std::to_string(n) + "</size>";
        for (int i = 1; i <= n; ++i) {
            xml += "<a" + std::to_string(i) + ">" + entry + "</a" + std::to_string(i) + ">";
        }
        return xml + "</" + name + ">";
    };
    const auto group = [&](int forItem, const char* name) {
        const int supported = item == forItem ? state : 1;
        return std::string("<") + name + " type=\"group\"><supported>" + std::to_string(supported) +
               "</supported></" + name + ">";
    };
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><radioconfig><radios type=\"array\">"
           "<size>1</size><a1><ID>9</ID><name>test</name>" +
           list(2, "power", "<value>10</value>") + list(1, "protocol", "<ID>1</ID><name>P</name>") +
           list(3, "stepper", "<value>125</value>") +
           "<baudrate type=\"group\"><applyall>1</applyall>" +
           list(4, "universal", "<value>9600</value>") + "</baudrate>" + group(5, "sensitivity") +
           group(6, "FEC") + group(7, "COS") + "</a1></radios></radioconfig>";
}

TEST_F(RadioRequests, RadioLinkSettingsSendAnItemOnlyWhereItIsChoosableAndSet) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("radioconfig.vnk").toStdString();
    const auto loadCapabilities = [&path](int item, int state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const std::string xml = capabilityFile(item, state);
        std::fwrite(xml.data(), 1, xml.size(), f);
        std::fclose(f);
        ASSERT_EQ(RadioConfig::instance().loadForType(9, path), 0);
    };
    ASSERT_TRUE(connectTcp(1));
    const QX_RADIO_CALLSIGN_STRUCT callsign{};
    const std::string head[] = {"Send_DataLink_Mode(&1)", "Send_Radio_Auto_Power_On(&0)"};
    const std::string frequency = "Send_Radio_Frequency(&438.125)";
    const struct {
        int item;
        bool set;          // the page gives a value (else -1, all ones or no call sign)
        std::string call;  // sent at capability 2; nothing at 1
        bool beforeFrequency;
    } cases[] = {
        {1, true, "Send_Radio_Protocol(&2)", true},
        {1, false, "Send_Radio_Protocol(&2)", true},  // the protocol has no "unset" value
        {2, true, "Send_Radio_Power(&20)", true},
        {2, false, "", true},
        {3, true, "Send_Radio_Stepper(&250)", true},
        {3, false, "", true},
        {4, true, "Send_Radio_Air_Baud(&19200)", false},
        {4, false, "", false},
        {5, true, "Send_Radio_Sensitivity(&3)", false},
        {5, false, "", false},
        {6, true, "Send_Radio_FEC(&1)", false},
        {6, false, "Send_Radio_FEC(&0)", false},  // off is a value
        {7, true, "Send_Radio_Callsign(&{})", false},
        {7, false, "", false},
    };
    for (const auto& c : cases) {
        for (int state : {1, 2}) {
            loadCapabilities(c.item, state);
            fake.script->clear();
            const unsigned int unset = ~0u;
            dm->setRadioLinkSettings(2, 438.125, false, c.set ? 250 : unset, c.set ? 19200 : unset,
                                     c.set ? 20 : unset, c.set, c.set ? 0 : -1,
                                     c.set ? &callsign : nullptr);
            Strings expected(std::begin(head), std::end(head));
            if (state == 2 && !c.call.empty() && c.beforeFrequency) {
                expected.push_back(c.call);
            }
            expected.push_back(frequency);
            if (state == 2 && !c.call.empty() && !c.beforeFrequency) {
                expected.push_back(c.call);
            }
            EXPECT_EQ(fake.script->lines(), expected)
                << "item " << c.item << " state " << state << (c.set ? " set" : " unset");
        }
    }
    // The page's sensitivity choice goes out as the receiver's code.
    loadCapabilities(5, 2);
    for (const auto& [choice, code] : {std::pair<int, int>{0, 3}, {1, 2}, {5, 1}}) {
        fake.script->clear();
        dm->setRadioLinkSettings(2, 438.125, false, ~0u, ~0u, ~0u, false, choice, nullptr);
        EXPECT_EQ(fake.script->linesStartingWith("Send_Radio_Sensitivity"),
                  Strings{"Send_Radio_Sensitivity(&" + std::to_string(code) + ")"})
            << choice;
    }
    // Leave every item fixed for the tests that follow.
    loadCapabilities(0, 1);
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
    // A call sign never read is not written, whatever bit 23 says.
    fake.script->clear();
    dm->setRadioSettings(static_cast<Rdo_Mdl>(1), 438.5, static_cast<Radio_Power>(2),
                         static_cast<Radio_Baudrate>(3), static_cast<Rdo_Sensitv>(4),
                         static_cast<Channel_Space>(1), true,
                         static_cast<const Radio_Callsign*>(nullptr));
    EXPECT_EQ(fake.script->lines(), (Strings{"Set_Radio_Mdl(1)"}));
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
