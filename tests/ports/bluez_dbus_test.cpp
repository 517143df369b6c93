// Bluetooth through the platform backend against python3-dbusmock's BlueZ on a private system
// bus: the search (what BlueZ knows, what discovery brings, names from Device1.Name), its time
// and its stop, radio off and no adapter, paired devices, pairing with a PIN through the
// program's agent, and binding a COM number that the Bluetooth port then connects.
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BVComm/Bluetooth.h"
#include "BVComm/PortInstance.h"
#include "BVComm/RfcommPort.h"
#include "MockBluez.h"

using Brevan2011::BVComm::Bluetooth;
using varnok_test::MockBluez;
using namespace std::chrono_literals;

namespace {

constexpr const char* kAdapter = "hci0";
constexpr const char* kAdapterPath = "/org/bluez/hci0";
constexpr const char* kAdapterInterface = "org.bluez.Adapter1";
constexpr const char* kDeviceInterface = "org.bluez.Device1";

struct Found {
    std::wstring name;
    std::uint64_t address;
};

std::mutex foundMutex;
std::condition_variable foundChanged;
std::vector<Found> found;

void collect(const std::wstring& name, std::uint64_t* address, std::uint32_t*) {
    std::lock_guard<std::mutex> guard(foundMutex);
    found.push_back(Found{name, *address});
    foundChanged.notify_all();
}

std::vector<std::wstring> foundNames() {
    std::lock_guard<std::mutex> guard(foundMutex);
    std::vector<std::wstring> names;
    for (const Found& f : found) {
        names.push_back(f.name);
    }
    return names;
}

bool waitFound(std::size_t count) {
    std::unique_lock<std::mutex> lock(foundMutex);
    return foundChanged.wait_for(lock, 20s, [count] { return found.size() >= count; });
}

// The mock's Device1.Pair in BlueZ's place: asks the agent that the program registered for the
// PIN (on the program's connection, found by its process), and pairs when it is the expected
// one. Any fault raises, so Pair fails.
std::string pairAskingPin(const std::string& expected, bool fromBluez = true) {
    return std::string("import dbus\n") +
           (fromBluez ? "bus = self.connection  # the connection that owns org.bluez\n"
                      : "bus = dbus.bus.BusConnection(dbus.bus.BUS_SYSTEM)  # someone else\n") +
           "daemon = bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus')\n"
           "agent = objects['/org/bluez'].default_agent\n"
           "if agent is None:\n"
           "    raise dbus.exceptions.DBusException('no agent', name='org.bluez.Error.Failed')\n"
           "pin = None\n"
           "for n in daemon.ListNames(dbus_interface='org.freedesktop.DBus'):\n"
           "    if not n.startswith(':') or n == bus.get_unique_name():\n"
           "        continue\n"
           "    try:\n"
           "        if daemon.GetConnectionUnixProcessID(n, dbus_interface="
           "'org.freedesktop.DBus') != " +
           std::to_string(::getpid()) +
           ":\n"
           "            continue\n"
           "        pin = bus.call_blocking(n, agent, 'org.bluez.Agent1', 'RequestPinCode', 'o',"
           " [dbus.ObjectPath(self.path)], timeout=60)\n"
           "        break\n"
           "    except dbus.exceptions.DBusException as e:\n"
           "        if e.get_dbus_name() in ('org.freedesktop.DBus.Error.UnknownObject',"
           " 'org.freedesktop.DBus.Error.UnknownMethod', "
           "'org.freedesktop.DBus.Error.ServiceUnknown', "
           "'org.freedesktop.DBus.Error.NameHasNoOwner'):\n"
           "            continue\n"
           "        raise dbus.exceptions.DBusException('no PIN: ' + str(e.get_dbus_name()),"
           " name='org.bluez.Error.AuthenticationCanceled')\n"
           "if pin is None:\n"
           "    raise dbus.exceptions.DBusException('agent not found', "
           "name='org.bluez.Error.Failed')\n"
           "if str(pin) != '" +
           expected +
           "':\n"
           "    raise dbus.exceptions.DBusException('wrong PIN', "
           "name='org.bluez.Error.AuthenticationFailed')\n"
           "self.PairDevice('hci0', self.props['org.bluez.Device1']['Address'], 7936)\n";
}

class BluezMock : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(mock.start(&error)) << error;
        std::lock_guard<std::mutex> guard(foundMutex);
        found.clear();
    }
    void TearDown() override {
        bt.reset();
        Brevan2011::BVComm::SetRfcommConnector({});
        mock.stop();
    }
    void makeBluetooth() {
        bt = std::make_unique<Bluetooth>();
        bt->SetResultCallback(collect);
        bt->SetTtyBinding(false);
    }
    bool discovering() {
        bool on = false;
        return mock.getBool(kAdapterPath, kAdapterInterface, "Discovering", &on) && on;
    }
    std::vector<std::string> adapterCalls() { return mock.calls(kAdapterPath); }

    MockBluez mock;
    std::unique_ptr<Bluetooth> bt;
};

TEST_F(BluezMock, ASearchListsKnownAndDiscoveredDevicesOnceEachByTheirNames) {
    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    // Known to BlueZ before the search.
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:10:01", "GNSS-1001").empty());
    makeBluetooth();
    EXPECT_STREQ(Brevan2011::BVComm::PlatformBluetoothBackendName(), "BlueZ D-Bus");
    bt->SetSearchTime(600000);
    ASSERT_TRUE(bt->Start());
    auto search = std::async(std::launch::async, [this] { return bt->SearchBluetooth(); });
    ASSERT_TRUE(MockBluez::waitFor([this] { return discovering(); }));
    EXPECT_EQ(mock.discoveryFilterString(kAdapter, "Transport"), "bredr");

    // Found during the search: one named at once; one whose name comes later; one the user
    // renamed (its Alias), which keeps the name it gives itself; a phone whose alias was made
    // to look like a receiver.
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:20:02", "GNSS-2002").empty());
    const std::string late = mock.addDevice(kAdapter, "00:02:5B:00:30:03", "");
    const std::string renamed = mock.addDevice(kAdapter, "00:02:5B:00:40:04", "GNSS-4004");
    const std::string phone = mock.addDevice(kAdapter, "11:22:33:44:55:66", "Phone");
    ASSERT_TRUE(mock.setString(renamed, kDeviceInterface, "Alias", "Field kit"));
    ASSERT_TRUE(mock.setString(phone, kDeviceInterface, "Alias", "GNSS-fake"));
    ASSERT_TRUE(mock.setString(late, kDeviceInterface, "Name", "GNSS-3003"));
    // A second change of a listed device lists it no second time.
    ASSERT_TRUE(mock.setString(late, kDeviceInterface, "Name", "GNSS-3003"));
    ASSERT_TRUE(waitFound(5)) << mock.log();

    bt->Stop();
    ASSERT_EQ(search.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(search.get(), 5u);
    EXPECT_EQ(bt->GetErrorCode(), 0);
    EXPECT_FALSE(discovering()) << "the search stopped the discovery";

    std::vector<std::wstring> names = foundNames();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], L"GNSS-1001") << "what BlueZ knew comes first";
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"GNSS-1001", L"GNSS-2002", L"GNSS-3003",
                                                L"GNSS-4004", L"Phone"}));
    std::lock_guard<std::mutex> guard(foundMutex);
    const auto at = std::find_if(found.begin(), found.end(),
                                 [](const Found& f) { return f.name == L"GNSS-3003"; });
    ASSERT_NE(at, found.end());
    EXPECT_EQ(at->address, 0x00025B003003ULL);
}

TEST_F(BluezMock, ASearchEndsByItselfWhenItsTimeIsUp) {
    struct Case {
        const char* what;
        bool device;
        unsigned count;
        int code;
    };
    for (const Case& c :
         {Case{"a receiver around", true, 1, 0}, Case{"nothing around", false, 0, 10110}}) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
        if (c.device) {
            ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:10:01", "GNSS-1001").empty());
        }
        makeBluetooth();
        bt->SetSearchTime(300);
        ASSERT_TRUE(bt->Start());
        EXPECT_EQ(bt->SearchBluetooth(), c.count);
        EXPECT_EQ(bt->GetErrorCode(), c.code);
        const std::vector<std::string> calls = adapterCalls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), "StartDiscovery"), calls.end());
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "StopDiscovery") << "BlueZ never ends a discovery by itself";
        EXPECT_FALSE(discovering());
    }
}

TEST_F(BluezMock, AStopFromAnotherThreadEndsAWaitingSearch) {
    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    makeBluetooth();
    bt->SetSearchTime(600000);
    ASSERT_TRUE(bt->Start());
    auto search = std::async(std::launch::async, [this] { bt->Run(); });
    ASSERT_TRUE(MockBluez::waitFor([this] { return discovering(); }));
    bt->Stop();
    ASSERT_EQ(search.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(bt->GetErrorCode(), 0);
    EXPECT_FALSE(discovering());

    // Stopped between its start and its run: nothing runs, the discovery is stopped all the same.
    ASSERT_TRUE(bt->Start());
    bt->Stop();
    bt->Run();
    EXPECT_EQ(bt->GetErrorCode(), 0);
    EXPECT_FALSE(discovering());
}

TEST_F(BluezMock, NoAdapterAndRadioOffGiveTheirCodes) {
    makeBluetooth();
    EXPECT_FALSE(bt->Start());
    EXPECT_EQ(bt->GetErrorCode(), Bluetooth::kNoAdapter);
    EXPECT_EQ(bt->PowerOn(), Bluetooth::kNoAdapter);

    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    ASSERT_TRUE(mock.setBool(kAdapterPath, kAdapterInterface, "Powered", false));
    EXPECT_FALSE(bt->Start());
    EXPECT_EQ(bt->GetErrorCode(), Bluetooth::kRadioOff);

    EXPECT_EQ(bt->PowerOn(), 0);
    bool powered = false;
    ASSERT_TRUE(mock.getBool(kAdapterPath, kAdapterInterface, "Powered", &powered));
    EXPECT_TRUE(powered);
    ASSERT_TRUE(bt->Start());
    bt->Stop();
}

TEST_F(BluezMock, WithoutTheBluetoothServiceTheRawBackendAnswers) {
    mock.stop();
    std::string error;
    ASSERT_TRUE(mock.start(&error, false)) << error;  // a bus with no BlueZ on it
    EXPECT_STRNE(Brevan2011::BVComm::PlatformBluetoothBackendName(), "BlueZ D-Bus");
    makeBluetooth();
    std::vector<Bluetooth::Device> paired;
    EXPECT_EQ(bt->ListPairedDevices(paired), Bluetooth::kNoAdapter);
    EXPECT_TRUE(paired.empty());
}

TEST_F(BluezMock, PairedDevicesAreListed) {
    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:10:01", "GNSS-1001").empty());
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:20:02", "GNSS-2002").empty());
    ASSERT_TRUE(mock.pairDevice(kAdapter, "00:02:5B:00:20:02"));
    makeBluetooth();
    std::vector<Bluetooth::Device> paired;
    ASSERT_EQ(bt->ListPairedDevices(paired), 0);
    ASSERT_EQ(paired.size(), 1u);
    EXPECT_EQ(paired[0].name, L"GNSS-2002");
    EXPECT_EQ(paired[0].address, 0x00025B002002ULL);
}

TEST_F(BluezMock, PairingAsksThePinAndBlueZGetsTheAnswer) {
    struct Case {
        const char* what;
        bool answer;
        std::string pin;
        int code;
        bool fromBluez;
    };
    const Case cases[] = {
        {"the right PIN", true, "1234", 0, true},
        {"a wrong PIN", true, "9999", Bluetooth::kNotAuthenticated, true},
        {"the user refuses", false, "", Bluetooth::kNotAuthenticated, true},
        // Another program on the bus cannot make the program ask for a PIN.
        {"asked by another program", true, "1234", Bluetooth::kNotAuthenticated, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
        const std::string device = mock.addDevice(kAdapter, "00:02:5B:00:50:05", "GNSS-5005");
        ASSERT_TRUE(mock.addMethod(device, kDeviceInterface, "Pair", "", "",
                                   pairAskingPin("1234", c.fromBluez)));
        makeBluetooth();
        std::vector<std::wstring> asked;
        bt->SetPinCallback([&](const std::wstring& name, std::string& pin) {
            asked.push_back(name);
            pin = c.pin;
            return c.answer;
        });
        EXPECT_EQ(bt->BindBluetooth(0x00025B005005ULL, 3, 0), c.code) << mock.log();
        EXPECT_EQ(asked.size(), c.fromBluez ? 1u : 0u);
        if (!asked.empty()) {
            EXPECT_EQ(asked[0], L"GNSS-5005");
        }
        bool paired = false;
        ASSERT_TRUE(mock.getBool(device, kDeviceInterface, "Paired", &paired));
        EXPECT_EQ(paired, c.code == 0);
        EXPECT_EQ(Brevan2011::BVComm::BluetoothPortAddress(3, nullptr), c.code == 0)
            << "only a paired receiver is bound";
        const std::vector<std::string> calls = mock.calls("/org/bluez");
        EXPECT_EQ(calls, (std::vector<std::string>{"RegisterAgent", "UnregisterAgent"}));
    }
}

TEST_F(BluezMock, BindingStopsTheSearchPairsAndTheBoundNumberConnects) {
    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    const std::string device = mock.addDevice(kAdapter, "00:02:5B:00:60:06", "GNSS-6006");
    // BlueZ's Pair, refusing while the adapter still discovers.
    ASSERT_TRUE(mock.addMethod(
        device, kDeviceInterface, "Pair", "", "",
        "if objects['/org/bluez/hci0'].props['org.bluez.Adapter1']['Discovering']:\n"
        "    raise dbus.exceptions.DBusException('busy', name='org.bluez.Error.InProgress')\n"
        "self.PairDevice('hci0', self.props['org.bluez.Device1']['Address'], 7936)\n"));
    makeBluetooth();
    bt->SetSearchTime(600000);
    ASSERT_TRUE(bt->Start());
    auto search = std::async(std::launch::async, [this] { bt->Run(); });
    ASSERT_TRUE(waitFound(1));

    // Pair refuses while the adapter discovers: a success means the search was stopped first.
    EXPECT_EQ(bt->BindBluetooth(0x00025B006006ULL, 4, 0), 0) << mock.log();
    ASSERT_EQ(search.wait_for(10s), std::future_status::ready);
    bool paired = false;
    ASSERT_TRUE(mock.getBool(device, kDeviceInterface, "Paired", &paired));
    EXPECT_TRUE(paired);

    // COM4 now leads to the receiver: a Bluetooth open of it connects there.
    int link[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, link), 0);
    std::uint64_t asked = 0;
    Brevan2011::BVComm::SetRfcommConnector([&](std::uint64_t address, int*) {
        asked = address;
        return link[0];
    });
    Brevan2011::BVComm::PARAM_BT p;
    p.port = 4;
    Brevan2011::BVComm::IPortInstance* port = nullptr;
    ASSERT_EQ(Brevan2011::BVComm::CreatePortInstance(Brevan2011::BVComm::kPortBluetooth, &p, &port),
              0);
    EXPECT_EQ(asked, 0x00025B006006ULL);
    EXPECT_EQ(port->WriteData("hello", 5), 5u);
    char buffer[8] = {};
    EXPECT_EQ(::recv(link[1], buffer, sizeof buffer, 0), 5);
    port->Uninitialize();
    Brevan2011::BVComm::ExitPortInstance(&port);
    ::close(link[1]);

    // Released with the object: the number leads nowhere any more.
    bt.reset();
    EXPECT_FALSE(Brevan2011::BVComm::BluetoothPortAddress(4, nullptr));
}

TEST_F(BluezMock, ABindingHoldsItsNumberAgainstAnother) {
    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    makeBluetooth();
    Bluetooth other;
    other.SetTtyBinding(false);
    // Unknown to BlueZ: bound without pairing.
    ASSERT_EQ(bt->BindBluetooth(0x00025B007007ULL, 6, 0), 0);
    EXPECT_EQ(other.BindBluetooth(0x00025B008008ULL, 6, 0), Bluetooth::kPortInUse);
    EXPECT_EQ(other.BindBluetooth(0x00025B008008ULL, 256, 0), Bluetooth::kNoMatchedPort);
    std::uint64_t address = 0;
    ASSERT_TRUE(Brevan2011::BVComm::BluetoothPortAddress(6, &address));
    EXPECT_EQ(address, 0x00025B007007ULL);
    EXPECT_EQ(bt->BindBluetooth(0x00025B009009ULL, 6, 0), 0) << "its own number it binds again";
}

#ifdef VARNOK_BT_PROBE
TEST_F(BluezMock, TheProbeListsDevicesThroughTheBus) {
    ASSERT_FALSE(mock.addAdapter(kAdapter, "handheld").empty());
    ASSERT_FALSE(mock.addDevice(kAdapter, "00:02:5B:00:10:01", "GNSS-1001").empty());
    std::FILE* probe = ::popen(VARNOK_BT_PROBE " 1 2>&1", "r");
    ASSERT_NE(probe, nullptr);
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, probe) != nullptr) {
        out += buffer;
    }
    const int status = ::pclose(probe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("backend: BlueZ D-Bus"), std::string::npos) << out;
    EXPECT_NE(out.find("00:02:5B:00:10:01  port 0  GNSS-1001"), std::string::npos) << out;
    EXPECT_NE(out.find("search ended, error code 0"), std::string::npos) << out;
}
#endif

// Run by run-unprivileged.sh: the program really is an ordinary user's.
TEST(BluetoothPrivileges, TheUnprivilegedRunHoldsNoPrivilege) {
    if (std::getenv("VARNOK_EXPECT_UNPRIVILEGED") == nullptr) {
        return;
    }
    std::ifstream status("/proc/self/status");
    std::string line;
    std::string effective;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) == 0) {
            effective = line.substr(7);
        }
    }
    EXPECT_EQ(std::strtoull(effective.c_str(), nullptr, 16), 0u) << effective;
    EXPECT_NE(::getuid(), 0u);
}

}  // namespace
