// Operations reach the loopback TCP receiver byte for byte as their builders make them, and
// concurrent requests stay whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "FakeTcpPeer.h"
#include "SessionFixture.h"

using namespace varnok_test;
using namespace std::chrono_literals;
using namespace Brevan2011::BVParse;

namespace {

struct Expected {
    std::string bytes;
    std::vector<bool> masked;  // the new protocol's chunk sequence bytes
};

Expected expectedOf(const Cmd_List& cmds) {
    Expected e;
    for (const _STR_CMD& c : cmds) {
        const std::size_t at = e.bytes.size();
        e.bytes.append(reinterpret_cast<const char*>(c.data), c.length);
        e.masked.resize(e.bytes.size(), false);
        if (c.length > 3 && c.data[0] == '$' && c.data[1] == '$' && c.data[2] == 0x01) {
            e.masked[at + 3] = true;
        }
    }
    return e;
}

bool sameMasked(const std::string& got, const Expected& want) {
    if (got.size() != want.bytes.size()) {
        return false;
    }
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (!want.masked[i] && got[i] != want.bytes[i]) {
            return false;
        }
    }
    return true;
}

std::string hex(const std::string& s) {
    std::ostringstream o;
    for (unsigned char c : s) {
        static const char* digits = "0123456789ABCDEF";
        o << digits[c >> 4] << digits[c & 15] << ' ';
    }
    return o.str();
}

struct WireCase {
    const char* what;
    std::function<void(EmGnss_Receiver&)> op;
    std::function<void(Em_Gnss&, Cmd_List&)> builder;
};

// A session with the library's own protocol objects on a loopback receiver.
class WireTest : public ::testing::Test {
protected:
    void open(MAINBD_OEM_TYPE board) {
        UseScriptedProtocol(false);
        board_ = board;
        // One reference for the whole run: board drivers keep settings between commands.
        reference_ = std::make_unique<Em_Gnss>(GNSS_MNFCTR_VELTA, board);
        ASSERT_TRUE(peer_.ok());
        session_ = std::make_unique<EmGnss_Receiver>(GNSS_MNFCTR_VELTA, board);
        ASSERT_TRUE(session_->Port_Open(peer_.param()));
        ASSERT_TRUE(peer_.waitConnected(5000));
        // Stop the keep-alive first, so only the requests below reach the receiver.
        // (On a new-protocol session it does nothing at all, not even wake the writer.)
        run({"keep-alive off", [](EmGnss_Receiver& s) { s.Send_200Data(false); },
             [](Em_Gnss& g, Cmd_List& c) { g.Get_200Data(c, false); }},
            board != MAINBD_NEWPROTOCOL);
        std::this_thread::sleep_for(100ms);
        consumed_ = peer_.received().size();
    }

    // A case whose builder makes nothing for this receiver checks that nothing is written and
    // the writer is still woken.
    void run(const WireCase& c, bool expectWake = true) {
        Cmd_List cmds;
        c.builder(*reference_, cmds);
        const Expected want = expectedOf(cmds);
        if (!want.bytes.empty()) {
            ++nonEmpty_;
        }
        if (want.bytes.empty()) {
            holdWriterInAPause();
            c.op(*session_);
            // Nothing to send, but the writer is still woken (unless nothing at all is due).
            EXPECT_EQ(Probe::writeEventSet(*session_), expectWake) << c.what;
            EXPECT_TRUE(Probe::pendingLengths(*session_).empty()) << c.what;
            return;
        }
        c.op(*session_);
        // Board start-up sequences pause between their commands (each pause at most 3 s).
        unsigned pauses = 0;
        for (const _STR_CMD& cmd : cmds) {
            pauses += std::min(cmd.pause, 3000u);
        }
        ASSERT_TRUE(peer_.waitReceived(consumed_ + want.bytes.size(), 5000 + pauses)) << c.what;
        const std::string got = peer_.received().substr(consumed_, want.bytes.size());
        consumed_ += want.bytes.size();
        EXPECT_TRUE(sameMasked(got, want))
            << c.what << "\n got:  " << hex(got) << "\n want: " << hex(want.bytes);
    }

    // Leaves the write thread in a pause with nothing queued and the write event clear: a wake-up
    // signalled from now on stays visible until the pause ends, and no earlier one is left.
    void holdWriterInAPause() {
        session_->Send_Null_For_Wait_Interval(kHoldMs);
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (!Probe::pendingLengths(*session_).empty() &&
               std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_TRUE(Probe::pendingLengths(*session_).empty());
        Probe::clearWriteEvent(*session_);
    }

    static constexpr unsigned kHoldMs = 1000;

    void finish() {
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(peer_.received().size(), consumed_) << "bytes beyond the requests";
        session_.reset();
    }

    FakeTcpPeer peer_;
    std::unique_ptr<EmGnss_Receiver> session_;
    std::unique_ptr<Em_Gnss> reference_;
    MAINBD_OEM_TYPE board_ = MAINBD_NOVATEL;
    std::size_t consumed_ = 0;
    int nonEmpty_ = 0;
};

}  // namespace

TEST_F(WireTest, OldProtocolRequestsArriveAsTheirBuildersMakeThem) {
    open(MAINBD_NOVATEL);
    static const unsigned char baseId[] = {'B', 'A', 'S', 'E', '7'};
    static const unsigned char elev = 0x34;
    std::string custom(600, '\0');
    for (std::size_t i = 0; i < custom.size(); ++i) {
        custom[i] = static_cast<char>(i * 7);
    }
    const WireCase cases[] = {
        {"Send_Gnss_Init", [](EmGnss_Receiver& s) { s.Send_Gnss_Init(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gnss_Inite(c); }},
        {"Send_Gnss_StartBs", [](EmGnss_Receiver& s) { s.Send_Gnss_StartBs(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gnss_StartBase(c); }},
        {"Send_Gnss_StartRv", [](EmGnss_Receiver& s) { s.Send_Gnss_StartRv(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gnss_StartRover(c); }},
        {"Set_Gnss_PosFrq", [](EmGnss_Receiver& s) { s.Set_Gnss_PosFrq(GNSS_FRQ_1); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Gnss_PosFrq(c, GNSS_FRQ_1); }},
        {"Set_Gprs_Baseid",
         [](EmGnss_Receiver& s) { s.Set_Gprs_Baseid(const_cast<unsigned char*>(baseId), 5); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Gprs_BaseId(c, baseId, 5); }},
        {"Send_PassCom_Char", [](EmGnss_Receiver& s) { s.Send_PassCom_Char(3); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_PassCom(c, 3); }},
        {"Send_Gprs_GetList", [](EmGnss_Receiver& s) { s.Send_Gprs_GetList(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_GetList(c); }},
        {"Send_NetLink_Source_List_Query",
         [](EmGnss_Receiver& s) { s.Send_NetLink_Source_List_Query(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_GetList(c); }},
        {"Send_Gprs_Signal", [](EmGnss_Receiver& s) { s.Send_Gprs_Signal(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Modem_Signal_Intensity_Query(c); }},
        {"Set_Gnss_ElevMask(0x1234)", [](EmGnss_Receiver& s) { s.Set_Gnss_ElevMask(0x1234); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Gnss_ElevMask(c, &elev); }},
        {"Send_Gnss_ElevMask()", [](EmGnss_Receiver& s) { s.Send_Gnss_ElevMask(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Gnss_ElevMask(c, nullptr); }},
        {"Set_Com_Data_Monitor(true)", [](EmGnss_Receiver& s) { s.Set_Com_Data_Monitor(true); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_QxMdl(c, 11); }},
        {"Set_Com_Data_Monitor(false)", [](EmGnss_Receiver& s) { s.Set_Com_Data_Monitor(false); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_QxMdl(c, 12); }},
        {"Set_Radio_Channel0_Enabled",
         [](EmGnss_Receiver& s) { s.Set_Radio_Channel0_Enabled(true); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_Channel0_Enabled(c, true); }},
        {"SendCustomCommand",
         [&custom](EmGnss_Receiver& s) {
             s.SendCustomCommand(reinterpret_cast<const unsigned char*>(custom.data()), 600, 0);
         },
         [&custom](Em_Gnss& g, Cmd_List& c) {
             g.GetCustomCommandPackets(c, reinterpret_cast<const unsigned char*>(custom.data()),
                                       600, 0);
         }},
    };
    for (const WireCase& c : cases) {
        run(c);
    }
    // Point records: the session passes the record first for the end and antenna points.
    static EndPointInfo endPoint{};
    static AntPointInfo antPoint{};
    static StartPointInfo startPoint{};
    for (int i = 0; i < 40; ++i) {
        endPoint.head[i] = antPoint.head[i] = startPoint.head[i] = static_cast<uint8_t>(i + 1);
    }
    endPoint.value = 0x01020304;
    antPoint.kind = 3;
    antPoint.value = 1500;
    startPoint.nameLength = 4;
    std::memcpy(startPoint.name, "PT01", 4);
    static std::vector<_set_nmea> nmea(1);
    nmea[0].Nmea_Id = 0x41;
    nmea[0].Rate_Id = 3;
    const WireCase more[] = {
        {"Send_StartPPKpt", [](EmGnss_Receiver& s) { s.Send_StartPPKpt(&startPoint); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_StartPPKpt(c, &startPoint); }},
        {"Send_EndPPKpt", [](EmGnss_Receiver& s) { s.Send_EndPPKpt(&endPoint); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_EndPPKpt(c, &endPoint); }},
        {"Send_AntHeightSettedPPKpt",
         [](EmGnss_Receiver& s) { s.Send_AntHeightSettedPPKpt(&antPoint); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_AntPPKpt(c, &antPoint); }},
        {"Send_Radio_Power()", [](EmGnss_Receiver& s) { s.Send_Radio_Power(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Radio_Power(c); }},
        {"Set_Static_Begin(bool)", [](EmGnss_Receiver& s) { s.Set_Static_Begin(true); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, true); }},
        {"Set_Static_Begin(bool, unsigned short)",
         [](EmGnss_Receiver& s) { s.Set_Static_Begin(false, 7); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Static_Begin(c, false, 7); }},
        {"Set_Velta_NMEA(list, rate)", [](EmGnss_Receiver& s) { s.Set_Velta_NMEA(nmea, 1); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Velta_NMEA(c, nmea, 1); }},
        {"Set_Velta_NMEA(list, rate, flag)",
         [](EmGnss_Receiver& s) { s.Set_Velta_NMEA(nmea, 1, true); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_Velta_NMEA(c, nmea, 1, true); }},
        {"Send_Gprs_Version", [](EmGnss_Receiver& s) { s.Send_Gprs_Version(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_Version(c); }},
        {"Set_DevcInfo_Mask", [](EmGnss_Receiver& s) { s.Set_DevcInfo_Mask(15); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_DevcInfo_Mask(c, 15); }},
    };
    for (const WireCase& c : more) {
        run(c);
    }
    // The handheld's baud code 0-4 to the receiver's rate codes 3, 5, 6, 8, 9; anything else 3.
    const struct {
        int code;
        int rate;
    } bauds[] = {{0, 3}, {1, 5}, {2, 6}, {3, 8}, {4, 9}, {7, 3}};
    for (const auto& b : bauds) {
        const int rate = b.rate;
        const int code = b.code;
        run({"Set_Com_Baudrate(Com_Baudrate)",
             [code](EmGnss_Receiver& s) { s.Set_Com_Baudrate(static_cast<Com_Baudrate>(code)); },
             [rate](Em_Gnss& g, Cmd_List& c) {
                 QX_COM_BAUD_ENUM value = static_cast<QX_COM_BAUD_ENUM>(rate);
                 g.Get_Cmd_Com_Baudrate(c, &value, static_cast<QX_COM_PORT_ENUM>(1));
             }});
    }
    // A builder that has nothing for this receiver: nothing written, the writer still woken.
    const int built = nonEmpty_;
    EXPECT_GE(built, 8 + 10 + 6);
    run({"Send_Modem_Dial on the old protocol", [](EmGnss_Receiver& s) { s.Send_Modem_Dial(true); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Modem_Dial(c, true); }});
    EXPECT_EQ(nonEmpty_, built) << "the new-protocol modem command has no old-protocol form";
    finish();
}

TEST_F(WireTest, NewProtocolRequestsArriveAsTheirBuildersMakeThem) {
    open(MAINBD_NEWPROTOCOL);
    static const unsigned int power = 2;
    static const unsigned char sensitivity = 3;
    static const unsigned char fec = 1;
    static const unsigned short linkMode = 2;
    static QX_RADIO_CALLSIGN_STRUCT callsign{};
    static const DataFreq one{0x0401, 5};
    static const std::vector<DataFreq> several{{0x0401, 1}, {0x0402, 2}};
    static BASE_POS_LIST_STRUCT baseList{};
    const auto io1 = static_cast<QX_GNSS_IO_ID_ENUM>(1);
    const WireCase cases[] = {
        {"Send_Modem_Dial", [](EmGnss_Receiver& s) { s.Send_Modem_Dial(true); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Modem_Dial(c, true); }},
        {"Send_Radio_Power(const unsigned int*)",
         [](EmGnss_Receiver& s) { s.Send_Radio_Power(&power); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Power(c, &power); }},
        {"Send_Radio_Sensitivity(const unsigned char*)",
         [](EmGnss_Receiver& s) { s.Send_Radio_Sensitivity(&sensitivity); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Sensitivity(c, &sensitivity); }},
        {"Send_Radio_FEC(const unsigned char*)", [](EmGnss_Receiver& s) { s.Send_Radio_FEC(&fec); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_FEC(c, &fec); }},
        {"Send_Radio_Callsign(query)",
         [](EmGnss_Receiver& s) {
             s.Send_Radio_Callsign(static_cast<const QX_RADIO_CALLSIGN_STRUCT*>(nullptr));
         },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Callsign(c, nullptr); }},
        {"Send_Radio_Callsign(set)", [](EmGnss_Receiver& s) { s.Send_Radio_Callsign(&callsign); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Radio_Callsign(c, &callsign); }},
        {"Send_Gnss_Data_Freq(enum)",
         [](EmGnss_Receiver& s) { s.Send_Gnss_Data_Freq(static_cast<QX_DATA_FRQ_ENUM>(2)); },
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_Gnss_Data_Freq(c, static_cast<QX_DATA_FRQ_ENUM>(2));
         }},
        {"Send_Gnss_Data_Freq(entry)",
         [io1](EmGnss_Receiver& s) { s.Send_Gnss_Data_Freq(one, io1); },
         [io1](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Gnss_Data_Freq(c, one, io1); }},
        {"Send_Gnss_Data_Freq(list)",
         [io1](EmGnss_Receiver& s) { s.Send_Gnss_Data_Freq(several, io1); },
         [io1](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Gnss_Data_Freq(c, several, io1); }},
        {"Send_System_Admin_Cmd", [](EmGnss_Receiver& s) { s.Send_System_Admin_Cmd(5); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_System_Admin(c, 5); }},
        {"Send_Magnetometer_Calibration",
         [](EmGnss_Receiver& s) { s.Send_Magnetometer_Calibration(true, 3); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Magnetometer_Calibration(c, true, 3); }},
        {"Send_Gprs_GetList", [](EmGnss_Receiver& s) { s.Send_Gprs_GetList(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_NetLink_Source_List_Query(c); }},
        {"Send_NetLink_Source_List_Query",
         [](EmGnss_Receiver& s) { s.Send_NetLink_Source_List_Query(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_NetLink_Source_List_Query(c); }},
        {"Send_DataLink_Mode(set)", [](EmGnss_Receiver& s) { s.Send_DataLink_Mode(&linkMode); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_DataLink_Mode(c, &linkMode); }},
        {"Send_File_Record_Open",
         [](EmGnss_Receiver& s) {
             s.Send_File_Record_Open(true, static_cast<QX_FILE_RECORD_IO_ID_ENUM>(1));
         },
         [](Em_Gnss& g, Cmd_List& c) {
             g.Get_Cmd_File_Record_Open(c, true, static_cast<QX_FILE_RECORD_IO_ID_ENUM>(1));
         }},
        {"Send_Gnss_Base_Position_list",
         [](EmGnss_Receiver& s) { s.Send_Gnss_Base_Position_list(&baseList); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Gnss_Base_Position_list(c, &baseList); }},
        {"Send_Gnss_ElevMask(set)", [](EmGnss_Receiver& s) { s.Set_Gnss_ElevMask(0x1234); },
         [](Em_Gnss& g, Cmd_List& c) {
             const unsigned char low = 0x34;
             g.Get_Cmd_Gnss_ElevMask(c, &low);
         }},
    };
    for (const WireCase& c : cases) {
        run(c);
    }
    EXPECT_EQ(nonEmpty_, static_cast<int>(sizeof cases / sizeof cases[0]));
    finish();
}

namespace {

// The operations whose builder does not follow from their own name (Send_X to Get_Cmd_X, Set_X
// and Query_X to X), not covered above, each with the builder it must call.
std::vector<WireCase> renamedCases() {
    static unsigned char block[128];
    for (unsigned i = 0; i < sizeof block; ++i) {
        block[i] = static_cast<unsigned char>(0x80 + i);
    }
    return {
        {"Send_DeviceInfo", [](EmGnss_Receiver& s) { s.Send_DeviceInfo(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_DeviceInfo(c); }},
        {"Send_Battery", [](EmGnss_Receiver& s) { s.Send_Battery(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Battery(c); }},
        {"Send_CloseReceiver", [](EmGnss_Receiver& s) { s.Send_CloseReceiver(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_CloseReceiver(c); }},
        {"Send_Gnss_Reset", [](EmGnss_Receiver& s) { s.Send_Gnss_Reset(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gnss_Reset(c); }},
        {"Send_DevcInfo_Update_Str", [](EmGnss_Receiver& s) { s.Send_DevcInfo_Update_Str(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_DevcInfo_Update_Str(c); }},
        {"Send_DevcInfo_Update_Crs",
         [](EmGnss_Receiver& s) { s.Send_DevcInfo_Update_Crs(0x1234, block, 128); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_DevcInfo_Update_Crs(c, 0x1234, block, 128); }},
        {"Set_SatelliteChannelStatus", [](EmGnss_Receiver& s) { s.Set_SatelliteChannelStatus(5); },
         [](Em_Gnss& g, Cmd_List& c) { g.Set_DevcInfo_ChannelStatus(c, 5); }},
        {"Set_Position_Frq", [](EmGnss_Receiver& s) { s.Set_Position_Frq(GNSS_FRQ_1); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Position_Frq(c, GNSS_FRQ_1); }},
        {"Send_Gnss_Obs", [](EmGnss_Receiver& s) { s.Send_Gnss_Obs(GNSS_FRQ_1); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gnss_Obs(c, GNSS_FRQ_1); }},
        {"Send_Gnss_Ephemeris", [](EmGnss_Receiver& s) { s.Send_Gnss_Ephemeris(GNSS_FRQ_1); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gnss_Ephemeris(c, GNSS_FRQ_1); }},
        {"Send_Gnss_EphemSat", [](EmGnss_Receiver& s) { s.Send_Gnss_EphemSat(7); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gnss_EphemSat(c, 7); }},
        {"Send_Gnss_UnlogData", [](EmGnss_Receiver& s) { s.Send_Gnss_UnlogData(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gnss_UnlogData(c); }},
        {"Query_NMEA_Output_Configs", [](EmGnss_Receiver& s) { s.Query_NMEA_Output_Configs(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Query_NMEA_Output_Config(c); }},
        {"Send_Gprs_Info", [](EmGnss_Receiver& s) { s.Send_Gprs_Info(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Info(c); }},
        {"Send_Gprs_Status", [](EmGnss_Receiver& s) { s.Send_Gprs_Status(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Status(c); }},
        {"Send_Gprs_Eroinfo", [](EmGnss_Receiver& s) { s.Send_Gprs_Eroinfo(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Eroinfo(c); }},
        {"Send_Gprs_Reset", [](EmGnss_Receiver& s) { s.Send_Gprs_Reset(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_Reset(c); }},
        {"Send_Gprs_CosMdl", [](EmGnss_Receiver& s) { s.Send_Gprs_CosMdl(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Gprs_CosMdl(c); }},
        {"Send_Dial_Prtl", [](EmGnss_Receiver& s) { s.Send_Dial_Prtl(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Dial_Prtl(c); }},
        {"Send_Cors_Info_Auto", [](EmGnss_Receiver& s) { s.Send_Cors_Info_Auto(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Cors_Info_Auto(c); }},
        {"Send_Gprs_DisConct", [](EmGnss_Receiver& s) { s.Send_Gprs_DisConct(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DisConct(c); }},
        {"Send_Gprs_DiffInfo", [](EmGnss_Receiver& s) { s.Send_Gprs_DiffInfo(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Send_Gprs_DiffInfo(c); }},
        {"QueryStaticStatus", [](EmGnss_Receiver& s) { s.QueryStaticStatus(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Query_Static_Status(c); }},
        {"Delete_Static_File", [](EmGnss_Receiver& s) { s.Delete_Static_File(0x01020304); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Delete_Static_File(c, 0x01020304); }},
        {"Add_BasePos_To_List", [](EmGnss_Receiver& s) { s.Add_BasePos_To_List(1.5, -2.25, 30.0); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Add_BasePos_To_List(c, 1.5, -2.25, 30.0); }},
        {"Query_BasePosition_List", [](EmGnss_Receiver& s) { s.Query_BasePosition_List(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Read_BasePosition_List(c); }},
        {"Remove_BasePos_From_List", [](EmGnss_Receiver& s) { s.Remove_BasePos_From_List(2); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Remove_BasePos_From_List(c, 2); }},
        {"Clear_BasePosition_List", [](EmGnss_Receiver& s) { s.Clear_BasePosition_List(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Clear_BasePosition_List(c); }},
        {"Query_BasePosition_Difference",
         [](EmGnss_Receiver& s) { s.Query_BasePosition_Difference(); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Get_BasePosition_Difference(c); }},
        {"Set_BasePosition_Difference",
         [](EmGnss_Receiver& s) { s.Set_BasePosition_Difference(0.25); },
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Set_BasePosition_Difference(c, 0.25); }},
    };
}

}  // namespace

TEST_F(WireTest, RenamedOperationsCallTheirNamedBuildersOnOldProtocol) {
    open(MAINBD_NOVATEL);
    for (const WireCase& c : renamedCases()) {
        run(c);
    }
    finish();
}

// Most of these have no new-protocol form: nothing written, the writer still woken.
TEST_F(WireTest, RenamedOperationsCallTheirNamedBuildersOnNewProtocol) {
    open(MAINBD_NEWPROTOCOL);
    for (const WireCase& c : renamedCases()) {
        run(c);
    }
    finish();
}

// The six operations with a result hand on what their builder returns, and queue what it built.
TEST_F(WireTest, ValueOperationsReturnTheirBuildersResult) {
    open(MAINBD_NOVATEL);
    struct ValueCase {
        const char* what;
        std::function<int(EmGnss_Receiver&)> op;
        std::function<int(Em_Gnss&, Cmd_List&)> builder;
    };
    const ValueCase cases[] = {
        {"Send_Radio_Frq", [](EmGnss_Receiver& s) { return s.Send_Radio_Frq(); },
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Frq(c); }},
        {"Send_Radio_Power()", [](EmGnss_Receiver& s) { return s.Send_Radio_Power(); },
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Radio_Power(c); }},
        {"Set_Radio_Power",
         [](EmGnss_Receiver& s) { return s.Set_Radio_Power(static_cast<Radio_Power>(1)); },
         [](Em_Gnss& g, Cmd_List& c) { return g.Set_Radio_Power(c, static_cast<Radio_Power>(1)); }},
        {"Send_Radio_Baudrate", [](EmGnss_Receiver& s) { return s.Send_Radio_Baudrate(); },
         [](Em_Gnss& g, Cmd_List& c) { return g.Get_Cmd_Radio_Baudrate(c); }},
        {"Set_Radio_Baudrate",
         [](EmGnss_Receiver& s) { return s.Set_Radio_Baudrate(static_cast<Radio_Baudrate>(2)); },
         [](Em_Gnss& g, Cmd_List& c) {
             return g.Set_Radio_Baudrate(c, static_cast<Radio_Baudrate>(2));
         }},
        {"Send_Gprs_Version", [](EmGnss_Receiver& s) { return int(s.Send_Gprs_Version()); },
         [](Em_Gnss& g, Cmd_List& c) { return int(g.Send_Gprs_Version(c)); }},
    };
    for (const ValueCase& v : cases) {
        int got = -12345;
        int want = -54321;
        run({v.what, [&](EmGnss_Receiver& s) { got = v.op(s); },
             [&](Em_Gnss& g, Cmd_List& c) { want = v.builder(g, c); }});
        EXPECT_EQ(got, want) << v.what;
    }
    finish();
}

// The data-link switch: each mode's two operations in order, or nothing.
TEST_F(WireTest, DisableOtherDataLinkByMode) {
    open(MAINBD_NEWPROTOCOL);
    const auto off = [](Em_Gnss& g, Cmd_List& c, int mode) {
        const auto io = [](int n) { return static_cast<QX_GNSS_IO_ID_ENUM>(n); };
        switch (mode) {
            case 1:
                g.Get_Cmd_NetLink_Connect(c, false);
                g.Get_Cmd_Gnss_Data_Unlogall(c, io(6));
                break;
            case 2:
            case 3:
                g.Get_Cmd_Radio_Power_On(c, false);
                g.Get_Cmd_Gnss_Data_Unlogall(c, io(5));
                break;
            case 4:
                g.Get_Cmd_NetLink_Connect(c, false);
                g.Get_Cmd_Radio_Power_On(c, false);
                break;
            default:
                break;
        }
    };
    for (int mode : {1, 2, 3, 4}) {
        run({"Disable_Other_DataLink",
             [mode](EmGnss_Receiver& s) {
                 s.Disable_Other_DataLink(static_cast<QX_DATALINK_MODE_ENUM>(mode));
             },
             [mode, off](Em_Gnss& g, Cmd_List& c) { off(g, c, mode); }});
    }
    for (int mode : {0, 5}) {
        holdWriterInAPause();
        session_->Disable_Other_DataLink(static_cast<QX_DATALINK_MODE_ENUM>(mode));
        EXPECT_FALSE(Probe::writeEventSet(*session_)) << "mode " << mode << " wakes nobody";
        EXPECT_TRUE(Probe::pendingLengths(*session_).empty()) << "mode " << mode;
    }
    finish();
}

// Every command of the antenna-type request is printed as an "FS:<index>" block of hex bytes.
TEST_F(WireTest, StaticAntennaTypePrintsEachCommand) {
    open(MAINBD_NOVATEL);
    // The old builder renders one frame whatever the length; the two-block form is covered by
    // the command-dump unit test.
    const std::string name(600, 'A');
    Cmd_List cmds;
    reference_->Set_Static_AnteType(cmds, name.c_str());
    ASSERT_GE(cmds.size(), 1u);
    std::string want;
    char line[16];
    for (std::size_t i = 0; i < cmds.size(); ++i) {
        want += "FS:" + std::to_string(i) + "\n";
        for (unsigned b = 0; b < cmds[i].length; ++b) {
            std::snprintf(line, sizeof line, " 0x%02X", cmds[i].data[b]);
            want += line;
        }
        want += "\n";
    }
    ::testing::internal::CaptureStdout();
    session_->Set_Static_AntType(name.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), want);
    // And the same commands reach the receiver.
    const Expected bytes = expectedOf(cmds);
    ASSERT_TRUE(peer_.waitReceived(consumed_ + bytes.bytes.size(), 10000));
    EXPECT_TRUE(sameMasked(peer_.received().substr(consumed_, bytes.bytes.size()), bytes));
    consumed_ += bytes.bytes.size();
    finish();
}
