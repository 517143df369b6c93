// A real session (static libraries) against the simulated receiver over loopback TCP and the
// pseudo-terminal: the answers come back as the callbacks and getter values the program reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "SimSession.h"

namespace varnok_test {
namespace {

namespace BV = Brevan2011::BVParse;
using Brevan2011::BVDevice::EmGnss_Receiver;

constexpr std::uint32_t kHardware = 0x2;
constexpr std::uint32_t kFirmware = 0x4;
constexpr std::uint32_t kBattery = 0x1;
constexpr std::uint32_t kResponse = 0x80000000u;
constexpr std::uint32_t kDeviceInfo = 0x80000000u;
constexpr std::uint32_t kPosition = 0x10000000u;
constexpr std::uint32_t kOldBattery = 0x40000000u;
constexpr double kRad = 0.017453292519943295;

// The device manager's first queries to a receiver of the new protocol.
void SendFirstQueries(EmGnss_Receiver& s) {
    s.Send_System_Hardware_Info_Query();
    s.Send_System_Firmware_Info_Query();
    s.Send_Radio_Module_Type_Query();
    s.Send_Gnss_Base_Position_list(nullptr);
    s.Send_WIFI_Share(nullptr);
}

const std::vector<std::string> kFirstQueries = {
    "Send_System_Hardware_Info_Query", "Send_System_Firmware_Info_Query",
    "Send_Radio_Module_Type_Query", "Send_Gnss_Base_Position_list", "Send_WIFI_Share"};

void BuildHardwareQuery(BV::Em_Gnss& g, std::vector<BV::_STR_CMD>& cmds) {
    g.Get_Cmd_System_Hardware_Info_Query(cmds);
}

TEST(SimReceiverSession, NewProtocolConnectOverTcpAnswersCategoryFour) {
    SimSession link(
        "protocol=new serial=SN-4711 model=PN-9 firmware=1.2.3 battery=73 "
        "hardware_kind=3 wifi_share=1",
        BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    SendFirstQueries(link.session());
    link.session().Send_Battery();

    Reported hardware, firmware, battery, share;
    ASSERT_TRUE(Reports::instance().waitFor(4, kHardware, kWaitMs, &hardware));
    ASSERT_TRUE(Reports::instance().waitFor(4, kFirmware, kWaitMs, &firmware));
    ASSERT_TRUE(Reports::instance().waitFor(4, kBattery, kWaitMs, &battery));
    ASSERT_TRUE(Reports::instance().waitFor(5, 0x800, kWaitMs, &share));
    EXPECT_EQ(hardware.texts["serial"], "SN-4711");
    EXPECT_EQ(hardware.texts["model"], "PN-9");
    EXPECT_EQ(hardware.numbers["hardware_kind"], 3);
    EXPECT_EQ(firmware.texts["firmware"], "1.2.3");
    EXPECT_EQ(battery.numbers["battery_grade"], 7);  // 73 % on both batteries
    EXPECT_EQ(share.numbers["wifi_share"], 1);

    ASSERT_TRUE(link.sim().waitForRequests(6, kWaitMs));
    std::vector<std::string> expected = kFirstQueries;
    expected.push_back("Send_Battery");
    EXPECT_EQ(link.sim().requestNames(), expected);
    EXPECT_EQ(link.sim().requests()[0].detail, "query 0x0306");
}

// Each wireless query of category 5 returns the scripted value through its getter.
TEST(SimReceiverSession, WirelessQueriesAnswerCategoryFiveInTableOrder) {
    struct Case {
        std::function<void(EmGnss_Receiver&)> send;
        std::uint32_t bit;
        const char* key;
        std::string value;
    };
    const std::vector<Case> cases = {
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Mode(nullptr); }, 0x2, "wifi_mode", "2"},
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Param_AP(nullptr); }, 0x4, "wifi_ssid", "FieldAP"},
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Param_AP(nullptr); }, 0x4, "wifi_channel", "11"},
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Power_Status_Query(); }, 0x8, "wifi_power", "3"},
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Auto_Open(nullptr); }, 0x1, "wifi_auto_open", "0"},
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Share(nullptr); }, 0x800, "wifi_share", "0"},
        {[](EmGnss_Receiver& s) { s.Send_WIFI_Share_Auto(nullptr); }, 0x1000, "wifi_share_auto",
         "1"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Dial_Param(nullptr); }, 0x10, "modem_apn",
         "apn.example"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Power_Status_Query(); }, 0x100, "modem_power", "2"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Auto_Power_On(nullptr); }, 0x80, "modem_auto_power",
         "0"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Dial_Status_Query(); }, 0x20, "modem_dial_status",
         "4"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Auto_Dial(nullptr); }, 0x40, "modem_auto_dial", "1"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Band_Mode(nullptr); }, 0x400, "modem_band", "5"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_Work_Mode(nullptr); }, 0x2000, "modem_work_mode",
         "6"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_CSD_Status_Query(); }, 0x8000, "csd_status", "7"},
        {[](EmGnss_Receiver& s) { s.Send_Modem_CSD_Param(nullptr); }, 0x4000, "csd_number",
         "+4912345"},
    };
    SimSession link("protocol=new", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(link.sim().set(c.key, c.value));
        Reports::instance().reset(&link.session());
        c.send(link.session());
        Reported r;
        ASSERT_TRUE(Reports::instance().waitFor(5, c.bit, kWaitMs, &r));
        EXPECT_EQ(r.flags, c.bit);
        if (r.texts.count(c.key) != 0) {
            EXPECT_EQ(r.texts[c.key], c.value);
        } else {
            EXPECT_EQ(std::to_string(r.numbers[c.key]), c.value);
        }
    }
}

TEST(SimReceiverSession, SettingsAreAcknowledgedAndReadBack) {
    SimSession link("protocol=new wifi_share=1", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    const unsigned char off = 0;
    link.session().Send_WIFI_Share(&off);
    ASSERT_TRUE(Reports::instance().waitFor(5, kResponse, kWaitMs));
    link.session().Send_WIFI_Share(nullptr);
    Reported share;
    ASSERT_TRUE(Reports::instance().waitFor(5, 0x800, kWaitMs, &share));
    EXPECT_EQ(share.numbers["wifi_share"], 0);
    EXPECT_EQ(link.sim().value("wifi_share"), "0");

    // Power-off: the response names the command, status 1.
    link.session().Send_CloseReceiver();
    Reported response;
    ASSERT_TRUE(Reports::instance().waitFor(4, kResponse, kWaitMs, &response));
    EXPECT_EQ(response.numbers["response_id"], 0x303);
    EXPECT_EQ(response.numbers["response_status"], 1);
}

// The device query of the old protocol, over each kind of link.
TEST(SimReceiverSession, OldProtocolDeviceQueryAnswersDeviceInformation) {
    enum class Via { Tcp, Serial, Bluetooth };
    for (Via via : {Via::Tcp, Via::Serial, Via::Bluetooth}) {
        SCOPED_TRACE(static_cast<int>(via));
        SimSession link("protocol=old model=1905 firmware=8.20 serial=A12345 sat_channels=160",
                        BV::MAINBD_NOVATEL);
        ASSERT_TRUE(via == Via::Tcp ? link.openTcp() : link.openPty(115200, via == Via::Bluetooth));
        if (via != Via::Tcp) {
            link.session().Send_QxMdl(2);  // the serial pass-through command goes first
        }
        link.session().Send_DeviceInfo();
        Reported info;
        ASSERT_TRUE(Reports::instance().waitFor(2, kDeviceInfo, kWaitMs, &info));
        EXPECT_EQ(info.texts["model"], "1905");
        EXPECT_EQ(info.texts["firmware"], "8.20");
        EXPECT_EQ(info.texts["serial"], "A12345");
        EXPECT_EQ(info.numbers["sat_channels"], 160);
        ASSERT_TRUE(link.sim().waitForRequest("Send_DeviceInfo", kWaitMs));
        // The session's keep-alive (Send_200Data) may reach a quiet line before any command.
        auto names = link.sim().requestNames();
        names.erase(std::remove(names.begin(), names.end(), "Send_200Data"), names.end());
        if (via != Via::Tcp) {
            ASSERT_FALSE(names.empty());
            EXPECT_EQ(names.front(), "Send_QxMdl");
        }
    }
}

// Both protocols' battery answers give the grade the program shows for the scripted percentage.
TEST(SimReceiverSession, BatteryAnswersGiveTheScriptedGrade) {
    struct Case {
        const char* script;
        long grade;
    };
    const Case cases[] = {{"battery=0", 0},
                          {"battery=5", 1},
                          {"battery=44", 4},
                          {"battery=73", 7},
                          {"battery=96", 10},
                          {"battery=100", 10},
                          {"battery=30 external_power=1", 12}};
    // New-protocol levels as floats' bits and as whole percents.
    for (const char* protocol : {"new", "old", "new battery_form=percent"}) {
        const bool isNew = std::string(protocol).compare(0, 3, "new") == 0;
        SimSession link(std::string("protocol=") + protocol,
                        isNew ? BV::MAINBD_NEWPROTOCOL : BV::MAINBD_NOVATEL);
        ASSERT_TRUE(link.openTcp());
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(protocol) + " " + c.script);
            ASSERT_TRUE(link.sim().configure(std::string("external_power=0 ") + c.script));
            Reports::instance().reset(&link.session());
            link.session().Send_Battery();
            Reported r;
            ASSERT_TRUE(isNew ? Reports::instance().waitFor(4, kBattery, kWaitMs, &r)
                              : Reports::instance().waitFor(2, kOldBattery, kWaitMs, &r));
            EXPECT_EQ(r.numbers["battery_grade"], c.grade);
        }
    }
}

// Category 1: the position output that "RG,B200" switches on, read by the main board's parser:
// a GGA, RMC and GST epoch for the second Hemisphere board, the best-position log for NovAtel.
TEST(SimReceiverSession, PositionOutputAnswersCategoryOne) {
    const struct {
        const char* board;
        BV::MAINBD_OEM_TYPE type;
    } cases[] = {{"7", BV::MAINBD_HEMISPHERE2}, {"2", BV::MAINBD_NOVATEL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.board);
        SimSession link(std::string("protocol=old board=") + c.board +
                            " latitude=-33.5 longitude=151.25 height=42.5 quality=4 "
                            "satellites=14 position_ms=50",
                        c.type);
        ASSERT_TRUE(link.openTcp());
        link.session().Send_200Data(true);
        Reported fix;
        ASSERT_TRUE(Reports::instance().waitFor(1, kPosition, kWaitMs, &fix));
        EXPECT_NEAR(fix.position.Latitude, -33.5 * kRad, 1e-9);
        EXPECT_NEAR(fix.position.Longitude, 151.25 * kRad, 1e-9);
        EXPECT_NEAR(fix.position.Height, 42.5, 1e-6);
        EXPECT_GT(fix.position.Sol_Code, 0);
        if (c.type == BV::MAINBD_HEMISPHERE2) {
            EXPECT_EQ(fix.position.Sats_Used, 14);  // the GGA's count
        }
        EXPECT_TRUE(link.sim().waitForRequest("Send_200Data", kWaitMs));
    }
}

// The new protocol's RTK set-up: each IO's list, the base set to its last bit, the masks and the
// serial baud are stored by their settings and read back; position output streams while on.
TEST(SimReceiverSession, NewProtocolRtkSetUpIsStoredAndReadBack) {
    SimSession link("protocol=new io5_diff=6 latitude=-0.5 longitude=120 position_ms=50",
                    BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    EmGnss_Receiver& s = link.session();
    constexpr std::uint32_t kList = 0x40000u, kBase = 0x8u, kPdop = 0x2u, kDiff = 0x1u;
    auto listOf = [&](int io) {
        Reports::instance().reset(&s);
        s.Send_Gnss_Data_Configlist_Query(static_cast<BV::QX_GNSS_IO_ID_ENUM>(io));
        Reported r;
        EXPECT_TRUE(Reports::instance().waitFor(3, kList, kWaitMs, &r)) << io;
        EXPECT_EQ(r.numbers["list_io"], io);
        return r.numbers["list_code0"];
    };
    EXPECT_EQ(listOf(5), 2);
    EXPECT_EQ(listOf(6), 0);
    s.Send_Gnss_IO_DiffData(static_cast<BV::QX_GNSS_IO_ID_ENUM>(6),
                            static_cast<BV::QX_GNSS_DIFF_TYPE_ENUM>(7));
    s.Send_Gnss_Data_Unlogall(static_cast<BV::QX_GNSS_IO_ID_ENUM>(5));
    EXPECT_EQ(listOf(6), 2);
    EXPECT_EQ(listOf(5), 0);
    EXPECT_EQ(link.sim().value("diff_type"), "7");

    const BV::QX_GNSS_BASE_SET_STRUCT set{3, -0.0087266462599716, 2.0943951023931953, 10.25};
    const unsigned char pdop = 9;
    BV::QX_COM_BAUD_ENUM baud = static_cast<BV::QX_COM_BAUD_ENUM>(5);
    s.Send_Gnss_Base_Position(&set);
    s.Send_Gnss_Pdop_Mask(&pdop);
    s.Send_Com_Baudrate(&baud, static_cast<BV::QX_COM_PORT_ENUM>(1));
    Reports::instance().reset(&s);
    s.Send_Gnss_Base_Position(nullptr);
    s.Send_Gnss_Pdop_Mask(nullptr);
    s.Send_Gnss_Diff_Type(nullptr);
    s.Send_Com_Baudrate(nullptr, static_cast<BV::QX_COM_PORT_ENUM>(1));
    Reported base, mask, diff, rate;
    ASSERT_TRUE(Reports::instance().waitFor(3, kBase, kWaitMs, &base));
    ASSERT_TRUE(Reports::instance().waitFor(3, kPdop, kWaitMs, &mask));
    ASSERT_TRUE(Reports::instance().waitFor(3, kDiff, kWaitMs, &diff));
    ASSERT_TRUE(Reports::instance().waitFor(4, 0x80u, kWaitMs, &rate));
    EXPECT_EQ(base.baseSet.mode, 3);
    EXPECT_EQ(base.baseSet.lat, set.lat);
    EXPECT_EQ(base.baseSet.lon, set.lon);
    EXPECT_EQ(base.baseSet.height, 10.25);
    EXPECT_EQ(mask.numbers["pdop_mask"], 9);
    EXPECT_EQ(diff.numbers["diff_type"], 7);
    EXPECT_EQ(rate.numbers["com_baud"], 5);

    Reports::instance().reset(&s);
    s.Send_Gnss_Data_Freq(std::vector<BV::DataFreq>{{0x410, 9}},
                          static_cast<BV::QX_GNSS_IO_ID_ENUM>(0));
    Reported fix;
    ASSERT_TRUE(Reports::instance().waitFor(3, 0x200u, kWaitMs, &fix));
    EXPECT_NEAR(fix.position.Latitude, -0.5 * kRad, 1e-12);
    EXPECT_NEAR(fix.position.Longitude, 120 * kRad, 1e-12);
}

// The old protocol's RTK settings land in the device block that the next device query reads.
TEST(SimReceiverSession, OldProtocolRtkSettingsAreReadBackInTheDeviceRecord) {
    SimSession link("protocol=old firmware=8.14 board=2", BV::MAINBD_NOVATEL);
    ASSERT_TRUE(link.openTcp());
    EmGnss_Receiver& s = link.session();
    s.Set_Gnss_ElevMask(12);
    s.Set_DevcInfo_OutPut(1);
    s.Set_DevcInfo_StrtTp(1);
    s.Set_DevcInfo_TrsmtPort(3);
    s.Set_DevcInfo_TrsmtFmat(6);
    s.Set_Position_Frq(static_cast<BV::GNSS_FRQ>(2));
    s.Set_DevcInfo_AutoBaseDist(500);
    Reports::instance().reset(&s);
    s.Send_DeviceInfo();  // queued behind the settings
    Reported info;
    ASSERT_TRUE(Reports::instance().waitFor(2, kDeviceInfo, kWaitMs, &info));
    EXPECT_EQ(info.numbers["byte74"], 1);
    EXPECT_EQ(info.numbers["byte78"], 5);
    EXPECT_EQ(info.numbers["byte89"], 12);
    EXPECT_EQ(info.numbers["byte90"], 3);
    EXPECT_EQ(info.numbers["byte91"], 6);
    EXPECT_EQ(info.numbers["byte110"], 1);
    EXPECT_EQ(info.numbers["byte111"], 0xF4);
    EXPECT_EQ(info.numbers["byte112"], 0x01);
}

// The board reset is logged by the session operation's name once, whichever way the main board
// takes it: the receiver's own "RK" frame, or the board's command passed through "RZ".
TEST(SimReceiverSession, OldProtocolBoardResetIsLoggedOnceByName) {
    const struct {
        BV::MAINBD_OEM_TYPE board;
        const char* script;
    } cases[] = {
        {BV::MAINBD_NONE, "protocol=old board=0"},
        {BV::MAINBD_STXETX, "protocol=old board=1"},
        {BV::MAINBD_NOVATEL, "protocol=old board=2"},
        {BV::MAINBD_COMENGINE, "protocol=old board=3"},
        {BV::MAINBD_HEMISPHERE, "protocol=old board=4"},
        {BV::MAINBD_HEMISPHERE2, "protocol=old board=7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        SimSession link(c.script, c.board);
        ASSERT_TRUE(link.openTcp());
        link.session().Send_Gnss_Reset();
        link.session().Send_DeviceInfo();  // written after every frame of the reset
        ASSERT_TRUE(link.sim().waitForRequest("Send_DeviceInfo", kWaitMs));
        const auto names = link.sim().requestNames();
        EXPECT_EQ(std::count(names.begin(), names.end(), "Send_Gnss_Reset"), 1);
    }
}

// The new protocol's base list keeps what a setting sends.
TEST(SimReceiverSession, NewProtocolBaseListIsKept) {
    SimSession link("protocol=new base_list_limit=10", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    BV::BASE_POS_LIST_STRUCT list{};
    list.value = 12.5;
    list.limit = 10;
    list.list.push_back({-0.5, 120.0, 0});
    list.list.push_back({31.5, 7.25, 1});
    link.session().Send_Gnss_Base_Position_list(&list);
    ASSERT_TRUE(Reports::instance().waitFor(3, kResponse, kWaitMs));
    Reports::instance().reset(&link.session());
    link.session().Send_Gnss_Base_Position_list(nullptr);
    Reported r;
    ASSERT_TRUE(Reports::instance().waitFor(3, 0x80000u, kWaitMs, &r));
    EXPECT_EQ(r.numbers["base_count"], 2);
    EXPECT_EQ(link.sim().value("base_list_radius"), "12.5");
}

// The pty answers only at the scripted line speed; a session that reopens at that speed (as
// an automatic baud search does) is answered.
TEST(SimReceiverSession, PtyAnswersOnlyAtTheScriptedBaud) {
    SimSession link("protocol=new baud=115200 serial=PTY-1", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openPty(9600));
    link.session().Send_System_Hardware_Info_Query();
    ASSERT_TRUE(link.sim().waitForBytesIgnored(RequestBytes(BuildHardwareQuery), kWaitMs));
    ASSERT_TRUE(link.session().Port_Close());

    ASSERT_TRUE(link.openPty(115200));
    link.session().Send_QxMdl(3);
    link.session().Send_System_Hardware_Info_Query();
    Reported hardware;
    ASSERT_TRUE(Reports::instance().waitFor(4, kHardware, kWaitMs, &hardware));
    EXPECT_EQ(hardware.texts["serial"], "PTY-1");
    // Nothing was answered at 9600: the only answer is the one to the second query.
    EXPECT_EQ(Reports::instance().count(4, kHardware), 1u);
    const std::vector<std::string> heard = {"Send_QxMdl", "Send_System_Hardware_Info_Query"};
    EXPECT_EQ(link.sim().requestNames(), heard);
    EXPECT_EQ(link.sim().requests()[0].link, varnok_sim::Link::Pty);
}

TEST(SimReceiverSession, DelayedAnswerComesAfterTheDelay) {
    SimSession link("protocol=new delay_ms=300", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    const auto sent = std::chrono::steady_clock::now();
    link.session().Send_System_Hardware_Info_Query();
    ASSERT_TRUE(Reports::instance().waitFor(4, kHardware, kWaitMs));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
}

// Broken answers reach the session's parser without a crash or a hang, and a normal answer
// after them is still read.
// The answer controls by request name: a dropped answer never comes, a late one lets the next
// overtake it, and both requests are logged in the order they came.
TEST(SimReceiverSession, DroppedAndLateAnswersByRequestName) {
    SimSession link("protocol=new drop=Send_Battery late=Send_System_Hardware_Info_Query:400",
                    BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Battery();
    link.session().Send_System_Hardware_Info_Query();
    link.session().Send_System_Firmware_Info_Query();
    ASSERT_TRUE(Reports::instance().waitFor(4, kHardware, kWaitMs));
    std::vector<std::uint32_t> order;
    for (const Reported& r : Reports::instance().all()) {
        if (r.category == 4) {
            order.push_back(r.flags & (kHardware | kFirmware | kBattery));
        }
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{kFirmware, kHardware}));
    EXPECT_EQ(link.sim().requestNames(),
              (std::vector<std::string>{"Send_Battery", "Send_System_Hardware_Info_Query",
                                        "Send_System_Firmware_Info_Query"}));
    // Cleared, the answers come again.
    ASSERT_TRUE(link.sim().configure("drop= late="));
    link.session().Send_Battery();
    EXPECT_TRUE(Reports::instance().waitFor(4, kBattery, kWaitMs));
}

TEST(SimReceiverSession, BrokenAnswersLeaveTheSessionWorking) {
    struct Case {
        const char* script;
        const char* cure;
    };
    for (const Case& c :
         {Case{"mode=garbage", "mode=normal"}, Case{"mode=stop_mid_answer", "mode=normal"},
          Case{"mode=silent", "mode=normal"}}) {
        SCOPED_TRACE(c.script);
        SimSession link(std::string("protocol=new ") + c.script, BV::MAINBD_NEWPROTOCOL);
        ASSERT_TRUE(link.openTcp());
        SendFirstQueries(link.session());
        ASSERT_TRUE(link.sim().waitForRequests(kFirstQueries.size(), kWaitMs));
        if (std::string(c.script) != "mode=silent") {
            ASSERT_TRUE(link.sim().waitForBytesSent(1, kWaitMs));
        }
        ASSERT_TRUE(link.sim().configure(c.cure));
        link.session().Send_System_Hardware_Info_Query();
        Reported hardware;
        ASSERT_TRUE(Reports::instance().waitFor(4, kHardware, kWaitMs, &hardware));
        EXPECT_EQ(hardware.texts["serial"], "SIM001");
        EXPECT_EQ(Reports::instance().count(4, kFirmware), 0u);
    }
}

TEST(SimReceiverSession, CloseAfterTenBytesEndsTheConnection) {
    SimSession link("protocol=new close_after=10", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    SendFirstQueries(link.session());
    ASSERT_TRUE(link.sim().waitForClosedByReceiver(1, kWaitMs));
    EXPECT_EQ(link.sim().bytesSent(), 10u);
    EXPECT_TRUE(Reports::instance().all().empty());
    EXPECT_TRUE(link.session().Port_Close());
    // A new session is a new connection, with its own ten bytes.
    ASSERT_TRUE(link.openTcp());
    link.session().Send_System_Hardware_Info_Query();
    ASSERT_TRUE(link.sim().waitForClosedByReceiver(2, kWaitMs));
    EXPECT_EQ(link.sim().bytesSent(), 20u);
    EXPECT_EQ(link.sim().tcpConnections(), 2);
}

}  // namespace
}  // namespace varnok_test
