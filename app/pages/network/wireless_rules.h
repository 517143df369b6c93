#pragma once

// The wireless window's records and rules, free of widgets: the access-point, dial and CSD
// records as the receiver takes them, bounded reads of its 20-byte texts, the answer masks
// and when a dial has reached its end.
#include <QByteArray>
#include <QString>

#include "BVParse/Em_NewRecords.h"

namespace Varnok {
namespace WirelessRules {

using Brevan2011::BVParse::QX_MODEM_CSD_PARA_STRUCT;
using Brevan2011::BVParse::QX_MODEM_DIAL_PARA_STRUCT;
using Brevan2011::BVParse::QX_WIFI_PARA_AP_STRUCT;

// Every text of these records sits in a 20-byte field that need not hold a zero.
constexpr int kField = 20;
// The Wi-Fi password keeps one byte of its field free; WPA needs at least 8 characters.
constexpr int kWifiPasswordMax = 19;
constexpr int kWifiPasswordMin = 8;

// The bytes of a field up to its first zero, never past n.
QByteArray fieldBytes(const char* field, int n);
// The same bytes as text (Latin-1, so every byte stays one character).
QString fieldText(const char* field, int n);
// Zero-fills the field, then copies at most n bytes.
void putField(char* field, int n, const QByteArray& bytes);

// Printable ASCII (space to tilde) of at most maxLength characters.
bool isPrintableAscii(const QString& text, int maxLength);

// The access point as the receiver takes it: the SSID bytes as they came, the password type
// (1 WPA PSK, 2 WPA2 PSK) and the password.
QX_WIFI_PARA_AP_STRUCT apRecord(const QByteArray& ssid, int passwordType, const QString& password);
// The dial settings: the first text stays empty, then number, user, password and APN.
QX_MODEM_DIAL_PARA_STRUCT dialRecord(const QString& number, const QString& user,
                                     const QString& password, const QString& apn);
// The CSD number and the work mode (1 base, 0 rover).
QX_MODEM_CSD_PARA_STRUCT csdRecord(const QString& number, int workMode);

// Reads of the dial record's texts.
QString dialNumber(const QX_MODEM_DIAL_PARA_STRUCT& r);
QString dialUser(const QX_MODEM_DIAL_PARA_STRUCT& r);
QString dialPassword(const QX_MODEM_DIAL_PARA_STRUCT& r);
QString dialApn(const QX_MODEM_DIAL_PARA_STRUCT& r);

// Answer bits of the modem tab.
enum ModemAnswer {
    kDialParams = 1,
    kAutoPower = 2,
    kAutoDial = 4,
    kBandMode = 8,
    kWorkMode = 16,
    kCsdParams = 32,
    kPowerStatus = 64,
};
// The mask at which the modem query is complete.
constexpr int modemCompleteMask(bool csdSupported) {
    return csdSupported ? 127 : 79;
}
// Wi-Fi answer bits: 1 access point, 2 auto power.
constexpr int kWifiComplete = 3;

// The dial to send at Set: 0 (off) when the modem is up, else 1 (on).
int dialDirection(bool csdMode, int dialStatus, int csdStatus);
// True when a new status ends a running dial of that direction: it must differ from the last
// one and be the status the direction leads to (packet data: 1 on, 2 off; CSD: 4 or 6 on,
// 1 off).
bool dialEnds(bool csdMode, int direction, int lastStatus, int newStatus);

// Status line texts; "" outside their tables.
QString wifiStatusText(int status);
QString modemPowerText(int status);
QString dialStatusText(int status);
QString csdStatusText(int status);

}  // namespace WirelessRules
}  // namespace Varnok
