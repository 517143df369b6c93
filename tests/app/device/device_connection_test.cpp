// Connecting and closing through the device manager over fake sessions.
#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::SocketTarget;

class Connection : public DeviceFixture {};

TEST_F(Connection, NewProtocolOverTcpWalksOneTwoAndFourOnTheHardwareAnswer) {
    ASSERT_TRUE(connectTcp(1));
    EXPECT_EQ(hub->named("workingStatus"),
              (std::vector<std::string>{"workingStatus(1)", "workingStatus(2)"}));
    // TCP: no pass-through switch; the five first queries in order.
    EXPECT_EQ(fake.script->linesStartingWith("Send_"),
              (std::vector<std::string>{
                  "Send_System_Hardware_Info_Query()", "Send_System_Firmware_Info_Query()",
                  "Send_Radio_Module_Type_Query()", "Send_Gnss_Base_Position_list(null)",
                  "Send_WIFI_Share(null)"}));
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open"),
              (std::vector<std::string>{"Port_Open(sock 127.0.0.1:5017 0)"}));
    EXPECT_EQ(fake.script->linesStartingWith("setReceiverType"),
              (std::vector<std::string>{"setReceiverType(2, 8)"}));
    EXPECT_TRUE(fake.session()->hasCallbacks());

    fireFromThread(fake.session(), 4, 0x2);
    deliver();
    EXPECT_EQ(dm->workingStatus(), 4);
    EXPECT_EQ(hub->named("workingStatus").back(), "workingStatus(4)");
}

TEST_F(Connection, SerialOldProtocolSwitchesPassThroughOffThenAsksForTheDevice) {
    dm->setDeviceType(2);
    ASSERT_TRUE(dm->connectDevice(0, 3, 38400, SocketTarget{}));
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open"),
              (std::vector<std::string>{"Port_Open(com 3, 38400)"}));
    EXPECT_EQ(fake.script->linesStartingWith("Send_"),
              (std::vector<std::string>{"Send_QxMdl(2)", "Send_DeviceInfo()"}));
    EXPECT_EQ(fake.script->linesStartingWith("setReceiverType"),
              (std::vector<std::string>{"setReceiverType(2, 2)"}));
    EXPECT_EQ(dm->workingStatus(), 2);
    EXPECT_EQ(dm->baudRate(), 38400);
    EXPECT_TRUE(dm->isSerialConnection());
}

TEST_F(Connection, TableOfMakersAndOpenResults) {
    struct Case {
        const char* what;
        int maker;
        bool opens;
        bool result;
        std::vector<std::string> statuses;
    };
    const Case cases[] = {
        {"maker 1 opens straight to connected",
         1,
         true,
         true,
         {"workingStatus(1)", "workingStatus(4)"}},
        {"failed open closes",
         2,
         false,
         false,
         {"workingStatus(1)", "workingStatus(5)", "workingStatus(0)"}},
        {"maker 0 has no session",
         0,
         true,
         false,
         {"workingStatus(1)", "workingStatus(5)", "workingStatus(0)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        fake = FakeFactory();
        SetUp();
        dm->setManufacturer(c.maker);
        const bool opens = c.opens;
        fake.script->answer<bool(const std::string&)>(
            "Port_Open", [opens](const std::string&) { return opens; });
        EXPECT_EQ(connectTcp(2), c.result);
        EXPECT_EQ(hub->named("workingStatus"), c.statuses);
        EXPECT_EQ(dm->workingStatus(), c.result ? 4 : 0);
        EXPECT_TRUE(hub->named("connectionFailed").empty());
    }
}

TEST_F(Connection, MakerOneGetsNoCallbacksAndNoQueries) {
    dm->setManufacturer(1);
    ASSERT_TRUE(connectTcp(2));
    EXPECT_FALSE(fake.session()->hasCallbacks());
    EXPECT_TRUE(fake.script->linesStartingWith("Send_").empty());
    EXPECT_EQ(fake.script->linesStartingWith("session"),
              (std::vector<std::string>{"session(1, 1)"}));
}

TEST_F(Connection, MakerZeroUnderAutoBaudFailsOnceAndAcceptsTheNextConnect) {
    dm->setManufacturer(0);
    dm->setConnectOptions(true, {9600, 115200});
    EXPECT_TRUE(connectTcp(2));
    EXPECT_EQ(dm->workingStatus(), 0);
    EXPECT_EQ(hub->named("connectionFailed").size(), 1u);
    EXPECT_EQ(hub->events().back(), "connectionFailed()");
    EXPECT_TRUE(fake.script->lines().empty());
    dm->setManufacturer(2);
    dm->setConnectOptions(false, {});
    EXPECT_TRUE(connectTcp(2));
}

TEST_F(Connection, ClosePortAtIdleIsTrueAndSilent) {
    EXPECT_TRUE(dm->closePort());
    EXPECT_TRUE(hub->events().empty());
    EXPECT_TRUE(fake.script->lines().empty());
}

TEST_F(Connection, ClosePortWalksFiveThenZeroAndClosesTheSession) {
    ASSERT_TRUE(connectTcp(1));
    hub->clear();
    EXPECT_TRUE(dm->closePort());
    EXPECT_EQ(hub->events(), (std::vector<std::string>{"workingStatus(5)", "workingStatus(0)"}));
    EXPECT_EQ(fake.script->linesStartingWith("Port_Close").size(), 1u);
    EXPECT_FALSE(fake.session()->IsPortOpen());
}

TEST_F(Connection, SecondConnectWhileConnectingIsRefusedAndChangesNothing) {
    ASSERT_TRUE(connectTcp(1));
    hub->clear();
    fake.script->clear();
    EXPECT_FALSE(connectTcp(1));
    EXPECT_TRUE(hub->events().empty());
    EXPECT_TRUE(fake.script->lines().empty());
    EXPECT_EQ(dm->workingStatus(), 2);
}

TEST_F(Connection, AutoBaudTriesEachOtherRateOnceThenClosesAndFailsOnce) {
    dm->setConnectTimeoutMs(50);
    dm->setDeviceType(2);
    dm->setConnectOptions(true, {4800, 9600, 115200, 9600});
    ASSERT_TRUE(dm->connectDevice(0, 1, 9600, SocketTarget{}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->named("connectionFailed").empty(); }, 10000));
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open"),
              (std::vector<std::string>{"Port_Open(com 1, 9600)", "Port_Open(com 1, 4800)",
                                        "Port_Open(com 1, 115200)"}));
    EXPECT_EQ(dm->workingStatus(), 0);
    EXPECT_FALSE(fake.session()->IsPortOpen());
    EXPECT_EQ(hub->named("connectionFailed").size(), 1u);
    // The pages learn status 0 before the failure.
    const std::vector<std::string> events = hub->events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "workingStatus(0)");
    EXPECT_EQ(events.back(), "connectionFailed()");
    // Nothing more fires afterwards, and a new connect is accepted.
    QTest::qWait(150);
    EXPECT_EQ(hub->named("connectionFailed").size(), 1u);
    dm->setConnectOptions(false, {});
    EXPECT_TRUE(dm->connectDevice(0, 1, 9600, SocketTarget{}));
}

TEST_F(Connection, AutoBaudStopsRetryingOnTheFirstAnswer) {
    dm->setConnectTimeoutMs(50);
    dm->setConnectOptions(true, {9600, 115200});
    ASSERT_TRUE(connectTcp(1));
    fireFromThread(fake.session(), 4, 0x2);
    deliver();
    EXPECT_EQ(dm->workingStatus(), 4);
    QTest::qWait(200);
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open").size(), 1u);
    EXPECT_TRUE(hub->named("connectionFailed").empty());
}

// The time-out can run while the first answer waits in the hand-over queue: that answer still
// counts, so the receiver that answered in time keeps its session.
TEST_F(Connection, AnAnswerQueuedBeforeTheTimeOutStillCounts) {
    dm->setConnectOptions(true, {9600, 115200});
    ASSERT_TRUE(connectTcp(1));
    fireFromThread(fake.session(), 4, 0x2);
    Varnok::DeviceManagerTestAccess::connectTimeOut(*dm);
    EXPECT_EQ(dm->workingStatus(), 4);
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open").size(), 1u);
    deliver();
    EXPECT_EQ(dm->workingStatus(), 4);
    EXPECT_TRUE(hub->named("connectionFailed").empty());
}

TEST_F(Connection, ClosePortDisarmsTheRetry) {
    dm->setConnectTimeoutMs(50);
    dm->setConnectOptions(true, {9600, 115200});
    ASSERT_TRUE(connectTcp(1));
    EXPECT_TRUE(dm->closePort());
    QTest::qWait(200);
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open").size(), 1u);
    EXPECT_TRUE(hub->named("connectionFailed").empty());
}

TEST_F(Connection, FailedOpensUnderAutoBaudMoveToTheNextRateAtOnce) {
    dm->setConnectOptions(true, {4800, 9600});
    fake.script->answer<bool(const std::string&)>("Port_Open",
                                                  [](const std::string&) { return false; });
    dm->setDeviceType(2);
    EXPECT_TRUE(dm->connectDevice(1, 2, 9600, SocketTarget{}));
    EXPECT_EQ(fake.script->linesStartingWith("Port_Open"),
              (std::vector<std::string>{"Port_Open(bt 2, 9600)", "Port_Open(bt 2, 4800)"}));
    EXPECT_EQ(hub->named("connectionFailed").size(), 1u);
    EXPECT_EQ(dm->workingStatus(), 0);
}

TEST_F(Connection, SetComBaudrateSendsItsCodeAndAnnouncesOnlyAChange) {
    ASSERT_TRUE(connectTcp(2));
    const std::pair<int, const char*> cases[] = {
        {9600, "Set_Com_Baudrate(0)"},   {19200, "Set_Com_Baudrate(1)"},
        {38400, "Set_Com_Baudrate(2)"},  {57600, "Set_Com_Baudrate(3)"},
        {115200, "Set_Com_Baudrate(4)"}, {4800, "Set_Com_Baudrate(0)"}};
    for (const auto& c : cases) {
        fake.script->clear();
        dm->setComBaudrate(c.first);
        EXPECT_EQ(fake.script->lines(), std::vector<std::string>{c.second});
        // Event 66 has no signal; it stays the current event code.
        EXPECT_EQ(dm->eventCode(), c.first == 9600 ? 2 : 66);
    }
}

}  // namespace
}  // namespace varnok_test
