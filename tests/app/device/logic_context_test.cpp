// LogicContext: input patterns, fixed words, colouring, paths, angles and the log.
#include <QFile>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTemporaryDir>

#include <cmath>
#include <memory>

#include "BVComm/Logger.h"
#include "config_paths.h"
#include "device_test_support.h"

namespace varnok_test {
namespace {

using Varnok::LogicContext;

bool accepts(int kind, int minimum, int maximum, const QString& text) {
    std::unique_ptr<QRegularExpressionValidator> v(LogicContext::validator(kind, minimum, maximum));
    QString copy = text;
    int pos = 0;
    return v->validate(copy, pos) == QValidator::Acceptable;
}

TEST(LogicContextPatterns, PatternTexts) {
    EXPECT_EQ(LogicContext::createValidator(0, 1, 15), "^[0-9\\.]{1,15}$");
    EXPECT_EQ(LogicContext::createValidator(2, 0, 17), "^[a-z0-9A-Z_-]{0,17}$");
    EXPECT_EQ(LogicContext::createValidator(9, 1, 2), "");
    EXPECT_EQ(LogicContext::createValidator(-1, 1, 2), "");
    EXPECT_EQ(LogicContext::createValidator(1, 1, 8), "^[^\\\\/<>*?:\"|]{1,8}$");
}

TEST(LogicContextPatterns, EachKindAcceptsWholeTextsOfItsAlphabetAndLength) {
    const struct {
        int kind;
        const char* text;
        bool accepted;
    } cases[] = {
        {0, "192.168", true},      {0, "12a", false},     {0, "", false},
        {0, "12345678901", false}, {1, "base_01", true},  {1, "a/b", false},
        {1, "a\\b", false},        {1, "a|b", false},     {1, "a\"b", false},
        {2, "Ab_-9", true},        {2, "a b", false},     {4, "12-34", true},
        {4, "12.3", false},        {5, "abc123", true},   {5, "abc-1", false},
        {6, "any text!", true},    {7, "my-mount", true}, {7, "my_mount", false},
        {9, "x", false},           {9, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + " " + c.text);
        EXPECT_EQ(accepts(c.kind, 1, 10, QString::fromLatin1(c.text)), c.accepted);
    }
    // Kind 6: 7-bit only, no NUL.
    EXPECT_FALSE(accepts(6, 1, 6, QString(QChar(0)) + "a"));
    EXPECT_FALSE(accepts(6, 1, 6, QString::fromUtf8("\xc3\xa9")));
}

TEST(LogicContextPatterns, PortKindAcceptsZeroToSixtyFiveThousandFiveHundredThirtyFive) {
    for (const char* ok : {"", "0", "1", "8080", "9999", "10000", "59999", "64999", "65535"}) {
        EXPECT_TRUE(accepts(3, -1, -1, ok)) << ok;
    }
    for (const char* bad : {"00", "012", "65536", "70000", "-1", "123456", " 1"}) {
        EXPECT_FALSE(accepts(3, -1, -1, bad)) << bad;
    }
}

TEST(LogicContextPatterns, IpAddresses) {
    for (const char* ok : {"192.168.1.1", "10.0.0.010", "0.0.0.0", "255.255.255.255"}) {
        EXPECT_TRUE(LogicContext::createIpValidator(ok)) << ok;
        EXPECT_TRUE(LogicContext::isValidIpAddress(ok)) << ok;
    }
    for (const char* bad : {"256.1.1.1", "1.2.3", "1.2.3.4 ", "1.2.3.4.5", "", "a.b.c.d"}) {
        EXPECT_FALSE(LogicContext::createIpValidator(bad)) << bad;
    }
}

TEST(LogicContextWords, TableAndBounds) {
    EXPECT_EQ(LogicContext::translate(0), "ORLO");
    EXPECT_EQ(LogicContext::translate(4), "Unknown");
    EXPECT_EQ(LogicContext::translate(4), LogicContext::translate(22));
    EXPECT_EQ(LogicContext::translate(24), "Receive&Send");
    EXPECT_EQ(LogicContext::translate(30), "TCP Direct");
    EXPECT_EQ(LogicContext::translate(21), "");
    EXPECT_EQ(LogicContext::translate(31), "");
    EXPECT_EQ(LogicContext::translate(-1), "");
}

TEST(LogicContextWidgets, BrushMarksAndRestores) {
    QLineEdit edit;
    const QBrush normal = edit.palette().brush(QPalette::Active, QPalette::Base);
    LogicContext::setWidgetBrush(1, &edit);
    EXPECT_EQ(edit.palette().brush(QPalette::Inactive, QPalette::Base).color(), QColor(Qt::red));
    LogicContext::setWidgetBrush(2, &edit);
    EXPECT_EQ(edit.palette().brush(QPalette::Disabled, QPalette::Base).color(), QColor(Qt::green));
    LogicContext::setWidgetBrush(0, &edit);
    EXPECT_EQ(edit.palette().brush(QPalette::Active, QPalette::Base), normal);
    LogicContext::setWidgetBrush(1, nullptr);
}

TEST(LogicContextPaths, EveryPathIsAStoreFileUnderTheConfigsDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string configs = dir.path().toStdString() + "/configs";
    ConfigPaths::setDirectory(configs);
    const std::pair<std::string, const char*> paths[] = {
        {LogicContext::btBindingsPath(), "btbindings"},
        {LogicContext::antennaTypePath(), "antennatype"},
        {LogicContext::connectMethodsPath(), "connectmethods"},
        {LogicContext::connectionParamsPath(), "connectionparams"},
        {LogicContext::radioChannelsPath(), "radiochannels"},
        {LogicContext::radioConfigPath(), "radioconfig"},
        {LogicContext::netServerPath(), "netserver"},
        {LogicContext::configPath(), "config"},
        {LogicContext::satelBaudRatePath(), "satelbaudrate"},
        {LogicContext::validCheckPath(), "validcheck"},
        {LogicContext::connectBaudsPath(), "connectbauds"},
        {LogicContext::rtkSettingsPath(), "rtksettings"},
        {LogicContext::staticStationsPath(), "staticstations"},
        {LogicContext::authorityPath(), "authority"},
    };
    for (const auto& p : paths) {
        EXPECT_EQ(p.first, configs + "/" + p.second + ".vnk");
        EXPECT_EQ(p.first, ConfigPaths::filePath(p.second));
    }
    EXPECT_FALSE(LogicContext::applicationDir().endsWith('/'));
}

constexpr double kRadPerDeg = 3.14159265358979323846 / 180.0;

TEST(LogicContextAngles, RadianToDmsKeepsTheSignOfSmallAngles) {
    const struct {
        double degrees;
        int d, m;
        double s;
        bool negative;
    } cases[] = {
        {30.24, 30, 14, 24.0, false},
        {-30.5, -30, 30, 0.0, true},
        {-0.5, 0, 30, 0.0, true},
        {0.5, 0, 30, 0.0, false},
        {0.0, 0, 0, 0.0, false},
        {-1e-12, 0, 0, 0.0, false},  // rounds to zero: no sign left
        {179.99999999, 180, 0, 0.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        int d = -99, m = -99;
        double s = -99;
        bool negative = !c.negative;
        LogicContext::radianToDms(c.degrees * kRadPerDeg, d, m, s, negative);
        EXPECT_EQ(d, c.d);
        EXPECT_EQ(m, c.m);
        EXPECT_NEAR(s, c.s, 1e-9);
        EXPECT_EQ(negative, c.negative);
        const double back = LogicContext::dmsToRadian(d, m, s, negative);
        EXPECT_NEAR(back / kRadPerDeg, c.degrees, 1e-7);
        EXPECT_NEAR(LogicContext::dmsToDegrees(d, m, s, negative), c.degrees, 1e-7);
    }
}

TEST(LogicContextAngles, DmsBackToRadiansAndDegrees) {
    EXPECT_DOUBLE_EQ(LogicContext::dmsToRadian(-30, 15, 10.0),
                     -(30 * 3600 + 15 * 60 + 10) * 4.84813681109536e-6);
    EXPECT_NEAR(LogicContext::dmsToDegrees(-30, 15, 10.0), -30.25278, 1e-5);
    EXPECT_GT(LogicContext::dmsToRadian(0, 30, 0.0), 0.0);
    EXPECT_LT(LogicContext::dmsToRadian(0, 30, 0.0, true), 0.0);
}

TEST(LogicContextAngles, GridRoundTripStaysWithinTheRoundingAndBelowSixty) {
    for (int i = -3600; i <= 3600; ++i) {
        const double degrees = i * 0.0499999;  // minute and second boundaries included
        int d = 0, m = 0;
        double s = 0;
        bool negative = false;
        LogicContext::radianToDms(degrees * kRadPerDeg, d, m, s, negative);
        ASSERT_GE(m, 0);
        ASSERT_LT(m, 60);
        ASSERT_GE(s, 0.0);
        ASSERT_LT(s, 60.0);
        const double back = LogicContext::dmsToRadian(d, m, s, negative) / kRadPerDeg;
        ASSERT_NEAR(back * 3600.0, degrees * 3600.0, 0.5e-4) << degrees;
    }
}

TEST(LogicContextAngles, FormatDms) {
    const struct {
        double value;
        int unit;
        const char* text;
    } cases[] = {
        {30.5, 1, "30:30:00.00000"},
        {1.0 + 1.0 / 60.0, 1, "1:01:00.00000"},
        {-30.5, 1, "-30:30:00.00000"},
        {-0.5, 1, "-0:30:00.00000"},
        {59.9999999999, 1, "60:00:00.00000"},
        {3725.5, 2, "1:02:05.50000"},
        {-3725.5, 2, "-1:02:05.50000"},
        {-0.5 * kRadPerDeg, 0, "-0:30:00.00000"},
        {30.24 * kRadPerDeg, 0, "30:14:24.00000"},
        {0.0, 1, "0:00:00.00000"},
        {1.0, 3, ""},
        {1.0, -1, ""},
        {std::nan(""), 1, ""},
        {1e300, 1, ""},
        {-1e300, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " unit " + std::to_string(c.unit));
        EXPECT_EQ(LogicContext::formatDms(c.value, c.unit).toStdString(), c.text);
    }
}

TEST(LogicContextLog, TextIsWrittenVerbatimNeverAsAFormat) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    using Brevan2011::BVCore::Logger;
    Brevan2011::BVCore::setLogDirectory(dir.path().toStdString());
    Logger::remove(1);
    LogicContext::log(QStringLiteral("100% %s %n done"));
    Logger::remove(1);
    QFile f(dir.path() + "/log.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("100% %s %n done [1]")) << text.constData();
}

TEST(LogicContextScreen, LandscapeFollowsThePrimaryScreen) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(LogicContext::isLandscape(),
              screen->geometry().width() > screen->geometry().height());
}

class LogicContextLifetime : public DeviceFixture {};

TEST_F(LogicContextLifetime, ShutdownCutsTheWorkingStatusAndDeletesBothSingletons) {
    LogicContext::instance()->connectWorkingStatus();
    EXPECT_TRUE(Varnok::DeviceManager::existingInstance());
    delete hub;
    hub = nullptr;
    LogicContext::instance()->shutdown();
    EXPECT_EQ(Varnok::DeviceManager::existingInstance(), nullptr);
    EXPECT_EQ(Varnok::DeviceObserver::existingInstance(), nullptr);
    dm = Varnok::DeviceManager::instance();
    hub = new HubRecorder(Varnok::DeviceObserver::instance());
}

}  // namespace
}  // namespace varnok_test
