// Em_Gnss: file recording commands and results of the new protocol.
#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint16_t kRecordIoTag = 0x0B09;  // always the first item after the operation

}  // namespace

void Em_Gnss::Get_Cmd_File_Record_Open(Cmd_List& cmds, bool open, QX_FILE_RECORD_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t record = static_cast<uint16_t>(io);
        Build_NewCommand(
            cmds, kNewFileRecord,
            {{kRecordIoTag, &record}, {static_cast<uint16_t>(open ? 0x0B03 : 0x0B04), nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_File_Record_Auto_Open(Cmd_List& cmds, const unsigned char* p,
                                            QX_FILE_RECORD_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t record = static_cast<uint16_t>(io);
        const uint16_t operation = New_SetOrQueryCode(kNewFileRecord, p);
        Build_NewCommand(cmds, operation, {{kRecordIoTag, &record}, {0x0B05, p}}, 0x0B05);
    }
}

void Em_Gnss::Get_Cmd_File_Record_Param(Cmd_List& cmds, const QX_FILE_RECORD_CONFIG_STRUCT* p,
                                        QX_FILE_RECORD_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t record = static_cast<uint16_t>(io);
        const uint16_t operation = New_SetOrQueryCode(kNewFileRecord, p);
        Build_NewCommand(cmds, operation, {{kRecordIoTag, &record}, {0x0B06, p}}, 0x0B06);
    }
}

void Em_Gnss::Get_Cmd_File_Record_Status_Query(Cmd_List& cmds, QX_FILE_RECORD_IO_ID_ENUM io) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t record = static_cast<uint16_t>(io);
        Build_NewCommand(cmds, New_QueryCode(kNewFileRecord),
                         {{kRecordIoTag, &record}, {0x0B07, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_File_Record_PPK(Cmd_List& cmds, const QX_BLOCK_DATA_STRUCT* p) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewFileRecord, {{0x0B08, p}}, 0x0B08);
    }
}

unsigned char Em_Gnss::Get_File_Record_Auto_Open() {
    const Em_OemNewData* d = New_Data(*this);
    return d ? d->state.recordAutoOpen : 0;
}

void Em_Gnss::Get_File_Record_Status(QX_FILE_RECORD_STATUS_ENUM& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = static_cast<QX_FILE_RECORD_STATUS_ENUM>(d->state.recordStatus);
    }
}

void Em_Gnss::Get_File_Record_Param(QX_FILE_RECORD_CONFIG_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.recordConfig;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
