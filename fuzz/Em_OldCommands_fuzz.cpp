// Fuzzer-chosen caller records, receiver state and link form through every old-protocol command
// builder: each record must be read inside its fields, and every command built must be one
// whole "$$" frame that the receive loop consumes in one step.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Em_OldProtocol.h"
#include "Fuzz_Source.h"

using namespace Brevan2011::BVParse;

namespace {

void CheckFrames(const Cmd_List& cmds) {
    for (const _STR_CMD& c : cmds) {
        if (c.length < 9 || c.length > sizeof c.data || c.data[0] != 0x24 ||
            c.data[5] + 9u != c.length) {
            std::abort();
        }
        Em_OldProtocol reader;
        reader.Ring()->Append(c.data, static_cast<int>(c.length));
        if (reader.Parse_Step() != 1 || reader.Ring()->Mark() != static_cast<int>(c.length)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz_Source in(data, size);
    Em_OldProtocol p;
    p.Set_Com_Status((in.Byte() & 1) != 0 ? COM_STATUS_BLUETOOTH : COM_STATUS_SERIAL);
    p.Receiver().radio.radioType = in.Byte() % 12;
    p.Receiver().deviceBlockSeen = in.Byte() & 1;
    p.Receiver().modemVersionSeen = in.Byte() & 1;
    p.Receiver().wireless.layoutFlag = in.Byte() & 1;

    // Records are heap copies of exactly their size, so a read past a field is reported.
    auto* svc = new SvcInfo;
    auto* ip = new IP_ADRES;
    auto* ci = new cors_info;
    auto* sp = new Static_Point;
    auto* cs = new Radio_Callsign;
    auto* start = new StartPointInfo;
    auto* end = new EndPointInfo;
    auto* ant = new AntPointInfo;
    in.Fill(*svc);
    in.Fill(*ip);
    in.Fill(*ci);
    in.Fill(*sp);
    in.Fill(*cs);
    in.Fill(*start);
    in.Fill(*end);
    in.Fill(*ant);
    char text[70];
    in.Fill(text);
    text[sizeof text - 1] = '\0';
    unsigned char block[128];
    in.Fill(block);

    Cmd_List cmds;
    p.Set_Gprs_SvcInfo(cmds, *svc);
    p.Set_Gprs_Ip(cmds, *ip, in.Byte() * 256u + in.Byte(), static_cast<Protocol_Net>(in.Byte()));
    p.Set_Cors_Info_Auto(cmds, *ci, in.Byte());
    p.Set_Cors_Login(cmds, *ci);
    p.Set_GSM_NumInfo(cmds, text);
    p.Set_Static_AnteType(cmds, text);
    p.Set_Static_Point(cmds, sp);
    p.Set_Radio_Callsign(cmds, *cs);
    p.Get_Cmd_StartPPKpt(cmds, start);
    p.Get_Cmd_EndPPKpt(cmds, end);
    p.Get_Cmd_AntPPKpt(cmds, ant);
    p.Set_Radio_Frq(cmds, in.Double());
    p.Set_Radio_Channel_Freq(cmds, in.Byte(), in.Double(), static_cast<Channel_Space>(in.Byte()));
    p.Set_Radio_ChannelSpace(cmds, static_cast<Channel_Space>(in.Byte()));
    p.Get_Cmd_Add_BasePos_To_List(cmds, in.Double(), in.Double(), in.Double());
    p.Get_Cmd_Set_BasePosition_Difference(cmds, in.Double());
    p.Send_DevcInfo_Update_Crs(cmds, in.Byte(), block);
    p.Get_Radio_Frq(cmds);
    std::vector<_set_nmea> list(in.Byte() % 20);
    for (_set_nmea& e : list) {
        in.Fill(e);
    }
    p.Set_Velta_NMEA(cmds, list, in.Byte());
    p.Set_Velta_NMEA(cmds, list, in.Byte(), (in.Byte() & 1) != 0);
    std::vector<unsigned char> diff(in.Byte() * 2u, 0x24);
    p.Send_DiffDataToGnss(cmds, diff.data(), static_cast<unsigned>(diff.size()));
    CheckFrames(cmds);

    WirelessInfo info;
    p.GetInfo_Gprs_Info(info);
    Radio_Info ri;
    p.Get_Radio_Info(ri);

    delete svc;
    delete ip;
    delete ci;
    delete sp;
    delete cs;
    delete start;
    delete end;
    delete ant;
    return 0;
}
