#include "device_answers.h"

#include "answer_rows.h"
#include "record_view.h"

namespace Varnok {

namespace {

struct Response {
    QX_RESPONSE_STATUS_ENUM status;
    unsigned int commandId;
};

using A = DeviceAnswersAccess;

}  // namespace

void copyPosition(ReceiverSession& s, CopiedBytes& out) {
    POS_INFO p{};
    s.Get_Gnss_Pos(&p);
    putBytes(out, p);
}

bool applyPosition(DeviceManager& m, const CopiedBytes& in) {
    A::cache(m).position = takeBytes<POS_INFO>(in);
    // No position yet: cached, not announced.
    return SystemRecord::solutionQuality(A::cache(m).position) > 0;
}

namespace {

// Category 1, position.
const AnswerRow kPositionRows[] = {
    {0x4000000u, copyResult<unsigned int, &ReceiverSession::GetInfo_Gnss_ElevMask>,
     store<unsigned int, &DeviceCache::elevMask>, 23, nullptr},
    {0x10000000u, copyPosition, applyPosition, 34, nullptr},
};

// Category 4, system.
const AnswerRow kSystemRows[] = {
    {0x80000000u,
     [](ReceiverSession& s, CopiedBytes& out) {
         Response r{};
         s.Get_Cmd_Setting_Response(r.status, r.commandId);
         putBytes(out, r);
     },
     [](DeviceManager& m, const CopiedBytes& in) {
         Response r = takeBytes<Response>(in);
         A::cache(m).responseStatus = r.status;
         A::cache(m).responseCommandId = r.commandId;
         return true;
     },
     35,
     [](DeviceManager& m) {
         if (A::cache(m).responseCommandId == 0x303 && A::cache(m).responseStatus == 1) {
             m.announce(29);
         }
     }},
    {0x1u, copyResult<int, &ReceiverSession::Get_Battery_Grd>,
     store<int, &DeviceCache::batteryGrade>, 1, nullptr},
    {0x4u,
     copyRecord<QX_SYSTEM_FIRMWARE_VERSION_STRUCT, &ReceiverSession::Get_System_Firmware_Info>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).firmwareInfo = takeBytes<QX_SYSTEM_FIRMWARE_VERSION_STRUCT>(in);
         m.parseFirmwareVersion();
         return true;
     },
     36, nullptr},
    {0x2u, copyRecord<QX_SYSTEM_HARDWARE_INFO_STRUCT, &ReceiverSession::Get_System_Hardware_Info>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::markFirstAnswer(m);
         A::cache(m).hardwareInfo = takeBytes<QX_SYSTEM_HARDWARE_INFO_STRUCT>(in);
         return true;
     },
     37, A::connectedAfterFirstAnswer},
    {0x40u, copyRecord<QX_FILE_RECORD_STATUS_ENUM, &ReceiverSession::Get_File_Record_Status>,
     store<QX_FILE_RECORD_STATUS_ENUM, &DeviceCache::fileRecordStatus>, 39, nullptr},
    {0x20u, copyResult<unsigned char, &ReceiverSession::Get_File_Record_Auto_Open>,
     store<unsigned char, &DeviceCache::fileRecordAutoOpen>, 40, nullptr},
    {0x10u, copyRecord<QX_FILE_RECORD_CONFIG_STRUCT, &ReceiverSession::Get_File_Record_Param>,
     store<QX_FILE_RECORD_CONFIG_STRUCT, &DeviceCache::fileRecordParam>, 41, nullptr},
    {0x80u, copyRecord<QX_COM_BAUD_ENUM, &ReceiverSession::Get_Com_Baudrate>,
     store<QX_COM_BAUD_ENUM, &DeviceCache::comBaud>, 65, nullptr},
};

// Category 5, wireless: tested in this order.
const AnswerRow kWirelessRows[] = {
    {0x2u, copyRecord<QX_WIFI_MODE_ENUM, &ReceiverSession::Get_WIFI_Mode>,
     store<QX_WIFI_MODE_ENUM, &DeviceCache::wifiMode>, 45, nullptr},
    {0x4u, copyRecord<QX_WIFI_PARA_AP_STRUCT, &ReceiverSession::Get_WIFI_Param_AP>,
     store<QX_WIFI_PARA_AP_STRUCT, &DeviceCache::wifiParams>, 46, nullptr},
    {0x8u, copyRecord<QX_WIFI_POWER_STATUS_ENUM, &ReceiverSession::Get_WIFI_Power_Status>,
     store<QX_WIFI_POWER_STATUS_ENUM, &DeviceCache::wifiStatus>, 47, nullptr},
    {0x1u, copyResult<unsigned char, &ReceiverSession::Get_WIFI_Auto_Open>,
     storeFlag<&DeviceCache::wifiAutoOpen>, 48, nullptr},
    {0x800u, copyResult<unsigned char, &ReceiverSession::Get_WIFI_Share>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::setWifiShareAnswered(m);
         A::cache(m).wifiShare = takeBytes<unsigned char>(in) == 1;
         return true;
     },
     73, nullptr},
    {0x1000u, copyResult<unsigned char, &ReceiverSession::Get_WIFI_Share_Auto>,
     storeIsOne<&DeviceCache::wifiAutoShare>, 74, nullptr},
    {0x10u, copyRecord<QX_MODEM_DIAL_PARA_STRUCT, &ReceiverSession::Get_Modem_Dial_Param>,
     store<QX_MODEM_DIAL_PARA_STRUCT, &DeviceCache::dialParams>, 49, nullptr},
    {0x100u, copyRecord<QX_MODEM_POWER_STATUS_ENUM, &ReceiverSession::Get_Modem_Power_Status>,
     store<QX_MODEM_POWER_STATUS_ENUM, &DeviceCache::modemPowerStatus>, 50, nullptr},
    {0x80u, copyResult<unsigned char, &ReceiverSession::Get_Modem_Auto_Power_On>,
     storeFlag<&DeviceCache::modemAutoPower>, 51, nullptr},
    {0x20u, copyRecord<QX_MODEM_DIAL_STATUS_STRUCT, &ReceiverSession::Get_Modem_Dial_Status>,
     store<QX_MODEM_DIAL_STATUS_STRUCT, &DeviceCache::modemDialStatus>, 52, nullptr},
    {0x40u, copyResult<unsigned char, &ReceiverSession::Get_Modem_Auto_Dial>,
     storeFlag<&DeviceCache::modemAutoDial>, 53, nullptr},
    {0x400u, copyRecord<QX_MODEM_BAND_MODE_ENUM, &ReceiverSession::Get_Modem_Band_Mode>,
     store<QX_MODEM_BAND_MODE_ENUM, &DeviceCache::modemBandMode>, 54, nullptr},
    {0x2000u, copyRecord<QX_MODEM_WORK_MODE_ENUM, &ReceiverSession::Get_Modem_Work_Mode>,
     store<QX_MODEM_WORK_MODE_ENUM, &DeviceCache::modemWorkMode>, 75, nullptr},
    {0x8000u, copyRecord<QX_MODEM_CSD_STATUS_STRUCT, &ReceiverSession::Get_Modem_CSD_Status>,
     store<QX_MODEM_CSD_STATUS_STRUCT, &DeviceCache::csdStatus>, 76, nullptr},
    {0x4000u, copyRecord<QX_MODEM_CSD_PARA_STRUCT, &ReceiverSession::Get_Modem_CSD_Param>,
     store<QX_MODEM_CSD_PARA_STRUCT, &DeviceCache::csdParams>, 77, nullptr},
};

const AnswerTable kPositionTable = tableOf(kPositionRows);
const AnswerTable kSystemTable = tableOf(kSystemRows);
const AnswerTable kWirelessTable = tableOf(kWirelessRows);

const ConnectionRow kConnectionRows[] = {
    {true, 27, A::boardChanged},
    {false, 28, nullptr},
};

}  // namespace

const AnswerTable* DeviceAnswers::table(int category) {
    switch (category) {
        case MSG_GNSS_DATA:
            return &kPositionTable;
        case MSG_NEW_CLASS_4:
            return &kSystemTable;
        case MSG_NEW_CLASS_5:
            return &kWirelessTable;
        case MSG_OLD_REPLY:
            return &oldProtocolAnswers();
        case MSG_NEW_CLASS_3:
            return &baseSettingsAnswers();
        case MSG_NEW_CLASS_6:
            return &dataLinkAnswers();
        case MSG_OLD_REPLY_EX:
            return &oldBaseListAnswers();
        default:
            return nullptr;
    }
}

const ConnectionRow& DeviceAnswers::connectionRow(bool changed) {
    return changed ? kConnectionRows[0] : kConnectionRows[1];
}

}  // namespace Varnok
