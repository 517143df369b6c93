// Answers of categories 1, 4 and 5 and the status callback: copied out on the session's
// thread, applied and announced on the GUI thread.
#include <cstring>
#include <thread>

#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;
using Strings = std::vector<std::string>;

class Answers : public DeviceFixture {
protected:
    void SetUp() override {
        DeviceFixture::SetUp();
        ASSERT_TRUE(connectTcp(1));
        hub->clear();
        fake.script->clear();
    }
};

TEST_F(Answers, CallbackReadsOnlyTheGettersOfItsBitsAndAnnouncesNothingOnItsThread) {
    fake.script->answer<int()>("Get_Battery_Grd", [] { return 7; });
    fireFromThread(fake.session(), 4, 0x1);
    EXPECT_EQ(fake.script->lines(), Strings{"Get_Battery_Grd()"});
    // Nothing is applied until the GUI thread runs.
    EXPECT_TRUE(hub->events().empty());
    EXPECT_EQ(dm->batteryGrade(), 0);
    deliver();
    EXPECT_EQ(hub->events(), Strings{"batteryLife(7)"});
    EXPECT_EQ(dm->batteryGrade(), 7);
}

TEST_F(Answers, BatteryAndHardwareInOneMessageAnnounceInTableOrderAndConnect) {
    fake.script->answer<int()>("Get_Battery_Grd", [] { return 11; });
    fake.script->answer<void(QX_SYSTEM_HARDWARE_INFO_STRUCT&)>(
        "Get_System_Hardware_Info",
        [](QX_SYSTEM_HARDWARE_INFO_STRUCT& h) { std::memcpy(h.text1, "SN0042", 6); });
    fireFromThread(fake.session(), 4, 0x1 | 0x2);
    deliver();
    EXPECT_EQ(hub->events(), (Strings{"batteryLife(11)", "hardwareInfo()", "workingStatus(4)"}));
    EXPECT_EQ(std::string(dm->hardwareInfo().text1), "SN0042");
    // Connected already: a second hardware answer does not announce a status again.
    hub->clear();
    fireFromThread(fake.session(), 4, 0x2);
    deliver();
    EXPECT_EQ(hub->events(), Strings{"hardwareInfo()"});
}

TEST_F(Answers, CommandResponsesAndTheCloseResponse) {
    const struct {
        unsigned int id;
        int status;
        Strings events;
    } cases[] = {
        {0x303, 1, {"deviceResponse(771,1)", "deviceClosed()"}},
        {0x303, 0, {"deviceResponse(771,0)"}},
        {0x302, 1, {"deviceResponse(770,1)"}},
    };
    for (const auto& c : cases) {
        hub->clear();
        const unsigned int id = c.id;
        const int status = c.status;
        fake.script->answer<void(QX_RESPONSE_STATUS_ENUM&, unsigned int&)>(
            "Get_Cmd_Setting_Response", [id, status](QX_RESPONSE_STATUS_ENUM& s, unsigned int& i) {
                s = static_cast<QX_RESPONSE_STATUS_ENUM>(status);
                i = id;
            });
        fireFromThread(fake.session(), 4, 0x80000000u);
        deliver();
        EXPECT_EQ(hub->events(), c.events);
    }
}

TEST_F(Answers, SystemRowsAnnounceInTableOrderWhateverTheBitOrder) {
    fake.script->answer<unsigned char()>("Get_File_Record_Auto_Open",
                                         [] { return static_cast<unsigned char>(1); });
    fireFromThread(fake.session(), 4, 0xFFu | 0x80000000u);
    deliver();
    EXPECT_EQ(hub->events(),
              (Strings{"deviceResponse(0,0)", "batteryLife(0)", "firmwareInfo()", "hardwareInfo()",
                       "workingStatus(4)", "fileRecordStatus()", "fileRecordAutoOpen(true)",
                       "fileRecordParam()", "comBaud()"}));
}

TEST_F(Answers, PositionWithoutSolutionIsCachedButSilent) {
    const struct {
        int quality;
        Strings events;
    } cases[] = {{0, {}}, {-1, {}}, {4, {"position()"}}};
    for (const auto& c : cases) {
        hub->clear();
        const int quality = c.quality;
        fake.script->answer<void(POS_INFO*)>("Get_Gnss_Pos", [quality](POS_INFO* p) {
            p->Sol_Code = quality;
            p->Height = 12.5;
        });
        fireFromThread(fake.session(), 1, 0x10000000u);
        deliver();
        EXPECT_EQ(hub->events(), c.events);
        EXPECT_EQ(dm->position().Sol_Code, quality);
        EXPECT_EQ(dm->position().Height, 12.5);
    }
    hub->clear();
    fake.script->answer<unsigned int()>("GetInfo_Gnss_ElevMask", [] { return 15u; });
    fireFromThread(fake.session(), 1, 0x4000000u | 0x1000u);
    deliver();
    EXPECT_EQ(hub->events(), Strings{"elevMask()"});
    EXPECT_EQ(dm->elevMask(), 15);
}

TEST_F(Answers, WirelessRowsAnnounceInTableOrderWithTheirFlags) {
    fake.script->answer<unsigned char()>("Get_WIFI_Auto_Open", [] { return (unsigned char)2; });
    fake.script->answer<unsigned char()>("Get_WIFI_Share", [] { return (unsigned char)2; });
    fake.script->answer<unsigned char()>("Get_WIFI_Share_Auto", [] { return (unsigned char)1; });
    fake.script->answer<unsigned char()>("Get_Modem_Auto_Power_On",
                                         [] { return (unsigned char)0; });
    fake.script->answer<unsigned char()>("Get_Modem_Auto_Dial", [] { return (unsigned char)1; });
    fake.script->answer<void(QX_WIFI_PARA_AP_STRUCT&)>(
        "Get_WIFI_Param_AP", [](QX_WIFI_PARA_AP_STRUCT& ap) { std::memcpy(ap.ssid, "field", 5); });
    EXPECT_FALSE(dm->isWifiShareSupported());
    fireFromThread(fake.session(), 5, 0xFFFFu);
    deliver();
    EXPECT_EQ(hub->events(),
              (Strings{"wifiMode()", "wifiParams()", "wifiStatus()", "wifiAutoPower(true)",
                       "wifiShare()", "wifiAutoShare()", "dialParams()", "modemPowerStatus()",
                       "modemAutoPower(false)", "modemDialStatus()", "modemAutoDial(true)",
                       "modemBandMode()", "modemWorkMode()", "csdStatus()", "csdParams()"}));
    EXPECT_TRUE(dm->isWifiShareSupported());
    EXPECT_EQ(dm->wifiShare(), 0);  // only 1 means shared
    EXPECT_EQ(dm->wifiAutoShare(), 1);
    EXPECT_EQ(std::string(dm->wifiParams().ssid), "field");
}

TEST_F(Answers, OtherCategoriesChangeNothing) {
    for (int category : {0, 7, 9, 42}) {
        fireFromThread(fake.session(), category, 0xFFFFFFFFu);
    }
    deliver();
    EXPECT_TRUE(hub->events().empty());
    EXPECT_TRUE(fake.script->lines().empty());
}

TEST_F(Answers, AnswersOfAReplacedSessionAreDropped) {
    FakeSession* old = fake.session();
    fireFromThread(old, 4, 0x2);
    ASSERT_TRUE(dm->closePort());
    ASSERT_TRUE(connectTcp(1));
    hub->clear();
    deliver();
    EXPECT_EQ(dm->workingStatus(), 2);
    EXPECT_TRUE(hub->events().empty());
    // The new session's own answer still connects.
    fireFromThread(fake.session(), 4, 0x2);
    deliver();
    EXPECT_EQ(dm->workingStatus(), 4);
}

TEST_F(Answers, ManyAnswersFromManyThreadsAllArriveInEachThreadsOrder) {
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::vector<std::thread> threads;
    FakeSession* session = fake.session();
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([session] {
            for (int i = 0; i < kEach; ++i) {
                session->fireData(5, 0x2);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    deliver();
    EXPECT_EQ(hub->named("wifiMode").size(), static_cast<size_t>(kThreads * kEach));
}

TEST_F(Answers, BoardChangeWhileInitialisingSendsTheFollowUps) {
    DeviceManagerTestAccess::setWorkingStatus(*dm, 3);
    fireStatusFromThread(fake.session(), true);
    EXPECT_TRUE(fake.script->lines().empty());
    deliver();
    EXPECT_EQ(hub->events(), Strings{"oemTypeChanged(true)"});
    EXPECT_EQ(fake.script->lines(), (Strings{"Send_Gprs_Version()", "Set_Gnss_PosFrq(3)"}));
    EXPECT_EQ(dm->workingStatus(), 3);

    hub->clear();
    fake.script->clear();
    DeviceManagerTestAccess::setWorkingStatus(*dm, 2);
    fireStatusFromThread(fake.session(), true);
    fireStatusFromThread(fake.session(), false);
    deliver();
    EXPECT_EQ(hub->events(), (Strings{"oemTypeChanged(true)", "oemTypeChanged(false)"}));
    EXPECT_TRUE(fake.script->lines().empty());
    EXPECT_EQ(dm->eventCode(), 28);
}

}  // namespace
}  // namespace varnok_test
