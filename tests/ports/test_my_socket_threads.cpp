#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BVComm/MySocket.h"
#include "FakeTcpPeer.h"
#include "ProcessThreads.h"

using Brevan2011::BVComm::ISocketReceiver;
using Brevan2011::BVComm::MySocket;
using varnok_test::FakeTcpPeer;
using namespace std::chrono_literals;

namespace {

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// A loopback port with no listener behind it (the socket that found it is closed again).
std::uint16_t freePort(int type = SOCK_STREAM) {
    const int fd = ::socket(AF_INET, type, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(a);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

class Recorder : public ISocketReceiver {
public:
    int OnReceive(const char* data, int length) override {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!take) {
            return 0;
        }
        received_.append(data, static_cast<std::size_t>(length));
        return 1;
    }
    void OnConnect(int code) override {
        std::lock_guard<std::mutex> guard(mutex_);
        connects_.push_back(code);
    }
    void OnClose(int code) override {
        std::lock_guard<std::mutex> guard(mutex_);
        closes_.push_back(code);
    }
    std::vector<int> connects() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return connects_;
    }
    std::vector<int> closes() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return closes_;
    }
    std::string received() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return received_;
    }
    bool take = false;  // set before the socket connects

private:
    mutable std::mutex mutex_;
    std::vector<int> connects_;
    std::vector<int> closes_;
    std::string received_;
};

// A UDP socket on loopback for the far side.
class UdpPeer {
public:
    UdpPeer() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(a);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~UdpPeer() { ::close(fd_); }
    std::uint16_t port() const { return port_; }
    // One datagram, or empty after a few seconds.
    std::string receive() {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) {
            return {};
        }
        char buf[2048];
        socklen_t len = sizeof(last_);
        const ssize_t n =
            ::recvfrom(fd_, buf, sizeof(buf), 0, reinterpret_cast<sockaddr*>(&last_), &len);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }
    void reply(const std::string& bytes) {
        ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&last_),
                 sizeof(last_));
    }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
    sockaddr_in last_{};
};

class MySocketTcp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(peer_.ok());
        sock_.setDataReceiver(&rec_);
        ASSERT_TRUE(sock_.Create(MySocket::kTcp, 0));
        ASSERT_TRUE(sock_.Connect("127.0.0.1", peer_.port()));
        ASSERT_TRUE(waitUntil([this] { return !rec_.connects().empty(); }));
        ASSERT_EQ(rec_.connects(), std::vector<int>{0});
        ASSERT_TRUE(peer_.waitConnected(5000));
        ASSERT_TRUE(sock_.IsOpen());
    }

    FakeTcpPeer peer_;
    Recorder rec_;  // outlives the socket
    MySocket sock_;
};

TEST_F(MySocketTcp, SendLineEndsLinesInTheChosenForm) {
    sock_.SetEolFormat(MySocket::kEolCrLf);
    EXPECT_EQ(sock_.SendLine("abc"), 5);
    sock_.SetEolFormat(MySocket::kEolZero);
    EXPECT_EQ(sock_.SendLine("abc"), 4);
    sock_.SetEolFormat(MySocket::kEolLf);
    EXPECT_EQ(sock_.SendLine("abc"), 4);
    sock_.SetEolFormat(3);
    EXPECT_EQ(sock_.SendLine("abc"), 0);
    sock_.SetEolFormat(MySocket::kEolCrLf);
    EXPECT_EQ(sock_.SendLine("z"), 3);
    ASSERT_TRUE(peer_.waitReceived(16, 5000));
    EXPECT_EQ(peer_.received(), std::string("abc\r\nabc\0abc\nz\r\n", 16));
}

TEST_F(MySocketTcp, ReadTakesWholePacketsThenTheFrontOfTheNext) {
    peer_.send("abc");
    ASSERT_TRUE(waitUntil([this] { return sock_.GetNumPackets() == 1; }));
    peer_.send("defg");
    ASSERT_TRUE(waitUntil([this] { return sock_.GetDataSize() == 7; }));
    EXPECT_EQ(sock_.GetNumPackets(), 2);
    EXPECT_EQ(sock_.GetPacketSize(), 3);

    char buf[8] = {};
    EXPECT_EQ(sock_.Read(buf, 5), 5);
    EXPECT_EQ(std::string(buf, 5), "abcde");
    EXPECT_EQ(sock_.GetNumPackets(), 1);
    EXPECT_EQ(sock_.GetDataSize(), 2);
    EXPECT_EQ(sock_.GetPacketSize(), 2);
    EXPECT_EQ(sock_.ReadData(buf, sizeof(buf)), 2u);
    EXPECT_EQ(std::string(buf, 2), "fg");
    EXPECT_EQ(sock_.Read(buf, sizeof(buf)), 0);
    EXPECT_EQ(sock_.Read(nullptr, 4), 0);
    EXPECT_EQ(sock_.GetPacketSize(), 0);
}

TEST_F(MySocketTcp, ReadStringTakesALineAcrossPacketsAndLeavesTheRest) {
    peer_.send("ab");
    ASSERT_TRUE(waitUntil([this] { return sock_.GetNumPackets() == 1; }));
    peer_.send("c\r\nd");
    ASSERT_TRUE(waitUntil([this] { return sock_.GetDataSize() == 6; }));
    std::string line = "old";
    ASSERT_TRUE(sock_.ReadString(line));
    EXPECT_EQ(line, "abc\r\n");
    EXPECT_EQ(sock_.GetDataSize(), 1);
    EXPECT_FALSE(sock_.ReadString(line));
    EXPECT_TRUE(line.empty());

    // The rest comes out from the start of the handed-over buffer.
    char* packet = nullptr;
    int length = 0;
    ASSERT_TRUE(sock_.GetPacket(&packet, &length));
    ASSERT_EQ(length, 1);
    EXPECT_EQ(packet[0], 'd');
    delete[] packet;
    EXPECT_FALSE(sock_.GetPacket(&packet, &length));
    EXPECT_EQ(sock_.GetDataSize(), 0);

    sock_.SetEolFormat(MySocket::kEolZero);
    peer_.send(std::string("xy\0z", 4));
    ASSERT_TRUE(waitUntil([this] { return sock_.GetDataSize() == 4; }));
    ASSERT_TRUE(sock_.ReadString(line));
    EXPECT_EQ(line, "xy");
    EXPECT_EQ(sock_.GetDataSize(), 1);
}

TEST_F(MySocketTcp, ErrorNumbersOfAConnectedSocket) {
    EXPECT_FALSE(sock_.Connect("127.0.0.1", peer_.port()));
    EXPECT_EQ(sock_.GetLastError(), 10056);
    EXPECT_EQ(sock_.Send(nullptr, 3), -1);
    EXPECT_EQ(sock_.GetLastError(), 10014);
    EXPECT_EQ(sock_.Send("abc", 0), -1);
    EXPECT_EQ(sock_.GetLastError(), 10014);
    EXPECT_FALSE(sock_.ReConnect(1234));
    EXPECT_EQ(sock_.GetLastError(), 10041);
    EXPECT_FALSE(sock_.Create(MySocket::kTcp, 0));
    EXPECT_EQ(sock_.GetLastError(), 10013);
    EXPECT_FALSE(sock_.Accept(0, 1));
    EXPECT_EQ(sock_.GetLastError(), 10056);
}

TEST(MySocketErrors, ErrorNumbersBeforeConnecting) {
    MySocket s;
    EXPECT_EQ(s.GetType(), 2u);
    EXPECT_EQ(s.GetSocketState(), MySocket::kClosed);
    EXPECT_EQ(s.Send("a", 1), -1);
    EXPECT_EQ(s.GetLastError(), 10057);
    EXPECT_EQ(s.WriteData("a", 1), 0u);
    EXPECT_FALSE(s.Connect("127.0.0.1", 80));
    EXPECT_EQ(s.GetLastError(), 10038);
    EXPECT_FALSE(s.Accept(0, 1));
    EXPECT_EQ(s.GetLastError(), 10038);
    EXPECT_FALSE(s.Create(3, 0));
    EXPECT_EQ(s.GetLastError(), 10022);

    ASSERT_TRUE(s.Create(MySocket::kTcp, 0));
    EXPECT_EQ(s.GetSocketState(), MySocket::kCreated);
    EXPECT_EQ(s.Send("a", 1), -1);
    EXPECT_EQ(s.GetLastError(), 10057);
    EXPECT_FALSE(s.Connect("127.0.0.1", 70000));
    EXPECT_EQ(s.GetLastError(), 10022);
    EXPECT_FALSE(s.Connect(std::string(256, 'a'), 80));
    EXPECT_EQ(s.GetLastError(), 10022);
    EXPECT_FALSE(s.Accept(70000, 1));
    EXPECT_EQ(s.GetLastError(), 10022);
    s.Disconnect();
    EXPECT_EQ(s.GetSocketState(), MySocket::kClosed);
    s.Disconnect();  // a second close does nothing
    EXPECT_TRUE(s.Create(MySocket::kUdp, 0));
    EXPECT_FALSE(s.ReConnect(1000)) << "not connected";
}

TEST(MySocketErrors, ARefusedConnectIsReportedThroughOnConnect) {
    Recorder rec;
    MySocket s;
    s.setDataReceiver(&rec);
    ASSERT_TRUE(s.Create(MySocket::kTcp, 0));
    ASSERT_TRUE(s.Connect("127.0.0.1", freePort()));
    ASSERT_TRUE(waitUntil([&rec] { return !rec.connects().empty(); }));
    EXPECT_EQ(rec.connects(), std::vector<int>{10061});
    EXPECT_EQ(s.GetLastError(), 10061);
    EXPECT_TRUE(waitUntil([&s] { return s.GetSocketState() == MySocket::kClosed; }));
    EXPECT_FALSE(s.IsOpen());
}

TEST_F(MySocketTcp, TheReceiverTakesDataAndHearsThePeerClose) {
    rec_.take = false;
    peer_.send("queued");
    ASSERT_TRUE(waitUntil([this] { return sock_.GetDataSize() == 6; }));
    EXPECT_TRUE(rec_.received().empty());
    peer_.closeConnection();
    ASSERT_TRUE(waitUntil([this] { return !rec_.closes().empty(); }));
    EXPECT_EQ(rec_.closes(), std::vector<int>{0});
    EXPECT_EQ(sock_.GetSocketState(), MySocket::kClosed);
    EXPECT_EQ(sock_.GetDataSize(), 6) << "what was queued stays readable";
}

TEST(MySocketReceiver, TakenDataIsNotQueued) {
    FakeTcpPeer peer;
    Recorder rec;
    rec.take = true;
    MySocket s;
    s.setDataReceiver(&rec);
    ASSERT_TRUE(s.Create(MySocket::kTcp, 0));
    ASSERT_TRUE(s.Connect("127.0.0.1", peer.port()));
    ASSERT_TRUE(peer.waitConnected(5000));
    ASSERT_TRUE(waitUntil([&rec] { return !rec.connects().empty(); }));
    peer.send("hello");
    ASSERT_TRUE(waitUntil([&rec] { return rec.received() == "hello"; }));
    EXPECT_EQ(s.GetNumPackets(), 0);
    EXPECT_EQ(s.GetDataSize(), 0);
    s.setDataReceiver(nullptr);
}

TEST(MySocketUdp, ConnectSendEchoAndReConnect) {
    UdpPeer first;
    UdpPeer second;
    Recorder rec;
    MySocket s;
    s.setDataReceiver(&rec);
    ASSERT_TRUE(s.Create(MySocket::kUdp, 0));
    EXPECT_EQ(s.Send("early", 5), -1) << "no peer yet";
    ASSERT_TRUE(s.Connect("127.0.0.1", first.port()));
    EXPECT_EQ(rec.connects(), std::vector<int>{0});
    EXPECT_EQ(s.GetSocketState(), MySocket::kConnected);

    EXPECT_EQ(s.Send("ping", 4), 4);
    EXPECT_EQ(first.receive(), "ping");
    first.reply("pong");
    ASSERT_TRUE(waitUntil([&s] { return s.GetDataSize() == 4; }));
    char buf[8];
    ASSERT_EQ(s.Read(buf, sizeof(buf)), 4);
    EXPECT_EQ(std::string(buf, 4), "pong");

    ASSERT_TRUE(s.ReConnect(second.port()));
    EXPECT_EQ(s.SendLine("two"), 5);
    EXPECT_EQ(second.receive(), "two\r\n");
    EXPECT_FALSE(s.ReConnect(70000));
}

TEST(MySocketUdp, ABoundSocketAnswersTheLastSender) {
    MySocket server;
    ASSERT_TRUE(server.Create(MySocket::kUdp, 0));
    std::uint16_t port = 0;
    for (int attempt = 0; attempt < 5 && port == 0; ++attempt) {
        const std::uint16_t candidate = freePort(SOCK_DGRAM);
        if (server.Accept(candidate, 0)) {
            port = candidate;
        }
    }
    ASSERT_NE(port, 0);
    EXPECT_EQ(server.GetSocketState(), MySocket::kBound);

    MySocket client;
    ASSERT_TRUE(client.Create(MySocket::kUdp, 0));
    ASSERT_TRUE(client.Connect("127.0.0.1", port));
    EXPECT_EQ(client.SendLine("hi"), 4);
    std::string line;
    ASSERT_TRUE(waitUntil([&] { return server.ReadString(line); }));
    EXPECT_EQ(line, "hi\r\n");
    EXPECT_EQ(server.SendLine("back"), 6);
    ASSERT_TRUE(waitUntil([&] { return client.ReadString(line); }));
    EXPECT_EQ(line, "back\r\n");
}

// Hands every accepted connection to one service socket.
class Listener : public MySocket {
public:
    explicit Listener(MySocket& service) : service_(service) {}
    ~Listener() override { CloseAndWait(); }
    bool OnAccept(int socket) override {
        service_.AcceptServiceSocket(socket);
        return true;
    }

private:
    MySocket& service_;
};

TEST(MySocketListen, OnAcceptAdoptsTheConnectionAndLinesGoBothWays) {
    MySocket service;  // outlives the listener, which calls into it
    Listener listener(service);
    ASSERT_TRUE(listener.Create(MySocket::kTcp, 0));
    std::uint16_t port = 0;
    for (int attempt = 0; attempt < 5 && port == 0; ++attempt) {
        const std::uint16_t candidate = freePort();
        if (listener.Accept(candidate, 5)) {
            port = candidate;
        }
    }
    ASSERT_NE(port, 0);
    EXPECT_EQ(listener.GetSocketState(), MySocket::kBound);
    EXPECT_EQ(listener.Send("x", 1), -1) << "a listening socket sends nothing";
    EXPECT_EQ(listener.GetLastError(), 10057);

    Recorder rec;
    MySocket client;
    client.setDataReceiver(&rec);
    ASSERT_TRUE(client.Create(MySocket::kTcp, 0));
    ASSERT_TRUE(client.Connect("localhost", port));
    ASSERT_TRUE(waitUntil([&rec] { return !rec.connects().empty(); }));
    EXPECT_EQ(rec.connects(), std::vector<int>{0});
    ASSERT_TRUE(waitUntil([&service] { return service.IsOpen(); }));

    EXPECT_EQ(client.SendLine("hello"), 7);
    std::string line;
    ASSERT_TRUE(waitUntil([&] { return service.ReadString(line); }));
    EXPECT_EQ(line, "hello\r\n");
    EXPECT_EQ(service.SendLine("back"), 6);
    ASSERT_TRUE(waitUntil([&] { return client.ReadString(line); }));
    EXPECT_EQ(line, "back\r\n");
    client.setDataReceiver(nullptr);
}

TEST(MySocketLifetime, DestroyingASocketWithABlockedReadLeavesOthersWorking) {
    FakeTcpPeer quiet;
    FakeTcpPeer busy;
    auto doomed = std::make_unique<MySocket>();
    ASSERT_TRUE(doomed->Create(MySocket::kTcp, 0));
    ASSERT_TRUE(doomed->Connect("127.0.0.1", quiet.port()));
    ASSERT_TRUE(quiet.waitConnected(5000));
    ASSERT_TRUE(waitUntil([&] { return doomed->IsOpen(); }));

    MySocket other;
    ASSERT_TRUE(other.Create(MySocket::kTcp, 0));
    ASSERT_TRUE(other.Connect("127.0.0.1", busy.port()));
    ASSERT_TRUE(busy.waitConnected(5000));
    ASSERT_TRUE(waitUntil([&] { return other.IsOpen(); }));

    const auto start = std::chrono::steady_clock::now();
    doomed.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

    busy.send("still");
    ASSERT_TRUE(waitUntil([&] { return other.GetDataSize() == 5; }));
    EXPECT_EQ(other.Send("ok", 2), 2);
    EXPECT_TRUE(busy.waitReceived(2, 5000));
}

TEST(MySocketLifetime, DestroyingASocketThatIsStillConnectingReturns) {
    MySocket s;
    ASSERT_TRUE(s.Create(MySocket::kTcp, 0));
    // Unroutable: the connect either fails at once or hangs until the socket is shut down.
    s.Connect("10.255.255.1", 9);
    std::this_thread::sleep_for(20ms);
    const auto start = std::chrono::steady_clock::now();
    s.Disconnect();
    EXPECT_TRUE(waitUntil([&s] { return s.GetSocketState() == MySocket::kClosed; }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(MySocketLifetime, SendingToAResetPeerRaisesNoSignal) {
    struct sigaction current {};
    ::sigaction(SIGPIPE, nullptr, &current);
    ASSERT_EQ(current.sa_handler, SIG_DFL) << "SIGPIPE must still end the process for this test";
    FakeTcpPeer peer;
    MySocket s;
    ASSERT_TRUE(s.Create(MySocket::kTcp, 0));
    ASSERT_TRUE(s.Connect("127.0.0.1", peer.port()));
    ASSERT_TRUE(peer.waitConnected(5000));
    ASSERT_TRUE(waitUntil([&] { return s.IsOpen(); }));
    peer.resetConnection();
    const std::string chunk(4096, 'x');
    // Without MSG_NOSIGNAL one of these sends would end the process with SIGPIPE.
    EXPECT_TRUE(waitUntil([&] { return s.Send(chunk) == -1; }));
    // Which error shows depends on whether the read thread closed the socket first; that close
    // may land between two reads of the error, so it is read once.
    const int error = s.GetLastError();
    EXPECT_TRUE(error == 0 || error == 10054 || error == 10057) << error;
}

// Deletes its socket from inside one of the socket's callbacks, as an owner that drops its
// connection on a message does.
class DeletingReceiver : public ISocketReceiver {
public:
    enum When { kOnReceive, kOnClose };
    DeletingReceiver(MySocket* socket, When when) : socket_(socket), when_(when) {}
    int OnReceive(const char*, int) override {
        if (when_ == kOnReceive) {
            deleteSocket();
        }
        return 1;
    }
    void OnConnect(int) override {}
    void OnClose(int) override {
        if (when_ == kOnClose) {
            deleteSocket();
        }
    }
    bool deleted() const { return deleted_.load(); }

private:
    // Nothing of this receiver is touched after deleted_ is set: the test frees it then.
    void deleteSocket() {
        MySocket* socket = socket_;
        if (!claimed_.exchange(true)) {
            delete socket;
            deleted_ = true;
        }
    }
    MySocket* socket_;
    When when_;
    std::atomic<bool> claimed_{false};
    std::atomic<bool> deleted_{false};
};

// A subclass that deletes itself on its first message.
class SelfDeletingSocket : public MySocket {
public:
    explicit SelfDeletingSocket(std::atomic<bool>& deleted) : deleted_(deleted) {}
    ~SelfDeletingSocket() override {
        CloseAndWait();
        deleted_ = true;
    }
    bool OnReceive(const char*, int) override {
        delete this;
        return true;
    }
    using MySocket::OnReceive;

private:
    std::atomic<bool>& deleted_;
};

// The read thread returns from the callback into a freed object unless it ends at once; the
// sanitizers report any touch, and the thread must be gone afterwards.
TEST(MySocketLifetime, ASocketDeletedFromItsOwnCallbackEndsItsThread) {
    const char* cases[] = {"receiver deletes in OnReceive", "receiver deletes in OnClose",
                           "subclass deletes itself"};
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(cases[c]);
        FakeTcpPeer peer;
        ASSERT_TRUE(peer.ok());
        const int baseline = varnok_test::baselineThreadCount();
        std::atomic<bool> subclassDeleted{false};
        MySocket* sock = c == 2 ? new SelfDeletingSocket(subclassDeleted) : new MySocket();
        std::unique_ptr<DeletingReceiver> rec;
        if (c < 2) {
            rec = std::make_unique<DeletingReceiver>(
                sock, c == 0 ? DeletingReceiver::kOnReceive : DeletingReceiver::kOnClose);
            sock->setDataReceiver(rec.get());
        }
        ASSERT_TRUE(sock->Create(MySocket::kTcp, 0));
        ASSERT_TRUE(sock->Connect("127.0.0.1", peer.port()));
        ASSERT_TRUE(peer.waitConnected(5000));
        if (c == 1) {
            peer.closeConnection();
        } else {
            ASSERT_TRUE(peer.send("bye"));
        }
        ASSERT_TRUE(waitUntil([&] { return c == 2 ? subclassDeleted.load() : rec->deleted(); }));
        // At most the baseline: a runtime helper counted then may have ended since.
        EXPECT_TRUE(waitUntil([&] { return varnok_test::processThreadCount() <= baseline; }))
            << varnok_test::processThreadCount() << " threads, " << baseline << " before";
    }
}

TEST(MySocketLifetime, ASocketReconnectsAtOnceAfterAClose) {
    FakeTcpPeer peer;
    MySocket s;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(s.Create(MySocket::kTcp, 0)) << "round " << i;
        // The read thread of the last round may still be ending: it must not block this one.
        ASSERT_TRUE(s.Connect("127.0.0.1", peer.port()))
            << "round " << i << " " << s.GetLastError();
        ASSERT_TRUE(waitUntil([&] { return s.IsOpen(); })) << "round " << i;
        EXPECT_EQ(s.SendLine("x"), 3);
        s.Disconnect();
    }
    EXPECT_TRUE(peer.waitReceived(60, 5000));
}

}  // namespace
