// Every "$$" frame the old-protocol command builders render, fed back into an old protocol
// object, is cut out whole by the receive loop's check, not resynchronised byte by byte.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Em_BoardRegistry.h"
#include "Em_OldProtocol.h"
#include "Em_OldRadio.h"
#include "support/Fake_Board.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;

namespace {

Cmd_List Everything(Em_OldProtocol& p) {
    Cmd_List c;
    p.Get_DeviceInfo(c);
    p.Get_Battery(c);
    p.Get_200Data(c, true);
    p.Get_CloseReceiver(c);
    p.Send_Gprs_DiffInfo(c);
    p.Query_NMEA_Output_Config(c);
    for (int code = 0; code <= 4; ++code)
        p.Get_Cmd_Com_Baudrate(c, code);
    for (int r : {1, 2, 11, 7})
        p.Get_Cmd_Position_Frq(c, r);
    p.Send_Gprs_Version(c);
    p.Get_Gprs_Info(c);
    p.Get_Gprs_Status(c);
    p.Get_Gprs_Signal(c);
    p.Get_Gprs_Eroinfo(c);
    p.Get_Gprs_Reset(c);
    p.Get_Gprs_CosMdl(c);
    p.Set_Gprs_CosMdl(c, 1);
    p.Send_Gprs_DisConct(c);
    p.Set_GSM_NumInfo(c, std::string(63, '5').c_str());
    SvcInfo svc;
    std::memset(&svc, 's', sizeof svc);
    p.Set_Gprs_SvcInfo(c, svc);
    IP_ADRES ip;
    std::memset(&ip, 'i', sizeof ip);
    ip.count = 32;
    p.Set_Gprs_Ip(c, ip, 2101, static_cast<Protocol_Net>(1));
    p.Get_Cmd_NetLink_Source_List_Query(c);
    cors_info ci = {};
    std::memset(ci.mountPoint, 'm', 19);
    std::memset(ci.userName, 'u', 20);
    std::memset(ci.password, 'p', 10);
    p.Set_Cors_Info_Auto(c, ci, 1);
    std::memset(&ci, 'x', sizeof ci);
    p.Set_Cors_Login(c, ci);
    p.Set_Radio_Power(c, static_cast<Radio_Power>(2));
    p.Get_Radio_Frq(c);
    p.Set_Radio_Frq(c, 460.0);
    p.Set_Radio_FEC(c, true);
    Radio_Callsign cs = {};
    cs.length = 14;
    p.Set_Radio_Callsign(c, cs);
    p.Set_Radio_ChannelSpace(c, CHANNEL_SPACE_20);
    p.Set_Radio_Channel_Freq(c, 3, 450.0125, CHANNEL_SPACE_12_5);
    p.Set_Static_Begin(c, true, 0xFFFF);
    p.Get_Cmd_Static_FileDir(c);
    p.Get_Cmd_Read_Static_File(c, 0xFFFFFFFFu);
    Static_Point sp = {};
    sp.nameLength = 32;
    p.Set_Static_Point(c, &sp);
    p.Set_Static_AnteType(c, std::string(60, 'a').c_str());
    p.Set_eBubble_calibration(c, true, -1);
    StartPointInfo start = {};
    start.nameLength = 32;
    start.textLength = 32;
    p.Get_Cmd_StartPPKpt(c, &start);
    p.Get_Cmd_Add_BasePos_To_List(c, -1e300, 3.5, 1e-300);
    p.Get_Cmd_Set_BasePosition_Difference(c, 42.0);
    p.Get_Cmd_Read_BasePosition_List(c);
    unsigned char block[128];
    std::memset(block, 0xFF, sizeof block);
    p.Send_DevcInfo_Update_Crs(c, 0xFFFF, block);
    std::vector<unsigned char> diff(111, 0x24);
    p.Send_DiffDataToGnss(c, diff.data(), 111);
    p.Set_Gnss_ElevDgre(c, 255, 5.0, 4);
    p.Get_Gnss_StartBase(c);
    p.Get_Gnss_StartRover(c);
    p.Get_Gnss_Reset(c);
    p.Set_Velta_NMEA(c, {{0x1, 1}, {0x800, 0x1FF}}, 255, true);
    return c;
}

Cmd_List Built(Com_Status link) {
    Scoped_Board_Registration reg(2, [] { return new Scripted_Board(2); });
    Em_OldProtocol builder;
    builder.Set_Com_Status(link);
    builder.Create_Board(MAINBD_NOVATEL);
    builder.Receiver().deviceBlockSeen = 1;
    builder.Receiver().modemVersionSeen = 1;
    builder.Receiver().radio.radioType = 8;
    Radio_ApplyBand(builder.Receiver().radio);
    builder.Receiver().wireless.layoutFlag = 1;
    return Everything(builder);
}

// A Bluetooth link changes only the mode byte's high nibble (1 -> 3), and with it the check.
TEST(OldCommandLoopback, BluetoothFramesDifferOnlyInTheLinkForm) {
    const Cmd_List serial = Built(COM_STATUS_SERIAL);
    const Cmd_List bt = Built(COM_STATUS_BLUETOOTH);
    ASSERT_EQ(serial.size(), bt.size());
    for (std::size_t i = 0; i < serial.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(serial[i].length, bt[i].length);
        EXPECT_EQ(serial[i].pause, bt[i].pause);
        const std::uint32_t n = serial[i].length;
        for (std::uint32_t k = 0; k < n; ++k) {
            const bool differs = k == 4 || k == n - 3;
            EXPECT_EQ(serial[i].data[k] ^ bt[i].data[k], differs ? 0x20 : 0) << k;
        }
        EXPECT_EQ(serial[i].data[4] >> 4, 1);
    }
}

TEST(OldCommandLoopback, EveryBuiltFrameIsConsumedWhole) {
    for (Com_Status link : {COM_STATUS_SERIAL, COM_STATUS_BLUETOOTH}) {
        SCOPED_TRACE(link);
        const Cmd_List cmds = Built(link);
        ASSERT_GT(cmds.size(), 80u);
        for (std::size_t i = 0; i < cmds.size(); ++i) {
            SCOPED_TRACE(i);
            const _STR_CMD& cmd = cmds[i];
            ASSERT_GE(cmd.length, 9u);
            ASSERT_EQ(cmd.data[0], 0x24);
            Em_OldProtocol reader;
            reader.Ring()->Append(cmd.data, static_cast<int>(cmd.length));
            EXPECT_EQ(reader.Parse_Step(), 1);
            EXPECT_EQ(reader.Ring()->Mark(), static_cast<int>(cmd.length));
            EXPECT_EQ(reader.Frame_Id(), Em_OldProtocol::Old_FrameId(cmd.data[2], cmd.data[3]));
        }
    }
}

}  // namespace
