// The new-protocol data link page end to end: the program's stack on the landed session
// against varnok-simreceiver as a child process over loopback TCP. Requests are checked as
// the simulator logs them, values as the panels read them back.
#include <gtest/gtest.h>

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

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "datalink_test_support.h"
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
    EXPECT_EQ(sets,
              (Strings{"Send_DataLink_Mode", "Send_Radio_Auto_Power_On", "Send_Radio_Protocol",
                       "Send_Radio_Stepper", "Send_Radio_Power", "Send_Radio_Frequency",
                       "Send_Radio_Sensitivity", "Send_Radio_FEC", "Send_Radio_Callsign"}));
    ASSERT_TRUE(idle(page));

    // Read back: the call sign as it was (module 5 locks the air baud: none was chosen, none
    // went out).
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
    EXPECT_EQ(batch, (Strings{"Send_DataLink_Mode", "Send_Radio_Auto_Power_On",
                              "Send_Radio_Protocol", "Send_Radio_Stepper", "Send_Radio_Power",
                              "Send_Radio_Frequency", "Send_Radio_Sensitivity", "Send_Radio_FEC"}));
    // The receiver kept its call sign and took the channel's frequency and the power.
    EXPECT_NEAR(f->sbFreq->value(), channel3, 1e-4);
    EXPECT_EQ(f->cbPower->currentData().toInt(), 10);
    f->pbCallSign->click();
    ShellHarness::deliver();
    EXPECT_EQ(page->values().value("CSMessage").toString(), "VK2XYZ");
    EXPECT_EQ(page->values().value("CSInterval").toInt(), 10);
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
    void queryBrokenBy(const char* setting) {
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
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get data link type!"});
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

TEST_F(BrokenDataLinkAnswer, TheConnectionClosesMidQuery) {
    queryBrokenBy("close_after=1");
}

}  // namespace
}  // namespace varnok_test
