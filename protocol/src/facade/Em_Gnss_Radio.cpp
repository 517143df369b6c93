// Em_Gnss radio operations: the old receiver's internal UHF radio, set and queried with the old
// protocol's '@' commands and read from what its radio decoder stored; of a new receiver only
// the frequency its board reported.
#include <algorithm>
#include <cstring>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_Gnss_Kinds.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

// The builders shared by the maker's receivers are the old protocol's. A new receiver's
// protocol object renders no old frames, so a scratch old object on the same link runs them,
// with the radio record of a receiver whose radio was never reported.
template <typename Op>
int Maker_Radio(Em_Gnss& gnss, Op op, int fallback) {
    if (Em_OldProtocol* old = Old_Protocol(gnss)) {
        return op(*old);
    }
    if (gnss.IsVeltaNewProtocolReceiver()) {
        Em_OldProtocol renderer;
        renderer.Set_Com_Status(gnss.Get_Protocol()->Get_Com_Status());
        return op(renderer);
    }
    return fallback;
}

}  // namespace

double Em_Gnss::Get_Radio_Frq() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return old->radio.frequency;
    }
    if (const NewReceiverState* s = New_State(m_protocol)) {
        // The board keeps the float's bits as they came.
        float mhz = 0.0f;
        std::memcpy(&mhz, &s->radioFrequency, sizeof(mhz));
        return static_cast<double>(mhz);
    }
    return -1.0;
}

// Builders that serve both protocols.

int Em_Gnss::Get_Radio_Power(Cmd_List& cmds) {
    return Maker_Radio(
        *this, [&cmds](const Em_OldProtocol& old) { return old.Get_Radio_Power(cmds); }, 0);
}

int Em_Gnss::Set_Radio_Power(Cmd_List& cmds, Radio_Power value) {
    return Maker_Radio(
        *this, [&](const Em_OldProtocol& old) { return old.Set_Radio_Power(cmds, value); }, 0);
}

int Em_Gnss::Get_Cmd_Radio_Baudrate(Cmd_List& cmds) {
    return Maker_Radio(
        *this, [&cmds](const Em_OldProtocol& old) { return old.Get_Cmd_Radio_Baudrate(cmds); }, 0);
}

int Em_Gnss::Set_Radio_Baudrate(Cmd_List& cmds, Radio_Baudrate value) {
    return Maker_Radio(
        *this, [&](const Em_OldProtocol& old) { return old.Set_Radio_Baudrate(cmds, value); }, 0);
}

int Em_Gnss::Get_Radio_Frq(Cmd_List& cmds) {
    return Maker_Radio(
        *this, [&cmds](const Em_OldProtocol& old) { return old.Get_Radio_Frq(cmds); }, -1);
}

// Builders of the old receiver alone.

void Em_Gnss::Set_Radio_Frq(Cmd_List& cmds, double mhz) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_Frq(cmds, mhz);
    }
}

void Em_Gnss::Set_Radio_Mdl(Cmd_List& cmds, Rdo_Mdl value) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_Mdl(cmds, value);
    }
}

void Em_Gnss::Set_Radio_Sensitivity(Cmd_List& cmds, Rdo_Sensitv value) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_Sensitivity(cmds, value);
    }
}

void Em_Gnss::Get_Cmd_Radio_Sensitivity(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Radio_Sensitivity(cmds);
    }
}

void Em_Gnss::Set_Radio_FEC(Cmd_List& cmds, bool on) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_FEC(cmds, on);
    }
}

void Em_Gnss::Get_Cmd_Radio_FEC(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Radio_FEC(cmds);
    }
}

void Em_Gnss::Set_Radio_Callsign(Cmd_List& cmds, const Radio_Callsign& callsign) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_Callsign(cmds, callsign);
    }
}

void Em_Gnss::Get_Cmd_Radio_Callsign(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Radio_Callsign(cmds);
    }
}

void Em_Gnss::Set_Radio_ChannelSpace(Cmd_List& cmds, Channel_Space space) {
    // Not const: it also switches the step the radio decoder converts replies with.
    if (Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Set_Radio_ChannelSpace(cmds, space);
    }
}

void Em_Gnss::Get_Cmd_Radio_ChannelSpace(Cmd_List& cmds) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        old->Get_Cmd_Radio_ChannelSpace(cmds);
    }
}

// Readers of the old receiver's radio record.

Radio_Power Em_Gnss::Get_Radio_Power() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return static_cast<Radio_Power>(old->radio.power);
    }
    return static_cast<Radio_Power>(0);
}

Radio_Baudrate Em_Gnss::Get_Radio_Baudrate() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return static_cast<Radio_Baudrate>(old->radio.airBaud);
    }
    return static_cast<Radio_Baudrate>(-1);
}

Rdo_Mdl Em_Gnss::Get_Transmit_Mdl() {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        return static_cast<Rdo_Mdl>(old->radio.transmitMode);
    }
    return static_cast<Rdo_Mdl>(-1);
}

int Em_Gnss::Get_Radio_Range(Radio_Range& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        return old->Get_Radio_Range(out);
    }
    return -1;
}

int Em_Gnss::Get_Radio_Info(Radio_Info& out) {
    if (const Em_OldProtocol* old = Old_Protocol(*this)) {
        return old->Get_Radio_Info(out);
    }
    return -1;
}

void Em_Gnss::Get_Radio_Sensitivity(Rdo_Sensitv& out) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        out = static_cast<Rdo_Sensitv>(old->radio.sensitivity);
    }
}

void Em_Gnss::Get_Radio_FEC(bool& out) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        out = old->radio.fec != 0;
    }
}

void Em_Gnss::Get_Radio_Callsign(Radio_Callsign& out) {
    const Em_OldReceiver* old = Old_State(m_protocol);
    if (old == nullptr) {
        return;
    }
    const Em_OldRadioRecord& r = old->radio;
    out.on = r.callsignOn;
    out.interval = r.callsignInterval;
    std::memcpy(out.text, r.callsign, sizeof(out.text));
    // The length never names more characters than the text field holds.
    out.length = std::min<std::uint8_t>(r.callsignLength, sizeof(out.text));
}

void Em_Gnss::Get_Radio_ChannelSpace(Channel_Space& out) {
    if (const Em_OldReceiver* old = Old_State(m_protocol)) {
        out = static_cast<Channel_Space>(old->radio.spacingCode);
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
