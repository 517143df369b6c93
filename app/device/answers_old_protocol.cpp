// Category 2: the old protocol's answers, and the end of an old-protocol connection.
#include "answer_rows.h"
#include "record_view.h"

namespace Varnok {

namespace {

using A = DeviceAnswersAccess;

// The GPRS version comes with the radio's information and range.
struct GprsVersionAnswer {
    double version;
    Radio_Info info;
    Radio_Range range;
};

struct CorsAnswer {
    cors_info info;
    int word;
    Text_Lengths lengths;
};

struct RadioFrequencyAnswer {
    double mhz;
    Rdo_Mdl mode;
};

void copyBaseConfig(ReceiverSession& s, CopiedBytes& out) {
    // The session's record lives only until its next parse step or board reset.
    const Base_Config* config = s.Get_Gnss_BsCfg();
    if (config) {
        putBytes(out, *config);
    }
}

bool applyBaseConfig(DeviceManager& m, const CopiedBytes& in) {
    if (in.size() == sizeof(Base_Config)) {
        A::cache(m).baseConfig = takeBytes<Base_Config>(in);
    }
    return false;
}

void copyDeviceInfo(ReceiverSession& s, CopiedBytes& out) {
    DEVICE_STR d{};
    s.GetInfo_DevcInfo(d);
    putBytes(out, d);
}

bool applyDeviceInfo(DeviceManager& m, const CopiedBytes& in) {
    A::markFirstAnswer(m);
    A::cache(m).deviceInfo = takeBytes<DEVICE_STR>(in);
    m.applyDeviceInfo();
    return true;
}

// Status 2 with a known board: device type 2 is connected, the others wait for the GPRS
// version after the session's board reset.
void afterDeviceInfo(DeviceManager& m) {
    const int board = m.boardType();
    if (A::workingStatus(m) != 2 || board == 0) {
        return;
    }
    A::setWorkingStatus(m, m.deviceType() == 2 ? 4 : 3);
    m.announce(2);
    if (ReceiverSession* s = A::session(m)) {
        s->ReSetGnsMd(static_cast<MAINBD_OEM_TYPE>(board));
    }
}

void copyGprsVersion(ReceiverSession& s, CopiedBytes& out) {
    GprsVersionAnswer a{};
    a.version = s.GetInfo_Gprs_Version();
    s.Get_Radio_Info(a.info);
    s.Get_Radio_Range(a.range);
    putBytes(out, a);
}

bool applyGprsVersion(DeviceManager& m, const CopiedBytes& in) {
    const GprsVersionAnswer a = takeBytes<GprsVersionAnswer>(in);
    DeviceCache& c = A::cache(m);
    c.gprsVersion = a.version;
    m.announce(6);
    c.radioInfo = a.info;
    m.announce(16);
    c.radioRange = a.range;
    m.announce(17);
    if (A::workingStatus(m) == 3) {
        A::setWorkingStatus(m, 4);
        if (m.deviceType() == 4) {
            if (ReceiverSession* s = A::session(m)) {
                s->Set_DevcInfo_StrtTp(2);
            }
        }
        m.announce(2);
    }
    return false;
}

void copyCors(ReceiverSession& s, CopiedBytes& out) {
    CorsAnswer a{};
    s.Get_Cors_Info_Auto(a.info, a.word);
    s.Get_Text_Lengths(a.lengths);
    putBytes(out, a);
}

bool applyCors(DeviceManager& m, const CopiedBytes& in) {
    const CorsAnswer a = takeBytes<CorsAnswer>(in);
    A::cache(m).corsInfo = a.info;
    A::cache(m).corsWord = a.word;
    Text_Lengths& lengths = A::cache(m).textLengths;
    lengths.mountPoint = a.lengths.mountPoint;
    lengths.userName = a.lengths.userName;
    lengths.password = a.lengths.password;
    return true;
}

// The network record and how long its base id was as sent.
bool applyWireless(DeviceManager& m, const CopiedBytes& in) {
    const auto a = takeBytes<WithLengths<WirelessInfo>>(in);
    A::cache(m).wirelessInfo = a.record;
    A::cache(m).textLengths.baseId = a.lengths.baseId;
    return true;
}

// The call sign and how long it was as sent.
bool applyCallsign(DeviceManager& m, const CopiedBytes& in) {
    const auto a = takeBytes<WithLengths<Radio_Callsign>>(in);
    A::cache(m).radioCallsign = a.record;
    A::cache(m).textLengths.callsign = a.lengths.callsign;
    return true;
}

void copyRadioFrequency(ReceiverSession& s, CopiedBytes& out) {
    RadioFrequencyAnswer a{};
    a.mhz = s.Get_Radio_Frq();
    a.mode = s.Get_Transmit_Mdl();
    putBytes(out, a);
}

bool applyRadioFrequency(DeviceManager& m, const CopiedBytes& in) {
    const RadioFrequencyAnswer a = takeBytes<RadioFrequencyAnswer>(in);
    A::cache(m).radioFrequency = a.mhz;
    m.announce(14);
    A::cache(m).transmitMode = a.mode;
    m.announce(13);
    return false;
}

template <class T, void (ReceiverSession::*Get)(T&), auto Field>
constexpr AnswerRow enumRow(std::uint32_t bit, int event) {
    return {bit, copyRecord<T, Get>, store<T, Field>, event, nullptr};
}

const AnswerRow kRows[] = {
    // Every answer: the base configuration, copied while the session's record is valid.
    {0xFFFFFFFFu, copyBaseConfig, applyBaseConfig, 0, nullptr},
    {0x80000000u, copyDeviceInfo, applyDeviceInfo, 4, afterDeviceInfo},
    {0x400u, copyRecord<Static_Point, &ReceiverSession::Get_Static_Point>,
     store<Static_Point, &DeviceCache::staticPoint>, 5, nullptr},
    {0x40000000u, copyResult<int, &ReceiverSession::Get_Battery_Grd>,
     store<int, &DeviceCache::batteryGrade>, 1, nullptr},
    {0x20000000u, copyWithLengths<WirelessInfo, &ReceiverSession::GetInfo_Gprs_Info>, applyWireless,
     7, nullptr},
    {0x1000000u, copyGprsVersion, applyGprsVersion, 6, nullptr},
    {0x8000000u, copyResult<gprs_status, &ReceiverSession::GetInfo_Gprs_Status>,
     store<int, &DeviceCache::gprsStatus>, 8, nullptr},
    {0x100000u, copyResult<gprs_ero, &ReceiverSession::GetInfo_Gprs_Eroinfo>,
     store<int, &DeviceCache::gprsError>, 9, nullptr},
    {0x400000u, copyResult<int, &ReceiverSession::GetInfo_Gprs_CosMdl>,
     store<int, &DeviceCache::loginMode>, 10, nullptr},
    {0x10000u, copyCors, applyCors, 11, nullptr},
    {0x2000000u, copyRadioFrequency, applyRadioFrequency, 14, nullptr},
    {0x4000u, copyResult<Radio_Power, &ReceiverSession::Get_Radio_Power>,
     store<int, &DeviceCache::radioPower>, 15, nullptr},
    {0x8000u, copyResult<Radio_Baudrate, &ReceiverSession::Get_Radio_Baudrate>,
     store<int, &DeviceCache::radioBaud>, 18, nullptr},
    enumRow<Rdo_Sensitv, &ReceiverSession::Get_Radio_Sensitivity, &DeviceCache::radioSensitivity>(
        0x800u, 19),
    enumRow<Channel_Space, &ReceiverSession::Get_Radio_ChannelSpace, &DeviceCache::channelSpace>(
        0x40u, 20),
    {0x10u, copyRecord<bool, &ReceiverSession::Get_Radio_FEC>, store<bool, &DeviceCache::radioFec>,
     21, nullptr},
    {0x20u, copyWithLengths<Radio_Callsign, &ReceiverSession::Get_Radio_Callsign>, applyCallsign,
     22, nullptr},
    {0x1000u, copySourcePiece, applySourcePiece, 12, nullptr},
    {0x200u, [](ReceiverSession&, CopiedBytes&) {},
     [](DeviceManager&, const CopiedBytes&) { return true; }, 29, nullptr},
};

const AnswerTable kTable = tableOf(kRows);

}  // namespace

void copySourcePiece(ReceiverSession& s, CopiedBytes& out) {
    // One byte more than the session copies, so a full piece keeps its last byte.
    char piece[SourceListCollector::kPieceBytes + 1] = {};
    int length = 0;
    s.Get_Gprs_GetList(piece, &length);
    if (length < 0) {
        length = 0;
    }
    if (length > static_cast<int>(SourceListCollector::kPieceBytes)) {
        length = static_cast<int>(SourceListCollector::kPieceBytes);
    }
    out.assign(piece, piece + length);
}

bool applySourcePiece(DeviceManager& m, const CopiedBytes& in) {
    return A::sourceList(m).addPiece(reinterpret_cast<const char*>(in.data()), in.size());
}

const AnswerTable& oldProtocolAnswers() {
    return kTable;
}

}  // namespace Varnok
