#pragma once

#include <vector>

#include "BVDevice/EmGnss_Receiver.h"
#include "RowArgs.h"

namespace varnok_test {

using Brevan2011::BVDevice::EmGnss_Receiver;
using namespace Brevan2011::BVParse;

// Every operation, getter and forwarder of the session, generated from the row lists, each
// called with sentinel arguments through a member pointer of the row's declared type.
inline std::vector<RowCall<EmGnss_Receiver>> AllSessionRows() {
    std::vector<RowCall<EmGnss_Receiver>> rows;
#define VARNOK_ROW_CALL(result, name, params, args)                                                \
    rows.push_back({#name, [](EmGnss_Receiver& s) {                                                \
                        [[maybe_unused]] RowArgs::Arg a1, a2, a3, a4, a5;                          \
                        auto pmf = static_cast<result(EmGnss_Receiver::*) params>(                 \
                            &EmGnss_Receiver::name);                                               \
                        return ZeroResult<result>::run([&]() -> result { return (s.*pmf) args; }); \
                    }});
#define VARNOK_OP(result, name, params, args, builder, builderArgs) \
    VARNOK_ROW_CALL(result, name, params, args)
#define VARNOK_OPX(result, name, params, args) VARNOK_ROW_CALL(result, name, params, args)
#define VARNOK_GET(result, name, params, args, member, memberArgs) \
    VARNOK_ROW_CALL(result, name, params, args)
#include "BVDevice/EmGnss_ReceiverGetters.def"
#include "BVDevice/EmGnss_ReceiverOps.def"
    VARNOK_ROW_CALL(void, Send_Gprs_Signal, (), ())
    VARNOK_ROW_CALL(void, Send_Gnss_ElevMask, (), ())
    VARNOK_ROW_CALL(void, Set_Gnss_ElevMask, (unsigned int a1), (a1))
    VARNOK_ROW_CALL(void, Set_Com_Baudrate, (QX_COM_BAUD_ENUM a1, QX_COM_PORT_ENUM a2), (a1, a2))
    VARNOK_ROW_CALL(void, Disable_Other_DataLink, (QX_DATALINK_MODE_ENUM a1), (a1))
    VARNOK_ROW_CALL(void, Set_Com_Baudrate, (Com_Baudrate a1), (a1))
#undef VARNOK_OP
#undef VARNOK_OPX
#undef VARNOK_GET
#undef VARNOK_ROW_CALL
    return rows;
}

}  // namespace varnok_test
