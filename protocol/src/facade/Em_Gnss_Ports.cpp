// Em_Gnss port operations: the serial baud rate, the old receiver's NMEA output and the new
// receiver's answer to the last setting.
#include <cstdint>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_Gnss_Kinds.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint16_t kBaudTag = 0x0103;
constexpr uint16_t kPortTag = 0x0104;

// The old receiver's baud command code of a baud value (5 19200, 6 38400, 8 57600,
// 9 115200); any other value selects the default command.
int Old_BaudCode(QX_COM_BAUD_ENUM baud) {
    switch (static_cast<int32_t>(baud)) {
        case 5:
            return 1;
        case 6:
            return 2;
        case 8:
            return 3;
        case 9:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

void Em_Gnss::Get_Cmd_Com_Baudrate(Cmd_List& cmds, const QX_COM_BAUD_ENUM* baud,
                                   QX_COM_PORT_ENUM port) {
    if (Em_OldProtocol* old = Old_Protocol(*this)) {
        // The old receiver has no baud query.
        if (baud != nullptr) {
            old->Get_Cmd_Com_Baudrate(cmds, Old_BaudCode(*baud));
        }
    } else if (Is_New_Receiver(m_protocol)) {
        const uint16_t portValue = static_cast<uint16_t>(port);
        uint16_t baudValue = 0;
        if (baud != nullptr) {
            baudValue = static_cast<uint16_t>(*baud);
        }
        Build_NewCommand(cmds, New_SetOrQueryCode(kNewComPort, baud),
                         {{kPortTag, &portValue}, {kBaudTag, baud ? &baudValue : nullptr}},
                         kBaudTag);
    }
}

void Em_Gnss::Get_Com_Baudrate(QX_COM_BAUD_ENUM& out) {
    if (const NewReceiverState* s = New_State(m_protocol)) {
        out = static_cast<QX_COM_BAUD_ENUM>(s->baudCode);
    }
}

void Em_Gnss::Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Velta_NMEA(cmds, list, rate);
    }
}

void Em_Gnss::Get_Cmd_Setting_Response(QX_RESPONSE_STATUS_ENUM& status, unsigned& commandId) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        status = static_cast<QX_RESPONSE_STATUS_ENUM>(d->state.responseStatus);
        commandId = d->lastCommandId;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
