// The new-protocol data link page with its UHF radio and network panels, offscreen on the
// harness; the receiver's answers come through the fake session from another thread.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "datalink_test_support.h"
#include "datalink_widget.h"
#include "net_server_config.h"
#include "new_datalink_support.h"
#include "radio_widget.h"
#include "ui_datalink_widget.h"
#include "ui_radio_widget.h"
#include "ui_wireless_widget.h"
#include "wireless_widget.h"

using namespace varnok_test;
using Varnok::DataLinkWidget;
using Varnok::RadioWidget;
using Varnok::WirelessWidget;

namespace {

class NewDataLink : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            Varnok::registerPages();
            return true;
        }();
        (void)registered;
        h.makeFrame();
        h.connectAs(1);
        // Real lengths: the tests fire the panels' timers themselves.
        Varnok::setUiScale(1.0);
    }
    void TearDown() override {
        Varnok::setUiScale(0.0);
        resetRadio();
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
        }
    }

    DataLinkWidget* open() {
        h.frame()->onCommand("DataLink");
        h.deliver();
        auto* page = qobject_cast<DataLinkWidget*>(h.frame()->page("DataLink"));
        EXPECT_NE(page, nullptr);
        return page;
    }
    QAction* action(Varnok::Widget* page, const char* text) { return actionNamed(page, text); }
    std::vector<std::string> calls(const std::string& prefix) const {
        return h.callsStartingWith(prefix);
    }
    // Ends whatever query a panel runs, as its time-out would.
    void settle(DataLinkWidget* page) {
        if (page->radioPanel()->queryTimerId() > 0) {
            fireTimer(page->radioPanel(), page->radioPanel()->queryTimerId());
        }
        if (page->netPanel()->queryTimerId() > 0) {
            fireTimer(page->netPanel(), page->netPanel()->queryTimerId());
        }
        h.deliver();
    }
    // Mode 1 with the radio's main answers, the query ended.
    RadioWidget* openRadio(int module, float mhz = 455.0f) {
        EXPECT_TRUE(loadRadio(h, module));
        page_ = open();
        rx.mode(1);
        EXPECT_EQ(page_->shownPanel(), page_->radioPanel());
        rx.powerStatus(2);
        rx.protocol(1);
        rx.frequency(mhz);
        rx.power(10);
        rx.stepper(125);
        settle(page_);
        return page_->radioPanel();
    }
    static void pickAll(RadioWidget* r) {
        for (QComboBox* box : {r->form()->cbProtocol, r->form()->cbSpacing, r->form()->cbBaud,
                               r->form()->cbPower, r->form()->cbSen}) {
            if (box->currentIndex() < 0 && box->count() > 0) {
                box->setCurrentIndex(0);
            }
        }
    }
    static std::vector<std::string> items(const QComboBox* box) {
        std::vector<std::string> out;
        for (int i = 0; i < box->count(); ++i) {
            out.push_back(box->itemText(i).toStdString());
        }
        return out;
    }

    ShellHarness h;
    NewReceiver rx{h};
    DataLinkWidget* page_ = nullptr;
};

// First: in a fresh process no radio type has been loaded yet.
TEST_F(NewDataLink, RadioWithoutAKnownTypeWarnsAndAsksNothing) {
    ASSERT_FALSE(RadioConfig::instance().loaded());
    DataLinkWidget* page = open();
    h.clearCalls();
    rx.mode(1);
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get radio type!"});
    EXPECT_TRUE(calls("Send_Radio_").empty());
    EXPECT_FALSE(page->radioPanel()->anyTimerRunning());
}

TEST_F(NewDataLink, ModeAnswersChooseThePanelOrWarn) {
    ASSERT_TRUE(loadRadio(h, 5));
    DataLinkWidget* page = open();
    EXPECT_EQ(calls("Send_DataLink_Mode"), std::vector<std::string>{"Send_DataLink_Mode(null)"});
    rx.mode(7);  // neither panel
    EXPECT_EQ(page->shownPanel(), nullptr);
    struct Row {
        int mode;
        Varnok::Widget* panel;
        const char* warning;
    };
    const Row rows[] = {
        {1, page->radioPanel(), nullptr},
        {3, page->netPanel(), nullptr},
        {3, page->netPanel(), nullptr},  // the same answer again re-activates the panel
        // A link the page does not edit hides the panel of the earlier answer.
        {2, nullptr, "Current datalink type is GSM."},
        {3, page->netPanel(), nullptr},
        {4, nullptr, "Current datalink type is External Radio or PDA Network."},
        {3, page->netPanel(), nullptr},
        {7, nullptr, nullptr},
        {1, page->radioPanel(), nullptr},
    };
    for (const Row& r : rows) {
        h.prompts.shown.clear();
        h.clearCalls();
        ASSERT_TRUE(action(page, "Get")->isEnabled()) << r.mode;
        action(page, "Get")->trigger();
        EXPECT_EQ(page->form()->cbWorkMode->currentIndex(), -1);
        rx.mode(r.mode);
        EXPECT_EQ(page->shownPanel(), r.panel) << r.mode;
        if (r.warning) {
            EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{r.warning}) << r.mode;
            EXPECT_EQ(page->form()->cbWorkMode->currentIndex(), -1);
        } else if (r.mode == 3) {
            EXPECT_EQ(page->form()->cbWorkMode->currentData().toInt(), 3);
            EXPECT_EQ(calls("Send_NetLink_Server_Type").size(), 1u);
            EXPECT_FALSE(page->radioPanel()->anyTimerRunning());
        } else if (r.mode == 1) {
            EXPECT_EQ(page->form()->cbWorkMode->currentData().toInt(), 1);
            EXPECT_EQ(calls("Send_Radio_Protocol").size(), 1u);
            EXPECT_FALSE(page->netPanel()->anyTimerRunning());
        }
        settle(page);
        EXPECT_FALSE(overrideCursorSet()) << r.mode;
    }
}

TEST_F(NewDataLink, NoModeAnswerWarnsThenSetWithoutAModeIsRefused) {
    DataLinkWidget* page = open();
    EXPECT_FALSE(action(page, "Set")->isEnabled());
    Varnok::setUiScale(0.0);
    action(page, "Get")->trigger();
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }));
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get data link type!"});
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_EQ(page->shownPanel(), nullptr);
    EXPECT_TRUE(action(page, "Get")->isEnabled());
    h.prompts.shown.clear();
    h.clearCalls();
    ASSERT_TRUE(action(page, "Set")->isEnabled());
    action(page, "Set")->trigger();
    ASSERT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters."});
    EXPECT_EQ(h.prompts.shown[0].title, "Error");
    EXPECT_TRUE(calls("Send_").empty());
}

TEST_F(NewDataLink, LeavingDuringTheModeQueryLeavesNoWarning) {
    DataLinkWidget* page = open();
    EXPECT_TRUE(page->querying());
    h.frame()->close();
    h.deliver();
    EXPECT_FALSE(page->querying());
    EXPECT_FALSE(overrideCursorSet());
    rx.mode(3);  // a late answer reaches nothing
    EXPECT_EQ(page->shownPanel(), nullptr);
    EXPECT_TRUE(h.prompts.shown.empty());
}

TEST_F(NewDataLink, RadioValuesFollowTheSupportLevels) {
    struct Row {
        int module;
        bool type, spacing, baud, power, sensitivity, callSign;
        std::vector<std::string> protocols, spacings, powers;
        bool spacingEnabled, protocolEnabled;
    };
    const Row rows[] = {
        {5,
         true,
         true,
         true,
         true,
         true,
         true,
         {"ZOR", "TT450s", "3AS"},
         {"12.5 KHz", "25 KHz"},
         {"1 w", "2 w"},
         true,
         true},
        // Lists the file lacks leave their rows shown but empty and disabled.
        {1, false, true, true, true, false, false, {}, {}, {}, false, false},
        {3,
         false,
         true,
         true,
         true,
         false,
         false,
         {"ZOR", "Transparent"},
         {"12.5 KHz"},
         {},
         false,
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.module);
        h.prompts.shown.clear();
        RadioWidget* radio = openRadio(r.module);
        auto* f = radio->form();
        EXPECT_TRUE(h.prompts.shown.empty());
        EXPECT_EQ(!f->cbType->isHidden(), r.type);
        EXPECT_EQ(!f->cbSpacing->isHidden(), r.spacing);
        EXPECT_EQ(!f->lblKHz->isHidden(), r.spacing);
        EXPECT_EQ(!f->cbBaud->isHidden(), r.baud);
        EXPECT_EQ(!f->cbPower->isHidden(), r.power);
        EXPECT_EQ(!f->cbSen->isHidden(), r.sensitivity);
        EXPECT_EQ(!f->pbCallSign->isHidden(), r.callSign);
        EXPECT_TRUE(f->cbFEC->isHidden());  // protocol ZOR: no FEC
        EXPECT_EQ(items(f->cbProtocol), r.protocols);
        if (r.spacing) {
            EXPECT_EQ(items(f->cbSpacing), r.spacings);
            EXPECT_EQ(f->cbSpacing->isEnabled(), r.spacingEnabled);
        }
        if (r.power) {
            EXPECT_EQ(items(f->cbPower), r.powers);
            EXPECT_EQ(f->cbPower->currentText(), r.powers.empty() ? "" : "1 w");
            EXPECT_EQ(f->cbPower->isEnabled(), !r.powers.empty());
        }
        EXPECT_EQ(f->cbProtocol->isEnabled(), r.protocolEnabled);
        if (!r.protocols.empty()) {
            EXPECT_EQ(f->cbProtocol->currentText(), "ZOR");
        }
        EXPECT_EQ(f->leRange->text(), r.module == 5 ? "410--470 MHz" : "450--470 MHz");
        EXPECT_NEAR(f->sbFreq->value(), 455.0, 1e-4);
        EXPECT_FALSE(f->lblStatus->isHidden());
        EXPECT_EQ(f->lblStatus->text(), "Power Status: ON");
        EXPECT_TRUE(f->cbPowerOn->isChecked());
        EXPECT_TRUE(f->groupBox->isEnabled());
        EXPECT_TRUE(action(page_, "Set")->isEnabled());
        if (r.type) {
            EXPECT_EQ(items(f->cbType), (std::vector<std::string>{
                                            "450 -- 470 MHz", "430 -- 450 MHz", "410 -- 430 MHz"}));
            EXPECT_EQ(f->cbType->currentData().toInt(), 1);
        }
        // 3AS shows and checks FEC where the radio has it.
        if (r.module == 5) {
            f->cbProtocol->setCurrentIndex(2);
            EXPECT_FALSE(f->cbFEC->isHidden());
            EXPECT_TRUE(f->cbFEC->isChecked());
            f->cbProtocol->setCurrentIndex(0);
            EXPECT_TRUE(f->cbFEC->isHidden());
            EXPECT_FALSE(f->cbFEC->isChecked());
        }
        h.frame()->close();
        h.deliver();
    }
}

TEST_F(NewDataLink, ApplyOnABareRadioSendsModePowerOnAndFrequencyOnly) {
    RadioWidget* radio = openRadio(1);
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(h.calls(),
              (std::vector<std::string>{"Send_DataLink_Mode(&1)", "Send_Radio_Auto_Power_On(&0)",
                                        "Send_Radio_Frequency(&455)"}));
    // Busy until the set's time ends.
    EXPECT_FALSE(action(page_, "Set")->isEnabled());
    fireTimer(radio, radio->setTimerId());
    EXPECT_TRUE(action(page_, "Set")->isEnabled());
    EXPECT_FALSE(overrideCursorSet());
}

TEST_F(NewDataLink, ApplyRefusesMissingChoicesAndAZeroFrequency) {
    RadioWidget* radio = openRadio(5);
    auto* f = radio->form();
    f->cbPower->setCurrentIndex(-1);
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters."});
    EXPECT_EQ(h.prompts.shown[0].title, "Error");
    EXPECT_TRUE(calls("Send_").empty());
    EXPECT_EQ(radio->setTimerId(), -1);

    // Module 5 locks the air baud: without a reported rate none is chosen, and none is sent
    // (never a rate of 0).
    h.prompts.shown.clear();
    f->cbPower->setCurrentIndex(1);
    f->cbSen->setCurrentIndex(0);
    EXPECT_FALSE(f->cbBaud->isEnabled());
    EXPECT_EQ(f->cbBaud->currentIndex(), -1);
    action(page_, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_TRUE(calls("Send_Radio_Air_Baud").empty());
    EXPECT_EQ(calls("Send_Radio_Power"), std::vector<std::string>{"Send_Radio_Power(&20)"});
    EXPECT_EQ(calls("Send_Radio_Stepper"), std::vector<std::string>{"Send_Radio_Stepper(&125)"});
}

TEST_F(NewDataLink, CallSignGoesOutOnlyWhenReadOrEdited) {
    const std::string full16(16, 'Q');
    std::vector<std::string> sent;
    h.script().answer<void(const QX_RADIO_CALLSIGN_STRUCT*)>(
        "Send_Radio_Callsign", [&sent](const QX_RADIO_CALLSIGN_STRUCT* c) {
            if (c) {  // null is the query
                sent.emplace_back(reinterpret_cast<const char*>(c), sizeof *c);
            }
        });
    RadioWidget* radio = openRadio(5);
    pickAll(radio);
    // No call sign answer this visit: none is sent.
    action(page_, "Set")->trigger();
    EXPECT_TRUE(sent.empty());
    fireTimer(radio, radio->setTimerId());

    // Read from the radio, then the page's Ok with seventeen characters: sixteen go out.
    QX_RADIO_CALLSIGN_STRUCT c{};
    c.b1 = 1;
    c.b2 = 10;
    std::memcpy(c.text, "OLD", 3);
    action(page_, "Get")->trigger();
    rx.mode(1);
    rx.powerStatus(2);
    rx.protocol(1);
    rx.frequency(455.0f);
    rx.callsign(c);
    settle(page_);
    pickAll(radio);
    radio->form()->pbCallSign->click();
    h.deliver();
    ASSERT_NE(h.frame()->currentPage(), page_);
    EXPECT_EQ(page_->values().value("CSMessage").toString(), "OLD");
    EXPECT_EQ(page_->values().value("CSInterval").toInt(), 10);
    h.frame()->close();  // Back: the call sign page hands over nothing
    h.deliver();
    ASSERT_EQ(h.frame()->currentPage(), page_);
    EXPECT_TRUE(calls("Send_DataLink_Mode(null)").size() <= 2u);
    action(page_, "Set")->trigger();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].substr(2, 4), std::string("OLD\0", 4));
    EXPECT_EQ(sent[0][1], 10);
    fireTimer(radio, radio->setTimerId());

    radio->form()->pbCallSign->click();
    h.deliver();
    page_->setParams({{"CSState", true},
                      {"CSInterval", 300},
                      {"CSMessage", QString(17, 'Q')},
                      {"CSLength", 17},
                      {"InSetting", true}},
                     nullptr);
    h.frame()->close();
    h.deliver();
    action(page_, "Set")->trigger();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1][0], 1);
    EXPECT_EQ(static_cast<unsigned char>(sent[1][1]), 44);
    EXPECT_EQ(sent[1].substr(2, 16), full16);
    EXPECT_EQ(sent[1][18], 0);
}

int timersOf(QObject* o) {
    return static_cast<int>(QAbstractEventDispatcher::instance()->registeredTimers(o).size());
}

TEST_F(NewDataLink, PowerSwitchPollsOnceAndReportsAFailedSwitch) {
    RadioWidget* radio = openRadio(5);
    EXPECT_EQ(timersOf(radio), 0);
    auto* box = radio->form()->cbPowerOn;
    EXPECT_TRUE(box->isChecked());
    // Off, and the radio reports off: the switch ends quietly.
    box->click();
    EXPECT_EQ(radio->form()->lblStatus->text(), "Power Status: Powering off...");
    EXPECT_FALSE(action(page_, "Set")->isEnabled());
    EXPECT_FALSE(box->isEnabled());  // busy: no second click meanwhile
    rx.powerStatus(3);
    fireTimer(radio, radio->switchTimerId());
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_FALSE(action(page_, "Set")->isEnabled());  // a radio that is off cannot be set
    EXPECT_TRUE(action(page_, "Get")->isEnabled());
    EXPECT_EQ(timersOf(radio), 1);  // the poll runs on

    // On, but the radio stays off: warned, and the box goes back.
    box->click();
    EXPECT_EQ(radio->form()->lblStatus->text(), "Power Status: Powering on...");
    EXPECT_EQ(timersOf(radio), 2);  // one poll and the check, not a second poll
    h.clearCalls();
    fireTimer(radio, radio->pollTimerId());
    EXPECT_EQ(calls("Send_Radio_Power_Status_Query").size(), 1u);
    rx.powerStatus(3);
    EXPECT_EQ(radio->form()->lblStatus->text(), "Power Status: Powering on...");
    fireTimer(radio, radio->switchTimerId());
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to power on radio"});
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(radio->form()->groupBox->isEnabled());
    EXPECT_FALSE(action(page_, "Set")->isEnabled());
    EXPECT_FALSE(overrideCursorSet());

    // On for good: the box stays checked and Set comes back.
    box->click();
    rx.powerStatus(2);
    fireTimer(radio, radio->switchTimerId());
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(radio->form()->groupBox->isEnabled());
    EXPECT_TRUE(action(page_, "Set")->isEnabled());
    EXPECT_EQ(timersOf(radio), 1);

    // Switching to the network panel stops the poll; so does leaving.
    action(page_, "Get")->trigger();
    rx.mode(3);
    EXPECT_EQ(page_->shownPanel(), page_->netPanel());
    EXPECT_EQ(timersOf(radio), 0);
    h.frame()->close();
    h.deliver();
    EXPECT_EQ(timersOf(page_->netPanel()), 0);
    EXPECT_FALSE(overrideCursorSet());
}

TEST_F(NewDataLink, ChannelsFrequencyTypeAndTheGrid) {
    RadioConfig& rc = RadioConfig::instance();
    rc.setChannelTable({{455.05, 1}, {456.05, 1}}, 0);
    rc.setChannelTable({{440.5, 1}}, 1);
    RadioWidget* radio = openRadio(5, 456.05f);
    auto* f = radio->form();
    EXPECT_EQ(items(f->cbChannel), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(f->cbChannel->currentIndex(), 2);  // the float frequency matches channel 2
    EXPECT_FALSE(f->sbFreq->isEnabled());
    f->cbChannel->setCurrentIndex(0);
    EXPECT_TRUE(f->sbFreq->isEnabled());
    f->sbFreq->setValue(455.05);
    EXPECT_EQ(f->cbChannel->currentIndex(), 1);
    f->cbChannel->setCurrentIndex(0);
    // Off the grid: leaving the editor snaps to the nearer channel of 12.5 kHz from 410.
    const std::pair<double, double> snaps[] = {{450.0130, 450.0125}, {450.0190, 450.0250}};
    for (const auto& [typed, snapped] : snaps) {
        f->sbFreq->setValue(typed);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(f->sbFreq, &leave);
        EXPECT_NEAR(f->sbFreq->value(), snapped, 1e-6) << typed;
    }
    // The middle type refills the channels with that band only.
    f->cbType->setCurrentIndex(f->cbType->findData(2));
    EXPECT_EQ(items(f->cbChannel), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(radio->channels(), (std::vector<double>{0.0, 440.5}));
    // The low band is empty: channel 0 only, and no list index is read past the end.
    f->cbType->setCurrentIndex(f->cbType->findData(3));
    EXPECT_EQ(items(f->cbChannel), (std::vector<std::string>{"0"}));
}

// ---- Network panel.

class NewNetLink : public NewDataLink {
protected:
    WirelessWidget* openNet() {
        page_ = open();
        rx.mode(3);
        EXPECT_EQ(page_->shownPanel(), page_->netPanel());
        return page_->netPanel();
    }
    static QX_IP_ADDRESS_STRUCT address(std::uint32_t a, std::uint16_t port) {
        QX_IP_ADDRESS_STRUCT r{};
        r.address = a;
        r.port = port;
        return r;
    }
};

TEST_F(NewNetLink, StoredServersAppearOnceUnderTheirTypes) {
    NetServerConfig& store = NetServerConfig::instance();
    for (const auto& [name, code] : std::vector<std::pair<QString, int>>{
             {"orlo", 0}, {"ntrip", 1}, {"tcp", 3}, {"multi", 2}}) {
        NetServer s;
        s.name = name;
        s.protocol = code;
        s.address = "10.0.0.1";
        s.port = 2101;
        store.addServer(s);
    }
    WirelessWidget* net = openNet();
    auto* f = net->form();
    EXPECT_EQ(items(f->cbServer), (std::vector<std::string>{"<New>", "ntrip", "orlo", "tcp"}));
    EXPECT_EQ(items(f->cbProtocol),
              (std::vector<std::string>{"Ntrip Client", "ORLO Base", "ORLO Rover", "TCP Direct"}));
    // A stored ORLO server loads as ORLO Rover, with the base ID row.
    f->cbServer->setCurrentIndex(2);
    EXPECT_EQ(f->cbProtocol->currentText(), "ORLO Rover");
    EXPECT_EQ(f->lblSource->text(), "BaseID:");
    EXPECT_FALSE(f->leBaseID->isHidden());
    EXPECT_TRUE(f->cbSource->isHidden());
    EXPECT_TRUE(f->leUserName->isHidden());
    f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(5));
    EXPECT_TRUE(f->lblSource->isHidden());
    EXPECT_TRUE(f->cbAutoLogin->isHidden());
    f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(2));
    EXPECT_FALSE(f->tbGetSource->isHidden());
}

TEST_F(NewNetLink, AnswersFillTheEditorsAndMissingLoginModeEndsSilently) {
    WirelessWidget* net = openNet();
    auto* f = net->form();
    QX_CORS_DATA_SOURCE_STRUCT source;
    std::memset(source.source, 'M', sizeof source.source);  // no terminator
    QX_ACCOUNT_STRUCT account;
    std::memset(account.user, 'u', sizeof account.user);
    std::memset(account.password, 'p', sizeof account.password);
    rx.serverType(2);
    rx.address(address(0xC0A80114u, 2101));
    rx.source(source);
    rx.account(account);
    EXPECT_TRUE(overrideCursorSet());
    fireTimer(net, net->queryTimerId());
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_EQ(f->cbProtocol->currentText(), "Ntrip Client");
    EXPECT_EQ(f->leAddress->text(), "192.168.1.20");
    EXPECT_EQ(f->lePort->text(), "2101");
    // Shown whole as the fields hold them; Set refuses what a field cannot take back.
    EXPECT_EQ(f->cbSource->currentText(), QString(20, 'M'));
    EXPECT_EQ(f->leUserName->text(), QString(50, 'u'));
    EXPECT_EQ(f->lePsw->text(), QString(20, 'p'));
    EXPECT_TRUE(action(page_, "Set")->isEnabled());
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts),
              std::vector<QString>{"Source is too long: at most 19 characters."});
    EXPECT_TRUE(calls("Send_").empty());
    h.prompts.shown.clear();

    // All five answers end the wait at once.
    action(page_, "Get")->trigger();
    rx.mode(3);
    rx.serverType(3);
    rx.address(address(0x0A000001u, 9000));
    std::memcpy(source.source, "BASE7\0", 6);
    rx.source(source);
    rx.account(QX_ACCOUNT_STRUCT{});
    rx.autoOpen(1);
    EXPECT_FALSE(net->anyTimerRunning());
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_EQ(f->leBaseID->text(), "BASE7");
    EXPECT_TRUE(f->cbAutoLogin->isChecked());
}

// Items the query never answered (here the account and the login mode) are left out of an
// untouched Set, so what the editors show empty is not written over the receiver's; once
// edited they go out.
TEST_F(NewNetLink, UnansweredItemsAreLeftOutUntilEdited) {
    WirelessWidget* net = openNet();
    auto* f = net->form();
    QX_CORS_DATA_SOURCE_STRUCT source{};
    std::memcpy(source.source, "MP1", 3);
    rx.serverType(2);
    rx.address(address(0xC0A80114u, 2101));
    rx.source(source);
    fireTimer(net, net->queryTimerId());
    EXPECT_TRUE(h.prompts.shown.empty());
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(calls("Send_"), (std::vector<std::string>{
                                  "Send_DataLink_Mode(&3)", "Send_NetLink_Server_Type(&2)",
                                  "Send_NetLink_Address(&{})", "Send_NetLink_Data_Source(&{})"}));
    fireTimer(net, net->pauseTimerId());
    f->leUserName->setText("rover");
    f->cbAutoLogin->click();
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_EQ(calls("Send_"), (std::vector<std::string>{
                                  "Send_DataLink_Mode(&3)", "Send_NetLink_Server_Type(&2)",
                                  "Send_NetLink_Address(&{})", "Send_NetLink_Data_Source(&{})",
                                  "Send_NetLink_Account(&{})", "Send_NetLink_Auto_Open(&1)"}));
}

TEST_F(NewNetLink, NoAnswerWarns) {
    WirelessWidget* net = openNet();
    fireTimer(net, net->queryTimerId());
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get parameters!"});
}

TEST_F(NewNetLink, SetSendsExactRecordsAndSavesTheServer) {
    QX_IP_ADDRESS_STRUCT sentAddress{};
    QX_CORS_DATA_SOURCE_STRUCT sentSource{};
    QX_ACCOUNT_STRUCT sentAccount{};
    h.script().answer<void(const QX_IP_ADDRESS_STRUCT*)>("Send_NetLink_Address",
                                                         [&](const QX_IP_ADDRESS_STRUCT* a) {
                                                             if (a)
                                                                 sentAddress = *a;
                                                         });
    h.script().answer<void(const QX_CORS_DATA_SOURCE_STRUCT*)>(
        "Send_NetLink_Data_Source", [&](const QX_CORS_DATA_SOURCE_STRUCT* s) {
            if (s)
                sentSource = *s;
        });
    h.script().answer<void(const QX_ACCOUNT_STRUCT*)>("Send_NetLink_Account",
                                                      [&](const QX_ACCOUNT_STRUCT* a) {
                                                          if (a)
                                                              sentAccount = *a;
                                                      });
    WirelessWidget* net = openNet();
    fireTimer(net, net->queryTimerId());
    h.prompts.shown.clear();
    auto* f = net->form();
    f->cbServer->setEditText("caster");
    EXPECT_TRUE(f->cbSave->isChecked());
    f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(2));
    f->leAddress->setText("192.168.1.20");
    f->lePort->setText("2101");
    f->cbSource->setEditText("MP1");
    f->cbSource->lineEdit()->editingFinished();
    f->leUserName->setText("u-secret");
    f->lePsw->setText("p-secret");
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    // The auto-open flag was never read nor changed: left out.
    EXPECT_EQ(calls("Send_"), (std::vector<std::string>{
                                  "Send_DataLink_Mode(&3)", "Send_NetLink_Server_Type(&2)",
                                  "Send_NetLink_Address(&{})", "Send_NetLink_Data_Source(&{})",
                                  "Send_NetLink_Account(&{})"}));
    EXPECT_EQ(sentAddress.address, 0xC0A80114u);
    EXPECT_EQ(sentAddress.port, 2101);
    EXPECT_EQ(sentAddress.flag, 0);
    EXPECT_EQ(std::string(sentSource.source), "MP1");
    EXPECT_EQ(std::string(sentAccount.user), "u-secret");
    EXPECT_EQ(std::string(sentAccount.password), "p-secret");
    EXPECT_EQ(sentAccount.user[8], 0);
    EXPECT_EQ(net->operationState(), 1);
    EXPECT_FALSE(action(page_, "Set")->isEnabled());
    fireTimer(net, net->pauseTimerId());
    EXPECT_TRUE(action(page_, "Set")->isEnabled());
    // Saved once, with its source.
    QStringList names;
    QList<int> keys;
    NetServerConfig::instance().readServerList(names, keys, 1);
    EXPECT_EQ(names, QStringList{"caster"});
    NetServer stored;
    ASSERT_TRUE(NetServerConfig::instance().serverByKey(stored, keys.value(0, -1)));
    EXPECT_EQ(stored.sources, QStringList{"MP1"});
    EXPECT_EQ(stored.password, "p-secret");
}

TEST_F(NewNetLink, BadInputIsMarkedAndNothingIsSent) {
    WirelessWidget* net = openNet();
    fireTimer(net, net->queryTimerId());
    auto* f = net->form();
    struct Row {
        const char* name;
        QString address, port, user;
        QString message = "Please enter parameters.";
    };
    const Row rows[] = {
        {"host name", "foo", "2101", "u"},
        {"three numbers", "1.2.3", "2101", "u"},
        {"port over 65535", "192.168.1.20", "70000", "u"},
        {"port 0", "192.168.1.20", "0", "u"},
        {"ten Cyrillic letters", "192.168.1.20", "2101", QString::fromUtf8("абвгдежзий"),
         "User Name is too long: at most 19 characters."},
    };
    for (const Row& r : rows) {
        h.prompts.shown.clear();
        f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(2));
        f->leAddress->setText(r.address);
        f->lePort->setText(r.port);
        f->cbSource->setEditText("MP1");
        f->leUserName->setText(r.user);
        h.clearCalls();
        action(page_, "Set")->trigger();
        EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{r.message}) << r.name;
        EXPECT_TRUE(calls("Send_").empty()) << r.name;
        EXPECT_EQ(net->operationState(), 0) << r.name;
    }
    // The port editor takes no more than a port.
    f->lePort->clear();
    f->lePort->insert("70000");
    EXPECT_NE(f->lePort->text(), "70000");
}

// A stored or typed text over its 19-character receiver field is refused with a message
// naming the field: never sent cut, never saved back cut. One at the limit goes out whole.
TEST_F(NewNetLink, TextsOverTheirFieldAreRefusedNeverCutIntoTheStore) {
    NetServerConfig& store = NetServerConfig::instance();
    NetServer s;
    s.name = "caster";
    s.protocol = 1;
    s.address = "10.0.0.1";
    s.port = 2101;
    s.user = QString(19, 'u');
    s.password = QString(25, 'p');
    s.sources = QStringList{QString(19, 'M')};
    const int key = store.addServer(s);
    QX_ACCOUNT_STRUCT sentAccount{};
    QX_CORS_DATA_SOURCE_STRUCT sentSource{};
    h.script().answer<void(const QX_ACCOUNT_STRUCT*)>("Send_NetLink_Account",
                                                      [&](const QX_ACCOUNT_STRUCT* a) {
                                                          if (a)
                                                              sentAccount = *a;
                                                      });
    h.script().answer<void(const QX_CORS_DATA_SOURCE_STRUCT*)>(
        "Send_NetLink_Data_Source", [&](const QX_CORS_DATA_SOURCE_STRUCT* d) {
            if (d)
                sentSource = *d;
        });
    WirelessWidget* net = openNet();
    fireTimer(net, net->queryTimerId());
    h.prompts.shown.clear();
    auto* f = net->form();
    f->cbServer->setCurrentIndex(f->cbServer->findText("caster"));
    f->cbSource->setCurrentIndex(0);
    ASSERT_TRUE(f->cbSave->isChecked());
    EXPECT_EQ(f->lePsw->text(), QString(25, 'p'));  // shown whole
    h.clearCalls();
    action(page_, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts),
              std::vector<QString>{"Password is too long: at most 19 characters."});
    EXPECT_TRUE(calls("Send_").empty());
    NetServer kept;
    ASSERT_TRUE(store.serverByKey(kept, key));
    EXPECT_EQ(kept.password, QString(25, 'p'));

    // A typed base ID one over its field is refused the same way.
    h.prompts.shown.clear();
    f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(3));
    f->leBaseID->setText(QString(20, 'B'));
    action(page_, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts),
              std::vector<QString>{"BaseID is too long: at most 19 characters."});
    EXPECT_TRUE(calls("Send_").empty());

    // At the limit everything goes out and is stored as typed.
    h.prompts.shown.clear();
    f->cbProtocol->setCurrentIndex(f->cbProtocol->findData(2));
    f->cbSource->setCurrentIndex(0);
    f->lePsw->setText(QString(19, 'p'));
    action(page_, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(std::string(sentSource.source), std::string(19, 'M'));
    EXPECT_EQ(std::string(sentAccount.user), std::string(19, 'u'));
    EXPECT_EQ(std::string(sentAccount.password), std::string(19, 'p'));
    ASSERT_TRUE(store.serverByKey(kept, key));
    EXPECT_EQ(kept.password, QString(19, 'p'));
}

TEST_F(NewNetLink, RenamingOntoAnotherServerIsRefused) {
    NetServerConfig& store = NetServerConfig::instance();
    for (const char* name : {"alpha", "beta"}) {
        NetServer s;
        s.name = name;
        s.protocol = 1;
        s.address = "10.0.0.1";
        s.port = 2101;
        s.sources = QStringList{"MP"};
        store.addServer(s);
    }
    WirelessWidget* net = openNet();
    fireTimer(net, net->queryTimerId());
    auto* f = net->form();
    f->cbServer->setCurrentIndex(f->cbServer->findText("alpha"));
    EXPECT_EQ(f->leAddress->text(), "10.0.0.1");
    f->cbSource->setCurrentIndex(0);
    f->cbServer->setEditText("beta");
    h.clearCalls();
    h.prompts.shown.clear();
    action(page_, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Server with the name exits."});
    EXPECT_TRUE(calls("Send_").empty());
    QStringList names;
    QList<int> keys;
    store.readServerList(names, keys, 1);
    EXPECT_EQ(names, (QStringList{"alpha", "beta"}));
}

}  // namespace
