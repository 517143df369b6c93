// Em_Gnss operations for an old-protocol receiver's static files, base positions, radio
// channels and NMEA output: replies fed through the receive path, then read back.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "Em_OldProtocol.h"
#include "Em_OldTestFrames.h"
#include "OldCmdDecode.h"
#include "support/Facade_Receivers.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using Brevan2011::BVParse::testing_support::Receivers;
using oldcmd::Sent;
using oldtest::Bytes;
using oldtest::Sequence;

namespace {

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
using Build = std::function<void(Em_Gnss&, Cmd_List&)>;

Bytes LittleEndian(double value) {
    Bytes b(8);
    std::memcpy(b.data(), &value, 8);
    return b;
}

std::vector<Sent> ReadBack(const Cmd_List& cmds, size_t from = 0) {
    std::vector<Sent> out;
    for (size_t i = from; i < cmds.size(); ++i) {
        const oldcmd::Frame f = oldcmd::Decode(cmds[i]);
        EXPECT_TRUE(f.ok) << "frame " << i;
        if (f.letters == "VS") {
            const oldcmd::At at = oldcmd::DecodeAt(f);
            EXPECT_TRUE(at.ok) << "frame " << i;
            Bytes payload = {at.command};
            payload.insert(payload.end(), at.data.begin(), at.data.end());
            out.push_back({"@", payload, f.pause});
        } else {
            out.push_back({f.letters, f.payload, f.pause});
        }
    }
    return out;
}

// Every command builder of the list operations, with arguments in range.
const std::vector<std::pair<const char*, Build>>& AllBuilders() {
    static const std::vector<std::pair<const char*, Build>> builders = {
        {"file dir", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Static_FileDir(c); }},
        {"read file", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Read_Static_File(c, 3); }},
        {"delete file", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Delete_Static_File(c, 3); }},
        {"static status", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Query_Static_Status(c); }},
        {"add base", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Add_BasePos_To_List(c, 1, 2, 3); }},
        {"remove base", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Remove_BasePos_From_List(c, 1); }},
        {"read bases", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Read_BasePosition_List(c); }},
        {"clear bases", [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Clear_BasePosition_List(c); }},
        {"get difference",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Get_BasePosition_Difference(c); }},
        {"set difference",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Set_BasePosition_Difference(c, 0.5); }},
        {"channel types", [](Em_Gnss& g, Cmd_List& c) { g.Query_Radio_ChannelList_Type(c); }},
        {"channel type",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Channel_Type(c, 1, static_cast<Rdo_Channel_Type>(1));
         }},
        {"channel freqs", [](Em_Gnss& g, Cmd_List& c) { g.Query_Radio_ChannelList_Freq(c); }},
        {"channel freq",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Channel_Freq(c, 1, 450.0125, CHANNEL_SPACE_12_5);
         }},
        {"nmea config", [](Em_Gnss& g, Cmd_List& c) { g.Query_NMEA_Output_Config(c); }},
        {"channel 0", [](Em_Gnss& g, Cmd_List& c) { g.Set_Radio_Channel0_Enabled(c, true); }},
    };
    return builders;
}

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
        Receivers rx;
        Buffer buffer;
        int length = -1;
        (rx.old.*row.reader)(buffer.bytes, length);
        EXPECT_EQ(length, 0) << "nothing stored yet";

        rx.Feed_Old(oldtest::Frame(row.letters, Sequence(55, 1)));
        (rx.old.*row.reader)(buffer.bytes, length);
        ASSERT_EQ(length, 55);
        EXPECT_EQ(buffer.bytes[54], 55);

        rx.Feed_Old(oldtest::Frame(row.letters, Sequence(10, 100)));
        (rx.old.*row.reader)(buffer.bytes, length);
        ASSERT_EQ(length, 10);
        EXPECT_EQ(std::vector<uint8_t>(buffer.bytes, buffer.bytes + 10), Sequence(10, 100));
        EXPECT_TRUE(buffer.GuardIntact());

        // A null buffer gets no bytes, only the length.
        length = -1;
        (rx.old.*row.reader)(nullptr, length);
        EXPECT_EQ(length, 10);
    }
}

TEST(GnssOldListsTest, BlockReadersNeverCopyMoreThanTheCallersBuffer) {
    Receivers rx;
    // A stored length beyond the block (never written by the decoders) is held at 56 bytes.
    rx.Old().staticFileDir.length = 5000;
    Buffer buffer;
    int length = 0;
    rx.old.Get_Static_FileDir(buffer.bytes, length);
    EXPECT_EQ(length, 56);
    EXPECT_TRUE(buffer.GuardIntact());
    rx.Old().basePosList.length = -3;
    rx.old.Get_BasePosition_List(buffer.bytes, length);
    EXPECT_EQ(length, 0);
}

TEST(GnssOldListsTest, StaticStatusDifferenceAndNmeaConfig) {
    Receivers rx;
    bool recording = true;
    rx.Feed_Old(oldtest::Frame("FC", {2}));
    rx.old.Get_Static_Status(recording);
    EXPECT_FALSE(recording) << "only status 1 means recording";
    rx.Feed_Old(oldtest::Frame("FC", {1}));
    rx.old.Get_Static_Status(recording);
    EXPECT_TRUE(recording);

    double difference = 0.0;
    const double stored = 0.125;
    Bytes le(8);
    std::memcpy(le.data(), &stored, 8);
    rx.Feed_Old(oldtest::Frame("FK", le));
    rx.old.Get_BasePosition_Difference(difference);
    EXPECT_EQ(difference, 0.125);

    // Port code 247 is port 2; board type 2 adds two messages to the nine.
    Bytes rc = {247, 1, 0, 0, 9};
    for (uint8_t i = 0; i < 11; ++i) {
        rc.push_back(i == 3 ? 7 : i);
    }
    rx.Feed_Old(oldtest::Frame("RC", rc));
    NMEAConfigList config;
    config.messages.assign(20, _set_nmea{1, 1});
    rx.old.Get_NMEA_Output_Config(config);
    EXPECT_EQ(config.port, 2);
    EXPECT_EQ(config.keepAfterRestart, 1);
    EXPECT_EQ(config.value, 9);
    EXPECT_EQ(config.count, 11);
    ASSERT_EQ(config.messages.size(), 11u);
    EXPECT_EQ(config.messages[10].Nmea_Id, 4096);
    EXPECT_EQ(config.messages[3].Rate_Id, 3) << "an unknown rate code becomes 3";
}

TEST(GnssOldListsTest, RadioChannelLists) {
    Receivers rx;
    rx.Old().radio.channelTypes = {0, 1, 2};
    rx.Old().radio.channelFreqs = {450.0125, 451.5};
    std::vector<int> types = {9, 9, 9, 9, 9};
    std::vector<double> freqs = {1.0};
    rx.old.Get_Radio_ChannelList_Type(types);
    rx.old.Get_Radio_ChannelList_Freq(freqs);
    EXPECT_EQ(types, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(freqs, (std::vector<double>{450.0125, 451.5}));
}

TEST(GnssOldListsTest, ChannelZeroSwitch) {
    Receivers rx;
    Cmd_List cmds;
    rx.old.Set_Radio_Channel0_Enabled(cmds, false);
    rx.old.Set_Radio_Channel0_Enabled(cmds, true);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(NewWire::Hex(cmds[0].data, cmds[0].length), "24 24 53 4A 18 02 5E AA F7 0D 0A");
    EXPECT_EQ(NewWire::Hex(cmds[1].data, cmds[1].length), "24 24 53 4A 18 02 5E 00 5D 0D 0A");
    EXPECT_EQ(cmds[0].pause, 200u);
    EXPECT_EQ(cmds[1].pause, 200u);

    rx.old.Set_Com_Status(COM_STATUS_BLUETOOTH);
    cmds.clear();
    rx.old.Set_Radio_Channel0_Enabled(cmds, false);
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

TEST(GnssOldListsTest, CommandsOnAnOldReceiverMatchHandWrittenFrames) {
    const Bytes latitude = LittleEndian(31.5);
    const Bytes longitude = LittleEndian(-120.25);
    const Bytes height = LittleEndian(12.0);
    Bytes position = latitude;
    position.insert(position.end(), longitude.begin(), longitude.end());
    position.insert(position.end(), height.begin(), height.end());

    const struct {
        const char* name;
        Build build;
        std::vector<Sent> want;
    } rows[] = {
        {"file dir",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Static_FileDir(c); },
         {{"FM", {}, 200}, {"KC", {170}, 200}}},
        {"read file, index bytes least significant first",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Read_Static_File(c, 0x04030201u); },
         {{"FW", {1, 2, 3, 4}, 200}}},
        {"delete file",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Delete_Static_File(c, 0xFF000102u); },
         {{"FC", {2, 1, 0, 0xFF}, 200}}},
        {"static status",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Query_Static_Status(c); },
         {{"FC", {}, 200}}},
        {"add base position",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Add_BasePos_To_List(c, 31.5, -120.25, 12.0); },
         {{"FI", position, 200}}},
        {"remove base position 0",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Remove_BasePos_From_List(c, 0); },
         {{"FL", {0}, 100}}},
        {"remove base position 255",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Remove_BasePos_From_List(c, 255); },
         {{"FL", {255}, 100}}},
        {"read base positions",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Read_BasePosition_List(c); },
         {{"FJ", {1}, 100}}},
        {"clear base positions",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Clear_BasePosition_List(c); },
         {{"FJ", {2}, 100}}},
        {"get difference",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Get_BasePosition_Difference(c); },
         {{"FK", {2}, 100}}},
        {"set difference",
         [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Set_BasePosition_Difference(c, 0.125); },
         {{"FK", LittleEndian(0.125), 100}}},
        {"channel types",
         [](Em_Gnss& g, Cmd_List& c) { g.Query_Radio_ChannelList_Type(c); },
         {{"@", {147}, 200}}},
        {"channel type",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Channel_Type(c, 4, static_cast<Rdo_Channel_Type>(1));
         },
         {{"@", {146, 4, 1}, 200}}},
        {"channel freqs",
         [](Em_Gnss& g, Cmd_List& c) { g.Query_Radio_ChannelList_Freq(c); },
         {{"@", {133}, 200}}},
        {"channel freq, 450.0125 MHz at 12.5 kHz is 36001",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Channel_Freq(c, 3, 450.0125, CHANNEL_SPACE_12_5);
         },
         {{"@", {132, 3, 0xA1, 0x8C}, 200}}},
        {"channel freq, 450.02 MHz at 20 kHz is 22501",
         [](Em_Gnss& g, Cmd_List& c) {
             g.Set_Radio_Channel_Freq(c, 255, 450.02, CHANNEL_SPACE_20);
         },
         {{"@", {132, 255, 0xE5, 0x57}, 200}}},
        {"nmea config",
         [](Em_Gnss& g, Cmd_List& c) { g.Query_NMEA_Output_Config(c); },
         {{"RC", {}, 200}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Receivers rx;
        // The builders append: what the caller already queued stays first.
        Cmd_List cmds(1);
        cmds[0].length = 1;
        cmds[0].data[0] = 0x5A;
        row.build(rx.old, cmds);
        ASSERT_GE(cmds.size(), 1u);
        EXPECT_EQ(cmds[0].length, 1u);
        EXPECT_EQ(cmds[0].data[0], 0x5A);
        EXPECT_EQ(ReadBack(cmds, 1), row.want);
    }
}

TEST(GnssOldListsTest, IndicesAndChannelsBeyondOneByteBuildNothing) {
    Receivers rx;
    Cmd_List cmds;
    // 256 would travel as 0 and remove or change entry 0.
    for (int bad : {-1, 256, 65536, -256}) {
        SCOPED_TRACE(bad);
        rx.old.Get_Cmd_Remove_BasePos_From_List(cmds, bad);
        rx.old.Set_Radio_Channel_Type(cmds, bad, static_cast<Rdo_Channel_Type>(1));
        rx.old.Set_Radio_Channel_Freq(cmds, bad, 450.0125, CHANNEL_SPACE_12_5);
        EXPECT_TRUE(cmds.empty());
    }
}

TEST(GnssOldListsTest, ReadingOrClearingTheBaseListEmptiesTheStoredList) {
    const Build starts[] = {
        [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Read_BasePosition_List(c); },
        [](Em_Gnss& g, Cmd_List& c) { g.Get_Cmd_Clear_BasePosition_List(c); },
    };
    for (const Build& start : starts) {
        Receivers rx;
        rx.Feed_Old(oldtest::Frame("FJ", Sequence(40, 1)));
        Buffer buffer;
        int length = -1;
        rx.old.Get_BasePosition_List(buffer.bytes, length);
        ASSERT_EQ(length, 40);

        Cmd_List cmds;
        start(rx.old, cmds);
        EXPECT_EQ(cmds.size(), 1u);
        rx.old.Get_BasePosition_List(buffer.bytes, length);
        EXPECT_EQ(length, 0) << "an old list must not pass for the reply";

        // The reply then reads back whole.
        rx.Feed_Old(oldtest::Frame("FJ", Sequence(20, 9)));
        rx.old.Get_BasePosition_List(buffer.bytes, length);
        ASSERT_EQ(length, 20);
        EXPECT_EQ(std::vector<uint8_t>(buffer.bytes, buffer.bytes + 20), Sequence(20, 9));
    }
}

TEST(GnssOldListsTest, ListBuildersAppendNothingOnNewAndOemReceivers) {
    std::vector<std::unique_ptr<Em_Gnss>> receivers;
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL));
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_NMEA));
    receivers.emplace_back(new Em_Gnss(GNSS_MNFCTR_OEM, MAINBD_NOVATEL));
    for (auto& g : receivers) {
        for (const auto& builder : AllBuilders()) {
            SCOPED_TRACE(builder.first);
            Cmd_List cmds(1);
            cmds[0].length = 3;
            builder.second(*g, cmds);
            ASSERT_EQ(cmds.size(), 1u);
            EXPECT_EQ(cmds[0].length, 3u);
        }
    }
    // And each of them does build on an old receiver, so the rows above test the guard.
    for (const auto& builder : AllBuilders()) {
        SCOPED_TRACE(builder.first);
        Receivers rx;
        Cmd_List cmds;
        builder.second(rx.old, cmds);
        EXPECT_FALSE(cmds.empty());
    }
}

TEST(GnssOldListsTest, NmeaOutputWithRateTableOnEveryReceiverOfTheMaker) {
    // GGA every cycle at rate code 2; RMC (bit 0x40) off.
    const std::vector<_set_nmea> list = {{0x1, 2}, {0x40, 0}};
    // "RF,M1,B5" then "RD,B1,M1,B5,L2,L0,B0,M0".
    const std::vector<Sent> texts = {
        {"RF", {0, 1, 5}, 100},
        {"RD", {1, 0, 1, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 100},
    };

    Receivers r;
    Cmd_List cmds;
    r.old.Set_Velta_NMEA(cmds, list, 5, true);
    ASSERT_GE(cmds.size(), 2u);
    const std::vector<Sent> sent = ReadBack(cmds);
    EXPECT_EQ(std::vector<Sent>(sent.begin(), sent.begin() + 2), texts);
    // The board's own list follows, as the old protocol object builds it.
    Cmd_List direct;
    dynamic_cast<Em_OldProtocol&>(*r.old.Get_Protocol()).Set_Velta_NMEA(direct, list, 5, true);
    ASSERT_EQ(direct.size(), cmds.size());
    for (size_t i = 0; i < cmds.size(); ++i) {
        EXPECT_EQ(oldcmd::Raw(cmds[i]), oldcmd::Raw(direct[i])) << i;
    }

    // A new-protocol receiver gets the two texts on its own link, with no board list.
    Em_Gnss fresh(GNSS_MNFCTR_VELTA, MAINBD_NEWPROTOCOL);
    cmds.clear();
    fresh.Set_Velta_NMEA(cmds, list, 5, true);
    EXPECT_EQ(ReadBack(cmds), texts);
    fresh.Set_Com_Status(COM_STATUS_BLUETOOTH);
    cmds.clear();
    fresh.Set_Velta_NMEA(cmds, list, 5, false);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(cmds[0].data[4], 0x38) << "Bluetooth link form";
    EXPECT_EQ(ReadBack(cmds)[1].payload[0], 0) << "flag off";

    // Other makers get nothing.
    Em_Gnss oem(GNSS_MNFCTR_OEM, MAINBD_NOVATEL);
    cmds.clear();
    oem.Set_Velta_NMEA(cmds, list, 5, true);
    EXPECT_TRUE(cmds.empty());
}
