// The session's command operations and getters (generated from the row lists), the
// pass-through switch, the data monitor, the keep-alive and the forwarders.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

#include "BVComm/PortInstance.h"
#include "BVDevice/CommandDump.h"
#include "BVDevice/EmGnss_Receiver.h"
#include "SessionTestHooks.h"
#include "BVParse/Em_Gnss.h"

namespace Brevan2011 {
namespace BVDevice {

using BVParse::Em_CrtSect_Lock;

namespace {

// Library-wide, as the read threads of all sessions share one cadence.
std::atomic<unsigned int> keepAliveCount{EmGnss_Receiver::kKeepAlivePasses};
std::atomic<KeepAliveHook> keepAliveHook{nullptr};

// Converts to whatever enum the builder takes (the mode enums of the protocol library).
struct EnumValue {
    unsigned int value;
    template <class E, class = std::enable_if_t<std::is_enum<E>::value>>
    operator E() const {
        return static_cast<E>(value);
    }
};

template <class Result, class F, class... Args>
Result callRow([[maybe_unused]] const char* name, F& f, Args&&... args) {
    if constexpr (std::is_invocable_v<F&, Args...>) {
        using Got = std::invoke_result_t<F&, Args...>;
        if constexpr (std::is_void_v<Got> || std::is_void_v<Result>) {
            f(std::forward<Args>(args)...);
            return Result();
        } else {
            return static_cast<Result>(f(std::forward<Args>(args)...));
        }
    } else {
        static_assert(sizeof(F) == 0, "a session row names a facade member that does not exist");
        return Result();
    }
}

}  // namespace

void SetKeepAliveHook(KeepAliveHook hook) {
    keepAliveHook = hook;
}

template <class Result, class Build>
Result EmGnss_Receiver::runOperation(const char* name, Build&& build) {
    if (!facadePresent()) {
        return Result();  // closed: never wait for the lock
    }
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        return Result();  // closed while this call waited for the lock
    }
    std::vector<_STR_CMD> cmds;
    if constexpr (std::is_void_v<Result>) {
        callRow<void>(name, build, gnss_, cmds);
        Cmds_Write(cmds);
    } else {
        const Result result = callRow<Result>(name, build, gnss_, cmds);
        Cmds_Write(cmds);
        return result;
    }
}

template <class Result, class Read>
Result EmGnss_Receiver::runGetter(const char* name, Read&& read) {
    if (!facadePresent()) {
        return Result();
    }
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        return Result();
    }
    return callRow<Result>(name, read, gnss_);
}

#define VARNOK_OP(result, name, params, args, builder, builderArgs)                                \
    result EmGnss_Receiver::name params {                                                          \
        return runOperation<result>(                                                               \
            #name, [&](auto* g, std::vector<_STR_CMD>& cmds) -> decltype(g->builder builderArgs) { \
                return g->builder builderArgs;                                                     \
            });                                                                                    \
    }
#define VARNOK_OPX(result, name, params, args)
#include "BVDevice/EmGnss_ReceiverOps.def"
#undef VARNOK_OP
#undef VARNOK_OPX

#define VARNOK_GET(result, name, params, args, member, memberArgs)                       \
    result EmGnss_Receiver::name params {                                                \
        return runGetter<result>(#name, [&](auto* g) -> decltype(g->member memberArgs) { \
            return g->member memberArgs;                                                 \
        });                                                                              \
    }
#include "BVDevice/EmGnss_ReceiverGetters.def"
#undef VARNOK_GET

void EmGnss_Receiver::Send_200Data(bool on) {
    send200Data(on, nullptr, true);
}

bool EmGnss_Receiver::send200Data(bool on, std::uint64_t* lastSeq, bool counted) {
    if (!facadePresent()) {
        return true;
    }
    // The protocol test comes after the lock: a maker reset on the write thread replaces the
    // protocol object under dataLock.
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr || !gnss_->IsVeltaOldProtocolReceiver()) {
        return true;
    }
    keepAliveOn_ = on;
    std::vector<_STR_CMD> cmds;
    auto build = [&](auto* g, std::vector<_STR_CMD>& list) -> decltype(g->Get_200Data(list, on)) {
        return g->Get_200Data(list, on);
    };
    callRow<void>("Send_200Data", build, gnss_, cmds);
    return Cmds_Write(cmds, lastSeq, nullptr, counted);
}

void EmGnss_Receiver::KeepAlive(unsigned int passes) {
    if (reportedMaker_.load() != BVParse::GNSS_MNFCTR_VELTA || !keepAliveOn_.load()) {
        return;
    }
    // Each nominal pass finds the count below kKeepAlivePasses and raises it, or finds it there
    // and sends: due when one of this pass's nominal passes would have sent.
    unsigned int count = keepAliveCount.load();
    unsigned int next = 0;
    do {
        next = std::min(kKeepAlivePasses, count + passes);
    } while (!keepAliveCount.compare_exchange_weak(count, next));
    if (count < kKeepAlivePasses && count + passes <= kKeepAlivePasses) {
        return;
    }
    // A pass-through switch holds dataLock for its whole wait: never block the read thread on
    // it. The count stays due, so a later pass sends.
    std::unique_lock<DataLock> lock(dataLock_, std::try_to_lock);
    if (!lock.owns_lock()) {
        return;
    }
    // At most one renewal waits in the queue: while the last one is still there, this one
    // stays due, so a slow queue does not fill up with renewals.
    if (renewalSeq_ != 0) {
        std::lock_guard<std::mutex> guard(countMutex_);
        if (leftTotal_ < renewalSeq_) {
            return;
        }
    }
    {
        // A full queue: still due, and no refusal logged on every pass.
        Em_CrtSect_Lock queue(&queueLock_);
        if (cmdList_.size() >= kMaxPendingCommands) {
            return;
        }
    }
    std::uint64_t seq = 0;
    if (!send200Data(true, &seq, false)) {
        return;  // refused by a full queue: still due
    }
    if (seq != 0) {
        renewalSeq_ = seq;
    }
    keepAliveCount = 1;
    if (KeepAliveHook hook = keepAliveHook.load()) {
        hook(readPasses_.load());
    }
}

void EmGnss_Receiver::Send_QxMdl(unsigned int mode) {
    if (!facadePresent()) {
        return;
    }
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr || portKind_.load() == BVComm::kPortFile) {
        return;
    }
    std::vector<_STR_CMD> cmds;
    auto direct = [&](auto* g, std::vector<_STR_CMD>& list) -> decltype(g->Get_Cmd_Com_Direct(
                                                                list, EnumValue{mode})) {
        return g->Get_Cmd_Com_Direct(list, EnumValue{mode});
    };
    auto qxMdl = [&](auto* g, std::vector<_STR_CMD>& list) -> decltype(g->Get_QxMdl(list, mode)) {
        return g->Get_QxMdl(list, mode);
    };
    // The pause, the ring clear and any rate change follow the command onto the wire: with
    // commands queued ahead, the handheld must not leave the receiver's rate before it.
    auto queueAndSettle = [&] {
        std::uint64_t seq = 0;
        unsigned long boundMs = 0;
        if (Cmds_Write(cmds, &seq, &boundMs) && !cmds.empty()) {
            waitCommandLeft(seq, boundMs);
        }
        events_.waitAny(EventSet::bit(kExit), kQxPauseMs);
        gnss_->Data_Clear();
    };
    const bool serialMainBoard1 =
        gnss_->GetMainBdType() == BVParse::MAINBD_STXETX && portKind_.load() == BVComm::kPortSerial;
    if (gnss_->IsVeltaNewProtocolReceiver()) {
        callRow<void>("Send_QxMdl", direct, gnss_, cmds);
        queueAndSettle();
        return;
    }
    if (mode == 1) {
        callRow<void>("Send_QxMdl", qxMdl, gnss_, cmds);
        queueAndSettle();
        if (serialMainBoard1) {
            setSerialRate(kPassThroughBaud);
        }
        ReSetMnfctr(BVParse::GNSS_MNFCTR_OEM);
        return;
    }
    if (serialMainBoard1) {
        setSerialRate(kOwnProtocolBaud);
    }
    callRow<void>("Send_QxMdl", qxMdl, gnss_, cmds);
    if (cmds.empty() && gnss_->Get_Mnfctr() != BVParse::GNSS_MNFCTR_VELTA) {
        // In pass-through the facade speaks the main board's language, which has no way back:
        // the receiver leaves pass-through only on its own frame, so build that one.
        BVParse::Em_Gnss own(BVParse::GNSS_MNFCTR_VELTA, gnss_->GetMainBdType());
        own.Set_Com_Status(gnss_->Get_Com_Status());
        callRow<void>("Send_QxMdl", qxMdl, &own, cmds);
    }
    queueAndSettle();
    ReSetMnfctr(BVParse::GNSS_MNFCTR_VELTA);
}

void EmGnss_Receiver::setSerialRate(unsigned int baud) {
    std::lock_guard<std::mutex> guard(portMutex_);
    comParam_.baud = static_cast<std::int32_t>(baud);
    if (port_ != nullptr && portKind_.load() == BVComm::kPortSerial) {
        BVComm::SetBaud(static_cast<int>(baud));
    }
}

void EmGnss_Receiver::Set_Com_Data_Monitor(bool on) {
    if (!facadePresent()) {
        return;
    }
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr || portKind_.load() == BVComm::kPortFile) {
        return;
    }
    const unsigned int mode = on ? 11u : 12u;
    std::vector<_STR_CMD> cmds;
    auto qxMdl = [&](auto* g, std::vector<_STR_CMD>& list) -> decltype(g->Get_QxMdl(list, mode)) {
        return g->Get_QxMdl(list, mode);
    };
    callRow<void>("Set_Com_Data_Monitor", qxMdl, gnss_, cmds);
    Cmds_Write(cmds);
}

void EmGnss_Receiver::Set_Static_AntType(const char* name) {
    if (!facadePresent()) {
        return;
    }
    DataGuard lock(dataLock_);
    if (gnss_ == nullptr) {
        return;
    }
    std::vector<_STR_CMD> cmds;
    auto build = [&](auto* g,
                     std::vector<_STR_CMD>& list) -> decltype(g->Set_Static_AnteType(list, name)) {
        return g->Set_Static_AnteType(list, name);
    };
    callRow<void>("Set_Static_AntType", build, gnss_, cmds);
    Cmds_Write(cmds);
    PrintCommands(cmds);  // still under dataLock, before the list goes
}

void EmGnss_Receiver::Send_Gprs_Signal() {
    Send_Modem_Signal_Intensity_Query();
}

void EmGnss_Receiver::Send_Gnss_ElevMask() {
    Send_Gnss_ElevMask(static_cast<const unsigned char*>(nullptr));
}

void EmGnss_Receiver::Set_Gnss_ElevMask(unsigned int mask) {
    const unsigned char low = static_cast<unsigned char>(mask);
    Send_Gnss_ElevMask(&low);
}

void EmGnss_Receiver::Set_Com_Baudrate(QX_COM_BAUD_ENUM rate, QX_COM_PORT_ENUM port) {
    Send_Com_Baudrate(&rate, port);
}

void EmGnss_Receiver::Disable_Other_DataLink(QX_DATALINK_MODE_ENUM mode) {
    switch (static_cast<int>(mode)) {
        case 1:
            Send_NetLink_Connect(false);
            Send_Gnss_Data_Unlogall(static_cast<QX_GNSS_IO_ID_ENUM>(6));
            break;
        case 2:
        case 3:
            Send_Radio_Power_On(false);
            Send_Gnss_Data_Unlogall(static_cast<QX_GNSS_IO_ID_ENUM>(5));
            break;
        case 4:
            Send_NetLink_Connect(false);
            Send_Radio_Power_On(false);
            break;
        default:
            break;
    }
}

void EmGnss_Receiver::Set_Com_Baudrate(Com_Baudrate rate) {
    int code = 3;
    switch (static_cast<int>(rate)) {
        case 0:
            code = 3;
            break;
        case 1:
            code = 5;
            break;
        case 2:
            code = 6;
            break;
        case 3:
            code = 8;
            break;
        case 4:
            code = 9;
            break;
        default:
            break;
    }
    QX_COM_BAUD_ENUM value = static_cast<QX_COM_BAUD_ENUM>(code);
    Send_Com_Baudrate(&value, static_cast<QX_COM_PORT_ENUM>(1));
}

}  // namespace BVDevice
}  // namespace Brevan2011
