#include "wireless_rules.h"

#include <QCoreApplication>

#include <cstring>

namespace Varnok {
namespace WirelessRules {

QByteArray fieldBytes(const char* field, int n) {
    const void* zero = std::memchr(field, 0, static_cast<std::size_t>(n));
    const int length =
        zero != nullptr ? static_cast<int>(static_cast<const char*>(zero) - field) : n;
    return QByteArray(field, length);
}

QString fieldText(const char* field, int n) {
    return QString::fromLatin1(fieldBytes(field, n));
}

void putField(char* field, int n, const QByteArray& bytes) {
    std::memset(field, 0, static_cast<std::size_t>(n));
    std::memcpy(field, bytes.constData(), static_cast<std::size_t>(qMin(n, int(bytes.size()))));
}

bool isPrintableAscii(const QString& text, int maxLength) {
    if (text.size() > maxLength) {
        return false;
    }
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            return false;
        }
    }
    return true;
}

QX_WIFI_PARA_AP_STRUCT apRecord(const QByteArray& ssid, int passwordType, const QString& password) {
    QX_WIFI_PARA_AP_STRUCT r{};
    putField(r.ssid, kField, ssid);
    r.value = static_cast<std::uint16_t>(passwordType);
    putField(r.password, kField, password.toLatin1());
    return r;
}

QX_MODEM_DIAL_PARA_STRUCT dialRecord(const QString& number, const QString& user,
                                     const QString& password, const QString& apn) {
    QX_MODEM_DIAL_PARA_STRUCT r{};
    putField(r.text[1], kField, number.toLatin1());
    putField(r.text[2], kField, user.toLatin1());
    putField(r.text[3], kField, password.toLatin1());
    putField(r.text[4], kField, apn.toLatin1());
    return r;
}

QX_MODEM_CSD_PARA_STRUCT csdRecord(const QString& number, int workMode) {
    QX_MODEM_CSD_PARA_STRUCT r{};
    putField(r.number, kField, number.toLatin1());
    r.mode = static_cast<std::uint8_t>(workMode);
    return r;
}

QString dialNumber(const QX_MODEM_DIAL_PARA_STRUCT& r) {
    return fieldText(r.text[1], kField);
}
QString dialUser(const QX_MODEM_DIAL_PARA_STRUCT& r) {
    return fieldText(r.text[2], kField);
}
QString dialPassword(const QX_MODEM_DIAL_PARA_STRUCT& r) {
    return fieldText(r.text[3], kField);
}
QString dialApn(const QX_MODEM_DIAL_PARA_STRUCT& r) {
    return fieldText(r.text[4], kField);
}

int dialDirection(bool csdMode, int dialStatus, int csdStatus) {
    if (csdMode) {
        return (csdStatus == 4 || csdStatus == 6) ? 0 : 1;
    }
    return dialStatus == 1 ? 0 : 1;
}

bool dialEnds(bool csdMode, int direction, int lastStatus, int newStatus) {
    if (newStatus == lastStatus || direction < 0) {
        return false;
    }
    if (csdMode) {
        if (direction == 1) {
            return newStatus == 4 || newStatus == 6;
        }
        return newStatus == 1;
    }
    return newStatus == (direction == 1 ? 1 : 2);
}

namespace {

QString wifiText(const char* s) {
    return QCoreApplication::translate("WIFIConfigWidget", s);
}
QString apnText(const char* s) {
    return QCoreApplication::translate("APNConfigWidget", s);
}

}  // namespace

QString wifiStatusText(int status) {
    switch (status) {
        case 1:
            return wifiText("WIFI Status: Initializing");
        case 2:
            return wifiText("WIFI Status: On");
        case 3:
            return wifiText("WIFI Status: OFF");
        default:
            return QString();
    }
}

QString modemPowerText(int status) {
    switch (status) {
        case 1:
            return apnText("Modem Status: Initializing");
        case 2:
            return apnText("Modem Status: ON");
        case 3:
            return apnText("Modem Status: OFF");
        default:
            return QString();
    }
}

QString dialStatusText(int status) {
    switch (status) {
        case 1:
            return apnText("Dial Status: ON");
        case 2:
            return apnText("Dial Status: OFF");
        case 3:
            return apnText("Dial Status: Failed");
        case 4:
            return apnText("Dial Status: Dialing");
        default:
            return QString();
    }
}

QString csdStatusText(int status) {
    static const char* const kTexts[] = {"Dial Status: OFF",          "Dial Status: Error",
                                         "Dial Status: Dialing On",   "Dial Status: Base On",
                                         "Dial Status: Base Waiting", "Dial Status: Rover On",
                                         "Dial Status: Dialing Off"};
    if (status < 1 || status > 7) {
        return QString();
    }
    return apnText(kTexts[status - 1]);
}

}  // namespace WirelessRules
}  // namespace Varnok
