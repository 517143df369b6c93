// Opening, closing and the session's states, driven by replay files, a pseudo-terminal and a
// loopback TCP receiver.
#include <gtest/gtest.h>
#include <termios.h>

#include <atomic>
#include <memory>
#include <thread>

#include "SessionTestHooks.h"
#include "FakeTcpPeer.h"
#include "ProcessThreads.h"
#include "PtyPair.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
namespace BVParse = Brevan2011::BVParse;

TEST_F(SessionTest, StatesAndWhatEachAllows) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    EXPECT_TRUE(s->Port_Close());  // never opened
    EXPECT_FALSE(s->IsPortOpen());

    ASSERT_TRUE(s->Port_Open(replay_.c_str()));
    EXPECT_TRUE(s->IsPortOpen());
    EXPECT_EQ(Probe::portKind(*s), 3);
    EXPECT_FALSE(s->Port_Open(replay_.c_str()));
    EXPECT_FALSE(s->Port_Open(closedLoopbackParam()));
    EXPECT_TRUE(s->IsPortOpen());
    EXPECT_FALSE(s->setReceiverType(BVParse::GNSS_MNFCTR_OEM, BVParse::MAINBD_NMEA));

    struct Buf {
        unsigned value, expected;
    } bufs[] = {{2048, 2048}, {4096, 2048}, {2047, 2047}, {0, 0}, {2048, 0}, {512, 512}};
    for (const Buf& b : bufs) {
        s->Port_SetBuf(b.value);
        EXPECT_EQ(Probe::readChunk(*s), b.expected) << b.value;
    }
    s->Port_SetBaud(115200);  // not a serial session: nothing happens

    EXPECT_TRUE(s->Port_Close());
    EXPECT_FALSE(s->IsPortOpen());
    EXPECT_EQ(Probe::portKind(*s), 3);  // kept after closing
    EXPECT_TRUE(s->setReceiverType(BVParse::GNSS_MNFCTR_OEM, BVParse::MAINBD_NMEA));
    EXPECT_TRUE(s->Port_ReOpen(replay_.c_str()));
    EXPECT_TRUE(s->IsPortOpen());
}

TEST_F(SessionTest, FailedTcpOpenLeavesItHalfOpenUntilClosed) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    EXPECT_FALSE(s->Port_Open(closedLoopbackParam()));
    EXPECT_FALSE(s->IsPortOpen());
    EXPECT_TRUE(Probe::hasFacade(*s));
    EXPECT_FALSE(s->Port_Open(replay_.c_str()));
    EXPECT_FALSE(s->setReceiverType(BVParse::GNSS_MNFCTR_OEM, BVParse::MAINBD_NMEA));
    EXPECT_TRUE(s->Port_Close());
    EXPECT_FALSE(Probe::hasFacade(*s));
    EXPECT_TRUE(s->Port_Open(replay_.c_str()));
}

TEST_F(SessionTest, AThreadThatCannotStartUndoesTheOpen) {
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    for (int which : {1, 2, 3}) {
        Brevan2011::BVDevice::FailSessionThreadStart(which);
        EXPECT_FALSE(s->Port_Open(replay_.c_str())) << which;
        EXPECT_FALSE(s->IsPortOpen());
        EXPECT_FALSE(Probe::hasFacade(*s));  // not half-open: everything undone
    }
    Brevan2011::BVDevice::FailSessionThreadStart(0);
    EXPECT_TRUE(s->Port_Open(replay_.c_str()));
}

TEST_F(SessionTest, EachRecordReachesTheDataCallbackOnceOnTheParseThread) {
    writeFile(replay_, "junk<5>x<6><7>");
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_TRUE(s->Port_Open(replay_.c_str()));
    s->RegisterCbs_Receiver(nullptr, nullptr);  // ignored while open
    ASSERT_TRUE(CallbackRecorder::instance().waitData(3, 5000));
    const auto parseThread = Probe::parseThread(*s);
    std::this_thread::sleep_for(700ms);  // the replay sits at its end: nothing more comes
    const auto data = CallbackRecorder::instance().data();
    ASSERT_EQ(data.size(), 3u);
    for (std::size_t i = 0; i < data.size(); ++i) {
        EXPECT_EQ(data[i].flags, 5u + i);
        EXPECT_EQ(data[i].category, BVParse::MSG_GNSS_DATA);
        EXPECT_EQ(data[i].user, nullptr);  // the session registers no user data
        EXPECT_EQ(data[i].thread, parseThread);
    }
}

TEST_F(SessionTest, NullPathReplaysTheStoredPath) {
    writeFile(replay_, "<9>");
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    EXPECT_FALSE(s->Port_Open(static_cast<const char*>(nullptr)));  // nothing stored yet
    EXPECT_TRUE(s->Port_Close());
    ASSERT_TRUE(s->Port_Open(replay_.c_str()));
    ASSERT_TRUE(CallbackRecorder::instance().waitData(1, 5000));
    ASSERT_TRUE(s->Port_Close());
    ASSERT_TRUE(s->Port_Open(static_cast<const char*>(nullptr)));
    ASSERT_TRUE(CallbackRecorder::instance().waitData(2, 5000));
    EXPECT_EQ(CallbackRecorder::instance().data()[1].flags, 9u);
}

TEST_F(SessionTest, SerialSessionOnAPseudoTerminal) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    Brevan2011::BVComm::SetComPortPath(21, pty.slavePath());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    Brevan2011::BVComm::PARAM_COM com;
    com.port = 21;
    ASSERT_TRUE(s->Port_Open(com));
    EXPECT_EQ(Probe::portKind(*s), 0);

    pty.writeMaster("<11>");
    ASSERT_TRUE(CallbackRecorder::instance().waitData(1, 5000));
    EXPECT_EQ(CallbackRecorder::instance().data()[0].flags, 11u);

    s->Send_DataToPort(bytesOf("RG,B0\r\n"), 7);
    EXPECT_EQ(pty.readMaster(7, 5000), "RG,B0\r\n");

    termios t{};
    s->Port_SetBaud(14400);  // not offered: ignored
    ASSERT_EQ(::tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
    s->Port_SetBaud(115200);
    ASSERT_EQ(::tcgetattr(pty.slave(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));

    ASSERT_TRUE(s->Port_Close());
    s->Port_SetBaud(57600);  // the port is gone: must not be reached
}

TEST_F(SessionTest, BluetoothSessionUsesTheBluetoothPath) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    Brevan2011::BVComm::SetBluetoothPortPath(4, pty.slavePath());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    Brevan2011::BVComm::PARAM_BT bt;
    bt.port = 4;
    ASSERT_TRUE(s->Port_Open(bt));
    EXPECT_EQ(Probe::portKind(*s), 1);
    pty.writeMaster("<3>");
    EXPECT_TRUE(CallbackRecorder::instance().waitData(1, 5000));
}

TEST_F(SessionTest, CloseFromTheSessionsOwnThreadIsRefused) {
    static EmGnss_Receiver* session = nullptr;
    static std::atomic<int> closeResult{-1};
    closeResult = -1;
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    session = s.get();
    CallbackRecorder::instance().setOnData([](std::uint32_t) {
        closeResult = session->Port_Close() ? 1 : 0;
        session->Port_Open(static_cast<const char*>(nullptr));
    });
    ASSERT_TRUE(s->Port_Open(replay_.c_str()));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (closeResult.load() < 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(closeResult.load(), 0);
    EXPECT_TRUE(s->IsPortOpen());
    EXPECT_TRUE(s->Port_Close());
}

namespace {

// The session a callback deletes, as an owner that drops its session on an answer does.
std::atomic<EmGnss_Receiver*> doomed{nullptr};
std::atomic<bool> doomedGone{false};

void deleteDoomed() {
    if (EmGnss_Receiver* s = doomed.exchange(nullptr)) {
        delete s;
        doomedGone = true;
    }
}

void deleteOnData(BVParse::Msg_Type, std::uint32_t, const void*) {
    deleteDoomed();
}

void deleteOnStatus(bool, const void*) {
    deleteDoomed();
}

}  // namespace

// Deleted on its own parse thread (data callback) or write thread (status callback of a reset):
// the other threads end, the one inside the callback unwinds without touching the freed
// session, and none is left behind.
TEST_F(SessionTest, ASessionDeletedInItsOwnCallbackEndsAllItsThreads) {
    static const BVParse::_CALLBACKS_RECEIVER onData = {&deleteOnData, nullptr};
    static const BVParse::_CALLBACKS_RECEIVER onStatus = {nullptr, &deleteOnStatus};
    struct Case {
        const char* what;
        const BVParse::_CALLBACKS_RECEIVER* callbacks;
    } cases[] = {{"data callback", &onData}, {"status callback", &onStatus}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string records;
        for (int i = 0; i < 500; ++i) {
            records += scriptedRecord(1);  // a read every 500 ms brings more
        }
        writeFile(replay_, records);
        const int baseline = baselineThreadCount();
        doomedGone = false;
        auto* s = new EmGnss_Receiver(BVParse::GNSS_MNFCTR_VELTA, BVParse::MAINBD_NOVATEL);
        s->RegisterCbs_Receiver(c.callbacks, nullptr);
        ASSERT_TRUE(s->Port_Open(replay_.c_str()));
        doomed = s;  // armed once the open is done: the owner deletes only an opened session
        if (c.callbacks == &onStatus) {
            s->ReSetGnsMd(BVParse::MAINBD_NOVATEL);
        }
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (!doomedGone.load() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(2ms);
        }
        ASSERT_TRUE(doomedGone.load());
        while (processThreadCount() != baseline && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(2ms);
        }
        EXPECT_EQ(processThreadCount(), baseline);
    }
}
