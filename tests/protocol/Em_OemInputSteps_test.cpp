#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Em_Crc.h"
#include "Em_OemInputSteps.h"
#include "Em_OemNmea.h"
#include "Em_OemNmea2.h"
#include "Em_OemNmeaData.h"
#include "support/Nmea_Text.h"

using namespace Brevan2011::BVParse;
using nmea_test::Sentence;

namespace {

// Data parser that records every sentence handed to it.
class Recording_Data : public Em_OemNmeaData {
public:
    int Parse_Text_Msg(int id, const unsigned char* bytes, int count) override {
        seen.emplace_back(id,
                          std::string(reinterpret_cast<const char*>(bytes), std::size_t(count)));
        return Em_OemNmeaData::Parse_Text_Msg(id, bytes, count);
    }
    std::vector<std::pair<int, std::string>> seen;
};

class Test_Board : public Em_OemBoard {
public:
    Test_Board() : data(new Recording_Data) { Set_Data(data); }
    void Add(const std::string& s) {
        Add_Data(reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size()));
    }
    Recording_Data* data;
};

void Add(Em_OemBoard& b, const std::string& s) {
    b.Add_Data(reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size()));
}

// Whole RTCM 3 frame with `len` message bytes; message number in the first 12 bits.
std::string Rtcm_Frame(unsigned number, int len) {
    std::string f(std::size_t(len) + 6, '\0');
    f[0] = char(0xD3);
    f[1] = char((len >> 8) & 3);
    f[2] = char(len & 0xFF);
    if (len >= 2) {
        f[3] = char(number >> 4);
        f[4] = char((number & 15) << 4);
    }
    const uint32_t crc = Calc_Crc24Q(reinterpret_cast<const unsigned char*>(f.data()), len + 3);
    f[std::size_t(len) + 3] = char(crc >> 16);
    f[std::size_t(len) + 4] = char(crc >> 8);
    f[std::size_t(len) + 5] = char(crc);
    return f;
}

}  // namespace

TEST(NmeaStep, SentenceIds) {
    const std::pair<const char*, int> ids[] = {
        {"GPGGA", 25}, {"GPGLL", 26}, {"GPGSA", 29},  {"GPGST", 30}, {"GPGSV", 31},
        {"GPRMC", 33}, {"GPZDA", 35}, {"GLGSV", 44},  {"GNGGA", 51}, {"GNGLL", 52},
        {"GNGSA", 55}, {"GNRMC", 59}, {"BDGSV", 128}, {"GPVTG", -1}, {"GAGSV", -1}};
    for (const auto& c : ids) {
        Test_Board b;
        b.Add(Sentence(std::string(c.first) + ",1,2"));
        EXPECT_EQ(Parse_NmeaSentence(b), 1) << c.first;
        ASSERT_EQ(b.data->seen.size(), 1u) << c.first;
        EXPECT_EQ(b.data->seen[0].first, c.second) << c.first;
    }
}

TEST(NmeaStep, ConsumesOneSentenceAndKeepsTheRest) {
    Test_Board b;
    const std::string gga = Sentence("GPGGA,083015.50,4807.0380,N,01131.0000,E,4,12,0.8,1,M,1,M,,");
    const std::string rmc = Sentence("GNRMC,083015.50,A,,,,,,,010120,,");
    b.Add(gga + rmc + "$GPG");
    EXPECT_EQ(Parse_NmeaSentence(b), 1);
    EXPECT_EQ(Parse_NmeaSentence(b), 1);
    EXPECT_EQ(Parse_NmeaSentence(b), 0);  // "$GPG" waits
    ASSERT_EQ(b.data->seen.size(), 2u);
    EXPECT_EQ(b.data->seen[0], std::make_pair(25, gga));
    EXPECT_EQ(b.data->seen[1], std::make_pair(59, rmc));
    EXPECT_EQ(b.Input()->Fill, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.Input()->Data), 4), "$GPG");
    EXPECT_EQ(b.Input()->Data[4], 0);  // vacated bytes are zeroed

    // Line ends of a lone LF: the next sentence's '$' stays with it.
    Test_Board c;
    const std::string a = Sentence("GPZDA,201530.00,04,07,2002,00,00", "\n");
    const std::string g = Sentence("GPGSV,1,1,00", "\n");
    c.Add(a + g);
    EXPECT_EQ(Parse_NmeaSentence(c), 1);
    EXPECT_EQ(Parse_NmeaSentence(c), 1);
    ASSERT_EQ(c.data->seen.size(), 2u);
    EXPECT_EQ(c.data->seen[0].second, a);
    EXPECT_EQ(c.data->seen[1].second, g);
    EXPECT_EQ(c.Input()->Fill, 0);
}

TEST(NmeaStep, LongInputWithoutEndIsCleared) {
    Test_Board b;
    b.Add("$GPGGA," + std::string(293, 'x'));  // 300 bytes: waits
    EXPECT_EQ(Parse_NmeaSentence(b), 0);
    EXPECT_EQ(b.Input()->Fill, 300);
    b.Add("y");
    EXPECT_EQ(Parse_NmeaSentence(b), 0);
    EXPECT_EQ(b.Input()->Fill, 0);
    EXPECT_TRUE(b.data->seen.empty());

    // A sentence within the first 300 bytes is still taken from a long buffer.
    Test_Board c;
    const std::string s = Sentence("GPGSV,1,1,00");
    c.Add(s + std::string(400, 'z'));
    EXPECT_EQ(Parse_NmeaSentence(c), 1);
    EXPECT_EQ(c.data->seen.size(), 1u);
    EXPECT_EQ(Parse_NmeaSentence(c), 0);
    EXPECT_EQ(c.Input()->Fill, 0);
}

TEST(RtcmStep, WaitsForTheWholeFrameThenStoresIt) {
    Test_Board b;
    const std::string f = Rtcm_Frame(1004, 19);
    ASSERT_EQ(f.size(), 25u);
    b.Add(f.substr(0, 2));
    EXPECT_EQ(Parse_RtcmFrame(b), 0);
    b.Add(f.substr(2, 22));
    EXPECT_EQ(Parse_RtcmFrame(b), 0);
    EXPECT_EQ(b.Input()->Fill, 24);
    b.Add(f.substr(24) + Rtcm_Frame(1005, 19));
    b.data->Update_Mask = 0x1;
    EXPECT_EQ(Parse_RtcmFrame(b), 1);
    EXPECT_EQ(b.data->Update_Mask, GNSS_FLAG_RTCM3);
    EXPECT_EQ(b.data->Trsmt->Info.Msg_No, 1004);
    EXPECT_EQ(b.data->Trsmt->Info.Length, 25);
    EXPECT_EQ(0, std::memcmp(b.data->Trsmt->Info.Data, f.data(), 25));
    // 1005 is stored but not accepted.
    EXPECT_EQ(Parse_RtcmFrame(b), 1);
    EXPECT_EQ(b.data->Update_Mask, 0u);
    EXPECT_EQ(b.data->Trsmt->Info.Msg_No, 1005);
    EXPECT_EQ(b.Input()->Fill, 0);
}

TEST(RtcmStep, BadCrcClearsTheBuffer) {
    Test_Board b;
    std::string f = Rtcm_Frame(1004, 19);
    f[10] = char(f[10] ^ 0x04);
    b.Add(f + Rtcm_Frame(1004, 19));
    EXPECT_EQ(Parse_RtcmFrame(b), 0);
    EXPECT_EQ(b.Input()->Fill, 0);
    EXPECT_EQ(b.data->Trsmt->Info.Length, 0);
}

TEST(RtcmStep, PassHandsTheWholeBufferOn) {
    Test_Board b;
    b.Add(std::string("\xD3\x00", 2));
    EXPECT_EQ(Pass_RtcmMessage(b), 1);
    EXPECT_EQ(b.data->Trsmt->Info.Msg_No, 0);
    EXPECT_EQ(b.data->Trsmt->Info.Length, 2);
    EXPECT_EQ(b.data->Update_Mask, GNSS_FLAG_RTCM3);  // the pass decoder accepts all
    EXPECT_EQ(b.Input()->Fill, 0);
    const std::string f = Rtcm_Frame(1230, 8);
    b.Add(f);
    EXPECT_EQ(Pass_RtcmMessage(b), 1);
    EXPECT_EQ(b.data->Trsmt->Info.Msg_No, 1230);
    EXPECT_EQ(b.data->Trsmt->Info.Selector, 2);
    EXPECT_EQ(Pass_RtcmMessage(b), 1);  // empty buffer: nothing handed on
}

TEST(NmeaBoards, TalkersOfTypesFiveAndSix) {
    const std::string gngga =
        Sentence("GNGGA,083015.50,4807.0380,N,01131.0000,E,4,12,0.8,1,M,1,M,,");
    const std::string bdgsv = Sentence("BDGSV,1,1,01,11,40,100,45");
    const std::string gpgga =
        Sentence("GPGGA,083015.50,4807.0380,N,01131.0000,E,4,12,0.8,1,M,1,M,,");

    Em_OemNmea five;
    Em_OemNmea2 six;
    EXPECT_EQ(five.Board_Type(), 5);
    EXPECT_EQ(six.Board_Type(), 6);

    Add(five, gngga);
    EXPECT_EQ(five.Parse(), 1);  // discarded whole
    EXPECT_EQ(five.Input()->Fill, 0);
    EXPECT_EQ(five.Data()->Update_Mask, 0u);
    Add(five, bdgsv);
    EXPECT_EQ(five.Parse(), 1);
    EXPECT_EQ(five.Data()->Sat_Bds_Count, 0);
    Add(five, gpgga);
    EXPECT_EQ(five.Parse(), 1);
    EXPECT_EQ(five.Data()->Update_Mask, GNSS_FLAG_GGA_TEXT);

    Add(six, gngga);
    EXPECT_EQ(six.Parse(), 1);
    EXPECT_EQ(six.Data()->Update_Mask, GNSS_FLAG_GGA_TEXT);
    Add(six, bdgsv);
    EXPECT_EQ(six.Parse(), 1);
    EXPECT_EQ(six.Data()->Update_Mask, GNSS_FLAG_SAT_3);
    EXPECT_EQ(six.Data()->Sat_Bds_Count, 1);

    Add(five, gngga);
    EXPECT_EQ(five.Parse(), 1);
    EXPECT_EQ(five.Data()->Update_Mask, 0u);  // the previous GGA's bit is not raised again

    for (Em_OemBoard* b : {static_cast<Em_OemBoard*>(&five), static_cast<Em_OemBoard*>(&six)}) {
        Add(*b, "$G");
        EXPECT_EQ(b->Parse(), 0);  // waits for more
        EXPECT_EQ(b->Input()->Fill, 2);
        b->Clear_Input();
        Add(*b, "x" + gpgga);
        EXPECT_EQ(b->Parse(), 1);
        EXPECT_EQ(b->Input()->Fill, 0);  // not starting with '$': discarded whole
        EXPECT_EQ(b->Parse(), 0);
    }
}

// A board of type T whose data parser records what it is handed.
template <class T>
class Recording_Nmea_Board : public T {
public:
    Recording_Nmea_Board() : data(new Recording_Data) { this->Set_Data(data); }
    Recording_Data* data;
};

template <class T>
void Expect_Framed_Sentences_Parse_As_Buffered() {
    const std::string gga = Sentence("GPGGA,083015.50,4807.0380,N,01131.0000,E,4,12,0.8,1,M,1,M,,");
    const std::string cases[] = {
        gga,
        Sentence("GNGGA,083015.50,4807.0380,S,01131.0000,W,1,08,0.8,1,M,1,M,,"),
        Sentence("GLGSV,1,1,02,65,40,100,45,66,10,200,30"),
        Sentence("BDGSV,1,1,01,11,40,100,45"),
        Sentence("GPRMC,083015.50,A,4807.038,N,01131.000,E,0.5,54.7,191194,,", "\n"),
        Sentence("GPZDA,083015.50,19,11,1994,00,00", ""),
        "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1\r\n",  // no check
        Sentence("PGRME,15.0,M,45.0,M,25.0,M"),              // another talker
        "$GP\r",                                             // as short as the lead
        "$G",                                                // shorter: waits in the buffer
    };
    for (const bool leftover : {false, true}) {
        Recording_Nmea_Board<T> framed;
        Recording_Nmea_Board<T> buffered;
        for (const std::string& c : cases) {
            SCOPED_TRACE(c + (leftover ? " after a leftover" : ""));
            if (leftover) {
                // Bytes already in the buffer go first, as Add_Data and Parse would take them.
                Add(framed, Sentence("GPZDA,083015.50,20,11,1994,00,00"));
                Add(buffered, Sentence("GPZDA,083015.50,20,11,1994,00,00"));
            }
            const auto* bytes = reinterpret_cast<const unsigned char*>(c.data());
            const int n = static_cast<int>(c.size());
            const int got = framed.Parse_Sentence(bytes, n);
            buffered.Add_Data(bytes, n);
            EXPECT_EQ(got, buffered.Parse());
            EXPECT_EQ(framed.data->seen, buffered.data->seen);
            EXPECT_EQ(framed.data->Update_Mask, buffered.data->Update_Mask);
            EXPECT_EQ(framed.data->Latitude, buffered.data->Latitude);
            EXPECT_EQ(framed.data->Longitude, buffered.data->Longitude);
            EXPECT_EQ(framed.data->Speed, buffered.data->Speed);
            EXPECT_EQ(framed.data->Pdop, buffered.data->Pdop);
            EXPECT_EQ(framed.data->Sat_Glo_Count, buffered.data->Sat_Glo_Count);
            EXPECT_EQ(framed.data->Sat_Bds_Count, buffered.data->Sat_Bds_Count);
            EXPECT_EQ(framed.data->Year, buffered.data->Year);
            EXPECT_EQ(framed.Input()->Fill, buffered.Input()->Fill);
            EXPECT_EQ(framed.Input()->Read, buffered.Input()->Read);
            EXPECT_EQ(0, std::memcmp(framed.Input()->Data, buffered.Input()->Data,
                                     sizeof(framed.Input()->Data)));
            framed.Clear_Input();
            buffered.Clear_Input();
        }
        EXPECT_FALSE(framed.data->seen.empty());
    }
}

TEST(NmeaBoards, FramedSentencesParseAsBufferedOnes) {
    Expect_Framed_Sentences_Parse_As_Buffered<Em_OemNmea>();
    Expect_Framed_Sentences_Parse_As_Buffered<Em_OemNmea2>();
}

TEST(NmeaBoards, SendNothingAndSlot17) {
    Em_OemNmea five;
    Em_OemNmea2 six;
    for (Em_OemBoard* b : {static_cast<Em_OemBoard*>(&five), static_cast<Em_OemBoard*>(&six)}) {
        Cmd_List cmds;
        b->Cmd()->Get_Gnss_Inite(cmds);
        b->Get_Gnss_StartBase(cmds);
        b->Get_Gnss_StartRover(cmds);
        b->Get_Gnss_Reset(cmds);
        b->Set_Gnss_ElevDgre(cmds, 10, 4);
        b->Set_Gnss_Nmea(cmds, 0xFF, GNSS_FRQ_1);
        b->Set_Gnss_PosFrq(cmds, GNSS_FRQ_1);
        b->Send_Gnss_Obs(cmds, GNSS_FRQ_1);
        b->Send_Gnss_Ephemeris(cmds, GNSS_FRQ_3);
        b->Get_Gnss_ElevMask(cmds);
        b->Send_Gnss_UnlogData(cmds);
        b->Get_Cmd_PassCom(cmds, 1);
        EXPECT_TRUE(cmds.empty());
    }
    const unsigned char item[2] = {1, 2};
    five.Data()->Update_Mask = 0x55;
    EXPECT_EQ(five.Handle_Frame(nullptr, 0, 0), 1);
    EXPECT_EQ(five.Data()->Update_Mask, 0x55u);
    six.Data()->Update_Mask = 0x55;
    EXPECT_EQ(six.Handle_Frame(nullptr, 7, 2), 0);
    EXPECT_EQ(six.Handle_Frame(item, 7, 0), 0);
    EXPECT_EQ(six.Data()->Update_Mask, 0x55u);
    EXPECT_EQ(six.Handle_Frame(item, 7, 2), 1);
    EXPECT_EQ(six.Data()->Update_Mask, 0u);
}
