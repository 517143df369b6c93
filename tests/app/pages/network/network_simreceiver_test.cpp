// End to end: the wireless window on the program's own stack (device manager, landed
// session, TCP port) against varnok-simreceiver over loopback TCP.
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "ui_apn_config_widget.h"
#include "ui_wifi_config_widget.h"
#include "wireless_test_support.h"

namespace varnok_test {
namespace {

constexpr int kWaitMs = 20000;
using Strings = std::vector<std::string>;

// A question answered Yes; everything else recorded as usual.
class YesPrompts : public RecordingPrompts {
public:
    QMessageBox::StandardButton message(QWidget* p, Kind k, const QString& t, const QString& x,
                                        QMessageBox::StandardButtons b) override {
        RecordingPrompts::message(p, k, t, x, b);
        return k == Question ? QMessageBox::Yes : QMessageBox::Ok;
    }
};

class WirelessEndToEnd : public WirelessTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        WirelessTest::SetUp();
        dm()->setSessionFactory({});  // the landed session
    }
    void TearDown() override {
        dm()->closePort();
        ShellHarness::deliver();
        Varnok::Prompts::setInstance(&harness->prompts);
        WirelessTest::TearDown();
        sim.stop();
    }
    void connectSim(const Strings& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
        Varnok::SocketTarget t{};
        t.address[0] = 127;
        t.address[3] = 1;
        t.port = sim.tcpPort();
        dm()->setDeviceType(1);
        ASSERT_TRUE(dm()->connectDevice(2, 0, 9600, t));
        ASSERT_TRUE(ShellHarness::waitFor([&] { return dm()->workingStatus() == 4; },
                                          std::chrono::milliseconds(kWaitMs)));
        ASSERT_TRUE(ShellHarness::waitFor([&] { return window() != nullptr; }));
    }
    static bool waitFor(const std::function<bool()>& done) {
        return ShellHarness::waitFor(done, std::chrono::milliseconds(kWaitMs));
    }
    // Every file under the log directory and the configs holding that text.
    QStringList filesHolding(const QByteArray& text) const {
        QStringList hits;
        for (const QString& dir : {logs_.path(), harness->configsDir()}) {
            QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile f(it.next());
                if (f.open(QIODevice::ReadOnly) && f.readAll().contains(text)) {
                    hits << f.fileName();
                }
            }
        }
        return hits;
    }

    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
};

// "ABCDEFGHIJKLMNOPQRST" (20 bytes, no zero), type 2, password "12345678".
const char* const kApHex =
    "4142434445464748494A4B4C4D4E4F5051525354"
    "0002"
    "3132333435363738000000000000000000000000";

TEST_F(WirelessEndToEnd, WifiTabShowsTheReceiverAndItsSetArrivesAsExactBytes) {
    connectSim(
        {"protocol=new", "wifi_power=2", "wifi_auto_open=1", std::string("wifi_ap_raw=") + kApHex});
    open();
    ASSERT_TRUE(waitFor([&] { return !wifi()->querying(); }));
    auto* f = wifi()->form();
    EXPECT_EQ(f->leSSID->text(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(f->cbPswType->currentData().toInt(), 2);
    EXPECT_EQ(f->lePsw->text(), "12345678");
    EXPECT_TRUE(f->cbPowerOn->isChecked());
    EXPECT_TRUE(f->cbWifiAuto->isChecked());
    EXPECT_TRUE(texts().empty());
    ASSERT_TRUE(window()->setAction()->isEnabled());

    f->lePsw->setText("p-secret");
    window()->setAction()->trigger();
    ASSERT_TRUE(sim.waitForRequest("Send_WIFI_Param_AP", kWaitMs));
    ASSERT_TRUE(waitFor([&] { return !window()->holdsWaitCursor(); }));
    // Read back: the receiver keeps what arrived, byte for byte.
    window()->getAction()->trigger();
    ASSERT_TRUE(waitFor([&] { return !wifi()->querying(); }));
    EXPECT_EQ(f->leSSID->text(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(f->lePsw->text(), "p-secret");
    EXPECT_EQ(f->cbPswType->currentData().toInt(), 2);
    EXPECT_TRUE(texts().empty());
    dm()->closePort();
    ShellHarness::deliver();
    EXPECT_EQ(filesHolding("p-secret"), QStringList());
}

TEST_F(WirelessEndToEnd, ModemTabShowsTheReceiverAndAPowerSwitchHoldsSetToItsEnd) {
    connectSim({"protocol=new", "modem_power=2", "modem_apn=internet", "modem_number=*99#",
                "modem_user=surveyor", "modem_band=3", "modem_work_mode=1", "modem_auto_power=1",
                "modem_dial_status=2"});
    open();
    window()->tabs()->setCurrentIndex(1);
    ASSERT_TRUE(waitFor([&] { return !apn()->querying(); }));
    auto* f = apn()->form();
    EXPECT_EQ(f->leAPN->text(), "internet");
    EXPECT_EQ(f->leDialNum->text(), "*99#");
    EXPECT_EQ(f->leName->text(), "surveyor");
    EXPECT_EQ(f->cbMode->currentData().toInt(), 3);
    EXPECT_TRUE(f->cbPowerOn->isChecked());
    EXPECT_TRUE(f->cbAutoPowerOn->isChecked());
    EXPECT_TRUE(texts().empty());

    // Power off: a poll each 200 ms, the end after 2 s; Set stays off throughout.
    Varnok::setUiScale(0.2);
    QSignalSpy busy(apn(), &Varnok::APNConfigWidget::busy);
    f->cbPowerOn->click();
    bool setSeenOn = false;
    ASSERT_TRUE(waitFor([&] {
        setSeenOn = setSeenOn || window()->setAction()->isEnabled();
        return busy.size() >= 2;
    }));
    EXPECT_FALSE(setSeenOn);
    EXPECT_EQ(busy.size(), 2);
    // Confirmed off: no warning, the box stays clear.
    EXPECT_TRUE(texts().empty());
    EXPECT_FALSE(f->cbPowerOn->isChecked());
}

TEST_F(WirelessEndToEnd, ModemSetDialsOnAndEndsAtTheReceiversStatus) {
    connectSim({"protocol=new", "modem_power=2", "modem_apn=internet", "modem_number=*99#",
                "modem_band=3", "modem_work_mode=1", "modem_dial_status=2", "dial_polls=2"});
    open();
    window()->tabs()->setCurrentIndex(1);
    ASSERT_TRUE(waitFor([&] { return !apn()->querying(); }));
    apn()->form()->leAPN->setText("apn.example");
    YesPrompts yes;
    Varnok::Prompts::setInstance(&yes);
    Varnok::setUiScale(0.2);
    window()->setAction()->trigger();
    ASSERT_EQ(yes.shown.size(), 1u);
    EXPECT_EQ(yes.shown[0].text, "Dial on now ?");
    ASSERT_TRUE(apn()->dialling());
    ASSERT_TRUE(waitFor([&] { return !apn()->dialling(); }));
    EXPECT_EQ(yes.shown.size(), 1u);  // ended by the status, not the time-out
    EXPECT_FALSE(window()->holdsWaitCursor());
    // The receiver kept the record as it arrived.
    Varnok::setUiScale(1.0);
    window()->getAction()->trigger();
    ASSERT_TRUE(waitFor([&] { return !apn()->querying(); }));
    EXPECT_EQ(apn()->form()->leAPN->text(), "apn.example");
    EXPECT_EQ(apn()->form()->leDialNum->text(), "*99#");
    EXPECT_EQ(apn()->form()->lblStatus->text(), "Dial Status: ON");
    EXPECT_FALSE(window()->holdsWaitCursor());
}

}  // namespace
}  // namespace varnok_test
