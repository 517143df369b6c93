#include "BVComm/MySocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "BVComm/WinsockErrors.h"
#include "SocketHelpers.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

constexpr std::size_t kMaxHostLength = 255;
constexpr int kTcpBufferSize = 1024;
constexpr int kUdpBufferSize = 2048;

}  // namespace

ISocketReceiver::~ISocketReceiver() = default;

MySocket::DataPacket::DataPacket(const char* data, int size)
    : length(size), buffer(new char[static_cast<std::size_t>(size)]), position(0) {
    std::memcpy(buffer, data, static_cast<std::size_t>(size));
}

MySocket::DataPacket::~DataPacket() {
    delete[] buffer;
}

MySocket::MySocket() {
    logger_ = BVCore::Logger::socketLogger("socket.log", 1);
}

MySocket::~MySocket() {
    CloseAndWait();
    clearPackets();
}

void MySocket::CloseAndWait() {
    {
        std::lock_guard<std::mutex> guard(threadMutex_);
        destroying_ = true;
    }
    // Shutting the socket down wakes a blocked connect, recv or accept.
    Disconnect();
    std::vector<Retired> threads;
    {
        std::lock_guard<std::mutex> guard(threadMutex_);
        threads.push_back(Retired{std::move(readThread_), readWord_});
        threads.push_back(Retired{std::move(acceptThread_), acceptWord_});
        for (Retired& r : retired_) {
            threads.push_back(std::move(r));
        }
        retired_.clear();
    }
    for (Retired& r : threads) {
        if (!r.thread.joinable()) {
            continue;
        }
        if (r.thread.get_id() == std::this_thread::get_id()) {
            // Destroyed from this thread's own callback: the thread ends as soon as the
            // callback returns, without touching this object again.
            r.word->orphaned = true;
            r.thread.detach();
        } else {
            r.thread.join();
        }
    }
}

// --- IPortInstance ---

unsigned int MySocket::Initialize(void*) {
    return 0;
}

void MySocket::Uninitialize() {}

bool MySocket::IsOpen() {
    return state_ == kConnected;
}

unsigned int MySocket::ReadData(char* buffer, unsigned int size) {
    const int n = Read(buffer, static_cast<int>(std::min<unsigned int>(size, 0x7FFFFFFFu)));
    return n > 0 ? static_cast<unsigned int>(n) : 0;
}

unsigned int MySocket::WriteData(const char* data, unsigned int size) {
    const int n = Send(data, static_cast<int>(std::min<unsigned int>(size, 0x7FFFFFFFu)));
    return n > 0 ? static_cast<unsigned int>(n) : 0;
}

// --- slots ---

// The receiver may delete this socket from its call: the holder outlives it here.
void MySocket::OnConnect(int code) {
    const std::shared_ptr<BVCore::MutexHolder> holder = holder_;
    BVCore::MutexLock lock(*holder);
    if (receiver_ != nullptr) {
        receiver_->OnConnect(code);
    }
}

void MySocket::OnReceive() {}

bool MySocket::OnReceive(const char* data, int length) {
    const std::shared_ptr<BVCore::MutexHolder> holder = holder_;
    BVCore::MutexLock lock(*holder);
    return receiver_ != nullptr && receiver_->OnReceive(data, length) != 0;
}

bool MySocket::OnAccept(int) {
    return false;
}

void MySocket::OnClose(int code) {
    const std::shared_ptr<BVCore::MutexHolder> holder = holder_;
    BVCore::MutexLock lock(*holder);
    if (receiver_ != nullptr) {
        receiver_->OnClose(code);
    }
}

void MySocket::setDataReceiver(ISocketReceiver* receiver) {
    BVCore::MutexLock lock(*holder_);
    receiver_ = receiver;
}

// --- socket ---

int MySocket::errorOf(int error) const {
    // A UDP socket hears of an unreachable peer as a reset, the code its read loop tests.
    if (kind_ == kUdp && error == ECONNREFUSED) {
        return kWsaEconnreset;
    }
    return WinsockErrorFromErrno(error);
}

MySocket::Gate MySocket::currentSocket() const {
    std::lock_guard<std::mutex> guard(lock_);
    return socket_;
}

bool MySocket::isCurrent(const Gate& socket) const {
    std::lock_guard<std::mutex> guard(lock_);
    return socket_ == socket;
}

void MySocket::Disconnect() {
    closeSocket(nullptr);
}

void MySocket::disconnectIf(const Gate& socket) {
    closeSocket(&socket);
}

void MySocket::closeSocket(const Gate* only) {
    std::lock_guard<std::mutex> guard(lock_);
    // Taken out under the lock, so the owner and the read thread never close it twice, and a
    // thread ending for an old socket never closes the one made after it.
    if (!socket_ || (only != nullptr && socket_ != *only)) {
        return;
    }
    Gate socket;
    socket.swap(socket_);
    state_ = kClosing;
    socket->close(shutdownBoth);
    state_ = kClosed;
    lastError_ = 0;
    dataFlag_ = false;
}

bool MySocket::Create(int kind, int bufferSize) {
    {
        std::lock_guard<std::mutex> guard(threadMutex_);
        if (destroying_) {
            lastError_ = kWsaEinval;
            return false;
        }
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (socket_) {
        lastError_ = kWsaEacces;
        return false;
    }
    int fd = -1;
    if (kind == kTcp) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
        if (fd >= 0) {
            linger off{0, 0};
            if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof(off)) != 0) {
                lastError_ = WinsockErrorFromErrno(errno);
                ::close(fd);
                return false;
            }
        }
    } else if (kind == kUdp) {
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
        dataFlag_ = false;
    } else {
        lastError_ = kWsaEinval;
        return false;
    }
    if (fd < 0) {
        lastError_ = WinsockErrorFromErrno(errno);
        return false;
    }
    auto gate = std::make_shared<DescriptorGate>();
    gate->attach(fd);
    socket_ = gate;
    kind_ = kind;
    bufferSize_ = bufferSize > 0 ? bufferSize : (kind == kTcp ? kTcpBufferSize : kUdpBufferSize);
    clearPackets();
    state_ = kCreated;
    return true;
}

bool MySocket::Connect(const std::string& host, unsigned int port) {
    Gate socket;
    {
        std::lock_guard<std::mutex> guard(lock_);
        socket = socket_;
    }
    if (!socket) {
        lastError_ = kWsaEnotsock;
        return false;
    }
    const int state = state_;
    if ((kind_ == kTcp && state > kCreated) || (kind_ == kUdp && state > kConnected)) {
        lastError_ = kWsaEisconn;
        return false;
    }
    if (port > 65535 || host.empty() || host.size() > kMaxHostLength) {
        lastError_ = kWsaEinval;
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &peer.sin_addr) != 1) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        const int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
        if (rc != 0 || found == nullptr) {
            lastError_ = rc == EAI_AGAIN ? 11002 : kWsaHostNotFound;
            if (found != nullptr) {
                ::freeaddrinfo(found);
            }
            return false;
        }
        peer.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
        ::freeaddrinfo(found);
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (socket_ != socket) {
            lastError_ = kWsaEnotsock;
            return false;
        }
        peer_ = peer;
    }
    if (kind_ == kTcp) {
        // A connect already under way on the read thread counts as connected.
        if (!startReadThread(socket, true, true)) {
            lastError_ = kWsaEisconn;
            return false;
        }
        return true;
    }
    dataFlag_ = true;
    state_ = kConnected;
    OnConnect(0);
    return true;
}

bool MySocket::Connect(int socket, const sockaddr* address, socklen_t length, int seconds) {
    if (address == nullptr) {
        return false;
    }
    return connectWithin(socket, address, length, std::max(seconds, 0) * 1000) == 0;
}

bool MySocket::ReConnect(unsigned int port) {
    if (kind_ == kTcp) {
        lastError_ = kWsaEprototype;
        return false;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (!socket_) {
        lastError_ = kWsaEnotsock;
        return false;
    }
    if (port > 65535) {
        lastError_ = kWsaEinval;
        return false;
    }
    if (state_ != kConnected) {
        return false;
    }
    peer_.sin_port = htons(static_cast<std::uint16_t>(port));
    return true;
}

bool MySocket::Accept(unsigned int port, int backlog) {
    const Gate socket = currentSocket();
    if (!socket) {
        lastError_ = kWsaEnotsock;
        return false;
    }
    if (state_ > kCreated) {
        lastError_ = kWsaEisconn;
        return false;
    }
    if (port > 65535) {
        lastError_ = kWsaEinval;
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    {
        DescriptorGate::Use use(*socket);
        if (use.fd() < 0) {
            lastError_ = kWsaEnotsock;
            return false;
        }
        if (::bind(use.fd(), reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0 ||
            (kind_ == kTcp && ::listen(use.fd(), backlog) != 0)) {
            lastError_ = errorOf(errno);
            return false;
        }
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        local_ = local;
    }
    state_ = kBound;
    if (kind_ == kUdp) {
        dataFlag_ = false;
        return startReadThread(socket, false, false);
    }
    return startAcceptThread(socket);
}

void MySocket::AcceptServiceSocket(int socket) {
    sockaddr_in peer{};
    socklen_t length = sizeof(peer);
    if (socket < 0) {
        return;
    }
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
        shutdownBoth(socket);
        ::close(socket);
        return;
    }
    Disconnect();
    auto gate = std::make_shared<DescriptorGate>();
    gate->attach(socket);
    {
        std::lock_guard<std::mutex> guard(lock_);
        socket_ = gate;
        peer_ = peer;
        kind_ = kTcp;
        if (bufferSize_ <= 0) {
            bufferSize_ = kTcpBufferSize;
        }
        state_ = kConnected;
        dataFlag_ = true;
    }
    if (!startReadThread(gate, false, false)) {
        disconnectIf(gate);
    }
}

void MySocket::SetBufferSize(int size) {
    if (size > 0) {
        bufferSize_ = size;
    }
}

// --- threads ---

void MySocket::retire(std::thread& thread, StateWord& word) {
    // Threads that have ended are joined; one still ending (or the caller itself) waits for
    // the destructor.
    for (auto it = retired_.begin(); it != retired_.end();) {
        if (it->word->state == kThreadEnded && it->thread.get_id() != std::this_thread::get_id()) {
            it->thread.join();
            it = retired_.erase(it);
        } else {
            ++it;
        }
    }
    if (thread.joinable()) {
        if (word->state == kThreadEnded && thread.get_id() != std::this_thread::get_id()) {
            thread.join();
        } else {
            retired_.push_back(Retired{std::move(thread), word});
        }
    }
    word.reset();
}

bool MySocket::startReadThread(const Gate& socket, bool connectFirst, bool onlyWhenIdle) {
    std::lock_guard<std::mutex> guard(threadMutex_);
    if (destroying_) {
        return false;
    }
    // A thread still ending for an earlier socket is no reason to wait: it is retired.
    if (onlyWhenIdle && readWord_ && readWord_->state != kThreadEnded && readSocket_ == socket) {
        return false;
    }
    retire(readThread_, readWord_);
    auto word = std::make_shared<ThreadWord>();
    try {
        readThread_ = std::thread(&MySocket::readLoop, this, socket, connectFirst, word);
    } catch (const std::system_error&) {
        lastError_ = 10055;
        return false;
    }
    readWord_ = word;
    readSocket_ = socket;
    return true;
}

bool MySocket::startAcceptThread(const Gate& socket) {
    std::lock_guard<std::mutex> guard(threadMutex_);
    if (destroying_) {
        return false;
    }
    retire(acceptThread_, acceptWord_);
    auto word = std::make_shared<ThreadWord>();
    try {
        acceptThread_ = std::thread(&MySocket::acceptLoop, this, socket, word);
    } catch (const std::system_error&) {
        lastError_ = 10055;
        return false;
    }
    acceptWord_ = word;
    return true;
}

void MySocket::readLoop(Gate socket, bool connectFirst, StateWord word) {
    const bool tcp = kind_ == kTcp;
    if (connectFirst) {
        sockaddr_in peer{};
        {
            std::lock_guard<std::mutex> guard(lock_);
            peer = peer_;
        }
        int error = ECONNABORTED;
        {
            DescriptorGate::Use use(*socket);
            if (use.fd() >= 0) {
                error = connectWithin(use.fd(), reinterpret_cast<const sockaddr*>(&peer),
                                      sizeof(peer), -1);
            }
        }
        if (error != 0) {
            const int code = errorOf(error);
            char host[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &peer.sin_addr, host, sizeof(host));
            BVCore::Logger::log(logger_, 1, "connect to %s:%u failed: %d", host,
                                static_cast<unsigned int>(ntohs(peer.sin_port)), code);
            disconnectIf(socket);
            lastError_ = code;  // kept past the close, which clears it
            OnConnect(code);
            word->state = kThreadEnded;
            return;
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (socket_ == socket) {
                state_ = kConnected;
            }
        }
        OnConnect(0);
        if (word->orphaned) {
            return;  // destroyed from the callback: nothing of this object may be touched
        }
    }

    std::vector<char> buffer(static_cast<std::size_t>(std::max(1, bufferSize_.load())));
    for (;;) {
        ssize_t n = 0;
        int error = 0;
        sockaddr_in from{};
        {
            DescriptorGate::Use use(*socket);
            if (use.fd() < 0) {
                break;  // closed here
            }
            if (tcp) {
                n = ::recv(use.fd(), buffer.data(), buffer.size(), 0);
            } else {
                socklen_t fromLength = sizeof(from);
                n = ::recvfrom(use.fd(), buffer.data(), buffer.size(), 0,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
            }
            error = errno;
        }
        if (n < 0 && error == EINTR) {
            continue;
        }
        if (!tcp && n == 0) {
            continue;  // an empty datagram; a shutdown shows as the gate closed
        }
        if (n < 1) {
            const bool current = isCurrent(socket);
            if (n < 0 && current) {
                lastError_ = errorOf(error);
            }
            if (current) {
                dataFlag_ = false;
            }
            if (!tcp && current && n < 0 && errorOf(error) == kWsaEconnreset && state_ == kBound) {
                OnClose(1);
                if (word->orphaned) {
                    return;
                }
                continue;
            }
            break;
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (socket_ == socket) {
                dataFlag_ = true;
                if (!tcp) {
                    local_ = from;
                }
            }
        }
        const int length = static_cast<int>(n);
        const bool taken = OnReceive(buffer.data(), length);
        if (word->orphaned) {
            return;
        }
        if (taken) {
            continue;
        }
        queuePacket(buffer.data(), length);
        OnReceive();
        if (word->orphaned) {
            return;
        }
    }

    word->state = kThreadEnding;
    const bool current = isCurrent(socket);
    if (!current || state_ < kCreated) {
        OnClose(0);
    } else if (tcp) {
        disconnectIf(socket);
        OnClose(0);
    } else {
        state_ = kCreated;
        disconnectIf(socket);
        OnClose(1);
    }
    word->state = kThreadEnded;
}

void MySocket::acceptLoop(Gate socket, StateWord word) {
    for (;;) {
        int accepted = -1;
        int error = 0;
        {
            DescriptorGate::Use use(*socket);
            if (use.fd() < 0) {
                break;
            }
            accepted = ::accept4(use.fd(), nullptr, nullptr, SOCK_CLOEXEC);
            error = errno;
        }
        if (accepted < 0) {
            if (error == EINTR || error == ECONNABORTED) {
                continue;
            }
            if (isCurrent(socket)) {
                lastError_ = errorOf(error);
                BVCore::Logger::log(logger_, 1, "accept failed: %d", lastError_.load());
            }
            break;
        }
        if (!OnAccept(accepted)) {
            shutdownBoth(accepted);
            ::close(accepted);
        }
        if (word->orphaned) {
            return;
        }
    }
    word->state = kThreadEnding;
    if (isCurrent(socket) && state_ >= kCreated) {
        disconnectIf(socket);
        OnClose(2);
    }
    word->state = kThreadEnded;
}

// --- sending ---

int MySocket::Send(const char* data, int length) {
    const int state = state_;
    const bool tcp = kind_ == kTcp;
    if (state < kConnected || (state == kBound && tcp)) {
        lastError_ = kWsaEnotconn;
        return -1;
    }
    if (data == nullptr || length < 1) {
        lastError_ = kWsaEfault;
        return -1;
    }
    const Gate socket = currentSocket();
    if (!socket) {
        lastError_ = kWsaEnotconn;
        return -1;
    }
    if (tcp) {
        DescriptorGate::Use use(*socket);
        if (use.fd() < 0) {
            lastError_ = kWsaEnotconn;
            return -1;
        }
        int sent = 0;
        while (sent < length) {
            const ssize_t n = ::send(use.fd(), data + sent, static_cast<std::size_t>(length - sent),
                                     MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                lastError_ = errorOf(n < 0 ? errno : ECONNRESET);
                return -1;
            }
            sent += static_cast<int>(n);
        }
        return length;
    }
    sockaddr_in to{};
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!dataFlag_) {
            return 0;
        }
        to = state == kBound ? local_ : peer_;
    }
    {
        DescriptorGate::Use use(*socket);
        if (use.fd() < 0) {
            lastError_ = kWsaEnotconn;
            return -1;
        }
        ssize_t n = -1;
        do {
            n = ::sendto(use.fd(), data, static_cast<std::size_t>(length), MSG_NOSIGNAL,
                         reinterpret_cast<const sockaddr*>(&to), sizeof(to));
        } while (n < 0 && errno == EINTR);
        if (n != length) {
            lastError_ = errorOf(n < 0 ? errno : EMSGSIZE);
            return -1;
        }
    }
    startReadThread(socket, false, true);
    return length;
}

int MySocket::Send(const std::string& text) {
    return Send(text.data(), static_cast<int>(text.size()));
}

int MySocket::SendLine(const std::string& text) {
    std::string line = text;
    switch (eolFormat_.load()) {
        case kEolZero:
            line.push_back('\0');
            break;
        case kEolCrLf:
            line += "\r\n";
            break;
        case kEolLf:
            line.push_back('\n');
            break;
        default:
            return 0;
    }
    return Send(line);
}

// --- the packet queue ---

void MySocket::queuePacket(const char* data, int length) {
    auto* packet = new DataPacket(data, length);
    std::lock_guard<std::mutex> guard(packetMutex_);
    packets_.AddTail(packet);
    dataSize_ += length;
}

void MySocket::clearPackets() {
    std::lock_guard<std::mutex> guard(packetMutex_);
    packets_.ClearData();
    dataSize_ = 0;
}

int MySocket::Read(char* buffer, int length) {
    if (buffer == nullptr || length < 1) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(packetMutex_);
    int copied = 0;
    while (copied < length && !packets_.IsEmpty()) {
        DataPacket* packet = packets_.GetHead();
        const int take = std::min(packet->length, length - copied);
        std::memcpy(buffer + copied, packet->buffer + packet->position,
                    static_cast<std::size_t>(take));
        copied += take;
        packet->position += take;
        packet->length -= take;
        if (packet->length == 0) {
            delete packets_.RemoveHead();
        }
    }
    dataSize_ -= copied;
    return copied;
}

bool MySocket::ReadString(std::string& text) {
    const char eol = eolFormat_ == kEolZero ? '\0' : '\n';
    std::lock_guard<std::mutex> guard(packetMutex_);
    // Bytes up to and including the end of line, counted across the packets.
    int total = 0;
    bool found = false;
    if (!packets_.IsEmpty()) {
        DataPacket* packet = packets_.GetHead();
        for (;;) {
            const char* begin = packet->buffer + packet->position;
            const void* hit = std::memchr(begin, eol, static_cast<std::size_t>(packet->length));
            if (hit != nullptr) {
                total += static_cast<int>(static_cast<const char*>(hit) - begin) + 1;
                found = true;
                break;
            }
            total += packet->length;
            if (packets_.IsLast()) {
                break;
            }
            packet = packets_.GetNext();
        }
    }
    if (!found) {
        text.clear();
        return false;
    }
    std::string line;
    line.reserve(static_cast<std::size_t>(total));
    int left = total;
    while (left > 0) {
        DataPacket* packet = packets_.GetHead();
        const int take = std::min(packet->length, left);
        line.append(packet->buffer + packet->position, static_cast<std::size_t>(take));
        packet->position += take;
        packet->length -= take;
        left -= take;
        if (packet->length == 0) {
            delete packets_.RemoveHead();
        }
    }
    dataSize_ -= total;
    const std::size_t zero = line.find('\0');
    if (zero != std::string::npos) {
        line.resize(zero);
    }
    text = line;
    return true;
}

bool MySocket::GetPacket(char** buffer, int* length) {
    if (buffer == nullptr || length == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> guard(packetMutex_);
    if (packets_.IsEmpty()) {
        return false;
    }
    DataPacket* packet = packets_.RemoveHead();
    // Only the unread bytes go out, from the start of the buffer.
    if (packet->position > 0) {
        std::memmove(packet->buffer, packet->buffer + packet->position,
                     static_cast<std::size_t>(packet->length));
        packet->position = 0;
    }
    *buffer = packet->buffer;
    *length = packet->length;
    dataSize_ -= packet->length;
    packet->buffer = nullptr;
    delete packet;
    return true;
}

int MySocket::GetPacketSize() const {
    std::lock_guard<std::mutex> guard(packetMutex_);
    if (packets_.IsEmpty()) {
        return 0;
    }
    return const_cast<CTList<DataPacket*>&>(packets_).GetHead()->length;
}

int MySocket::GetNumPackets() const {
    std::lock_guard<std::mutex> guard(packetMutex_);
    return static_cast<int>(packets_.GetNumEntries());
}

int MySocket::GetDataSize() const {
    std::lock_guard<std::mutex> guard(packetMutex_);
    return dataSize_;
}

}  // namespace BVComm
}  // namespace Brevan2011
