// The information pages of both protocols on the frame, with answers from another thread.
#include "page_fixture.h"

namespace varnok_test {
namespace {

using Varnok::DeviceManagerTestAccess;

constexpr std::uint32_t kOldDeviceInfo = 0x80000000u;
constexpr std::uint32_t kOldBattery = 0x40000000u;
constexpr std::uint32_t kOldGprs = 0x1000000u;

void scriptDevice(FakeScript& script, const char* firmware) {
    const std::string fw = firmware;
    script.answer<void(DEVICE_STR&)>("GetInfo_DevcInfo", [fw](DEVICE_STR& d) {
        std::memset(&d, 0, sizeof d);
        std::memset(d.receiverId, 'S', sizeof d.receiverId);  // unterminated
        std::memcpy(d.model, "P8", 3);
        std::memcpy(d.text44, "2026-03-04", 11);
        std::memcpy(d.firmwareVersion, fw.data(), 4);
        std::memcpy(d.text92, "PN-1", 5);
    });
}

void scriptBattery(FakeScript& script, int grade) {
    script.answer<int()>("Get_Battery_Grd", [grade] { return grade; });
}

using InfoTest = PageTest;

TEST_F(InfoTest, BatteryTextsOnBothPages) {
    const struct {
        int grade;
        const char* text;
    } cases[] = {
        {0, "0%"}, {7, "70%"}, {10, "100%"}, {11, "Charging"}, {12, "External power supply"}};
    for (int type : {0, 1}) {
        harness->connectAs(type);
        Varnok::Widget* page = show("Info");
        ASSERT_NE(page, nullptr);
        for (const auto& c : cases) {
            // Each visit waits for a battery answer.
            goBack();
            page = show("Info");
            scriptBattery(harness->script(), c.grade);
            fire(type == 1 ? 4 : 2, type == 1 ? 0x1u : kOldBattery);
            EXPECT_EQ(child(page, type == 1 ? "leBattery" : "lineEdit_Baterry")->text(), c.text)
                << "type " << type << " grade " << c.grade;
        }
        harness->disconnect();
    }
}

TEST_F(InfoTest, OldProtocolFieldsAndTheGprsRowOnlyForTypeZero) {
    for (int type : {0, 2}) {
        harness->connectAs(type);
        scriptDevice(harness->script(), "8.20");
        harness->script().answer<double()>("GetInfo_Gprs_Version", [] { return 1.5; });
        Varnok::Widget* page = show("Info");
        harness->clearCalls();
        key(page, "Get")->trigger();
        EXPECT_FALSE(key(page, "Get")->isEnabled());
        fire(2, kOldDeviceInfo);
        fire(2, kOldGprs);
        EXPECT_EQ(child(page, "lineEdit_SN")->text(), QString(22, 'S'));
        EXPECT_EQ(child(page, "lineEdit_style")->text(), "P8");
        EXPECT_EQ(child(page, "lineEdit_produceDate")->text(), "2026-03-04");
        EXPECT_EQ(child(page, "lineEdit_version")->text(), "8.20");
        EXPECT_EQ(child(page, "lineEdit_PN")->text(), "PN-1");
        EXPECT_EQ(child(page, "lineEdit_GPRSVersion")->text(), "1.50");
        EXPECT_EQ(child(page, "lineEdit_GPRSVersion")->isVisibleTo(page), type == 0);
        EXPECT_EQ(child<QWidget>(page, "label_GPRSVersion")->isVisibleTo(page), type == 0);
        harness->disconnect();
    }
}

// The battery answer to a visit lands even after a completed "Get".
TEST_F(InfoTest, EachVisitWaitsForItsOwnBattery) {
    harness->connectAs(0);
    scriptDevice(harness->script(), "8.20");
    Varnok::Widget* page = show("Info");
    scriptBattery(harness->script(), 3);
    key(page, "Get")->trigger();
    fire(2, kOldDeviceInfo);
    fire(2, kOldGprs);
    fire(2, kOldBattery);
    EXPECT_TRUE(key(page, "Get")->isEnabled());
    goBack();
    harness->clearCalls();
    page = show("Info");
    EXPECT_EQ(harness->callsStartingWith("Send_Battery"), Strings{"Send_Battery()"});
    scriptBattery(harness->script(), 9);
    fire(2, kOldBattery);
    EXPECT_EQ(child(page, "lineEdit_Baterry")->text(), "90%");
}

TEST_F(InfoTest, TimeOutWarnsOnlyWhenNothingCame) {
    harness->connectAs(0);
    Varnok::Widget* page = show("Info");
    // The answer is applied long before a tenth of the 3 s.
    Varnok::setUiScale(0.1);
    scriptBattery(harness->script(), 5);
    key(page, "Get")->trigger();
    fire(2, kOldBattery);
    ASSERT_EQ(child(page, "lineEdit_Baterry")->text(), "50%");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Get")->isEnabled(); }));
    EXPECT_TRUE(messages().empty());

    Varnok::setUiScale(0.0);
    key(page, "Get")->trigger();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return key(page, "Get")->isEnabled(); }));
    ShellHarness::deliver();
    EXPECT_EQ(messages(), std::vector<QString>{"Failed to get parameters!"});
    EXPECT_TRUE(child(page, "lineEdit_Baterry")->text().isEmpty());
}

TEST_F(InfoTest, SatelliteChannelKeyFollowsTheFirmware) {
    for (const char* fw : {"8.21", "8.22"}) {
        harness->connectAs(0);
        scriptDevice(harness->script(), fw);
        Varnok::Widget* page = show("Info");
        key(page, "Get")->trigger();
        fire(2, kOldDeviceInfo);
        const bool on = std::string(fw) == "8.22";
        EXPECT_EQ(dm()->hasSatelliteChannelControl(), on) << fw;
        page->setEditorsEnabled(true);
        EXPECT_EQ(key(page, "L2C")->isEnabled(), on) << fw;
        if (on) {
            key(page, "L2C")->trigger();
            ShellHarness::deliver();
            EXPECT_EQ(frame->currentPage(), frame->page("SatelliteChannelControl"));
        }
        harness->disconnect();
    }
}

TEST_F(InfoTest, ResetSendsOnceAndHoldsTheBackKeyForThirtySeconds) {
    harness->connectAs(0);
    Varnok::Widget* page = show("Info");
    harness->clearCalls();
    key(page, "Reset")->trigger();
    EXPECT_EQ(harness->callsStartingWith("Send_Gnss_Reset"), Strings{"Send_Gnss_Reset()"});
    EXPECT_FALSE(frame->backAction()->isEnabled());
    EXPECT_FALSE(key(page, "Get")->isEnabled());
    ShellHarness::deliver();
    EXPECT_FALSE(frame->backAction()->isEnabled());  // 30 s at full scale
    Varnok::setUiScale(0.0);
    goBack();  // leaving ends the wait at once
    EXPECT_TRUE(key(page, "Reset")->isEnabled());
}

TEST_F(InfoTest, NewProtocolQueriesThreeTimesPerVisitAndLeavingStopsTheWait) {
    harness->connectAs(1);
    harness->clearCalls();
    harness->script().answer<void(QX_SYSTEM_HARDWARE_INFO_STRUCT&)>(
        "Get_System_Hardware_Info", [](QX_SYSTEM_HARDWARE_INFO_STRUCT& h) {
            std::memset(h.text1, 'N', sizeof h.text1);
            std::memcpy(h.text2, "ABC", 4);
        });
    Varnok::Widget* page = show("Info");
    const Strings sent = harness->calls();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "Send_Battery()"), 1);
    EXPECT_EQ(harness->callsStartingWith("Send_System_").size(), 2u);
    fire(4, 0x2u);
    EXPECT_EQ(child(page, "leSN")->text(), QString(24, 'N'));
    EXPECT_EQ(child(page, "lePN")->text(), "ABC");
    EXPECT_EQ(child(page, "leModel")->text(), "Pocket GNSS");
    EXPECT_FALSE(key(page, "Get")->isEnabled());
    goBack();
    EXPECT_TRUE(key(page, "Get")->isEnabled());
    ShellHarness::waitFor([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace varnok_test
