// The simulated receiver's Wi-Fi and modem: records come back as they were set, power
// commands switch, and a dial reaches its status after the scripted number of polls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SimSession.h"

namespace varnok_test {
namespace {

namespace BV = Brevan2011::BVParse;

constexpr std::uint32_t kResponse = 0x80000000u;
constexpr std::uint32_t kWifiAp = 0x4;
constexpr std::uint32_t kDialParams = 0x10;
constexpr std::uint32_t kDialStatus = 0x20;
constexpr std::uint32_t kModemPower = 0x100;
constexpr std::uint32_t kCsdStatus = 0x8000;
constexpr std::uint32_t kCsdParams = 0x4000;

TEST(SimReceiverNetwork, RecordSetsComeBackByteForByte) {
    SimSession link("protocol=new", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    BV::QX_WIFI_PARA_AP_STRUCT ap{};
    std::memcpy(ap.ssid, "ABCDEFGHIJKLMNOPQRST", 20);  // no room for a zero
    ap.value = 2;
    std::memcpy(ap.password, "p-secret", 8);
    link.session().Send_WIFI_Param_AP(&ap);
    ASSERT_TRUE(Reports::instance().waitFor(5, kResponse, kWaitMs));
    Reports::instance().reset(&link.session());
    link.session().Send_WIFI_Param_AP(nullptr);
    ASSERT_TRUE(Reports::instance().waitFor(5, kWifiAp, kWaitMs));
    BV::QX_WIFI_PARA_AP_STRUCT back{};
    link.session().Get_WIFI_Param_AP(back);
    EXPECT_EQ(std::memcmp(&back, &ap, sizeof ap), 0);

    BV::QX_MODEM_DIAL_PARA_STRUCT dial{};
    std::memcpy(dial.text[1], "*99#", 4);
    std::memcpy(dial.text[4], "internet.example.com", 20);
    link.session().Send_Modem_Dial_Param(&dial);
    Reports::instance().reset(&link.session());
    link.session().Send_Modem_Dial_Param(nullptr);
    ASSERT_TRUE(Reports::instance().waitFor(5, kDialParams, kWaitMs));
    BV::QX_MODEM_DIAL_PARA_STRUCT dialBack{};
    link.session().Get_Modem_Dial_Param(dialBack);
    EXPECT_EQ(std::memcmp(&dialBack, &dial, sizeof dial), 0);
    EXPECT_EQ(link.sim().value("modem_dial_raw").substr(160, 8), "696E7465");  // "inte" at 80

    BV::QX_MODEM_CSD_PARA_STRUCT csd{};
    std::memcpy(csd.number, "+4930123456", 11);
    csd.mode = 1;
    link.session().Send_Modem_CSD_Param(&csd);
    Reports::instance().reset(&link.session());
    link.session().Send_Modem_CSD_Param(nullptr);
    ASSERT_TRUE(Reports::instance().waitFor(5, kCsdParams, kWaitMs));
    EXPECT_EQ(link.sim().value("csd_mode"), "1");
}

TEST(SimReceiverNetwork, UnscriptedDialRecordPutsTheApnLast) {
    SimSession link("protocol=new modem_apn=apn.example modem_number=*99#", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Modem_Dial_Param(nullptr);
    ASSERT_TRUE(Reports::instance().waitFor(5, kDialParams, kWaitMs));
    BV::QX_MODEM_DIAL_PARA_STRUCT d{};
    link.session().Get_Modem_Dial_Param(d);
    EXPECT_EQ(std::string(d.text[0], strnlen(d.text[0], 20)), "");
    EXPECT_EQ(std::string(d.text[1], strnlen(d.text[1], 20)), "*99#");
    EXPECT_EQ(std::string(d.text[4], strnlen(d.text[4], 20)), "apn.example");
}

// Asks for the status until the session reports it; returns it.
int PollDial(SimSession& link, bool csd) {
    Reports::instance().reset(&link.session());
    if (csd) {
        link.session().Send_Modem_CSD_Status_Query();
    } else {
        link.session().Send_Modem_Dial_Status_Query();
    }
    if (!Reports::instance().waitFor(5, csd ? kCsdStatus : kDialStatus, kWaitMs)) {
        return -1;
    }
    if (csd) {
        BV::QX_MODEM_CSD_STATUS_STRUCT s{};
        link.session().Get_Modem_CSD_Status(s);
        return s.status;
    }
    BV::QX_MODEM_DIAL_STATUS_STRUCT s{};
    link.session().Get_Modem_Dial_Status(s);
    return s.status;
}

TEST(SimReceiverNetwork, ADialReachesItsStatusAfterTheScriptedPolls) {
    SimSession link("protocol=new modem_dial_status=2 dial_polls=3", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Modem_Dial(true);
    EXPECT_EQ(PollDial(link, false), 4);
    EXPECT_EQ(PollDial(link, false), 4);
    EXPECT_EQ(PollDial(link, false), 1);
    EXPECT_EQ(PollDial(link, false), 1);
    link.session().Send_Modem_Dial(false);
    EXPECT_EQ(PollDial(link, false), 4);
    EXPECT_EQ(PollDial(link, false), 4);
    EXPECT_EQ(PollDial(link, false), 2);
    // CSD rover: dialling on, then rover on.
    ASSERT_TRUE(link.sim().set("modem_work_mode", "2"));
    ASSERT_TRUE(link.sim().set("dial_polls", "1"));
    link.session().Send_Modem_Dial(true);
    EXPECT_EQ(PollDial(link, true), 6);
}

TEST(SimReceiverNetwork, PowerCommandsSwitchTheReportedStatus) {
    SimSession link("protocol=new modem_power=3 wifi_power=3", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Modem_Power(true);
    link.session().Send_WIFI_Open(true);
    Reports::instance().reset(&link.session());
    link.session().Send_Modem_Power_Status_Query();
    ASSERT_TRUE(Reports::instance().waitFor(5, kModemPower, kWaitMs));
    EXPECT_EQ(link.sim().value("modem_power"), "2");
    EXPECT_EQ(link.sim().value("wifi_power"), "2");
    ASSERT_TRUE(link.sim().waitForRequest("Send_Modem_Power", kWaitMs));
}

}  // namespace
}  // namespace varnok_test
