#include "device_answers.h"

#include <cstring>
#include <type_traits>

#include "device_manager.h"
#include "record_view.h"

namespace Varnok {

namespace {

template <class T>
void put(CopiedBytes& out, const T& value) {
    static_assert(std::is_trivially_copyable<T>::value, "copied records are plain bytes");
    out.resize(sizeof(T));
    std::memcpy(out.data(), &value, sizeof(T));
}

template <class T>
T take(const CopiedBytes& in) {
    T value{};
    if (in.size() == sizeof(T)) {
        std::memcpy(&value, in.data(), sizeof(T));
    }
    return value;
}

// A getter that fills a record passed by reference, copied whole.
template <class T, void (ReceiverSession::*Get)(T&)>
void copyRecord(ReceiverSession& s, CopiedBytes& out) {
    T value{};
    (s.*Get)(value);
    put(out, value);
}

// A getter that returns its value.
template <class T, T (ReceiverSession::*Get)()>
void copyResult(ReceiverSession& s, CopiedBytes& out) {
    put(out, (s.*Get)());
}

struct Response {
    QX_RESPONSE_STATUS_ENUM status;
    unsigned int commandId;
};

}  // namespace

// Members of DeviceManager reached by the rows (friend of DeviceManager).
struct DeviceAnswersAccess {
    static DeviceCache& cache(DeviceManager& m) { return m.cache_; }
    static void markFirstAnswer(DeviceManager& m) { m.markFirstAnswer(); }
    static void setWifiShareAnswered(DeviceManager& m) { m.wifiShareAnswered_ = true; }
    static void connectedAfterFirstAnswer(DeviceManager& m) {
        if (m.workingStatus_ == 2) {
            m.workingStatus_ = 4;
            m.announce(2);
        }
    }
    static void boardChanged(DeviceManager& m) {
        if (m.workingStatus_ == 3 && m.receiver_) {
            m.receiver_->Send_Gprs_Version();
            m.receiver_->Set_Gnss_PosFrq(GNSS_FRQ_3);
        }
    }
};

namespace {

using A = DeviceAnswersAccess;

// Category 1, position.
const AnswerRow kPositionRows[] = {
    {0x4000000u, copyResult<unsigned int, &ReceiverSession::GetInfo_Gnss_ElevMask>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).elevMask = take<unsigned int>(in);
         return true;
     },
     23, nullptr},
    {0x10000000u,
     [](ReceiverSession& s, CopiedBytes& out) {
         POS_INFO p{};
         s.Get_Gnss_Pos(&p);
         put(out, p);
     },
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).position = take<POS_INFO>(in);
         // No position yet: cached, not announced.
         return SystemRecord::solutionQuality(A::cache(m).position) > 0;
     },
     34, nullptr},
};

// Category 4, system.
const AnswerRow kSystemRows[] = {
    {0x80000000u,
     [](ReceiverSession& s, CopiedBytes& out) {
         Response r{};
         s.Get_Cmd_Setting_Response(r.status, r.commandId);
         put(out, r);
     },
     [](DeviceManager& m, const CopiedBytes& in) {
         Response r = take<Response>(in);
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
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).batteryGrade = take<int>(in);
         return true;
     },
     1, nullptr},
    {0x4u,
     copyRecord<QX_SYSTEM_FIRMWARE_VERSION_STRUCT, &ReceiverSession::Get_System_Firmware_Info>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).firmwareInfo = take<QX_SYSTEM_FIRMWARE_VERSION_STRUCT>(in);
         m.parseFirmwareVersion();
         return true;
     },
     36, nullptr},
    {0x2u, copyRecord<QX_SYSTEM_HARDWARE_INFO_STRUCT, &ReceiverSession::Get_System_Hardware_Info>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::markFirstAnswer(m);
         A::cache(m).hardwareInfo = take<QX_SYSTEM_HARDWARE_INFO_STRUCT>(in);
         return true;
     },
     37, A::connectedAfterFirstAnswer},
    {0x40u, copyRecord<QX_FILE_RECORD_STATUS_ENUM, &ReceiverSession::Get_File_Record_Status>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).fileRecordStatus = take<QX_FILE_RECORD_STATUS_ENUM>(in);
         return true;
     },
     39, nullptr},
    {0x20u, copyResult<unsigned char, &ReceiverSession::Get_File_Record_Auto_Open>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).fileRecordAutoOpen = take<unsigned char>(in);
         return true;
     },
     40, nullptr},
    {0x10u, copyRecord<QX_FILE_RECORD_CONFIG_STRUCT, &ReceiverSession::Get_File_Record_Param>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).fileRecordParam = take<QX_FILE_RECORD_CONFIG_STRUCT>(in);
         return true;
     },
     41, nullptr},
    {0x80u, copyRecord<QX_COM_BAUD_ENUM, &ReceiverSession::Get_Com_Baudrate>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).comBaud = take<QX_COM_BAUD_ENUM>(in);
         return true;
     },
     65, nullptr},
};

// Category 5, wireless: tested in this order.
const AnswerRow kWirelessRows[] = {
    {0x2u, copyRecord<QX_WIFI_MODE_ENUM, &ReceiverSession::Get_WIFI_Mode>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).wifiMode = take<QX_WIFI_MODE_ENUM>(in);
         return true;
     },
     45, nullptr},
    {0x4u, copyRecord<QX_WIFI_PARA_AP_STRUCT, &ReceiverSession::Get_WIFI_Param_AP>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).wifiParams = take<QX_WIFI_PARA_AP_STRUCT>(in);
         return true;
     },
     46, nullptr},
    {0x8u, copyRecord<QX_WIFI_POWER_STATUS_ENUM, &ReceiverSession::Get_WIFI_Power_Status>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).wifiStatus = take<QX_WIFI_POWER_STATUS_ENUM>(in);
         return true;
     },
     47, nullptr},
    {0x1u, copyResult<unsigned char, &ReceiverSession::Get_WIFI_Auto_Open>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).wifiAutoOpen = take<unsigned char>(in) != 0;
         return true;
     },
     48, nullptr},
    {0x800u, copyResult<unsigned char, &ReceiverSession::Get_WIFI_Share>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::setWifiShareAnswered(m);
         A::cache(m).wifiShare = take<unsigned char>(in) == 1;
         return true;
     },
     73, nullptr},
    {0x1000u, copyResult<unsigned char, &ReceiverSession::Get_WIFI_Share_Auto>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).wifiAutoShare = take<unsigned char>(in) == 1;
         return true;
     },
     74, nullptr},
    {0x10u, copyRecord<QX_MODEM_DIAL_PARA_STRUCT, &ReceiverSession::Get_Modem_Dial_Param>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).dialParams = take<QX_MODEM_DIAL_PARA_STRUCT>(in);
         return true;
     },
     49, nullptr},
    {0x100u, copyRecord<QX_MODEM_POWER_STATUS_ENUM, &ReceiverSession::Get_Modem_Power_Status>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).modemPowerStatus = take<QX_MODEM_POWER_STATUS_ENUM>(in);
         return true;
     },
     50, nullptr},
    {0x80u, copyResult<unsigned char, &ReceiverSession::Get_Modem_Auto_Power_On>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).modemAutoPower = take<unsigned char>(in) != 0;
         return true;
     },
     51, nullptr},
    {0x20u, copyRecord<QX_MODEM_DIAL_STATUS_STRUCT, &ReceiverSession::Get_Modem_Dial_Status>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).modemDialStatus = take<QX_MODEM_DIAL_STATUS_STRUCT>(in);
         return true;
     },
     52, nullptr},
    {0x40u, copyResult<unsigned char, &ReceiverSession::Get_Modem_Auto_Dial>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).modemAutoDial = take<unsigned char>(in) != 0;
         return true;
     },
     53, nullptr},
    {0x400u, copyRecord<QX_MODEM_BAND_MODE_ENUM, &ReceiverSession::Get_Modem_Band_Mode>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).modemBandMode = take<QX_MODEM_BAND_MODE_ENUM>(in);
         return true;
     },
     54, nullptr},
    {0x2000u, copyRecord<QX_MODEM_WORK_MODE_ENUM, &ReceiverSession::Get_Modem_Work_Mode>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).modemWorkMode = take<QX_MODEM_WORK_MODE_ENUM>(in);
         return true;
     },
     75, nullptr},
    {0x8000u, copyRecord<QX_MODEM_CSD_STATUS_STRUCT, &ReceiverSession::Get_Modem_CSD_Status>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).csdStatus = take<QX_MODEM_CSD_STATUS_STRUCT>(in);
         return true;
     },
     76, nullptr},
    {0x4000u, copyRecord<QX_MODEM_CSD_PARA_STRUCT, &ReceiverSession::Get_Modem_CSD_Param>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).csdParams = take<QX_MODEM_CSD_PARA_STRUCT>(in);
         return true;
     },
     77, nullptr},
};

template <std::size_t N>
constexpr AnswerTable tableOf(const AnswerRow (&rows)[N]) {
    return AnswerTable{rows, N};
}

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
        default:
            return nullptr;
    }
}

const ConnectionRow& DeviceAnswers::connectionRow(bool changed) {
    return changed ? kConnectionRows[0] : kConnectionRows[1];
}

}  // namespace Varnok
