// Delay from the simulated receiver's answer being written to the session's socket to the slot
// of a page joined to the hub with connectQueued: the session's read and parse threads, the
// hand-over to the GUI thread, the cache, the hub's signal and the queued slot. A new-protocol
// receiver answers each setting with a command-setting response (deviceResponse(int,int)).
// A loopback relay between session and simulator stamps the moment it writes the answer.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "BVComm/PortPaths.h"
#include "SimReceiver/SimReceiver.h"
#include "device_manager.h"
#include "device_observer.h"
#include "info.h"
#include "latency_report.h"
#include "logic_context.h"

using Clock = std::chrono::steady_clock;

namespace {

// Relays one TCP connection from the session to the simulator and stamps the first write of
// simulator bytes to the session after each arm().
class Relay {
public:
    // marker: when given, only a write holding these bytes is stamped (other traffic, such as
    // answers to the session's keep-alive, passes unstamped).
    explicit Relay(std::uint16_t simPort, std::string marker = std::string())
        : simPort_(simPort), marker_(std::move(marker)) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ok_ = listen_ >= 0 && ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
              ::listen(listen_, 1) == 0 &&
              ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) == 0;
        port_ = ntohs(a.sin_port);
        if (ok_) {
            thread_ = std::thread([this] { run(); });
        }
    }
    ~Relay() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        for (int fd : {listen_, session_, sim_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    bool ok() const { return ok_; }
    std::uint16_t port() const { return port_; }
    void arm() { stamp_.store(0); }
    // Nanoseconds of the steady clock at the first write after arm(); 0 when none yet.
    long long stamp() const { return stamp_.load(); }

private:
    void run() {
        pollfd l{listen_, POLLIN, 0};
        while (!stop_ && ::poll(&l, 1, 50) <= 0) {
        }
        if (stop_) {
            return;
        }
        session_ = ::accept(listen_, nullptr, nullptr);
        sim_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(simPort_);
        if (session_ < 0 || ::connect(sim_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            return;
        }
        char buf[4096];
        pollfd fds[2] = {{session_, POLLIN, 0}, {sim_, POLLIN, 0}};
        while (!stop_) {
            if (::poll(fds, 2, 50) <= 0) {
                continue;
            }
            if (fds[0].revents & (POLLIN | POLLHUP)) {
                const ssize_t n = ::read(session_, buf, sizeof buf);
                if (n <= 0 || ::send(sim_, buf, static_cast<size_t>(n), MSG_NOSIGNAL) != n) {
                    return;
                }
            }
            if (fds[1].revents & (POLLIN | POLLHUP)) {
                const ssize_t n = ::read(sim_, buf, sizeof buf);
                if (n <= 0) {
                    return;
                }
                long long zero = 0;
                const bool marked = marker_.empty() || std::search(buf, buf + n, marker_.begin(),
                                                                   marker_.end()) != buf + n;
                if (marked) {
                    stamp_.compare_exchange_strong(
                        zero, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  Clock::now().time_since_epoch())
                                  .count());
                }
                if (::send(session_, buf, static_cast<size_t>(n), MSG_NOSIGNAL) != n) {
                    return;
                }
            }
        }
    }

    std::uint16_t simPort_;
    std::string marker_;
    int listen_ = -1;
    int session_ = -1;
    int sim_ = -1;
    bool ok_ = false;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long long> stamp_{0};
    std::thread thread_;
};

// The page: notes when the answer reached it and ends the wait.
class Page : public QObject {
    Q_OBJECT
public:
    Clock::time_point at;
    QEventLoop* loop = nullptr;
public slots:
    void onResponse(int, int) {
        at = Clock::now();
        if (loop) {
            loop->quit();
        }
    }
};

void BM_SimulatorWriteToQueuedSlot(benchmark::State& state) {
    Brevan2011::BVComm::SetLogDirectory("/tmp");
    varnok_sim::SimReceiver sim;
    std::string error;
    if (!sim.configure("protocol=new", &error) || !sim.start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Relay relay(sim.tcpPort());
    if (!relay.ok()) {
        state.SkipWithError("no relay");
        return;
    }
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    dm->setManufacturer(2);
    dm->setDeviceType(1);
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = relay.port();
    Page page;
    Varnok::connectQueued(Varnok::DeviceObserver::instance(), &page,
                          SIGNAL(deviceResponse(int, int)), SLOT(onResponse(int, int)));
    if (!dm->connectDevice(2, 0, 9600, target)) {
        state.SkipWithError("connect failed");
        return;
    }
    // The first queries and their answers out of the way.
    {
        QEventLoop settle;
        QTimer::singleShot(1000, &settle, &QEventLoop::quit);
        settle.exec();
    }

    std::vector<double> delaysUs;
    for (auto _ : state) {
        relay.arm();
        QEventLoop loop;
        page.loop = &loop;
        page.at = Clock::time_point();
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        dm->setComBaudrate(9600);
        loop.exec();
        page.loop = nullptr;
        const long long writtenNs = relay.stamp();
        if (page.at == Clock::time_point() || writtenNs == 0) {
            state.SkipWithError("answer lost");
            break;
        }
        const Clock::time_point writtenAt{std::chrono::nanoseconds(writtenNs)};
        delaysUs.push_back(std::chrono::duration<double, std::micro>(page.at - writtenAt).count());
    }
    dm->closePort();
    Varnok::LogicContext::instance()->shutdown();
    varnok_bench::reportLatency(state, std::move(delaysUs), "simulator write to queued slot");
}

// The old protocol's battery answer to the information page's visit, up to its battery field.
void BM_SimulatorWriteToInfoBattery(benchmark::State& state) {
    Brevan2011::BVComm::SetLogDirectory("/tmp");
    varnok_sim::SimReceiver sim;
    std::string error;
    if (!sim.configure("protocol=old battery=70", &error) || !sim.start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Relay relay(sim.tcpPort(), "$$SD");
    if (!relay.ok()) {
        state.SkipWithError("no relay");
        return;
    }
    Varnok::DeviceManager* dm = Varnok::DeviceManager::instance();
    dm->setManufacturer(2);
    dm->setDeviceType(0);
    Varnok::SocketTarget target{};
    target.address[0] = 127;
    target.address[3] = 1;
    target.port = relay.port();
    if (!dm->connectDevice(2, 0, 9600, target)) {
        state.SkipWithError("connect failed");
        return;
    }
    {
        QEventLoop settle;
        QTimer::singleShot(1000, &settle, &QEventLoop::quit);
        settle.exec();
    }
    Varnok::Info info;
    auto* battery = info.findChild<QLineEdit*>(QStringLiteral("lineEdit_Baterry"));
    Clock::time_point at;
    QEventLoop* waiting = nullptr;
    QObject::connect(battery, &QLineEdit::textChanged, [&](const QString& text) {
        if (!text.isEmpty() && waiting) {
            at = Clock::now();
            waiting->quit();
        }
    });

    std::vector<double> delaysUs;
    for (auto _ : state) {
        // The battery request holds the write queue 200 ms: let it pass, so the stamp is
        // this answer's.
        state.PauseTiming();
        {
            QEventLoop quiet;
            QTimer::singleShot(250, &quiet, &QEventLoop::quit);
            quiet.exec();
        }
        state.ResumeTiming();
        battery->clear();
        relay.arm();
        QEventLoop loop;
        waiting = &loop;
        at = Clock::time_point();
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        info.activate();  // asks for the battery
        loop.exec();
        waiting = nullptr;
        info.deactivate();
        const long long writtenNs = relay.stamp();
        if (at == Clock::time_point() || writtenNs == 0) {
            state.SkipWithError("answer lost");
            break;
        }
        const Clock::time_point writtenAt{std::chrono::nanoseconds(writtenNs)};
        delaysUs.push_back(std::chrono::duration<double, std::micro>(at - writtenAt).count());
    }
    dm->closePort();
    Varnok::LogicContext::instance()->shutdown();
    varnok_bench::reportLatency(state, std::move(delaysUs), "simulator write to Info battery");
}

}  // namespace

BENCHMARK(BM_SimulatorWriteToQueuedSlot)->Iterations(500)->UseRealTime();
BENCHMARK(BM_SimulatorWriteToInfoBattery)->Iterations(100)->UseRealTime();

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "answer_latency.moc"
