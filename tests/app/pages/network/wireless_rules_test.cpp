// The wireless records as they go to the receiver, bounded reads of its texts, and the rules
// that end a query or a dial.
#include <QByteArray>
#include <QString>

#include <cstring>

#include <gtest/gtest.h>

#include "wireless_rules.h"

namespace {

using namespace Varnok::WirelessRules;

template <class T>
QByteArray bytesOf(const T& r) {
    return QByteArray(reinterpret_cast<const char*>(&r), sizeof r);
}

TEST(WirelessRecords, AccessPointKeepsTheSsidBytesAndZeroFillsThePassword) {
    const QByteArray ssid("ABCDEFGHIJKLMNOPQRST");  // 20 bytes, no room for a zero
    const QX_WIFI_PARA_AP_STRUCT r = apRecord(ssid, 2, QStringLiteral("p-secret"));
    ASSERT_EQ(sizeof r, 42u);
    const QByteArray b = bytesOf(r);
    EXPECT_EQ(b.left(20), ssid);
    EXPECT_EQ(r.value, 2);
    EXPECT_EQ(b.mid(22), QByteArray("p-secret") + QByteArray(12, '\0'));
    // Read back within the field: all 20 bytes, nothing of the next field.
    EXPECT_EQ(fieldBytes(r.ssid, kField), ssid);
}

TEST(WirelessRecords, DialRecordPlacesNumberUserPasswordAndApn) {
    const QX_MODEM_DIAL_PARA_STRUCT r =
        dialRecord(QStringLiteral("*99#"), QStringLiteral("u"), QStringLiteral("pw"),
                   QStringLiteral("internet"));
    ASSERT_EQ(sizeof r, 100u);
    const QByteArray b = bytesOf(r);
    EXPECT_EQ(b.left(20), QByteArray(20, '\0'));
    EXPECT_EQ(b.mid(20, 4), QByteArray("*99#"));
    EXPECT_EQ(b.mid(40, 1), QByteArray("u"));
    EXPECT_EQ(b.mid(60, 2), QByteArray("pw"));
    EXPECT_EQ(b.mid(80, 8), QByteArray("internet"));
    EXPECT_EQ(b.mid(88), QByteArray(12, '\0'));
    EXPECT_EQ(dialApn(r), "internet");
    EXPECT_EQ(dialNumber(r), "*99#");
    EXPECT_EQ(dialUser(r), "u");
    EXPECT_EQ(dialPassword(r), "pw");
}

TEST(WirelessRecords, TextsWithoutTheirZeroStayInsideTheirFields) {
    QX_MODEM_DIAL_PARA_STRUCT r{};
    std::memset(&r, 'x', sizeof r);  // no zero anywhere: the APN ends the record
    EXPECT_EQ(dialApn(r), QString(20, QLatin1Char('x')));
    EXPECT_EQ(dialNumber(r), QString(20, QLatin1Char('x')));
    const QX_MODEM_CSD_PARA_STRUCT c = csdRecord(QString(20, QLatin1Char('9')), 1);
    ASSERT_EQ(sizeof c, 21u);
    EXPECT_EQ(bytesOf(c), QByteArray(20, '9') + QByteArray(1, '\1'));
    EXPECT_EQ(fieldText(c.number, kField), QString(20, QLatin1Char('9')));
}

TEST(WirelessRecords, OnlyPrintableAsciiWithinTheLimitPasses) {
    struct Case {
        QString text;
        int max;
        bool ok;
    };
    const Case cases[] = {
        {QStringLiteral("internet.apn"), 20, true},
        {QString(20, QLatin1Char('a')), 20, true},
        {QString(21, QLatin1Char('a')), 20, false},
        {QString::fromUtf8("p\xc3\xa4sswort1"), 19, false},
        {QStringLiteral("tab\there"), 20, false},
        {QStringLiteral("~ !"), 3, true},
        {QString(), 19, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isPrintableAscii(c.text, c.max), c.ok) << c.text.toStdString();
    }
}

TEST(WirelessRules, QueryCompletesAtItsMaskOnly) {
    EXPECT_EQ(modemCompleteMask(false),
              kDialParams | kAutoPower | kAutoDial | kBandMode | kPowerStatus);
    EXPECT_EQ(modemCompleteMask(false), 79);
    EXPECT_EQ(modemCompleteMask(true), 127);
}

TEST(WirelessRules, ADialEndsOnlyOnTheStatusItsDirectionLeadsTo) {
    struct Case {
        bool csd;
        int direction;
        int last;
        int now;
        bool ends;
    };
    const Case cases[] = {
        {false, 1, 4, 1, true},   // dialled up
        {false, 1, 1, 1, false},  // already up: the status must change
        {false, 1, 4, 2, false},  // went down while dialling up
        {false, 1, 4, 3, false},  // failed: runs on to the time-out
        {false, 0, 1, 2, true},  {false, 0, 1, 1, false}, {false, -1, 4, 1, false},
        {true, 1, 3, 4, true},  // base on
        {true, 1, 3, 6, true},  // rover on
        {true, 1, 3, 5, false},  {true, 1, 3, 2, false},  {true, 1, 3, 1, false},
        {true, 0, 6, 1, true},   {true, 0, 6, 7, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dialEnds(c.csd, c.direction, c.last, c.now), c.ends)
            << c.csd << " " << c.direction << " " << c.last << "->" << c.now;
    }
    EXPECT_EQ(dialDirection(false, 1, 0), 0);
    EXPECT_EQ(dialDirection(false, 2, 0), 1);
    EXPECT_EQ(dialDirection(true, 1, 4), 0);
    EXPECT_EQ(dialDirection(true, 1, 6), 0);
    EXPECT_EQ(dialDirection(true, 1, 1), 1);
}

TEST(WirelessRules, StatusTextsOutsideTheirTablesAreEmpty) {
    EXPECT_EQ(wifiStatusText(2), "WIFI Status: On");
    EXPECT_EQ(wifiStatusText(0), "");
    EXPECT_EQ(wifiStatusText(9), "");
    EXPECT_EQ(dialStatusText(4), "Dial Status: Dialing");
    EXPECT_EQ(dialStatusText(5), "");
    EXPECT_EQ(csdStatusText(7), "Dial Status: Dialing Off");
    EXPECT_EQ(csdStatusText(8), "");
    EXPECT_EQ(modemPowerText(3), "Modem Status: OFF");
    EXPECT_EQ(modemPowerText(-1), "");
}

}  // namespace
