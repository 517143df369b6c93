#include "logic_context.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <cstdint>

#include "BVComm/Logger.h"
#include "config_paths.h"
#include "device_manager.h"
#include "device_observer.h"

namespace Varnok {

namespace {

constexpr double kArcSecondsPerRadian = 206264.80624709636;
constexpr double kRadiansPerArcSecond = 4.84813681109536e-6;
constexpr double kDegreesPerArcSecond = 0.0002777777777777778;
// Whole units of 1e-4 and 1e-5 arc-seconds, the resolutions of the conversions.
constexpr std::int64_t kTenThousandths = 10000;
constexpr std::int64_t kHundredThousandths = 100000;
// Beyond this a scaled angle no longer fits the integer split.
constexpr double kMaxScaled = 9.0e18;

const char* const kWords[] = {
    QT_TRANSLATE_NOOP("Translate", "ORLO"),
    QT_TRANSLATE_NOOP("Translate", "Ntrip Client"),
    QT_TRANSLATE_NOOP("Translate", "ORLO One To Multi"),
    QT_TRANSLATE_NOOP("Translate", "TCP Direct"),
    QT_TRANSLATE_NOOP("Translate", "Unknown"),
    QT_TRANSLATE_NOOP("Translate", "Null"),
    QT_TRANSLATE_NOOP("Translate", "0.1w"),
    QT_TRANSLATE_NOOP("Translate", "0.5w"),
    QT_TRANSLATE_NOOP("Translate", "1w"),
    QT_TRANSLATE_NOOP("Translate", "2w"),
    QT_TRANSLATE_NOOP("Translate", "Port"),
    QT_TRANSLATE_NOOP("Translate", "ZOR BT"),
    QT_TRANSLATE_NOOP("Translate", "Sys. BT"),
    QT_TRANSLATE_NOOP("Translate", "WIFI"),
    QT_TRANSLATE_NOOP("Translate", "Server"),
    QT_TRANSLATE_NOOP("Translate", "Pocket GNSS"),
    QT_TRANSLATE_NOOP("Translate", "D38K Series"),
    QT_TRANSLATE_NOOP("Translate", "P47 Series"),
    QT_TRANSLATE_NOOP("Translate", "Survey RTK"),
    QT_TRANSLATE_NOOP("Translate", "P62+/P315+"),
    QT_TRANSLATE_NOOP("Translate", "Marine RTK"),
    "",
    QT_TRANSLATE_NOOP("Translate", "Unknown"),
    QT_TRANSLATE_NOOP("Translate", "Receive"),
    QT_TRANSLATE_NOOP("Translate", "Receive&Send"),
    QT_TRANSLATE_NOOP("Translate", "LFS"),
    QT_TRANSLATE_NOOP("Translate", "Satel"),
    QT_TRANSLATE_NOOP("Translate", "ORLO Base"),
    QT_TRANSLATE_NOOP("Translate", "ORLO Rover"),
    QT_TRANSLATE_NOOP("Translate", "Ntrip Client"),
    QT_TRANSLATE_NOOP("Translate", "TCP Direct"),
};

const QString kPortPattern = QStringLiteral(
    "^0?|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5]$");

const QString kIpPattern =
    QStringLiteral("((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)");

struct Dms {
    bool negative = false;
    std::int64_t degrees = 0;
    std::int64_t minutes = 0;
    // Whole units of 1 / scale arc-seconds.
    std::int64_t rest = 0;
};

// Splits |arcSeconds| rounded to whole units of 1 / scale with integers, so the minutes and
// seconds always stay below 60. False when the value is not finite or too large.
bool splitArcSeconds(double arcSeconds, std::int64_t scale, Dms& out) {
    const double scaled = std::fabs(arcSeconds) * static_cast<double>(scale);
    if (!std::isfinite(scaled) || scaled > kMaxScaled) {
        return false;
    }
    const std::int64_t total = static_cast<std::int64_t>(std::floor(scaled + 0.5));
    out.degrees = total / (3600 * scale);
    out.minutes = total % (3600 * scale) / (60 * scale);
    out.rest = total % (60 * scale);
    out.negative = arcSeconds < 0 && total != 0;
    return true;
}

QString formatSplit(const Dms& d, std::int64_t scale) {
    const double seconds = static_cast<double>(d.rest) / static_cast<double>(scale);
    return QStringLiteral("%1%2:%3:%4")
        .arg(d.negative ? QStringLiteral("-") : QString())
        .arg(d.degrees)
        .arg(d.minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 8, 'f', 5, QLatin1Char('0'));
}

std::string configFile(const char* name) {
    return ConfigPaths::filePath(name);
}

}  // namespace

LogicContext* LogicContext::instance() {
    static LogicContext context;
    return &context;
}

void LogicContext::connectWorkingStatus() {
    connectQueued(DeviceObserver::instance(), this, SIGNAL(workingStatus(int)),
                  SLOT(onWorkingStatus(int)));
}

void LogicContext::shutdown() {
    if (DeviceObserver* observer = DeviceObserver::existingInstance()) {
        disconnectSignal(observer, SIGNAL(workingStatus(int)), this);
    }
    delete DeviceManager::existingInstance();
    delete DeviceObserver::existingInstance();
}

QString LogicContext::createValidator(int kind, int minimum, int maximum) {
    QString pattern;
    switch (kind) {
        case 0:
            pattern = QStringLiteral("^[0-9\\.]{%1,%2}$");
            break;
        case 1:
            pattern = QStringLiteral("^[^\\\\/<>*?:\"|]{%1,%2}$");
            break;
        case 2:
            pattern = QStringLiteral("^[a-z0-9A-Z_-]{%1,%2}$");
            break;
        case 3:
            return kPortPattern;
        case 4:
            pattern = QStringLiteral("^[0-9-]{%1,%2}$");
            break;
        case 5:
            pattern = QStringLiteral("^[a-z0-9A-Z]{%1,%2}$");
            break;
        case 6:
            pattern = QStringLiteral("^[") + QChar(0x01) + QLatin1Char('-') + QChar(0x7F) +
                      QStringLiteral("]{%1,%2}$");
            break;
        case 7:
            pattern = QStringLiteral("^[a-z0-9A-Z-]{%1,%2}$");
            break;
        default:
            return QString();
    }
    return pattern.arg(minimum).arg(maximum);
}

QRegularExpressionValidator* LogicContext::validator(int kind, int minimum, int maximum,
                                                     QObject* parent) {
    QString pattern = createValidator(kind, minimum, maximum);
    // An empty pattern matches only the empty text (Qt's validator would take anything).
    if (pattern.isEmpty()) {
        pattern = QStringLiteral("^$");
    }
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

bool LogicContext::createIpValidator(const QString& text) {
    QRegularExpressionValidator v{QRegularExpression(kIpPattern)};
    QString copy = text;
    int pos = 0;
    return v.validate(copy, pos) == QValidator::Acceptable;
}

QString LogicContext::translate(int index) {
    constexpr int count = static_cast<int>(sizeof kWords / sizeof kWords[0]);
    if (index < 0 || index >= count || kWords[index][0] == '\0') {
        return QString();
    }
    return QCoreApplication::translate("Translate", kWords[index]);
}

void LogicContext::setWidgetBrush(int state, QWidget* widget) {
    if (!widget) {
        return;
    }
    QPalette palette = QApplication::palette(widget->metaObject()->className());
    if (state == 1) {
        palette.setBrush(QPalette::All, QPalette::Base, QBrush(Qt::red, Qt::SolidPattern));
    } else if (state == 2) {
        palette.setBrush(QPalette::All, QPalette::Base, QBrush(Qt::green, Qt::SolidPattern));
    }
    widget->setPalette(palette);
}

bool LogicContext::isLandscape() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return false;
    }
    const QRect r = screen->geometry();
    return r.width() > r.height();
}

QString LogicContext::applicationDir() {
    return QString::fromLocal8Bit(QCoreApplication::applicationDirPath().toLocal8Bit());
}

std::string LogicContext::btBindingsPath() {
    return configFile("btbindings");
}
std::string LogicContext::antennaTypePath() {
    return configFile("antennatype");
}
std::string LogicContext::connectMethodsPath() {
    return configFile("connectmethods");
}
std::string LogicContext::connectionParamsPath() {
    return configFile("connectionparams");
}
std::string LogicContext::radioChannelsPath() {
    return configFile("radiochannels");
}
std::string LogicContext::radioConfigPath() {
    return ConfigPaths::shippedFilePath("radioconfig");
}
std::string LogicContext::netServerPath() {
    return configFile("netserver");
}
std::string LogicContext::configPath() {
    return configFile("config");
}
std::string LogicContext::satelBaudRatePath() {
    return configFile("satelbaudrate");
}
std::string LogicContext::validCheckPath() {
    return configFile("validcheck");
}
std::string LogicContext::connectBaudsPath() {
    return configFile("connectbauds");
}
std::string LogicContext::rtkSettingsPath() {
    return configFile("rtksettings");
}
std::string LogicContext::staticStationsPath() {
    return configFile("staticstations");
}
std::string LogicContext::authorityPath() {
    return configFile("authority");
}

void LogicContext::radianToDms(double angle, int& degrees, int& minutes, double& seconds) {
    bool negative = false;
    radianToDms(angle, degrees, minutes, seconds, negative);
}

void LogicContext::radianToDms(double angle, int& degrees, int& minutes, double& seconds,
                               bool& negative) {
    Dms d;
    if (!splitArcSeconds(angle * kArcSecondsPerRadian, kTenThousandths, d)) {
        degrees = minutes = 0;
        seconds = 0.0;
        negative = false;
        return;
    }
    degrees = static_cast<int>(d.negative ? -d.degrees : d.degrees);
    minutes = static_cast<int>(d.minutes);
    seconds = static_cast<double>(d.rest) / static_cast<double>(kTenThousandths);
    negative = d.negative;
}

namespace {

double dmsArcSeconds(int degrees, int minutes, double seconds, bool negative) {
    const double sum = std::fabs(static_cast<double>(degrees)) * 3600.0 + minutes * 60.0 + seconds;
    return degrees < 0 || negative ? -sum : sum;
}

}  // namespace

double LogicContext::dmsToRadian(int degrees, int minutes, double seconds, bool negative) {
    return dmsArcSeconds(degrees, minutes, seconds, negative) * kRadiansPerArcSecond;
}

double LogicContext::dmsToDegrees(int degrees, int minutes, double seconds, bool negative) {
    return dmsArcSeconds(degrees, minutes, seconds, negative) * kDegreesPerArcSecond;
}

QString LogicContext::formatDms(double value, int unit) {
    Dms d;
    switch (unit) {
        case 0: {
            int degrees = 0, minutes = 0;
            double seconds = 0.0;
            bool negative = false;
            if (!std::isfinite(value * kArcSecondsPerRadian) ||
                std::fabs(value * kArcSecondsPerRadian) * kTenThousandths > kMaxScaled) {
                return QString();
            }
            radianToDms(value, degrees, minutes, seconds, negative);
            // Seconds of 1e-4 shown with five decimals.
            d.negative = negative;
            d.degrees = degrees < 0 ? -static_cast<std::int64_t>(degrees) : degrees;
            d.minutes = minutes;
            d.rest = static_cast<std::int64_t>(std::llround(seconds * kHundredThousandths));
            return formatSplit(d, kHundredThousandths);
        }
        case 1:
            if (!splitArcSeconds(value * 3600.0, kHundredThousandths, d)) {
                return QString();
            }
            return formatSplit(d, kHundredThousandths);
        case 2:
            if (!splitArcSeconds(value, kHundredThousandths, d)) {
                return QString();
            }
            return formatSplit(d, kHundredThousandths);
        default:
            return QString();
    }
}

void LogicContext::log(const QString& text) {
    using Brevan2011::BVCore::Logger;
    try {
        const QByteArray line = text.toUtf8();
        Logger::log(Logger::socketLogger(Brevan2011::BVCore::logPath("log.txt"), 0), 1, "%s",
                    line.constData());
    } catch (...) {
        // The log is best effort: a file that cannot be opened loses the line.
    }
}

}  // namespace Varnok
