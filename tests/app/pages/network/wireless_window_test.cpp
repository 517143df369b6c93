// The wireless window: its tabs, Get and Set keys, busy reports and leaving.
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>

#include "menu_manager.h"
#include "ui_apn_config_widget.h"
#include "ui_wifi_config_widget.h"
#include "wireless_test_support.h"

namespace varnok_test {
namespace {

using WirelessWindowTest = WirelessTest;

TEST_F(WirelessWindowTest, TypeOneGetsTheWindowWithItsTwoTabs) {
    connect();
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->tabs()->count(), 2);
    EXPECT_EQ(window()->tabs()->tabText(0), "WIFI Settings");
    EXPECT_EQ(window()->tabs()->tabText(1), "APN Settings");
    open();
    EXPECT_EQ(frame->titleText(), "Wireless Settings");
    EXPECT_TRUE(frame->softKeys().contains("Get"));
    EXPECT_TRUE(frame->softKeys().contains("Set"));
}

TEST_F(WirelessWindowTest, GetOnTheModemTabQueriesTheModemOnly) {
    connect();
    open();
    window()->tabs()->setCurrentIndex(1);
    ShellHarness::deliver();
    harness->clearCalls();
    window()->onQueryInfo();
    const std::vector<std::string> c = calls();
    ASSERT_FALSE(c.empty());
    for (const std::string& call : c) {
        EXPECT_EQ(call.rfind("Send_WIFI", 0), std::string::npos) << call;
    }
    EXPECT_EQ(c.front(), "Send_Modem_Power_Status_Query()");
}

TEST_F(WirelessWindowTest, ReselectingTheCurrentTabOnlyActivatesItAgain) {
    connect();
    open();
    QSignalSpy busy(window()->wifiTab(), &Varnok::WIFIConfigWidget::busy);
    harness->clearCalls();
    window()->onCurrentChanged(0);
    // Queried again, nothing of the modem tab, the running query not ended.
    EXPECT_EQ(count("Send_WIFI_Param_AP(null)"), 1);
    EXPECT_EQ(count("Send_Modem_Power_Status_Query()"), 0);
    EXPECT_TRUE(window()->holdsWaitCursor());
    EXPECT_EQ(busy.size(), 0);
    EXPECT_EQ(window()->currentIndex(), 0);
}

TEST_F(WirelessWindowTest, HidingWhileBusyLeavesNoCursorAndEditorsOn) {
    connect();
    open();
    ASSERT_TRUE(window()->holdsWaitCursor());
    EXPECT_FALSE(frame->backAction()->isEnabled());
    frame->backAction()->setEnabled(true);
    frame->backAction()->trigger();
    ShellHarness::deliver();
    EXPECT_FALSE(window()->holdsWaitCursor());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window()->getAction()->isEnabled());
    EXPECT_TRUE(window()->wifiTab()->form()->cbPowerOn->isEnabled());
    EXPECT_FALSE(window()->wifiTab()->querying());
}

TEST_F(WirelessWindowTest, SetFollowsThePowerFlagAtTheNextEnable) {
    connect();
    open();
    window()->onPowerOn(true);
    window()->setEditorsEnabled(true);
    EXPECT_TRUE(window()->setAction()->isEnabled());
    window()->onPowerOn(false);
    EXPECT_TRUE(window()->setAction()->isEnabled());  // not before the next enable
    window()->setEditorsEnabled(true);
    EXPECT_TRUE(window()->getAction()->isEnabled());
    EXPECT_FALSE(window()->setAction()->isEnabled());
}

TEST_F(WirelessWindowTest, SwitchingTabsEndsTheOldTabsWork) {
    connect();
    open();
    ASSERT_TRUE(window()->wifiTab()->querying());
    window()->tabs()->setCurrentIndex(1);
    ShellHarness::deliver();
    EXPECT_FALSE(window()->wifiTab()->querying());
    EXPECT_TRUE(window()->apnTab()->querying());
    EXPECT_EQ(window()->currentIndex(), 1);
    // The modem tab's completion gives the keys back.
    cache().modemPowerStatus = 2;
    for (int code : {49, 50, 51, 53, 54}) {
        answer(code);
    }
    EXPECT_FALSE(window()->apnTab()->querying());
    EXPECT_FALSE(window()->holdsWaitCursor());
    EXPECT_TRUE(window()->getAction()->isEnabled());
}

// Each tab enables Set from its own power report: a modem read as off keeps Set off on the
// modem tab although the Wi-Fi tab reported its radio on, and the Wi-Fi tab's report counts
// again once it is current.
TEST_F(WirelessWindowTest, EachTabEnablesSetFromItsOwnPowerReport) {
    connect();
    open();
    QX_WIFI_PARA_AP_STRUCT ap{};
    std::memcpy(ap.ssid, "FIELD-AP", 8);
    ap.value = 2;
    std::memcpy(ap.password, "12345678", 8);
    cache().wifiParams = ap;
    cache().wifiStatus = 2;
    cache().wifiMode = 1;
    cache().wifiAutoOpen = true;
    auto answerWifi = [&] {
        for (int code : {47, 46, 45, 48}) {
            answer(code);
        }
    };
    answerWifi();
    ASSERT_FALSE(window()->wifiTab()->querying());
    EXPECT_TRUE(window()->setAction()->isEnabled());

    window()->tabs()->setCurrentIndex(1);
    ShellHarness::deliver();
    cache().modemPowerStatus = 3;
    for (int code : {49, 50, 51, 53, 54}) {
        answer(code);
    }
    ASSERT_FALSE(window()->apnTab()->querying());
    EXPECT_TRUE(window()->getAction()->isEnabled());
    EXPECT_FALSE(window()->setAction()->isEnabled());

    window()->tabs()->setCurrentIndex(0);
    ShellHarness::deliver();
    answerWifi();
    ASSERT_FALSE(window()->wifiTab()->querying());
    EXPECT_TRUE(window()->setAction()->isEnabled());
}

}  // namespace
}  // namespace varnok_test
