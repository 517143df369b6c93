// The simulated receiver's radio channel tables against a real session: the old protocol's
// sixteen channels, their use and the spacing, read back after a set; the new protocol's lists.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "SimSession.h"

namespace varnok_test {
namespace {

namespace BV = Brevan2011::BVParse;

constexpr std::uint32_t kChannelFreqs = 0x400;
constexpr std::uint32_t kChannelTypes = 0x200;
constexpr std::uint32_t kChannelList = 0x40000;
constexpr std::uint32_t kChannelTables = 0x80000;
constexpr std::uint32_t kCallSign = 0x800000;

// A bounded poll until that many reports of the bits have come.
bool waitForCount(int category, std::uint32_t bits, std::size_t count) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (Reports::instance().count(category, bits) < count) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(SimReceiverRadio, OldProtocolChannelTableIsReadAndWrittenBack) {
    SimSession link(
        "protocol=old channel_counts=0,36400,36401 channel_types=1,2,3 channel_spacing=1",
        BV::MAINBD_NOVATEL);
    ASSERT_TRUE(link.openTcp());
    auto& s = link.session();
    s.Query_Radio_ChannelList_Freq();
    s.Query_Radio_ChannelList_Type();
    ASSERT_TRUE(Reports::instance().waitFor(8, kChannelFreqs, kWaitMs));
    ASSERT_TRUE(Reports::instance().waitFor(8, kChannelTypes, kWaitMs));
    std::vector<double> freqs;
    std::vector<int> types;
    s.Get_Radio_ChannelList_Freq(freqs);
    s.Get_Radio_ChannelList_Type(types);
    ASSERT_EQ(freqs.size(), 16u);
    EXPECT_EQ(freqs[0], 0.0);
    EXPECT_EQ(freqs[1], 36400.0);
    EXPECT_EQ(freqs[2], 36401.0);
    EXPECT_EQ(freqs[15], 0.0);  // not scripted
    ASSERT_EQ(types.size(), 16u);
    EXPECT_EQ(types[0], 1);
    EXPECT_EQ(types[2], 3);
    EXPECT_EQ(types[3], 0);

    // Channel 5 to 455.0125 MHz at 12.5 kHz, channel 2 receive only; read back.
    s.Set_Radio_Channel_Freq(5, 455.0125, BV::CHANNEL_SPACE_12_5);
    s.Set_Radio_Channel_Type(2, static_cast<BV::Rdo_Channel_Type>(1));
    ASSERT_TRUE(link.sim().waitForRequest("Set_Radio_Channel_Type", kWaitMs));
    s.Query_Radio_ChannelList_Freq();
    s.Query_Radio_ChannelList_Type();
    ASSERT_TRUE(waitForCount(8, kChannelFreqs, 2));
    ASSERT_TRUE(waitForCount(8, kChannelTypes, 2));
    s.Get_Radio_ChannelList_Freq(freqs);
    s.Get_Radio_ChannelList_Type(types);
    EXPECT_EQ(freqs[5], 36401.0);
    EXPECT_EQ(freqs[1], 36400.0);
    EXPECT_EQ(types[2], 1);
    EXPECT_EQ(link.sim().value("channel_counts").rfind("0,36400,36401,0,0,36401,0", 0), 0u);
    EXPECT_EQ(link.sim().requestNames()[0], "Query_Radio_ChannelList_Freq");
}

TEST(SimReceiverRadio, NewProtocolChannelListsOnlyWhenScripted) {
    SimSession link(
        "protocol=new radio_channels=0,456.05,456.55 "
        "radio_channel_tables=410.5,411/430.0125/",
        BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    auto& s = link.session();
    s.Send_Radio_Channel_List_Query();
    s.Send_Radio_Channel_List_All_Query();
    ASSERT_TRUE(Reports::instance().waitFor(6, kChannelList, kWaitMs));
    ASSERT_TRUE(Reports::instance().waitFor(6, kChannelTables, kWaitMs));
    BV::QX_RADIO_CHANNEL_LIST_STRUCT list{};
    s.Get_Radio_Channel_List(list);
    float f = 0;
    std::memcpy(&f, &list.channel[1], sizeof f);
    EXPECT_FLOAT_EQ(f, 456.05f);
    std::memcpy(&f, &list.channel[9], sizeof f);
    EXPECT_EQ(f, 0.0f);
    BV::QX_RADIO_CHANNEL_LIST_EX_STRUCT tables;
    s.Get_Radio_Channel_List(tables);
    ASSERT_EQ(tables.list1.size(), 2u);
    ASSERT_EQ(tables.list2.size(), 1u);
    EXPECT_TRUE(tables.list3.empty());
    const std::uint32_t bits = tables.list2[0].value;
    std::memcpy(&f, &bits, sizeof f);
    EXPECT_FLOAT_EQ(f, 430.0125f);
}

TEST(SimReceiverRadio, NewProtocolWithoutListsAnswersNothing) {
    SimSession link("protocol=new", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Radio_Channel_List_Query();
    link.session().Send_Radio_Channel_List_All_Query();
    link.session().Send_Battery();
    ASSERT_TRUE(Reports::instance().waitFor(4, 0x1, kWaitMs));
    EXPECT_EQ(Reports::instance().count(6, kChannelList | kChannelTables), 0u);
}

TEST(SimReceiverRadio, NewProtocolRadioSetsAreReadBack) {
    SimSession link("protocol=new radio_frequency=455.05 radio_power=10", BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    auto& s = link.session();
    const float mhz = 456.0125f;
    const unsigned int power = 20;
    const unsigned int stepper = 250;
    const unsigned int airBaud = 19200;
    s.Send_Radio_Frequency(&mhz);
    s.Send_Radio_Power(&power);
    s.Send_Radio_Stepper(&stepper);
    s.Send_Radio_Air_Baud(&airBaud);
    // A frequency that is no number leaves the kept one.
    const float nan = std::nanf("");
    s.Send_Radio_Frequency(&nan);
    s.Send_Radio_Frequency(nullptr);
    s.Send_Radio_Power(nullptr);
    s.Send_Radio_Stepper(nullptr);
    ASSERT_TRUE(Reports::instance().waitFor(6, 0x1, kWaitMs));
    ASSERT_TRUE(Reports::instance().waitFor(6, 0x2, kWaitMs));
    ASSERT_TRUE(Reports::instance().waitFor(6, 0x4, kWaitMs));
    EXPECT_FLOAT_EQ(s.Get_Radio_Frequency(), mhz);
    EXPECT_EQ(s.Get_Radio_Power_V2(), power);
    EXPECT_EQ(s.Get_Radio_Stepper(), stepper);
    EXPECT_EQ(link.sim().value("radio_air_baud"), "19200");
}

TEST(SimReceiverRadio, NewProtocolCallSignQueryCanGoUnanswered) {
    SimSession link("protocol=new radio_callsign=010A564B32 radio_callsign_silent=1",
                    BV::MAINBD_NEWPROTOCOL);
    ASSERT_TRUE(link.openTcp());
    link.session().Send_Radio_Callsign(nullptr);
    link.session().Send_Battery();
    ASSERT_TRUE(Reports::instance().waitFor(4, 0x1, kWaitMs));
    EXPECT_EQ(Reports::instance().count(6, kCallSign), 0u);
    // Answered again, it is the record as kept.
    ASSERT_TRUE(link.sim().set("radio_callsign_silent", "0"));
    link.session().Send_Radio_Callsign(nullptr);
    ASSERT_TRUE(Reports::instance().waitFor(6, kCallSign, kWaitMs));
    BV::QX_RADIO_CALLSIGN_STRUCT record{};
    link.session().Get_Radio_Callsign(record);
    EXPECT_STREQ(record.text, "VK2");
    EXPECT_EQ(record.b2, 10);
    EXPECT_EQ(link.sim().value("radio_callsign"), "010A564B32");
}

}  // namespace
}  // namespace varnok_test
