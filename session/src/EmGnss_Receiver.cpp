#include "BVDevice/EmGnss_Receiver.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#include "BVComm/Logger.h"
#include "BVComm/PortPaths.h"
#include "SessionTestHooks.h"
#include "BVDevice/ThreadTrace.h"
#include "BVParse/Em_Gnss.h"

namespace Brevan2011 {
namespace BVDevice {

using BVParse::Em_CrtSect_Lock;

struct EmGnss_Receiver::ThreadShared {
    DataLock dataLock;
    // Set when the session was deleted on this thread's own stack; from then on the thread
    // touches only this block.
    std::atomic<bool> orphaned{false};
    // The facade the orphaned thread may still be inside; it goes with the block.
    std::unique_ptr<Em_Gnss> facade;
};

namespace {

// The session whose thread is running here, so that a session refuses to join itself.
thread_local const EmGnss_Receiver* tlSession = nullptr;

std::atomic<int> failThreadCountdown{0};

std::thread startThread(unsigned long (*entry)(void*), EmGnss_Receiver* session) {
    int n = failThreadCountdown.load();
    while (n > 0 && !failThreadCountdown.compare_exchange_weak(n, n - 1)) {
    }
    if (n == 1) {
        throw std::system_error(EAGAIN, std::generic_category(), "thread start refused");
    }
    return std::thread([entry, session] { entry(session); });
}

constexpr unsigned int kRawChunk = 512;
constexpr unsigned int kRawPauseMs = 100;

// In the shared library the core logger is this library's own copy; it writes where libBVComm
// writes.
std::shared_ptr<BVCore::Logger> sessionLogger() {
    BVCore::setLogDirectory(BVComm::LogDirectory());
    return BVCore::Logger::defaultLogger();
}

}  // namespace

void FailSessionThreadStart(int n) {
    failThreadCountdown = n;
}

EmGnss_Receiver::EmGnss_Receiver(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType)
    : events_(EventSet::bit(kExit)),
      boardType_(boardType),
      maker_(maker),
      shared_(std::make_shared<ThreadShared>()),
      dataLock_(shared_->dataLock) {
    InitInstance(maker, boardType);
}

EmGnss_Receiver::~EmGnss_Receiver() {
    // Threads use the locks, events and facade: stop them before any of it goes.
    if (onOwnThread()) {
        closeFromOwnThread();
    } else {
        Port_Close();
    }
    discardPending("session ended");
    ExitInstance();
}

void EmGnss_Receiver::InitInstance(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType) {
    port_ = nullptr;
    gnss_ = nullptr;
    events_.resetAll();
    comParam_ = PARAM_COM();
    btParam_ = PARAM_BT();
    btParam_.port = 8;
    portKind_ = -1;
    queueLock_.InitializeSection();
    keepAliveOn_ = true;
    readChunk_ = kReadBufferSize;
    maker_ = maker;
    boardType_ = boardType;
    callbacks_ = nullptr;
}

void EmGnss_Receiver::ExitInstance() {
    events_.resetAll();
    queueLock_.DeleteSection();
    rcdforthreads("~Device\r\n", ThreadTrace::kMain);
    DataGuard lock(dataLock_);
    callbacks_ = nullptr;
}

bool EmGnss_Receiver::setReceiverType(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType) {
    DataGuard lock(dataLock_);
    if (gnss_ != nullptr) {
        return false;
    }
    maker_ = maker;
    boardType_ = boardType;
    return true;
}

void EmGnss_Receiver::RegisterCbs_Receiver(const _CALLBACKS_RECEIVER* callbacks,
                                           const void* /*user*/) {
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        callbacks_ = callbacks;
    }
}

void EmGnss_Receiver::RegisterCb_LinkLost(LinkLostCallback callback, void* user) {
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        linkLost_ = callback;
        linkLostUser_ = user;
    }
}

bool EmGnss_Receiver::onOwnThread() const {
    return tlSession == this;
}

void EmGnss_Receiver::Set_PortPar(const PARAM_COM& param) {
    std::lock_guard<std::mutex> guard(portMutex_);  // Send_QxMdl rewrites the rate
    comParam_ = param;
}

void EmGnss_Receiver::Set_PortPar(const PARAM_BT& param) {
    btParam_ = param;
}

void EmGnss_Receiver::Set_PortPar(const PARAM_SOCK& param) {
    sockParam_ = param;
}

bool EmGnss_Receiver::Set_PortPar(const char* path) {
    if (path == nullptr) {
        return true;
    }
    const std::size_t length = ::strnlen(path, kMaxPathLength + 1);
    if (length > kMaxPathLength) {
        return false;
    }
    std::memcpy(filePath_, path, length);
    filePath_[length] = '\0';
    return true;
}

template <class Param>
bool EmGnss_Receiver::openWith(Param param, int type) {
    if (onOwnThread()) {
        return false;  // never block on a close that is waiting for this thread
    }
    std::lock_guard<std::mutex> guard(lifecycleMutex_);
    if (!prepareForOpen()) {
        return false;
    }
    Set_PortPar(param);
    return openPort(type);
}

bool EmGnss_Receiver::Port_Open(PARAM_COM param) {
    return openWith(param, BVComm::kPortSerial);
}

bool EmGnss_Receiver::Port_Open(PARAM_BT param) {
    return openWith(param, BVComm::kPortBluetooth);
}

bool EmGnss_Receiver::Port_Open(PARAM_SOCK param) {
    return openWith(param, BVComm::kPortTcp);
}

bool EmGnss_Receiver::Port_Open(const char* path) {
    if (path != nullptr && ::strnlen(path, kMaxPathLength + 1) > kMaxPathLength) {
        return false;
    }
    return openWith(path, BVComm::kPortFile);
}

bool EmGnss_Receiver::Port_ReOpen(PARAM_COM param) {
    return Port_Close() && Port_Open(param);
}

bool EmGnss_Receiver::Port_ReOpen(PARAM_BT param) {
    return Port_Close() && Port_Open(param);
}

bool EmGnss_Receiver::Port_ReOpen(PARAM_SOCK param) {
    return Port_Close() && Port_Open(param);
}

bool EmGnss_Receiver::Port_ReOpen(const char* path) {
    return Port_Close() && Port_Open(path);
}

bool EmGnss_Receiver::prepareForOpen() {
    DataGuard lock(dataLock_);
    {
        std::lock_guard<std::mutex> guard(portMutex_);
        if (gnss_ != nullptr || port_ != nullptr || parseThread_.joinable() ||
            readThread_.joinable() || writeThread_.joinable()) {
            return false;
        }
    }
    Em_Gnss* gnss = new (std::nothrow) Em_Gnss(maker_.load(), boardType_.load());
    if (gnss == nullptr) {
        return false;
    }
    gnss->Reg_Callbacks(callbacks_, nullptr);
    setFacade(gnss);
    return true;
}

bool EmGnss_Receiver::openPort(int type) {
    void* param = nullptr;
    PARAM_COM com;
    switch (type) {
        case BVComm::kPortSerial: {
            std::lock_guard<std::mutex> guard(portMutex_);
            com = comParam_;
            param = &com;
            break;
        }
        case BVComm::kPortBluetooth:
            param = &btParam_;
            break;
        case BVComm::kPortTcp:
            param = &sockParam_;
            break;
        default:
            param = filePath_;
            break;
    }
    IPortInstance* port = nullptr;
    if (BVComm::CreatePortInstance(type, param, &port) != 0) {
        return false;  // half-open: the facade stays until Port_Close
    }
    {
        std::lock_guard<std::mutex> guard(portMutex_);
        port_ = port;
    }
    {
        DataGuard lock(dataLock_);
        if (type == BVComm::kPortSerial) {
            gnss_->Set_Com_Status(BVParse::COM_STATUS_SERIAL);
        } else if (type == BVComm::kPortBluetooth) {
            gnss_->Set_Com_Status(BVParse::COM_STATUS_BLUETOOTH);
        }
    }
    portKind_ = type;
    if (Port_StarThrd()) {
        return true;
    }
    // Without its threads the session cannot run: undo the whole open.
    {
        std::lock_guard<std::mutex> guard(portMutex_);
        port_->Uninitialize();
        BVComm::ExitPortInstance(&port_);
    }
    DataGuard lock(dataLock_);
    Em_Gnss* gnss = gnss_;
    setFacade(nullptr);
    delete gnss;
    return false;
}

void EmGnss_Receiver::setFacade(Em_Gnss* gnss) {
    // Cleared before the facade is deleted, so an operation past the fast path finds the
    // pointer gone under dataLock instead of a freed object.
    gnss_ = gnss;
    hasGnss_.store(gnss != nullptr, std::memory_order_release);
    reportedMaker_ = gnss != nullptr ? gnss->Get_Mnfctr() : BVParse::GNSS_MNFCTR_NONE;
}

bool EmGnss_Receiver::Port_StarThrd() {
    ResetAllEvent();
    try {
        parseThread_ = startThread(&EmGnss_Receiver::ThreadPrcData, this);
        readThread_ = startThread(&EmGnss_Receiver::ThreadRdData, this);
        writeThread_ = startThread(&EmGnss_Receiver::ThreadWrtData, this);
    } catch (const std::system_error& e) {
        BVCore::Logger::log(sessionLogger(), 2, "session thread could not start: %s", e.what());
        events_.set(kExit);
        for (std::thread* t : {&parseThread_, &readThread_, &writeThread_}) {
            if (t->joinable()) {
                t->join();
            }
        }
        ResetAllEvent();
        return false;
    }
    rcdforthreads("Start Threads \r\n", ThreadTrace::kMain);
    return true;
}

bool EmGnss_Receiver::Port_Close() {
    if (onOwnThread()) {
        return false;  // a thread cannot wait for itself
    }
    std::lock_guard<std::mutex> guard(lifecycleMutex_);
    rcdforthreads("Close Port Begin \r\n", ThreadTrace::kMain);
    events_.set(kExit);
    {
        std::lock_guard<std::mutex> portGuard(portMutex_);
        if (port_ != nullptr) {
            port_->Uninitialize();  // wakes a read or write waiting in the port
        }
    }
    for (std::thread* t : {&parseThread_, &readThread_, &writeThread_}) {
        if (t->joinable()) {
            t->join();
        }
    }
    ResetAllEvent();
    {
        std::lock_guard<std::mutex> portGuard(portMutex_);
        BVComm::ExitPortInstance(&port_);
    }
    rcdforthreads("Close Port End\r\n", ThreadTrace::kMain);
    DataGuard lock(dataLock_);
    Em_Gnss* gnss = gnss_;
    setFacade(nullptr);
    delete gnss;
    std::lock_guard<std::mutex> portGuard(portMutex_);
    return port_ == nullptr;
}

void EmGnss_Receiver::closeFromOwnThread() {
    // No lifecycleMutex_: this thread may hold dataLock, which an open takes under it, and no
    // one may open or close a session that is being destroyed.
    rcdforthreads("Close Port Begin \r\n", ThreadTrace::kMain);
    events_.set(kExit);
    {
        std::lock_guard<std::mutex> portGuard(portMutex_);
        if (port_ != nullptr) {
            port_->Uninitialize();
        }
    }
    {
        // This thread may be inside the facade's parse loop: no more callbacks, nothing more
        // to parse.
        DataGuard lock(dataLock_);
        if (gnss_ != nullptr) {
            gnss_->Reg_Callbacks(nullptr, nullptr);
            gnss_->Data_Clear();
        }
    }
    // The other threads give up waiting for dataLock, which this thread may hold, on exit.
    for (std::thread* t : {&parseThread_, &readThread_, &writeThread_}) {
        if (!t->joinable()) {
            continue;
        }
        if (t->get_id() == std::this_thread::get_id()) {
            t->detach();
        } else {
            t->join();
        }
    }
    {
        std::lock_guard<std::mutex> portGuard(portMutex_);
        BVComm::ExitPortInstance(&port_);
    }
    rcdforthreads("Close Port End\r\n", ThreadTrace::kMain);
    DataGuard lock(dataLock_);
    shared_->facade.reset(gnss_);
    setFacade(nullptr);
    shared_->orphaned = true;
}

bool EmGnss_Receiver::IsPortOpen() {
    std::lock_guard<std::mutex> guard(portMutex_);
    return port_ != nullptr && port_->IsOpen();
}

void EmGnss_Receiver::Port_SetBuf(unsigned int size) {
    std::lock_guard<std::mutex> guard(portMutex_);
    if (port_ != nullptr && size < kReadBufferSize) {
        readChunk_ = size;
    }
}

void EmGnss_Receiver::Port_SetBaud(unsigned int baud) {
    switch (baud) {
        case 2400:
        case 4800:
        case 9600:
        case 19200:
        case 38400:
        case 57600:
        case 115200:
            break;
        default:
            return;
    }
    // The factory's kept port is this session's only while this session's serial port lives.
    std::lock_guard<std::mutex> guard(portMutex_);
    const int kind = portKind_.load();
    if (port_ != nullptr && (kind == BVComm::kPortSerial || kind == BVComm::kPortBluetooth)) {
        BVComm::SetBaud(static_cast<int>(baud));
    }
}

void EmGnss_Receiver::ReSetGnsMd(MAINBD_OEM_TYPE boardType) {
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        return;
    }
    boardType_ = boardType;
    events_.set(kResetMainBoard);
}

void EmGnss_Receiver::ReSetMnfctr(GNSS_MANUFACTURER maker) {
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr || maker == maker_.load()) {
        return;
    }
    maker_ = maker;
    events_.set(kResetMaker);
}

unsigned int EmGnss_Receiver::RcvData(const unsigned char* data, unsigned int length) {
    if (data == nullptr || length == 0 || gnss_ == nullptr) {
        return length;
    }
    return gnss_->RcvData(data, length);
}

void EmGnss_Receiver::ResetAllEvent() {
    events_.resetAll();
}

void EmGnss_Receiver::Cmd_WrtEnvt() {
    events_.set(kWrite);
}

unsigned long EmGnss_Receiver::ThreadRdData(void* session) {
    auto* self = static_cast<EmGnss_Receiver*>(session);
    tlSession = self;
    return self->ReadData();
}

unsigned long EmGnss_Receiver::ThreadPrcData(void* session) {
    auto* self = static_cast<EmGnss_Receiver*>(session);
    tlSession = self;
    return self->ProcessData();
}

unsigned long EmGnss_Receiver::ThreadWrtData(void* session) {
    auto* self = static_cast<EmGnss_Receiver*>(session);
    tlSession = self;
    return self->WriteData();
}

unsigned long EmGnss_Receiver::ReadData() {
    rcdforthreads("read thread begin \r\n", ThreadTrace::kRead);
    unsigned char buffer[kReadBufferSize];
    // The wait between two reads: none right after a read brought bytes (more may be queued,
    // and a TCP read then waits in the port itself), 1 ms while the line is active, and a
    // longer one once it has been quiet for a while, so an idle session costs next to nothing.
    long waitMs = kActiveWaitMs;
    unsigned int quietPasses = 0;
    // The keep-alive counts nominal passes by the wall clock: an idle wait counts as the
    // passes it replaces, and quick passes on a busy line as the time they took.
    using Clock = std::chrono::steady_clock;
    const auto nominalPass = std::chrono::milliseconds(kActiveWaitMs);
    Clock::time_point counted = Clock::now();
    // Bytes read that the full ring has not taken yet, from buffer[heldAt].
    unsigned int held = 0;
    unsigned int heldAt = 0;
    for (;;) {
        const int event = events_.waitAny(EventSet::bit(kExit), waitMs);
        if (event == kExit) {
            rcdforthreads("read thread return \r\n", ThreadTrace::kRead);
            return 0;
        }
        // The facade and the port live from before this thread's start to after its end.
        if (gnss_ == nullptr || port_ == nullptr) {
            continue;
        }
        if (held != 0) {
            // The ring was full: offer the rest again before reading more, so the kernel
            // holds what comes meanwhile. The parse thread is woken to make room.
            const unsigned int taken = RcvData(buffer + heldAt, held);
            heldAt += taken;
            held -= taken;
            heldBack_.store(held, std::memory_order_relaxed);
            events_.set(kDataReceived);
            waitMs = held != 0 ? kActiveWaitMs : 0;
        } else {
            const unsigned int want = std::min(readChunk_.load(), kReadBufferSize);
            const unsigned int count = port_->ReadData(reinterpret_cast<char*>(buffer), want);
            if (count == 0 && !port_->IsOpen()) {
                // The port ended on its own; a close sets the exit event before it ends it.
                if (!events_.isSet(kExit)) {
                    BVCore::Logger::log(sessionLogger(), 1, "link to the receiver lost");
                    if (linkLost_ != nullptr) {
                        linkLost_(linkLostUser_);
                    }
                }
                events_.waitAny(EventSet::bit(kExit), -1);
                rcdforthreads("read thread return \r\n", ThreadTrace::kRead);
                return 0;
            }
            if (count != 0) {
                const unsigned int taken = RcvData(buffer, count);
                heldAt = taken;
                held = count - taken;
                heldBack_.store(held, std::memory_order_relaxed);
                events_.set(kDataReceived);
                waitMs = held != 0 ? kActiveWaitMs : 0;
                quietPasses = 0;
            } else if (quietPasses < kQuietPasses) {
                ++quietPasses;
                waitMs = kActiveWaitMs;
            } else {
                waitMs = kIdleWaitMs;
            }
        }
        readPasses_.fetch_add(1, std::memory_order_relaxed);
        const auto passes = (Clock::now() - counted) / nominalPass;
        counted += passes * nominalPass;
        KeepAlive(static_cast<unsigned int>(std::min<long long>(passes, kKeepAlivePasses)));
    }
}

unsigned long EmGnss_Receiver::ProcessData() {
    const std::shared_ptr<ThreadShared> shared = shared_;  // outlives a deleted session
    rcdforthreads("parse thread begin \r\n", ThreadTrace::kParse);
    for (;;) {
        const int event = events_.waitAny(EventSet::bit(kExit) | EventSet::bit(kDataReceived), -1);
        if (event == kExit) {
            rcdforthreads("parse thread return \r\n", ThreadTrace::kParse);
            return 0;
        }
        if (event == kDataReceived) {
            std::unique_lock<DataLock> lock(dataLock_, std::defer_lock);
            if (lockDataUnlessExit(lock) && gnss_ != nullptr) {
                Em_Gnss* gnss = gnss_;
                const unsigned long resyncs = gnss->Ring_Resyncs();
                gnss->ParseData();  // the data callback may delete the session
                if (!shared->orphaned && gnss_ == gnss && gnss->Ring_Resyncs() != resyncs) {
                    BVCore::Logger::log(sessionLogger(), 2,
                                        "receive buffer full without a whole message: %lu "
                                        "bytes skipped",
                                        gnss->Ring_Resyncs() - resyncs);
                }
            }
        }
        if (shared->orphaned) {  // deleted by the data callback: touch nothing more
            return 0;
        }
    }
}

bool EmGnss_Receiver::lockDataUnlessExit(std::unique_lock<DataLock>& lock) {
    // A close on a thread that holds dataLock waits for this thread: give up on exit. While
    // the lock is held elsewhere this polls, waking at once on exit.
    while (!lock.try_lock()) {
        if (events_.waitAny(EventSet::bit(kExit), kActiveWaitMs) == kExit) {
            return false;
        }
    }
    return true;
}

unsigned long EmGnss_Receiver::WriteData() {
    const std::shared_ptr<ThreadShared> shared = shared_;  // outlives a deleted session
    rcdforthreads("write thread begin \r\n", ThreadTrace::kWrite);
    const std::uint32_t mask = EventSet::bit(kExit) | EventSet::bit(kResetMainBoard) |
                               EventSet::bit(kResetMaker) | EventSet::bit(kWrite);
    for (;;) {
        switch (events_.waitAny(mask, -1)) {
            case kExit: {
                discardPending("port closed");
                rcdforthreads("write thread return \r\n", ThreadTrace::kWrite);
                return 0;
            }
            case kResetMainBoard:
                if (drainBeforeReset()) {
                    OnResetMainBoardEvent();
                }
                break;
            case kResetMaker:
                if (drainBeforeReset()) {
                    OnResetManufactureEvent();
                }
                break;
            case kWrite:
                OnWriteEvent();
                break;
            default:
                break;
        }
        if (shared->orphaned) {  // deleted by the status callback of a reset
            return 0;
        }
    }
}

bool EmGnss_Receiver::drainBeforeReset() {
    // A reset waits for the commands queued before it, even when its event is seen first.
    bool pending = false;
    {
        Em_CrtSect_Lock lock(&queueLock_);
        pending = !cmdList_.empty();
    }
    if (pending) {
        OnWriteEvent();
    }
    return !events_.isSet(kExit);
}

void EmGnss_Receiver::setWriterWantsDataLock(bool on) {
    {
        // Under the waiters' mutex, so a caller waiting for its command cannot miss the change.
        std::lock_guard<std::mutex> guard(countMutex_);
        writerWantsDataLock_ = on;
    }
    leftCv_.notify_all();
}

void EmGnss_Receiver::OnResetMainBoardEvent() {
    std::unique_lock<DataLock> lock(dataLock_, std::defer_lock);
    setWriterWantsDataLock(true);
    const bool locked = lockDataUnlessExit(lock);
    setWriterWantsDataLock(false);
    if (!locked || gnss_ == nullptr) {
        return;
    }
    const std::shared_ptr<ThreadShared> shared = shared_;
    rcdforthreads("write thread Evnt2 begin \r\n", ThreadTrace::kWrite);
    gnss_->Reset_GnsMd(boardType_.load());
    gnss_->Data_Clear();
    gnss_->IsOemChanged(true);  // the status callback may delete the session
    if (shared->orphaned) {
        return;
    }
    rcdforthreads("write thread Evnt2 end\r\n", ThreadTrace::kWrite);
    boardType_ = gnss_->Get_GnsMd();
    reportedMaker_ = gnss_->Get_Mnfctr();
}

void EmGnss_Receiver::OnResetManufactureEvent() {
    std::unique_lock<DataLock> lock(dataLock_, std::defer_lock);
    setWriterWantsDataLock(true);
    const bool locked = lockDataUnlessExit(lock);
    setWriterWantsDataLock(false);
    if (!locked || gnss_ == nullptr) {
        return;
    }
    const std::shared_ptr<ThreadShared> shared = shared_;
    rcdforthreads("write thread Evnt3 begin \r\n", ThreadTrace::kWrite);
    const MAINBD_OEM_TYPE board = gnss_->Get_GnsMd();
    gnss_->Reset_Mnfctr(maker_.load());
    gnss_->Reset_GnsMd(board);
    gnss_->Data_Clear();
    gnss_->IsOemChanged(true);  // the status callback may delete the session
    if (shared->orphaned) {
        return;
    }
    rcdforthreads("write thread Evnt3 true\r\n", ThreadTrace::kWrite);
    maker_ = gnss_->Get_Mnfctr();
    reportedMaker_ = maker_.load();
}

void EmGnss_Receiver::OnWriteEvent() {
    rcdforthreads("write thread Evnt1\r\n", ThreadTrace::kWrite);
    writePending();
}

void EmGnss_Receiver::writePending() {
    for (;;) {
        _STR_CMD cmd;
        {
            Em_CrtSect_Lock lock(&queueLock_);
            if (cmdList_.empty()) {
                return;
            }
            cmd = cmdList_.front();
            cmdList_.pop_front();
        }
        const unsigned int length = std::min<unsigned int>(cmd.length, sizeof(cmd.data));
        if (length != 0 && port_ != nullptr) {
            port_->WriteData(reinterpret_cast<const char*>(cmd.data), length);
        }
        commandsLeft(1);
        const unsigned int pause = std::min<unsigned int>(cmd.pause, kMaxPauseMs);
        // The pause is a wait on the exit event, so closing cuts it short.
        if (events_.waitAny(EventSet::bit(kExit), pause) != EventSet::kTimeout) {
            return;
        }
    }
}

bool EmGnss_Receiver::Cmds_Write(std::vector<_STR_CMD>& cmds, std::uint64_t* lastSeq,
                                 unsigned long* boundMs, bool counted) {
    bool dropped = false;
    {
        // One hold for the whole request: a request goes out whole or not at all.
        Em_CrtSect_Lock lock(&queueLock_);
        if (cmdList_.size() + cmds.size() <= kMaxPendingCommands) {
            if (boundMs != nullptr) {
                unsigned long bound = pendingBoundMs();
                for (const _STR_CMD& c : cmds) {
                    bound += std::min<unsigned long>(c.pause, kMaxPauseMs);
                }
                *boundMs = bound;
            }
            cmdList_.insert(cmdList_.end(), cmds.begin(), cmds.end());
            queuedTotal_ += cmds.size();
            if (lastSeq != nullptr) {
                *lastSeq = queuedTotal_;
            }
        } else {
            dropped = true;
        }
    }
    if (dropped && counted) {
        refusedTotal_.fetch_add(1, std::memory_order_acq_rel);
    }
    if (dropped) {
        BVCore::Logger::log(sessionLogger(), 2,
                            "command queue full: request of %u commands dropped",
                            static_cast<unsigned>(cmds.size()));
    }
    Cmd_WrtEnvt();
    return !dropped;
}

void EmGnss_Receiver::discardPending(const char* when) {
    std::uint64_t discarded = 0;
    {
        Em_CrtSect_Lock lock(&queueLock_);
        discarded = cmdList_.size();
        cmdList_.clear();
    }
    if (discarded != 0) {
        BVCore::Logger::log(sessionLogger(), 2, "%s: %llu queued commands not written", when,
                            static_cast<unsigned long long>(discarded));
    }
    commandsLeft(discarded);
}

unsigned long EmGnss_Receiver::pendingBoundMs() const {
    unsigned long bound = 1000;
    for (const _STR_CMD& c : cmdList_) {
        bound += std::min<unsigned long>(c.pause, kMaxPauseMs);
    }
    return bound;
}

std::uint64_t EmGnss_Receiver::Refused_Requests() const {
    return refusedTotal_.load(std::memory_order_acquire);
}

bool EmGnss_Receiver::Wait_Written(unsigned long maxMs) {
    if (onOwnThread()) {
        return false;  // the writer cannot wait for itself
    }
    // Held as the pass-through switch holds it, so that a reset waiting for it on the write
    // thread leaves the writing to this wait (see waitCommandLeft).
    DataGuard lock(dataLock_);
    std::uint64_t seq = 0;
    unsigned long bound = 0;
    {
        Em_CrtSect_Lock queue(&queueLock_);
        seq = queuedTotal_;
        bound = pendingBoundMs();
    }
    waitCommandLeft(seq, std::min(bound, maxMs));
    std::lock_guard<std::mutex> guard(countMutex_);
    return leftTotal_ >= seq;
}

bool EmGnss_Receiver::Wait_Room(unsigned int n, unsigned long maxMs) {
    if (onOwnThread()) {
        return false;
    }
    unsigned long bound = 0;
    {
        Em_CrtSect_Lock queue(&queueLock_);
        if (cmdList_.size() + n <= kMaxPendingCommands) {
            return true;
        }
        bound = pendingBoundMs();
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::min(bound, maxMs));
    for (;;) {
        std::uint64_t left = 0;
        {
            std::lock_guard<std::mutex> guard(countMutex_);
            left = leftTotal_;
        }
        {
            Em_CrtSect_Lock queue(&queueLock_);
            if (cmdList_.size() + n <= kMaxPendingCommands) {
                return true;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (events_.isSet(kExit) || now >= deadline) {
            return false;
        }
        // Polled as well: a session whose write thread never started wakes nobody.
        std::unique_lock<std::mutex> guard(countMutex_);
        leftCv_.wait_until(guard, std::min(deadline, now + std::chrono::milliseconds(50)),
                           [&] { return leftTotal_ != left; });
    }
}

void EmGnss_Receiver::commandsLeft(std::uint64_t count) {
    if (count == 0) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(countMutex_);
        leftTotal_ += count;
    }
    leftCv_.notify_all();
}

void EmGnss_Receiver::waitCommandLeft(std::uint64_t seq, unsigned long boundMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    std::unique_lock<std::mutex> guard(countMutex_);
    // Every pass tests everything again. A reset on the write thread that waits for dataLock,
    // which the caller holds, may begin at any moment of the wait: the writer will not get to
    // the command then, so the caller sends what is queued itself. The writer stays blocked
    // until the caller releases dataLock, so the two never write at once. The exit event is
    // polled: a session whose write thread never started has nobody to wake this wait.
    while (leftTotal_ < seq && !events_.isSet(kExit)) {
        if (writerWantsDataLock_.load()) {
            guard.unlock();
            writePending();
            guard.lock();
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return;
        }
        leftCv_.wait_until(guard, std::min(deadline, now + std::chrono::milliseconds(50)));
    }
}

void EmGnss_Receiver::Send_DataToPort(const unsigned char* data, unsigned int length) {
    DataGuard lock(dataLock_);
    if (data == nullptr || length == 0) {
        return;
    }
    std::vector<_STR_CMD> cmds;
    if ((static_cast<unsigned long long>(length) + kRawChunk - 1) / kRawChunk >
        kMaxPendingCommands) {
        Cmds_Write(cmds);  // can never fit the queue: dropped whole, the writer still woken
        refusedTotal_.fetch_add(1, std::memory_order_acq_rel);
        BVCore::Logger::log(sessionLogger(), 2, "raw data of %u bytes dropped: queue too small",
                            length);
        return;
    }
    for (unsigned int offset = 0; offset < length; offset += kRawChunk) {
        _STR_CMD cmd{};
        cmd.length = std::min(kRawChunk, length - offset);
        cmd.pause = kRawPauseMs;
        std::memcpy(cmd.data, data + offset, cmd.length);
        cmds.push_back(cmd);
    }
    Cmds_Write(cmds);
}

void EmGnss_Receiver::Send_Null_For_Wait_Interval(unsigned int ms) {
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        return;
    }
    std::vector<_STR_CMD> cmds(1);
    std::memset(&cmds[0], 0, sizeof(_STR_CMD));
    cmds[0].pause = ms;
    cmds[0].length = 0;
    Cmds_Write(cmds);
}

void EmGnss_Receiver::Send_DiffDataToGnss(const unsigned char* data, unsigned int length) {
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr || data == nullptr || length == 0) {
        return;
    }
    std::vector<_STR_CMD> cmds;
    gnss_->Send_DiffDataToGnss(cmds, data, length);
    Cmds_Write(cmds);
}

void EmGnss_Receiver::Set_RcrdData(bool on, const char* path) {
    DataGuard lock(dataLock_);
    if (gnss_ != nullptr) {
        gnss_->SetRcrdData(on, path);
    }
}

void EmGnss_Receiver::rcdforthreads(const char* text, int channel) {
    ThreadTrace::record(text, channel);
}

}  // namespace BVDevice
}  // namespace Brevan2011
