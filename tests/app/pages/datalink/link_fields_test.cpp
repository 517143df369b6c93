#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include <cstring>
#include <memory>

#include "link_fields.h"

using namespace Varnok::LinkFields;

namespace {

QStringList texts(const QList<Choice>& items) {
    QStringList out;
    for (const Choice& c : items) {
        out << c.text;
    }
    return out;
}

QList<int> values(const QList<Choice>& items) {
    QList<int> out;
    for (const Choice& c : items) {
        out << c.value;
    }
    return out;
}

const unsigned char* bytes(const void* p) {
    return static_cast<const unsigned char*>(p);
}

}  // namespace

TEST(LinkFieldsRadio, ProtocolListFollowsTheMaskInPanelOrder) {
    const std::uint32_t mask = (1u << 25) | (1u << 28) | (1u << 29) | (1u << 30);
    EXPECT_EQ(texts(radioProtocols(mask)),
              (QStringList{"ZOR", "TT450s", "Transparent", "Trimmark3"}));
    EXPECT_EQ(values(radioProtocols(mask)), (QList<int>{1, 6, 5, 10}));
    EXPECT_EQ(values(radioProtocols(0xFFFFFFFFu)), (QList<int>{1, 6, 5, 8, 9, 10}));
    EXPECT_TRUE(radioProtocols(0x00FFFFFFu).isEmpty());
    EXPECT_EQ(values(radioPowers(0xF)), (QList<int>{2, 3, 4, 5}));
    EXPECT_EQ(texts(radioPowers(0x5)), (QStringList{"0.1 w", "1 w"}));
}

TEST(LinkFieldsRadio, BaudListOfEveryCode) {
    struct Row {
        int code;
        QList<int> values;
    };
    const Row rows[] = {{0, {0}}, {1, {1, 0}}, {2, {1, 0, 2}}, {3, {1, 2}}, {4, {0, 2}},
                        {5, {1}}, {6, {2}},    {7, {}},        {255, {0}},  {-1, {}}};
    for (const Row& r : rows) {
        EXPECT_EQ(values(radioBauds(r.code)), r.values) << "code " << r.code;
    }
    EXPECT_EQ(texts(radioBauds(5)), QStringList{"4800"});
}

TEST(LinkFieldsRadio, CapabilityBits) {
    const RadioCaps none = radioCaps((1u << 24) | (1u << 25));
    EXPECT_FALSE(none.spacing || none.baudSettable || none.sensitivity || none.baudReadable ||
                 none.fec || none.callsign || none.power);
    EXPECT_TRUE(none.frequency);
    const RadioCaps all = radioCaps(0xFFFFFFFFu);
    EXPECT_TRUE(all.spacing && all.baudSettable && all.sensitivity && all.baudReadable && all.fec &&
                all.callsign && all.frequency && all.power);
    EXPECT_TRUE(radioCaps(1u << 27).power);
    EXPECT_TRUE(radioCaps(1u << 23).callsign);
}

TEST(LinkFieldsRadio, ChannelUnitOverSpacingFlagCodeAndStep) {
    struct Row {
        bool flag;
        int code;
        double stepKHz;
        double unit;
    };
    const Row rows[] = {
        {true, 0, 12.5, 0.0125},  {true, 1, 12.5, 0.02},      {true, 2, 12.5, 0.0125},
        {true, 0, 20, 0.0125},    {true, 1, 25, 0.02},        {true, 2, 25, 0.0125},
        {false, 0, 12.5, 0.0125}, {false, 1, 20, 0.02},       {false, 2, 25, 0.0125},
        {false, 1, 12.5, 0.0125}, {false, 0, 20.05, 0.02005},
    };
    for (const Row& r : rows) {
        EXPECT_NEAR(channelUnit(r.flag, r.code, r.stepKHz), r.unit, 1e-12)
            << r.flag << " " << r.code << " " << r.stepKHz;
    }
    // The receiver's channel numbers 36800 and 36880 at 12.5 kHz.
    EXPECT_NEAR(36800 * channelUnit(true, 0, 0), 460.0, 1e-9);
    EXPECT_NEAR(36880 * channelUnit(true, 0, 0), 461.0, 1e-9);
    EXPECT_DOUBLE_EQ(spacingStep(0), 0.0125);
    EXPECT_DOUBLE_EQ(spacingStep(1), 0.02);
    EXPECT_DOUBLE_EQ(spacingStep(2), 0.025);
    EXPECT_DOUBLE_EQ(spacingStep(3), 0.0);
    EXPECT_DOUBLE_EQ(snappedOrKept(455.013, -1.0), 455.013);
    EXPECT_DOUBLE_EQ(snappedOrKept(455.013, 455.0125), 455.0125);
}

TEST(LinkFieldsRadio, ChannelUseAndRangeTexts) {
    EXPECT_EQ(channelUseText(0, true), "Used for : Receive and Send");
    EXPECT_EQ(channelUseText(0, false), "Used for : Receive");
    EXPECT_EQ(channelUseText(1, true), "Used for : Receive");
    EXPECT_EQ(channelUseText(2, true), "Used for : Send");
    EXPECT_EQ(channelUseText(3, true), "Used for : NONE");
    EXPECT_EQ(channelUseText(4, true), "");
    EXPECT_EQ(rangeText(410, 470), "410--470 MHz");
    EXPECT_EQ(rangeText(403.25, 473.5), "403.25--473.5 MHz");
    EXPECT_EQ(rangeText(410.0000001, 470), "410--470 MHz");
}

TEST(LinkFieldsCallsign, HashRoundTripCapsTheMessageAtTheField) {
    Radio_Callsign c{};
    c.on = 1;
    c.interval = 10;
    std::memcpy(c.text, "ABC", 3);
    c.length = 3;
    const QVariantHash h = callsignToHash(c);
    EXPECT_EQ(h.value("CSState").toBool(), true);
    EXPECT_EQ(h.value("CSInterval").toInt(), 10);
    EXPECT_EQ(h.value("CSMessage").toString(), "ABC");
    EXPECT_EQ(h.value("CSLength").toInt(), 3);

    // A full field without a terminator reads 14 characters, never past it.
    auto full = std::make_unique<Radio_Callsign>();
    std::memset(full->text, 'Z', sizeof full->text);
    EXPECT_EQ(callsignMessage(*full), QString(14, 'Z'));

    struct Row {
        QString message;
        int length;
        QByteArray kept;
    };
    const Row rows[] = {
        {"XYZ12", 5, "XYZ12"},
        {"ABCDEF", 3, "ABC"},
        {QString(16, 'Q'), 16, QByteArray(14, 'Q')},  // typed past a 14-byte field
        {QString::fromUtf8("Müller"), 6, QByteArray("M\xfcller")},
        {QString::fromUtf8("ABЖCD"), 5, "AB"},  // no NUL inside the message
        {"AB", 9, "AB"},
    };
    for (const Row& r : rows) {
        QVariantHash in{
            {"CSState", 1}, {"CSInterval", 5}, {"CSMessage", r.message}, {"CSLength", r.length}};
        const Radio_Callsign out = callsignFromHash(in);
        EXPECT_EQ(out.on, 1);
        EXPECT_EQ(out.interval, 5);
        EXPECT_EQ(out.length, r.kept.size()) << r.message.toStdString();
        EXPECT_EQ(QByteArray(out.text, out.length), r.kept);
        for (int i = r.kept.size(); i < kCallsignMessageBytes; ++i) {
            EXPECT_EQ(out.text[i], 0);
        }
    }
    const Radio_Callsign empty = callsignFromHash({});
    EXPECT_EQ(empty.on, 0);
    EXPECT_EQ(empty.length, 0);
}

TEST(LinkFieldsNet, ProtocolsByWordAndMode) {
    EXPECT_EQ(protocolsOfWord(0), QList<int>{});
    EXPECT_EQ(protocolsOfWord(1u << 18), QList<int>{TcpDirect});
    EXPECT_EQ(protocolsOfWord(7u << 16), (QList<int>{Orlo, NtripClient, TcpDirect}));
    const QList<int> all{Orlo, NtripClient, TcpDirect};
    EXPECT_EQ(protocolsForMode(all, Base), (QList<int>{Orlo, TcpDirect}));
    EXPECT_EQ(protocolsForMode(all, Rover), all);
    EXPECT_EQ(protocolsForMode({TcpDirect}, Base), QList<int>{TcpDirect});
    EXPECT_EQ(protocolsForMode({TcpDirect}, Rover), QList<int>{TcpDirect});
}

TEST(LinkFieldsNet, VisibilityOverModeAndProtocol) {
    struct Row {
        int mode, protocol;
        bool autoSupported;
        bool source, autoLogin, label, baseId;
        const char* text;
    };
    const Row rows[] = {
        {Base, Orlo, true, false, false, false, false, "Source:"},
        {Base, NtripClient, true, false, false, false, false, "Source:"},
        {Base, TcpDirect, true, false, false, false, false, "Source:"},
        {Rover, Orlo, true, false, false, true, true, "BaseID:"},
        {Rover, NtripClient, true, true, true, true, false, "Source:"},
        {Rover, NtripClient, false, true, false, true, false, "Source:"},
        {Rover, TcpDirect, true, false, false, false, false, "Source:"},
        {Rover, OrloOneToMulti, true, false, false, true, false, "Source:"},
    };
    for (const Row& r : rows) {
        const NetFieldVisibility v = netFieldVisibility(r.mode, r.protocol, r.autoSupported);
        EXPECT_EQ(v.source, r.source) << r.mode << r.protocol;
        EXPECT_EQ(v.autoLogin, r.autoLogin) << r.mode << r.protocol;
        EXPECT_EQ(v.sourceLabel, r.label) << r.mode << r.protocol;
        EXPECT_EQ(v.baseId, r.baseId) << r.mode << r.protocol;
        EXPECT_EQ(v.labelText, r.text);
    }
    EXPECT_EQ(gprsErrorText(0), "");
    EXPECT_EQ(gprsErrorText(-1), "Unknown Error");
    EXPECT_EQ(gprsErrorText(3), "TCP connection Unavailable");
    EXPECT_EQ(gprsErrorText(8), "Server no Respond");
    EXPECT_EQ(gprsErrorText(9), "");
}

TEST(LinkFieldsNet, InputChecks) {
    EXPECT_TRUE(isIpAddress("192.168.1.20"));
    EXPECT_TRUE(isIpAddress("0.0.0.0"));
    EXPECT_FALSE(isIpAddress("10.1"));
    EXPECT_FALSE(isIpAddress("300.1.1.1"));
    EXPECT_FALSE(isIpAddress("1.2.3.4.5"));
    EXPECT_FALSE(isIpAddress("1.2.3.4\n"));
    EXPECT_TRUE(isHostName("caster.example"));
    EXPECT_TRUE(isHostName(QString(31, 'h')));
    EXPECT_FALSE(isHostName(QString(32, 'h')));
    EXPECT_FALSE(isHostName(""));
    EXPECT_FALSE(isHostName("a b"));
    EXPECT_FALSE(isHostName(QString::fromUtf8("zürich.example")));
    EXPECT_EQ(portValue("2101"), 2101u);
    EXPECT_EQ(portValue("65535"), 65535u);
    EXPECT_EQ(portValue("0"), 0u);
    EXPECT_EQ(portValue(""), 0u);
    EXPECT_EQ(portValue("65536"), 0u);
    EXPECT_TRUE(fitsLatin1Field(QString::fromUtf8("Müller"), 50));
    EXPECT_FALSE(fitsLatin1Field(QString::fromUtf8("Жук"), 50));
    EXPECT_TRUE(fitsLatin1Field(QString(19, 'b'), 20));
    EXPECT_FALSE(fitsLatin1Field(QString(20, 'b'), 20));
    // The configured limits exceed the fields; the editors stop one byte short of them.
    EXPECT_EQ(editorLimit(26, kBaseIdBytes), 19);
    EXPECT_EQ(editorLimit(31, kCorsSourceBytes), 19);
    EXPECT_EQ(editorLimit(31, kCorsUserBytes), 31);
    EXPECT_EQ(editorLimit(31, kCorsPasswordBytes), 19);
    EXPECT_EQ(editorLimit(60, kSvcTextBytes), 54);
}

TEST(LinkFieldsRecords, WirelessInfoOfAHostName) {
    NetLink link;
    link.address = "caster.example";
    link.hostName = true;
    link.port = 2101;
    link.protocol = NtripClient;
    link.workMode = Rover;
    link.baseId = "B7";
    auto info = std::make_unique<WirelessInfo>();
    std::memset(info.get(), 0xEE, sizeof *info);
    int baseIdLength = -1;
    ASSERT_TRUE(buildWirelessInfo(link, *info, baseIdLength));
    const unsigned char* b = bytes(info.get());
    const unsigned char head[] = {0,   0,   0,   0,   14,  0,   0,   0,   'c', 'a', 's', 't',
                                  'e', 'r', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0};
    EXPECT_EQ(std::memcmp(b, head, sizeof head), 0);
    for (int i = 8 + 14; i < 40; ++i) {
        EXPECT_EQ(b[i], 0) << i;
    }
    const unsigned char tail[] = {0x35, 0x08, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 'B', '7', 0};
    EXPECT_EQ(std::memcmp(b + 40, tail, sizeof tail), 0);
    EXPECT_EQ(b[72], 0xEE);  // the login texts are not part of this build
    EXPECT_EQ(baseIdLength, 2);
}

TEST(LinkFieldsRecords, WirelessInfoOfADottedAddressAndRefusals) {
    NetLink link;
    link.address = "192.168.1.20";
    link.port = 2101;
    link.protocol = Orlo;
    link.workMode = Rover;
    link.baseId = QString(19, 'X');
    WirelessInfo info{};
    int length = 0;
    ASSERT_TRUE(buildWirelessInfo(link, info, length));
    const unsigned char* b = bytes(&info);
    const unsigned char head[] = {0xC0, 0xA8, 0x01, 0x14, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b, head, sizeof head), 0);
    EXPECT_EQ(length, 19);
    EXPECT_EQ(b[52 + 19], 0);

    const WirelessInfo before = info;
    struct Bad {
        QString address;
        bool host;
        QString baseId;
    };
    const Bad bad[] = {{"10.1", false, ""},
                       {"300.1.1.1", false, ""},
                       {QString(32, 'h'), true, ""},
                       {"192.168.1.20", false, QString(20, 'X')},
                       {"192.168.1.20", false, QString::fromUtf8("Жук")}};
    for (const Bad& r : bad) {
        NetLink l = link;
        l.address = r.address;
        l.hostName = r.host;
        l.baseId = r.baseId;
        EXPECT_FALSE(buildWirelessInfo(l, info, length)) << r.address.toStdString();
        EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);
    }
}

TEST(LinkFieldsRecords, CorsAndSvcRecords) {
    cors_info c{};
    ASSERT_TRUE(buildCorsInfo("MP1", QString::fromUtf8("Müller"), "pw", c));
    const unsigned char* b = bytes(&c);
    EXPECT_EQ(std::memcmp(b, "MP1\0", 4), 0);
    EXPECT_EQ(std::memcmp(b + 20, "M\xfcller\0", 7), 0);
    EXPECT_EQ(std::memcmp(b + 70, "pw\0", 3), 0);
    EXPECT_FALSE(buildCorsInfo("MP1", QString::fromUtf8("Жук"), "pw", c));
    EXPECT_FALSE(buildCorsInfo(QString(25, 's'), "u", "p", c));
    EXPECT_FALSE(buildCorsInfo("s", "u", QString(20, 'p'), c));
    EXPECT_EQ(std::memcmp(b, "MP1\0", 4), 0);  // a refusal leaves the record

    SvcInfo s{};
    ASSERT_TRUE(buildSvcInfo("user", "pass", "internet", "*99#", s));
    const unsigned char* v = bytes(&s);
    EXPECT_EQ(std::memcmp(v + 0, "user\0", 5), 0);
    EXPECT_EQ(std::memcmp(v + 55, "pass\0", 5), 0);
    EXPECT_EQ(std::memcmp(v + 110, "internet\0", 9), 0);
    EXPECT_EQ(std::memcmp(v + 165, "*99#\0", 5), 0);
    EXPECT_TRUE(buildSvcInfo(QString(54, 'u'), "", "a", "d", s));
    EXPECT_FALSE(buildSvcInfo(QString(55, 'u'), "", "a", "d", s));
}

TEST(LinkFieldsRecords, ReadersStayWithinUnterminatedFields) {
    // Every text field full, no terminator anywhere: each read stops at its field's end.
    auto info = std::make_unique<WirelessInfo>();
    std::memset(info.get(), 'A', sizeof *info);
    const std::uint32_t cap = kHostNameBit;
    std::memcpy(reinterpret_cast<char*>(info.get()) + 292, &cap, 4);
    info->server.count = 1000;  // a length word past the field is not believed
    const WirelessFields f = readWirelessInfo(*info);
    EXPECT_EQ(f.address.size(), 32);
    EXPECT_EQ(f.baseId.size(), 20);
    EXPECT_EQ(f.user.size(), 55);
    EXPECT_EQ(f.password.size(), 55);
    EXPECT_EQ(f.apn.size(), 55);
    EXPECT_EQ(f.dial.size(), 55);
    info->server.count = 3;
    EXPECT_EQ(readWirelessInfo(*info).address, "AAA");

    WirelessInfo dotted{};
    const unsigned char addr[] = {192, 168, 1, 20};
    std::memcpy(&dotted.server.address, addr, 4);
    dotted.port = 2101;
    const std::uint32_t word = 7u << 16;
    std::memcpy(reinterpret_cast<char*>(&dotted) + 296, &word, 4);
    const WirelessFields d = readWirelessInfo(dotted);
    EXPECT_EQ(d.address, "192.168.1.20");
    EXPECT_EQ(d.port, 2101u);
    EXPECT_EQ(d.protocols, word);

    auto cors = std::make_unique<cors_info>();
    std::memset(cors.get(), 'c', sizeof *cors);
    const CorsFields cf = readCorsInfo(*cors);
    EXPECT_EQ(cf.source.size(), 20);
    EXPECT_EQ(cf.user.size(), 50);
    EXPECT_EQ(cf.password.size(), 20);
}

TEST(LinkFieldsCallsign, PatternsTakeLatin1WordCharactersAndMinutes) {
    const QRegularExpression message("\\A(?:" + callsignMessagePattern() + ")\\z",
                                     QRegularExpression::UseUnicodePropertiesOption);
    for (const char* ok : {"A", "ABC_12", "Müller", "ABCDEFGHIJKLMN"}) {
        EXPECT_TRUE(message.match(QString::fromUtf8(ok)).hasMatch()) << ok;
    }
    for (const char* bad : {"", "Жук", "A-B", "A B", "ABCDEFGHIJKLMNO"}) {
        EXPECT_FALSE(message.match(QString::fromUtf8(bad)).hasMatch()) << bad;
    }
    const QRegularExpression interval("\\A(?:" + callsignIntervalPattern() + ")\\z");
    for (const char* ok : {"1", "05", "10", "29", "30"}) {
        EXPECT_TRUE(interval.match(ok).hasMatch()) << ok;
    }
    for (const char* bad : {"0", "31", "00", "300"}) {
        EXPECT_FALSE(interval.match(bad).hasMatch()) << bad;
    }
}
