// Em_Gnss: system commands and results of the new protocol, and the serial port direction.
#include <cmath>
#include <cstdint>
#include <limits>

#include "BVParse/Em_Gnss.h"
#include "Em_GnssNewBuild.h"
#include "Em_OemNewData.h"

namespace Brevan2011 {
namespace BVParse {

namespace {

constexpr uint8_t kMagnetometerStart = 2;
constexpr uint8_t kMagnetometerStop = 3;
constexpr uint8_t kHeadingStart = 4;
constexpr uint8_t kHeadingStop = 5;

// x * 1000 truncated toward zero through a signed 32-bit integer; out-of-range values are
// held at the integer's limits so the conversion stays defined.
int32_t Thousandths(float x) {
    const double v = std::trunc(static_cast<double>(x) * 1000.0);
    if (std::isnan(v)) {
        return 0;
    }
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(v);
}

}  // namespace

void Em_Gnss::Get_Cmd_System_Admin(Cmd_List& cmds, unsigned short code) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewSystem, {{0x0308, &code}}, 0x0308);
    }
}

void Em_Gnss::Get_Cmd_System_Power_Off(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewSystem, {{0x0303, nullptr}}, 0x0303);
    }
}

void Em_Gnss::Get_Cmd_System_Power_Status_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x0304, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_System_Reboot(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewSystem, {{0x0305, nullptr}}, 0x0305);
    }
}

void Em_Gnss::Get_Cmd_System_Hardware_Info_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x0306, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_System_Firmware_Info_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x0307, nullptr}}, 0);
    }
}

void Em_Gnss::Get_Cmd_System_GSensor_Valid(Cmd_List& cmds, QX_GSENSOR_VALID_PERIOD_STRUCT r) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, kNewSystem, {{0x0309, &r}}, 0x0309);
    }
}

void Em_Gnss::Get_Cmd_System_GPSBoard_Info_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x030C, nullptr}}, 0x030C);
    }
}

void Em_Gnss::Get_Cmd_System_BtMac_Info_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x030D, nullptr}}, 0x030D);
    }
}

void Em_Gnss::Get_Cmd_System_WifiMac_Info_Query(Cmd_List& cmds) {
    if (IsVeltaNewProtocolReceiver()) {
        Build_NewCommand(cmds, New_QueryCode(kNewSystem), {{0x030E, nullptr}}, 0x030E);
    }
}

void Em_Gnss::Send_Magnetometer_Calibration(Cmd_List& cmds, bool start, int n) {
    QX_GSENSOR_VALID_PERIOD_STRUCT r{};
    r.kind = start ? kMagnetometerStart : kMagnetometerStop;
    r.value = static_cast<uint16_t>(n);
    Get_Cmd_System_GSensor_Valid(cmds, r);
}

void Em_Gnss::Send_Heading_Calibration(Cmd_List& cmds, bool start, float x) {
    QX_GSENSOR_VALID_PERIOD_STRUCT r{};
    r.kind = start ? kHeadingStart : kHeadingStop;
    r.value = static_cast<uint16_t>(static_cast<uint32_t>(Thousandths(x)));
    Get_Cmd_System_GSensor_Valid(cmds, r);
}

void Em_Gnss::Get_Cmd_Com_Direct(Cmd_List& cmds, QX_COM_DIRECT_ENUM d) {
    if (IsVeltaNewProtocolReceiver()) {
        const uint16_t direction = static_cast<uint16_t>(d);
        Build_NewCommand(cmds, kNewComPort, {{0x0108, &direction}}, 0x0108);
    }
}

void Em_Gnss::Get_System_Power_Status(QX_SYSTEM_POWER_STATUS_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.powerStatus;
    }
}

void Em_Gnss::Get_System_Hardware_Info(QX_SYSTEM_HARDWARE_INFO_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.hardwareInfo;
    }
}

void Em_Gnss::Get_System_Firmware_Info(QX_SYSTEM_FIRMWARE_VERSION_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.firmwareInfo;
    }
}

void Em_Gnss::Get_System_GPSBoard_Info(QX_GPSBOARD_INFO_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.gpsBoardInfo;
    }
}

void Em_Gnss::Get_System_Calibration_Result(QX_GSENSOR_CALIBRATION_QUALITY& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.calibrationResult;
    }
}

void Em_Gnss::Get_System_BtMac_Info(QX_MAC_INFO_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.btMac;
    }
}

void Em_Gnss::Get_System_WifiMac_Info(QX_MAC_INFO_STRUCT& out) {
    if (const Em_OemNewData* d = New_Data(*this)) {
        out = d->state.wifiMac;
    }
}

}  // namespace BVParse
}  // namespace Brevan2011
