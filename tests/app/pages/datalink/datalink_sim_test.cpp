// The data link pages end to end: the program's stack on the landed session against
// varnok-simreceiver as a child process, an old-protocol receiver of device type 5 over
// loopback TCP and over the pseudo-terminal. Requests are checked as the simulator logs them
// (the AT message each "VS" frame carries, in hex), answers as the pages show them.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "datachain.h"
#include "datachain_net.h"
#include "datachain_radio.h"
#include "datalink_test_support.h"
#include "inlay_net.h"

using namespace varnok_test;
using Varnok::DataChain;
using Varnok::InlayNet;

namespace {

using Strings = std::vector<std::string>;

constexpr int kSimCom = 44;
constexpr std::chrono::milliseconds kWait{30000};

enum class Link { Tcp, Pty };

std::string linkName(const ::testing::TestParamInfo<Link>& info) {
    return info.param == Link::Tcp ? "Tcp" : "Pty";
}

template <class T>
T* child(QObject* parent, const char* name) {
    T* w = parent->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class DataLinkOnTheSimulator : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        h = std::make_unique<ShellHarness>();
        h->makeFrame();
        dm().setSessionFactory({});  // the landed session
        // Real link, shortened time-outs: the polls and waits run at a quarter of their length.
        Varnok::setUiScale(0.25);
    }
    void TearDown() override {
        dm().closePort();
        h.reset();
        sim.stop();
        Brevan2011::BVComm::ClearComPortPath(kSimCom, false);
        Varnok::setUiScale(0.0);
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
        }
    }

    static Varnok::DeviceManager& dm() { return *Varnok::DeviceManager::instance(); }

    void start(Strings settings) {
        settings.push_back("protocol=old");
        if (GetParam() == Link::Pty) {
            settings.push_back("baud=115200");
        }
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
    }
    void connect() {
        dm().setDeviceType(5);
        if (GetParam() == Link::Pty) {
            Brevan2011::BVComm::SetComPortPath(kSimCom, sim.ptyPath());
            ASSERT_TRUE(dm().connectDevice(0, kSimCom, 115200, Varnok::SocketTarget{}));
        } else {
            Varnok::SocketTarget t{};
            t.address[0] = 127;
            t.address[3] = 1;
            t.port = static_cast<unsigned short>(sim.tcpPort());
            ASSERT_TRUE(dm().connectDevice(2, 0, 9600, t));
        }
        // Working once the GPRS version (and with it the radio's table row) has answered.
        ASSERT_TRUE(ShellHarness::waitFor([] { return dm().workingStatus() == 4; }, kWait));
    }
    template <class Page>
    Page* open(const char* name) {
        EXPECT_TRUE(ShellHarness::waitFor(
            [&] { return h->frame()->page(QString::fromLatin1(name)) != nullptr; }, kWait));
        h->frame()->onCommand(QString::fromLatin1(name));
        return qobject_cast<Page*>(h->frame()->page(QString::fromLatin1(name)));
    }
    void trigger(QWidget* page, const QString& text) {
        for (QAction* a : page->actions()) {
            if (a->text() == text) {
                a->trigger();
            }
        }
    }

    // The page shows the panel and its query has ended (answered or timed out).
    void waitForQuery(DataChain* page, QWidget* panel) {
        ASSERT_TRUE(ShellHarness::waitFor(
            [&] { return page->shownPanel() == panel && !page->anyTimerRunning(); }, kWait));
    }
    // The AT messages of the requests of that name, in order.
    Strings messages(const std::string& name) const {
        Strings out;
        const std::string prefix = "request " + name + " VS ";
        for (const std::string& line : sim.printedLines()) {
            if (line.compare(0, prefix.size(), prefix) == 0) {
                out.push_back(line.substr(prefix.size()));
            }
        }
        return out;
    }
    bool waitForMessages(const std::string& name, std::size_t n) const {
        return ShellHarness::waitFor([&] { return messages(name).size() >= n; }, kWait);
    }
    Strings promptTexts() const {
        Strings out;
        for (const auto& s : h->prompts.shown) {
            out.push_back(s.text.toStdString());
        }
        return out;
    }
    QTemporaryDir logs_;
    std::unique_ptr<ShellHarness> h;
    varnok_sim::SimProcess sim;
};

// ---- Radio.

// A type-8 radio (403-473 MHz, spacing, sensitivity, FEC, call sign, three powers) on the
// transparent protocol at 463.0 MHz, 12.5 kHz, 0.5 W, call sign "ABC" on every 10 minutes.
const Strings kType8Radio = {"firmware=8.10",         "radio_type=8",        "transmit_mode=5",
                             "radio_frequency=463.0", "channel_spacing=0",   "radio_power=3",
                             "radio_sensitivity=2",   "radio_fec=0",         "callsign=ABC",
                             "callsign_on=1",         "callsign_interval=10"};

TEST_P(DataLinkOnTheSimulator, RadioSetOfChannelThreeAndOneWattArrivesExactlyAndReadsBack) {
    start(kType8Radio);
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Radio* radio = page->radioPanel();
    auto* power = child<QComboBox>(radio, "comboBox_sendPower");
    auto* channel = child<QComboBox>(radio, "comboBox_signalChannel_RX");
    auto* frequency = child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX");
    waitForQuery(page, radio);
    EXPECT_EQ(power->currentData().toInt(), 3);
    EXPECT_DOUBLE_EQ(frequency->value(), 463.0);

    channel->setCurrentIndex(channel->findData(3));
    power->setCurrentIndex(power->findData(4));
    ASSERT_DOUBLE_EQ(frequency->value(), 457.05);
    trigger(page, "Set");
    ASSERT_TRUE(waitForMessages("Set_Radio_Callsign", 1));
    EXPECT_TRUE(promptTexts().empty());

    // 457.05 MHz is 36564 steps of 12.5 kHz: D4 8E.
    EXPECT_EQ(messages("Set_Radio_Mdl"), Strings{"40 60 9F 01 00 05 BB"});
    EXPECT_EQ(messages("Set_Radio_Power"), Strings{"40 75 8A 01 00 04 BA"});
    EXPECT_EQ(messages("Set_Radio_Sensitivity"), Strings{"40 80 7F 01 00 02 BC"});
    EXPECT_EQ(messages("Set_Radio_ChannelSpace"), Strings{"40 88 77 01 00 00 BE"});
    EXPECT_EQ(messages("Set_Radio_Frq"), Strings{"40 6D 92 02 00 D4 8E E7"});
    EXPECT_EQ(messages("Set_Radio_FEC"), Strings{"40 82 7D 01 00 00 BE"});
    // The call sign goes back as the radio reported it.
    EXPECT_EQ(messages("Set_Radio_Callsign"), Strings{"40 90 6F 05 00 01 0A 41 42 43 F1"});

    // Read again: the answers show what was set. The session still paces the Set's commands,
    // so the mode query waits its full time.
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->anyTimerRunning(); }, kWait));
    Varnok::setUiScale(1.0);
    power->setCurrentIndex(-1);
    frequency->setValue(403.0);
    trigger(page, "Get");
    ASSERT_TRUE(waitForMessages("Send_Radio_Power", 2)) << ::testing::PrintToString(promptTexts());
    ASSERT_TRUE(ShellHarness::waitFor(
        [&] { return power->currentData().toInt() == 4 && frequency->value() > 457.0; }, kWait));
    EXPECT_DOUBLE_EQ(frequency->value(), 457.05);
    EXPECT_TRUE(promptTexts().empty());
}

// A 20 kHz radio whose call sign never answers: the Set keeps the spacing and sends no call
// sign, so the receiver's own stays.
TEST_P(DataLinkOnTheSimulator, RadioSetWithoutACallSignAnswerLeavesCallSignAndSpacing) {
    Strings settings = kType8Radio;
    settings.push_back("channel_spacing=1");
    settings.push_back("radio_frequency=463.0");
    settings.push_back("silent_at=145");
    start(settings);
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Radio* radio = page->radioPanel();
    auto* power = child<QComboBox>(radio, "comboBox_sendPower");
    // The query ends by its time-out, the call sign unanswered.
    waitForQuery(page, radio);
    ASSERT_TRUE(power->isEnabled());
    h->prompts.shown.clear();
    trigger(page, "Set");
    ASSERT_TRUE(waitForMessages("Set_Radio_Frq", 1)) << ::testing::PrintToString(promptTexts());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->anyTimerRunning(); }, kWait));
    EXPECT_EQ(messages("Set_Radio_ChannelSpace"), Strings{"40 88 77 01 00 01 BF"});
    EXPECT_TRUE(messages("Set_Radio_Callsign").empty());
    EXPECT_TRUE(promptTexts().empty());
}

// A 20 kHz radio's frequency code is counted in 20 kHz steps, which the session knows only
// once the spacing has answered: the panel reads the frequency again after it, whatever order
// the answers take, and an untouched Set writes the radio's own 463.0 MHz back (23150 steps of
// 20 kHz: 6E 5A), never a value decoded with the 12.5 kHz step or the band's lower edge.
TEST_P(DataLinkOnTheSimulator, TwentyKilohertzRadioKeepsItsFrequencyInEveryAnswerOrder) {
    struct Case {
        const char* name;
        Strings extra;
    };
    const Case cases[] = {
        {"mode, then spacing", {}},
        // The spacing first, the call sign never: the query ends by its time-out.
        {"spacing first", {"late=Send_Radio_Sensitivity:1500", "silent_at=145"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Strings settings = kType8Radio;
        settings.push_back("channel_spacing=1");
        settings.insert(settings.end(), c.extra.begin(), c.extra.end());
        start(settings);
        connect();
        auto* page = open<DataChain>("DataLink");
        ASSERT_NE(page, nullptr);
        Varnok::DataChain_Radio* radio = page->radioPanel();
        auto* frequency = child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX");
        waitForQuery(page, radio);
        EXPECT_NEAR(frequency->value(), 463.0, 1e-6);
        h->prompts.shown.clear();
        trigger(page, "Set");
        ASSERT_TRUE(waitForMessages("Set_Radio_Frq", 1)) << ::testing::PrintToString(promptTexts());
        EXPECT_EQ(messages("Set_Radio_Frq"), Strings{"40 6D 92 02 00 6E 5A 89"});
        EXPECT_EQ(messages("Set_Radio_ChannelSpace"), Strings{"40 88 77 01 00 01 BF"});
        EXPECT_TRUE(promptTexts().empty());
        ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->anyTimerRunning(); }, kWait));
        h->frame()->onCommand(QStringLiteral("Back"));
        dm().closePort();
        sim.stop();
    }
}

// After a read the channel box follows the radio's frequency: a fixed channel's frequency
// selects that channel and locks the editor; a free one selects channel 0, and going to
// another channel and back to 0 brings the radio's own frequency back for the Set.
TEST_P(DataLinkOnTheSimulator, ChannelBoxFollowsTheReadFrequencyAndChannelZeroKeepsIt) {
    Strings settings = kType8Radio;
    settings.push_back("radio_frequency=457.05");
    start(settings);
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Radio* radio = page->radioPanel();
    auto* channel = child<QComboBox>(radio, "comboBox_signalChannel_RX");
    auto* frequency = child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX");
    waitForQuery(page, radio);
    EXPECT_EQ(channel->currentData().toInt(), 3);
    EXPECT_FALSE(frequency->isEnabled());

    // The radio goes to a free frequency; the next read shows it on channel 0, editable.
    ASSERT_TRUE(sim.configure("radio_frequency=463.0"));
    trigger(page, "Get");
    ASSERT_TRUE(waitForMessages("Send_Radio_Power", 2));
    waitForQuery(page, radio);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return frequency->value() > 460; }, kWait));
    EXPECT_EQ(channel->currentData().toInt(), 0);
    EXPECT_TRUE(frequency->isEnabled());
    channel->setCurrentIndex(channel->findData(3));
    EXPECT_NEAR(frequency->value(), 457.05, 1e-6);
    channel->setCurrentIndex(channel->findData(0));
    EXPECT_NEAR(frequency->value(), 463.0, 1e-6);
    h->prompts.shown.clear();
    trigger(page, "Set");
    ASSERT_TRUE(waitForMessages("Set_Radio_Frq", 1)) << ::testing::PrintToString(promptTexts());
    // 463.0 MHz is 37040 steps of 12.5 kHz: B0 90.
    EXPECT_EQ(messages("Set_Radio_Frq"), Strings{"40 6D 92 02 00 B0 90 9D"});
}

// A typed frequency outside the band is refused with the band named, never moved to an edge
// and sent.
TEST_P(DataLinkOnTheSimulator, TypedFrequencyOutsideTheBandIsRefusedAsTyped) {
    start(kType8Radio);
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Radio* radio = page->radioPanel();
    auto* frequency = child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX");
    waitForQuery(page, radio);
    for (const char* typed : {"480", "400"}) {
        SCOPED_TRACE(typed);
        frequency->setFocus();
        frequency->selectAll();
        QTest::keyClick(frequency, Qt::Key_Backspace);
        QTest::keyClicks(frequency, QString::fromLatin1(typed));
        QTest::keyClick(frequency, Qt::Key_Return);
        EXPECT_NEAR(frequency->value(), QString::fromLatin1(typed).toDouble(), 1e-6);
        h->prompts.shown.clear();
        trigger(page, "Set");
        EXPECT_EQ(promptTexts(), Strings{"Radio frq is out of 403 - 473!"});
        EXPECT_FALSE(page->anyTimerRunning());
    }
    // A query sent after the refusals is logged after anything they sent.
    trigger(page, "Get");
    ASSERT_TRUE(waitForMessages("Send_Radio_Power", 2));
    for (const char* name : {"Set_Radio_Mdl", "Set_Radio_Frq", "Set_Radio_Power"}) {
        EXPECT_TRUE(messages(name).empty()) << name;
    }
}

// ---- GPRS.

TEST_P(DataLinkOnTheSimulator, GprsSetArrivesExactlyFollowsTheLogOnAndLogsNoCredentials) {
    // Modem 2.50 takes the server as four bytes; 3.60 as a host name.
    const bool named = GetParam() == Link::Tcp;
    start({"transmit_mode=0", named ? "gprs_version=3.60" : "gprs_version=2.50", "gprs_protocol=1",
           "gprs_port=2100", "gprs_address=10.0.0.7", "cors_source=MP0", "logon_polls=2",
           "logon_result=4"});
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Net* net = page->netPanel();
    auto* address = child<QLineEdit>(net, "lineEdit_address");
    waitForQuery(page, net);
    EXPECT_EQ(address->text(), "10.0.0.7");
    EXPECT_EQ(child<QLineEdit>(net, "lineEdit_port")->text(), "2100");
    EXPECT_EQ(child<QComboBox>(net, "comboBox_sourceList")->currentText(), "MP0");

    address->setText("192.168.1.20");
    child<QLineEdit>(net, "lineEdit_port")->setText("2101");
    child<QComboBox>(net, "comboBox_sourceList")->setEditText("MP1");
    child<QLineEdit>(net, "lineEdit_guestName")->setText("u-secret");
    child<QLineEdit>(net, "lineEdit_psw")->setText("p-secret");
    trigger(page, "Set");
    ASSERT_TRUE(
        ShellHarness::waitFor([&] { return promptTexts() == Strings{"Logged On!"}; }, kWait))
        << ::testing::PrintToString(promptTexts());

    // Printed in order: once the second poll is there, every Set before it is too.
    ASSERT_TRUE(waitForMessages("Send_Gprs_Status", 2));
    if (named) {
        // "192.168.1.20", a zero, port 2101 high byte first, Ntrip (1).
        EXPECT_EQ(messages("Set_Gprs_Ip"),
                  Strings{"40 72 8D 10 00 31 39 32 2E 31 36 38 2E 31 2E 32 30 00 08 35 01 8B"});
    } else {
        EXPECT_EQ(messages("Set_Gprs_Ip"), Strings{"40 52 AD 07 00 C0 A8 01 14 08 35 01 F9"});
    }
    // "MP1", a zero, '-', a zero, then the user and the password, each ending in a zero.
    EXPECT_EQ(messages("Set_Cors_Info_Auto"),
              Strings{"40 6B 94 18 00 4D 50 31 00 2D 00 75 2D 73 65 63 72 65 74 00 70 2D 73 65 "
                      "63 72 65 74 00 A3"});
    EXPECT_EQ(messages("Set_Radio_Mdl"), Strings{"40 60 9F 01 00 00 BE"});

    // No log of the program nor the simulator's output holds the user name or the password.
    dm().closePort();
    QStringList roots = {logs_.path(), h->configsDir()};
    for (const QString& root : roots) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
            const QByteArray all = f.readAll();
            EXPECT_FALSE(all.contains("u-secret")) << f.fileName().toStdString();
            EXPECT_FALSE(all.contains("p-secret")) << f.fileName().toStdString();
        }
    }
    for (const std::string& line : sim.printedLines()) {
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;
    }
}

// A source longer than its 20-byte field, or a password outside Latin-1, is refused before
// anything reaches the receiver.
TEST_P(DataLinkOnTheSimulator, GprsSetThatCannotFitTheRecordSendsNothing) {
    start({"transmit_mode=0", "gprs_protocol=1", "gprs_port=2101", "gprs_address=10.0.0.7",
           "cors_source=MP0"});
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Net* net = page->netPanel();
    waitForQuery(page, net);
    struct Case {
        QString source;
        QString password;
        QString message;
    };
    const Case cases[] = {
        {QString(25, QLatin1Char('S')), QStringLiteral("pw"),
         QStringLiteral("Source is too long: at most 19 characters.")},
        {QStringLiteral("MP1"), QStringLiteral("пароль"),
         QStringLiteral("Please enter parameters!")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.toStdString() + " / " + c.password.toStdString());
        h->prompts.shown.clear();
        // The editors cap what is typed; a source comes in whole as the server store adds it.
        auto* sources = child<QComboBox>(net, "comboBox_sourceList");
        sources->addItem(c.source);
        sources->setCurrentIndex(sources->count() - 1);
        child<QLineEdit>(net, "lineEdit_psw")->setText(c.password);
        child<QLineEdit>(net, "lineEdit_guestName")->setText("user");
        trigger(page, "Set");
        EXPECT_EQ(promptTexts(), Strings{c.message.toStdString()});
        EXPECT_FALSE(page->anyTimerRunning());
    }
    // A query that goes out after the refusals is printed after anything they sent.
    trigger(page, "Get");
    ASSERT_TRUE(waitForMessages("Send_Radio_Frq", 2));
    for (const char* name : {"Set_Radio_Mdl", "Set_Gprs_Modle", "Set_Gprs_Ip", "Set_Gprs_Baseid",
                             "Set_Cors_Info_Auto", "Set_Gprs_CosMdl"}) {
        EXPECT_TRUE(messages(name).empty()) << name;
    }
}

// ---- APN.

TEST_P(DataLinkOnTheSimulator, WirelessConfigFillsAndWritesTheServiceRecord) {
    start({"apn=cmnet", "dial=*99#", "gprs_user=card", "gprs_password=pw1"});
    connect();
    auto* page = open<InlayNet>("WirelessConfig");
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(
        ShellHarness::waitFor([&] { return page->form()->apn()->text() == "cmnet"; }, kWait));
    EXPECT_EQ(page->form()->dialNumber()->text(), "*99#");
    EXPECT_EQ(page->form()->userName()->text(), "card");
    EXPECT_EQ(page->form()->password()->text(), "pw1");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return page->form()->apn()->isEnabled(); }, kWait));

    page->form()->apn()->setText("apn.ex");
    trigger(page, "Set");
    ASSERT_TRUE(waitForMessages("Set_Gprs_SvcInfo", 3));
    // APN, dial number, then user and password joined by a zero.
    EXPECT_EQ(messages("Set_Gprs_SvcInfo"),
              (Strings{"40 56 A9 06 00 61 70 6E 2E 65 78 F5", "40 58 A7 04 00 2A 39 39 23 B2",
                       "40 57 A8 08 00 63 61 72 64 00 70 77 31 95"}));
    EXPECT_TRUE(promptTexts().empty());

    // Read back, at the full query time: the set's frames still pace the line ahead of it.
    Varnok::setUiScale(1.0);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return page->form()->apn()->isEnabled(); }, kWait));
    page->form()->apn()->clear();
    trigger(page, "Get");
    ASSERT_TRUE(
        ShellHarness::waitFor([&] { return page->form()->apn()->text() == "apn.ex"; }, kWait));
}

// ---- A receiver that fails mid-query.

TEST_P(DataLinkOnTheSimulator, SilenceOrGarbageGivesOneWarningAndTheEditorsBack) {
    for (const char* mode : {"mode=silent", "mode=garbage"}) {
        SCOPED_TRACE(mode);
        start({"transmit_mode=0"});
        connect();
        std::string error;
        ASSERT_TRUE(sim.configure(mode, &error)) << error;
        h->prompts.shown.clear();
        auto* page = open<DataChain>("DataLink");
        ASSERT_NE(page, nullptr);
        auto* link = child<QComboBox>(page, "cbDataChain");
        trigger(page, "Get");
        ASSERT_TRUE(ShellHarness::waitFor([&] { return !h->prompts.shown.empty(); }, kWait));
        ASSERT_TRUE(ShellHarness::waitFor([&] { return link->isEnabled(); }, kWait));
        EXPECT_EQ(promptTexts(), Strings{"Failed to get data link type!"});
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        h->frame()->onCommand(QStringLiteral("Back"));
        dm().closePort();
        sim.stop();
    }
}

// A read whose mode never answers leaves no panel of an earlier read on screen, nor its
// questions running, and a Set then sends nothing.
TEST_P(DataLinkOnTheSimulator, AFailedModeReadHidesTheEarlierPanel) {
    start(kType8Radio);
    connect();
    auto* page = open<DataChain>("DataLink");
    ASSERT_NE(page, nullptr);
    Varnok::DataChain_Radio* radio = page->radioPanel();
    waitForQuery(page, radio);
    ASSERT_TRUE(radio->isVisible());
    std::string error;
    ASSERT_TRUE(sim.configure("mode=silent", &error)) << error;
    h->prompts.shown.clear();
    trigger(page, "Get");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !h->prompts.shown.empty(); }, kWait));
    EXPECT_EQ(promptTexts(), Strings{"Failed to get data link type!"});
    EXPECT_EQ(page->shownPanel(), nullptr);
    EXPECT_FALSE(radio->isVisible());
    EXPECT_FALSE(page->anyTimerRunning());
    h->prompts.shown.clear();
    trigger(page, "Set");
    EXPECT_EQ(promptTexts(), Strings{"Please enter parameters!"});
    ASSERT_TRUE(sim.configure("mode=normal", &error)) << error;
    trigger(page, "Get");
    ASSERT_TRUE(waitForMessages("Send_Radio_Power", 2));
    EXPECT_TRUE(messages("Set_Radio_Mdl").empty());
    EXPECT_TRUE(messages("Set_Radio_Frq").empty());
}

INSTANTIATE_TEST_SUITE_P(Links, DataLinkOnTheSimulator, ::testing::Values(Link::Tcp, Link::Pty),
                         linkName);

}  // namespace
