// The radio channel table file and the band of a radio module.
#include <gtest/gtest.h>

#include "config_paths.h"
#include "jsettings.h"
#include "radio_channels_config.h"
#include "temp_dir.h"

namespace {

TEST(RadioChannelsConfig, EmptyConfigsDirectoryGetsTheBuiltInTable) {
    TempDir dir;
    ConfigPaths::setDirectory(dir.path() + "/configs");
    RadioChannelsConfig channels;
    ConfigPaths::setDirectory(std::string());
    EXPECT_EQ(channels.path(), dir.path() + "/configs/radiochannels.vnk");
    EXPECT_EQ(readBytes(channels.path()), readBytes(fixturePath("radiochannels.vnk")));

    const struct {
        int band;
        std::vector<double> expected;
    } cases[] = {
        {0, {0, 456.05, 456.55, 457.05, 458.05, 459.05, 460.05, 461.05, 462.05, 462.55}},
        {1, {0, 430.0, 432.5, 435.0, 437.5, 440.0, 442.5, 445.0, 447.5, 450.0}},
        {2, {0, 415.05, 416.05, 417.05, 418.05, 419.05, 420.05, 421.05, 422.05, 423.05}},
        {4, std::vector<double>(10, 0.0)},
        {3, std::vector<double>(10, 0.0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.band);
        std::vector<double> list{99.0};
        channels.load(c.band, list);
        EXPECT_EQ(list, c.expected);
    }
    EXPECT_EQ(channels.indexOfFrequency(432.5), 2);
    EXPECT_EQ(channels.indexOfFrequency(423.05), 9);
    EXPECT_EQ(channels.indexOfFrequency(999.0), 0);
    // Reading never changes the table.
    EXPECT_EQ(readBytes(channels.path()), readBytes(fixturePath("radiochannels.vnk")));
}

TEST(RadioChannelsConfig, ExistingTableIsKeptAndGapsRepeatThePreviousValue) {
    TempDir dir;
    const std::string path = dir.file("radiochannels.vnk");
    writeBytes(path,
               "<radio><channel type=\"array\"><size>3</size>"
               "<a1><middle>431.0</middle></a1>"
               "<a2><middle>433.25</middle></a2>"
               "<a3><high>460.0</high></a3>"
               "</channel></radio>");
    RadioChannelsConfig channels(path);
    std::vector<double> list;
    channels.load(1, list);
    EXPECT_EQ(list, (std::vector<double>{431.0, 433.25, 433.25}));
    channels.load(0, list);
    EXPECT_EQ(list, (std::vector<double>{0.0, 0.0, 460.0}));
    EXPECT_EQ(channels.indexOfFrequency(460.0), 2);
}

TEST(RadioChannelsConfig, UnusableFilesGetTheBuiltInTable) {
    const struct {
        const char* content;
        bool replaced;  // a file that loads keeps its own declaration (here: none)
    } cases[] = {{"", true},
                 {"<other/>", true},
                 {"<radio><channel type=\"array\"/>", true},
                 {"<radio/>", false},
                 {"<radio><channel type=\"array\"><size>0</size></channel></radio>", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        TempDir dir;
        const std::string path = dir.file("radiochannels.vnk");
        writeBytes(path, c.content);
        RadioChannelsConfig channels(path);
        if (c.replaced) {
            EXPECT_EQ(readBytes(path), readBytes(fixturePath("radiochannels.vnk")));
        }
        std::vector<double> list;
        channels.load(0, list);
        ASSERT_EQ(list.size(), 10u);
        EXPECT_EQ(list[1], 456.05);
    }
}

TEST(RadioChannelsConfig, BandsOfTypesAndFrequencies) {
    const int typeBands[][2] = {{1, 0}, {3, 0}, {6, 0}, {7, 0}, {5, 1}, {2, 2},
                                {4, 2}, {8, 3}, {0, 4}, {9, 4}, {-1, 4}};
    for (const auto& tb : typeBands) {
        EXPECT_EQ(RadioChannelsConfig::bandOfType(tb[0]), tb[1]) << tb[0];
    }
    const struct {
        double mhz;
        int type;
        int band;
    } cases[] = {{420.0, 8, 2}, {430.0, 8, 2}, {440.0, 8, 1}, {450.0, 8, 1},
                 {460.0, 8, 0}, {410.0, 8, 2}, {409.9, 8, 0}, {435.0, 9, 4},
                 {435.0, 1, 0}, {435.0, 5, 1}, {435.0, 2, 2}, {435.0, 0, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(RadioChannelsConfig::bandOfFrequency(c.mhz, c.type), c.band)
            << c.mhz << " " << c.type;
    }
    EXPECT_EQ(RadioChannelsConfig::tableName(3), "");
    EXPECT_EQ(RadioChannelsConfig::columnName(1, 1), "middle_send");
    EXPECT_EQ(RadioChannelsConfig::columnName(0, 0), "high_receive");
    EXPECT_EQ(RadioChannelsConfig::columnName(2, 5), "low");
    EXPECT_EQ(RadioChannelsConfig::columnName(3, 0), "");
}

TEST(RadioChannelsConfig, DuplexTableStaysReadable) {
    TempDir dir;
    const std::string path = dir.file("radiochannels.vnk");
    RadioChannelsConfig channels(path);
    channels.writeDuplexDefaults();
    {
        JSettings s;
        EXPECT_EQ(s.open(path, "radio"), 0);
    }
    std::vector<double> list;
    channels.loadColumn(1, 0, list);
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list[1], 430.0125);
    EXPECT_EQ(list[9], 446.0125);
    channels.loadColumn(2, 1, list);
    EXPECT_EQ(list[9], 423.05);
    // The single-column layout is still there.
    channels.load(1, list);
    EXPECT_EQ(list[1], 430.0);
}

}  // namespace
