#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BVComm/Bluetooth.h"
#include "BVComm/PortPaths.h"
#include "BVComm/RfcommPort.h"
#include "FakeBluetoothBackend.h"
#include "TempDir.h"

using Brevan2011::BVComm::Bluetooth;
using Brevan2011::BVComm::BluetoothAdapterState;
using Brevan2011::BVComm::GUID;
using varnok_test::FakeBluetoothBackend;

namespace {

struct Found {
    std::wstring name;
    std::uint64_t address;
    std::uint32_t port;
};

std::mutex foundMutex;
std::vector<Found> found;

void collect(const std::wstring& name, std::uint64_t* address, std::uint32_t* port) {
    std::lock_guard<std::mutex> guard(foundMutex);
    found.push_back(Found{name, *address, *port});
}

class BluetoothWithFake : public ::testing::Test {
protected:
    void SetUp() override {
        std::lock_guard<std::mutex> guard(foundMutex);
        found.clear();
    }
    std::unique_ptr<Bluetooth> make() {
        auto bt = std::make_unique<Bluetooth>(std::make_unique<FakeBluetoothBackend>(state_));
        bt->SetResultCallback(collect);
        return bt;
    }
    std::shared_ptr<FakeBluetoothBackend::State> state_ =
        std::make_shared<FakeBluetoothBackend::State>();
};

// --- text parsing ---

TEST(BluetoothText, GetBAParsesTwelveDigitsAndStopsAfterThem) {
    struct Case {
        const wchar_t* text;
        bool ok;
        std::uint64_t value;
        std::size_t consumed;  // characters before the pointer afterwards
    } cases[] = {
        {L"  00025B0A1C2D", true, 0x00025B0A1C2DULL, 14},
        {L"00025b0a1c2d rest", true, 0x00025B0A1C2DULL, 12},
        {L"FFFFFFFFFFFF", true, 0xFFFFFFFFFFFFULL, 12},
        {L"00025B0A1C", false, 0, 10},
        {L"00025B0A1C2DX", false, 0, 12},
        {L"00025B0A1C2D0", false, 0, 12},
        {L"0G025B0A1C2D", false, 0, 1},
        {L"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        const wchar_t* p = c.text;
        std::uint64_t value = 0x77;
        EXPECT_EQ(Bluetooth::GetBA(&p, &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        } else {
            EXPECT_EQ(value, 0x77u);
        }
        EXPECT_EQ(static_cast<std::size_t>(p - c.text), c.consumed);
    }
    std::uint64_t value = 0;
    EXPECT_FALSE(Bluetooth::GetBA(nullptr, &value));
    const wchar_t* none = nullptr;
    EXPECT_FALSE(Bluetooth::GetBA(&none, &value));
}

TEST(BluetoothText, StringToGUIDReadsElevenFields) {
    GUID g;
    ASSERT_TRUE(Bluetooth::StringToGUID(L"00001101-0000-1000-8000-00805F9B34FB", &g));
    EXPECT_EQ(g.Data1, 0x00001101u);
    EXPECT_EQ(g.Data2, 0x0000u);
    EXPECT_EQ(g.Data3, 0x1000u);
    const std::uint8_t bytes[8] = {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(g.Data4[i], bytes[i]) << i;
    }
    GUID lower;
    ASSERT_TRUE(Bluetooth::StringToGUID(L"00001101-0000-1000-8000-00805f9b34fb", &lower));
    EXPECT_TRUE(lower == g);

    GUID untouched;
    EXPECT_FALSE(Bluetooth::StringToGUID(L"00001101-0000-1000-8000-00805F9B34", &untouched))
        << "ten fields";
    EXPECT_FALSE(Bluetooth::StringToGUID(nullptr, &untouched));
    EXPECT_FALSE(Bluetooth::StringToGUID(L"not a guid", &untouched));
    EXPECT_TRUE(untouched == GUID{});
}

TEST(BluetoothText, DeviceNamesConvertFromUtf8) {
    EXPECT_EQ(Bluetooth::FromUtf8("GNSS-1234"), L"GNSS-1234");
    EXPECT_EQ(Bluetooth::FromUtf8("Ger\xC3\xA4t \xE2\x82\xAC \xF0\x9F\x93\xA1"),
              L"Ger\u00E4t \u20AC \U0001F4E1");
    // Malformed: a lone continuation byte, a cut sequence, an overlong form.
    EXPECT_EQ(Bluetooth::FromUtf8("a\x80"
                                  "b"),
              L"a\uFFFDb");
    EXPECT_EQ(Bluetooth::FromUtf8("a\xE2\x82"), L"a\uFFFD");
    EXPECT_EQ(Bluetooth::FromUtf8("\xC0\xAF"), L"\uFFFD");
}

// --- search ---

TEST_F(BluetoothWithFake, SearchReportsDevicesAndKeepsTheRightCode) {
    using Step = FakeBluetoothBackend::Step;
    struct Case {
        const char* what;
        std::vector<Step> script;
        unsigned count;
        int code;
        std::vector<std::wstring> names;
    };
    const std::vector<Case> cases = {
        {"named and unnamed",
         {FakeBluetoothBackend::device("GNSS-0001", 0x00025B0A1C2D),
          FakeBluetoothBackend::device("", 0x112233445566), FakeBluetoothBackend::code(10110)},
         2,
         0,
         {L"GNSS-0001", L"Unnamed Device"}},
        {"two addresses skipped",
         {FakeBluetoothBackend::device("Twice", 1, 2), FakeBluetoothBackend::device("Once", 2),
          FakeBluetoothBackend::code(10110)},
         1,
         0,
         {L"Once"}},
        {"nothing found keeps 10110", {FakeBluetoothBackend::code(10110)}, 0, 10110, {}},
        {"10110 after one device",
         {FakeBluetoothBackend::device("A", 3), FakeBluetoothBackend::code(10110)},
         1,
         0,
         {L"A"}},
        {"cancelled 10111", {FakeBluetoothBackend::code(10111)}, 0, 0, {}},
        {"cancelled 10103", {FakeBluetoothBackend::code(10103)}, 0, 0, {}},
        {"other code kept", {FakeBluetoothBackend::code(10108)}, 0, 10108, {}},
        {"other code after a device",
         {FakeBluetoothBackend::device("B", 4), FakeBluetoothBackend::code(10108)},
         1,
         0,
         {L"B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            std::lock_guard<std::mutex> guard(foundMutex);
            found.clear();
        }
        state_ = std::make_shared<FakeBluetoothBackend::State>();
        state_->script.assign(c.script.begin(), c.script.end());
        auto bt = make();
        ASSERT_TRUE(bt->Start());
        EXPECT_EQ(bt->SearchBluetooth(), c.count);
        EXPECT_EQ(bt->GetErrorCode(), c.code);
        EXPECT_EQ(state_->endCalls, 1);
        std::lock_guard<std::mutex> guard(foundMutex);
        ASSERT_EQ(found.size(), c.names.size());
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].name, c.names[i]);
            EXPECT_EQ(found[i].port, 0u);
        }
    }
}

TEST_F(BluetoothWithFake, ReportsTheDeviceAddress) {
    state_->script = {FakeBluetoothBackend::device("GNSS-7", 0x00025B0A1C2D)};
    auto bt = make();
    ASSERT_TRUE(bt->Start());
    bt->Run();
    std::lock_guard<std::mutex> guard(foundMutex);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].address, 0x00025B0A1C2DULL);
}

TEST_F(BluetoothWithFake, StopBeforeTheFirstResultEndsWithCodeZero) {
    state_->script = {FakeBluetoothBackend::device("never", 1)};
    auto bt = make();
    ASSERT_TRUE(bt->Start());
    bt->Stop();
    EXPECT_EQ(bt->SearchBluetooth(), 0u);
    EXPECT_EQ(bt->GetErrorCode(), 0);
    EXPECT_EQ(state_->endCalls, 1) << "Stop and the search's own end end the lookup once";
    std::lock_guard<std::mutex> guard(foundMutex);
    EXPECT_TRUE(found.empty());
}

TEST_F(BluetoothWithFake, StartFailures) {
    struct Case {
        BluetoothAdapterState adapter;
        int beginResult;
        int code;
        int beginCalls;
    } cases[] = {
        {BluetoothAdapterState::Down, 0, 2206, 0},
        {BluetoothAdapterState::None, 0, 10050, 0},
        {BluetoothAdapterState::Up, 10091, 10091, 1},
    };
    for (const Case& c : cases) {
        state_ = std::make_shared<FakeBluetoothBackend::State>();
        state_->adapter = c.adapter;
        state_->beginResult = c.beginResult;
        auto bt = make();
        EXPECT_FALSE(bt->Start());
        EXPECT_EQ(bt->GetErrorCode(), c.code);
        EXPECT_EQ(state_->beginCalls, c.beginCalls);
        bt.reset();
        EXPECT_EQ(state_->endCalls, 0) << "a lookup that never began is not ended";
    }
}

TEST_F(BluetoothWithFake, StartClearsTheLastErrorAndARunWithoutLookupFails) {
    state_->script = {FakeBluetoothBackend::code(10110)};
    auto bt = make();
    ASSERT_TRUE(bt->Start());
    bt->Run();
    EXPECT_EQ(bt->GetErrorCode(), 10110);
    bt->Run();  // the lookup is over: nothing is asked of the backend
    EXPECT_EQ(state_->nextCalls, 1);
    EXPECT_NE(bt->GetErrorCode(), 0);
    ASSERT_TRUE(bt->Start());
    EXPECT_EQ(bt->GetErrorCode(), 0);
}

TEST_F(BluetoothWithFake, PowerOnSwitchesAnAdapterThatIsDown) {
    state_->adapter = BluetoothAdapterState::Down;
    auto bt = make();
    EXPECT_EQ(bt->PowerOn(), 0);
    EXPECT_EQ(state_->powerOnCalls, 1);
    EXPECT_TRUE(bt->Start());
    EXPECT_EQ(bt->PowerOn(), 0);
    EXPECT_EQ(state_->powerOnCalls, 1) << "an adapter that is up is left alone";

    state_->adapter = BluetoothAdapterState::None;
    EXPECT_EQ(bt->PowerOn(), 10050);
    state_->adapter = BluetoothAdapterState::Down;
    state_->powerOnResult = EPERM;
    EXPECT_EQ(bt->PowerOn(), 5);
    EXPECT_EQ(bt->GetErrorCode(), 5);
    state_->powerOnResult = ENODEV;
    EXPECT_EQ(bt->PowerOn(), 10050);
    state_->powerOnResult = 132;  // ERFKILL: blocked by the radio switch
    EXPECT_EQ(bt->PowerOn(), 31);
}

// --- binding ---

TEST_F(BluetoothWithFake, BindRegistersTheSerialProfileOnTheComNumber) {
    auto bt = make();
    EXPECT_EQ(bt->BindBluetooth(0x00025B0A1C2DULL, 8, 0), 0);
    ASSERT_EQ(state_->binds.size(), 1u);
    const auto& b = state_->binds[0];
    EXPECT_EQ(b.index, 8u);
    EXPECT_EQ(b.address, 0x00025B0A1C2DULL);
    EXPECT_EQ(b.channel, 254);
    EXPECT_EQ(b.serviceClass.Data1, 0x00001101u);
    EXPECT_EQ(b.serviceClass.Data3, 0x1000u);
    EXPECT_EQ(b.serviceClass.Data4[7], 0xFB);

    EXPECT_EQ(bt->BindBluetooth(0x0000AABBCCDDULL, 9, 0), 0);
    ASSERT_EQ(state_->releases.size(), 1u) << "a second bind releases the first";
    EXPECT_EQ(state_->releases[0], 8u);
    EXPECT_EQ(state_->bound, std::set<unsigned int>{9u});

    bt.reset();
    EXPECT_TRUE(state_->bound.empty()) << "destruction releases the binding";
    EXPECT_EQ(state_->releases.size(), 2u);
}

TEST_F(BluetoothWithFake, AnAddressBeyond48BitsBindsNothing) {
    auto bt = make();
    EXPECT_EQ(bt->BindBluetooth(1ULL << 48, 8, 0), 87);
    EXPECT_EQ(bt->GetErrorCode(), 87);
    EXPECT_TRUE(state_->binds.empty());
    EXPECT_EQ(bt->BindBluetooth(0xFFFFFFFFFFFFULL, 8, 0), 0) << "the largest 48-bit address";
    EXPECT_EQ(state_->binds.at(0).address, 0xFFFFFFFFFFFFULL);
}

TEST_F(BluetoothWithFake, ASerialDeviceTheKernelRefusesLeavesTheSocketLink) {
    // Without CAP_NET_ADMIN the kernel refuses the serial device (EPERM): the binding used to
    // fail with 5, "Failed to bind device!". The COM number now leads to the receiver anyway.
    for (int error : {EPERM, EACCES, EADDRINUSE, ENODEV, EIO}) {
        state_ = std::make_shared<FakeBluetoothBackend::State>();
        state_->bindResult = error;
        auto bt = make();
        EXPECT_EQ(bt->BindBluetooth(0x00025B0A1C2DULL, 4, 0), 0) << "errno " << error;
        std::uint64_t address = 0;
        ASSERT_TRUE(Brevan2011::BVComm::BluetoothPortAddress(4, &address)) << "errno " << error;
        EXPECT_EQ(address, 0x00025B0A1C2DULL);
        bt.reset();
        EXPECT_TRUE(state_->releases.empty()) << "no serial device to release";
        EXPECT_FALSE(Brevan2011::BVComm::BluetoothPortAddress(4, nullptr));
    }
    // The page reads 1 to 3 as its own results: no errno value may land there.
    for (int error = 1; error < 200; ++error) {
        const int code = Bluetooth::BindResultCode(error);
        EXPECT_TRUE(code < 1 || code > 3) << "errno " << error;
    }
}

TEST_F(BluetoothWithFake, ASerialDeviceIsMadeOnlyWhereTheProcessMayAndIsAskedTo) {
    struct Case {
        bool capable;
        bool allowed;
        bool tty;
    };
    for (const Case c :
         {Case{true, true, true}, Case{false, true, false}, Case{true, false, false}}) {
        state_ = std::make_shared<FakeBluetoothBackend::State>();
        state_->ttyAllowed = c.capable;
        auto bt = make();
        bt->SetTtyBinding(c.allowed);
        ASSERT_EQ(bt->BindBluetooth(0x00025B0A1C2DULL, 6, 0), 0);
        EXPECT_EQ(state_->binds.size(), c.tty ? 1u : 0u);
        // A serial device is opened as "/dev/rfcomm6"; otherwise the number leads to a socket.
        EXPECT_EQ(Brevan2011::BVComm::BluetoothPortAddress(6, nullptr), !c.tty);
        bt.reset();
        EXPECT_EQ(state_->releases.size(), c.tty ? 1u : 0u);
    }
}

TEST_F(BluetoothWithFake, ASerialDeviceThatStaysIsReported) {
    state_->releaseResult = EBUSY;
    auto bt = make();
    ASSERT_EQ(bt->BindBluetooth(0x00025B0A1C2DULL, 7, 0), 0);
    ASSERT_EQ(state_->bound, std::set<unsigned int>{7u});
    testing::internal::CaptureStderr();
    bt.reset();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("/dev/rfcomm7 could not be released"), std::string::npos) << said;
    const std::string log =
        varnok_test::readFile(Brevan2011::BVComm::LogDirectory() + "/runtime.log");
    EXPECT_NE(log.find("/dev/rfcomm7 could not be released"), std::string::npos) << log;
}

TEST_F(BluetoothWithFake, PairingComesBeforeTheBindingAndAFailureBindsNothing) {
    struct Case {
        const char* what;
        int pairResult;
        bool asksPin;
        bool answers;
        int code;
    };
    const Case cases[] = {
        {"unknown to the platform", Brevan2011::BVComm::kPairUnknownDevice, false, false, 0},
        {"paired", 0, false, false, 0},
        {"PIN given", 0, true, true, 0},
        {"PIN refused", 0, true, false, Bluetooth::kNotAuthenticated},
        {"no answer", Bluetooth::kTimedOut, false, false, Bluetooth::kTimedOut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state_ = std::make_shared<FakeBluetoothBackend::State>();
        state_->pairResult = c.pairResult;
        state_->pairAsksPin = c.asksPin;
        auto bt = make();
        std::vector<std::wstring> asked;
        bt->SetPinCallback([&](const std::wstring& name, std::string& pin) {
            asked.push_back(name);
            pin = "1234";
            return c.answers;
        });
        EXPECT_EQ(bt->BindBluetooth(0x00025B0A1C2DULL, 2, 0), c.code);
        EXPECT_EQ(state_->pairs, std::vector<std::uint64_t>{0x00025B0A1C2DULL});
        EXPECT_EQ(asked.size(), c.asksPin ? 1u : 0u);
        if (c.asksPin) {
            EXPECT_EQ(asked[0], L"GNSS-PIN");
        }
        EXPECT_EQ(Brevan2011::BVComm::BluetoothPortAddress(2, nullptr) || !state_->bound.empty(),
                  c.code == 0);
        const bool pairedFirst = !state_->events.empty() && state_->events.front() == "pair";
        EXPECT_TRUE(pairedFirst);
        bt.reset();
    }
}

TEST_F(BluetoothWithFake, PairedDevicesComeWithTheirNames) {
    FakeBluetoothBackend::Result named;
    named.name = "GNSS-0042";
    named.address = 0x42;
    FakeBluetoothBackend::Result unnamed;
    unnamed.address = 0x43;
    state_->paired = {named, unnamed};
    auto bt = make();
    std::vector<Bluetooth::Device> paired;
    ASSERT_EQ(bt->ListPairedDevices(paired), 0);
    ASSERT_EQ(paired.size(), 2u);
    EXPECT_EQ(paired[0].name, L"GNSS-0042");
    EXPECT_EQ(paired[1].name, L"Unnamed Device");
    EXPECT_EQ(paired[1].address, 0x43u);
}

TEST(BluetoothPlatform, StartReportsTheRadioOrSearches) {
    Bluetooth bt;
    EXPECT_EQ(bt.GetType(), 1u);
    bt.SetSearchTime(0);
    if (bt.Start()) {
        // A machine with an adapter that is up: the search runs and is stopped.
        bt.Stop();
        bt.Run();
        EXPECT_EQ(bt.GetErrorCode(), 0);
        return;
    }
    EXPECT_TRUE(bt.GetErrorCode() == 10050 || bt.GetErrorCode() == 2206) << bt.GetErrorCode();
}

}  // namespace

namespace {

TEST(BluetoothPlatform, AComNumberBeyondTheDriversRangeIsNoMatchedPort) {
    Bluetooth bt;
    EXPECT_EQ(bt.BindBluetooth(0x00025B0A1C2DULL, 256, 0), 1413);
    EXPECT_EQ(bt.GetErrorCode(), 1413);
}

}  // namespace
