#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QCheckBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "callsign.h"
#include "datachain.h"
#include "datachain_net.h"
#include "datachain_radio.h"
#include "datalink_test_support.h"

using namespace varnok_test;
using Varnok::Callsign;
using Varnok::DataChain;
using Varnok::DataChain_Net;
using Varnok::DataChain_Radio;

namespace {

template <class T>
T* child(QObject* parent, const char* name) {
    T* w = parent->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

constexpr std::uint32_t kProtocols = (1u << 25) | (1u << 28) | (1u << 29) | (1u << 30);
constexpr std::uint32_t kSpacingAndCallsign = (1u << 16) | (1u << 23) | (1u << 24);

class DataLinkPage : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        if (!registered) {
            registered = true;
            Varnok::registerPages();
        }
        h.makeFrame();
        h.connectAs(5);
        // Real lengths: the page's time-outs must not end a query the test is answering.
        Varnok::setUiScale(1.0);
        rx.deviceInfo(0);
    }
    void TearDown() override { Varnok::setUiScale(0.0); }

    DataChain* open() {
        h.frame()->onCommand("DataLink");
        h.deliver();
        auto* page = qobject_cast<DataChain*>(h.frame()->page("DataLink"));
        EXPECT_NE(page, nullptr);
        return page;
    }
    QAction* action(Varnok::Widget* page, const QString& text) {
        for (QAction* a : page->actions()) {
            if (a->text() == text) {
                return a;
            }
        }
        return nullptr;
    }
    std::vector<std::string> calls(const std::string& prefix) const {
        return h.callsStartingWith(prefix);
    }

    ShellHarness h;
    OldReceiver rx{h};
};

TEST_F(DataLinkPage, ModeAnswerChoosesThePanelAndProtocol) {
    rx.radioInfo(kProtocols, 0, 0);
    DataChain* page = open();
    struct Row {
        int mode;
        int index;
        bool radio;
        QString protocol;
    };
    const Row rows[] = {{6, 1, true, "TT450s"},
                        {0, 0, false, ""},
                        {0, 0, false, ""},  // GPRS already shown: asked again
                        {99, 1, true, ""},
                        {1, 1, true, "ZOR"}};
    for (const Row& r : rows) {
        h.clearCalls();
        action(page, "Get")->trigger();
        EXPECT_EQ(child<QComboBox>(page, "cbDataChain")->currentIndex(), -1);
        rx.mode(r.mode, 455.0);
        EXPECT_EQ(child<QComboBox>(page, "cbDataChain")->currentIndex(), r.index) << r.mode;
        if (r.radio) {
            EXPECT_EQ(page->shownPanel(), page->radioPanel());
            EXPECT_EQ(
                child<QComboBox>(page->radioPanel(), "comboBox_protocol_radio")->currentText(),
                r.protocol);
        } else {
            EXPECT_EQ(page->shownPanel(), page->netPanel());
            EXPECT_EQ(calls("Send_Gprs_Info").size(), 1u);
            rx.wireless(WirelessInfo{});
            rx.cors(cors_info{});
            rx.loginMode(0);
        }
    }
    // A capability word with nothing to ask completes at once: no cursor, editors back.
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_TRUE(child<QComboBox>(page, "cbDataChain")->isEnabled());
    // No mode known (-1): nothing is chosen and the wait goes on.
    action(page, "Get")->trigger();
    rx.mode(-1, 455.0);
    EXPECT_EQ(child<QComboBox>(page, "cbDataChain")->currentIndex(), -1);
    EXPECT_TRUE(overrideCursorSet());
    rx.mode(6, 455.0);
    EXPECT_EQ(child<QComboBox>(page, "cbDataChain")->currentIndex(), 1);
    EXPECT_FALSE(overrideCursorSet());
}

TEST_F(DataLinkPage, NoModeAnswerWarnsOnceAndLeavesNoCursor) {
    DataChain* page = open();
    Varnok::setUiScale(0.0);
    action(page, "Get")->trigger();
    EXPECT_TRUE(overrideCursorSet());
    ASSERT_TRUE(h.waitFor([&] { return !h.prompts.shown.empty(); }));
    h.deliver();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Failed to get data link type!"});
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_TRUE(child<QComboBox>(page, "cbDataChain")->isEnabled());
    EXPECT_EQ(page->shownPanel(), nullptr);
}

TEST_F(DataLinkPage, LeavingMidQueryStopsEverything) {
    rx.radioInfo(kProtocols, (1u << 27) | (1u << 16), 0xF);
    DataChain* page = open();
    action(page, "Get")->trigger();
    rx.mode(1, 455.0);
    EXPECT_TRUE(overrideCursorSet());
    EXPECT_TRUE(page->anyTimerRunning());
    h.frame()->close();  // Back
    h.deliver();
    EXPECT_FALSE(overrideCursorSet());
    EXPECT_FALSE(page->anyTimerRunning());
    h.clearCalls();
    rx.mode(0, 455.0);  // a late answer reaches nothing
    EXPECT_TRUE(calls("Send_Gprs_Info").empty());
}

TEST_F(DataLinkPage, RadioSetKeepsAnUnreadCallSignAndAReported20kHzSpacing) {
    rx.radioInfo(kProtocols, kSpacingAndCallsign, 0);
    DataChain* page = open();
    rx.mode(1, 455.0);
    DataChain_Radio* radio = page->radioPanel();
    ASSERT_EQ(page->shownPanel(), radio);
    rx.spacing(1);  // 20 kHz: no item for it
    EXPECT_EQ(child<QComboBox>(radio, "comboBox_freqstep")->currentIndex(), -1);
    EXPECT_DOUBLE_EQ(radio->currentStep(), 0.02);
    EXPECT_FALSE(child<QComboBox>(radio, "comboBox_signalChannel_RX")->isEnabled());
    EXPECT_EQ(child<QComboBox>(radio, "comboBox_signalChannel_RX")->currentIndex(), 0);
    // Until the frequency is read again with the 20 kHz step none is known: Set refuses.
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters!"});
    EXPECT_TRUE(calls("Set_Radio").empty());
    h.prompts.shown.clear();
    rx.mode(1, 455.0);
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX")->value(), 455.0);
    // The call sign answer has not come: Set writes spacing 1 and no call sign.
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(calls("Set_Radio_ChannelSpace"),
              std::vector<std::string>{"Set_Radio_ChannelSpace(1)"});
    EXPECT_TRUE(calls("Set_Radio_Callsign").empty());

    Radio_Callsign c{};
    c.on = 1;
    c.interval = 10;
    std::memcpy(c.text, "ABC", 3);
    c.length = 3;
    rx.callsign(c);
    ASSERT_TRUE(h.waitFor([&] { return child<QComboBox>(page, "cbDataChain")->isEnabled(); }));
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(calls("Set_Radio_Callsign").size(), 1u);
}

TEST_F(DataLinkPage, FecIsWrittenOnlyOnceKnown) {
    rx.radioInfo(kProtocols | (1u << 31), (1u << 22) | (1u << 24), 0);
    DataChain* page = open();
    rx.mode(8, 455.0);  // 3AS shows the FEC box
    EXPECT_TRUE(child<QCheckBox>(page->radioPanel(), "checkBox_fec")->isVisible());
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(calls("Set_"), (std::vector<std::string>{"Set_Radio_Mdl(8)", "Set_Radio_Frq(455)"}));
    h.script().answer<void(bool&)>("Get_Radio_FEC", [](bool& on) { on = true; });
    rx.fire(0x10u);
    Varnok::setUiScale(0.0);
    ASSERT_TRUE(h.waitFor([&] { return page->radioPanel()->isEnabled(); }));
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(calls("Set_Radio_FEC"), std::vector<std::string>{"Set_Radio_FEC(true)"});
}

TEST_F(DataLinkPage, LeavingTheFrequencySnapsToTheGridAndChannelZeroLockHolds) {
    struct Row {
        double stepKHz;
        double typed;
        double snapped;
    };
    const Row rows[] = {{12.5, 455.0130, 455.0125}, {25, 455.0125, 455.0}, {25, 455.0, 455.0}};
    DataChain* page = nullptr;
    for (const Row& r : rows) {
        rx.radioInfo(kProtocols, 1u << 24, 0, 410, 470, r.stepKHz);
        if (!page) {
            page = open();
        } else {
            action(page, "Get")->trigger();
        }
        rx.mode(1, 455.0);
        QDoubleSpinBox* f =
            child<QDoubleSpinBox>(page->radioPanel(), "doubleSpinBox_currentFrq_RX");
        f->setEnabled(true);
        f->setValue(r.typed);
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(f, &out);
        EXPECT_NEAR(f->value(), r.snapped, 1e-9) << r.stepKHz << " " << r.typed;
    }
    // A range under one step has no grid: the value stays.
    rx.radioInfo(kProtocols, 1u << 24, 0, 455, 455.01, 25);
    action(page, "Get")->trigger();
    rx.mode(1, 455.0);
    QDoubleSpinBox* f = child<QDoubleSpinBox>(page->radioPanel(), "doubleSpinBox_currentFrq_RX");
    f->setEnabled(true);
    f->setValue(455.007);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(f, &out);
    EXPECT_NEAR(f->value(), 455.007, 1e-9);

    // Channel 0 of a receiver whose device record locks it keeps the editor off.
    rx.deviceInfo(0, 170);
    rx.radioInfo(kProtocols, 1u << 24, 0);
    action(page, "Get")->trigger();
    rx.mode(1, 455.0);
    QComboBox* channel = child<QComboBox>(page->radioPanel(), "comboBox_signalChannel_RX");
    ASSERT_GT(channel->count(), 1);
    channel->setCurrentIndex(1);
    EXPECT_FALSE(f->isEnabled());
    channel->setCurrentIndex(0);
    EXPECT_FALSE(f->isEnabled());
    rx.deviceInfo(0, 0);
    channel->setCurrentIndex(1);
    channel->setCurrentIndex(0);
    EXPECT_TRUE(f->isEnabled());

    // A value read off the grid stays as read when the editor is left, and an untouched Set
    // sends it as read; only a value the user changed is put on the grid.
    rx.radioInfo(kProtocols, 1u << 24, 0, 410, 470, 12.5);
    action(page, "Get")->trigger();
    rx.mode(1, 455.0130);
    ASSERT_TRUE(f->isEnabled());
    QApplication::sendEvent(f, &out);
    EXPECT_NEAR(f->value(), 455.0130, 1e-9);
    h.clearCalls();
    h.prompts.shown.clear();
    action(page, "Set")->trigger();
    EXPECT_TRUE(h.prompts.shown.empty());
    EXPECT_EQ(calls("Set_Radio_Frq"), std::vector<std::string>{"Set_Radio_Frq(455.013)"});
}

TEST_F(DataLinkPage, SpacingNeverAnsweredIsMissing) {
    rx.radioInfo(kProtocols, kSpacingAndCallsign, 0);
    DataChain* page = open();
    rx.mode(1, 455.0);
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters!"});
    EXPECT_TRUE(calls("Set_").empty());
}

TEST_F(DataLinkPage, FrequencyOnlyRadioCompletesAtOnceAndSendsModeAndFrequency) {
    rx.radioInfo(kProtocols, (1u << 24) | (1u << 25), 0);
    DataChain* page = open();
    h.clearCalls();
    rx.mode(6, 455.0);
    DataChain_Radio* radio = page->radioPanel();
    EXPECT_FALSE(child<QComboBox>(radio, "comboBox_sendPower")->isVisible());
    EXPECT_FALSE(child<QComboBox>(radio, "comboBox_sensitivity")->isVisible());
    EXPECT_FALSE(child<QComboBox>(radio, "comboBox_freqstep")->isVisible());
    EXPECT_FALSE(child<QPushButton>(radio, "pushButton_callsign")->isVisible());
    EXPECT_TRUE(calls("Send_Radio").empty());
    EXPECT_TRUE(child<QComboBox>(page, "cbDataChain")->isEnabled());
    EXPECT_DOUBLE_EQ(child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX")->value(), 455.0);
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(calls("Set_"), (std::vector<std::string>{"Set_Radio_Mdl(6)", "Set_Radio_Frq(455)"}));
}

TEST_F(DataLinkPage, RadioChecks) {
    rx.radioInfo(kProtocols, 1u << 24, 0);
    DataChain* page = open();
    DataChain_Radio* radio = page->radioPanel();
    // Nothing chosen yet.
    action(page, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters!"});
    h.prompts.shown.clear();
    rx.mode(99, 455.0);  // no item for it: no protocol
    action(page, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Please enter parameters!"});
    h.prompts.shown.clear();
    radio->selectProtocol(1);
    QDoubleSpinBox* f = child<QDoubleSpinBox>(radio, "doubleSpinBox_currentFrq_RX");
    f->setRange(0, 1000);  // as if the range were wider than the radio's
    f->setValue(400);
    h.clearCalls();
    action(page, "Set")->trigger();
    EXPECT_EQ(shownTexts(h.prompts), std::vector<QString>{"Radio frq is out of 410 - 470!"});
    EXPECT_EQ(h.prompts.shown.at(0).title, "Error");
    EXPECT_TRUE(calls("Set_").empty());
}

TEST_F(DataLinkPage, CallSignThroughTheFrame) {
    rx.radioInfo(kProtocols, (1u << 23) | (1u << 24), 0);
    DataChain* page = open();
    rx.mode(1, 455.0);
    Radio_Callsign c{};
    c.on = 1;
    c.interval = 10;
    std::memcpy(c.text, "ABC", 3);
    c.length = 3;
    rx.callsign(c);
    page->radioPanel()->callsignButton()->click();
    h.deliver();
    auto* cs = qobject_cast<Callsign*>(h.frame()->currentPage());
    ASSERT_NE(cs, nullptr);
    QLineEdit* message = cs->findChild<QLineEdit*>("lineEdit_callsign_message");
    EXPECT_EQ(message->text(), "ABC");
    EXPECT_EQ(cs->findChild<QLineEdit*>("lineEdit_callsign_interval")->text(), "10");
    EXPECT_EQ(cs->findChild<QComboBox*>("comboBox_callsign_state")->currentText(), "On");
    message->setText("XYZ12");
    h.clearCalls();
    action(cs, "Ok")->trigger();
    h.deliver();
    ASSERT_EQ(h.frame()->currentPage(), page);
    EXPECT_TRUE(calls("Send_Radio_Frq").empty());  // no query on the way back
    EXPECT_EQ(page->radioPanel()->callsign().length, 5);
    Varnok::setUiScale(0.0);  // the set's pause ends at once
    action(page, "Set")->trigger();
    ASSERT_EQ(calls("Set_Radio_Callsign").size(), 1u);
    ASSERT_TRUE(h.waitFor([&] { return page->radioPanel()->isEnabled(); }));
    EXPECT_FALSE(overrideCursorSet());
    Varnok::setUiScale(1.0);

    // Into the call sign page again, then Back: the old Ok is not handed on.
    page->radioPanel()->callsignButton()->click();
    h.deliver();
    h.clearCalls();
    h.frame()->close();
    h.deliver();
    ASSERT_EQ(h.frame()->currentPage(), page);
    EXPECT_EQ(calls("Send_Radio_Frq").size(), 1u);
    EXPECT_FALSE(page->radioPanel()->callsignValid());
}

TEST_F(DataLinkPage, SixteenCharacterMessageStopsAtTheField) {
    rx.radioInfo(kProtocols, (1u << 23) | (1u << 24), 0);
    DataChain* page = open();
    rx.mode(1, 455.0);
    Varnok::ValueHash hash{{"CSState", true},
                           {"CSInterval", 5},
                           {"CSMessage", QString(16, 'Q')},
                           {"CSLength", 16},
                           {"InSetting", true}};
    page->setParams(hash, nullptr);
    EXPECT_EQ(page->radioPanel()->callsign().length, 14);
    EXPECT_EQ(page->radioPanel()->callsign().interval, 5);
}

TEST(CallsignPage, FillsFromTheHashAndHandsBackOnOk) {
    ShellHarness h;
    Callsign page;
    page.setParams({{"CSState", 1}, {"CSInterval", 0}, {"CSMessage", "ABCDEF"}, {"CSLength", 3}},
                   nullptr);
    auto* message = page.findChild<QLineEdit*>("lineEdit_callsign_message");
    EXPECT_EQ(message->text(), "ABC");
    EXPECT_EQ(page.findChild<QComboBox*>("comboBox_callsign_state")->currentText(), "On");
    EXPECT_EQ(page.findChild<QLineEdit*>("lineEdit_callsign_interval")->text(), "0");
    // Typing: the validator refuses what the record cannot hold.
    const QValidator* v = message->validator();
    int pos = 0;
    QString text = QString::fromUtf8("Жук");
    EXPECT_NE(v->validate(text, pos), QValidator::Acceptable);
    text = QString::fromUtf8("Müller");
    EXPECT_EQ(v->validate(text, pos), QValidator::Acceptable);
    page.findChild<QLineEdit*>("lineEdit_callsign_interval")->setText("05");
    bool finished = false;
    QObject::connect(&page, &Callsign::finished, [&] { finished = true; });
    page.onBack();
    EXPECT_TRUE(finished);
    EXPECT_EQ(page.values().value("CSInterval").toInt(), 5);
    EXPECT_EQ(page.values().value("CSMessage").toString(), "ABC");
    EXPECT_EQ(page.values().value("CSLength").toInt(), 3);
    EXPECT_TRUE(page.values().value("InSetting").toBool());
    page.setParams({}, nullptr);
    EXPECT_TRUE(page.values().isEmpty());
}

// A call sign the receiver sent longer than its field comes in cut: shown as read and marked
// with a note, and Ok hands back only a message the user typed over it.
TEST(CallsignPage, CutCallSignIsMarkedAndOnlyATypedOneGoesBack) {
    ShellHarness h;
    Callsign page;
    auto* message = page.findChild<QLineEdit*>("lineEdit_callsign_message");
    auto* note = page.findChild<QLabel*>("label_callsign_cut");
    ASSERT_NE(note, nullptr);
    auto isRed = [](QWidget* w) { return w->palette().color(QPalette::Base) == Qt::red; };
    bool finished = false;
    QObject::connect(&page, &Callsign::finished, [&] { finished = true; });
    struct Case {
        bool cut;
        QString typed;  // empty: Ok on the text as shown
        bool handedBack;
    };
    const Case cases[] = {
        {true, "", false},
        {true, "BX7ABC", true},
        {false, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + (c.cut ? " cut" : " whole"));
        finished = false;
        h.prompts.shown.clear();
        page.setParams({{"CSState", 1},
                        {"CSInterval", 5},
                        {"CSMessage", "ABCDEFGHIJKLMN"},
                        {"CSLength", 14},
                        {"CSCut", c.cut}},
                       nullptr);
        EXPECT_EQ(message->text(), "ABCDEFGHIJKLMN");
        EXPECT_EQ(isRed(message), c.cut);
        EXPECT_EQ(!note->isHidden(), c.cut);
        if (c.cut) {
            EXPECT_EQ(note->text(), "The receiver's call sign is longer than 14 characters.");
        }
        if (!c.typed.isEmpty()) {
            message->setText(c.typed);
        }
        page.onBack();
        EXPECT_EQ(finished, c.handedBack);
        if (c.handedBack) {
            EXPECT_TRUE(h.prompts.shown.empty());
            EXPECT_EQ(page.values().value("CSMessage").toString(),
                      c.typed.isEmpty() ? "ABCDEFGHIJKLMN" : c.typed);
        } else {
            EXPECT_EQ(shownTexts(h.prompts),
                      std::vector<QString>{"Call sign message holds at most 14 characters!"});
            EXPECT_TRUE(page.values().isEmpty());
            EXPECT_TRUE(isRed(message));
        }
    }
}

}  // namespace
