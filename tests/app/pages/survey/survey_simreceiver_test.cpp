// The recording and output pages on the landed session against varnok-simreceiver over
// loopback TCP: what the pages set comes back when they read.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "internal_record_widget.h"
#include "output.h"
#include "static.h"
#include "survey_page_fixture.h"

namespace varnok_test {
namespace {

constexpr int kWaitMs = 15000;

class SurveyOnSimulator : public SurveyPageTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        SurveyPageTest::SetUp();
        Varnok::setUiScale(1.0);  // a real receiver answers in real time
        dm()->setSessionFactory({});
    }
    void TearDown() override {
        dm()->closePort();
        SurveyPageTest::TearDown();
        Brevan2011::BVComm::ClearComPortPath(kSimCom, false);
    }
    // An old-protocol receiver of that type on the simulator's pseudo-terminal.
    void connectOld(int deviceType, const std::vector<std::string>& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        Brevan2011::BVComm::SetComPortPath(kSimCom, sim.ptyPath());
        dm()->setDeviceType(deviceType);
        ASSERT_TRUE(dm()->connectDevice(0, kSimCom, 9600, Varnok::SocketTarget{}));
        ASSERT_TRUE(QTest::qWaitFor([] { return dm()->workingStatus() == 4; }, kWaitMs));
        ASSERT_TRUE(QTest::qWaitFor([this] { return frame->page("Static") != nullptr; }, kWaitMs));
    }
    void connectNew(const std::vector<std::string>& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        Varnok::SocketTarget target{};
        target.address[0] = 127;
        target.address[3] = 1;
        target.port = sim.tcpPort();
        dm()->setDeviceType(1);
        ASSERT_TRUE(dm()->connectDevice(2, 0, 9600, target));
        ASSERT_TRUE(QTest::qWaitFor([] { return dm()->workingStatus() == 4; }, kWaitMs));
        // The frame builds the receiver's pages on the connected status.
        ASSERT_TRUE(QTest::qWaitFor([this] { return frame->page("Static") != nullptr; }, kWaitMs));
    }
    // Waits with the event loop running, so the page's timers and answers go on.
    bool requested(const std::string& name) const {
        return QTest::qWaitFor([&] { return count(name) > 0; }, kWaitMs);
    }
    std::size_t count(const std::string& name) const {
        const std::vector<std::string> names = sim.requestNames();
        return static_cast<std::size_t>(std::count(names.begin(), names.end(), name));
    }

    // The details of the requests of that name, in order ("FD 00").
    std::vector<std::string> details(const std::string& name) const {
        const std::vector<std::string> names = sim.requestNames();
        const std::vector<std::string> all = sim.requestDetails();
        std::vector<std::string> out;
        for (std::size_t i = 0; i < names.size() && i < all.size(); ++i) {
            if (names[i] == name) {
                out.push_back(all[i]);
            }
        }
        return out;
    }

    static constexpr int kSimCom = 43;
    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

// Firmware 8.21 configures the static point and answers the status query.
TEST_F(SurveyOnSimulator, OldStaticGetReadsTheAntennaCodeThenStartTurnsTheStatusOn) {
    // The point's antenna byte names no antenna: only the "FT" code says K45.
    connectOld(0, {"protocol=old", "firmware=8.21", "point_name=PT01", "point_antenna=0",
                   "point_method=3", "static_antenna=ZORK45", "static_status=0"});
    auto* page = open<Varnok::Static>("Static");
    ASSERT_NE(page, nullptr);
    auto* advance = page->findChild<QCheckBox*>("checkBox_advance");
    ASSERT_TRUE(advance->isVisible());
    advance->setChecked(true);
    auto* antenna = page->findChild<QComboBox*>("comboBox_antenna_type");
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Get")->isEnabled(); }, kWaitMs));

    press(page, "Get");
    ASSERT_TRUE(requested("Send_Static_AntType"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->isQuerying(); }, kWaitMs));
    EXPECT_EQ(antenna->currentText(), "K45");
    EXPECT_EQ(page->findChild<QLineEdit*>("lineEdit_Point")->text(), "PT01");
    // Method code 3 on the wire is a slant height.
    EXPECT_EQ(page->findChild<QComboBox*>("comboBox_survey_to")->currentText(), "Slant");
    EXPECT_TRUE(prompts.shown.empty());

    auto* status = page->findChild<QLabel*>("lblStatus");
    // The first status answer makes "Start" available.
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Start")->isEnabled(); }, kWaitMs));
    EXPECT_EQ(status->text(), "Status: OFF");
    prompts.answers = {QMessageBox::Yes};
    press(page, "Start");
    ASSERT_TRUE(requested("Set_Static_Begin"));
    EXPECT_EQ(details("Set_Static_Begin"), std::vector<std::string>{"FD 00"});
    // A status query follows the start, and the receiver answers "on".
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::vector<std::string> names = sim.requestNames();
            const auto begin = std::find(names.begin(), names.end(), "Set_Static_Begin");
            return std::find(begin, names.end(), "QueryStaticStatus") != names.end();
        },
        kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Status: ON"; }, kWaitMs));
    EXPECT_FALSE(key(page, "Start")->isEnabled());
    EXPECT_TRUE(key(page, "Stop")->isEnabled());
}

// An old board 2 reports its NMEA output in "RC"; what "Accept" writes ("RF", "RD", "SB") is
// what the next visit reads.
TEST_F(SurveyOnSimulator, OldBoardNmeaOutputAcceptReadsBack) {
    // GGA (bit 0x1) at code 4 and the board's first own sentence (bit 0x800) at code 5; the
    // port at 38400 (byte 247), the output on BlueTooth.
    connectOld(0, {"protocol=old", "firmware=8.21", "board=2", "nmea_port=247", "nmea_output=2",
                   "nmea_rates=4,0,0,0,0,0,0,0,0,5,0"});
    auto* page = open<Varnok::Output>("0183OutPut");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(requested("Query_NMEA_Output_Configs"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Accept")->isEnabled(); }, kWaitMs));
    auto* baud = page->findChild<QComboBox*>("comboBox_baudrate");
    auto* output = page->findChild<QComboBox*>("cbMethods");
    EXPECT_EQ(baud->currentData().toInt(), 38400);
    EXPECT_EQ(output->currentText(), "BlueTooth");
    EXPECT_TRUE(prompts.shown.empty());

    baud->setCurrentIndex(baud->findData(115200));
    output->setCurrentIndex(output->findData(3));
    prompts.answers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Yes};
    press(page, "Accept");
    ASSERT_TRUE(requested("Set_Com_Baudrate"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("Set_Velta_NMEA") >= 2; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Accept")->isEnabled(); }, kWaitMs));

    frame->backAction()->trigger();
    page = open<Varnok::Output>("0183OutPut");
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("Query_NMEA_Output_Configs") == 2; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Accept")->isEnabled(); }, kWaitMs));
    EXPECT_EQ(baud->currentData().toInt(), 115200);
    EXPECT_EQ(output->currentText(), "Both");
    Brevan2011::BVParse::NMEAConfigList list;
    dm()->nmeaOutputConfigs(list);
    ASSERT_EQ(list.messages.size(), 11u);
    for (const auto& m : list.messages) {
        const int expected = m.Nmea_Id == 0x1 ? 4 : m.Nmea_Id == 0x800 ? 5 : 0;
        EXPECT_EQ(m.Rate_Id, expected) << "sentence bit " << m.Nmea_Id;
    }
}

TEST_F(SurveyOnSimulator, InternalRecordingSetThenGetThenStart) {
    connectNew({"protocol=new", "record_minutes=60", "record_code=9", "elevation_mask=5"});
    auto* page = open<Varnok::InternalRecordWidget>("Static");
    ASSERT_NE(page, nullptr);
    auto* session = page->findChild<QLineEdit*>("leDataLogSession");
    auto* interval = page->findChild<QComboBox*>("cbInterval");
    auto* mask = page->findChild<QLineEdit*>("leMask");
    auto* autoOpen = page->findChild<QCheckBox*>("cbAuto");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->isQuerying(); }, kWaitMs));
    EXPECT_EQ(session->text(), "60");
    EXPECT_EQ(interval->currentText(), "1 Hz");

    session->setText("30");
    interval->setCurrentIndex(interval->findText("10 s"));
    mask->setText("15");
    autoOpen->setChecked(true);
    press(page, "Set");
    ASSERT_TRUE(requested("Send_File_Record_Param"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Get")->isEnabled(); }, kWaitMs));

    press(page, "Get");
    EXPECT_EQ(session->text(), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->isQuerying(); }, kWaitMs));
    EXPECT_EQ(session->text(), "30");
    EXPECT_EQ(interval->currentText(), "10 s");
    EXPECT_EQ(mask->text(), "15");
    EXPECT_TRUE(autoOpen->isChecked());
    EXPECT_TRUE(prompts.shown.empty());

    prompts.answers = {QMessageBox::Yes};
    press(page, "Start");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return page->findChild<QLabel*>("lblStatus")->text() == "Status: Running..."; },
        kWaitMs));
    EXPECT_TRUE(key(page, "Stop")->isEnabled());
    EXPECT_FALSE(key(page, "Set")->isEnabled());
}

TEST_F(SurveyOnSimulator, OutputAcceptWritesBackTheRatesRead) {
    connectNew({"protocol=new", "data_rates=12:9,13:2,27:5", "com_baud=8"});
    auto* page = open<Varnok::Output>("0183OutPut");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->isQuerying(); }, kWaitMs));
    ASSERT_TRUE(requested("Send_Gnss_Data_Configlist_Query"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Accept")->isEnabled(); }, kWaitMs));
    EXPECT_EQ(page->findChild<QComboBox*>("comboBox_baudrate")->currentData().toInt(), 57600);

    press(page, "Accept");
    ASSERT_TRUE(QTest::qWaitFor([&] { return count("Send_Gnss_Data_Freq") == 2; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Accept")->isEnabled(); }, kWaitMs));

    // Read again: the receiver holds what it had, codes 2 and 5 included.
    frame->backAction()->trigger();
    page = open<Varnok::Output>("0183OutPut");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return count("Send_Gnss_Data_Configlist_Query") == 2; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Accept")->isEnabled(); }, kWaitMs));
    const QX_DATA_CONFIG_LIST list = dm()->ioConfigs();
    EXPECT_EQ(list.entries[12], 9);
    EXPECT_EQ(list.entries[13], 2);
    EXPECT_EQ(list.entries[27], 5);
}

TEST_F(SurveyOnSimulator, SilentReceiverGivesTheEditorsBack) {
    connectNew({"protocol=new"});
    ASSERT_TRUE(sim.configure("mode=silent"));
    auto* page = open<Varnok::InternalRecordWidget>("Static");
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(key(page, "Get")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return key(page, "Get")->isEnabled(); }, kWaitMs));
    EXPECT_EQ(shownTexts(), std::vector<QString>{"Failed to get parameters!"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace varnok_test
