// The on-disk layout shared by every configs/*.vnk file.
#include <gtest/gtest.h>

#include "jsettings.h"
#include "temp_dir.h"

namespace {

// Groups, nested arrays and every value kind.
void writeSample(const std::string& path) {
    JSettings s(path, "sample", JSettings::kOpenFile);
    s.setStringValue("title", "Rover <A&B> \"north\"");
    s.setIntValue("count", -5);
    s.setLongValue("long", 2147483647);
    s.setCharValue("char", -56);
    s.setShortValue("short", -32768);
    s.setUCharValue("uchar", 255);
    s.setUShortValue("ushort", 65535);
    s.setUIntValue("uint", 4000000000u);
    s.setULongValue("ulong", 7u);
    s.setDoubleValue("negative", -1.0);
    s.setDoubleValue("high", 456.05);
    s.setDoubleValue("half", 0.5);
    s.beginGroup("connection");
    s.setIntValue("port", 3);
    s.setStringValue("radio/call/id", "VK2 ABC");
    s.endGroup();
    s.beginGroup("empty");
    s.endGroup();
    s.beginWriteArray("servers", -1);
    for (int i = 0; i < 2; ++i) {
        s.setArrayIndex(i);
        s.setStringValue("name", i == 0 ? "caster" : "base");
        s.beginWriteArray("sources", 2);
        s.setArrayIndex(0);
        s.setStringValue("value", "MNT" + std::to_string(i));
        s.setArrayIndex(1);
        s.setDoubleValue("value", 430.125);
        s.endArray();
    }
    s.endArray();
}

TEST(JSettingsFormat, SavedDocumentMatchesGoldenAndSurvivesReopening) {
    TempDir dir;
    const std::string path = dir.file("sample.vnk");
    writeSample(path);
    const std::string golden = readBytes(fixturePath("jsettings_sample.vnk"));
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(readBytes(path), golden);

    // Opening and destroying without changes rewrites the same bytes.
    { JSettings reopened(path, "sample", JSettings::kOpenFile); }
    EXPECT_EQ(readBytes(path), golden);

    JSettings s(path, "sample", JSettings::kOpenFile);
    EXPECT_EQ(s.stringValue("title"), "Rover <A&B> \"north\"");
    EXPECT_EQ(s.uintValue("uint"), 4000000000u);
    EXPECT_EQ(s.doubleValue("high"), 456.05);
    EXPECT_EQ(s.stringValue("connection/radio/call/id"), "VK2 ABC");
    ASSERT_EQ(s.beginArray("servers"), 2);
    s.setArrayIndex(1);
    EXPECT_EQ(s.stringValue("name"), "base");
    ASSERT_EQ(s.beginArray("sources"), 2);
    s.setArrayIndex(1);
    EXPECT_EQ(s.doubleValue("value"), 430.125);
    s.endArray();
    s.endArray();
}

TEST(JSettingsFormat, PrettyPrintedFileIsNormalisedAndStillReads) {
    TempDir dir;
    const std::string path = dir.file("pretty.vnk");
    writeBytes(path,
               "<?xml version=\"1.0\"?>\r\n"
               "<settings>\r\n"
               "\t<unused type=\"group\">\r\n"
               "\t</unused>\r\n"
               "\t<link type=\"group\">\r\n"
               "\t\t<port>  7 </port>\r\n"
               "\t\t<freq>430.5</freq>\r\n"
               "\t</link>\r\n"
               "</settings>\r\n");
    {
        JSettings s(path, "settings", JSettings::kOpenFile);
        EXPECT_EQ(s.status(), 0);
        EXPECT_EQ(s.intValue("link/port", -1), 7);
        EXPECT_EQ(s.doubleValue("link/freq"), 430.5);
    }
    EXPECT_EQ(readBytes(path), savedHeader().substr(0, 3) +
                                   "<?xml version=\"1.0\"?>\n"
                                   "<settings>\n"
                                   "    <link type=\"group\">\n"
                                   "        <port>  7 </port>\n"
                                   "        <freq>430.5</freq>\n"
                                   "    </link>\n"
                                   "</settings>\n");
}

TEST(JSettingsFormat, ValueAndGroupOfOneNameCoexist) {
    TempDir dir;
    const std::string path = dir.file("both.vnk");
    {
        JSettings s(path, "root", JSettings::kOpenFile);
        s.setIntValue("port", 4);
        s.setIntValue("port/number", 9);
        s.beginWriteArray("port", 1);
        s.setArrayIndex(0);
        s.setIntValue("value", 11);
        s.endArray();
    }
    JSettings s(path, "root", JSettings::kOpenFile);
    EXPECT_EQ(s.intValue("port"), 4);
    EXPECT_EQ(s.intValue("port/number"), 9);
    ASSERT_EQ(s.beginArray("port"), 1);
    s.setArrayIndex(0);
    EXPECT_EQ(s.intValue("value"), 11);
    s.endArray();
    EXPECT_EQ(s.childKeys(), std::vector<std::string>{"port"});
    EXPECT_EQ(s.childGroups(), std::vector<std::string>{"port"});
}

TEST(JSettingsFormat, CopyToTakesEverythingUnderTheRoot) {
    JSettings source("<a><v>1</v><g type=\"group\"><w>2</w></g></a>", "a", JSettings::kParseText);
    JSettings target("<b><old>9</old></b>", "b", JSettings::kParseText);
    EXPECT_EQ(source.copyTo(target, "c"), 0);
    EXPECT_EQ(target.toString(),
              "<c>\n    <v>1</v>\n    <g type=\"group\">\n        <w>2</w>\n    </g>\n</c>\n");
    EXPECT_EQ(target.intValue("g/w"), 2);
    EXPECT_EQ(target.intValue("old", -1), -1);
}

TEST(JSettingsFormat, ToStringPrintsTheInnermostLevel) {
    JSettings s("<root><g type=\"group\"><v>1</v></g></root>", "root", JSettings::kParseText);
    EXPECT_EQ(s.status(), 0);
    s.beginGroup("g");
    EXPECT_EQ(s.toString(), "<g type=\"group\">\n    <v>1</v>\n</g>\n");
    s.endGroup();
}

}  // namespace
