// The radio channel page with login: reading the sixteen channels, editing after login, and
// writing back only what the user changed.
#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>

#include "radio_channel_widget_v2.h"
#include "radio_pages_fixture.h"

namespace varnok_test {
namespace {

using Varnok::RadioChannelWidget_V2;
using Strings = std::vector<std::string>;

constexpr std::uint32_t kSpacingBit = 0x10000;

struct SentFreq {
    int channel;
    double mhz;
    int space;
};

class ChannelPageV2 : public RadioPagesTest {
protected:
    // An old-protocol receiver with a channel table; its radio spans 450-470 MHz at 12.5 kHz.
    void connect(bool types, int radioType, bool passwordFile = true) {
        if (passwordFile) {
            ASSERT_TRUE(Varnok::PasswordStore::instance().write(QStringLiteral("secret")));
        }
        harness->connectAs(2, 0, true, true);
        // Reads wait for answers the test sends; a step that needs a timer to fire says so.
        Varnok::setUiScale(1.0);
        Varnok::DeviceManagerTestAccess::setRadioChannelTypes(dm(), types);
        Radio_Info& r = cache().radioInfo;
        r.lower = 450.0;
        r.upper = 470.0;
        r.spacing = 12.5;
        r.radioType = radioType;
        cache().radioRange = Radio_Range{470.0, 450.0, 12.5};
        harness->script().answer<void(int, double, Channel_Space)>(
            "Set_Radio_Channel_Freq", [this](int ch, double mhz, Channel_Space space) {
                sent.push_back({ch, mhz, static_cast<int>(space)});
            });
    }

    RadioChannelWidget_V2* openPage() {
        harness->clearCalls();
        page = open<RadioChannelWidget_V2>();
        return page;
    }

    // The receiver's answers: channel i at 455 MHz + i steps (channel 0 at 0 MHz), and types.
    void answerFreqs() {
        cache().channelFreqs.clear();
        for (int i = 0; i < 16; ++i) {
            cache().channelFreqs.push_back(i == 0 ? 0.0 : 36400.0 + i);
        }
        dm().announce(71);
        ShellHarness::deliver();
    }
    void answerTypes(std::vector<int> codes) {
        cache().channelTypes = std::move(codes);
        dm().announce(70);
        ShellHarness::deliver();
    }
    static std::vector<int> mixedTypes() {
        std::vector<int> codes;
        for (int i = 0; i < 16; ++i) {
            codes.push_back(i % 4);
        }
        return codes;
    }

    void login() {
        harness->prompts.answerNextDialog([](QDialog*) {
            Varnok::PasswordStore::instance().setLoggedIn(true);
            return int(QDialog::Accepted);
        });
        ASSERT_NE(page->loginAction(), nullptr);
        ASSERT_TRUE(page->loginAction()->isEnabled());
        page->loginAction()->trigger();
        ASSERT_EQ(harness->prompts.dialogsRun.size(), 1u);
    }

    static QString text(QDoubleSpinBox* e) { return e->text(); }

    RadioChannelWidget_V2* page = nullptr;
    std::vector<SentFreq> sent;
};

TEST_F(ChannelPageV2, LoggedOutTheTableIsReadOnlyAndSetStaysOff) {
    connect(true, 6);
    openPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->windowTitle(), "Radio Channel");
    EXPECT_EQ(frame->softKeys(), (QStringList{"Back", "|", "Login", "Set", "SIP"}));
    EXPECT_EQ(harness->calls(),
              (Strings{"Query_Radio_ChannelList_Freq()", "Query_Radio_ChannelList_Type()"}));
    answerFreqs();
    answerTypes(mixedTypes());
    EXPECT_FALSE(page->isQuerying());
    EXPECT_EQ(text(page->frequencyEditor(1)), "455.0125");
    EXPECT_FALSE(page->setAction()->isEnabled());
    EXPECT_TRUE(page->loginAction()->isEnabled());
    for (int ch = 0; ch < 16; ++ch) {
        EXPECT_FALSE(page->frequencyEditor(ch)->isEnabled()) << ch;
        EXPECT_FALSE(page->rxBox(ch)->isEnabled()) << ch;
    }
    EXPECT_FALSE(page->allRxBox()->isEnabled());
    page->onSet();
    EXPECT_TRUE(harness->callsStartingWith("Set_").empty());
}

TEST_F(ChannelPageV2, NoPasswordFileNoLogin) {
    connect(false, 6, false);
    openPage();
    EXPECT_EQ(page->loginAction(), nullptr);
    EXPECT_EQ(frame->softKeys(), (QStringList{"Back", "|", "Set", "SIP"}));
}

TEST_F(ChannelPageV2, ACompleteReadShowsStepCountsAndUse) {
    connect(true, 6);
    openPage();
    EXPECT_TRUE(page->holdsWaitCursor());
    EXPECT_FALSE(page->isEnabled());
    answerFreqs();
    EXPECT_TRUE(page->isQuerying());  // the types are still out
    EXPECT_EQ(text(page->frequencyEditor(1)), "");
    answerTypes(mixedTypes());
    EXPECT_FALSE(page->holdsWaitCursor());
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(page->propertyLabel()->isVisibleTo(page));
    EXPECT_TRUE(page->txBox(0)->isVisibleTo(page));
    EXPECT_EQ(text(page->frequencyEditor(15)), "455.1875");
    // Channel 0 at 0 MHz lies outside 450-470: shown as read and marked, not clamped.
    EXPECT_EQ(text(page->frequencyEditor(0)), "0.0000");
    EXPECT_TRUE(page->isOutsideRange(0));
    EXPECT_FALSE(page->isOutsideRange(1));
    for (int ch = 0; ch < 16; ++ch) {
        const int code = ch % 4;
        EXPECT_EQ(page->rxBox(ch)->isChecked(), code == 0 || code == 1) << ch;
        EXPECT_EQ(page->txBox(ch)->isChecked(), code == 0 || code == 2) << ch;
    }
    EXPECT_FALSE(page->allRxBox()->isChecked());
    EXPECT_FALSE(page->allTxBox()->isChecked());

    // A second visit reads again from an empty table.
    frame->onCommand(QStringLiteral("Connection"));
    frame->onCommand(QStringLiteral("RadioChannel"));
    EXPECT_EQ(text(page->frequencyEditor(1)), "");
    EXPECT_FALSE(page->rxBox(0)->isChecked());
}

TEST_F(ChannelPageV2, AfterLoginSetSendsFrequencyThenUseOfEveryChannelAsRead) {
    connect(true, 6);
    Varnok::PasswordStore::instance().setLoggedIn(true);
    openPage();
    answerFreqs();
    EXPECT_FALSE(page->setAction()->isEnabled());  // not all read yet
    answerTypes(mixedTypes());
    ASSERT_TRUE(page->setAction()->isEnabled());
    EXPECT_TRUE(page->frequencyEditor(3)->isEnabled());
    harness->clearCalls();
    Varnok::setUiScale(0.0);
    page->setAction()->trigger();
    const Strings calls = harness->calls();
    ASSERT_EQ(calls.size(), 32u);
    for (int ch = 0; ch < 16; ++ch) {
        EXPECT_EQ(calls[2 * ch].rfind("Set_Radio_Channel_Freq(" + std::to_string(ch) + ",", 0), 0u);
        EXPECT_EQ(calls[2 * ch + 1], "Set_Radio_Channel_Type(" + std::to_string(ch) + ", " +
                                         std::to_string(ch % 4) + ")");
    }
    ASSERT_EQ(sent.size(), 16u);
    EXPECT_EQ(sent[0].mhz, 0.0);
    for (int ch = 1; ch < 16; ++ch) {
        EXPECT_DOUBLE_EQ(sent[ch].mhz, (36400.0 + ch) * 0.0125) << ch;
        EXPECT_EQ(sent[ch].space, 0);
    }
    // Held for the set pause, then back.
    EXPECT_FALSE(page->isEnabled());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return page->isEnabled(); }));
    EXPECT_TRUE(page->setAction()->isEnabled());
    EXPECT_FALSE(page->holdsWaitCursor());
}

TEST_F(ChannelPageV2, AnEditedChannelIsSnappedToTheGridAndSentAlone) {
    connect(true, 6);
    openPage();
    answerFreqs();
    answerTypes(mixedTypes());
    login();
    QDoubleSpinBox* e = page->frequencyEditor(5);
    e->setValue(455.0100);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(e, &out);
    EXPECT_DOUBLE_EQ(e->value(), 455.0125);
    page->rxBox(4)->setChecked(false);  // receive and transmit becomes transmit only
    page->onSet();
    ASSERT_EQ(sent.size(), 16u);
    EXPECT_DOUBLE_EQ(sent[5].mhz, 455.0125);
    EXPECT_EQ(sent[0].mhz, 0.0);
    EXPECT_DOUBLE_EQ(sent[4].mhz, 36404 * 0.0125);
    EXPECT_EQ(harness->callsStartingWith("Set_Radio_Channel_Type(4,"),
              (Strings{"Set_Radio_Channel_Type(4, 2)"}));
}

TEST_F(ChannelPageV2, SnappingFollowsTheTwentyKilohertzStep) {
    connect(false, 3);
    cache().radioInfo.spacing = 20.0;
    openPage();
    answerFreqs();
    login();
    QDoubleSpinBox* e = page->frequencyEditor(2);
    QFocusEvent out(QEvent::FocusOut);
    const struct {
        double typed, expected;
    } cases[] = {{455.0100, 455.0000}, {455.0300, 455.0200}, {455.0400, 455.0400}};
    for (const auto& c : cases) {
        e->setValue(c.typed);
        QCoreApplication::sendEvent(e, &out);
        EXPECT_DOUBLE_EQ(e->value(), c.expected) << c.typed;
    }
    // A range without a whole step gives no grid: the typed value stays.
    cache().radioRange = Radio_Range{450.0, 450.0, 20.0};
    e->setValue(455.0110);
    QCoreApplication::sendEvent(e, &out);
    EXPECT_DOUBLE_EQ(e->value(), 455.0110);
    // The receiver's counts are of 20 kHz steps now.
    EXPECT_EQ(text(page->frequencyEditor(1)), "728.0200");
}

// Typed key by key, as a user does, and Set with the editor still focused: an on-grid value
// goes out as typed, an off-grid one is put on the grid in the editor before it goes out.
struct TypedFrequency {
    int channel;
    const char* typed;
    double sent;
};

class ChannelPageV2Typing : public ChannelPageV2 {
protected:
    void typeAndSet(double spacing, const std::vector<TypedFrequency>& cases) {
        connect(false, 3);
        cache().radioInfo.spacing = spacing;
        openPage();
        answerFreqs();
        login();
        for (const auto& c : cases) {
            QDoubleSpinBox* e = page->frequencyEditor(c.channel);
            e->findChild<QLineEdit*>()->selectAll();
            QTest::keyClick(e, Qt::Key_Backspace);
            QTest::keyClicks(e, QString::fromLatin1(c.typed));
        }
        page->onSet();
        ASSERT_EQ(sent.size(), 16u);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.typed) + " on channel " + std::to_string(c.channel));
            QDoubleSpinBox* e = page->frequencyEditor(c.channel);
            EXPECT_EQ(e->text().toStdString(), QString::number(c.sent, 'f', 4).toStdString());
            EXPECT_DOUBLE_EQ(sent[static_cast<size_t>(c.channel)].mhz, c.sent);
        }
    }
};

// Channel 0 (at 0 MHz) is outside the band and kept as read; at 20 kHz every count read is.
TEST_F(ChannelPageV2Typing, TwentyKilohertz) {
    typeAndSet(20.0, {{0, "463.02", 463.02}, {3, "455.04", 455.04}, {6, "463.025", 463.02}});
}

TEST_F(ChannelPageV2Typing, TwelveAndAHalfKilohertz) {
    typeAndSet(12.5, {{0, "457.0125", 457.0125},
                      {3, "457.0125", 457.0125},
                      {6, "457.03", 457.025},
                      {8, "460", 460.0}});
}

TEST_F(ChannelPageV2, WithoutTypesOnlyFrequenciesAreAskedShownAndSent) {
    connect(false, 3);
    openPage();
    EXPECT_EQ(harness->calls(), (Strings{"Query_Radio_ChannelList_Freq()"}));
    EXPECT_FALSE(page->propertyLabel()->isVisibleTo(page));
    EXPECT_FALSE(page->allRxBox()->isVisibleTo(page));
    EXPECT_FALSE(page->rxBox(0)->isVisibleTo(page));
    EXPECT_FALSE(page->txBox(0)->isVisibleTo(page));
    answerFreqs();
    login();
    harness->clearCalls();
    page->onSet();
    EXPECT_EQ(harness->calls().size(), 16u);
    EXPECT_TRUE(harness->callsStartingWith("Set_Radio_Channel_Type").empty());
}

TEST_F(ChannelPageV2, ARadioThatCannotTransmitHasNoTxColumn) {
    connect(true, 2);
    openPage();
    EXPECT_TRUE(page->rxBox(0)->isVisibleTo(page));
    EXPECT_FALSE(page->txBox(0)->isVisibleTo(page));
    EXPECT_FALSE(page->allTxBox()->isVisibleTo(page));
    answerFreqs();
    // Channels 14 and 15 report no use.
    std::vector<int> read = mixedTypes();
    read.resize(14);
    answerTypes(read);
    login();
    EXPECT_FALSE(page->allRxBox()->isChecked());
    page->rxBox(4)->setChecked(false);
    page->rxBox(5)->setChecked(false);
    page->rxBox(5)->setChecked(true);
    page->rxBox(6)->setChecked(true);
    page->rxBox(14)->setChecked(true);
    harness->clearCalls();
    page->onSet();
    // The hidden transmit bit goes back as read; the RX box sets the receive bit. A channel
    // with no use read counts as not transmitting.
    const struct {
        int channel;
        int code;
    } changed[] = {{4, 2}, {6, 0}, {14, 1}};
    Strings expected;
    for (int ch = 0; ch < 15; ++ch) {
        int code = ch % 4;
        for (const auto& c : changed) {
            code = c.channel == ch ? c.code : code;
        }
        expected.push_back("Set_Radio_Channel_Type(" + std::to_string(ch) + ", " +
                           std::to_string(code) + ")");
    }
    EXPECT_EQ(harness->callsStartingWith("Set_Radio_Channel_Type"), expected);
}

TEST_F(ChannelPageV2, AllRxChecksSixteenAndOneUncheckedClearsIt) {
    connect(true, 6);
    openPage();
    answerFreqs();
    answerTypes(std::vector<int>(16, 3));
    login();
    page->allRxBox()->setChecked(true);
    for (int ch = 0; ch < 16; ++ch) {
        EXPECT_TRUE(page->rxBox(ch)->isChecked()) << ch;
    }
    page->rxBox(7)->setChecked(false);
    EXPECT_FALSE(page->allRxBox()->isChecked());
    int checked = 0;
    for (int ch = 0; ch < 16; ++ch) {
        checked += page->rxBox(ch)->isChecked() ? 1 : 0;
    }
    EXPECT_EQ(checked, 15);
    page->rxBox(7)->setChecked(true);
    EXPECT_TRUE(page->allRxBox()->isChecked());
    page->allTxBox()->setChecked(true);
    page->onSet();
    EXPECT_EQ(harness->callsStartingWith("Set_Radio_Channel_Type(7,"),
              (Strings{"Set_Radio_Channel_Type(7, 0)"}));
}

TEST_F(ChannelPageV2, APartialReadLeavesSetOffAndSilenceWarns) {
    connect(true, 6);
    Varnok::PasswordStore::instance().setLoggedIn(true);
    openPage();
    answerFreqs();  // the types never come
    Varnok::setUiScale(0.0);
    page->onGet();
    answerFreqs();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    EXPECT_TRUE(page->isEnabled());
    EXPECT_FALSE(page->setAction()->isEnabled());
    EXPECT_EQ(text(page->frequencyEditor(1)), "");
    EXPECT_TRUE(harness->prompts.shown.empty());
    page->onSet();
    EXPECT_TRUE(sent.empty());

    page->onGet();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !page->isQuerying(); }));
    ASSERT_EQ(harness->prompts.shown.size(), 1u);
    EXPECT_EQ(harness->prompts.shown[0].text, "Failed to get parameters!");
    EXPECT_FALSE(page->setAction()->isEnabled());
    EXPECT_FALSE(page->holdsWaitCursor());
}

TEST_F(ChannelPageV2, ASettableSpacingIsAskedAndDecidesTheStep) {
    connect(false, 8);
    cache().radioInfo.wordC = kSpacingBit;
    openPage();
    EXPECT_EQ(harness->calls(),
              (Strings{"Send_Radio_ChannelSpace()", "Query_Radio_ChannelList_Freq()"}));
    answerFreqs();
    EXPECT_TRUE(page->isQuerying());
    cache().channelSpace = 1;
    dm().announce(20);
    ShellHarness::deliver();
    EXPECT_FALSE(page->isQuerying());
    EXPECT_EQ(text(page->frequencyEditor(1)), "728.0200");
    EXPECT_EQ(RadioChannelWidget_V2::spacingCode(), 1);
}

TEST_F(ChannelPageV2, AnswersAfterLeavingChangeNothing) {
    connect(true, 6);
    openPage();
    frame->onCommand(QStringLiteral("Connection"));
    answerFreqs();
    answerTypes(mixedTypes());
    EXPECT_EQ(text(page->frequencyEditor(1)), "");
    EXPECT_FALSE(page->holdsWaitCursor());
    EXPECT_TRUE(harness->prompts.shown.empty());
}

}  // namespace
}  // namespace varnok_test
