// Whatever a receiver reported, whatever records the program passes: the Em_Gnss operations and
// readers of old, new and other makers' receivers stay inside their records and buffers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Fuzz_Source.h"

using namespace Brevan2011::BVParse;

namespace {

// A record of exactly its own size on the heap, filled from the input.
template <typename T>
std::unique_ptr<T> Record(Fuzz_Source& in) {
    auto r = std::make_unique<T>();
    in.Fill(*r);
    return r;
}

// Reads into a fresh heap record of exactly the reader's type.
template <typename T, typename F>
void Read(F&& reader) {
    auto out = std::make_unique<T>();
    reader(*out);
}

struct Kind {
    GNSS_MANUFACTURER maker;
    MAINBD_OEM_TYPE board;
};
const Kind kKinds[] = {
    {GNSS_MNFCTR_VELTA, MAINBD_NOVATEL},    {GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL},
    {GNSS_MNFCTR_VELTA, MAINBD_HEMISPHERE}, {GNSS_MNFCTR_OEM, MAINBD_NMEA2},
    {GNSS_MNFCTR_OEM, MAINBD_NOVATEL},
};

void Build(Em_Gnss& g, Fuzz_Source& in) {
    auto cors = Record<cors_info>(in);
    auto ip = Record<IP_ADRES>(in);
    auto svc = Record<SvcInfo>(in);
    auto point = Record<Static_Point>(in);
    auto callsign = Record<Radio_Callsign>(in);
    auto start = Record<StartPointInfo>(in);
    auto end = Record<EndPointInfo>(in);
    auto ant = Record<AntPointInfo>(in);
    auto base = Record<Base_Config>(in);
    auto rover = Record<Rover_Config>(in);
    char text[40];
    in.Fill(text);
    text[sizeof text - 1] = '\0';
    std::vector<std::uint8_t> block = in.Take(in.Byte());
    QX_COM_BAUD_ENUM baud = static_cast<QX_COM_BAUD_ENUM>(in.Byte());

    Cmd_List cmds;
    g.Set_Cors_Login(cmds, *cors);
    g.Set_Cors_Info_Auto(cmds, *cors, in.Byte());
    g.Send_Cors_Info_Auto(cmds);
    g.Set_Gprs_Ip(cmds, *ip, in.Word(), static_cast<Protocol_Net>(in.Byte()));
    g.Set_Gprs_SvcInfo(cmds, *svc);
    g.Set_GSM_NumInfo(cmds, text);
    g.Set_Gprs_BaseId(cmds, block.data(), static_cast<unsigned>(block.size()));
    g.Set_Static_Point(cmds, point.get());
    g.Set_Static_AnteType(cmds, text);
    g.Set_Static_Begin(cmds, in.Byte() & 1, static_cast<unsigned short>(in.Word()));
    g.Get_Cmd_StartPPKpt(cmds, start.get());
    g.Get_Cmd_EndPPKpt(cmds, end.get());
    g.Get_Cmd_AntPPKpt(cmds, ant.get());
    g.Get_Cmd_StartPPKpt(cmds, nullptr);
    g.Set_Radio_Callsign(cmds, *callsign);
    g.Set_Radio_Power(cmds, static_cast<Radio_Power>(in.Byte()));
    g.Set_Radio_Baudrate(cmds, static_cast<Radio_Baudrate>(in.Byte()));
    g.Set_Radio_Frq(cmds, in.Double());
    g.Set_Radio_ChannelSpace(cmds, static_cast<Channel_Space>(in.Byte()));
    g.Set_DevcInfo_AutoBaseDist(cmds, static_cast<unsigned short>(in.Word()));
    g.Set_DevcInfo_Mask(cmds, in.Word());
    g.Set_eBubble_frq(cmds, static_cast<GNSS_FRQ>(in.Byte()));
    g.Get_Cmd_Position_Frq(cmds, static_cast<GNSS_FRQ>(in.Byte()));
    g.Set_eBubble_calibration(cmds, in.Byte() & 1, static_cast<int>(in.Word()));
    g.Get_Cmd_Com_Baudrate(cmds, &baud, static_cast<QX_COM_PORT_ENUM>(in.Byte()));
    g.Get_QxMdl(cmds, in.Byte());
    g.Send_Gnss_Ephemeris(cmds, static_cast<GNSS_FRQ>(in.Byte()));
    g.Set_Gnss_BsCfg(*base);
    g.Set_Gnss_RvCfg(*rover);
    g.Get_Gnss_StartBase(cmds);
    g.Get_Gnss_StartRover(cmds);
    std::vector<unsigned char> diff(in.Word() % 3000, 0xD3);
    g.Send_DiffDataToGnss(cmds, diff.data(), static_cast<unsigned>(diff.size()));
    for (const _STR_CMD& c : cmds) {
        if (c.length > sizeof c.data) {
            __builtin_trap();
        }
    }
}

void ReadAll(Em_Gnss& g) {
    Read<POS_INFO>([&](POS_INFO& r) { g.Get_Gnss_Pos(&r); });
    Read<Dops>([&](Dops& r) { g.Get_Gnss_Dops(&r); });
    Read<Precisions>([&](Precisions& r) { g.Get_Gnss_Precision(&r); });
    Read<BASEINFO>([&](BASEINFO& r) { g.Get_Gnss_Baseinfo(r); });
    Read<TRSMT_INFO>([&](TRSMT_INFO& r) { g.Get_Gnss_Trsinfo(r); });
    Read<em_obs_t>([&](em_obs_t& r) { g.Get_Gnss_Obs_t(&r); });
    Read<em_eph_t>([&](em_eph_t& r) {
        unsigned system = 0;
        g.Get_Gnss_Ephemeris(&system, &r);
    });
    for (int constellation = 0; constellation <= 6; ++constellation) {
        auto sats = std::make_unique<SATLLITE_STR[]>(32);
        unsigned count = 0;
        g.Get_Gnss_SatInfo(constellation, &count, sats.get());
    }
    {
        auto gga = std::make_unique<unsigned char[]>(2048);
        unsigned length = 0;
        g.Get_Gnss_Gpgga(gga.get(), &length);
        auto list = std::make_unique<char[]>(4096);
        int count = 0;
        g.Get_Gprs_GetList(list.get(), &count);
        auto diff = std::make_unique<unsigned char[]>(200);
        g.Get_Gprs_DiffInfo(diff.get(), &count);
        auto antenna = std::make_unique<char[]>(21);
        g.Get_Static_AntType(antenna.get());
        auto block = std::make_unique<unsigned char[]>(56);
        int n = 0;
        g.Get_Static_FileDir(block.get(), n);
        g.Get_Read_Static_File(block.get(), n);
        g.Get_BasePosition_List(block.get(), n);
    }
    Read<DEVICE_STR>([&](DEVICE_STR& r) { g.GetInfo_DevcInfo(r); });
    Read<FIRMWARE_DEBUG>([&](FIRMWARE_DEBUG& r) { g.Get_FirmWare_Db(256, r); });
    Read<eBubble_info>([&](eBubble_info& r) { g.Get_eBubble_info(r); });
    Read<Static_Point>([&](Static_Point& r) { g.Get_Static_Point(r); });
    Read<Radio_Range>([&](Radio_Range& r) { g.Get_Radio_Range(r); });
    Read<Radio_Info>([&](Radio_Info& r) { g.Get_Radio_Info(r); });
    Read<Radio_Callsign>([&](Radio_Callsign& r) { g.Get_Radio_Callsign(r); });
    Read<WirelessInfo>([&](WirelessInfo& r) { g.GetInfo_Gprs_Info(r); });
    Read<cors_info>([&](cors_info& r) {
        int mode = 0;
        g.Get_Cors_Info_Auto(r, mode);
    });
    Read<NMEAConfigList>([&](NMEAConfigList& r) { g.Get_NMEA_Output_Config(r); });
    Read<QX_RADIO_CALLSIGN_STRUCT>([&](QX_RADIO_CALLSIGN_STRUCT& r) { g.Get_Radio_Callsign(r); });
    Read<QX_RADIO_PROPERTY_EX_STRUCT>(
        [&](QX_RADIO_PROPERTY_EX_STRUCT& r) { g.Get_Radio_Property_Ex(r); });
    Read<QX_RADIO_CHANNEL_LIST_EX_STRUCT>(
        [&](QX_RADIO_CHANNEL_LIST_EX_STRUCT& r) { g.Get_Radio_Channel_List_All(r); });
    Read<QX_RADIO_INFOLIST_STRUCT>([&](QX_RADIO_INFOLIST_STRUCT& r) { g.Get_Radio_Infolist(r); });
    Read<QX_SYSTEM_FIRMWARE_VERSION_STRUCT>(
        [&](QX_SYSTEM_FIRMWARE_VERSION_STRUCT& r) { g.Get_System_Firmware_Info(r); });
    Read<QX_SYSTEM_HARDWARE_INFO_STRUCT>(
        [&](QX_SYSTEM_HARDWARE_INFO_STRUCT& r) { g.Get_System_Hardware_Info(r); });
    Read<QX_WIFI_PARA_AP_STRUCT>([&](QX_WIFI_PARA_AP_STRUCT& r) { g.Get_WIFI_Param_AP(r); });
    Read<QX_ACCOUNT_STRUCT>([&](QX_ACCOUNT_STRUCT& r) { g.Get_NetLink_Account(r); });
    Read<QX_IP_ADDRESS_STRUCT>([&](QX_IP_ADDRESS_STRUCT& r) { g.Get_NetLink_Address(r); });
    Read<QX_CORS_DATA_SOURCE_STRUCT>(
        [&](QX_CORS_DATA_SOURCE_STRUCT& r) { g.Get_NetLink_Data_Source(r); });
    Read<QX_MODEM_DIAL_PARA_STRUCT>(
        [&](QX_MODEM_DIAL_PARA_STRUCT& r) { g.Get_Modem_Dial_Param(r); });
    Read<QX_FILE_RECORD_CONFIG_STRUCT>(
        [&](QX_FILE_RECORD_CONFIG_STRUCT& r) { g.Get_File_Record_Param(r); });
    Read<BASE_POS_LIST_STRUCT>([&](BASE_POS_LIST_STRUCT& r) { g.Get_Gnss_Base_Position_list(r); });
    Read<QX_DATA_CONFIG_LIST_STRUCT>(
        [&](QX_DATA_CONFIG_LIST_STRUCT& r) { g.Get_Gnss_Data_Configlist_Ex(r); });
    std::vector<DATA_FREQS_STRUCT> features;
    g.Get_Gnss_Data_Subscribe_Feature(features);
    std::vector<int> types;
    std::vector<double> freqs;
    g.Get_Radio_ChannelList_Type(types);
    g.Get_Radio_ChannelList_Freq(freqs);
    g.Get_Battery_Grd();
    g.Get_Radio_Frq();
    g.GetInfo_Gprs_Version();
    unsigned int length = 0;
    g.Get_Gnss_Data_Buff(length);
    g.Get_NMEA_Data_Buff(length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz_Source in(data, size);
    const Kind kind = kKinds[in.Byte() % (sizeof kKinds / sizeof kKinds[0])];
    Em_Gnss g(kind.maker, kind.board);
    g.Set_Com_Status(static_cast<Com_Status>(in.Byte() % 4));
    // The receiver speaks first: a stretch of the input in input-chosen slices.
    std::vector<std::uint8_t> stream = in.Take(in.Word() * 4u);
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t n = std::min<std::size_t>(1 + in.Byte() * 8u, stream.size() - at);
        g.RcvData(stream.data() + at, static_cast<unsigned>(n));
        g.ParseData();
        at += n;
    }
    ReadAll(g);
    Build(g, in);
    ReadAll(g);
    return 0;
}
