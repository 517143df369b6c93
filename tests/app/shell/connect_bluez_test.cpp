// The connection page's Bluetooth methods end to end: the page, the device manager and the
// landed session over the platform Bluetooth backend, against python3-dbusmock's BlueZ on a
// private system bus; the RFCOMM link is a socketpair relayed to varnok-simreceiver.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include "BVComm/Bluetooth.h"
#include "BVComm/PortPaths.h"
#include "BVComm/RfcommPort.h"
#include "MockBluez.h"
#include "SimReceiver/SimProcess.h"
#include "bt_bindings_config.h"
#include "connect.h"
#include "connection_params_config.h"
#include "device_observer.h"
#include "link_relay.h"
#include "logic_context.h"
#include "menu_manager.h"
#include "shell_harness.h"
#include "ui_connect.h"
#include "worker_thread.h"

namespace varnok_test {
namespace {

using Varnok::Connect;
using Varnok::DeviceManager;

constexpr const char* kAdapter = "hci0";
constexpr const char* kReceiver = "00:02:5B:00:10:01";
constexpr quint64 kReceiverAddress = 0x00025B001001ULL;

class ConnectBluez : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logs_.isValid());
        Brevan2011::BVComm::SetLogDirectory(logs_.path().toStdString());
        std::string error;
        ASSERT_TRUE(mock.start(&error)) << error;
        ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
        DeviceManager::instance()->setSessionFactory({});  // the landed session
        DeviceManager::instance()->setConnectTimeoutMs(3000);
        Varnok::setUiScale(1.0);
        Connect::setBluetoothFactory([] {
            auto bt = std::make_unique<Brevan2011::BVComm::Bluetooth>();
            bt->SetTtyBinding(false);  // the socket link, as for an ordinary user
            return bt;
        });
        Brevan2011::BVComm::SetRfcommConnector([this](std::uint64_t address, int* error) {
            asked = address;
            if (refuse != 0) {
                *error = refuse;
                return -1;
            }
            const int fd = relay.open(sim.tcpPort());
            if (fd < 0) {
                *error = ECONNREFUSED;
            }
            return fd;
        });
    }
    void TearDown() override {
        DeviceManager::instance()->closePort();
        Brevan2011::BVComm::SetRfcommConnector({});
        Connect::setBluetoothFactory({});
        relay.cut();
        mock.stop();
    }
    void startSim(const std::vector<std::string>& settings) {
        std::string error;
        ASSERT_TRUE(sim.start(settings, &error)) << error;
    }
    void openPage(int method) {
        frame = h.makeFrame();
        frame->onCommand(QStringLiteral("Connection"));
        page = qobject_cast<Connect*>(frame->page(QStringLiteral("Connection")));
        ASSERT_NE(page, nullptr);
        ui = page->form();
        const int i = ui->comboBox_connect->findData(method);
        ASSERT_GE(i, 0);
        ui->comboBox_connect->setCurrentIndex(i);
        ui->comboBox_port->setCurrentIndex(ui->comboBox_port->findData(3));
        page->activate();
    }
    QStringList rows() const {
        QStringList out;
        for (int r = 1; r < ui->listWidget->count(); ++r) {
            out << ui->listWidget->item(r)->text();
        }
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& s : h.prompts.shown) {
            out.push_back(s.text.toStdString());
        }
        return out;
    }
    // Presses Connect with the progress dialog running for real.
    std::vector<std::string> connect() {
        h.prompts.shown.clear();
        h.prompts.answerNextDialog([](QDialog* d) { return d->exec(); });
        page->connectAction()->trigger();
        return texts();
    }
    bool paired(const std::string& address) {
        bool on = false;
        return mock.getBool(MockBluez::devicePath(kAdapter, address), "org.bluez.Device1", "Paired",
                            &on) &&
               on;
    }

    ShellHarness h;
    QTemporaryDir logs_;
    MockBluez mock;
    varnok_sim::SimProcess sim;
    LinkRelay relay;
    std::atomic<std::uint64_t> asked{0};
    int refuse = 0;
    Varnok::FatherWidget* frame = nullptr;
    Connect* page = nullptr;
    Ui::Connect* ui = nullptr;
};

TEST_F(ConnectBluez, SearchChooseConnectReachesTheReceiverAndIsRemembered) {
    startSim({"protocol=old", "serial=BT0042"});
    ASSERT_FALSE(mock.addDevice(kAdapter, kReceiver, "GNSS-1001").empty());
    ASSERT_FALSE(mock.addDevice(kAdapter, "11:22:33:44:55:66", "Phone").empty());
    // Bound before: it stays, behind the new choice.
    BtBindingsConfig(Varnok::LogicContext::btBindingsPath()).save({"0999"}, {0x999});
    openPage(1);
    EXPECT_EQ(rows(), QStringList{"GNSS-0999 (999)"});

    // The search, with its time run at once: what BlueZ knows is listed, receivers only.
    Varnok::setUiScale(0.0);
    ui->listWidget->setCurrentRow(0);
    page->onItemClicked(ui->listWidget->item(0));
    ASSERT_TRUE(ShellHarness::waitFor(
        [this] {
            return !page->worker()->isTaskRunning() &&
                   ui->listWidget->item(0)->data(Connect::kStateRole).toInt() == 0 &&
                   !h.prompts.shown.empty();
        },
        std::chrono::seconds(20)))
        << mock.log();
    Varnok::setUiScale(1.0);
    EXPECT_EQ(texts(), std::vector<std::string>{"No more devices around."});
    EXPECT_EQ(rows(), QStringList{"GNSS-1001 (25b001001)"});

    ui->listWidget->setCurrentRow(1);
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"}) << mock.log();
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_EQ(DeviceManager::instance()->receiverId(), QStringLiteral("BT0042"));
    EXPECT_EQ(asked.load(), kReceiverAddress) << "the Bluetooth kind opened COM3's receiver";
    EXPECT_TRUE(paired(kReceiver)) << "paired before it was connected";

    QStringList names;
    QList<quint64> addresses;
    BtBindingsConfig(Varnok::LogicContext::btBindingsPath()).load(names, addresses);
    EXPECT_EQ(addresses, (QList<quint64>{kReceiverAddress, 0x999}));
    EXPECT_EQ(names, (QStringList{"1001", "0999"}));
    ConnectionParams saved;
    ConnectionParamsConfig(Varnok::LogicContext::connectionParamsPath()).load(saved);
    EXPECT_EQ(saved.type, 1);
    EXPECT_EQ(saved.port, 3);
}

TEST_F(ConnectBluez, SystemBluetoothConnectsAPairedReceiver) {
    startSim({"protocol=new", "serial=SN2002"});
    const std::string device = mock.addDevice(kAdapter, "00:02:5B:00:20:02", "GNSS-2002");
    ASSERT_TRUE(mock.pairDevice(kAdapter, "00:02:5B:00:20:02"));
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:30:03", "GNSS-3003").empty());
    openPage(101);
    ui->cbDeviceType->setCurrentIndex(ui->cbDeviceType->findData(1));
    ui->comboBox_connect->setCurrentIndex(ui->comboBox_connect->findData(101));
    ui->comboBox_port->setCurrentIndex(ui->comboBox_port->findData(3));
    EXPECT_EQ(ui->listWidget->item(0)->text(), QStringLiteral("Paired receivers:"));
    EXPECT_EQ(rows(), QStringList{"GNSS-2002 (25b002002)"});
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"}) << mock.log();
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
    EXPECT_EQ(asked.load(), 0x00025B002002ULL);
    const std::vector<std::string> calls = mock.calls(device);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Pair"), 0) << "paired already";
}

TEST_F(ConnectBluez, APinRequestReachesThePromptAndARefusedLinkSaysSo) {
    const std::string device = mock.addDevice(kAdapter, kReceiver, "GNSS-1001");
    // BlueZ's pairing: ask the program's agent for the PIN and check it.
    ASSERT_TRUE(mock.addMethod(
        device, "org.bluez.Device1", "Pair", "", "",
        "import dbus\n"
        "bus = self.connection  # BlueZ calls from the connection that owns its name\n"
        "daemon = bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus')\n"
        "agent = objects['/org/bluez'].default_agent\n"
        "pin = None\n"
        "for n in daemon.ListNames(dbus_interface='org.freedesktop.DBus'):\n"
        "    if not n.startswith(':') or n == bus.get_unique_name():\n"
        "        continue\n"
        "    try:\n"
        "        if daemon.GetConnectionUnixProcessID(n, dbus_interface='org.freedesktop.DBus')"
        " != " +
            std::to_string(::getpid()) +
            ":\n"
            "            continue\n"
            "        pin = bus.call_blocking(n, agent, 'org.bluez.Agent1', 'RequestPinCode', 'o',"
            " [dbus.ObjectPath(self.path)], timeout=60)\n"
            "        break\n"
            "    except dbus.exceptions.DBusException:\n"
            "        continue\n"
            "if str(pin) != '0000':\n"
            "    raise dbus.exceptions.DBusException('wrong PIN', "
            "name='org.bluez.Error.AuthenticationFailed')\n"
            "self.PairDevice('hci0', self.props['org.bluez.Device1']['Address'], 7936)\n"));
    BtBindingsConfig(Varnok::LogicContext::btBindingsPath()).save({"1001"}, {kReceiverAddress});
    openPage(1);
    ui->listWidget->setCurrentRow(1);
    refuse = ECONNREFUSED;
    QString asked;
    h.prompts.answerNextDialog([&asked](QDialog* d) {
        const auto labels = d->findChildren<QLabel*>();
        asked = labels.isEmpty() ? QString() : labels.first()->text();
        d->findChild<QLineEdit*>(QStringLiteral("lePin"))->setText(QStringLiteral("0000"));
        return int(QDialog::Accepted);
    });
    h.prompts.answerNextDialog([](QDialog* d) { return d->exec(); });
    page->connectAction()->trigger();
    EXPECT_EQ(asked, QStringLiteral("GNSS-1001 asks for its PIN:"));
    EXPECT_TRUE(paired(kReceiver)) << mock.log();
    EXPECT_EQ(texts(),
              std::vector<std::string>{"Connection Failed!\nThe receiver refused the connection."});
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 0);
}

// The radio link hangs up while connected: one message, the disconnected menu, and the
// receiver can be connected again at once.
TEST_F(ConnectBluez, AHangUpSaysTheConnectionWasLost) {
    startSim({"protocol=old", "serial=BT0077"});
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:70:07", "GNSS-7007").empty());
    ASSERT_TRUE(mock.pairDevice(kAdapter, "00:02:5B:00:70:07"));
    openPage(101);
    ASSERT_EQ(rows(), QStringList{"GNSS-7007 (25b007007)"});
    ASSERT_EQ(connect(), std::vector<std::string>{"Successfully connected"}) << mock.log();
    ASSERT_TRUE(ShellHarness::waitFor([this] { return frame->currentPage() == frame->menu(); }));
    h.prompts.shown.clear();
    relay.cut();
    EXPECT_TRUE(ShellHarness::waitFor([this] { return !h.prompts.shown.empty(); },
                                      std::chrono::seconds(1)));
    EXPECT_TRUE(
        ShellHarness::waitFor([] { return DeviceManager::instance()->workingStatus() == 0; }));
    ShellHarness::deliver();
    EXPECT_EQ(texts(), std::vector<std::string>{"Connection to the receiver was lost."});
    EXPECT_EQ(frame->menu()->buttonLabels(),
              (QStringList{QStringLiteral("Connection"), QStringLiteral("Exit")}));
    frame->onCommand(QStringLiteral("Connection"));
    EXPECT_EQ(connect(), std::vector<std::string>{"Successfully connected"}) << mock.log();
    EXPECT_EQ(DeviceManager::instance()->workingStatus(), 4);
}

}  // namespace
}  // namespace varnok_test
