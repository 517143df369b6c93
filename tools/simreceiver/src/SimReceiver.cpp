#include "SimReceiver/SimReceiver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>

#include "SimAnswers.h"
#include "SimAnswersRtk.h"
#include "SimWire.h"
#include "support/NewWireHelpers.h"

namespace varnok_sim {

namespace {

using Clock = std::chrono::steady_clock;

// The longest the serving loop sleeps: it also keeps the pty reopenable (see below).
constexpr int kLoopMs = 20;
// A TCP write that cannot go on for this long is dropped, like bytes a receiver's UART loses.
constexpr int kWriteWaitMs = 1000;

struct Pending {
    Clock::time_point due;
    Bytes bytes;
    // New-protocol frames are cut into numbered chunks as they go out, so a late answer that
    // others overtook still carries the next number.
    bool chunked = false;
    bool garbage = false;
};

// What one link (the TCP connection or the pty) has heard and has still to say.
struct LinkState {
    Link kind = Link::Tcp;
    int fd = -1;
    WireReader reader;
    std::uint8_t sequence = 0;  // chunk numbers of this link's new-protocol answers
    bool streaming = false;     // position output
    Clock::time_point nextEpoch;
    bool muted = false;  // stopped mid-answer or past close_after
    std::size_t sent = 0;
    std::deque<Pending> out;

    void reset() {
        reader = WireReader();
        streaming = false;
        muted = false;
        sent = 0;
        out.clear();
    }
};

unsigned LineSpeed(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        return 0;
    }
    switch (::cfgetospeed(&t)) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        case B460800:
            return 460800;
        case B921600:
            return 921600;
        default:
            return 0;
    }
}

void SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

// Bytes that no decoder takes for a frame: never '$' (every frame's start) nor 0x04.
Bytes Garbage(std::size_t n, std::uint32_t* seed) {
    Bytes out(n);
    for (auto& b : out) {
        do {
            *seed = *seed * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(*seed >> 24);
        } while (b == '$' || b == 0x04);
    }
    return out;
}

}  // namespace

struct SimReceiver::Impl {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    SimState state;
    std::vector<Request> log;
    int tcpConnections = 0;
    int closedByReceiver = 0;
    std::size_t bytesSent = 0;
    std::size_t bytesIgnored = 0;
    bool linksReset = false;  // settings changed: links forget their mutes and counts

    int listenFd = -1;
    int ptyMaster = -1;
    int ptySlave = -1;
    std::string ptyPath;
    std::uint16_t port = 0;
    int wake[2] = {-1, -1};
    std::atomic<bool> running{false};
    std::thread thread;
    std::uint32_t garbageSeed = 12345;

    LinkState tcp;
    LinkState pty;

    bool openTcp(std::string* error);
    bool openPty(std::string* error);
    void closeAll();
    void serve();
    void accept();
    void readLink(LinkState& link);
    void heard(LinkState& link, const std::uint8_t* data, std::size_t n);
    void answer(LinkState& link, const Answer& a);
    void queue(LinkState& link, std::vector<Bytes> frames, bool newProtocol, long lateMs = 0);
    void flush(LinkState& link);
    bool writeAll(LinkState& link, const std::uint8_t* p, std::size_t n);
    void dropTcp(bool byReceiver);
    int timeoutMs() const;

    template <class Pred>
    bool waitFor(int timeoutMs, Pred pred) const {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), pred);
    }
};

bool SimReceiver::Impl::openTcp(std::string* error) {
    listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listenFd < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    ::setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (::bind(listenFd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listenFd, 4) != 0 ||
        ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
        *error = std::string("listen: ") + std::strerror(errno);
        return false;
    }
    port = ntohs(a.sin_port);
    return true;
}

bool SimReceiver::Impl::openPty(std::string* error) {
    ptyMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {0};
    if (ptyMaster < 0 || ::grantpt(ptyMaster) != 0 || ::unlockpt(ptyMaster) != 0 ||
        ::ptsname_r(ptyMaster, name, sizeof name) != 0) {
        *error = std::string("pty: ") + std::strerror(errno);
        return false;
    }
    ptyPath = name;
    // Held open so the line's settings live between sessions and the master never hangs up.
    ptySlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (ptySlave < 0) {
        *error = "pty " + ptyPath + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    if (::tcgetattr(ptySlave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(ptySlave, TCSANOW, &t);
    }
    SetNonBlocking(ptyMaster);
    pty.kind = Link::Pty;
    pty.fd = ptyMaster;
    return true;
}

void SimReceiver::Impl::closeAll() {
    for (int* fd : {&tcp.fd, &listenFd, &ptySlave, &ptyMaster, &wake[0], &wake[1]}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
    pty.fd = -1;
}

int SimReceiver::Impl::timeoutMs() const {
    const Clock::time_point now = Clock::now();
    Clock::time_point next = now + std::chrono::milliseconds(kLoopMs);
    for (const LinkState* link : {&tcp, &pty}) {
        if (!link->out.empty()) {
            next = std::min(next, link->out.front().due);
        }
        if (link->streaming) {
            next = std::min(next, link->nextEpoch);
        }
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
    return static_cast<int>(std::max<long long>(0, ms));
}

void SimReceiver::Impl::serve() {
    while (running.load()) {
        pollfd fds[4] = {{wake[0], POLLIN, 0},
                         {listenFd, POLLIN, 0},
                         {ptyMaster, POLLIN, 0},
                         {tcp.fd, POLLIN, 0}};
        const nfds_t count = tcp.fd >= 0 ? 4 : 3;
        ::poll(fds, count, timeoutMs());
        if (fds[0].revents != 0) {
            char drain[64];
            while (::read(wake[0], drain, sizeof drain) > 0) {
            }
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (linksReset) {
                linksReset = false;
                for (LinkState* link : {&tcp, &pty}) {
                    link->muted = false;
                    link->sent = 0;
                }
            }
        }
        if (fds[1].revents & POLLIN) {
            accept();
        }
        if (fds[2].revents & POLLIN) {
            readLink(pty);
        }
        if (count == 4 && (fds[3].revents & (POLLIN | POLLHUP | POLLERR))) {
            readLink(tcp);
        }
        // Each session opens the line for exclusive use; clearing that on the held descriptor
        // lets the next session (the next baud rate tried) open it again.
        ::ioctl(ptySlave, TIOCNXCL);
        const Clock::time_point now = Clock::now();
        for (LinkState* link : {&tcp, &pty}) {
            if (link->streaming && link->fd >= 0 && now >= link->nextEpoch) {
                long periodMs = 0;
                bool newProtocol = false;
                std::vector<Bytes> epoch;
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    periodMs = state.number("position_ms");
                    newProtocol = state.newProtocol();
                    epoch = newProtocol ? std::vector<Bytes>{rtk::PositionEpochNew(state)}
                                        : PositionEpoch(state);
                }
                if (periodMs <= 0) {
                    link->streaming = false;
                } else {
                    link->nextEpoch = now + std::chrono::milliseconds(periodMs);
                    queue(*link, std::move(epoch), newProtocol);
                }
            }
            flush(*link);
        }
    }
}

void SimReceiver::Impl::accept() {
    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        return;
    }
    // One session at a time: a new connection replaces the old one.
    dropTcp(false);
    tcp.reset();
    tcp.fd = fd;
    std::lock_guard<std::mutex> lock(mutex);
    ++tcpConnections;
    changed.notify_all();
}

void SimReceiver::Impl::dropTcp(bool byReceiver) {
    if (tcp.fd < 0) {
        return;
    }
    ::close(tcp.fd);
    tcp.fd = -1;
    tcp.reset();
    if (byReceiver) {
        std::lock_guard<std::mutex> lock(mutex);
        ++closedByReceiver;
        changed.notify_all();
    }
}

void SimReceiver::Impl::readLink(LinkState& link) {
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(link.fd, buffer, sizeof buffer);
    if (n <= 0) {
        if (link.kind == Link::Tcp && (n == 0 || (errno != EAGAIN && errno != EINTR))) {
            dropTcp(false);  // the session went away
        }
        return;
    }
    const std::size_t got = static_cast<std::size_t>(n);
    if (link.kind == Link::Pty) {
        unsigned baud = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            baud = static_cast<unsigned>(state.number("baud"));
        }
        // At another line speed a receiver hears noise: nothing is decoded or answered.
        if (baud != 0 && LineSpeed(ptySlave) != baud) {
            link.reader = WireReader();
            std::lock_guard<std::mutex> lock(mutex);
            bytesIgnored += got;
            changed.notify_all();
            return;
        }
    }
    heard(link, buffer, got);
}

void SimReceiver::Impl::heard(LinkState& link, const std::uint8_t* data, std::size_t n) {
    link.reader.append(data, n);
    WireMessage message;
    while (link.reader.next(&message)) {
        Answer a;
        {
            std::lock_guard<std::mutex> lock(mutex);
            a = message.isNew ? AnswerNew(message.request, state)
                              : AnswerOld(message.letters[0], message.letters[1],
                                          message.payload.data(), message.payload.size(), state);
            log.push_back({a.name, a.detail, link.kind});
            changed.notify_all();
        }
        answer(link, a);
    }
}

void SimReceiver::Impl::answer(LinkState& link, const Answer& a) {
    if (a.stream > 0 && !link.streaming) {
        link.streaming = true;
        link.nextEpoch = Clock::now();
    } else if (a.stream < 0) {
        link.streaming = false;
    }
    // The receiver acted on the request; only its answer is dropped or held back.
    long lateMs = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (state.dropsAnswerTo(a.name)) {
            return;
        }
        lateMs = state.lateMsFor(a.name);
    }
    queue(link, a.frames, a.chunked, lateMs);
}

void SimReceiver::Impl::queue(LinkState& link, std::vector<Bytes> frames, bool newProtocol,
                              long lateMs) {
    if (frames.empty()) {
        return;
    }
    std::string mode;
    long delayMs = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        mode = state.text("mode");
        delayMs = state.number("delay_ms");
    }
    if (mode == "silent") {
        return;
    }
    const Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs + lateMs);
    for (Bytes& frame : frames) {
        // A late answer lets the ones after it overtake: the queue stays ordered by time.
        auto at = link.out.end();
        while (at != link.out.begin() && std::prev(at)->due > due) {
            --at;
        }
        link.out.insert(at, {due, std::move(frame), newProtocol, mode == "garbage"});
    }
}

void SimReceiver::Impl::flush(LinkState& link) {
    const Clock::time_point now = Clock::now();
    while (!link.out.empty() && link.out.front().due <= now) {
        Pending next = std::move(link.out.front());
        link.out.pop_front();
        Bytes bytes =
            next.chunked ? NewWire::ChunkFrame(next.bytes, &link.sequence) : std::move(next.bytes);
        if (next.garbage) {
            bytes = Garbage(bytes.size(), &garbageSeed);
        }
        if (link.fd < 0 || link.muted) {
            continue;
        }
        std::string mode;
        std::size_t closeAfter = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            mode = state.text("mode");
            closeAfter = static_cast<std::size_t>(state.number("close_after"));
        }
        std::size_t n = bytes.size();
        bool stop = false;
        if (mode == "stop_mid_answer") {
            n = std::max<std::size_t>(1, n / 2);
            stop = true;
        }
        if (closeAfter != 0 && link.sent + n >= closeAfter) {
            n = closeAfter - std::min(closeAfter, link.sent);
            stop = true;
        }
        if (!writeAll(link, bytes.data(), n) || !stop) {
            continue;
        }
        if (closeAfter != 0 && link.sent >= closeAfter && link.kind == Link::Tcp) {
            dropTcp(true);
            return;
        }
        link.muted = true;
        link.out.clear();
        link.streaming = false;
    }
}

bool SimReceiver::Impl::writeAll(LinkState& link, const std::uint8_t* p, std::size_t n) {
    std::size_t done = 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kWriteWaitMs);
    while (done < n) {
        const ssize_t w = link.kind == Link::Tcp ? ::send(link.fd, p + done, n - done, MSG_NOSIGNAL)
                                                 : ::write(link.fd, p + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) {
            continue;
        }
        // A full pty is a line nobody reads: the rest is lost, as on a serial cable.
        if (w < 0 && errno == EAGAIN && link.kind == Link::Tcp && Clock::now() < deadline) {
            pollfd out{link.fd, POLLOUT, 0};
            ::poll(&out, 1, 50);
            continue;
        }
        break;
    }
    link.sent += done;
    std::lock_guard<std::mutex> lock(mutex);
    bytesSent += done;
    changed.notify_all();
    return done == n;
}

// ---- Public interface.

SimReceiver::SimReceiver() : impl_(new Impl) {}

SimReceiver::~SimReceiver() {
    stop();
}

bool SimReceiver::configure(const std::string& script, std::string* error) {
    std::size_t at = 0;
    while (at < script.size()) {
        std::size_t end = script.find_first_of(" \t\r\n;", at);
        if (end == std::string::npos) {
            end = script.size();
        }
        std::string word = script.substr(at, end - at);
        at = end + 1;
        if (word.empty()) {
            continue;
        }
        if (word[0] == '#') {
            const std::size_t line = script.find('\n', end);
            at = line == std::string::npos ? script.size() : line + 1;
            continue;
        }
        const std::size_t eq = word.find('=');
        if (eq == std::string::npos || eq == 0) {
            if (error != nullptr) {
                *error = "\"" + word + "\": key=value expected";
            }
            return false;
        }
        if (!set(word.substr(0, eq), word.substr(eq + 1), error)) {
            return false;
        }
    }
    return true;
}

bool SimReceiver::set(const std::string& key, const std::string& value, std::string* error) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (!impl_->state.set(key, value, error)) {
        return false;
    }
    impl_->linksReset = true;
    return true;
}

std::map<std::string, std::string> SimReceiver::state() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->state.all();
}

std::string SimReceiver::value(const std::string& key) const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    if (key == "firmware") {
        return impl_->state.firmware();
    }
    if (key == "model") {
        return impl_->state.model();
    }
    return impl_->state.get(key);
}

bool SimReceiver::start(std::string* error) {
    std::string why;
    if (impl_->running.load()) {
        return true;
    }
    if (::pipe2(impl_->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        why = std::string("pipe: ") + std::strerror(errno);
    } else if (impl_->openTcp(&why) && impl_->openPty(&why)) {
        impl_->running = true;
        impl_->thread = std::thread([this] { impl_->serve(); });
        return true;
    }
    impl_->closeAll();
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

void SimReceiver::stop() {
    if (!impl_->running.exchange(false)) {
        return;
    }
    const char one = 1;
    (void)!::write(impl_->wake[1], &one, 1);
    impl_->thread.join();
    impl_->closeAll();
}

std::uint16_t SimReceiver::tcpPort() const {
    return impl_->port;
}

std::string SimReceiver::ptyPath() const {
    return impl_->ptyPath;
}

std::vector<Request> SimReceiver::requests() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->log;
}

std::vector<std::string> SimReceiver::requestNames() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    std::vector<std::string> names;
    for (const Request& r : impl_->log) {
        names.push_back(r.name);
    }
    return names;
}

void SimReceiver::clearRequests() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->log.clear();
}

bool SimReceiver::waitForRequest(const std::string& name, int timeoutMs) const {
    return impl_->waitFor(timeoutMs, [&] {
        return std::any_of(impl_->log.begin(), impl_->log.end(),
                           [&](const Request& r) { return r.name == name; });
    });
}

bool SimReceiver::waitForRequests(std::size_t count, int timeoutMs) const {
    return impl_->waitFor(timeoutMs, [&] { return impl_->log.size() >= count; });
}

int SimReceiver::tcpConnections() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->tcpConnections;
}

int SimReceiver::closedByReceiver() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->closedByReceiver;
}

std::size_t SimReceiver::bytesSent() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->bytesSent;
}

std::size_t SimReceiver::bytesIgnored() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->bytesIgnored;
}

bool SimReceiver::waitForBytesSent(std::size_t count, int timeoutMs) const {
    return impl_->waitFor(timeoutMs, [&] { return impl_->bytesSent >= count; });
}

bool SimReceiver::waitForBytesIgnored(std::size_t count, int timeoutMs) const {
    return impl_->waitFor(timeoutMs, [&] { return impl_->bytesIgnored >= count; });
}

bool SimReceiver::waitForClosedByReceiver(int count, int timeoutMs) const {
    return impl_->waitFor(timeoutMs, [&] { return impl_->closedByReceiver >= count; });
}

}  // namespace varnok_sim
