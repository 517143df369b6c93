// The Wi-Fi tab: its query, power switch and Set, on the fake session.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui_wifi_config_widget.h"
#include "wireless_test_support.h"

namespace varnok_test {
namespace {

class WifiTabTest : public WirelessTest {
protected:
    // A completed query: access point, auto power, mode and power status.
    void answerQuery(const char* ssid = "FIELD-AP", int type = 2, const char* psw = "12345678",
                     int status = 2) {
        QX_WIFI_PARA_AP_STRUCT ap{};
        std::memcpy(ap.ssid, ssid, std::min<std::size_t>(std::strlen(ssid), 20));
        ap.value = static_cast<std::uint16_t>(type);
        std::memcpy(ap.password, psw, std::min<std::size_t>(std::strlen(psw), 20));
        cache().wifiParams = ap;
        cache().wifiStatus = status;
        cache().wifiMode = 1;
        cache().wifiAutoOpen = true;
        answer(47);
        answer(46);
        answer(45);
        answer(48);
    }
    Ui::WIFIConfigWidgetClass* f() const { return wifi()->form(); }
    QAction* setKey() const { return window()->setAction(); }
};

TEST_F(WifiTabTest, ShowingTheWindowQueriesWifiAndCompletesOnTheTwoAnswers) {
    connect();
    open();
    EXPECT_EQ(calls(), (std::vector<std::string>{"Send_WIFI_Power_Status_Query()",
                                                 "Send_WIFI_Param_AP(null)", "Send_WIFI_Mode(null)",
                                                 "Send_WIFI_Auto_Open(null)",
                                                 "Send_Modem_Dial_Status_Query()"}));
    EXPECT_TRUE(window()->holdsWaitCursor());
    EXPECT_FALSE(window()->getAction()->isEnabled());
    answerQuery();
    EXPECT_FALSE(wifi()->querying());
    EXPECT_FALSE(window()->holdsWaitCursor());
    EXPECT_TRUE(window()->getAction()->isEnabled());
    EXPECT_TRUE(setKey()->isEnabled());  // power on reported
    EXPECT_EQ(f()->leSSID->text(), "FIELD-AP");
    EXPECT_EQ(f()->cbPswType->currentData().toInt(), 2);
    EXPECT_EQ(f()->lePsw->text(), "12345678");
    EXPECT_TRUE(f()->cbPowerOn->isChecked());
    EXPECT_TRUE(f()->cbWifiAuto->isChecked());
    EXPECT_FALSE(f()->leSSID->isEnabled());
    EXPECT_TRUE(f()->lePsw->isEnabled());
    EXPECT_EQ(f()->lblStatus->text(), "WIFI Status: On");
    // After completion the status line follows, the box does not.
    cache().wifiStatus = 3;
    answer(47);
    EXPECT_EQ(f()->lblStatus->text(), "WIFI Status: OFF");
    EXPECT_TRUE(f()->cbPowerOn->isChecked());
}

TEST_F(WifiTabTest, PasswordMustBeEightToNineteenPrintableCharacters) {
    connect();
    open();
    answerQuery();
    // A twentieth character cannot be typed.
    f()->lePsw->clear();
    QTest::keyClicks(f()->lePsw, QString(20, QLatin1Char('z')));
    EXPECT_EQ(f()->lePsw->text().size(), 19);
    struct Case {
        QString password;
        bool sent;
    };
    const Case cases[] = {
        {QStringLiteral("1234567"), false},
        {QStringLiteral("12345678"), true},
        {QString(19, QLatin1Char('k')), true},
        {QString::fromUtf8("p\xc3\xa4sswort1"), false},
    };
    for (const Case& c : cases) {
        harness->clearCalls();
        harness->prompts.shown.clear();
        f()->lePsw->setText(c.password);
        wifi()->setInfo();
        EXPECT_EQ(count("Send_WIFI_Param_AP(&{})"), c.sent ? 1 : 0) << c.password.toStdString();
        EXPECT_EQ(harness->prompts.shown.empty(), c.sent) << c.password.toStdString();
        if (!c.sent) {
            EXPECT_EQ(harness->prompts.shown[0].title, "Error");
            EXPECT_EQ(harness->prompts.shown[0].text, "Parameters invalid!");
        }
        QTest::qWait(0);
    }
}

TEST_F(WifiTabTest, AnUnknownPasswordTypeIsRefusedUntilOneIsChosen) {
    connect();
    open();
    answerQuery("AP", 3);
    EXPECT_EQ(f()->cbPswType->currentIndex(), -1);
    harness->clearCalls();
    wifi()->setInfo();
    EXPECT_EQ(texts(), std::vector<QString>{"Parameters invalid!"});
    EXPECT_TRUE(calls().empty());
    f()->cbPswType->setCurrentIndex(0);
    wifi()->setInfo();
    EXPECT_EQ(count("Send_WIFI_Param_AP(&{})"), 1);
}

TEST_F(WifiTabTest, SetBeforeAnAccessPointAnswerIsRefused) {
    connect();
    open();
    // Only the auto-power answer: the SSID is unknown.
    cache().wifiAutoOpen = true;
    answer(48);
    f()->cbPswType->setCurrentIndex(1);
    f()->lePsw->setText("12345678");
    harness->clearCalls();
    wifi()->setInfo();
    EXPECT_EQ(texts(), std::vector<QString>{"Parameters invalid!"});
    EXPECT_TRUE(calls().empty());
}

TEST_F(WifiTabTest, ATwentyCharacterSsidGoesBackByteForByte) {
    connect();
    open();
    answerQuery("ABCDEFGHIJKLMNOPQRST", 1, "p-secret");
    EXPECT_EQ(f()->leSSID->text(), "ABCDEFGHIJKLMNOPQRST");
    QByteArray sent;
    harness->script().answer<void(const QX_WIFI_PARA_AP_STRUCT*)>(
        "Send_WIFI_Param_AP", [&sent](const QX_WIFI_PARA_AP_STRUCT* r) {
            sent = QByteArray(reinterpret_cast<const char*>(r), sizeof *r);
        });
    harness->clearCalls();
    wifi()->setInfo();
    EXPECT_EQ(calls(),
              (std::vector<std::string>{"Send_WIFI_Auto_Open(&1)", "Send_WIFI_Param_AP(&{})"}));
    ASSERT_EQ(sent.size(), 42);
    EXPECT_EQ(sent.left(20), QByteArray("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(sent.mid(22), QByteArray("p-secret") + QByteArray(12, '\0'));
}

TEST_F(WifiTabTest, SetWithPowerOffSendsNothingAndIsBusyForItsPause) {
    connect();
    open();
    answerQuery("AP", 1, "12345678", 3);
    EXPECT_FALSE(f()->cbPowerOn->isChecked());
    Varnok::setUiScale(0.01);
    QSignalSpy busy(wifi(), &Varnok::WIFIConfigWidget::busy);
    harness->clearCalls();
    wifi()->setInfo();
    ASSERT_EQ(busy.size(), 1);
    EXPECT_TRUE(busy[0][0].toBool());
    EXPECT_TRUE(window()->holdsWaitCursor());
    ASSERT_TRUE(ShellHarness::waitFor([&] { return busy.size() == 2; }));
    EXPECT_FALSE(busy[1][0].toBool());
    EXPECT_TRUE(calls().empty() ||
                calls() == std::vector<std::string>{"Send_Modem_Dial_Status_Query()"});
    EXPECT_EQ(count("Send_WIFI_Param_AP(&{})"), 0);
}

TEST_F(WifiTabTest, PowerOnNotConfirmedRevertsTheBoxAndWarns) {
    connect();
    open();
    answerQuery("AP", 1, "12345678", 3);
    Varnok::setUiScale(0.1);
    harness->clearCalls();
    QSignalSpy busy(wifi(), &Varnok::WIFIConfigWidget::busy);
    f()->cbPowerOn->click();
    EXPECT_EQ(f()->lblStatus->text(), "WIFI Status: Powering on...");
    // A second click runs no second poll.
    f()->cbPowerOn->click();
    f()->cbPowerOn->click();
    EXPECT_EQ(busy.size(), 1);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !wifi()->powering(); }));
    EXPECT_EQ(texts(), std::vector<QString>{"Failed to power on WIFI"});
    EXPECT_FALSE(f()->cbPowerOn->isChecked());
    ASSERT_EQ(busy.size(), 2);
    EXPECT_FALSE(window()->holdsWaitCursor());
    EXPECT_FALSE(setKey()->isEnabled());
}

TEST_F(WifiTabTest, PowerOnConfirmedKeepsTheBox) {
    connect();
    open();
    answerQuery("AP", 1, "12345678", 3);
    Varnok::setUiScale(0.3);
    f()->cbPowerOn->click();
    cache().wifiStatus = 2;
    answer(47);
    EXPECT_EQ(f()->lblStatus->text(), "WIFI Status: Powering on...");
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !wifi()->powering(); }));
    EXPECT_TRUE(texts().empty());
    EXPECT_TRUE(f()->cbPowerOn->isChecked());
    EXPECT_TRUE(f()->lePsw->isEnabled());
    EXPECT_GE(count("Send_WIFI_Open(true)"), 1);
}

TEST_F(WifiTabTest, InternetAccessIsShownWithShareAndEnabledWhenDialled) {
    connect();
    // A share answer came before: the box shows and the share queries go out.
    harness->script().answer<unsigned char()>("Get_WIFI_Share",
                                              [] { return static_cast<unsigned char>(1); });
    harness->fireFromThread(5, 0x800);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return dm()->isWifiShareSupported(); }));
    open();
    EXPECT_EQ(count("Send_WIFI_Share(null)"), 1);
    EXPECT_FALSE(f()->cbShareHotSpot->isHidden());
    answer(73);
    answerQuery();
    EXPECT_TRUE(f()->cbShareHotSpot->isChecked());
    EXPECT_FALSE(f()->cbShareHotSpot->isEnabled());
    cache().modemDialStatus.status = 1;
    answer(52);
    EXPECT_TRUE(f()->cbShareHotSpot->isEnabled());
    cache().modemDialStatus.status = 2;
    answer(52);
    EXPECT_FALSE(f()->cbShareHotSpot->isEnabled());
}

// The tab's 2 s dial poll only asks: a modem the cache holds as off is never switched on by
// it, however long the tab stays open.
TEST_F(WifiTabTest, DialPollAsksOnlyAndNeverSwitchesTheModemOn) {
    connect();
    cache().modemPowerStatus = 3;
    Varnok::setUiScale(0.01);
    open();
    answerQuery();
    ASSERT_TRUE(
        ShellHarness::waitFor([&] { return count("Send_Modem_Dial_Status_Query()") >= 4; }));
    EXPECT_EQ(count("Send_Modem_Power(true)"), 0);
    for (const std::string& c : calls()) {
        EXPECT_EQ(c.rfind("Send_Modem_Power(", 0), std::string::npos) << c;
    }
}

// On a receiver that shares its modem, the share flags the query has not answered yet are
// left out of a Set (the boxes show them unchecked); answered, they go back as read.
TEST_F(WifiTabTest, UnansweredShareFlagsAreLeftOut) {
    connect();
    harness->script().answer<unsigned char()>("Get_WIFI_Share",
                                              [] { return static_cast<unsigned char>(1); });
    harness->fireFromThread(5, 0x800);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return dm()->isWifiShareSupported(); }));
    open();
    answerQuery();
    harness->clearCalls();
    wifi()->setInfo();
    EXPECT_EQ(count("Send_WIFI_Param_AP(&{})"), 1);
    for (const std::string& c : calls()) {
        EXPECT_EQ(c.rfind("Send_WIFI_Share", 0), std::string::npos) << c;
    }
    wifi()->queryInfo();
    cache().wifiShare = 1;
    answer(73);
    answerQuery();
    ASSERT_TRUE(f()->cbShareHotSpot->isChecked());
    harness->clearCalls();
    wifi()->setInfo();
    EXPECT_EQ(count("Send_WIFI_Share(&1)"), 1);
    EXPECT_EQ(count("Send_WIFI_Share_Auto(&0)"), 0);
}

TEST_F(WifiTabTest, NoShareAnswerHidesInternetAccess) {
    connect();
    open();
    EXPECT_TRUE(f()->cbShareHotSpot->isHidden());
    EXPECT_EQ(count("Send_WIFI_Share(null)"), 0);
}

TEST_F(WifiTabTest, NoAnswerWarnsOnceAPartialAnswerStaysSilent) {
    connect();
    Varnok::setUiScale(0.01);
    open();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !wifi()->querying(); }));
    EXPECT_EQ(texts(), std::vector<QString>{"Failed to get parameters!"});
    harness->prompts.shown.clear();
    Varnok::setUiScale(0.5);
    wifi()->queryInfo();
    cache().wifiAutoOpen = true;
    answer(48);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !wifi()->querying(); }));
    EXPECT_TRUE(texts().empty());
    EXPECT_FALSE(window()->holdsWaitCursor());
}

}  // namespace
}  // namespace varnok_test
