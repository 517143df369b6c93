// The RTK and information pages on the landed session against varnok-simreceiver as a child
// process over loopback TCP: what "Set" sends is what "Get" reads back, and a receiver that
// falls silent or talks nonsense costs at most one warning.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <ostream>
#include <string>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "page_fixture.h"

namespace varnok_test {
namespace {

constexpr int kWaitMs = 30000;

class RtkSimulated : public PageTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        PageTest::SetUp();
        dm()->setSessionFactory({});  // the landed session
        // A slow machine must not turn a late answer into a time-out: the tests wait for
        // states, and only the silence test runs the timers short.
        Varnok::setUiScale(3.0);
    }
    void TearDown() override {
        dm()->closePort();
        PageTest::TearDown();
        Brevan2011::BVComm::ClearComPortPath(kSimCom, false);
    }
    void connectNew(const Strings& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        dm()->setDeviceType(1);
        Varnok::SocketTarget t{};
        t.address[0] = 127;
        t.address[3] = 1;
        t.port = static_cast<int>(sim.tcpPort());
        ASSERT_TRUE(dm()->connectDevice(2, 0, 9600, t));
        ASSERT_TRUE(ShellHarness::waitFor([&] { return dm()->workingStatus() == 4; },
                                          std::chrono::milliseconds(kWaitMs)));
        // The frame builds the receiver's pages on the connected status.
        ASSERT_TRUE(ShellHarness::waitFor([&] { return frame->page("RTK") != nullptr; },
                                          std::chrono::milliseconds(kWaitMs)));
        ShellHarness::deliver();
    }
    bool idle(Varnok::Widget* page, const char* keyText) {
        return ShellHarness::waitFor([&] { return key(page, keyText)->isEnabled(); },
                                     std::chrono::milliseconds(kWaitMs));
    }

    // An old-protocol receiver of that device type on the simulator's pseudo-terminal.
    void connectOldOverPty(int deviceType, const Strings& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        Brevan2011::BVComm::SetComPortPath(kSimCom, sim.ptyPath());
        dm()->setDeviceType(deviceType);
        ASSERT_TRUE(dm()->connectDevice(0, kSimCom, 9600, Varnok::SocketTarget{}));
        ASSERT_TRUE(ShellHarness::waitFor([&] { return dm()->workingStatus() == 4; },
                                          std::chrono::milliseconds(kWaitMs)));
        ASSERT_TRUE(ShellHarness::waitFor([&] { return frame->page("RTK") != nullptr; },
                                          std::chrono::milliseconds(kWaitMs)));
        ShellHarness::deliver();
    }
    static constexpr int kSimCom = 42;

    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

TEST_F(RtkSimulated, ManualBaseJustSouthOfTheEquatorReadsBackSouth) {
    connectNew({"protocol=new", "io1_diff=6", "com_baud=3"});
    Varnok::Widget* page = show("RTK");
    ASSERT_TRUE(idle(page, "Set"));
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(child<QCheckBox>(page, "cbSerialPort")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(page, "cbRadio")->isChecked());
    auto* mode = child<QComboBox>(page, "cbMode");
    mode->setCurrentIndex(mode->findData(3));
    const char* texts[][2] = {{"leBD", "-0"}, {"leBF", "30"}, {"leBM", "0"}, {"leLD", "120"},
                              {"leLF", "0"},  {"leLM", "0"},  {"leH", "10"}};
    for (const auto& t : texts) {
        child(page, t[0])->setText(t[1]);
    }
    key(page, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    ASSERT_TRUE(sim.waitForRequest("Send_Gnss_Pdop_Mask", kWaitMs));
    page->setEditorsEnabled(true);  // the set's wait is 10 s
    key(page, "Get")->trigger();
    ASSERT_TRUE(idle(page, "Set"));
    EXPECT_EQ(child(page, "leBD")->text(), "-0");
    EXPECT_EQ(child(page, "leBF")->text(), "30");
    EXPECT_EQ(child(page, "leLD")->text(), "120");
    EXPECT_EQ(mode->currentData().toInt(), 3);
    EXPECT_NEAR(dm()->basePos().lat, -0.0087266462599716, 1e-15);
    EXPECT_TRUE(child<QCheckBox>(page, "cbSerialPort")->isChecked());
    EXPECT_TRUE(messages().empty());
}

// "Here" takes the receiver's position while its position output runs, then stops it.
TEST_F(RtkSimulated, HereFillsTheManualBaseFromThePositionOutput) {
    connectNew({"protocol=new", "base_mode=3", "latitude=-0.5", "longitude=-120.25", "height=42.5",
                "position_ms=50"});
    Varnok::Widget* page = show("RTK");
    ASSERT_TRUE(idle(page, "Set"));
    ASSERT_TRUE(key(page, "Here")->isEnabled());
    key(page, "Here")->trigger();
    ASSERT_TRUE(idle(page, "Here"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(child(page, "leBD")->text(), "-0");
    EXPECT_EQ(child(page, "leBF")->text(), "30");
    EXPECT_EQ(child(page, "leBM")->text(), "0.0000");
    EXPECT_EQ(child(page, "leLD")->text(), "-120");
    EXPECT_EQ(child(page, "leLF")->text(), "15");
    EXPECT_EQ(child(page, "leH")->text(), "42.5000");
    // Switched on, then off again: the position rate items in the order they arrived.
    const auto positionRates = [&] {
        Strings rates;
        for (const std::string& d : sim.requestDetails()) {
            const std::size_t at = d.find("0x0410=");
            if (at != std::string::npos) {
                rates.push_back(d.substr(at + 7, 4));
            }
        }
        return rates;
    };
    EXPECT_TRUE(ShellHarness::waitFor(
        [&] {
            const Strings rates = positionRates();
            return !rates.empty() && rates.back() == "0001";
        },
        std::chrono::milliseconds(kWaitMs)));
    const Strings rates = positionRates();
    ASSERT_FALSE(rates.empty());
    EXPECT_EQ(rates.front(), "0009");
    EXPECT_EQ(rates.back(), "0001");
}

TEST_F(RtkSimulated, SilenceOrGarbageCostsOneWarningAndGivesTheEditorsBack) {
    connectNew({"protocol=new"});
    Varnok::Widget* page = show("RTK");
    ASSERT_TRUE(idle(page, "Set"));
    for (const char* mode : {"mode=silent", "mode=garbage"}) {
        std::string error;
        ASSERT_TRUE(sim.configure(mode, &error)) << error;
        harness->prompts.shown.clear();
        Varnok::setUiScale(0.1);
        key(page, "Get")->trigger();
        ASSERT_TRUE(idle(page, "Set")) << mode;
        ShellHarness::deliver();
        EXPECT_EQ(messages(), std::vector<QString>{"Failed to get parameters!"}) << mode;
    }
}

TEST_F(RtkSimulated, InformationPageFillsFromTheReceiver) {
    connectNew(
        {"protocol=new", "serial=PG2604170033", "model=PN-9301", "firmware=2.4.17", "battery=70"});
    Varnok::Widget* page = show("Info");
    ASSERT_TRUE(idle(page, "Get"));
    EXPECT_EQ(child(page, "leSN")->text(), "PG2604170033");
    EXPECT_EQ(child(page, "lePN")->text(), "PN-9301");
    EXPECT_EQ(child(page, "leFWVersion")->text(), "2.4.17");
    EXPECT_EQ(child(page, "leBattery")->text(), "70%");
    EXPECT_TRUE(messages().empty());
}

TEST_F(RtkSimulated, OldProtocolOverAPtyInfoFillsAndRtkSettingsReadBack) {
    connectOldOverPty(0, {"protocol=old", "firmware=8.14", "board=2", "model=1905", "serial=580214",
                          "battery=70", "gprs_version=1.50", "start_mode=0"});
    Varnok::Widget* info = show("Info");
    key(info, "Get")->trigger();
    ASSERT_TRUE(idle(info, "Get"));
    EXPECT_EQ(child(info, "lineEdit_style")->text(), "1905");
    EXPECT_EQ(child(info, "lineEdit_SN")->text(), "580214");
    EXPECT_EQ(child(info, "lineEdit_version")->text(), "8.14");
    EXPECT_EQ(child(info, "lineEdit_Baterry")->text(), "70%");
    EXPECT_EQ(child(info, "lineEdit_GPRSVersion")->text(), "1.50");
    goBack();

    Varnok::Widget* rtk = show("RTK");
    auto choose = [&](const char* name, int value) {
        auto* box = child<QComboBox>(rtk, name);
        box->setCurrentIndex(box->findData(value));
        ASSERT_GE(box->currentIndex(), 0) << name;
    };
    choose("comboBox_outPut", 1);
    choose("comboBox_startWay", 1);
    choose("comboBox_sendPort", 2);
    choose("comboBox_diffMode", 6);
    choose("comboBox_output_freq", 2);
    child(rtk, "lineEdit_elevMask")->setText("10");
    ASSERT_TRUE(child(rtk, "leDis")->isVisibleTo(rtk));
    child(rtk, "leDis")->setText("500");
    key(rtk, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    ASSERT_TRUE(idle(rtk, "Get"));
    key(rtk, "Get")->trigger();
    ASSERT_TRUE(idle(rtk, "Get"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_outPut")->currentData().toInt(), 1);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_startWay")->currentData().toInt(), 1);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_sendPort")->currentData().toInt(), 2);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_diffMode")->currentData().toInt(), 6);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_output_freq")->currentData().toInt(), 2);
    EXPECT_EQ(child(rtk, "lineEdit_elevMask")->text(), "10");
    EXPECT_EQ(child(rtk, "leDis")->text(), "500");
}

// "Reset" on the information page restarts the board once.
TEST_F(RtkSimulated, OldProtocolInfoResetReachesTheReceiverOnce) {
    connectOldOverPty(0, {"protocol=old", "firmware=8.14"});
    Varnok::Widget* info = show("Info");
    ASSERT_TRUE(idle(info, "Reset"));
    auto count = [&](const char* name) {
        const Strings names = sim.requestNames();
        return std::count(names.begin(), names.end(), name);
    };
    const auto batteries = count("Send_Battery");
    key(info, "Reset")->trigger();
    ASSERT_TRUE(sim.waitForRequest("Send_Gnss_Reset", kWaitMs));
    dm()->sendBattery();  // written after every frame of the reset
    ASSERT_TRUE(ShellHarness::waitFor([&] { return count("Send_Battery") > batteries; },
                                      std::chrono::milliseconds(kWaitMs)));
    EXPECT_EQ(count("Send_Gnss_Reset"), 1);
    EXPECT_TRUE(messages().empty());
}

// The old protocol's "Set" frames, byte for byte and in order among everything else the
// session writes, then read back by "Get".
TEST_F(RtkSimulated, OldProtocolRtkSetFramesInOrderAndReadBack) {
    connectOldOverPty(0, {"protocol=old", "firmware=8.14", "start_mode=0"});
    Varnok::Widget* rtk = show("RTK");
    ASSERT_TRUE(idle(rtk, "Get"));
    auto choose = [&](const char* name, int value) {
        auto* box = child<QComboBox>(rtk, name);
        box->setCurrentIndex(box->findData(value));
        ASSERT_GE(box->currentIndex(), 0) << name;
    };
    auto chooseText = [&](const char* name, const QString& text) {
        auto* box = child<QComboBox>(rtk, name);
        box->setCurrentIndex(box->findText(text));
        ASSERT_GE(box->currentIndex(), 0) << name;
    };
    choose("comboBox_outPut", 1);
    choose("comboBox_startWay", 1);
    choose("comboBox_sendPort", 1);
    choose("comboBox_diffMode", 3);
    chooseText("comboBox_output_freq", "5 Hz");
    child(rtk, "lineEdit_elevMask")->setText("10");
    ASSERT_TRUE(child(rtk, "leDis")->isVisibleTo(rtk));
    child(rtk, "leDis")->setText("500");
    const std::size_t before = sim.requestDetails().size();
    key(rtk, "Set")->trigger();
    EXPECT_TRUE(messages().empty());
    // The device settings and rates the session wrote since "Set", in order; board commands,
    // keep-alives and position output may come between them.
    auto settingsSent = [&] {
        Strings sent;
        const Strings details = sim.requestDetails();
        for (std::size_t i = before; i < details.size(); ++i) {
            if (details[i].rfind("SJ ", 0) == 0 || details[i].rfind("SW ", 0) == 0) {
                sent.push_back(details[i]);
            }
        }
        return sent;
    };
    const Strings expected{
        "SJ 38 0A",     // elevation mask 10
        "SW 01 0A",     // the board's elevation, 10 degrees
        "SJ 28 01",     // output mode: raw data
        "SJ 60 01",     // start mode: auto base
        "SJ 3E 01",     // transmit port: cable
        "SJ 3F 03",     // transmit format 3
        "SW 00 05",     // output rate 5 Hz
        "SJ 61 F4 01",  // auto-base distance 500 m, low byte first
    };
    EXPECT_TRUE(ShellHarness::waitFor([&] { return settingsSent().size() >= expected.size(); },
                                      std::chrono::milliseconds(kWaitMs)));
    EXPECT_EQ(settingsSent(), expected);

    rtk->setEditorsEnabled(true);  // the set's wait is 10 s
    for (const char* box : {"comboBox_outPut", "comboBox_startWay", "comboBox_sendPort",
                            "comboBox_diffMode", "comboBox_output_freq"}) {
        child<QComboBox>(rtk, box)->setCurrentIndex(-1);
    }
    child(rtk, "lineEdit_elevMask")->clear();
    child(rtk, "leDis")->clear();
    key(rtk, "Get")->trigger();
    ASSERT_TRUE(ShellHarness::waitFor(
        [&] { return child<QComboBox>(rtk, "comboBox_outPut")->currentIndex() >= 0; },
        std::chrono::milliseconds(kWaitMs)));
    ASSERT_TRUE(idle(rtk, "Get"));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_outPut")->currentData().toInt(), 1);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_startWay")->currentData().toInt(), 1);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_sendPort")->currentData().toInt(), 1);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_diffMode")->currentData().toInt(), 3);
    EXPECT_EQ(child<QComboBox>(rtk, "comboBox_output_freq")->currentText(), "5 Hz");
    EXPECT_EQ(child(rtk, "lineEdit_elevMask")->text(), "10");
    EXPECT_EQ(child(rtk, "leDis")->text(), "500");
}

// The old protocol's list: the distance read, a position added south of the equator, shown
// signed, then deleted by its row.
TEST_F(RtkSimulated, OldProtocolBaseListAddShowAndDelete) {
    connectOldOverPty(2, {"protocol=old", "firmware=8.20", "base_list_radius=12.5"});
    Varnok::Widget* base = show("BasePosition");
    ASSERT_TRUE(idle(base, "Get"));
    EXPECT_EQ(child(base, "leDist")->text(), "12.5");
    child<QRadioButton>(base, "rbFixPos")->click();
    const char* texts[][2] = {{"leBD", "-0"}, {"leBF", "30"}, {"leBM", "0"}, {"leLD", "120"},
                              {"leLF", "0"},  {"leLM", "0"},  {"leH", "10"}};
    for (const auto& t : texts) {
        child(base, t[0])->setText(t[1]);
        emit child(base, t[0])->textEdited(t[1]);
    }
    key(base, "Add")->trigger();
    EXPECT_TRUE(messages().empty());
    ASSERT_TRUE(sim.waitForRequest("Add_BasePos_To_List", kWaitMs));
    base->deactivate();  // the set wait ends when the page is left

    Varnok::Widget* list = show("BasePositionList");
    auto* table = child<QTableWidget>(list, "tableWidget");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return table->rowCount() == 1; },
                                      std::chrono::milliseconds(kWaitMs)));
    EXPECT_EQ(table->item(0, 0)->text(), "-0:30:00.00000");
    EXPECT_EQ(table->item(0, 1)->text(), "120:00:00.00000");
    EXPECT_EQ(table->item(0, 2)->text(), "10.00000");
    ASSERT_TRUE(idle(list, "Delete"));
    table->setCurrentCell(0, 0);
    key(list, "Delete")->trigger();
    ASSERT_TRUE(sim.waitForRequest("Remove_BasePos_From_List", kWaitMs));
    ASSERT_TRUE(ShellHarness::waitFor([&] { return table->rowCount() == 0; },
                                      std::chrono::milliseconds(kWaitMs)));
    EXPECT_TRUE(messages().empty());
}

// "Get Current Position" on the base position page, end to end: an old receiver's main board
// of type 2 answers with its best-position log, one of type 7 with a GGA, RMC and GST epoch, a
// new-protocol receiver with its position item. The output is switched off after the position.
struct HereCase {
    int deviceType;
    int board;
};

std::ostream& operator<<(std::ostream& out, const HereCase& c) {
    return out << "type " << c.deviceType << " board " << c.board;
}

class BaseHere : public RtkSimulated, public ::testing::WithParamInterface<HereCase> {};

TEST_P(BaseHere, FillsThePositionAndStopsTheOutput) {
    const HereCase& c = GetParam();
    const Strings position = {"latitude=-0.5", "longitude=-120.25", "height=42.5", "quality=4",
                              "position_ms=50"};
    Strings settings = position;
    if (c.deviceType == 1) {
        settings.push_back("protocol=new");
        connectNew(settings);
    } else {
        settings.push_back("protocol=old");
        settings.push_back("firmware=8.20");
        settings.push_back("board=" + std::to_string(c.board));
        connectOldOverPty(c.deviceType, settings);
    }
    Varnok::Widget* base = show("BasePosition");
    ASSERT_TRUE(idle(base, "Get"));
    child<QRadioButton>(base, "rbFixPos")->click();
    harness->prompts.shown.clear();
    child<QPushButton>(base, "pbHere")->click();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return child(base, "leLD")->text() == "-120"; },
                                      std::chrono::milliseconds(kWaitMs)));
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(child(base, "leBD")->text(), "-0");
    EXPECT_EQ(child(base, "leBF")->text(), "30");
    EXPECT_EQ(child(base, "leBM")->text(), "0.00000");
    EXPECT_EQ(child(base, "leLF")->text(), "15");
    EXPECT_EQ(child(base, "leH")->text().left(4), "42.5");
    EXPECT_TRUE(child<QPushButton>(base, "pbHere")->isEnabled());
    if (c.deviceType == 1) {
        EXPECT_TRUE(ShellHarness::waitFor(
            [&] {
                const Strings d = sim.requestDetails();
                return !d.empty() && d.back().find("0x0410=0001") != std::string::npos;
            },
            std::chrono::milliseconds(kWaitMs)));
    } else {
        EXPECT_TRUE(ShellHarness::waitFor(
            [&] {
                const Strings d = sim.requestDetails();
                return std::any_of(d.begin(), d.end(), [](const std::string& r) {
                    return r.rfind("RG", 0) == 0 && r != "RG C8";
                });
            },
            std::chrono::milliseconds(kWaitMs)));
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, BaseHere,
                         ::testing::Values(HereCase{0, 2}, HereCase{0, 7}, HereCase{1, 0}));

// A receiver that falls silent, talks nonsense or closes the line in the middle of an answer
// while "Info" or "RTK" reads it: at most one warning, and the page's keys and editors come back.
struct BrokenCase {
    bool oldProtocol;
    const char* page;
    const char* fault;
};

std::ostream& operator<<(std::ostream& out, const BrokenCase& c) {
    return out << (c.oldProtocol ? "old " : "new ") << c.page << " " << c.fault;
}

class RtkSimulatedBroken : public RtkSimulated, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(RtkSimulatedBroken, AtMostOneWarningAndTheEditorsBack) {
    const BrokenCase& c = GetParam();
    if (c.oldProtocol) {
        connectOldOverPty(0, {"protocol=old", "firmware=8.14"});
    } else {
        connectNew({"protocol=new"});
    }
    Varnok::Widget* page = show(c.page);
    ASSERT_TRUE(idle(page, "Get"));
    if (c.oldProtocol && std::string(c.page) == "Info") {
        // The old "Info" asks the battery on arrival with its keys enabled: that answer must
        // not land in the broken read.
        QLineEdit* battery = child(page, "lineEdit_Baterry");
        ASSERT_TRUE(ShellHarness::waitFor([&] { return !battery->text().isEmpty(); },
                                          std::chrono::milliseconds(kWaitMs)));
    }
    harness->prompts.shown.clear();
    std::string error;
    ASSERT_TRUE(sim.configure(c.fault, &error)) << error;
    Varnok::setUiScale(0.1);
    key(page, "Get")->trigger();
    ASSERT_TRUE(idle(page, "Get"));
    ShellHarness::deliver();
    const std::vector<QString> warned = messages();
    const bool closes = std::string(c.fault).rfind("close_after", 0) == 0;
    // The TCP peer's close ends the link: the loss is the one message, not the page's failure.
    const bool lost = closes && !c.oldProtocol;
    EXPECT_LE(warned.size(), 1u);
    for (const QString& m : warned) {
        EXPECT_EQ(m, lost ? "Connection to the receiver was lost." : "Failed to get parameters!");
    }
    if (!closes || lost) {
        EXPECT_EQ(warned.size(), 1u);  // nothing usable came back, or the link is gone
    }
    EXPECT_TRUE(key(page, "Get")->isEnabled());
    // The page's own editors: the new-protocol set-up's mode, the old one's output mode.
    if (std::string(c.page) == "RTK") {
        EXPECT_TRUE(
            child<QWidget>(page, c.oldProtocol ? "comboBox_outPut" : "cbMode")->isEnabled());
    }
    // The receiver talks again (a closed pseudo-terminal line only went quiet): the next "Get"
    // reads it without a stale wait adding a warning.
    if (closes && !c.oldProtocol) {
        return;  // the connection is gone
    }
    ASSERT_TRUE(sim.configure("mode=normal close_after=0", &error)) << error;
    Varnok::setUiScale(3.0);
    // A value the answer fills, emptied first so the read shows.
    const bool info = std::string(c.page) == "Info";
    QLineEdit* battery =
        info ? child(page, c.oldProtocol ? "lineEdit_Baterry" : "leBattery") : nullptr;
    auto* output = !info && c.oldProtocol ? child<QComboBox>(page, "comboBox_outPut") : nullptr;
    if (battery != nullptr) {
        battery->clear();
    }
    if (output != nullptr) {
        output->setCurrentIndex(-1);
    }
    key(page, "Get")->trigger();
    if (battery != nullptr) {
        EXPECT_TRUE(ShellHarness::waitFor([&] { return !battery->text().isEmpty(); },
                                          std::chrono::milliseconds(kWaitMs)));
    }
    if (output != nullptr) {
        EXPECT_TRUE(ShellHarness::waitFor([&] { return output->currentIndex() >= 0; },
                                          std::chrono::milliseconds(kWaitMs)));
    }
    ASSERT_TRUE(idle(page, "Get"));
    ShellHarness::deliver();
    EXPECT_EQ(messages(), warned);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RtkSimulatedBroken,
    ::testing::Values(
        BrokenCase{false, "Info", "mode=silent"}, BrokenCase{false, "Info", "mode=garbage"},
        BrokenCase{false, "Info", "close_after=20"}, BrokenCase{false, "RTK", "mode=silent"},
        BrokenCase{false, "RTK", "mode=garbage"}, BrokenCase{false, "RTK", "close_after=20"},
        BrokenCase{true, "Info", "mode=silent"}, BrokenCase{true, "Info", "mode=garbage"},
        BrokenCase{true, "Info", "close_after=20"}, BrokenCase{true, "RTK", "mode=silent"},
        BrokenCase{true, "RTK", "mode=garbage"}, BrokenCase{true, "RTK", "close_after=20"}));

}  // namespace
}  // namespace varnok_test
