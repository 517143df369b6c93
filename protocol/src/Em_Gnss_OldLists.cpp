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

}  // namespace

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
