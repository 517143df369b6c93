// Em_Gnss operations for an old-protocol receiver's static files, base positions, radio
// channels and NMEA output: replies fed through the receive path, then read back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using oldtest::Bytes;

namespace {

class OldReceiver {
public:
    OldReceiver() : gnss(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL) {}
    void Feed(const Bytes& frame) {
        gnss.RcvData(frame.data(), static_cast<unsigned>(frame.size()));
        gnss.ParseData();
    }
    Em_OldReceiver& State() {
        auto* p = dynamic_cast<Em_OldProtocol*>(gnss.Get_Protocol());
        EXPECT_NE(p, nullptr);
        return p->Receiver();
    }
    Em_Gnss gnss;
};

Bytes Sequence(size_t n, uint8_t first) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        b[i] = static_cast<uint8_t>(first + i);
    }
    return b;
}

// 56 bytes for the reader and a guard zone after them.
struct Buffer {
    unsigned char bytes[56 + 16];
    Buffer() { std::memset(bytes, 0xEE, sizeof bytes); }
    bool GuardIntact() const {
        for (size_t i = 56; i < sizeof bytes; ++i) {
            if (bytes[i] != 0xEE) {
                return false;
            }
        }
        return true;
    }
};

using BlockReader = void (Em_Gnss::*)(unsigned char*, int&);

}  // namespace

TEST(GnssOldListsTest, ChunkedBlocksReadBackAsTheLastChunk) {
    const struct {
        const char* letters;
        BlockReader reader;
    } rows[] = {
        {"FM", &Em_Gnss::Get_Static_FileDir},
        {"FW", &Em_Gnss::Get_Read_Static_File},
        {"FJ", &Em_Gnss::Get_BasePosition_List},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.letters);
        OldReceiver rx;
        Buffer buffer;
        int length = -1;
        (rx.gnss.*row.reader)(buffer.bytes, length);
        EXPECT_EQ(length, 0) << "nothing stored yet";

        rx.Feed(oldtest::Frame(row.letters, Sequence(55, 1)));
        (rx.gnss.*row.reader)(buffer.bytes, length);
        ASSERT_EQ(length, 55);
        EXPECT_EQ(buffer.bytes[54], 55);

        rx.Feed(oldtest::Frame(row.letters, Sequence(10, 100)));
        (rx.gnss.*row.reader)(buffer.bytes, length);
        ASSERT_EQ(length, 10);
        EXPECT_EQ(std::vector<uint8_t>(buffer.bytes, buffer.bytes + 10), Sequence(10, 100));
        EXPECT_TRUE(buffer.GuardIntact());

        // A null buffer gets no bytes, only the length.
        length = -1;
        (rx.gnss.*row.reader)(nullptr, length);
        EXPECT_EQ(length, 10);
    }
}

TEST(GnssOldListsTest, BlockReadersNeverCopyMoreThanTheCallersBuffer) {
    OldReceiver rx;
    // A stored length beyond the block (never written by the decoders) is held at 56 bytes.
    rx.State().staticFileDir.length = 5000;
    Buffer buffer;
    int length = 0;
    rx.gnss.Get_Static_FileDir(buffer.bytes, length);
    EXPECT_EQ(length, 56);
    EXPECT_TRUE(buffer.GuardIntact());
    rx.State().basePosList.length = -3;
    rx.gnss.Get_BasePosition_List(buffer.bytes, length);
    EXPECT_EQ(length, 0);
}

TEST(GnssOldListsTest, StaticStatusDifferenceAndNmeaConfig) {
    OldReceiver rx;
    bool recording = true;
    rx.Feed(oldtest::Frame("FC", {2}));
    rx.gnss.Get_Static_Status(recording);
    EXPECT_FALSE(recording) << "only status 1 means recording";
    rx.Feed(oldtest::Frame("FC", {1}));
    rx.gnss.Get_Static_Status(recording);
    EXPECT_TRUE(recording);

    double difference = 0.0;
    const double stored = 0.125;
    Bytes le(8);
    std::memcpy(le.data(), &stored, 8);
    rx.Feed(oldtest::Frame("FK", le));
    rx.gnss.Get_BasePosition_Difference(difference);
    EXPECT_EQ(difference, 0.125);

    // Port code 247 is port 2; board type 2 adds two messages to the nine.
    Bytes rc = {247, 1, 0, 0, 9};
    for (uint8_t i = 0; i < 11; ++i) {
        rc.push_back(i == 3 ? 7 : i);
    }
    rx.Feed(oldtest::Frame("RC", rc));
    NMEAConfigList config;
    config.messages.assign(20, _set_nmea{1, 1});
    rx.gnss.Get_NMEA_Output_Config(config);
    EXPECT_EQ(config.port, 2);
    EXPECT_EQ(config.keepAfterRestart, 1);
    EXPECT_EQ(config.value, 9);
    EXPECT_EQ(config.count, 11);
    ASSERT_EQ(config.messages.size(), 11u);
    EXPECT_EQ(config.messages[10].Nmea_Id, 4096);
    EXPECT_EQ(config.messages[3].Rate_Id, 3) << "an unknown rate code becomes 3";
}

TEST(GnssOldListsTest, RadioChannelLists) {
    OldReceiver rx;
    rx.State().radio.channelTypes = {0, 1, 2};
    rx.State().radio.channelFreqs = {450.0125, 451.5};
    std::vector<int> types = {9, 9, 9, 9, 9};
    std::vector<double> freqs = {1.0};
    rx.gnss.Get_Radio_ChannelList_Type(types);
    rx.gnss.Get_Radio_ChannelList_Freq(freqs);
    EXPECT_EQ(types, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(freqs, (std::vector<double>{450.0125, 451.5}));
}

TEST(GnssOldListsTest, ChannelZeroSwitch) {
    OldReceiver rx;
    Cmd_List cmds;
    rx.gnss.Set_Radio_Channel0_Enabled(cmds, false);
    rx.gnss.Set_Radio_Channel0_Enabled(cmds, true);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(NewWire::Hex(cmds[0].data, cmds[0].length), "24 24 53 4A 18 02 5E AA F7 0D 0A");
    EXPECT_EQ(NewWire::Hex(cmds[1].data, cmds[1].length), "24 24 53 4A 18 02 5E 00 5D 0D 0A");
    EXPECT_EQ(cmds[0].pause, 200u);
    EXPECT_EQ(cmds[1].pause, 200u);

    rx.gnss.Set_Com_Status(COM_STATUS_BLUETOOTH);
    cmds.clear();
    rx.gnss.Set_Radio_Channel0_Enabled(cmds, false);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].data[4], 0x38);
}

TEST(GnssOldListsTest, NothingOnNewAndOemReceivers) {
    std::vector<std::unique_ptr<Em_Gnss>> receivers;
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL));
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA));
    for (auto& g : receivers) {
        Cmd_List cmds;
        g->Set_Radio_Channel0_Enabled(cmds, true);
        EXPECT_TRUE(cmds.empty());

        for (BlockReader reader : {&Em_Gnss::Get_Static_FileDir, &Em_Gnss::Get_Read_Static_File,
                                   &Em_Gnss::Get_BasePosition_List}) {
            Buffer buffer;
            int length = 1234;
            ((*g).*reader)(buffer.bytes, length);
            EXPECT_EQ(length, 1234);
            EXPECT_EQ(buffer.bytes[0], 0xEE);
        }
        double difference = -7.5;
        g->Get_BasePosition_Difference(difference);
        EXPECT_EQ(difference, -7.5);
        std::vector<int> types = {4};
        std::vector<double> freqs = {4.0};
        g->Get_Radio_ChannelList_Type(types);
        g->Get_Radio_ChannelList_Freq(freqs);
        EXPECT_EQ(types, std::vector<int>{4});
        EXPECT_EQ(freqs, std::vector<double>{4.0});
        NMEAConfigList config;
        config.port = 3;
        config.messages.assign(2, _set_nmea{1, 1});
        g->Get_NMEA_Output_Config(config);
        EXPECT_EQ(config.port, 3);
        EXPECT_EQ(config.messages.size(), 2u);
        for (bool flag : {true, false}) {
            bool status = flag;
            g->Get_Static_Status(status);
            EXPECT_EQ(status, flag);
        }
    }
}
