// Em_Gnss: static files, base positions, radio channels and NMEA output of an old-protocol
// receiver, read from what its reply decoders stored.
#include <algorithm>
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OldProtocol.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint32_t kChannel0Pause = 200;
constexpr unsigned char kChannel0Setting = 0x5E;
constexpr unsigned char kChannel0On = 0x00;
constexpr unsigned char kChannel0Off = 0xAA;

// The caller's buffer holds 56 bytes: never copy more, whatever the stored length says.
void CopyBlock(const Em_OldBlock& block, unsigned char* buffer, int& length) {
    const int n = std::clamp<int>(block.length, 0, static_cast<int>(sizeof block.data));
    if (buffer != nullptr && n > 0) {
        std::memcpy(buffer, block.data, static_cast<size_t>(n));
    }
    length = n;
}

// List indices and channel numbers travel as one byte. A wrapped value would name another
// entry (256 would remove or change entry 0), so such a command is not built.
bool FitsByte(int value) {
    return value >= 0 && value <= 0xFF;
}

}  // namespace

void Em_Gnss::Get_Cmd_Static_FileDir(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Static_FileDir(cmds);
    }
}

void Em_Gnss::Get_Cmd_Read_Static_File(Cmd_List& cmds, unsigned int index) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Read_Static_File(cmds, index);
    }
}

void Em_Gnss::Get_Cmd_Delete_Static_File(Cmd_List& cmds, unsigned int index) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Delete_Static_File(cmds, index);
    }
}

void Em_Gnss::Get_Cmd_Query_Static_Status(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Query_Static_Status(cmds);
    }
}

void Em_Gnss::Get_Cmd_Add_BasePos_To_List(Cmd_List& cmds, double latitude, double longitude,
                                          double height) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Add_BasePos_To_List(cmds, latitude, longitude, height);
    }
}

void Em_Gnss::Get_Cmd_Remove_BasePos_From_List(Cmd_List& cmds, int index) {
    if (!FitsByte(index)) {
        return;
    }
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Remove_BasePos_From_List(cmds, static_cast<unsigned short>(index));
    }
}

void Em_Gnss::Get_Cmd_Read_BasePosition_List(Cmd_List& cmds) {
    if (Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Read_BasePosition_List(cmds);
    }
}

void Em_Gnss::Get_Cmd_Clear_BasePosition_List(Cmd_List& cmds) {
    if (Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Clear_BasePosition_List(cmds);
    }
}

void Em_Gnss::Get_Cmd_Get_BasePosition_Difference(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Get_BasePosition_Difference(cmds);
    }
}

void Em_Gnss::Get_Cmd_Set_BasePosition_Difference(Cmd_List& cmds, double difference) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Set_BasePosition_Difference(cmds, difference);
    }
}

void Em_Gnss::Query_Radio_ChannelList_Type(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Query_Radio_ChannelList_Type(cmds);
    }
}

void Em_Gnss::Set_Radio_Channel_Type(Cmd_List& cmds, int channel, Rdo_Channel_Type type) {
    if (!FitsByte(channel)) {
        return;
    }
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_Channel_Type(cmds, channel, type);
    }
}

void Em_Gnss::Query_Radio_ChannelList_Freq(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Query_Radio_ChannelList_Freq(cmds);
    }
}

void Em_Gnss::Set_Radio_Channel_Freq(Cmd_List& cmds, int channel, double mhz, Channel_Space space) {
    if (!FitsByte(channel)) {
        return;
    }
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_Channel_Freq(cmds, channel, mhz, space);
    }
}

void Em_Gnss::Query_NMEA_Output_Config(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Query_NMEA_Output_Config(cmds);
    }
}

void Em_Gnss::Set_Velta_NMEA(Cmd_List& cmds, const std::vector<_set_nmea>& list, int rate,
                             bool flag) {
    if (!IsVeltaManufacturer()) {
        return;
    }
    if (const Em_OldProtocol* old = dynamic_cast<const Em_OldProtocol*>(Get_Protocol())) {
        old->Set_Velta_NMEA(cmds, list, rate, flag);
        return;
    }
    // The maker's new-protocol receivers get the same texts, but their protocol object has no
    // old-frame renderer: a scratch one on the same link renders them. Having no board driver,
    // it adds no board list, as the old builder does for the new-protocol board type.
    Em_OldProtocol renderer;
    renderer.Set_Com_Status(Get_Protocol()->Get_Com_Status());
    renderer.Set_Velta_NMEA(cmds, list, rate, flag);
}

void Em_Gnss::Set_Radio_Channel0_Enabled(Cmd_List& cmds, bool enabled) {
    const Em_OldProtocol* old = Old_Protocol(*this);
    if (old == nullptr) {
        return;
    }
    const unsigned char setting[2] = {kChannel0Setting, enabled ? kChannel0On : kChannel0Off};
    _STR_CMD cmd = {};
    if (old->Pack_OldBinFrame('S', 'J', setting, sizeof setting, cmd)) {
        cmd.pause = kChannel0Pause;
        cmds.push_back(cmd);
    }
}

void Em_Gnss::Get_Static_FileDir(unsigned char* buffer, int& length) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        CopyBlock(old->Receiver().staticFileDir, buffer, length);
    }
}

void Em_Gnss::Get_Read_Static_File(unsigned char* buffer, int& length) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        CopyBlock(old->Receiver().staticFileData, buffer, length);
    }
}

void Em_Gnss::Get_BasePosition_List(unsigned char* buffer, int& length) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        CopyBlock(old->Receiver().basePosList, buffer, length);
    }
}

void Em_Gnss::Get_BasePosition_Difference(double& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        out = old->Receiver().basePosDifference;
    }
}

void Em_Gnss::Get_Radio_ChannelList_Type(std::vector<int>& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        const auto& types = old->Receiver().radio.channelTypes;
        out.assign(types.begin(), types.end());
    }
}

void Em_Gnss::Get_Radio_ChannelList_Freq(std::vector<double>& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        out = old->Receiver().radio.channelFreqs;
    }
}

void Em_Gnss::Get_NMEA_Output_Config(NMEAConfigList& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        const NMEAConfigList& stored = old->Receiver().nmeaConfig;
        out.port = stored.port;
        out.keepAfterRestart = stored.keepAfterRestart;
        out.value = stored.value;
        out.count = stored.count;
        out.messages = stored.messages;
    }
}

void Em_Gnss::Get_Static_Status(bool& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        out = old->Receiver().staticStatus == 1;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
