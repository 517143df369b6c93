// The modem tab: query completion, power switch, CSD rows, Set and the dial that follows.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "ui_apn_config_widget.h"
#include "wireless_rules.h"
#include "wireless_test_support.h"

namespace varnok_test {
namespace {

class ApnTabTest : public WirelessTest {
protected:
    void openModemTab(bool csd = false) {
        connect(csd);
        open();
        window()->tabs()->setCurrentIndex(1);
        ShellHarness::deliver();
        harness->clearCalls();
    }
    // The packet-data answers of a powered modem.
    void answerPacketQuery(int band = 3, int dialStatus = 2) {
        cache().dialParams = Varnok::WirelessRules::dialRecord(
            QStringLiteral("*99#"), QStringLiteral("user"), QStringLiteral("p-secret"),
            QStringLiteral("internet"));
        cache().modemPowerStatus = 2;
        cache().modemAutoPower = true;
        cache().modemAutoDial = false;
        cache().modemBandMode = band;
        cache().modemDialStatus.status = static_cast<std::uint16_t>(dialStatus);
        for (int code : {50, 52, 49, 51, 53, 54}) {
            answer(code);
        }
    }
    Ui::APNConfigWidgetClass* f() const { return apn()->form(); }
};

TEST_F(ApnTabTest, WithoutCsdTheQueryCompletesAt79) {
    openModemTab();
    EXPECT_TRUE(f()->cbCommMode->isHidden());
    EXPECT_TRUE(f()->cbWorkMode->isHidden());
    EXPECT_TRUE(f()->leCSDNum->isHidden());
    EXPECT_TRUE(apn()->querying());
    answerPacketQuery();
    EXPECT_EQ(apn()->answeredMask(), 79);
    EXPECT_FALSE(apn()->querying());
    EXPECT_FALSE(window()->holdsWaitCursor());
    EXPECT_EQ(f()->leAPN->text(), "internet");
    EXPECT_EQ(f()->leDialNum->text(), "*99#");
    EXPECT_EQ(f()->leName->text(), "user");
    EXPECT_EQ(f()->lePsw->text(), "p-secret");
    EXPECT_EQ(f()->cbMode->currentData().toInt(), 3);
    EXPECT_TRUE(f()->cbPowerOn->isChecked());
    EXPECT_TRUE(f()->cbAutoPowerOn->isChecked());
    EXPECT_TRUE(window()->setAction()->isEnabled());
}

TEST_F(ApnTabTest, WithCsdTheQueryWaitsForAll127) {
    openModemTab(true);
    EXPECT_FALSE(f()->cbCommMode->isHidden());
    answerPacketQuery();
    EXPECT_EQ(apn()->answeredMask(), 79);
    EXPECT_TRUE(apn()->querying());
    cache().modemWorkMode = 2;
    cache().csdParams = Varnok::WirelessRules::csdRecord(QStringLiteral("0123456"), 0);
    answer(75);
    answer(77);
    EXPECT_EQ(apn()->answeredMask(), 127);
    EXPECT_FALSE(apn()->querying());
    // Work mode 2: the CSD rows and the CSD status.
    EXPECT_TRUE(apn()->isCsdMode());
    EXPECT_TRUE(apn()->isRover());
    EXPECT_FALSE(f()->leCSDNum->isHidden());
    EXPECT_TRUE(f()->leAPN->isHidden());
    EXPECT_EQ(f()->leCSDNum->text(), "0123456");
    EXPECT_TRUE(f()->leCSDNum->isEnabled());
    cache().csdStatus.status = 6;
    answer(76);
    EXPECT_EQ(f()->lblStatus->text(), "Dial Status: Rover On");
    cache().modemDialStatus.status = 1;
    answer(52);
    EXPECT_EQ(f()->lblStatus->text(), "Dial Status: Rover On");
}

TEST_F(ApnTabTest, PowerAnswersDuringASwitchDoNotFreeTheKeys) {
    openModemTab();
    answerPacketQuery();
    // Long enough that the answers below all come within the switch.
    Varnok::setUiScale(0.3);
    QSignalSpy busy(apn(), &Varnok::APNConfigWidget::busy);
    f()->cbPowerOn->click();  // off
    EXPECT_EQ(f()->lblStatus->text(), "Modem Status: Powering off...");
    EXPECT_FALSE(window()->setAction()->isEnabled());
    EXPECT_EQ(count("Send_Modem_Power(false)"), 1);
    for (int i = 0; i < 3; ++i) {
        answer(50);
        EXPECT_EQ(busy.size(), 1);
        EXPECT_FALSE(window()->getAction()->isEnabled());
    }
    cache().modemPowerStatus = 3;
    answer(50);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return busy.size() == 2; }));
    EXPECT_FALSE(busy[1][0].toBool());
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(f()->lblStatus->text(), "Modem Status: OFF");
    EXPECT_FALSE(window()->setAction()->isEnabled());  // powered off
}

TEST_F(ApnTabTest, PowerOffNotConfirmedWarnsAndRevertsTheBox) {
    openModemTab();
    answerPacketQuery();
    Varnok::setUiScale(0.01);
    f()->cbPowerOn->click();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !texts().empty(); }));
    EXPECT_EQ(texts(), std::vector<QString>{"Failed to power off modem"});
    EXPECT_TRUE(f()->cbPowerOn->isChecked());
    EXPECT_FALSE(window()->holdsWaitCursor());
}

TEST_F(ApnTabTest, DialOffAskedWhenDialledEndsOnStatusTwo) {
    openModemTab();
    answerPacketQuery(3, 1);
    harness->prompts.shown.clear();
    harness->clearCalls();
    QSignalSpy busy(apn(), &Varnok::APNConfigWidget::busy);
    // The prompts answer Ok, which is not Yes: first script a Yes.
    struct YesPrompts : RecordingPrompts {
        QMessageBox::StandardButton message(QWidget* p, Kind k, const QString& t, const QString& x,
                                            QMessageBox::StandardButtons b) override {
            RecordingPrompts::message(p, k, t, x, b);
            return k == Question ? QMessageBox::Yes : QMessageBox::Ok;
        }
    } yes;
    Varnok::Prompts::setInstance(&yes);
    apn()->setInfo();
    Varnok::Prompts::setInstance(&harness->prompts);
    ASSERT_EQ(yes.shown.size(), 1u);
    EXPECT_EQ(yes.shown[0].title, "Modem");
    EXPECT_EQ(yes.shown[0].text, "Dial off now");
    EXPECT_EQ(calls(), (std::vector<std::string>{
                           "Send_Modem_Auto_Power_On(&1)", "Send_Modem_Auto_Dial(&0)",
                           "Send_Modem_Band_Mode(&3)", "Send_Modem_Dial_Param(&{})",
                           "Send_Modem_Dial(false)", "Send_Modem_Dial_Status_Query()"}));
    EXPECT_TRUE(apn()->dialling());
    EXPECT_EQ(busy.size(), 1);
    cache().modemDialStatus.status = 4;
    cache().modemDialStatus.value = 7;
    answer(52);
    EXPECT_EQ(f()->lblStatus->text(), "Dial Status: Dialing...(7)");
    EXPECT_TRUE(apn()->dialling());
    cache().modemDialStatus.status = 2;
    answer(52);
    EXPECT_FALSE(apn()->dialling());
    ASSERT_EQ(busy.size(), 2);
    EXPECT_FALSE(window()->holdsWaitCursor());
}

TEST_F(ApnTabTest, DialOffWithoutTheStatusTimesOut) {
    openModemTab();
    answerPacketQuery(3, 1);
    struct YesPrompts : RecordingPrompts {
        QMessageBox::StandardButton message(QWidget* p, Kind k, const QString& t, const QString& x,
                                            QMessageBox::StandardButtons b) override {
            RecordingPrompts::message(p, k, t, x, b);
            return k == Question ? QMessageBox::Yes : QMessageBox::Ok;
        }
    } yes;
    Varnok::Prompts::setInstance(&yes);
    Varnok::setUiScale(0.01);
    apn()->setInfo();
    ASSERT_TRUE(ShellHarness::waitFor([&] { return !apn()->dialling(); }));
    Varnok::Prompts::setInstance(&harness->prompts);
    ASSERT_EQ(yes.shown.size(), 2u);
    EXPECT_EQ(yes.shown[1].text, "Dial off timeout.");
    EXPECT_GE(count("Send_Modem_Dial_Status_Query()"), 2);
    EXPECT_FALSE(window()->holdsWaitCursor());
}

TEST_F(ApnTabTest, NoSendsEverythingAndHoldsTheKeysForItsPause) {
    openModemTab();
    answerPacketQuery(2, 2);
    Varnok::setUiScale(0.01);
    QSignalSpy busy(apn(), &Varnok::APNConfigWidget::busy);
    harness->prompts.shown.clear();
    apn()->setInfo();  // the recording prompts answer Ok: not Yes
    EXPECT_EQ(texts(), std::vector<QString>{"Dial on now ?"});
    EXPECT_EQ(count("Send_Modem_Dial_Param(&{})"), 1);
    EXPECT_EQ(count("Send_Modem_Dial(true)"), 0);
    ASSERT_EQ(busy.size(), 1);
    ASSERT_TRUE(ShellHarness::waitFor([&] { return busy.size() == 2; }));
    EXPECT_FALSE(apn()->dialling());
}

TEST_F(ApnTabTest, RequiredEntriesAndTheirCharacters) {
    openModemTab(true);
    answerPacketQuery(7);  // band outside the table: none chosen
    cache().modemWorkMode = 1;
    answer(75);
    answer(77);
    EXPECT_EQ(f()->cbMode->currentIndex(), -1);
    apn()->setInfo();
    EXPECT_EQ(texts(), std::vector<QString>{"Please enter parameters."});
    f()->cbMode->setCurrentIndex(0);
    f()->leAPN->setText(QString::fromUtf8("int\xc3\xa9rnet"));
    harness->prompts.shown.clear();
    harness->clearCalls();
    apn()->setInfo();
    EXPECT_EQ(texts(), std::vector<QString>{"Please enter parameters."});
    EXPECT_TRUE(calls().empty());
    // CSD: a base needs no number, a rover does.
    f()->cbCommMode->setCurrentIndex(1);
    f()->cbWorkMode->setCurrentIndex(f()->cbWorkMode->findData(1));
    f()->leCSDNum->clear();
    harness->prompts.shown.clear();
    apn()->setInfo();
    EXPECT_EQ(texts(), std::vector<QString>{"Dial on now ?"});
    EXPECT_EQ(count("Send_Modem_Work_Mode(&2)"), 1);
    EXPECT_EQ(count("Send_Modem_CSD_Param(&{})"), 1);
    f()->cbWorkMode->setCurrentIndex(f()->cbWorkMode->findData(0));
    harness->prompts.shown.clear();
    apn()->setInfo();
    EXPECT_EQ(texts(), std::vector<QString>{"Please enter parameters."});
}

TEST_F(ApnTabTest, LeavingMidDialClearsIt) {
    openModemTab();
    answerPacketQuery(3, 2);
    struct YesPrompts : RecordingPrompts {
        QMessageBox::StandardButton message(QWidget* p, Kind k, const QString& t, const QString& x,
                                            QMessageBox::StandardButtons b) override {
            RecordingPrompts::message(p, k, t, x, b);
            return k == Question ? QMessageBox::Yes : QMessageBox::Ok;
        }
    } yes;
    Varnok::Prompts::setInstance(&yes);
    apn()->setInfo();
    ASSERT_TRUE(apn()->dialling());
    window()->tabs()->setCurrentIndex(0);
    ShellHarness::deliver();
    EXPECT_FALSE(apn()->dialling());
    EXPECT_EQ(apn()->dialDirection(), -1);
    // A later status that would have ended it sends no extra busy(false).
    QSignalSpy busy(apn(), &Varnok::APNConfigWidget::busy);
    cache().modemDialStatus.status = 1;
    answer(52);
    EXPECT_EQ(busy.size(), 0);
    Varnok::Prompts::setInstance(&harness->prompts);
}

TEST_F(ApnTabTest, DialRecordGoesOutWithTheApnAtByte80) {
    openModemTab();
    answerPacketQuery();
    QByteArray sent;
    harness->script().answer<void(const QX_MODEM_DIAL_PARA_STRUCT*)>(
        "Send_Modem_Dial_Param", [&sent](const QX_MODEM_DIAL_PARA_STRUCT* r) {
            sent = QByteArray(reinterpret_cast<const char*>(r), sizeof *r);
        });
    apn()->setInfo();
    ASSERT_EQ(sent.size(), 100);
    EXPECT_EQ(sent.left(20), QByteArray(20, '\0'));
    EXPECT_EQ(sent.mid(20, 20), QByteArray("*99#") + QByteArray(16, '\0'));
    EXPECT_EQ(sent.mid(40, 4), QByteArray("user"));
    EXPECT_EQ(sent.mid(60, 8), QByteArray("p-secret"));
    EXPECT_EQ(sent.mid(80, 20), QByteArray("internet") + QByteArray(12, '\0'));
}

}  // namespace
}  // namespace varnok_test
