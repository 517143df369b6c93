// The write path, closing and resetting, recording and traces, against a loopback TCP receiver.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

#include "BVComm/PortPaths.h"
#include "BVDevice/ThreadTrace.h"
#include "FakeTcpPeer.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
namespace BVParse = Brevan2011::BVParse;
using Brevan2011::BVDevice::ThreadTrace;

namespace {

// The arrival time of every byte the peer received, in order.
std::vector<FakeTcpPeer::Clock::time_point> byteTimes(const FakeTcpPeer& peer) {
    std::vector<FakeTcpPeer::Clock::time_point> times;
    for (const auto& a : peer.arrivals()) {
        times.insert(times.end(), a.bytes.size(), a.at);
    }
    return times;
}

long long msBetween(FakeTcpPeer::Clock::time_point a, FakeTcpPeer::Clock::time_point b) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}

// Arrival times are taken on the receiving side; allow for the scheduling of the two ends.
constexpr long long kSlackMs = 15;

class TcpSessionTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_TRUE(peer_.ok());
        session_.reset(newSession());
        ASSERT_TRUE(session_->Port_Open(peer_.param()));
        ASSERT_TRUE(peer_.waitConnected(5000));
    }
    void TearDown() override {
        session_.reset();
        SessionTest::TearDown();
    }
    FakeTcpPeer peer_;
    std::unique_ptr<EmGnss_Receiver> session_;
};

}  // namespace

TEST_F(TcpSessionTest, CommandsGoOutInOrderNeverCloserThanTheirPauses) {
    session_->Send_DataToPort(bytesOf("A"), 1);
    session_->Send_Null_For_Wait_Interval(300);
    session_->Send_DataToPort(bytesOf("B"), 1);
    session_->Send_DataToPort(bytesOf("C"), 1);
    session_->Send_Null_For_Wait_Interval(0);
    session_->Send_DataToPort(bytesOf("D"), 1);
    ASSERT_TRUE(peer_.waitReceived(4, 10000));
    EXPECT_EQ(peer_.received(), "ABCD");
    const auto t = byteTimes(peer_);
    EXPECT_GE(msBetween(t[0], t[1]), 100 + 300 - kSlackMs);
    EXPECT_GE(msBetween(t[1], t[2]), 100 - kSlackMs);
    EXPECT_GE(msBetween(t[2], t[3]), 100 + 0 - kSlackMs);
}

TEST_F(TcpSessionTest, APauseAboveThreeSecondsIsCut) {
    session_->Send_DataToPort(bytesOf("A"), 1);
    session_->Send_Null_For_Wait_Interval(5000);
    session_->Send_DataToPort(bytesOf("B"), 1);
    ASSERT_TRUE(peer_.waitReceived(2, 10000));
    const auto t = byteTimes(peer_);
    EXPECT_GE(msBetween(t[0], t[1]), 100 + 3000 - kSlackMs);
    EXPECT_LT(msBetween(t[0], t[1]), 100 + 5000);
}

TEST_F(TcpSessionTest, LargeRawDataArrivesWhole) {
    std::string bytes(1500, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 13);
    }
    session_->Send_DataToPort(bytesOf(bytes), static_cast<unsigned>(bytes.size()));
    ASSERT_TRUE(peer_.waitReceived(bytes.size(), 10000));
    EXPECT_EQ(peer_.received(), bytes);
}

TEST_F(TcpSessionTest, RecordingKeepsEveryReceivedByte) {
    const std::string path = dir_.file("raw.bin");
    session_->Set_RcrdData(true, path.c_str());
    std::string stream;
    for (int i = 1; i <= 300; ++i) {
        stream += "noise" + scriptedRecord(static_cast<unsigned long>(i));
    }
    ASSERT_TRUE(peer_.send(stream));
    ASSERT_TRUE(CallbackRecorder::instance().waitData(300, 10000));
    session_->Set_RcrdData(false, nullptr);
    EXPECT_EQ(readFile(path), stream);
    const auto data = CallbackRecorder::instance().data();
    ASSERT_EQ(data.size(), 300u);
    for (std::size_t i = 0; i < data.size(); ++i) {
        EXPECT_EQ(data[i].flags, i + 1);
    }
}

TEST_F(TcpSessionTest, CloseIsPromptDuringALongPauseAndABlockedRead) {
    session_->Send_DataToPort(bytesOf("A"), 1);
    session_->Send_Null_For_Wait_Interval(3000);
    session_->Send_DataToPort(bytesOf("B"), 1);
    ASSERT_TRUE(peer_.waitReceived(1, 5000));
    std::this_thread::sleep_for(200ms);  // the write thread waits, the read thread sits in recv
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(session_->Port_Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(session_->IsPortOpen());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(peer_.received(), "A");  // the pending command went with the close
}

TEST_F(TcpSessionTest, DestroyingAnOpenSessionIsClean) {
    session_->Send_DataToPort(bytesOf("A"), 1);
    session_->Send_Null_For_Wait_Interval(3000);
    ASSERT_TRUE(peer_.send(scriptedRecord(1)));
    ASSERT_TRUE(peer_.waitReceived(1, 5000));
    session_.reset();
}

TEST_F(TcpSessionTest, ABoardResetWaitsForThePendingCommands) {
    session_->Send_DataToPort(bytesOf("1"), 1);
    session_->Send_DataToPort(bytesOf("2"), 1);
    session_->Send_DataToPort(bytesOf("3"), 1);
    session_->ReSetGnsMd(BVParse::MAINBD_NOVATEL);
    ASSERT_TRUE(CallbackRecorder::instance().waitStatus(1, 5000));
    ASSERT_TRUE(peer_.waitReceived(3, 5000));
    const auto status = CallbackRecorder::instance().status();
    ASSERT_EQ(status.size(), 1u);
    EXPECT_TRUE(status[0].flag);
    EXPECT_EQ(status[0].user, nullptr);
    EXPECT_EQ(status[0].thread, Probe::writeThread(*session_));
    const auto t = byteTimes(peer_);
    EXPECT_GE(msBetween(t[2], status[0].at), 100 - kSlackMs);  // after the third and its pause
}

TEST_F(TcpSessionTest, MakerResetsWhileTheReceiverStreams) {
    std::atomic<bool> stop{false};
    std::thread streamer([&] {
        unsigned long n = 1;
        while (!stop) {
            peer_.send(scriptedRecord(n++) + "filler");
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int i = 0; i < 200; ++i) {
        session_->ReSetMnfctr(i % 2 == 0 ? BVParse::GNSS_MNFCTR_OEM : BVParse::GNSS_MNFCTR_VELTA);
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(CallbackRecorder::instance().waitStatus(1, 5000));
    stop = true;
    streamer.join();
    EXPECT_TRUE(session_->Port_Close());
}

TEST_F(SessionTest, HeldCommandsGoOutAtTheFirstWriteEventAfterTheNextOpen) {
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_FALSE(s->Port_Open(closedLoopbackParam()));  // half-open: commands wait
    std::string expected;
    for (int i = 0; i < 12; ++i) {
        const unsigned char b = static_cast<unsigned char>('a' + i);
        expected.push_back(static_cast<char>(b));
        s->Send_DataToPort(&b, 1);
    }
    ASSERT_TRUE(s->Port_Close());
    ASSERT_TRUE(s->Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(peer.received(), "");  // no write event yet
    s->Send_Null_For_Wait_Interval(0);
    ASSERT_TRUE(peer.waitReceived(expected.size(), 10000));
    EXPECT_EQ(peer.received(), expected);
}

TEST_F(SessionTest, OpenAndCloseAreTracedAsTickCommaTextRecords) {
    TempDir traceDir;
    const std::string before = Brevan2011::BVComm::LogDirectory();
    Brevan2011::BVComm::SetLogDirectory(traceDir.path());
    {
        std::unique_ptr<EmGnss_Receiver> s(newSession());
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(s->Port_Open(replay_.c_str()));
            ASSERT_TRUE(s->Port_Close());
        }
    }
    Brevan2011::BVComm::SetLogDirectory(before);

    // Splits "<digits>,<text>\r\n" records; a record that does not fit fails the test.
    const auto records = [&](int channel) {
        const std::string text = readFile(traceDir.path() + "/" + ThreadTrace::fileName(channel));
        std::vector<std::string> out;
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t comma = text.find(',', pos);
            const std::size_t end = text.find("\r\n", pos);
            EXPECT_NE(comma, std::string::npos);
            EXPECT_NE(end, std::string::npos);
            if (comma == std::string::npos || end == std::string::npos || comma > end) {
                break;
            }
            const std::string tick = text.substr(pos, comma - pos);
            EXPECT_FALSE(tick.empty());
            EXPECT_EQ(tick.find_first_not_of("0123456789"), std::string::npos) << tick;
            out.push_back(text.substr(comma + 1, end - comma - 1));
            pos = end + 2;
        }
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(records(ThreadTrace::kMain),
              (V{"Start Threads ", "Close Port Begin ", "Close Port End", "Start Threads ",
                 "Close Port Begin ", "Close Port End", "Close Port Begin ", "Close Port End",
                 "~Device"}));
    EXPECT_EQ(records(ThreadTrace::kRead), (V{"read thread begin ", "read thread return ",
                                              "read thread begin ", "read thread return "}));
    EXPECT_EQ(records(ThreadTrace::kParse), (V{"parse thread begin ", "parse thread return ",
                                               "parse thread begin ", "parse thread return "}));
    EXPECT_EQ(records(ThreadTrace::kWrite), (V{"write thread begin ", "write thread return ",
                                               "write thread begin ", "write thread return "}));
}

TEST_F(SessionTest, ResetsWithTheLibrarysOwnProtocolObjects) {
    UseScriptedProtocol(false);
    FakeTcpPeer peer;
    ASSERT_TRUE(peer.ok());
    std::unique_ptr<EmGnss_Receiver> s(newSession());
    ASSERT_TRUE(s->Port_Open(peer.param()));
    ASSERT_TRUE(peer.waitConnected(5000));
    std::atomic<bool> stop{false};
    std::thread streamer([&] {
        std::string noise;
        for (int i = 0; i < 700; ++i) {
            noise.push_back(static_cast<char>((i * 37) & 0xFF));
        }
        noise += "$$\r\n$GPGGA,1,2,3*00\r\n";
        while (!stop) {
            peer.send(noise);
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int i = 0; i < 100; ++i) {
        s->ReSetMnfctr(i % 2 == 0 ? BVParse::GNSS_MNFCTR_OEM : BVParse::GNSS_MNFCTR_VELTA);
        if (i % 10 == 0) {
            s->ReSetGnsMd(i % 20 == 0 ? BVParse::MAINBD_NMEA : BVParse::MAINBD_NOVATEL);
        }
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(CallbackRecorder::instance().waitStatus(1, 5000));
    stop = true;
    streamer.join();
    EXPECT_TRUE(s->Port_Close());
    for (const auto& st : CallbackRecorder::instance().status()) {
        EXPECT_TRUE(st.flag);
    }
}

// A burst larger than the receive ring while the parse thread is held up: the read thread
// keeps what the ring cannot take and the kernel the rest, so every record is delivered.
TEST_F(TcpSessionTest, ABurstBiggerThanTheRingWhileParsingStallsArrivesWhole) {
    std::string burst;
    for (unsigned long i = 1; burst.size() < 60 * 1024; ++i) {
        burst += scriptedRecord(i % 997 + 1) + "..";
    }
    // The count the session must report, taken from the bytes themselves.
    const std::size_t records =
        static_cast<std::size_t>(std::count(burst.begin(), burst.end(), '<'));
    std::thread sender;
    {
        const auto stall = Probe::holdDataLock(*session_);
        sender = std::thread([&] { EXPECT_TRUE(peer_.send(burst)); });
        // The ring fills and the read thread holds bytes back; nothing is parsed meanwhile.
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (Probe::heldBack(*session_) == 0 && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(2ms);
        }
        EXPECT_GT(Probe::heldBack(*session_), 0u);
        EXPECT_TRUE(CallbackRecorder::instance().data().empty());
    }
    sender.join();
    ASSERT_TRUE(CallbackRecorder::instance().waitData(records, 20000))
        << CallbackRecorder::instance().data().size() << " of " << records;
    const auto got = CallbackRecorder::instance().data();
    ASSERT_EQ(got.size(), records);
    unsigned long i = 1;
    for (const auto& d : got) {
        ASSERT_EQ(d.flags, i % 997 + 1) << "record " << i;
        ++i;
    }
}

// A full ring in which no whole message can be found gives up bytes from its front until one
// can; what follows is delivered.
TEST_F(TcpSessionTest, AFullRingWithoutAWholeMessageMovesOn) {
    const std::string endless = "<" + std::string(30000, '7');
    ASSERT_TRUE(peer_.send(endless + scriptedRecord(5) + scriptedRecord(6)));
    ASSERT_TRUE(CallbackRecorder::instance().waitData(2, 20000));
    const auto got = CallbackRecorder::instance().data();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].flags, 5u);
    EXPECT_EQ(got[1].flags, 6u);
}

// Closing with commands still queued says how many were not written.
TEST_F(TcpSessionTest, ACloseSaysHowManyQueuedCommandsItDiscards) {
    session_->Send_Null_For_Wait_Interval(3000);  // the writer sits in this pause
    for (int i = 0; i < 5; ++i) {
        session_->Send_DataToPort(bytesOf("x"), 1);
    }
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (Probe::pendingLengths(*session_).size() != 5 &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_EQ(Probe::pendingLengths(*session_).size(), 5u);
    EXPECT_TRUE(session_->Port_Close());
    const std::string log = readFile(Brevan2011::BVComm::LogDirectory() + "/runtime.log");
    EXPECT_NE(log.find("port closed: 5 queued commands not written"), std::string::npos) << log;
}
