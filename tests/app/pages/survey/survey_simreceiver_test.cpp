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

    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

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
