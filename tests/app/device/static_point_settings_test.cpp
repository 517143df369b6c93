// The static point's record image: what a receiver sends is read without running past a
// field, and what the page sets goes out bounded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "static_point_settings.h"

namespace {

using Brevan2011::BVParse::Static_Point;
using Varnok::StaticPointSettings;

Static_Point pointWithName(int count, const std::string& name) {
    Static_Point p{};
    p.nameLength = static_cast<std::uint8_t>(count);
    std::memcpy(p.name, name.data(), name.size() < sizeof p.name ? name.size() : sizeof p.name);
    return p;
}

TEST(StaticPointSettings, NameReadsTheCountedBytesWithinTheField) {
    struct Case {
        int count;
        std::string bytes;
        std::string name;
    } cases[] = {
        {5, "PT001", "PT001"},
        {3, "PT001", "PT0"},
        {200, std::string(32, 'A'), std::string(32, 'A')},
        {5,
         std::string("PT\0"
                     "01",
                     5),
         "PT"},
        {0, "PT001", ""},
    };
    for (const Case& c : cases) {
        const Static_Point p = pointWithName(c.count, c.bytes);
        EXPECT_EQ(StaticPointSettings::fromRecord(p, nullptr, 0).name, c.name) << c.count;
    }
}

TEST(StaticPointSettings, HeightAndReferenceTravelBothWays) {
    struct Case {
        int method;
        int reference;
    } cases[] = {{2, 2}, {3, 3}, {4, 4}, {-1, -1}, {1, -1}, {7, -1}};
    for (const Case& c : cases) {
        Static_Point p{};
        const float h = 1.5f;
        std::memcpy(&p.value, &h, sizeof h);
        p.method = c.method;
        p.byteField = 28;
        const StaticPointSettings s = StaticPointSettings::fromRecord(p, nullptr, 0);
        EXPECT_FLOAT_EQ(s.height, 1.5f);
        EXPECT_EQ(s.heightReference, c.reference) << c.method;
        EXPECT_EQ(s.antennaType, 28);
        const Static_Point back = s.toRecord();
        EXPECT_EQ(back.value, 0x3FC00000u);
        EXPECT_EQ(back.method, c.reference);
        EXPECT_EQ(back.byteField, 28);
    }
}

TEST(StaticPointSettings, AntennaCodeStopsAtTwentyCharactersOrNul) {
    char full[21];
    std::memset(full, 'Z', sizeof full);  // no terminator at all
    EXPECT_EQ(StaticPointSettings::fromRecord(Static_Point{}, full, sizeof full).antennaCode,
              std::string(20, 'Z'));
    const char shortCode[21] = "ZORK45";
    EXPECT_EQ(
        StaticPointSettings::fromRecord(Static_Point{}, shortCode, sizeof shortCode).antennaCode,
        "ZORK45");

    StaticPointSettings s;
    s.antennaCode = std::string(30, 'C');
    EXPECT_EQ(s.codeToSend(), std::string(20, 'C'));
}

TEST(StaticPointSettings, RecordKeepsAtMostThirtyTwoNameBytes) {
    StaticPointSettings s;
    s.name = std::string(40, 'N');
    s.heightReference = 4;
    Static_Point p = s.toRecord();
    EXPECT_EQ(p.nameLength, 32);
    EXPECT_EQ(std::string(p.name, 32), std::string(32, 'N'));

    s.name = "PT01";
    p = s.toRecord();
    EXPECT_EQ(p.nameLength, 4);
    EXPECT_EQ(std::string(p.name, 5), std::string("PT01\0", 5));
    EXPECT_EQ(StaticPointSettings::fromRecord(p, nullptr, 0).name, "PT01");
}

}  // namespace
