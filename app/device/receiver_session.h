#pragma once

#include "BVDevice/EmGnss_Receiver.h"

namespace Varnok {

using namespace Brevan2011::BVParse;
using Brevan2011::BVComm::PARAM_BT;
using Brevan2011::BVComm::PARAM_COM;
using Brevan2011::BVComm::PARAM_SOCK;

// What the device manager calls on a receiver session: every command operation and getter
// row of the session, plus its life-cycle members. The program talks to the landed session
// through ReceiverSessionAdapter; tests put a recording fake in its place.
class ReceiverSession {
public:
    virtual ~ReceiverSession() = default;

    virtual bool setReceiverType(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType) = 0;
    virtual void RegisterCbs_Receiver(const _CALLBACKS_RECEIVER* callbacks, const void* user) = 0;
    // The session's own notification of a lost link; a session that cannot lose one ignores it.
    virtual void RegisterCb_LinkLost(Brevan2011::BVDevice::EmGnss_Receiver::LinkLostCallback,
                                     void*) {}
    // The queue as the session sees it; a session without one refuses nothing and waits for
    // nothing.
    virtual std::uint64_t Refused_Requests() { return 0; }
    virtual bool Wait_Written(unsigned long /*maxMs*/) { return true; }
    virtual bool Wait_Room(unsigned int /*n*/, unsigned long /*maxMs*/) { return true; }
    virtual bool Port_Open(PARAM_COM param) = 0;
    virtual bool Port_Open(PARAM_BT param) = 0;
    virtual bool Port_Open(PARAM_SOCK param) = 0;
    virtual bool IsPortOpen() = 0;
    virtual bool Port_Close() = 0;
    virtual void ReSetGnsMd(MAINBD_OEM_TYPE boardType) = 0;
    virtual void Set_Gnss_ElevMask(unsigned int mask) = 0;
    virtual void Set_Com_Baudrate(QX_COM_BAUD_ENUM rate, QX_COM_PORT_ENUM port) = 0;
    virtual void Set_Com_Baudrate(Com_Baudrate rate) = 0;

#define VARNOK_OP(result, name, params, args, builder, builderArgs) virtual result name params = 0;
#define VARNOK_OPX(result, name, params, args) virtual result name params = 0;
#include "BVDevice/EmGnss_ReceiverOps.def"
#undef VARNOK_OP
#undef VARNOK_OPX

#define VARNOK_GET(result, name, params, args, member, memberArgs) virtual result name params = 0;
#include "BVDevice/EmGnss_ReceiverGetters.def"
#undef VARNOK_GET
};

// The landed session behind the seam.
class ReceiverSessionAdapter final : public ReceiverSession {
public:
    ReceiverSessionAdapter(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType)
        : receiver_(maker, boardType) {}

    bool setReceiverType(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE boardType) override {
        return receiver_.setReceiverType(maker, boardType);
    }
    void RegisterCbs_Receiver(const _CALLBACKS_RECEIVER* callbacks, const void* user) override {
        receiver_.RegisterCbs_Receiver(callbacks, user);
    }
    void RegisterCb_LinkLost(Brevan2011::BVDevice::EmGnss_Receiver::LinkLostCallback callback,
                             void* user) override {
        receiver_.RegisterCb_LinkLost(callback, user);
    }
    std::uint64_t Refused_Requests() override { return receiver_.Refused_Requests(); }
    bool Wait_Written(unsigned long maxMs) override { return receiver_.Wait_Written(maxMs); }
    bool Wait_Room(unsigned int n, unsigned long maxMs) override {
        return receiver_.Wait_Room(n, maxMs);
    }
    bool Port_Open(PARAM_COM param) override { return receiver_.Port_Open(param); }
    bool Port_Open(PARAM_BT param) override { return receiver_.Port_Open(param); }
    bool Port_Open(PARAM_SOCK param) override { return receiver_.Port_Open(param); }
    bool IsPortOpen() override { return receiver_.IsPortOpen(); }
    bool Port_Close() override { return receiver_.Port_Close(); }
    void ReSetGnsMd(MAINBD_OEM_TYPE boardType) override { receiver_.ReSetGnsMd(boardType); }
    void Set_Gnss_ElevMask(unsigned int mask) override { receiver_.Set_Gnss_ElevMask(mask); }
    void Set_Com_Baudrate(QX_COM_BAUD_ENUM rate, QX_COM_PORT_ENUM port) override {
        receiver_.Set_Com_Baudrate(rate, port);
    }
    void Set_Com_Baudrate(Com_Baudrate rate) override { receiver_.Set_Com_Baudrate(rate); }

#define VARNOK_OP(result, name, params, args, builder, builderArgs) \
    result name params override {                                   \
        return receiver_.name args;                                 \
    }
#define VARNOK_OPX(result, name, params, args) \
    result name params override {              \
        return receiver_.name args;            \
    }
#include "BVDevice/EmGnss_ReceiverOps.def"
#undef VARNOK_OP
#undef VARNOK_OPX

#define VARNOK_GET(result, name, params, args, member, memberArgs) \
    result name params override {                                  \
        return receiver_.name args;                                \
    }
#include "BVDevice/EmGnss_ReceiverGetters.def"
#undef VARNOK_GET

private:
    Brevan2011::BVDevice::EmGnss_Receiver receiver_;
};

}  // namespace Varnok
