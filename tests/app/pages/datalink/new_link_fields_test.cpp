// Field rules of the new-protocol data link panels: code conversions, the fields a server
// type shows, the channel list a band gets, and the address, source, account and call sign
// records as they reach the wire.
#include <gtest/gtest.h>

#include <QVariantHash>

#include <algorithm>
#include <cstring>
#include <vector>

#include "BVParse/Em_Gnss.h"
#include "link_fields.h"
#include "logic_context.h"

namespace LF = Varnok::LinkFields;
using Brevan2011::BVParse::Cmd_List;
using Brevan2011::BVParse::Em_Gnss;

namespace {

TEST(NewLinkFields, ServerTypesAndStoredCodesConvert) {
    const std::pair<int, int> stored[] = {{2, 1}, {3, 0}, {4, 0}, {5, 3}, {0, 1}, {99, 1}};
    for (const auto& [type, code] : stored) {
        EXPECT_EQ(LF::toStoredProtocol(type), code) << type;
    }
    const std::pair<int, int> types[] = {{0, 3}, {1, 2}, {3, 5}, {2, 2}, {-1, 2}};
    for (const auto& [code, type] : types) {
        EXPECT_EQ(LF::toServerType(code), type) << code;
    }
}

TEST(NewLinkFields, ServerTypeShowsItsFields) {
    struct Row {
        int type;
        bool valid, sourceLabel;
        const char* label;
        bool sourceList, baseId, account, autoLogin, get;
    };
    const Row rows[] = {
        {2, true, true, "Source:", true, false, true, true, true},
        {3, true, true, "BaseID:", false, true, false, true, false},
        {4, true, false, "Source:", false, false, false, true, false},
        {5, true, false, "Source:", false, false, false, false, false},
        {1, false, false, "", false, false, false, false, false},
        {6, false, false, "", false, false, false, false, false},
    };
    for (const Row& r : rows) {
        const LF::ServerTypeFields f = LF::serverTypeFields(r.type);
        EXPECT_EQ(f.valid, r.valid) << r.type;
        EXPECT_EQ(f.sourceLabel, r.sourceLabel) << r.type;
        if (r.valid) {
            EXPECT_EQ(f.labelText, QString::fromLatin1(r.label)) << r.type;
        }
        EXPECT_EQ(f.sourceList, r.sourceList) << r.type;
        EXPECT_EQ(f.baseId, r.baseId) << r.type;
        EXPECT_EQ(f.account, r.account) << r.type;
        EXPECT_EQ(f.autoLogin, r.autoLogin) << r.type;
        EXPECT_EQ(f.getSource, r.get) << r.type;
    }
}

TEST(NewLinkFields, FrequencyTypeOfModulesSpanningTheBands) {
    // Modules 5 and 7 span the three bands; the others have one.
    for (int module : {5, 7}) {
        EXPECT_EQ(Varnok::LogicContext::radioTypeGroup(module), 4) << module;
        struct Row {
            double mhz;
            int type;
        };
        const Row rows[] = {{410.0, 3}, {430.0, 3},    {430.0125, 2},
                            {450.0, 2}, {450.0125, 1}, {470.0, 1}};
        for (const Row& r : rows) {
            EXPECT_EQ(Varnok::LogicContext::typeBandOfFrequency(410, 470, r.mhz, module), r.type)
                << module << " " << r.mhz;
        }
    }
    EXPECT_NE(Varnok::LogicContext::radioTypeGroup(1), 4);
    const QList<LF::Choice> items = LF::frequencyTypes(410, 470);
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], (LF::Choice{"450 -- 470 MHz", 1}));
    EXPECT_EQ(items[1], (LF::Choice{"430 -- 450 MHz", 2}));
    EXPECT_EQ(items[2], (LF::Choice{"410 -- 430 MHz", 3}));
}

TEST(NewLinkFields, SnappingOnTheRadioGrid) {
    const double step = 125 * 0.1 * 0.001;
    struct Row {
        double typed, expected;
    };
    const Row rows[] = {{450.0130, 450.0125}, {450.0190, 450.0250}, {450.0125, 450.0125}};
    for (const Row& r : rows) {
        double value = r.typed;
        if (Varnok::LogicContext::isOffGrid(value, 410, step)) {
            value =
                LF::snappedOrKept(value, Varnok::LogicContext::snapToGrid(value, 410, 470, step));
        }
        EXPECT_NEAR(value, r.expected, 1e-9) << r.typed;
    }
    // A range without one whole step gives no grid point: the value stays.
    EXPECT_EQ(
        LF::snappedOrKept(450.013, Varnok::LogicContext::snapToGrid(450.013, 450.0, 450.001, step)),
        450.013);
}

TEST(NewLinkFields, ChannelListOfABand) {
    LF::ChannelLists none;
    LF::ChannelLists defaults;
    defaults.high = {460.0, 461.0};
    defaults.middle = {440.0};
    defaults.low = {420.0};
    LF::ChannelLists bands;
    bands.high = {455.05, 456.05};
    bands.middle = {440.5};
    LF::ChannelLists single;
    single.single = {0.0, 463.0, 464.0};
    struct Row {
        const char* name;
        int band;
        const LF::ChannelLists* radio;
        const LF::ChannelLists* defaults;
        std::vector<double> expected;
    };
    LF::ChannelLists singleDefault;
    singleDefault.single = {0.0, 450.0};
    const Row rows[] = {
        {"band lists, high", 1, &bands, &none, {0.0, 455.05, 456.05}},
        {"band lists, middle", 2, &bands, &none, {0.0, 440.5}},
        {"band lists, low empty", 3, &bands, &none, {0.0}},
        {"single only, as it stands", 2, &single, &none, {0.0, 463.0, 464.0}},
        {"none: default band", 3, &none, &defaults, {420.0}},
        {"none: default single wins", 2, &none, &singleDefault, {0.0, 450.0}},
        {"nothing at all", 1, &none, &none, {}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(LF::channelsOfBand(r.band, *r.radio, *r.defaults), r.expected) << r.name;
    }
    const std::vector<double> channels = {0.0, 455.05f, 456.05};
    EXPECT_EQ(LF::channelOfFrequency(channels, 455.05), 1);  // a rounded float still matches
    EXPECT_EQ(LF::channelOfFrequency(channels, 456.0501), 0);
    EXPECT_EQ(LF::channelOfFrequency({}, 456.05), 0);
}

std::vector<unsigned char> bytesOf(const Cmd_List& cmds) {
    std::vector<unsigned char> out;
    for (const auto& c : cmds) {
        out.insert(out.end(), c.data, c.data + c.length);
    }
    return out;
}

bool containsSequence(const std::vector<unsigned char>& hay,
                      const std::vector<unsigned char>& needle) {
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

TEST(NewLinkFields, AddressRecordReachesTheWireInOrder) {
    LF::QX_IP_ADDRESS_STRUCT a;
    std::memset(&a, 0xEE, sizeof a);
    ASSERT_TRUE(LF::buildServerAddress("192.168.1.20", "2101", a));
    EXPECT_EQ(a.address, 0xC0A80114u);
    EXPECT_EQ(a.port, 2101);
    EXPECT_EQ(a.flag, 0);
    EXPECT_TRUE(std::all_of(a.name, a.name + sizeof a.name, [](char c) { return c == 0; }));
    EXPECT_EQ(LF::addressText(a), "192.168.1.20");

    Em_Gnss gnss(Brevan2011::BVParse::GNSS_MNFCTR_VELTA, Brevan2011::BVParse::MAINBD_NEWPROTOCOL);
    Cmd_List cmds;
    gnss.Get_Cmd_NetLink_Address(cmds, &a);
    std::vector<unsigned char> expected = {0xC0, 0xA8, 0x01, 0x14, 0x08, 0x35, 0x00};
    expected.resize(expected.size() + sizeof a.name, 0);
    EXPECT_TRUE(containsSequence(bytesOf(cmds), expected));

    const std::pair<const char*, const char*> refused[] = {{"foo", "2101"},
                                                           {"1.2.3", "2101"},
                                                           {"192.168.1.20", "70000"},
                                                           {"192.168.1.20", "0"},
                                                           {"192.168.1.20", ""},
                                                           {"256.1.1.1", "2101"},
                                                           {"caster.example.com", "2101"}};
    for (const auto& [address, port] : refused) {
        LF::QX_IP_ADDRESS_STRUCT untouched{};
        untouched.port = 7;
        EXPECT_FALSE(LF::buildServerAddress(address, port, untouched)) << address << ":" << port;
        EXPECT_EQ(untouched.port, 7);
    }
}

TEST(NewLinkFields, TextsFitTheirFieldsOrAreRefused) {
    LF::QX_CORS_DATA_SOURCE_STRUCT s{};
    ASSERT_TRUE(LF::buildDataSource("MP1", s));
    EXPECT_EQ(LF::dataSourceText(s), "MP1");
    EXPECT_TRUE(LF::buildDataSource(QString(19, 'a'), s));
    EXPECT_EQ(s.source[19], 0);
    EXPECT_FALSE(LF::buildDataSource(QString(20, 'a'), s));

    LF::QX_ACCOUNT_STRUCT a{};
    ASSERT_TRUE(LF::buildAccount("user", "pass", a));
    EXPECT_EQ(std::string(a.user), "user");
    EXPECT_EQ(std::string(a.password), "pass");
    EXPECT_EQ(a.user[4], 0);
    // Ten Cyrillic letters are twenty bytes.
    EXPECT_FALSE(LF::buildAccount(QString::fromUtf8("абвгдежзий"), "p", a));
    EXPECT_FALSE(LF::buildAccount("u", QString(20, 'p'), a));
    EXPECT_EQ(LF::accountUser(a), "user");

    // Fields full to the last byte are read within the field.
    LF::QX_CORS_DATA_SOURCE_STRUCT full;
    std::memset(full.source, 'x', sizeof full.source);
    EXPECT_EQ(LF::dataSourceText(full), QString(20, 'x'));
    LF::QX_ACCOUNT_STRUCT fullAccount;
    std::memset(&fullAccount, 'y', sizeof fullAccount);
    EXPECT_EQ(LF::accountUser(fullAccount), QString(50, 'y'));
    EXPECT_EQ(LF::accountPassword(fullAccount), QString(20, 'y'));
}

TEST(NewLinkFields, CallSignRecordFromThePageValues) {
    struct Row {
        const char* name;
        QVariantHash values;
        int state, interval;
        std::string text;
    };
    const auto hash = [](bool state, int interval, const QString& message, int length) {
        return QVariantHash{{"CSState", state},
                            {"CSInterval", interval},
                            {"CSMessage", message},
                            {"CSLength", length}};
    };
    const Row rows[] = {
        {"plain", hash(true, 15, "VK2XYZ", 6), 1, 15, "VK2XYZ"},
        {"length cuts", hash(false, 5, "VK2XYZ", 3), 0, 5, "VK2"},
        {"interval low byte", hash(true, 300, "A", 1), 1, 44, "A"},
        {"sixteen kept", hash(true, 1, QString(17, 'Q'), 17), 1, 1, std::string(16, 'Q')},
        {"non-Latin-1 ends", hash(true, 1, QString::fromUtf8("AB\u0416C"), 4), 1, 1, "AB"},
        {"nothing", QVariantHash{}, 0, 0, ""},
    };
    for (const Row& r : rows) {
        const LF::QX_RADIO_CALLSIGN_STRUCT c = LF::newCallsignFromHash(r.values);
        EXPECT_EQ(c.b1, r.state) << r.name;
        EXPECT_EQ(c.b2, r.interval) << r.name;
        EXPECT_EQ(std::string(c.text), r.text) << r.name;
        EXPECT_EQ(c.text[16], 0) << r.name;
    }
    LF::QX_RADIO_CALLSIGN_STRUCT full;
    std::memset(&full, 'Z', sizeof full);
    EXPECT_EQ(LF::newCallsignText(full), QString(17, 'Z'));
    const QVariantHash out = LF::newCallsignToHash(1, 10, "ABC");
    EXPECT_EQ(out.value("CSLength").toInt(), 3);
    EXPECT_EQ(out.value("CSMessage").toString(), "ABC");
}

}  // namespace
