// The connection page end to end: the program's own stack (device manager, landed session,
// ports) against varnok-simreceiver running as a child process on a pty and loopback TCP.
#include <QTemporaryDir>

#include <chrono>

#include <gtest/gtest.h>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimProcess.h"
#include "connect.h"
#include "connect_fixtures.h"
#include "connection_params_config.h"
#include "device_observer.h"
#include "logic_context.h"
#include "menu_manager.h"
#include "shell_harness.h"
#include "ui_connect.h"

namespace varnok_test {
namespace {

using Varnok::Connect;
using Varnok::DeviceManager;

constexpr int kWaitMs = 20000;

class ConnectSim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        DeviceManager::instance()->setSessionFactory({});  // the landed session
        DeviceManager::instance()->setConnectTimeoutMs(3000);
        Varnok::setUiScale(1.0);
    }
    void TearDown() override {
        DeviceManager::instance()->closePort();
        Brevan2011::BVComm::ClearComPortPath(1, false);
        Brevan2011::BVComm::ClearComPortPath(1, true);
    }
    void startSim(const std::vector<std::string>& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
    }
    void openPage() {
        frame = h.makeFrame();
        frame->onCommand(QStringLiteral("Connection"));
        page = qobject_cast<Connect*>(frame->page(QStringLiteral("Connection")));
        ASSERT_NE(page, nullptr);
        ui = page->form();
    }
    void choose(QComboBox* box, const QVariant& data) {
        const int i = box->findData(data);
        ASSERT_GE(i, 0) << box->objectName().toStdString();
        box->setCurrentIndex(i);
    }
    // Presses Connect with the progress dialog running for real; returns the texts shown.
    std::vector<std::string> connect() {
        h.prompts.shown.clear();
        h.prompts.answerNextDialog([](QDialog* d) { return d->exec(); });
        page->connectAction()->trigger();
        std::vector<std::string> out;
        for (const auto& s : h.prompts.shown) {
            out.push_back(s.text.toStdString());
        }
        return out;
    }

    ShellHarness h;
    QTemporaryDir logs_;
    varnok_sim::SimProcess sim;
    Varnok::FatherWidget* frame = nullptr;
    Connect* page = nullptr;
    Ui::Connect* ui = nullptr;
};

TEST_F(ConnectSim, DefaultsReachTheConnectedMenuOverComOne) {
    startSim({"protocol=old", "serial=SIM042"});
    Brevan2011::BVComm::SetComPortPath(1, sim.ptyPath());
    openPage();
    // The page's defaults: Survey RTK, Port, COM1, Auto.
    EXPECT_EQ(ui->cbDeviceType->currentText(), QStringLiteral("Survey RTK"));
    EXPECT_EQ(page->method(), 0);
    EXPECT_EQ(page->comPort(), 1);
    EXPECT_TRUE(ui->cbAuto->isChecked());
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_EQ(DeviceManager::instance()->receiverId(), QStringLiteral("SIM042"));
    EXPECT_TRUE(ShellHarness::waitFor([this] { return frame->currentPage() != page; }));
    // The connected menu: more than "Connection" and "Exit".
    EXPECT_TRUE(ShellHarness::waitFor([this] { return frame->menu()->buttonLabels().size() > 2; }))
        << frame->menu()->buttonLabels().join('|').toStdString();
}

TEST_F(ConnectSim, AutoBaudFindsTheReceiversSpeed) {
    startSim({"protocol=old", "baud=38400"});
    Brevan2011::BVComm::SetComPortPath(1, sim.ptyPath());
    openPage();
    choose(ui->comboBox_baud, 9600);
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"});
    EXPECT_EQ(DeviceManager::instance()->baudRate(), 38400);
    EXPECT_EQ(ui->comboBox_baud->currentData().toInt(), 38400);
    ConnectionParams saved;
    ConnectionParamsConfig(Varnok::LogicContext::connectionParamsPath()).load(saved);
    EXPECT_EQ(saved.baud, 38400);
}

TEST_F(ConnectSim, ServerOverTcpToANewProtocolReceiver) {
    writeConnectMethods(Varnok::LogicContext::connectMethodsPath(),
                        {{"Pocket GNSS", 1, {{"Port", 0}, {"Server", 102}}}});
    startSim({"protocol=new", "serial=SN4711"});
    openPage();
    choose(ui->cbDeviceType, 1);
    choose(ui->comboBox_connect, 102);
    ui->leIP->setText(QStringLiteral("127.0.0.1"));
    ui->lePort->setText(QString::number(sim.tcpPort()));
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_EQ(DeviceManager::instance()->deviceType(), 1);
    ConnectionParams saved;
    ConnectionParamsConfig(Varnok::LogicContext::connectionParamsPath()).load(saved);
    EXPECT_EQ(saved.type, 102);
    EXPECT_EQ(saved.ip, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(saved.serverport, sim.tcpPort());
    EXPECT_EQ(saved.device, QStringLiteral("SN4711"));
    EXPECT_TRUE(ShellHarness::waitFor([this] { return frame->currentPage() != page; }));
}

TEST_F(ConnectSim, SystemBluetoothOnAMappedPty) {
    startSim({"protocol=old"});
    Brevan2011::BVComm::SetBluetoothPortPath(1, sim.ptyPath());
    openPage();
    choose(ui->comboBox_connect, 101);
    choose(ui->comboBox_port, 1);
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_FALSE(DeviceManager::instance()->isSerialConnection());
}

TEST_F(ConnectSim, SilentReceiverFails) {
    startSim({"protocol=old", "mode=silent"});
    Brevan2011::BVComm::SetComPortPath(1, sim.ptyPath());
    Varnok::setUiScale(0.02);  // the dialog gives up after 1.2 s
    openPage();
    ui->cbAuto->setChecked(false);
    EXPECT_EQ(connect(), std::vector<std::string>{"Connection Failed!"});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
    EXPECT_EQ(frame->currentPage(), page);
}

// How the link goes: the simulator closes its TCP side, or the simulator is killed (which
// also hangs its pty up).
struct LinkCut {
    const char* name;
    bool overTcp;
    bool kill;
};

class ConnectSimLinkLost : public ConnectSim, public ::testing::WithParamInterface<LinkCut> {};

TEST_P(ConnectSimLinkLost, OneMessageThenTheDisconnectedMenu) {
    const LinkCut cut = GetParam();
    writeConnectMethods(Varnok::LogicContext::connectMethodsPath(),
                        {{"Survey RTK", 0, {{"Port", 0}, {"Server", 102}}}});
    startSim({"protocol=old"});
    openPage();
    if (cut.overTcp) {
        choose(ui->comboBox_connect, 102);
        ui->leIP->setText(QStringLiteral("127.0.0.1"));
        ui->lePort->setText(QString::number(sim.tcpPort()));
    } else {
        Brevan2011::BVComm::SetComPortPath(1, sim.ptyPath());
    }
    ASSERT_EQ(connect(), std::vector<std::string>{"Successfully connected"});
    ASSERT_TRUE(ShellHarness::waitFor([this] { return frame->menu()->buttonLabels().size() > 2; }));
    // On a page when the link goes: the frame comes back to the menu by itself.
    const QStringList labels = frame->menu()->buttonLabels();
    frame->onCommand(QStringLiteral("Info"));
    h.prompts.shown.clear();
    if (cut.kill) {
        sim.stop();
    } else {
        ASSERT_TRUE(sim.configure("close_after=1"));
    }
    const auto lostMessages = [this] {
        int n = 0;
        for (const auto& shown : h.prompts.shown) {
            n += shown.text == QStringLiteral("Connection to the receiver was lost.") ? 1 : 0;
        }
        return n;
    };
    EXPECT_TRUE(ShellHarness::waitFor([&] { return lostMessages() >= 1; }, std::chrono::seconds(1)))
        << labels.join('|').toStdString();
    EXPECT_TRUE(
        ShellHarness::waitFor([] { return DeviceManager::instance()->workingStatus() == 0; }));
    EXPECT_EQ(frame->currentPage(), frame->menu());
    EXPECT_EQ(frame->menu()->buttonLabels(),
              (QStringList{QStringLiteral("Connection"), QStringLiteral("Exit")}));
    // Nothing more comes of it.
    ShellHarness::deliver();
    EXPECT_EQ(lostMessages(), 1);
    EXPECT_EQ(h.prompts.shown.size(), 1u);
    if (cut.kill) {
        return;
    }
    // The user can connect again at once.
    ASSERT_TRUE(sim.configure("close_after=0"));
    frame->onCommand(QStringLiteral("Connection"));
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
}

INSTANTIATE_TEST_SUITE_P(Cuts, ConnectSimLinkLost,
                         ::testing::Values(LinkCut{"TcpClosed", true, false},
                                           LinkCut{"TcpKilled", true, true},
                                           LinkCut{"PtyHungUp", false, true}),
                         [](const ::testing::TestParamInfo<LinkCut>& info) {
                             return std::string(info.param.name);
                         });

// A receiver that goes away while the program connects: the attempt ends at once.
TEST_F(ConnectSim, ALossWhileConnectingFailsTheAttemptAtOnce) {
    writeConnectMethods(Varnok::LogicContext::connectMethodsPath(),
                        {{"Survey RTK", 0, {{"Port", 0}, {"Server", 102}}}});
    startSim({"protocol=old", "mode=silent"});
    openPage();
    ui->cbAuto->setChecked(false);
    choose(ui->comboBox_connect, 102);
    ui->leIP->setText(QStringLiteral("127.0.0.1"));
    ui->lePort->setText(QString::number(sim.tcpPort()));
    h.prompts.shown.clear();
    // The receiver goes once the port is open and the first query is out.
    bool stopped = false;
    const QMetaObject::Connection once =
        QObject::connect(Varnok::DeviceObserver::instance(), &Varnok::DeviceObserver::workingStatus,
                         page, [this, &stopped](int status) {
                             if (status == 2 && !stopped) {
                                 stopped = true;
                                 sim.stop();
                             }
                         });
    h.prompts.answerNextDialog([](QDialog* d) { return d->exec(); });
    const auto start = std::chrono::steady_clock::now();
    page->connectAction()->trigger();
    const auto took = std::chrono::steady_clock::now() - start;
    QObject::disconnect(once);
    EXPECT_TRUE(stopped);
    std::vector<std::string> texts;
    for (const auto& shown : h.prompts.shown) {
        texts.push_back(shown.text.toStdString());
    }
    EXPECT_EQ(texts, std::vector<std::string>{"Connection Failed!"});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
    // Well before the dialog's own time-out.
    EXPECT_LT(took, std::chrono::seconds(10));
}

}  // namespace
}  // namespace varnok_test
