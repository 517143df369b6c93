// Operations and getters from several threads, from inside the data callback, and racing
// against opening and closing.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "FakeTcpPeer.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
using namespace Brevan2011::BVParse;

namespace {

constexpr std::size_t kRequestBytes = 2000;  // four commands of at most 512 bytes

// Request id's bytes: all different within the request, and the first byte names the id.
std::string requestBytes(int id) {
    std::string r(kRequestBytes, '\0');
    for (std::size_t i = 0; i < r.size(); ++i) {
        r[i] = static_cast<char>(id * 31 + i * 7 + i / 256);
    }
    return r;
}

int idOf(unsigned char first) {
    for (int id = 0; id < 256; ++id) {
        if (static_cast<unsigned char>(id * 31) == first) {
            return id;
        }
    }
    return -1;
}

}  // namespace

TEST_F(SessionTest, ConcurrentRequestsArriveWhole) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_TRUE(s->Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    constexpr int kPerThread = 6;
    std::thread threads[2];
    for (int t = 0; t < 2; ++t) {
        threads[t] = std::thread([&s, t] {
            for (int k = 0; k < kPerThread; ++k) {
                const std::string r = requestBytes(1 + t * kPerThread + k);
                s->SendCustomCommand(bytesOf(r), kRequestBytes, 0);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    // Queued requests (all of them unless the queue was full) go out whole, one after another.
    ASSERT_TRUE(peer.waitReceived(kRequestBytes * 10, 15000));
    std::this_thread::sleep_for(1500ms);
    const std::string got = peer.received();
    ASSERT_EQ(got.size() % kRequestBytes, 0u);
    for (std::size_t at = 0; at < got.size(); at += kRequestBytes) {
        const int id = idOf(static_cast<unsigned char>(got[at]));
        ASSERT_GE(id, 1);
        EXPECT_EQ(got.substr(at, kRequestBytes), requestBytes(id)) << "request at " << at;
    }
}

namespace {

std::atomic<EmGnss_Receiver*> callbackSession{nullptr};
std::atomic<int> callbackRounds{0};

void callsBackIntoTheSession(Msg_Type, uint32_t, const void*) {
    EmGnss_Receiver* s = callbackSession.load();
    if (s == nullptr) {
        return;
    }
    (void)s->Get_Gnss_Manufacturer();
    int count = 0;
    s->Get_Gnss_SatTypeNum(count);
    s->Send_Gprs_GetList();
    s->Send_DeviceInfo();
    ++callbackRounds;
}

}  // namespace

TEST_F(SessionTest, GettersAndOperationsWorkInsideTheDataCallback) {
    static const _CALLBACKS_RECEIVER callbacks{&callsBackIntoTheSession, nullptr};
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
    s.RegisterCbs_Receiver(&callbacks, nullptr);
    callbackSession = &s;
    ASSERT_TRUE(s.Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    ASSERT_TRUE(peer.send(scriptedRecord(1) + scriptedRecord(2) + scriptedRecord(3)));
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (callbackRounds.load() < 3 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(callbackRounds.load(), 3);
    EXPECT_TRUE(s.Port_Close());
    callbackSession = nullptr;
}

TEST_F(SessionTest, OperationsAndGettersRaceOpenAndClose) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    std::atomic<bool> stop{false};
    std::thread caller([&] {
        for (unsigned n = 0; !stop.load(); ++n) {
            s->Send_200Data(true);
            s->Send_Gprs_GetList();
            if (n % 256 == 0) {
                s->Send_QxMdl(2);  // holds dataLock for its pause: not on every pass
            }
            s->Set_Com_Data_Monitor(true);
            s->Set_Gnss_ElevMask(10);
            (void)s->Get_Gnss_Manufacturer();
            (void)s->Get_Gnss_BsCfg();
            TRSMT_INFO trs;
            s->Get_Gnss_Trsinfo(trs);
            char list[4096];
            int length = 0;
            s->Get_Gprs_GetList(list, &length);
            s->Send_200Data(false);
        }
    });
    for (int round = 0; round < 15; ++round) {
        ASSERT_TRUE(s->Port_Open(peer.param()));
        std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(s->Port_Close());
    }
    stop = true;
    caller.join();
}

namespace {

std::atomic<EmGnss_Receiver*> readerSession{nullptr};
std::atomic<int> modeInCallback{-1};

void readsTheWifiMode(Msg_Type, uint32_t, const void*) {
    if (EmGnss_Receiver* s = readerSession.load()) {
        QX_WIFI_MODE_ENUM mode{};
        s->Get_WIFI_Mode(mode);
        modeInCallback = static_cast<int>(mode);
    }
}

}  // namespace

// A value the receiver reports is read back through the session, inside the data callback
// and from another thread afterwards.
TEST(SessionGetters, AReportedValueIsReadBackInsideAndOutsideTheCallback) {
    UseScriptedProtocol(false);
    static const _CALLBACKS_RECEIVER callbacks{&readsTheWifiMode, nullptr};
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    EmGnss_Receiver s(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    s.RegisterCbs_Receiver(&callbacks, nullptr);
    readerSession = &s;
    ASSERT_TRUE(s.Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));

    // The receiver's report carries the same frame as the set command.
    Em_Gnss reference(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    const unsigned short mode = 2;
    Cmd_List cmds;
    reference.Get_Cmd_WIFI_Mode(cmds, &mode);
    ASSERT_EQ(cmds.size(), 1u);
    ASSERT_TRUE(
        peer.send(std::string(reinterpret_cast<const char*>(cmds[0].data), cmds[0].length)));

    const auto until = std::chrono::steady_clock::now() + 5s;
    while (modeInCallback.load() < 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(modeInCallback.load(), 2);
    QX_WIFI_MODE_ENUM read{};
    s.Get_WIFI_Mode(read);
    EXPECT_EQ(read, 2);
    EXPECT_TRUE(s.Port_Close());
    readerSession = nullptr;
    // Closed: the caller's value stays.
    QX_WIFI_MODE_ENUM untouched = static_cast<QX_WIFI_MODE_ENUM>(77);
    s.Get_WIFI_Mode(untouched);
    EXPECT_EQ(untouched, 77);
}

// The getters that copy large or multi-part state wait for a message being parsed (dataLock)
// instead of copying it half-written.
TEST_F(SessionTest, BulkGettersWaitForTheParseLock) {
    TempDir dir;
    const std::string replay = dir.file("empty.bin");
    writeFile(replay, "");
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_TRUE(s->Port_Open(replay.c_str()));
    static TRSMT_INFO trs;
    static em_eph_t eph;
    static em_obs_t obs;
    static FIRMWARE_DEBUG firmware;
    static PASSCOMCHAR pass;
    static char list[4096];
    static unsigned char diff[256];
    struct Case {
        const char* what;
        std::function<void(EmGnss_Receiver&)> call;
    } cases[] = {
        {"Get_Gnss_Trsinfo", [](EmGnss_Receiver& r) { r.Get_Gnss_Trsinfo(trs); }},
        {"Get_Gnss_Ephemeris",
         [](EmGnss_Receiver& r) {
             unsigned system = 1;
             r.Get_Gnss_Ephemeris(&system, &eph);
         }},
        {"Get_Gnss_Obs_t", [](EmGnss_Receiver& r) { r.Get_Gnss_Obs_t(&obs); }},
        {"Get_Gprs_GetList",
         [](EmGnss_Receiver& r) {
             int n = 0;
             r.Get_Gprs_GetList(list, &n);
         }},
        {"Get_Gprs_DiffInfo",
         [](EmGnss_Receiver& r) {
             int n = 0;
             r.Get_Gprs_DiffInfo(diff, &n);
         }},
        {"Get_FirmWare_Db", [](EmGnss_Receiver& r) { r.Get_FirmWare_Db(0, firmware); }},
        {"Get_PassCom_Char", [](EmGnss_Receiver& r) { r.Get_PassCom_Char(pass); }},
        {"Set_GNSS_ParseNmea", [](EmGnss_Receiver& r) { r.Set_GNSS_ParseNmea(true); }},
    };
    for (const Case& c : cases) {
        std::atomic<bool> locked{false};
        std::atomic<bool> released{false};
        std::thread parser([&] {
            const auto hold = Probe::holdDataLock(*s);
            locked = true;
            std::this_thread::sleep_for(150ms);
            released = true;
        });
        while (!locked.load()) {
            std::this_thread::sleep_for(1ms);
        }
        c.call(*s);
        EXPECT_TRUE(released.load()) << c.what << " ran while the parse lock was held";
        parser.join();
    }
    EXPECT_TRUE(s->Port_Close());
}
