// Em_Gnss operations that decide per call whether the receiver is old, new or another maker's,
// and the board results they read.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "BVParse/Em_GnssProtocol.h"
#include "Em_OemNewData.h"
#include "Em_OemProtocol.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "support/Facade_Receivers.h"
#include "support/NewWireHelpers.h"
#include "support/Recording_Board.h"
#include "support/Scoped_Protocol_Factory.h"

using namespace Brevan2011::BVParse;
using namespace Brevan2011::BVParse::testing_support;
using oldtest::Bytes;

namespace {

uint32_t Float_Bits(float f) {
    uint32_t w;
    std::memcpy(&w, &f, sizeof(w));
    return w;
}

}  // namespace

// Old receivers get the exact frame bytes, new ones the stated packet, others nothing.
TEST(GnssFacade, KindDispatch) {
    // Get_QxMdl: mode × port kind on the old receiver.
    struct Mode {
        unsigned mode;
        Bytes payload;
    };
    const Mode modes[] = {{1, {1, 254}}, {11, {11}}, {12, {12}}, {99, {0}}};
    for (const Mode& m : modes) {
        for (int port : {1, 2, 3}) {
            SCOPED_TRACE("mode " + std::to_string(m.mode) + " port " + std::to_string(port));
            Receivers r;
            r.old.Set_Com_Status(static_cast<Com_Status>(port));
            Cmd_List cmds;
            r.old.Get_QxMdl(cmds, m.mode);
            if (port == 3) {
                EXPECT_TRUE(cmds.empty());
                continue;
            }
            ASSERT_EQ(cmds.size(), 1u);
            EXPECT_EQ(Bytes_Of(cmds[0]), oldtest::Frame("ST", m.payload, port == 1 ? 0x18 : 0x38));
            EXPECT_EQ(cmds[0].pause, 100u);
        }
    }
    {
        Receivers r;
        Cmd_List cmds;
        r.neu.Get_QxMdl(cmds, 11);
        std::vector<NewWire::Frame> frames;
        std::string error;
        ASSERT_TRUE(NewWire::ReadFrames(cmds, frames, &error)) << error;
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].commandId, 264u);
        ASSERT_EQ(frames[0].items.size(), 2u);
        EXPECT_EQ(frames[0].items[0].tag, 1);
        EXPECT_EQ(frames[0].items[0].value, NewWire::U16(2));
        EXPECT_EQ(frames[0].items[1].tag, 264);
        EXPECT_EQ(frames[0].items[1].value, NewWire::U16(11));
        cmds.clear();
        r.oem.Get_QxMdl(cmds, 1);
        EXPECT_TRUE(cmds.empty());
    }

    // Set_Gprs_BaseId: one '@' frame of command 94 for up to 198 bytes, on old receivers only.
    {
        Receivers r;
        for (unsigned n : {0u, 5u, 198u, 199u}) {
            SCOPED_TRACE(n);
            const Bytes id(n == 0 ? 1 : n, 0x5A);
            Cmd_List cmds;
            r.old.Set_Gprs_BaseId(cmds, id.data(), n);
            if (n > 198) {
                EXPECT_TRUE(cmds.empty());
                continue;
            }
            ASSERT_EQ(cmds.size(), 1u);
            const Bytes f = Bytes_Of(cmds[0]);
            EXPECT_EQ(cmds[0].pause, 200u);
            ASSERT_EQ(f.size(), n + 6 + 9);
            EXPECT_EQ(f[2], 'V');
            EXPECT_EQ(f[3], 'S');
            EXPECT_EQ(f[4], 0x1B);
            EXPECT_EQ(f[5], n + 6);
            EXPECT_EQ(f[6], '@');
            EXPECT_EQ(f[7], 94);
            EXPECT_EQ(f[8], uint8_t(~94));
            EXPECT_EQ(f[9] | f[10] << 8, int(n));
            uint8_t x = 0;
            for (size_t i = 2; i < f.size() - 2; ++i) {
                x ^= f[i];
            }
            EXPECT_EQ(x, 0) << "check byte";
            for (Em_Gnss* g : {&r.neu, &r.oem}) {
                Cmd_List none;
                g->Set_Gprs_BaseId(none, id.data(), n);
                EXPECT_TRUE(none.empty());
            }
        }
    }

    // State readers: old state, the new board's value or fallback, fallback on OEM.
    {
        Receivers r;
        r.Old().wireless.modemVersion = 3.65;
        r.Old().wireless.signalValue = 23;
        r.Old().wireless.gprsStatus = 4;
        r.New().modemSignal.level = 3;
        EXPECT_DOUBLE_EQ(r.old.GetInfo_Gprs_Version(), 3.65);
        EXPECT_DOUBLE_EQ(r.neu.GetInfo_Gprs_Version(), -1.0);
        EXPECT_DOUBLE_EQ(r.oem.GetInfo_Gprs_Version(), -1.0);
        EXPECT_EQ(r.old.GetInfo_Gprs_Signa(), 23);
        EXPECT_EQ(r.neu.GetInfo_Gprs_Signa(), 3);
        EXPECT_EQ(r.oem.GetInfo_Gprs_Signa(), -1);
        EXPECT_EQ(r.old.GetInfo_Gprs_Status(), 4);
        EXPECT_EQ(r.neu.GetInfo_Gprs_Status(), -1);
        EXPECT_EQ(r.oem.GetInfo_Gprs_Status(), -1);

        // Differential information: exactly the stored count.
        for (int i = 0; i < 200; ++i) {
            r.Old().rxData[i] = uint8_t(i);
        }
        r.Old().rxLength = 200;
        unsigned char out[204];
        std::memset(out, 0xEE, sizeof(out));
        int count = -5;
        r.old.Get_Gprs_DiffInfo(out, &count);
        EXPECT_EQ(count, 200);
        EXPECT_EQ(out[199], 199);
        EXPECT_EQ(out[200], 0xEE);
        r.Old().rxLength = 5000;  // never beyond the store
        r.old.Get_Gprs_DiffInfo(out, &count);
        EXPECT_EQ(count, 200);
        for (Em_Gnss* g : {&r.neu, &r.oem}) {
            count = -5;
            g->Get_Gprs_DiffInfo(out, &count);
            EXPECT_EQ(count, 0);
        }
    }
}

TEST(GnssFacade, RadioFrequencyAndFirmwareBlock) {
    Receivers r;
    r.Old().radio.frequency = 463.125;
    r.New().radioFrequency = Float_Bits(438.5f);
    EXPECT_DOUBLE_EQ(r.old.Get_Radio_Frq(), 463.125);
    EXPECT_DOUBLE_EQ(r.neu.Get_Radio_Frq(), 438.5);
    EXPECT_DOUBLE_EQ(r.oem.Get_Radio_Frq(), -1.0);

    // Block 256 whatever id is asked for, handed out once.
    auto& block = r.Old().firmwareDb[256];
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = uint8_t(i + 1);
    }
    FIRMWARE_DEBUG out;
    std::memset(&out, 0, sizeof(out));
    r.old.Get_FirmWare_Db(7, out);
    EXPECT_EQ(out.Data[0], 1);
    EXPECT_EQ(out.Data[203], 204);
    std::memset(&out, 0, sizeof(out));
    r.old.Get_FirmWare_Db(256, out);
    EXPECT_EQ(out.Data[0], 0);
    r.neu.Get_FirmWare_Db(256, out);
    r.oem.Get_FirmWare_Db(256, out);
    EXPECT_EQ(out.Data[203], 0);
}

TEST(GnssFacade, StaticRecordingState) {
    Receivers r;
    std::memset(r.Old().antennaType, 'A', sizeof(r.Old().antennaType));  // unterminated
    r.Old().staticTime[0] = 11;
    r.Old().staticTime[1] = 22;
    char ant[21];
    std::memset(ant, 'x', sizeof(ant));
    r.old.Get_Static_AntType(ant);
    EXPECT_EQ(std::string(ant), std::string(20, 'A'));
    unsigned a = 0, b = 0;
    r.old.Get_Static_Time(a, b);
    EXPECT_EQ(a, 11u);
    EXPECT_EQ(b, 22u);
    std::memset(ant, 'x', sizeof(ant));
    r.neu.Get_Static_AntType(ant);
    r.oem.Get_Static_Time(a, b);
    EXPECT_EQ(ant[0], 'x');
    EXPECT_EQ(a, 11u);
}

TEST(GnssFacade, TiltInformation) {
    Receivers r;
    for (int i = 0; i < 9; ++i) {
        r.Old().bubble.words[i] = uint32_t(i * 11);
    }
    eBubble_info out;
    r.old.Get_eBubble_info(out);
    EXPECT_EQ(out.Words[8], 88);
    QX_GNSS_EBUBBLE_STRUCT& b = r.New().eBubble;
    b.state = 1;
    b.v1 = 7;
    b.v2 = 2;
    b.v3 = 3;
    b.v4 = 4;
    b.v5 = 10000;
    b.v6 = 20000;
    b.v7 = int32_t(Float_Bits(2.75f));
    b.v8 = -9;
    r.neu.Get_eBubble_info(out);
    const int32_t want[9] = {1, 7, 720, 1080, 1440, 36, 72, 7200, -9};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(out.Words[i], want[i]) << i;
    }
    b.v7 = int32_t(Float_Bits(1e30f));  // stays inside the word
    b.v5 = 200000000u;                  // times 36 is beyond 32 bits
    b.v6 = 0xFFFFFFFFu;
    r.neu.Get_eBubble_info(out);
    EXPECT_EQ(out.Words[7], 596523 * 3600);
    EXPECT_EQ(out.Words[5], 720000);
    EXPECT_EQ(out.Words[6], 15461882);
    std::memset(&out, 0, sizeof(out));
    r.oem.Get_eBubble_info(out);
    EXPECT_EQ(out.Words[1], 0);
}

TEST(GnssFacade, SourceListByKind) {
    Receivers r;
    std::memcpy(r.Old().wireless.sourceList, "OLD;LIST", 8);
    r.Old().wireless.sourceListLength = 8;
    std::memcpy(r.New().netSourceList, "NEW", 3);
    r.New().netSourceCount = 3;
    std::vector<char> out(4096, 0);
    int count = -1;
    r.old.Get_Gprs_GetList(out.data(), &count);
    EXPECT_EQ(std::string(out.data(), size_t(count)), "OLD;LIST");
    r.neu.Get_Gprs_GetList(out.data(), &count);
    EXPECT_EQ(std::string(out.data(), size_t(count)), "NEW");
    count = -1;
    r.oem.Get_Gprs_GetList(out.data(), &count);
    EXPECT_EQ(count, -1);
    r.Old().wireless.sourceListLength = 99999;  // never past the record
    r.old.Get_Gprs_GetList(out.data(), &count);
    EXPECT_EQ(count, Em_OldWirelessRecord::kSourceListSize);
}

TEST(GnssFacade, BatteryGrade) {
    Receivers r;
    r.Old().batteryLevel = 7;
    EXPECT_EQ(r.old.Get_Battery_Grd(), 7);
    EXPECT_EQ(r.oem.Get_Battery_Grd(), -1);
    struct Case {
        uint32_t power;
        float a, b;
        int grade;
    };
    const Case cases[] = {
        {0, 99.6f, 80.2f, 9}, {2, 99.6f, 80.2f, 12}, {1, 100.0f, 100.0f, 10},
        {0, 0.0f, 0.0f, 0},   {0, 54.6f, 50.0f, 5},  {0, 500.0f, 900.0f, 10},
    };
    for (const Case& c : cases) {
        r.New().powerStatus.value[0] = c.power;
        r.New().powerStatus.value[1] = Float_Bits(c.a);
        r.New().powerStatus.value[2] = Float_Bits(c.b);
        EXPECT_EQ(r.neu.Get_Battery_Grd(), c.grade) << c.a << " " << c.b << " power " << c.power;
    }
    // A receiver may send the levels as whole percents: a word of at most 100 is one, and the
    // two forms may meet in one report.
    struct Words {
        uint32_t a, b;
        int grade;
    };
    const Words words[] = {
        {80, 60, 7},
        {100, 100, 10},
        {0, 0, 0},
        {55, 45, 5},
        {1, 0, 0},
        {80, Float_Bits(60.0f), 7},
        {Float_Bits(1.0f), 1, 0},
        {101, 100, 5},
    };
    for (const Words& w : words) {
        r.New().powerStatus.value[0] = 1;
        r.New().powerStatus.value[1] = w.a;
        r.New().powerStatus.value[2] = w.b;
        EXPECT_EQ(r.neu.Get_Battery_Grd(), w.grade) << w.a << " " << w.b;
    }
}

TEST(GnssFacade, TimeZoneKeepsZeroToTwentyFour) {
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
    const int given[] = {0, 24, 25, -1, 13};
    const int kept[] = {0, 24, 8, 8, 13};
    for (size_t i = 0; i < 5; ++i) {
        gnss.Set_TimeZone(given[i]);
        EXPECT_EQ(gnss.Get_TimeZone(), kept[i]) << given[i];
    }
}

// Format 16 becomes the format of the receiver model (device byte 75); bytes 18-21 of the
// record reach the protocol object's last word; the record reaches the board's base block.
TEST(GnssFacade, BaseConfigResolvesFormatByModel) {
    const int models[] = {0, 1, 2, 3, 4, 5, 9};
    const int formats[] = {3, 6, 4, 7, 5, 12, 14};
    for (size_t i = 0; i < 7; ++i) {
        Receivers r;
        reinterpret_cast<unsigned char*>(&r.Old().device)[75] = uint8_t(models[i]);
        Base_Config cfg;
        std::memset(&cfg, 0, sizeof(cfg));
        cfg.Diff_Format = 16;
        cfg.Station_Id = 77;
        cfg.Port_Index = 0x01020304;
        r.old.Set_Gnss_BsCfg(cfg);
        ASSERT_NE(r.old.Get_Gnss_BsCfg(), nullptr);
        EXPECT_EQ(+r.old.Get_Gnss_BsCfg()->Diff_Format, formats[i]) << models[i];
        EXPECT_EQ(+r.old.Get_Gnss_BsCfg()->Station_Id, 77);
        EXPECT_EQ(r.old.Get_Protocol()->Get_Last_Word(), 0x01020304);
    }
    // Other receivers read an all-zero device record: model 0.
    Receivers r;
    Base_Config cfg;
    std::memset(&cfg, 0, sizeof(cfg));
    cfg.Diff_Format = 16;
    r.oem.Set_Gnss_BsCfg(cfg);
    EXPECT_EQ(+r.oem.Get_Gnss_BsCfg()->Diff_Format, 3);
    cfg.Diff_Format = 9;
    r.oem.Set_Gnss_BsCfg(cfg);
    EXPECT_EQ(+r.oem.Get_Gnss_BsCfg()->Diff_Format, 9);

    Rover_Config rover;
    std::memset(&rover, 0, sizeof(rover));
    rover.Elev_Mask = 12;
    r.oem.Set_Gnss_RvCfg(rover);
    EXPECT_EQ(+r.oem.Get_Gnss_RvCfg()->Elev_Mask, 12);
}

// Counts and numbers from the board never reach past the tables.
TEST(GnssFacade, SatellitesAndEphemeridesStayInBounds) {
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
    Em_OemData& d = *gnss.Get_Protocol()->Board()->Data();
    for (int i = 0; i < 32; ++i) {
        d.Sat_Glo[i].Prn = 100 + i;
    }
    d.Sat_Glo_Count = 3;
    std::vector<SATLLITE_STR> out(32);
    unsigned count = 99;
    gnss.Get_Gnss_SatInfo(2, &count, out.data());
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(out[2].Prn, 102);
    for (int constellation : {0, 6}) {
        count = 99;
        gnss.Get_Gnss_SatInfo(constellation, &count, out.data());
        EXPECT_EQ(count, 0u) << constellation;
    }
    d.Sat_Glo_Count = 33;
    count = 99;
    gnss.Get_Gnss_SatInfo(2, &count, out.data());
    EXPECT_EQ(count, 0u);

    ASSERT_TRUE(d.Eph);
    for (int n = 0; n < Em_OemData::kEphCount; ++n) {
        d.Eph[size_t(n)].sat = n + 1;
    }
    struct Case {
        int n;
        unsigned system;  // 0: nothing copied
    };
    const Case cases[] = {{0, 0},   {1, 1},   {32, 1},  {33, 0}, {40, 0},
                          {161, 4}, {196, 4}, {197, 0}, {-3, 0}};
    for (const Case& c : cases) {
        d.Eph_Last_Sat = c.n;
        em_eph_t eph;
        std::memset(&eph, 0, sizeof(eph));
        unsigned system = 0;
        gnss.Get_Gnss_Ephemeris(&system, &eph);
        EXPECT_EQ(system, c.system) << c.n;
        EXPECT_EQ(eph.sat, c.system ? c.n : 0) << c.n;
    }
}

namespace {

// A data parser with a 64-record observation store and a count of its own.
class Obs_Data : public Script_Data {
public:
    const void* Obs_Store(int* count, int* capacity) const override {
        *count = Count;
        *capacity = 64;
        return Store;
    }
    obsd_t Store[64];
    int Count = 0;
};

class Obs_Board : public Em_OemBoard {
public:
    Obs_Board() {
        Set_Board_Type(MAINBD_NOVATEL);
        Set_Data(Data_ = new Obs_Data);
    }
    Obs_Data* Data_;
};

}  // namespace

// The board's observation count is bounded by its store; the copy clears the rest.
TEST(GnssFacade, ObservationsBoundedByTheStore) {
    Obs_Board* board = nullptr;
    Scoped_Board_Registration scope(MAINBD_NOVATEL, [&board] { return board = new Obs_Board; });
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
    ASSERT_NE(board, nullptr);
    for (int i = 0; i < 64; ++i) {
        board->Data_->Store[i].sat = uint8_t(i + 1);
    }
    auto obs = std::make_unique<em_obs_t>();
    struct Case {
        int count, copied;
    };
    for (const Case c : {Case{200, 64}, Case{5, 5}, Case{-1, 0}, Case{64, 64}}) {
        std::memset(static_cast<void*>(obs.get()), 0x77, sizeof(em_obs_t));
        board->Data_->Count = c.count;
        EXPECT_EQ(gnss.Get_Gnss_Obs_t(obs.get()), c.copied) << c.count;
        if (c.copied > 0) {
            EXPECT_EQ(obs->data[c.copied - 1].sat, c.copied);
        }
        EXPECT_EQ(obs->data[c.copied].sat, 0) << "cleared past the copy";
        EXPECT_EQ(obs->data[em_obs_t::kMax - 1].sat, 0);
    }
    // The base parser keeps no store.
    Em_Gnss plain(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
    EXPECT_EQ(plain.Get_Gnss_Obs_t(obs.get()), 0);
}

// GGA text by receiver kind, satellite use by flag, the last RTCM 3 frame store.
TEST(GnssFacade, GgaTextSatUseAndFrameStore) {
    Receivers r;
    auto& newData = dynamic_cast<Em_OemNewData&>(*r.neu.Get_Protocol()->Board()->Data());
    const char kNewGga[] = "$GPGGA,new*00\r\n";
    std::memcpy(newData.sentence, kNewGga, sizeof(kNewGga) - 1);
    newData.sentenceLength = sizeof(kNewGga) - 1;
    Em_OemData& oemData = *r.oem.Get_Protocol()->Board()->Data();
    const char kOemGga[] = "$GPGGA,oem*00\r\n";
    std::memcpy(oemData.Gga_Text, kOemGga, sizeof(kOemGga) - 1);
    oemData.Gga_Len = sizeof(kOemGga) - 1;
    std::vector<unsigned char> text(2048);
    unsigned length = 0;
    r.neu.Get_Gnss_Gpgga(text.data(), &length);
    EXPECT_EQ(std::string(text.begin(), text.begin() + length), kNewGga);
    r.oem.Get_Gnss_Gpgga(text.data(), &length);
    EXPECT_EQ(std::string(text.begin(), text.begin() + length), kOemGga);

    oemData.Sat_Use[0] = 3;
    oemData.Sat_Use[1] = 9;
    SAT_USE use{0, 0};
    EXPECT_EQ(r.oem.Get_Gnss_SatUse(1, &use), 0u);
    EXPECT_EQ(use.Word1, 0u);
    EXPECT_EQ(r.oem.Get_Gnss_SatUse(0, &use), 9u);
    EXPECT_EQ(use.Word1, 9u);
    EXPECT_EQ(use.Word2, 9u);

    ASSERT_TRUE(oemData.Trsmt);
    oemData.Trsmt->Info.Msg_No = 1005;
    oemData.Trsmt->Info.Length = 25;
    oemData.Trsmt->Info.Data[24] = 0xAB;
    TRSMT_INFO info;
    std::memset(&info, 0, sizeof(info));
    r.oem.Get_Gnss_Trsinfo(info);
    EXPECT_EQ(info.Msg_No, 1005);
    EXPECT_EQ(info.Length, 25);
    EXPECT_EQ(info.Data[24], 0xAB);
}

// Without a board every result getter leaves its output alone.
TEST(GnssFacade, NoBoardLeavesOutputsAlone) {
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_COMENGINE);
    ASSERT_EQ(gnss.Get_Protocol()->Board(), nullptr);
    POS_INFO pos;
    std::memset(&pos, 0x11, sizeof(pos));
    gnss.Get_Gnss_Pos(&pos);
    EXPECT_EQ(+pos.Sol_Code, 0x11111111);
    Dops dops{1, 2, 3, 4, 5};
    gnss.Get_Gnss_Dops(&dops);
    EXPECT_EQ(dops.Gdop, 5);
    unsigned count = 7;
    gnss.Get_Gnss_SatInfo(1, &count, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(gnss.Get_Gnss_BsCfg(), nullptr);
    Cmd_List cmds;
    EXPECT_EQ(gnss.Set_Gnss_ElevDgre(cmds, 10), 0);
    EXPECT_TRUE(cmds.empty());
}

TEST(GnssFacade, PositionDopsAndPrecisionFromTheBoard) {
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA2);
    Em_OemData& d = *gnss.Get_Protocol()->Board()->Data();
    d.Latitude = 0.5;
    d.Longitude = 1.5;
    d.Height = 40.0;
    d.Sol_Code = 4;
    d.Diff_Age = 2.0;
    d.Year = 2026;
    d.Hour = 7;
    d.Second = 12.5;
    d.Err_Vert = 0.3;
    d.Err_Horz = 0.2;
    d.Err_Rms = 0.1;
    d.Hdop = 1;
    d.Vdop = 2;
    d.Pdop = 3;
    d.Tdop = 4;
    d.Gdop = 5;
    POS_INFO pos;
    gnss.Get_Gnss_Pos(&pos);
    EXPECT_EQ(+pos.Latitude, 0.5);
    EXPECT_EQ(+pos.Height, 40.0);
    EXPECT_EQ(+pos.Sol_Code, 4);
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(&pos);
    int32_t solAt24;
    std::memcpy(&solAt24, raw + 24, 4);
    EXPECT_EQ(solAt24, 4);
    EXPECT_EQ(+pos.Time.Year, 2026);
    EXPECT_EQ(+pos.Time.Second, 12.5);
    EXPECT_EQ(+pos.Err_Vert, 0.3);
    EXPECT_EQ(+pos.Err_Rms, 0.1);
    EXPECT_EQ(+pos.Err_Horz, 0.2);
    Dops dops;
    gnss.Get_Gnss_Dops(&dops);
    EXPECT_EQ(dops.Hdop, 1);
    EXPECT_EQ(dops.Vdop, 2);
    EXPECT_EQ(dops.Pdop, 3);
    EXPECT_EQ(dops.Tdop, 4);
    EXPECT_EQ(dops.Gdop, 5);
    Precisions pr;
    gnss.Get_Gnss_Precision(&pr);
    EXPECT_EQ(pr.Err_Horz, 0.2);
    EXPECT_EQ(pr.Err_Rms, 0.1);
    EXPECT_EQ(pr.Err_Vert, 0.3);
}

namespace {

// Records what slot 24 receives.
class Elev_Spy : public Em_OemProtocol {
public:
    int Set_Gnss_ElevDgre(Cmd_List& cmds, int elevation, double d, int n) override {
        Elevation = elevation;
        Double = d;
        N = n;
        return Em_OemProtocol::Set_Gnss_ElevDgre(cmds, elevation, d, n);
    }
    int Elevation = 0;
    double Double = 0;
    int N = 0;
};

}  // namespace

// The facade's command operations reach the board slots through the protocol object.
TEST(GnssFacade, CommandOperationsReachTheBoard) {
    Scoped_Recording_Board board(MAINBD_NOVATEL);
    Elev_Spy* spy = nullptr;
    Scoped_Protocol_Factory factory([&spy](Em_Protocol_Kind) -> Em_GnssProtocol* {
        spy = new Elev_Spy;
        return spy;
    });
    Em_Gnss gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
    ASSERT_NE(spy, nullptr);
    Cmd_List cmds;
    gnss.Get_Gnss_Inite(cmds);
    gnss.Set_Gnss_ElevDgre(cmds, 15);
    EXPECT_EQ(spy->Elevation, 15);
    EXPECT_EQ(spy->Double, 5.0);
    EXPECT_EQ(spy->N, 4);
    gnss.Get_Gnss_StartBase(cmds);
    gnss.Get_Gnss_StartRover(cmds);
    gnss.Get_Gnss_Reset(cmds);
    gnss.Set_Gnss_PosFrq(cmds, GNSS_FRQ_2);
    gnss.Send_Gnss_Obs(cmds, GNSS_FRQ_3);
    gnss.Send_Gnss_Ephemeris(cmds, GNSS_FRQ_3);
    gnss.Send_Gnss_EphemSat(cmds, 9);
    gnss.Set_Gnss_Nmea(cmds, 1, GNSS_FRQ_1, 0);
    gnss.Set_Gnss_SatUse(cmds, 1, true, 0);
    gnss.Get_Gnss_ElevMask(cmds);
    gnss.Send_Gnss_UnlogData(cmds);
    gnss.Get_Cmd_PassCom(cmds, 3);
    std::vector<std::string> texts;
    for (const _STR_CMD& c : cmds) {
        texts.push_back(Cmd_Text(c));
    }
    const std::vector<std::string> want = {
        "cmd 1", "cmd 6 15 4", "cmd 12",    "cmd 13", "cmd 14", "cmd 2 2", "cmd 3 3",
        "cmd 4", "cmd 5 9",    "cmd 8 1 1", "cmd 10", "cmd 11", "cmd 15 3"};
    EXPECT_EQ(texts, want);
    const unsigned char raw[3] = {1, 2, 3};
    cmds.clear();
    EXPECT_EQ(gnss.Send_DiffDataToGnss(cmds, raw, 3), 1);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].pause, 100u);
    gnss.Set_GNSS_ParseNmea(false);
    EXPECT_EQ(gnss.Get_Protocol()->Board()->Data()->Parse_Nmea, 0);
}
