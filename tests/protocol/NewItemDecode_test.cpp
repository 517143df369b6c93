#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "Em_OemNewData.h"
#include "support/NewWireHelpers.h"

using namespace Brevan2011::BVParse;
using NewWire::Cat;
using NewWire::F32;
using NewWire::F64;
using NewWire::U16;
using NewWire::U32;
using NewWire::U8;

namespace {

// The value in a heap block of exactly its length, so that any read past it is reported.
int Decode(Em_OemNewData& d, uint16_t tag, const std::vector<uint8_t>& value) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[value.size()]);
    if (!value.empty()) {
        std::memcpy(exact.get(), value.data(), value.size());
    }
    return d.Decode_NewItem(exact.get(), tag, static_cast<uint32_t>(value.size()));
}

std::vector<uint8_t> Bytes(size_t n, uint8_t fill = 0) {
    return std::vector<uint8_t>(n, fill);
}

// Copies a field of a packed record, which cannot be bound by reference.
template <typename T>
T Field(T v) {
    return v;
}

// One satellite entry of 0x040D.
std::vector<uint8_t> Sat(uint8_t id, uint8_t system, bool used) {
    return {id, system, 45, 0x01, 0x2C, 40, 38, 0, static_cast<uint8_t>(used ? 1 : 0)};
}

std::vector<uint8_t> SatItem(const uint8_t counts[5], const std::vector<std::vector<uint8_t>>& s) {
    std::vector<uint8_t> v = {counts[0], counts[1], counts[2], counts[3], counts[4], 0, 0, 0};
    for (const auto& e : s) {
        v.insert(v.end(), e.begin(), e.end());
    }
    return v;
}

// What the protocol lists for every decoded tag, written out here rather than read from the
// library's own table, so a wrong row there is caught.
enum class Want { Exact, AtLeast, Any, Counted };
struct Expected {
    uint16_t tag;
    Want want;
    size_t len;  // exact or least length; for Counted the fixed part
    uint32_t bit;
};
constexpr Want E = Want::Exact, A = Want::AtLeast, N = Want::Any, C = Want::Counted;
const Expected kExpected[] = {
    {0x0002, E, 2, 0x80000000u}, {0x0103, E, 2, 0x80},      {0x0104, E, 2, 0x100},
    {0x0304, E, 12, 0x1},        {0x0306, C, 36, 0x2},      {0x0307, E, 100, 0x4},
    {0x0308, N, 0, 0x8},         {0x0309, E, 3, 0x800},     {0x030C, E, 38, 0x1000},
    {0x030D, E, 20, 0x2000},     {0x030E, E, 20, 0x4000},   {0x0405, E, 2, 0x1},
    {0x0406, A, 5, 0x10},        {0x0407, A, 5, 0x20},      {0x0408, A, 5, 0x10000},
    {0x0409, A, 5, 0x20000},     {0x040A, E, 28, 0x40},     {0x040B, E, 8, 0x80},
    {0x040C, E, 16, 0x400},      {0x040D, C, 8, 0x800},     {0x040E, E, 24, 0x100},
    {0x040F, E, 24, 0x1000},     {0x0410, E, 64, 0x200},    {0x0411, E, 27, 0x2000},
    {0x041B, E, 14, 0x4000},     {0x0425, E, 13, 0x100000}, {0x0426, E, 4, 0x200000},
    {0x0450, E, 1, 0x2},         {0x0451, E, 1, 0x4},       {0x0452, E, 26, 0x8},
    {0x0455, E, 20, 0x8000},     {0x0456, E, 90, 0x40000},  {0x0457, C, 10, 0x80000},
    {0x0459, C, 2, 0x400000},    {0x045A, C, 4, 0x40000},   {0x0703, E, 4, 0x1},
    {0x0704, E, 4, 0x2},         {0x0709, E, 4, 0x4},       {0x070B, E, 4, 0x8},
    {0x070C, E, 2, 0x10},        {0x070D, E, 26, 0x20},     {0x0710, E, 1, 0x40},
    {0x0711, E, 2, 0x80},        {0x0712, E, 2, 0x100},     {0x0713, E, 40, 0x40000},
    {0x0714, E, 26, 0x100000},   {0x0715, C, 12, 0x80000},  {0x0716, E, 1, 0x200000},
    {0x0717, E, 1, 0x400000},    {0x0718, E, 19, 0x800000}, {0x0A03, E, 42, 0x4},
    {0x0A04, E, 2, 0x2},         {0x0A07, E, 1, 0x1},       {0x0A08, E, 2, 0x8},
    {0x0A09, E, 1, 0x800},       {0x0A0A, E, 1, 0x1000},    {0x0B05, E, 1, 0x20},
    {0x0B06, E, 43, 0x10},       {0x0B07, E, 2, 0x40},      {0x1102, E, 4, 0x200},
    {0x1103, E, 57, 0x400},      {0x1104, E, 2, 0x800},     {0x1105, E, 8, 0x1000},
    {0x1106, A, 5, 0x2000},      {0x1109, E, 1, 0x4000},    {0x110A, E, 20, 0x8000},
    {0x110B, E, 70, 0x10000},    {0x1403, E, 100, 0x10},    {0x1404, E, 8, 0x20},
    {0x1409, E, 1, 0x40},        {0x140A, E, 1, 0x80},      {0x140B, E, 2, 0x100},
    {0x140C, E, 5, 0x200},       {0x140D, E, 2, 0x400},     {0x140E, E, 2, 0x2000},
    {0x140F, E, 21, 0x4000},     {0x1410, E, 8, 0x8000},    {0x1503, E, 2, 0x20000},
    {0x1504, N, 0, 0},
};
// Tags the receiver is only ever sent, and tags no group lists: never decoded.
const uint16_t kNeverDecoded[] = {0x0001, 0x0108, 0x0403, 0x0404, 0x0412, 0x0424,
                                  0x0458, 0x0B08, 0x0B09, 0x0102, 0x04FE, 0x2002};

const Expected* Find_Expected(uint16_t tag) {
    for (const Expected& e : kExpected) {
        if (e.tag == tag) {
            return &e;
        }
    }
    return nullptr;
}

// The lengths a correct decoder may accept, worked out from the value independently of it.
bool LengthAcceptable(uint16_t tag, const std::vector<uint8_t>& v) {
    const Expected* info = Find_Expected(tag);
    if (info == nullptr) {
        return false;
    }
    const size_t n = v.size();
    auto be16 = [&](size_t at) { return size_t(v[at]) << 8 | v[at + 1]; };
    auto be32 = [&](size_t at) {
        return uint64_t(v[at]) << 24 | uint64_t(v[at + 1]) << 16 | uint64_t(v[at + 2]) << 8 |
               v[at + 3];
    };
    switch (info->want) {
        case Want::Exact:
            return n == info->len;
        case Want::AtLeast:
            return n >= info->len;
        case Want::Any:
            return true;
        case Want::Counted:
            break;
    }
    switch (tag) {
        case 0x0306:
            return n == 36 || n == 64 || n == 68;
        case 0x040D: {
            if (n < 5) {
                return false;
            }
            size_t c = size_t(v[0]) + v[1] + v[2] + v[3] + v[4];
            return c > 0 && n == 8 + 9 * c;
        }
        case 0x0457:
            return n >= 10 && v[8] >= v[9] && n == 10 + 20 * size_t(v[9]);
        case 0x0459:
            return n >= 2 && n == 2 + 6 * be16(0);
        case 0x045A:
            return n >= 4 && n == 4 * (be16(2) + 1);
        case 0x0715:
            return n >= 12 && n == 12 + 5 * (be32(0) + be32(4) + be32(8));
        default:
            return false;
    }
}

}  // namespace

TEST(NewItemDecodeTest, AcceptanceTable) {
    struct Case {
        uint16_t tag;
        std::vector<uint8_t> value;
        int accepted;
        uint32_t bit;
    };
    const uint8_t noCounts[5] = {0, 0, 0, 0, 0};
    const Case cases[] = {
        {0x0306, Bytes(36), 1, 0x2},
        {0x0306, Bytes(64), 1, 0x2},
        {0x0306, Bytes(68), 1, 0x2},
        {0x0306, Bytes(40), 0, 0},
        {0x0308, Bytes(0), 1, 0x8},
        {0x0308, Bytes(1), 1, 0x8},
        {0x0308, Bytes(333), 1, 0x8},
        {0x040D, SatItem(noCounts, {}), 0, 0},
        {0x0002, U16(3), 1, 0x80000000u},
        {0x0002, Bytes(3), 0, 0},
        {0x0703, U32(1), 1, 0x1},
        {0x0703, Bytes(3), 0, 0},
        {0x0456, Bytes(90), 1, 0x40000},
        {0x045A, Cat({U16(1), U16(0)}), 1, 0x40000},
        {0x0459, U16(0), 1, 0x400000},
        {0x1504, Bytes(0), 1, 0},
        {0x1504, Bytes(999), 1, 0},
        {0x0001, U16(14), 0, 0},  // the operation item is the frame's, not the board's
        {0x0404, U16(1), 0, 0},   // only ever sent
        {0x0499, U16(1), 0, 0},   // not listed
        {0x2002, U16(1), 0, 0},   // no such group
        {0x0406, Bytes(4), 0, 0},
        {0x0406, Cat({U32(0)}), 0, 0},
        {0x0406, Cat({U32(0), U8(0)}), 1, 0x10},
    };
    for (const Case& c : cases) {
        Em_OemNewData d;
        d.Update_Mask = 0xDEAD;
        EXPECT_EQ(Decode(d, c.tag, c.value), c.accepted)
            << std::hex << c.tag << " len " << std::dec << c.value.size();
        EXPECT_EQ(d.Update_Mask, c.bit) << std::hex << c.tag;
    }
    Em_OemNewData d;
    d.Update_Mask = 0x5;
    EXPECT_EQ(d.Decode_NewItem(nullptr, 0x0703, 4), 0);
    EXPECT_EQ(d.Update_Mask, 0u);
}

TEST(NewItemDecodeTest, HardwareInfoForms) {
    Em_OemNewData d;
    std::vector<uint8_t> longForm =
        Cat({U32(7), Bytes(24, 'A'), Bytes(24, 'B'), U32(1), U32(2), U32(3), U32(4)});
    ASSERT_EQ(Decode(d, 0x0306, longForm), 1);
    const auto& h = d.state.hardwareInfo;
    EXPECT_EQ(h.id, 7u);
    EXPECT_EQ(std::string(h.text1), std::string(23, 'A'));
    EXPECT_EQ(std::string(h.text2), std::string(23, 'B'));
    EXPECT_EQ(h.word[3], 4u);

    // The short form leaves nothing of the longer reply behind.
    std::vector<uint8_t> shortForm = Cat(
        {U32(9), {'S', 'N', '1', '2', '3', '4', '5'}, Bytes(13, 'M'), U32(10), U32(11), U32(12)});
    ASSERT_EQ(shortForm.size(), 36u);
    ASSERT_EQ(Decode(d, 0x0306, shortForm), 1);
    EXPECT_EQ(h.id, 9u);
    EXPECT_EQ(std::string(h.text1), "SN12345");
    EXPECT_EQ(std::string(h.text2), std::string(13, 'M'));
    for (size_t i = 7; i < sizeof h.text1; ++i) {
        EXPECT_EQ(h.text1[i], 0) << i;
    }
    EXPECT_EQ(h.word[0], 10u);
    EXPECT_EQ(h.word[2], 12u);
    EXPECT_EQ(h.word[3], 0u);
}

TEST(NewItemDecodeTest, SatelliteTable) {
    Em_OemNewData d;
    const uint8_t counts[5] = {10, 5, 0, 0, 0};
    std::vector<std::vector<uint8_t>> sats;
    for (uint8_t i = 0; i < 10; ++i) {
        sats.push_back(Sat(i + 1, 0, i < 4));
    }
    for (uint8_t i = 0; i < 5; ++i) {
        sats.push_back(Sat(i + 60, 1, true));
    }
    std::vector<uint8_t> item = SatItem(counts, sats);
    ASSERT_EQ(item.size(), 143u);
    ASSERT_EQ(Decode(d, 0x040D, item), 1);
    EXPECT_EQ(d.Update_Mask, 0x800u);
    EXPECT_EQ(d.Sat_Gps_Count, 10);
    EXPECT_EQ(d.Sat_Glo_Count, 5);
    EXPECT_EQ(d.Sat_Bds_Count, 0);
    EXPECT_EQ(d.state.systemsInView, 2u);
    EXPECT_EQ(d.state.satTotal, 15u);
    EXPECT_EQ(d.state.satUsed, 9u);
    EXPECT_EQ(Field(d.Sat_Gps[3].Prn), 4);
    EXPECT_EQ(Field(d.Sat_Gps[3].Elevation), 45);
    EXPECT_EQ(Field(d.Sat_Gps[3].Azimuth), 300);
    EXPECT_FLOAT_EQ(Field(d.Sat_Gps[3].Snr1), 40.0f);
    EXPECT_FLOAT_EQ(Field(d.Sat_Gps[3].Snr2), 38.0f);
    EXPECT_EQ(Field(d.Sat_Glo[4].Prn), 64);

    // 40 entries of one system: the table keeps 32.
    const uint8_t many[5] = {40, 0, 0, 0, 0};
    sats.clear();
    for (uint8_t i = 0; i < 40; ++i) {
        sats.push_back(Sat(i + 1, 0, false));
    }
    ASSERT_EQ(Decode(d, 0x040D, SatItem(many, sats)), 1);
    EXPECT_EQ(d.Sat_Gps_Count, 32);
    EXPECT_EQ(d.Sat_Glo_Count, 0) << "tables are replaced whole";
    EXPECT_EQ(d.state.systemsInView, 1u);

    // An entry of system 7 is skipped.
    const uint8_t two[5] = {1, 1, 0, 0, 0};
    ASSERT_EQ(Decode(d, 0x040D, SatItem(two, {Sat(3, 7, true), Sat(4, 2, false)})), 1);
    EXPECT_EQ(d.Sat_Gps_Count, 0);
    EXPECT_EQ(d.Sat_Bds_Count, 1);
    EXPECT_EQ(d.state.systemsInView, 1u);

    // Length must match the counts exactly.
    std::vector<uint8_t> shortItem = SatItem(two, {Sat(3, 0, true)});
    EXPECT_EQ(Decode(d, 0x040D, shortItem), 0);
}

TEST(NewItemDecodeTest, DataBlockAndCountedBytes) {
    Em_OemNewData d;
    std::vector<uint8_t> item = Cat({U32(5000), Bytes(100, 'x')});
    ASSERT_EQ(Decode(d, 0x0406, item), 1);
    EXPECT_EQ(d.Update_Mask, 0x10u);
    EXPECT_EQ(d.Gga_Len, 100);
    EXPECT_EQ(d.Gga_Text[99], 'x');
    EXPECT_EQ(d.Gga_Text[100], 0);

    item = Cat({U32(10000), Bytes(3000, 'y')});
    ASSERT_EQ(Decode(d, 0x0409, item), 1);
    EXPECT_EQ(d.Gga_Len, 2048);
    EXPECT_EQ(d.Gga_Text[2047], 'y');

    item = Cat({U32(9000), Bytes(5000, 'z')});
    ASSERT_EQ(Decode(d, 0x1106, item), 1);
    EXPECT_EQ(d.state.netSourceCount, 4096u);
    item = Cat({U32(9000), Bytes(10, 'z')});
    ASSERT_EQ(Decode(d, 0x1106, item), 1);
    EXPECT_EQ(d.state.netSourceCount, 10u);
}

TEST(NewItemDecodeTest, BasePositionList) {
    Em_OemNewData d;
    auto entry = [](double a, double b, uint32_t c) { return Cat({F64(a), F64(b), U32(c)}); };
    // Limit 2 below count 3.
    std::vector<uint8_t> bad =
        Cat({F64(1.5), U8(2), U8(3), entry(1, 2, 3), entry(4, 5, 6), entry(7, 8, 9)});
    EXPECT_EQ(Decode(d, 0x0457, bad), 0);
    std::vector<uint8_t> good = bad;
    good[8] = 5;
    ASSERT_EQ(good.size(), 70u);
    ASSERT_EQ(Decode(d, 0x0457, good), 1);
    EXPECT_EQ(d.Update_Mask, 0x80000u);
    const auto& list = d.state.basePositions;
    EXPECT_EQ(list.value, 1.5);
    EXPECT_EQ(list.limit, 5);
    ASSERT_EQ(list.list.size(), 3u);
    EXPECT_EQ(list.list[2].first, 7.0);
    EXPECT_EQ(list.list[2].second, 8.0);
    EXPECT_EQ(list.list[2].value, 9u);
    // A second item replaces the list.
    ASSERT_EQ(Decode(d, 0x0457, Cat({F64(0), U8(5), U8(1), entry(10, 11, 12)})), 1);
    ASSERT_EQ(list.list.size(), 1u);
    EXPECT_EQ(list.list[0].value, 12u);
}

TEST(NewItemDecodeTest, PositionReport) {
    Em_OemNewData d;
    std::vector<uint8_t> item = Cat({F64(0.5), F64(2.0), F64(37.5), U32(11), U32(2000), U32(302400),
                                     F64(1.0), F64(2.0), F64(3.0), U32(7)});
    ASSERT_EQ(item.size(), 64u);
    ASSERT_EQ(Decode(d, 0x0410, item), 1);
    EXPECT_EQ(d.Update_Mask, 0x200u);
    EXPECT_EQ(d.Latitude, 0.5);
    EXPECT_EQ(d.Longitude, 2.0);
    EXPECT_EQ(d.Height, 37.5);
    EXPECT_EQ(d.Sol_Code, 11);
    EXPECT_DOUBLE_EQ(d.Err_Vert, 0.2);
    EXPECT_DOUBLE_EQ(d.Err_Horz, 0.4);
    EXPECT_DOUBLE_EQ(d.Err_Rms, 0.6000000000000001);
    EXPECT_EQ(d.Diff_Age, 7.0);
    EXPECT_EQ(d.state.gpsWeek, 2000);
    EXPECT_EQ(d.Year, 2018);
    EXPECT_EQ(d.Month, 5);
    EXPECT_EQ(d.Day, 9);
    EXPECT_EQ(d.Hour, 12);
    EXPECT_EQ(d.Minute, 0);
    EXPECT_DOUBLE_EQ(d.Second, 0.0);

    // Another solution leaves the errors as sent.
    std::vector<uint8_t> errors = Cat({F64(1.0), F64(2.0), F64(3.0)});
    d.Sol_Code = 4;
    ASSERT_EQ(Decode(d, 0x040E, errors), 1);
    EXPECT_EQ(d.Err_Vert, 1.0);
    EXPECT_EQ(d.Err_Rms, 3.0);

    // DOPs: GDOP from PDOP and TDOP.
    ASSERT_EQ(Decode(d, 0x040C, Cat({F32(3.0f), F32(1.0f), F32(2.0f), F32(4.0f)})), 1);
    EXPECT_EQ(d.Pdop, 3.0);
    EXPECT_EQ(d.Hdop, 1.0);
    EXPECT_EQ(d.Vdop, 2.0);
    EXPECT_EQ(d.Tdop, 4.0);
    EXPECT_DOUBLE_EQ(d.Gdop, 5.0);

    // Week (low 16 bits kept) and seconds.
    ASSERT_EQ(Decode(d, 0x040B, Cat({U32(0x10000 + 1356), U32(86399)})), 1);
    EXPECT_EQ(d.state.gpsWeek, 1356);
}

TEST(NewItemDecodeTest, RadioAndListItems) {
    Em_OemNewData d;
    ASSERT_EQ(Decode(d, 0x0703, U32(0x43D20000)), 1);
    EXPECT_EQ(d.state.radioFrequency, 0x43D20000u);

    // Channel lists: a = 1, b = 0, c = 2; each entry's 16-bit halves are kept swapped.
    std::vector<uint8_t> ch =
        Cat({U32(1), U32(0), U32(2), U16(0x0001), U16(0x0002), U8(7), U16(0x0A0B), U16(0x0C0D),
             U8(8), U16(0x1111), U16(0x2222), U8(9)});
    ASSERT_EQ(Decode(d, 0x0715, ch), 1);
    EXPECT_EQ(d.Update_Mask, 0x80000u);
    const auto& lists = d.state.radioChannelsEx;
    ASSERT_EQ(lists.list1.size(), 1u);
    EXPECT_TRUE(lists.list2.empty());
    ASSERT_EQ(lists.list3.size(), 2u);
    EXPECT_EQ(lists.list1[0].value, 0x00010002u);
    EXPECT_EQ(lists.list1[0].flag, 7);
    EXPECT_EQ(lists.list3[1].value, 0x11112222u);

    // Counts that wrap 32 bits: 12 + 5 * (0x33333334 + 0 + 0) is 16 modulo 2^32.
    std::vector<uint8_t> wrap = Cat({U32(0x33333334), U32(0), U32(0), U32(0)});
    EXPECT_EQ(Decode(d, 0x0715, wrap), 0);
    EXPECT_EQ(lists.list1.size(), 1u) << "a refused item changes nothing";

    // Subscriptions and configuration list.
    ASSERT_EQ(Decode(d, 0x0459, Cat({U16(2), U16(0x0406), U32(5), U16(0x0407), U32(6)})), 1);
    ASSERT_EQ(d.state.subscriptions.size(), 2u);
    EXPECT_EQ(d.state.subscriptions[1].tag, 0x0407);
    EXPECT_EQ(d.state.subscriptions[1].value, 6u);
    ASSERT_EQ(Decode(d, 0x045A, Cat({U16(9), U16(1), U16(0x0410), U16(3)})), 1);
    EXPECT_EQ(d.state.configListEx.first, 9);
    ASSERT_EQ(d.state.configListEx.list.size(), 1u);
    EXPECT_EQ(d.state.configListEx.list[0].rate, 3);

    // Base position: the setting record and the base information area.
    ASSERT_EQ(Decode(d, 0x0452, Cat({U16(3), F64(0.5), F64(2.0), F64(37.5)})), 1);
    EXPECT_EQ(d.state.baseSet.mode, 3);
    EXPECT_EQ(d.state.baseSet.height, 37.5);
    double info[3];
    std::memcpy(info, d.Base_Info.Data, sizeof info);
    EXPECT_EQ(info[0], 0.5);
    EXPECT_EQ(info[2], 37.5);
    ASSERT_EQ(Decode(d, 0x040F, Cat({F64(0.25), F64(1.0), F64(9.0)})), 1);
    EXPECT_EQ(d.Update_Mask, 0x1000u);
    EXPECT_EQ(d.state.baseSet.mode, 3);
    EXPECT_EQ(d.state.baseSet.lat, 0.25);
    std::memcpy(info, d.Base_Info.Data, sizeof info);
    EXPECT_EQ(info[1], 1.0);

    // The elevation mask lives in the status word.
    ASSERT_EQ(Decode(d, 0x0451, U8(15)), 1);
    EXPECT_EQ(d.Status_Word, 15);
    // The CSD number is always terminated.
    ASSERT_EQ(Decode(d, 0x140F, Cat({Bytes(20, '9'), U8(1)})), 1);
    EXPECT_EQ(std::string(d.state.modemCsd.number), std::string(19, '9'));
}

TEST(NewItemDecodeTest, SentenceStore) {
    Em_OemNewData d;
    std::string text(300, 'G');
    EXPECT_EQ(d.Store_NewGgaText(text.c_str(), 0x0407, 300), 0);
    d.Update_Mask = 0;
    ASSERT_EQ(d.Store_NewGgaText(text.c_str(), 0x0408, 300), 1);
    EXPECT_EQ(d.Update_Mask, 0x1u);
    EXPECT_EQ(d.sentenceLength, 260u);
    EXPECT_EQ(std::string(d.sentence), std::string(260, 'G'));
}

// Short list items with random counts: the counts are checked against the length before
// anything past the value is read (the block is exactly the item's length).
TEST(NewItemDecodeTest, MalformedListItems) {
    std::mt19937 rng(7);
    const uint16_t listTags[] = {0x040D, 0x0457, 0x0459, 0x045A, 0x0715, 0x0306,
                                 0x0406, 0x0407, 0x0408, 0x0409, 0x1106};
    for (uint16_t tag : listTags) {
        for (size_t len = 0; len <= 15; ++len) {
            for (int round = 0; round < 200; ++round) {
                std::vector<uint8_t> v(len);
                for (auto& b : v) {
                    b = static_cast<uint8_t>(rng());
                }
                Em_OemNewData d;
                int got = Decode(d, tag, v);
                ASSERT_EQ(got != 0, LengthAcceptable(tag, v)) << std::hex << tag << " " << len;
                if (!got) {
                    ASSERT_EQ(d.Update_Mask, 0u);
                }
            }
        }
    }
}

// Random items of every listed tag, at random lengths: only acceptable lengths are ever
// accepted, and nothing is read past a value.
TEST(NewItemDecodeTest, RandomItemsOfEveryTag) {
    std::mt19937 rng(11);
    Em_OemNewData d;
    std::vector<Expected> tags(std::begin(kExpected), std::end(kExpected));
    for (uint16_t tag : kNeverDecoded) {
        tags.push_back({tag, Want::Exact, 2, 0});
    }
    for (const Expected& e : tags) {
        const bool listed = Find_Expected(e.tag) != nullptr;
        for (int round = 0; round < 300; ++round) {
            size_t len = rng() % 3 == 0 ? e.len : rng() % 160;
            std::vector<uint8_t> v(len);
            for (auto& b : v) {
                b = static_cast<uint8_t>(rng() % 4 == 0 ? 0 : rng());
            }
            int got = Decode(d, e.tag, v);
            ASSERT_EQ(got != 0, listed && LengthAcceptable(e.tag, v))
                << std::hex << e.tag << " " << len;
            ASSERT_EQ(d.Update_Mask, got ? e.bit : 0u) << std::hex << e.tag;
        }
    }
}
