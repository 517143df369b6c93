// The new-protocol data link page end to end: the program's stack on the landed session
// against varnok-simreceiver as a child process over loopback TCP. Requests are checked as
// the simulator logs them, values as the panels read them back.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "datalink_test_support.h"
#include "callsign.h"
#include "datalink_widget.h"
#include "new_datalink_support.h"
#include "radio_widget.h"
#include "ui_datalink_widget.h"
#include "ui_radio_widget.h"
#include "ui_wireless_widget.h"
#include "wireless_widget.h"

namespace varnok_test {
namespace {

using Strings = std::vector<std::string>;
using Varnok::DataLinkWidget;

constexpr std::chrono::milliseconds kWait{20000};

class NewDataLinkOnTheSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        h.makeFrame();
        dm().setSessionFactory({});  // the landed session
        Varnok::setUiScale(1.0);     // real lengths over a real link
    }
    void TearDown() override {
        dm().closePort();
        sim.stop();
        Varnok::setUiScale(0.0);
        resetRadio();
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
        }
    }
    static Varnok::DeviceManager& dm() { return *Varnok::DeviceManager::instance(); }

    void start(const Strings& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        // The receiver's module type loads its capabilities from the configs directory.
        ASSERT_TRUE(loadRadio(h, 5));
        Varnok::SocketTarget t{};
        t.address[0] = 127;
        t.address[3] = 1;
        t.port = sim.tcpPort();
        dm().setDeviceType(1);
        ASSERT_TRUE(dm().connectDevice(2, 0, 9600, t));
        ASSERT_TRUE(ShellHarness::waitFor([] { return dm().workingStatus() == 4; }, kWait));
    }
    // The frame builds the receiver's pages when the connection is announced: wait for them.
    DataLinkWidget* open() {
        DataLinkWidget* page = nullptr;
        ShellHarness::waitFor(
            [&] {
                page = qobject_cast<DataLinkWidget*>(h.frame()->page("DataLink"));
                return page != nullptr;
            },
            kWait);
        if (page) {
            h.frame()->onCommand("DataLink");
        }
        return page;
    }
    // Waits until the page is neither querying nor busy.
    bool idle(DataLinkWidget* page) {
        return ShellHarness::waitFor(
            [page] {
                return !page->querying() && !page->holdsWaitCursor() &&
                       page->radioPanel()->runningOperations() == 0 &&
                       page->netPanel()->queryTimerId() < 0 && page->netPanel()->pauseTimerId() < 0;
            },
            kWait);
    }
    // Under load a real-time wait may end before every answer is in: the read is tried again
    // until done() holds (bounded).
    bool readUntil(DataLinkWidget* page, const std::function<bool()>& done) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!idle(page)) {
                return false;
            }
            if (done()) {
                return true;
            }
            page->onQueryInfo();
            ShellHarness::waitFor([page] { return !page->querying(); }, kWait);
        }
        return idle(page) && done();
    }
    Strings requestsFrom(std::size_t from) const {
        const Strings all = sim.requestNames();
        return Strings(all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())),
                       all.end());
    }

    QTemporaryDir logs_;
    ShellHarness h;
    varnok_sim::SimProcess sim;
};

TEST_F(NewDataLinkOnTheSimulator, RadioSetGoesOutInBatchOrderAndKeepsTheCallSign) {
    // The call sign "VK2XYZ", on, every 10 minutes.
    start({"protocol=new", "radio_module=5", "datalink_mode=1", "radio_frequency=455.05",
           "radio_callsign=010A564B3258595A0000000000000000000000"});
    DataLinkWidget* page = open();
    ASSERT_NE(page, nullptr);
    auto* f = page->radioPanel()->form();
    ASSERT_TRUE(readUntil(page, [&] {
        return page->shownPanel() == page->radioPanel() && f->cbProtocol->currentIndex() >= 0 &&
               f->cbPower->currentIndex() >= 0 && f->cbPowerOn->isChecked();
    }));
    EXPECT_TRUE(f->cbPowerOn->isChecked());
    EXPECT_NEAR(f->sbFreq->value(), 455.05, 1e-4);
    EXPECT_EQ(f->cbProtocol->currentText(), "ZOR");
    f->cbPower->setCurrentIndex(f->cbPower->findData(10));  // 1 W
    f->sbFreq->setValue(456.0);
    const std::size_t before = sim.requestNames().size();
    ASSERT_TRUE(page->setAction()->isEnabled());
    page->setAction()->trigger();
    ASSERT_EQ(shownTexts(h.prompts), std::vector<QString>{});
    ASSERT_TRUE(ShellHarness::waitFor(
        [&] {
            const Strings names = requestsFrom(before);
            return std::count(names.begin(), names.end(), "Send_Radio_Callsign") > 0;
        },
        kWait));
    Strings sets = requestsFrom(before);
    sets.erase(std::remove_if(sets.begin(), sets.end(),
                              [](const std::string& n) {
                                  return n.rfind("Send_Radio", 0) != 0 && n != "Send_DataLink_Mode";
                              }),
               sets.end());
    EXPECT_EQ(sets, (Strings{"Send_DataLink_Mode", "Send_Radio_Auto_Power_On",
                             "Send_Radio_Protocol", "Send_Radio_Stepper", "Send_Radio_Power",
                             "Send_Radio_Frequency", "Send_Radio_Air_Baud",
                             "Send_Radio_Sensitivity", "Send_Radio_FEC", "Send_Radio_Callsign"}));
    ASSERT_TRUE(idle(page));

    // Read back: the call sign as it was (module 5 locks the air baud box: the rate goes back
    // as the radio reported it).
    page->onQueryInfo();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->querying(); }, kWait));
    ASSERT_TRUE(readUntil(page, [&] {
        return page->shownPanel() == page->radioPanel() && page->radioPanel()->callSignKnown() &&
               f->cbPowerOn->isChecked();
    }));
    f->pbCallSign->click();
    ShellHarness::deliver();
    EXPECT_EQ(page->values().value("CSMessage").toString(), "VK2XYZ");
    EXPECT_EQ(page->values().value("CSInterval").toInt(), 10);
}

TEST_F(NewDataLinkOnTheSimulator, NetworkSetIsReadBackAsSent) {
    start({"protocol=new", "radio_module=5", "datalink_mode=3"});
    DataLinkWidget* page = open();
    ASSERT_NE(page, nullptr);
    auto* f = page->netPanel()->form();
    ASSERT_TRUE(readUntil(page, [&] { return page->shownPanel() == page->netPanel(); }));
    h.prompts.shown.clear();
    f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(2));
    f->leAddress->setText("192.168.1.20");
    f->lePort->setText("2101");
    f->cbSource->setEditText("MP1");
    f->leUserName->setText("u-secret");
    f->lePsw->setText("p-secret");
    f->cbAutoLogin->setChecked(true);
    page->setAction()->trigger();
    ASSERT_TRUE(sim.waitForRequest("Send_NetLink_Auto_Open", static_cast<int>(kWait.count())));
    ASSERT_TRUE(idle(page));
    page->onQueryInfo();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->querying(); }, kWait));
    ASSERT_TRUE(readUntil(page, [&] {
        return page->shownPanel() == page->netPanel() && !f->leAddress->text().isEmpty() &&
               !f->leUserName->text().isEmpty() && !f->cbSource->currentText().isEmpty() &&
               f->cbAutoLogin->isChecked();
    }));
    EXPECT_EQ(f->cbProtocol->currentText(), "Ntrip Client");
    EXPECT_EQ(f->leAddress->text(), "192.168.1.20");
    EXPECT_EQ(f->lePort->text(), "2101");
    EXPECT_EQ(f->cbSource->currentText(), "MP1");
    EXPECT_EQ(f->leUserName->text(), "u-secret");
    EXPECT_EQ(f->lePsw->text(), "p-secret");
    EXPECT_TRUE(f->cbAutoLogin->isChecked());
    // No log of the session holds the account.
    for (const QString& name : QDir(logs_.path()).entryList(QDir::Files)) {
        QFile log(logs_.path() + "/" + name);
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        EXPECT_FALSE(text.contains("u-secret")) << name.toStdString();
        EXPECT_FALSE(text.contains("p-secret")) << name.toStdString();
    }
}

TEST_F(NewDataLinkOnTheSimulator, ASilentReceiverWarnsAndGivesTheEditorsBack) {
    start({"protocol=new", "radio_module=5"});
    ASSERT_TRUE(sim.configure("mode=silent"));
    DataLinkWidget* page = open();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(idle(page));
    ShellHarness::deliver();
    ASSERT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get data link type!"});
    EXPECT_TRUE(page->getAction()->isEnabled());
    EXPECT_EQ(page->shownPanel(), nullptr);
}

TEST_F(NewDataLinkOnTheSimulator, AnUnansweredCallSignIsNeitherSentNorChanged) {
    // The receiver holds "VK2XYZ" but leaves the call-sign query unanswered.
    start({"protocol=new", "radio_module=5", "datalink_mode=1", "radio_frequency=455.05",
           "radio_power=20", "radio_callsign=010A564B3258595A0000000000000000000000",
           "radio_callsign_silent=1"});
    DataLinkWidget* page = open();
    ASSERT_NE(page, nullptr);
    auto* f = page->radioPanel()->form();
    ASSERT_TRUE(readUntil(page, [&] {
        return page->shownPanel() == page->radioPanel() && f->cbProtocol->currentIndex() >= 0 &&
               f->cbPower->currentIndex() >= 0 && f->cbPowerOn->isChecked();
    }));
    EXPECT_FALSE(page->radioPanel()->callSignKnown());
    ASSERT_GT(f->cbChannel->count(), 3);
    f->cbChannel->setCurrentIndex(3);
    const double channel3 = f->sbFreq->value();
    ASSERT_GT(std::abs(channel3 - 455.05), 1e-3);
    f->cbPower->setCurrentIndex(f->cbPower->findData(10));  // 1 W
    const std::size_t before = sim.requestNames().size();
    ASSERT_TRUE(page->setAction()->isEnabled());
    page->setAction()->trigger();
    ASSERT_EQ(shownTexts(h.prompts), std::vector<QString>{});
    ASSERT_TRUE(ShellHarness::waitFor(
        [&] {
            const Strings names = requestsFrom(before);
            return std::count(names.begin(), names.end(), "Send_Radio_FEC") > 0;
        },
        kWait));
    ASSERT_TRUE(idle(page));

    // The read back answers the call sign again; its query is the fence after the batch.
    ASSERT_TRUE(sim.configure("radio_callsign_silent=0"));
    page->onQueryInfo();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->querying(); }, kWait));
    ASSERT_TRUE(readUntil(page, [&] {
        return page->shownPanel() == page->radioPanel() && page->radioPanel()->callSignKnown() &&
               f->cbPower->currentIndex() >= 0 && f->cbPowerOn->isChecked();
    }));
    Strings batch = requestsFrom(before);
    // The batch ends where the read back's mode query starts (the batch opens with the mode set).
    ASSERT_FALSE(batch.empty());
    const auto fence = std::find(batch.begin() + 1, batch.end(), "Send_DataLink_Mode");
    ASSERT_NE(fence, batch.end());
    batch.erase(fence, batch.end());
    batch.erase(std::remove_if(batch.begin(), batch.end(),
                               [](const std::string& n) {
                                   return n.rfind("Send_Radio", 0) != 0 &&
                                          n != "Send_DataLink_Mode";
                               }),
                batch.end());
    EXPECT_EQ(batch,
              (Strings{"Send_DataLink_Mode", "Send_Radio_Auto_Power_On", "Send_Radio_Protocol",
                       "Send_Radio_Stepper", "Send_Radio_Power", "Send_Radio_Frequency",
                       "Send_Radio_Air_Baud", "Send_Radio_Sensitivity", "Send_Radio_FEC"}));
    // The receiver kept its call sign and took the channel's frequency and the power.
    EXPECT_NEAR(f->sbFreq->value(), channel3, 1e-4);
    EXPECT_EQ(f->cbPower->currentData().toInt(), 10);
    f->pbCallSign->click();
    ShellHarness::deliver();
    EXPECT_EQ(page->values().value("CSMessage").toString(), "VK2XYZ");
    EXPECT_EQ(page->values().value("CSInterval").toInt(), 10);
}

// What an untouched or edited Set wrote is read from the simulator's state: the key is set to
// another value after the read, so only the Set can bring the expected one back.
class NewRadioWriteBack : public NewDataLinkOnTheSimulator {
protected:
    // The receiver's module type reads its band and lists from the shipped capability file.
    void startShipped(const Strings& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        const QString path = h.configsDir() + "/radioconfig.vnk";
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(QStringLiteral(VARNOK_SHIPPED_RADIOCONFIG_FILE), path));
        Varnok::SocketTarget t{};
        t.address[0] = 127;
        t.address[3] = 1;
        t.port = sim.tcpPort();
        dm().setDeviceType(1);
        ASSERT_TRUE(dm().connectDevice(2, 0, 9600, t));
        ASSERT_TRUE(ShellHarness::waitFor([] { return dm().workingStatus() == 4; }, kWait));
    }
    Ui::RadioWidgetClass* read(DataLinkWidget*& page, Strings settings, bool protocolShown = true) {
        settings.insert(settings.begin(), {"protocol=new", "datalink_mode=1"});
        startShipped(settings);
        page = open();
        if (!page) {
            return nullptr;
        }
        auto* f = page->radioPanel()->form();
        const bool done = readUntil(page, [&] {
            return page->shownPanel() == page->radioPanel() &&
                   (f->cbProtocol->currentIndex() >= 0 || !protocolShown) &&
                   f->cbPowerOn->isChecked() && f->sbFreq->value() > 0;
        });
        EXPECT_TRUE(done);
        h.prompts.shown.clear();
        return done ? f : nullptr;
    }
    std::string stateOf(const std::string& key) {
        std::map<std::string, std::string> state;
        EXPECT_TRUE(sim.state(&state));
        return state[key];
    }
    // Presses Set and waits for the batch to reach the simulator (the FEC set ends it on these
    // modules) and the panel to be idle again.
    void set(DataLinkWidget* page, const char* last = "Send_Radio_FEC") {
        const std::size_t before = sim.requestNames().size();
        ASSERT_TRUE(page->setAction()->isEnabled());
        page->setAction()->trigger();
        ASSERT_EQ(shownTexts(h.prompts), std::vector<QString>{});
        ASSERT_TRUE(ShellHarness::waitFor(
            [&] {
                const Strings names = requestsFrom(before);
                return std::count(names.begin(), names.end(), last) > 0;
            },
            kWait));
        ASSERT_TRUE(idle(page));
    }
    // Opens the call sign page from the radio panel.
    Varnok::Callsign* openCallSign(DataLinkWidget* page) {
        page->radioPanel()->form()->pbCallSign->click();
        ShellHarness::deliver();
        return qobject_cast<Varnok::Callsign*>(h.frame()->currentPage());
    }
    static void pressOk(QWidget* w) {
        for (QAction* a : w->actions()) {
            if (a->text() == "Ok") {
                a->trigger();
            }
        }
        ShellHarness::deliver();
    }
};

// Module type 2 is a 410-430 MHz radio in the shipped capability file; this receiver reports
// 463.125 MHz. The editor shows it as read, marked, and an untouched Set writes it back; a
// typed value outside the band is refused with the band named and nothing is sent.
TEST_F(NewRadioWriteBack, AReportedFrequencyOutsideTheBandIsShownAndKeptAsRead) {
    DataLinkWidget* page = nullptr;
    auto* f = read(page, {"radio_module=2", "radio_frequency=463.125"});
    ASSERT_NE(f, nullptr);
    EXPECT_NEAR(f->sbFreq->value(), 463.125, 1e-4);
    EXPECT_EQ(f->sbFreq->text(), "463.1250");
    EXPECT_EQ(f->sbFreq->palette().color(QPalette::Base), QColor(Qt::red));
    ASSERT_TRUE(sim.configure("radio_frequency=415"));
    set(page);
    EXPECT_NEAR(std::stod(stateOf("radio_frequency")), 463.125, 1e-4);

    f->sbFreq->setValue(440.0);
    const std::size_t before = sim.requestNames().size();
    page->setAction()->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Radio frq is out of 410 - 430!"});
    EXPECT_EQ(page->radioPanel()->runningOperations(), 0);
    EXPECT_EQ(requestsFrom(before), Strings{});
}

// Channel 0 is the free frequency: after another channel it shows the radio's own again, and
// an untouched Set writes that, never the band's lower edge.
TEST_F(NewRadioWriteBack, ChannelZeroKeepsTheReportedFrequency) {
    DataLinkWidget* page = nullptr;
    auto* f = read(page, {"radio_module=1", "radio_frequency=463.0"});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->cbChannel->currentIndex(), 0);
    ASSERT_GT(f->cbChannel->count(), 3);
    f->cbChannel->setCurrentIndex(3);
    EXPECT_GT(std::abs(f->sbFreq->value() - 463.0), 1e-3);
    f->cbChannel->setCurrentIndex(0);
    EXPECT_NEAR(f->sbFreq->value(), 463.0, 1e-4);
    EXPECT_TRUE(f->sbFreq->isEnabled());
    ASSERT_TRUE(sim.configure("radio_frequency=451"));
    set(page);
    EXPECT_NEAR(std::stod(stateOf("radio_frequency")), 463.0, 1e-4);
}

// The air baud is selected before the spacing rebuilds the baud list: the reported rate stays
// selected, and an untouched Set writes it back.
TEST_F(NewRadioWriteBack, TheReportedAirBaudSurvivesTheSpacingRebuild) {
    DataLinkWidget* page = nullptr;
    auto* f = read(page, {"radio_module=1", "radio_frequency=463.0", "radio_stepper=250",
                          "radio_air_baud=19200"});
    ASSERT_NE(f, nullptr);
    ASSERT_FALSE(f->cbSpacing->isHidden());
    EXPECT_EQ(f->cbSpacing->currentData().toInt(), 250);
    EXPECT_EQ(f->cbBaud->currentData().toInt(), 19200);
    ASSERT_TRUE(sim.configure("radio_air_baud=4800"));
    set(page);
    EXPECT_EQ(stateOf("radio_air_baud"), "19200");
}

// A new-protocol receiver's call sign field holds 16 characters: 16 read go to the call sign
// page and back whole and are written whole; 17 handed over are shown whole and refused on Ok;
// an interval of 0 is refused, not sent as 0 minutes.
TEST_F(NewRadioWriteBack, CallSignsAreHeldWholeOrRefusedNeverCut) {
    const std::string sixteen = "010A4142434445464748494A4B4C4D4E4F5000";
    const std::string other = "01055859000000000000000000000000000000";
    {
        SCOPED_TRACE("16");
        DataLinkWidget* page = nullptr;
        auto* f =
            read(page, {"radio_module=2", "radio_frequency=420", "radio_callsign=" + sixteen});
        ASSERT_NE(f, nullptr);
        Varnok::Callsign* cs = openCallSign(page);
        ASSERT_NE(cs, nullptr);
        auto* message = cs->findChild<QLineEdit*>("lineEdit_callsign_message");
        EXPECT_EQ(message->text(), "ABCDEFGHIJKLMNOP");
        pressOk(cs);
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{});
        ASSERT_EQ(h.frame()->currentPage(), page);
        ASSERT_TRUE(sim.configure("radio_callsign=" + other));
        set(page, "Send_Radio_Callsign");
        EXPECT_EQ(stateOf("radio_callsign"), sixteen);
        dm().closePort();
        sim.stop();
    }
    {
        SCOPED_TRACE("17 and interval 0");
        h.frame()->onCommand(QStringLiteral("Back"));
        DataLinkWidget* page = nullptr;
        auto* f =
            read(page, {"radio_module=2", "radio_frequency=420", "radio_callsign=" + sixteen});
        ASSERT_NE(f, nullptr);
        Varnok::Callsign* cs = openCallSign(page);
        ASSERT_NE(cs, nullptr);
        // Seventeen characters handed over are shown whole, and Ok refuses them.
        cs->setParams({{"CSState", 1},
                       {"CSInterval", 10},
                       {"CSMessage", "ABCDEFGHIJKLMNOPQ"},
                       {"CSLength", 17}},
                      nullptr);
        EXPECT_EQ(cs->findChild<QLineEdit*>("lineEdit_callsign_message")->text(),
                  "ABCDEFGHIJKLMNOPQ");
        pressOk(cs);
        EXPECT_EQ(shownTexts(h.prompts),
                  std::vector<QString>{"Call sign message holds at most 16 characters!"});
        EXPECT_EQ(h.frame()->currentPage(), cs);
        h.prompts.shown.clear();
        cs->findChild<QLineEdit*>("lineEdit_callsign_message")->setText("ABC");
        cs->findChild<QLineEdit*>("lineEdit_callsign_interval")->setText("0");
        pressOk(cs);
        EXPECT_EQ(shownTexts(h.prompts),
                  std::vector<QString>{"Call sign interval must be 1 to 30 minutes!"});
        EXPECT_EQ(h.frame()->currentPage(), cs);
        // Back hands nothing on.
        h.frame()->close();
        ShellHarness::deliver();
        ASSERT_EQ(h.frame()->currentPage(), page);
    }
}

// The shipped file gives module type 2 the protocols 0 and 1, and only 1 has a name: a radio
// on protocol 0 shows none, and Set leaves the radio's protocol alone instead of writing a
// protocol of all ones.
TEST_F(NewRadioWriteBack, AProtocolWithoutAnItemIsNeverWritten) {
    DataLinkWidget* page = nullptr;
    auto* f = read(page, {"radio_module=2", "radio_frequency=420", "radio_protocol=0"}, false);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->cbProtocol->currentIndex(), -1);
    const std::size_t before = sim.requestNames().size();
    set(page);
    const Strings sent = requestsFrom(before);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "Send_Radio_Protocol"), 0);
    EXPECT_EQ(stateOf("radio_protocol"), "0");
    EXPECT_NEAR(std::stod(stateOf("radio_frequency")), 420.0, 1e-4);
}

// A mode read that fails, or names a link the page does not edit, hides the radio panel and
// stops its status poll; a Set then sends nothing.
TEST_F(NewRadioWriteBack, AFailedOrForeignModeReadHidesThePanelAndStopsItsPoll) {
    struct Case {
        const char* setting;
        QString message;
    };
    const Case cases[] = {
        {"datalink_mode=2", "Current datalink type is GSM."},
        {"datalink_mode=4", "Current datalink type is External Radio or PDA Network."},
        {"mode=silent", "Failed to get data link type!"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        DataLinkWidget* page = nullptr;
        auto* f = read(page, {"radio_module=2", "radio_frequency=420"});
        ASSERT_NE(f, nullptr);
        // A power switch starts the status poll.
        f->cbPowerOn->click();
        ASSERT_GT(page->radioPanel()->pollTimerId(), 0);
        ASSERT_TRUE(sim.configure(c.setting));
        page->onQueryInfo();
        ASSERT_TRUE(ShellHarness::waitFor([&] { return !h.prompts.shown.empty(); }, kWait));
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{c.message});
        EXPECT_EQ(page->shownPanel(), nullptr);
        EXPECT_FALSE(page->radioPanel()->isVisible());
        EXPECT_EQ(page->radioPanel()->pollTimerId(), -1);
        EXPECT_FALSE(page->radioPanel()->anyTimerRunning());
        h.prompts.shown.clear();
        const std::size_t before = sim.requestNames().size();
        page->setAction()->trigger();
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters."});
        EXPECT_EQ(requestsFrom(before), Strings{});
        h.frame()->close();
        dm().closePort();
        sim.stop();
        h.prompts.shown.clear();
    }
}

// Power on from off: the radio's status after the switch decides the box and the message.
class RadioPowerOnTheSimulator : public NewDataLinkOnTheSimulator {
protected:
    void switchOn(const char* stuck, bool checked, const std::vector<QString>& messages) {
        start({"protocol=new", "radio_module=5", "datalink_mode=1", "radio_power_status=3", stuck});
        DataLinkWidget* page = open();
        ASSERT_NE(page, nullptr);
        auto* f = page->radioPanel()->form();
        ASSERT_TRUE(readUntil(page, [&] {
            return page->shownPanel() == page->radioPanel() && f->cbProtocol->currentIndex() >= 0 &&
                   f->cbPower->currentIndex() >= 0;
        }));
        ASSERT_FALSE(f->cbPowerOn->isChecked());
        ASSERT_TRUE(f->cbPowerOn->isEnabled());
        h.prompts.shown.clear();
        const std::size_t before = sim.requestNames().size();
        f->cbPowerOn->click();
        // The check at the end of the switch frees the page.
        ASSERT_TRUE(ShellHarness::waitFor(
            [&] { return page->radioPanel()->runningOperations() == 0; }, kWait));
        ShellHarness::deliver();
        const Strings sent = requestsFrom(before);
        EXPECT_NE(std::find(sent.begin(), sent.end(), "Send_Radio_Power_On"), sent.end());
        EXPECT_EQ(shownTexts(h.prompts), messages);
        EXPECT_EQ(f->cbPowerOn->isChecked(), checked);
        EXPECT_TRUE(page->getAction()->isEnabled());
    }
};

TEST_F(RadioPowerOnTheSimulator, ARadioThatComesOnKeepsTheBoxChecked) {
    switchOn("radio_power_stuck=0", true, {});
}

TEST_F(RadioPowerOnTheSimulator, AStuckRadioWarnsAndUnchecksTheBox) {
    switchOn("radio_power_stuck=1", false, {"Failed to power on radio"});
}

// The mode query meets a broken answer: a warning, the editors back, no crash.
class BrokenDataLinkAnswer : public NewDataLinkOnTheSimulator {
protected:
    void queryBrokenBy(const char* setting,
                       const QString& warning = QStringLiteral("Failed to get data link type!")) {
        start({"protocol=new", "radio_module=5", "datalink_mode=1", "position_ms=0"});
        QPointer<DataLinkWidget> page = open();
        ASSERT_FALSE(page.isNull());
        ASSERT_TRUE(idle(page));
        h.prompts.shown.clear();
        ASSERT_TRUE(sim.configure(setting));
        page->onQueryInfo();
        ASSERT_TRUE(ShellHarness::waitFor([&] { return page.isNull() || !h.prompts.shown.empty(); },
                                          kWait));
        ASSERT_FALSE(page.isNull());
        ASSERT_TRUE(idle(page));
        ShellHarness::deliver();
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{warning});
        // No mode was read: none is shown, and the choice is the user's again.
        EXPECT_EQ(page->form()->cbWorkMode->currentIndex(), -1);
        EXPECT_TRUE(page->form()->cbWorkMode->isEnabled());
        EXPECT_TRUE(page->getAction()->isEnabled());
        EXPECT_FALSE(page->querying());
    }
};

TEST_F(BrokenDataLinkAnswer, Garbage) {
    queryBrokenBy("mode=garbage");
}

TEST_F(BrokenDataLinkAnswer, HalfAnAnswer) {
    queryBrokenBy("mode=stop_mid_answer");
}

// A receiver that closes its TCP side is a lost link: said once, and the program is back at
// the disconnected menu with no wait of the page left to warn later.
TEST_F(BrokenDataLinkAnswer, TheConnectionClosesMidQuery) {
    start({"protocol=new", "radio_module=5", "datalink_mode=1", "position_ms=0"});
    QPointer<DataLinkWidget> page = open();
    ASSERT_FALSE(page.isNull());
    ASSERT_TRUE(idle(page));
    h.prompts.shown.clear();
    ASSERT_TRUE(sim.configure("close_after=1"));
    page->onQueryInfo();
    ASSERT_TRUE(ShellHarness::waitFor(
        [] { return Varnok::DeviceManager::instance()->workingStatus() == 0; }, kWait));
    ASSERT_TRUE(page.isNull() || idle(page));
    ShellHarness::deliver();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Connection to the receiver was lost."});
}

}  // namespace
}  // namespace varnok_test
