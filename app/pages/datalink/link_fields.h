#pragma once

// Field rules of the data link, GPRS and APN pages, without widgets: the option lists that a
// receiver's capability words give, the radio's channel unit, which network fields a mode and
// protocol show, the old protocol's link records built from and read into texts, and the
// checks a text passes before it goes into a fixed-size field. Qt Core only, so the rules can
// be tested as tables and reused by every page that edits these records.

#include <QList>
#include <QString>
#include <QVariantHash>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "BVParse/Em_NewRecords.h"
#include "BVParse/Em_OldRecords.h"

namespace Varnok {
namespace LinkFields {

using Brevan2011::BVParse::cors_info;
using Brevan2011::BVParse::QX_ACCOUNT_STRUCT;
using Brevan2011::BVParse::QX_CORS_DATA_SOURCE_STRUCT;
using Brevan2011::BVParse::QX_IP_ADDRESS_STRUCT;
using Brevan2011::BVParse::QX_RADIO_CALLSIGN_STRUCT;
using Brevan2011::BVParse::Radio_Callsign;
using Brevan2011::BVParse::SvcInfo;
using Brevan2011::BVParse::WirelessInfo;

// One combo item: shown text and the receiver's code.
struct Choice {
    QString text;
    int value = 0;
    bool operator==(const Choice& o) const { return text == o.text && value == o.value; }
};

// ---- Radio (old protocol).

// Air protocols offered by the protocol mask, in the panel's order.
QList<Choice> radioProtocols(std::uint32_t protocolMask);
// Output powers of the power mask, bits 0-3.
QList<Choice> radioPowers(std::uint32_t powerMask);
// Air bauds the device record's baud code (byte 113) allows; no item for an unknown code.
QList<Choice> radioBauds(int baudCode);
QList<Choice> radioSpacings();       // "12.5" 0, "25" 2
QList<Choice> radioBands();          // "High Freq." 0, "Middle Freq." 1, "Low Freq." 2
QList<Choice> radioSensitivities();  // "High" 0, "Medium" 1, "Low" 2

// Which settings the radio's second capability word reports.
struct RadioCaps {
    bool spacing = false;       // bit 16
    bool baudSettable = false;  // bit 17
    bool sensitivity = false;   // bit 20
    bool baudReadable = false;  // bit 21
    bool fec = false;           // bit 22
    bool callsign = false;      // bit 23
    bool frequency = false;     // bit 24
    bool power = false;         // bit 27
};
RadioCaps radioCaps(std::uint32_t capabilityWord);

// MHz of one count of the receiver's channel list: 20 kHz on a 20 kHz radio, else 12.5 kHz;
// without a spacing setting the radio's own step counts when it is 20 kHz.
double channelUnit(bool spacingFlag, int channelSpace, double infoStepKHz);
// The frequency editor's step of a spacing code; 0 for an unknown code.
double spacingStep(int spacingCode);
// The snapped value, or the value itself when the grid gives none (a range under one step).
double snappedOrKept(double value, double snapped);
// "Used for : ..." of a channel use code; "" for an unknown code.
QString channelUseText(int type, bool canTransmit);
// "%1--%2 MHz" of the radio's range.
QString rangeText(double lower, double upper);

// ---- Call sign.

constexpr int kCallsignMessageBytes = 14;
// Interval 1-30 minutes, "01"-"09" allowed.
QString callsignIntervalPattern();
// 1-14 word characters that fit one Latin-1 byte each.
// 1 to maxChars word characters the record can hold.
QString callsignMessagePattern(int maxChars = kCallsignMessageBytes);
// The values a data link page hands to the call sign page.
QVariantHash callsignToHash(const Radio_Callsign& callsign);
// The call sign page's values kept in the record; the message is cut to what fits and the
// length counts the bytes kept. A character outside Latin-1 ends the message.
Radio_Callsign callsignFromHash(const QVariantHash& values);
// The message bytes as text, read within the field up to the first zero.
QString callsignMessage(const Radio_Callsign& callsign);

// ---- Network link (old protocol).

// Stored server protocol codes the panel offers.
enum NetProtocol { Orlo = 0, NtripClient = 1, OrloOneToMulti = 2, TcpDirect = 3 };
enum WorkMode { Base = 0, Rover = 1 };

// The codes of the receiver's protocol word (bits 16, 17, 18); empty for a word of 0.
QList<int> protocolsOfWord(std::uint32_t protocolWord);
// The supported codes a work mode allows, in the supported list's order.
QList<int> protocolsForMode(const QList<int>& supported, int workMode);

// Which fields of the network panel a work mode and protocol show.
struct NetFieldVisibility {
    bool source = false;  // source list, user name, password and Get
    bool autoLogin = false;
    bool sourceLabel = false;  // the source or base ID label
    bool baseId = false;
    QString labelText;  // "Source:" or "BaseID:"
};
NetFieldVisibility netFieldVisibility(int workMode, int protocol, bool autoLoginSupported);

// The GPRS error a code names; "" for 0 and unlisted codes.
QString gprsErrorText(int code);

// Capability flags of a WirelessInfo record.
constexpr std::uint32_t kAutoLoginBit = 1u << 16;
constexpr std::uint32_t kSourceFetchBit = 1u << 17;
constexpr std::uint32_t kHostNameBit = 1u << 23;
std::uint32_t capabilityWord(const WirelessInfo& info);
std::uint32_t protocolWord(const WirelessInfo& info);

// Field sizes, terminator included.
constexpr int kAddressTextBytes = 32;
constexpr int kBaseIdBytes = 20;
constexpr int kCorsSourceBytes = 20;
constexpr int kCorsUserBytes = 50;
constexpr int kCorsPasswordBytes = 20;
constexpr int kSvcTextBytes = 55;

// An editor's cap: one byte of the field stays for the terminator, and a lower configured
// limit wins.
int editorLimit(int configured, int fieldBytes);

// Text read within a field up to its first zero.
QString readLatin1(const char* field, std::size_t size);
QString readAscii(const char* field, std::size_t size);

// True when every character has a Latin-1 code.
bool isLatin1(const QString& text);
// True when the text goes into a field of that many bytes with its terminator.
bool fitsLatin1Field(const QString& text, int fieldBytes);
// Dotted IPv4, each number 0-255.
bool isIpAddress(const QString& text);
// A host name as the receiver takes it: printable ASCII, 1-31 bytes.
bool isHostName(const QString& text);
// The port editor's value: 0 when empty, not a number or out of 1-65535.
unsigned int portValue(const QString& text);

// What the network panel's editors hold.
struct NetLink {
    QString address;
    bool hostName = false;
    unsigned int port = 0;
    int protocol = 0;
    int workMode = 0;
    QString baseId;
    QString source;
    QString user;
    QString password;
};

// Builds the address, port, protocol, mode and base ID part of the record. False (and the
// record untouched) when a text does not fit its field; baseIdLength gets the bytes of the
// base ID.
bool buildWirelessInfo(const NetLink& link, WirelessInfo& info, int& baseIdLength);
bool buildCorsInfo(const QString& source, const QString& user, const QString& password,
                   cors_info& out);
bool buildSvcInfo(const QString& user, const QString& password, const QString& apn,
                  const QString& dial, SvcInfo& out);

// The record's texts as the panel shows them.
struct WirelessFields {
    QString address;
    unsigned int port = 0;
    int protocol = 0;
    int workMode = 0;
    QString baseId;
    QString user;
    QString password;
    QString apn;
    QString dial;
    std::uint32_t capability = 0;
    std::uint32_t protocols = 0;
};
WirelessFields readWirelessInfo(const WirelessInfo& info);

struct CorsFields {
    QString source;
    QString user;
    QString password;
};
CorsFields readCorsInfo(const cors_info& info);

// ---- New-protocol data link: UHF radio and network panels.

// Air protocol names of the new protocol's radio; "" for an unknown code.
QString newRadioProtocolName(int code);
// Frequency type items of a module spanning the three bands, in the panel's order:
// 1 "450 -- upper MHz", 2 "430 -- 450 MHz", 3 "lower -- 430 MHz".
QList<Choice> frequencyTypes(double lower, double upper);

// The channel frequencies of a band (2 middle, 3 low, any other high), channel 0 first. Band
// lists win when any holds a channel (0.0, the free frequency, goes first); else the
// single-band list as it stands; else the defaults (single list, else the band's list).
struct ChannelLists {
    std::vector<double> high;
    std::vector<double> middle;
    std::vector<double> low;
    std::vector<double> single;
};
std::vector<double> channelsOfBand(int band, const ChannelLists& radio,
                                   const ChannelLists& defaults);
// The channel whose frequency is within 0.00005 MHz of mhz; 0 when none is.
int channelOfFrequency(const std::vector<double>& channels, double mhz);

// Server types of the new protocol and the stored protocol codes of the server store.
int toStoredProtocol(int serverType);
int toServerType(int storedCode);

// Which fields of the network panel a server type shows; valid false outside 2-5.
struct ServerTypeFields {
    bool valid = false;
    bool sourceLabel = false;
    QString labelText;  // "Source:" or "BaseID:"
    bool sourceList = false;
    bool baseId = false;
    bool account = false;
    bool autoLogin = false;
    bool getSource = false;
};
ServerTypeFields serverTypeFields(int serverType);

// Longest text a network field takes: one byte of each field stays zero.
constexpr int kNetTextBytes = 19;
// True when the text's UTF-8 bytes fit a network field.
bool fitsNetText(const QString& text);
// The refusal of a text longer than its receiver field: names the field and its limit.
QString tooLongText(const QString& field, int limit);

// The address record of a dotted IPv4 address and a port of 1-65535; false (record untouched)
// for anything else. The record is zero-filled; the address holds a<<24 | b<<16 | c<<8 | d.
bool buildServerAddress(const QString& address, const QString& port, QX_IP_ADDRESS_STRUCT& out);
QString addressText(const QX_IP_ADDRESS_STRUCT& record);
// False (record untouched) when a text is over 19 bytes.
bool buildDataSource(const QString& source, QX_CORS_DATA_SOURCE_STRUCT& out);
bool buildAccount(const QString& user, const QString& password, QX_ACCOUNT_STRUCT& out);
// Texts read within their fields.
QString dataSourceText(const QX_CORS_DATA_SOURCE_STRUCT& record);
QString accountUser(const QX_ACCOUNT_STRUCT& record);
QString accountPassword(const QX_ACCOUNT_STRUCT& record);

// The new protocol's call sign: at most 16 Latin-1 characters, the last byte zero.
constexpr int kNewCallsignChars = 16;
QVariantHash newCallsignToHash(int state, int interval, const QString& text);
// The call sign page's values; "CSLength" and 16 bound the characters kept, and a character
// outside Latin-1 ends the text.
QX_RADIO_CALLSIGN_STRUCT newCallsignFromHash(const QVariantHash& values);
QString newCallsignText(const QX_RADIO_CALLSIGN_STRUCT& record);

}  // namespace LinkFields
}  // namespace Varnok
