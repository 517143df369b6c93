// Keys, levels, arrays and typed values of the settings handle.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <functional>

#include "jsettings.h"
#include "temp_dir.h"

namespace {

struct LevelCase {
    const char* name;
    std::function<void(JSettings&)> write;
    // Sees a fresh handle on the saved file and the file's text.
    std::function<void(JSettings&, const std::string&)> check;
};

TEST(JSettingsLevels, TableOfCases) {
    const LevelCase cases[] = {
        {"padded key components reach the same value",
         [](JSettings& s) { s.setIntValue("link/port", 5); },
         [](JSettings& s, const std::string&) {
             EXPECT_EQ(s.intValue(" link \t/\r\n port ", -1), 5);
             s.beginGroup("\tlink ");
             EXPECT_EQ(s.intValue("port ", -1), 5);
             s.endGroup();
         }},
        {"setArrayIndex(9) selects a10",
         [](JSettings& s) {
             s.beginWriteArray("list", 10);
             EXPECT_EQ(s.setArrayIndex(9), 9);
             s.setIntValue("value", 42);
             s.endArray();
         },
         [](JSettings& s, const std::string& text) {
             EXPECT_NE(text.find("<a10>"), std::string::npos);
             EXPECT_EQ(text.find("<a9>"), std::string::npos);
             ASSERT_EQ(s.beginArray("list"), 10);
             s.setArrayIndex(9);
             EXPECT_EQ(s.intValue("value"), 42);
             s.endArray();
         }},
        {"a write without size counts the highest item",
         [](JSettings& s) {
             s.beginWriteArray("list", -1);
             for (int i : {0, 1, 4}) {
                 s.setArrayIndex(i);
                 s.setIntValue("value", i);
             }
             s.endArray();
         },
         [](JSettings& s, const std::string&) {
             EXPECT_EQ(s.beginArray("list"), 5);
             s.setArrayIndex(4);
             EXPECT_EQ(s.intValue("value", -1), 4);
             s.setArrayIndex(2);
             EXPECT_EQ(s.intValue("value", -1), -1);
             s.endArray();
         }},
        {"a write with size writes it at once and nothing more",
         [](JSettings& s) {
             s.beginWriteArray("list", 3);
             s.setArrayIndex(5);
             s.setIntValue("value", 1);
             s.endArray();
         },
         [](JSettings& s, const std::string& text) {
             EXPECT_EQ(s.beginArray("list"), 3);
             s.endArray();
             EXPECT_EQ(text.find("<size>6</size>"), std::string::npos);
         }},
        {"two items over five leave a3 to a5 while readers see two",
         [](JSettings& s) {
             s.beginWriteArray("list", 5);
             for (int i = 0; i < 5; ++i) {
                 s.setArrayIndex(i);
                 s.setIntValue("value", i);
             }
             s.endArray();
             s.beginWriteArray("list", 2);
             for (int i = 0; i < 2; ++i) {
                 s.setArrayIndex(i);
                 s.setIntValue("value", 10 + i);
             }
             s.endArray();
         },
         [](JSettings& s, const std::string& text) {
             EXPECT_NE(text.find("<a5>"), std::string::npos);
             ASSERT_EQ(s.beginArray("list"), 2);
             s.setArrayIndex(1);
             EXPECT_EQ(s.intValue("value"), 11);
             s.endArray();
         }},
        {"a missing array reads 0 and is pruned",
         [](JSettings& s) {
             EXPECT_EQ(s.beginArray("missing"), 0);
             s.endArray();
             EXPECT_EQ(s.intValue("absent/deeper/value", 3), 3);
         },
         [](JSettings&, const std::string& text) {
             EXPECT_EQ(text.find("missing"), std::string::npos);
             EXPECT_EQ(text.find("absent"), std::string::npos);
         }},
        {"invalid key components are skipped by begin calls and ignored by values",
         [](JSettings& s) {
             s.beginGroup("grp/9bad/ ");
             s.setIntValue("v", 1);
             EXPECT_TRUE(s.endGroup());
             s.beginGroup("");
             s.setIntValue("top", 2);
             EXPECT_TRUE(s.endGroup());
             EXPECT_FALSE(s.endGroup());
             s.setIntValue("bad name", 3);
             s.setIntValue("x//y", 4);
             s.setIntValue("", 5);
             EXPECT_EQ(s.intValue("", 6), 6);
         },
         [](JSettings& s, const std::string& text) {
             EXPECT_EQ(s.intValue("grp/v"), 1);
             EXPECT_EQ(s.intValue("top"), 2);
             EXPECT_EQ(text.find("bad"), std::string::npos);
             EXPECT_EQ(text.find("<x"), std::string::npos);
         }},
        {"an empty string reads as the default", [](JSettings& s) { s.setStringValue("name", ""); },
         [](JSettings& s, const std::string&) {
             EXPECT_EQ(s.stringValue("name", "dflt"), "dflt");
         }},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("levels.vnk");
        {
            JSettings s(path, "root", JSettings::kOpenFile);
            c.write(s);
        }
        const std::string text = readBytes(path);
        JSettings s(path, "root", JSettings::kOpenFile);
        ASSERT_EQ(s.status(), 0);
        c.check(s, text);
    }
}

TEST(JSettingsLevels, EndCallsCloseOnlyTheirOwnKindAndNeverTheRoot) {
    JSettings s("<root/>", "root", JSettings::kParseText);
    EXPECT_FALSE(s.endGroup());
    EXPECT_EQ(s.setArrayIndex(0), -1);
    s.endArray();
    s.beginWriteArray("list", -1);
    EXPECT_TRUE(s.endGroup());  // an array stays open
    EXPECT_EQ(s.setArrayIndex(0), 0);
    EXPECT_EQ(s.setArrayIndex(-2), -1);
    s.endArray();
    s.beginGroup("g");
    EXPECT_EQ(s.setArrayIndex(0), -1);  // a group has no items
    s.endArray();                       // and is not closed by endArray
    EXPECT_TRUE(s.endGroup());
    EXPECT_FALSE(s.endGroup());
}

struct TypedCase {
    const char* stored;  // nullptr: the value is absent
    std::function<long long(JSettings&)> read;
    long long expected;
};

TEST(JSettingsValues, TypedReadsTable) {
    auto asUChar = [](JSettings& s) { return static_cast<long long>(s.ucharValue("v", 9)); };
    auto asChar = [](JSettings& s) { return static_cast<long long>(s.charValue("v", 9)); };
    auto asShort = [](JSettings& s) { return static_cast<long long>(s.shortValue("v", 9)); };
    auto asUShort = [](JSettings& s) { return static_cast<long long>(s.ushortValue("v", 9)); };
    auto asInt = [](JSettings& s) { return static_cast<long long>(s.intValue("v", 7)); };
    auto asUInt = [](JSettings& s) { return static_cast<long long>(s.uintValue("v", 7)); };
    const TypedCase cases[] = {
        {"300", asUChar, 44},
        {"200", asChar, -56},
        {"40000", asShort, -25536},
        {"70000", asUShort, 4464},
        {"3000000000", asInt, 2147483647},
        {"-3000000000", asInt, -2147483647LL - 1},
        {" 12abc", asInt, 12},
        {"\t-8", asInt, -8},
        {"abc", asInt, 0},
        {"", asInt, 7},
        {nullptr, asInt, 7},
        {"-1", asUInt, 4294967295LL},
        {"65535", asUInt, 65535},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.stored == nullptr ? "(absent)" : c.stored);
        JSettings s("<root/>", "root", JSettings::kParseText);
        if (c.stored != nullptr) {
            s.setStringValue("v", c.stored);
        }
        EXPECT_EQ(c.read(s), c.expected);
    }
}

TEST(JSettingsValues, DoublesReadAndWriteInCNotation) {
    JSettings s("<root/>", "root", JSettings::kParseText);
    const struct {
        double value;
        const char* text;
    } writes[] = {{-1.0, "-1.0000000000000000"},
                  {456.05, "456.0500000000000114"},
                  {430.125, "430.1250000000000000"},
                  {0.5, "0.5000000000000000"},
                  {0.0, "0.0000000000000000"}};
    for (const auto& w : writes) {
        s.setDoubleValue("d", w.value);
        EXPECT_EQ(s.stringValue("d"), w.text);
        EXPECT_EQ(s.doubleValue("d"), w.value);
    }
    s.setStringValue("d", "abc");
    EXPECT_EQ(s.doubleValue("d", 3.5), 0.0);
    s.setStringValue("d", " 2.25xyz");
    EXPECT_EQ(s.doubleValue("d", 3.5), 2.25);
    s.setStringValue("d", "");
    EXPECT_EQ(s.doubleValue("d", 3.5), 3.5);
}

TEST(JSettingsValues, CommaDecimalLocaleStillUsesPoint) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/install-deps.sh adds it)";
    }
    char probe[16];
    std::snprintf(probe, sizeof(probe), "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5");  // the locale really writes commas
    TempDir dir;
    const std::string path = dir.file("locale.vnk");
    {
        JSettings s(path, "root", JSettings::kOpenFile);
        s.setDoubleValue("freq", 430.125);
        s.setStringValue("text", "430.1250000000000000");
    }
    const std::string text = readBytes(path);
    JSettings s(path, "root", JSettings::kOpenFile);
    const double freq = s.doubleValue("freq");
    const double fromText = s.doubleValue("text");
    std::setlocale(LC_ALL, "C");
    EXPECT_NE(text.find("<freq>430.1250000000000000</freq>"), std::string::npos);
    EXPECT_EQ(freq, 430.125);
    EXPECT_EQ(fromText, 430.125);
}

}  // namespace
