#include "link_fields.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <arpa/inet.h>

namespace Varnok {
namespace LinkFields {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("LinkFields", text);
}

struct BitItem {
    int bit;
    const char* text;
    int value;
};

QList<Choice> itemsOfMask(std::uint32_t mask, const BitItem* items, std::size_t count,
                          const char* context) {
    QList<Choice> out;
    for (std::size_t i = 0; i < count; ++i) {
        if ((mask >> items[i].bit & 1u) != 0) {
            out.append({QCoreApplication::translate(context, items[i].text), items[i].value});
        }
    }
    return out;
}

bool bit(std::uint32_t word, int n) {
    return (word >> n & 1u) != 0;
}

std::uint32_t wordAt(const WirelessInfo& info, std::size_t offset) {
    std::uint32_t w = 0;
    std::memcpy(&w, reinterpret_cast<const unsigned char*>(&info) + offset, sizeof w);
    return w;
}

// Copies the Latin-1 text into the field, zero-filled; false when it does not fit.
bool putLatin1(const QString& text, char* field, int fieldBytes) {
    if (!fitsLatin1Field(text, fieldBytes)) {
        return false;
    }
    const QByteArray bytes = text.toLatin1();
    std::memset(field, 0, static_cast<std::size_t>(fieldBytes));
    std::memcpy(field, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

}  // namespace

QList<Choice> radioProtocols(std::uint32_t protocolMask) {
    static const BitItem items[] = {{28, "ZOR", 1}, {29, "TT450s", 6},  {30, "Transparent", 5},
                                    {31, "3AS", 8}, {24, "PCC4FSK", 9}, {25, "Trimmark3", 10}};
    return itemsOfMask(protocolMask, items, std::size(items), "DataChain_Radio");
}

QList<Choice> radioPowers(std::uint32_t powerMask) {
    static const BitItem items[] = {{0, "0.1 w", 2}, {1, "0.5 w", 3}, {2, "1 w", 4}, {3, "2 w", 5}};
    return itemsOfMask(powerMask, items, std::size(items), "DataChain_Radio");
}

QList<Choice> radioBauds(int baudCode) {
    const Choice b4800{QStringLiteral("4800"), 1};
    const Choice b9600{QStringLiteral("9600"), 0};
    const Choice b19200{QStringLiteral("19200"), 2};
    switch (baudCode) {
        case 0:
        case 255:
            return {b9600};
        case 1:
            return {b4800, b9600};
        case 2:
            return {b4800, b9600, b19200};
        case 3:
            return {b4800, b19200};
        case 4:
            return {b9600, b19200};
        case 5:
            return {b4800};
        case 6:
            return {b19200};
        default:
            return {};
    }
}

QList<Choice> radioSpacings() {
    return {{QStringLiteral("12.5"), 0}, {QStringLiteral("25"), 2}};
}

QList<Choice> radioBands() {
    return {{QCoreApplication::translate("DataChain_Radio", "High Freq."), 0},
            {QCoreApplication::translate("DataChain_Radio", "Middle Freq."), 1},
            {QCoreApplication::translate("DataChain_Radio", "Low Freq."), 2}};
}

QList<Choice> radioSensitivities() {
    return {{QCoreApplication::translate("DataChain_Radio", "High"), 0},
            {QCoreApplication::translate("DataChain_Radio", "Medium"), 1},
            {QCoreApplication::translate("DataChain_Radio", "Low"), 2}};
}

RadioCaps radioCaps(std::uint32_t w) {
    RadioCaps c;
    c.spacing = bit(w, 16);
    c.baudSettable = bit(w, 17);
    c.sensitivity = bit(w, 20);
    c.baudReadable = bit(w, 21);
    c.fec = bit(w, 22);
    c.callsign = bit(w, 23);
    c.frequency = bit(w, 24);
    c.power = bit(w, 27);
    return c;
}

double channelUnit(bool spacingFlag, int channelSpace, double infoStepKHz) {
    if (spacingFlag) {
        return channelSpace == 1 ? 0.02 : 0.0125;
    }
    const double step = infoStepKHz * 0.001;
    return std::fabs(step - 0.02) > 0.0001 ? 0.0125 : step;
}

double spacingStep(int spacingCode) {
    switch (spacingCode) {
        case 0:
            return 0.0125;
        case 1:
            return 0.02;
        case 2:
            return 0.025;
        default:
            return 0;
    }
}

double snappedOrKept(double value, double snapped) {
    return snapped < 0 ? value : snapped;
}

QString channelUseText(int type, bool canTransmit) {
    const char* use = nullptr;
    switch (type) {
        case 0:
            use = canTransmit ? "Receive and Send" : "Receive";
            break;
        case 1:
            use = "Receive";
            break;
        case 2:
            use = "Send";
            break;
        case 3:
            use = "NONE";
            break;
        default:
            return QString();
    }
    return QCoreApplication::translate("DataChain_Radio", "Used for : ") +
           QCoreApplication::translate("DataChain_Radio", use);
}

QString rangeText(double lower, double upper) {
    return QStringLiteral("%1--%2 %3")
        .arg(QString::number(lower, 'g', 6), QString::number(upper, 'g', 6), QStringLiteral("MHz"));
}

QString callsignIntervalPattern() {
    return QStringLiteral("^[1-9]{1}|[1-2]\\d|0[1-9]|30$");
}

QString callsignMessagePattern(int maxChars) {
    // \w of any script would let through letters the record cannot hold.
    return QStringLiteral("(?:(?=[\\x{0001}-\\x{00FF}])\\w){1,%1}").arg(maxChars);
}

QVariantHash callsignToHash(const Radio_Callsign& callsign) {
    QVariantHash h;
    h.insert(QStringLiteral("CSState"), callsign.on != 0);
    h.insert(QStringLiteral("CSInterval"), static_cast<int>(callsign.interval));
    h.insert(QStringLiteral("CSMessage"), callsignMessage(callsign));
    h.insert(QStringLiteral("CSLength"), static_cast<int>(callsign.length));
    return h;
}

Radio_Callsign callsignFromHash(const QVariantHash& values) {
    Radio_Callsign c{};
    c.on = values.value(QStringLiteral("CSState")).toBool() ? 1 : 0;
    c.interval = values.value(QStringLiteral("CSInterval")).toInt();
    const QString message = values.value(QStringLiteral("CSMessage")).toString();
    const int wanted = values.value(QStringLiteral("CSLength")).toInt();
    const int count = std::min({wanted, static_cast<int>(message.size()), kCallsignMessageBytes});
    int kept = 0;
    for (; kept < count; ++kept) {
        const char16_t u = message.at(kept).unicode();
        if (u == 0 || u > 0xFF) {
            break;
        }
        c.text[kept] = static_cast<char>(u);
    }
    c.length = static_cast<std::uint8_t>(kept);
    return c;
}

QString callsignMessage(const Radio_Callsign& callsign) {
    return readLatin1(callsign.text, sizeof callsign.text);
}

QList<int> protocolsOfWord(std::uint32_t protocolWord) {
    QList<int> out;
    if (bit(protocolWord, 16)) {
        out << Orlo;
    }
    if (bit(protocolWord, 17)) {
        out << NtripClient;
    }
    if (bit(protocolWord, 18)) {
        out << TcpDirect;
    }
    return out;
}

QList<int> protocolsForMode(const QList<int>& supported, int workMode) {
    QList<int> out;
    for (int code : supported) {
        const bool allowed =
            code == Orlo || code == TcpDirect || (code == NtripClient && workMode == Rover);
        if (allowed) {
            out << code;
        }
    }
    return out;
}

NetFieldVisibility netFieldVisibility(int workMode, int protocol, bool autoLoginSupported) {
    NetFieldVisibility v;
    const bool rover = workMode == Rover;
    v.source = rover && protocol == NtripClient;
    v.autoLogin = v.source && autoLoginSupported;
    v.sourceLabel = rover && protocol != TcpDirect;
    v.baseId = rover && protocol == Orlo;
    v.labelText = v.baseId ? QCoreApplication::translate("DataChain_Net", "BaseID:")
                           : QCoreApplication::translate("DataChain_Net", "Source:");
    return v;
}

QString gprsErrorText(int code) {
    switch (code) {
        case -1:
            return tr("Unknown Error");
        case 1:
            return tr("Signal Low");
        case 2:
            return tr("No SIM card");
        case 3:
            return tr("TCP connection Unavailable");
        case 4:
            return tr("UserName or password Wrong");
        case 5:
            return tr("Source Table Wrong");
        case 6:
            return tr("GPGGA data Invalid");
        case 7:
            return tr("Dial connection Fail");
        case 8:
            return tr("Server no Respond");
        default:
            return QString();
    }
}

std::uint32_t capabilityWord(const WirelessInfo& info) {
    return wordAt(info, offsetof(WirelessInfo, capability));
}

std::uint32_t protocolWord(const WirelessInfo& info) {
    return wordAt(info, offsetof(WirelessInfo, capability) + 4);
}

int editorLimit(int configured, int fieldBytes) {
    const int field = fieldBytes - 1;
    if (configured < 0) {
        return field;
    }
    return std::min(configured, field);
}

QString readLatin1(const char* field, std::size_t size) {
    const void* end = std::memchr(field, 0, size);
    const std::size_t n =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size;
    return QString::fromLatin1(field, static_cast<qsizetype>(n));
}

QString readAscii(const char* field, std::size_t size) {
    QString text = readLatin1(field, size);
    for (QChar& c : text) {
        if (c.unicode() > 0x7E || c.unicode() < 0x20) {
            c = QLatin1Char('?');
        }
    }
    return text;
}

bool isLatin1(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

bool fitsLatin1Field(const QString& text, int fieldBytes) {
    return isLatin1(text) && !text.contains(QChar(0)) && text.size() < fieldBytes;
}

bool isIpAddress(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        "\\A((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\z"));
    return re.match(text).hasMatch();
}

bool isHostName(const QString& text) {
    if (text.isEmpty() || text.size() >= kAddressTextBytes) {
        return false;
    }
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x21 && c.unicode() <= 0x7E; });
}

unsigned int portValue(const QString& text) {
    bool ok = false;
    const uint v = text.toUInt(&ok);
    return ok && v <= 65535 ? v : 0;
}

bool buildWirelessInfo(const NetLink& link, WirelessInfo& info, int& baseIdLength) {
    WirelessInfo out = info;
    std::memset(&out.server, 0, sizeof out.server);
    if (link.hostName) {
        if (!isHostName(link.address)) {
            return false;
        }
        const QByteArray bytes = link.address.toLatin1();
        std::memcpy(out.server.name, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        out.server.count = static_cast<std::int32_t>(bytes.size());
    } else {
        if (!isIpAddress(link.address)) {
            return false;
        }
        const QStringList parts = link.address.split(QLatin1Char('.'));
        unsigned char* a = reinterpret_cast<unsigned char*>(&out.server.address);
        for (int i = 0; i < 4; ++i) {
            a[i] = static_cast<unsigned char>(parts.at(i).toUInt());
        }
    }
    out.port = static_cast<std::int32_t>(link.port);
    out.protocol = link.protocol;
    out.loginFlag = link.workMode;
    if (!putLatin1(link.baseId, out.textC, kBaseIdBytes)) {
        return false;
    }
    baseIdLength = static_cast<int>(link.baseId.size());
    info = out;
    return true;
}

bool buildCorsInfo(const QString& source, const QString& user, const QString& password,
                   cors_info& out) {
    cors_info c{};
    if (!putLatin1(source, c.mountPoint, kCorsSourceBytes) ||
        !putLatin1(user, c.userName, kCorsUserBytes) ||
        !putLatin1(password, c.password, kCorsPasswordBytes)) {
        return false;
    }
    out = c;
    return true;
}

bool buildSvcInfo(const QString& user, const QString& password, const QString& apn,
                  const QString& dial, SvcInfo& out) {
    SvcInfo s{};
    if (!putLatin1(user, s.text1, kSvcTextBytes) || !putLatin1(password, s.text2, kSvcTextBytes) ||
        !putLatin1(apn, s.text3, kSvcTextBytes) || !putLatin1(dial, s.text4, kSvcTextBytes)) {
        return false;
    }
    out = s;
    return true;
}

WirelessFields readWirelessInfo(const WirelessInfo& info) {
    WirelessFields f;
    f.capability = capabilityWord(info);
    f.protocols = protocolWord(info);
    if ((f.capability & kHostNameBit) != 0) {
        const int count = info.server.count;
        const std::size_t n = count > 0 && count <= kAddressTextBytes
                                  ? static_cast<std::size_t>(count)
                                  : static_cast<std::size_t>(kAddressTextBytes);
        f.address = readAscii(info.server.name, n);
    } else {
        const auto* a = reinterpret_cast<const unsigned char*>(&info.server.address);
        f.address = QStringLiteral("%1.%2.%3.%4").arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]);
    }
    f.port = static_cast<unsigned int>(info.port);
    f.protocol = info.protocol;
    f.workMode = info.loginFlag;
    f.baseId = readLatin1(info.textC, sizeof info.textC);
    // Byte for byte, so an untouched text goes back as the receiver sent it.
    f.user = readLatin1(info.loginText1, sizeof info.loginText1);
    f.password = readLatin1(info.loginText2, sizeof info.loginText2);
    f.apn = readLatin1(info.textB, sizeof info.textB);
    f.dial = readLatin1(info.textA, sizeof info.textA);
    return f;
}

CorsFields readCorsInfo(const cors_info& info) {
    CorsFields f;
    f.source = readLatin1(info.mountPoint, sizeof info.mountPoint);
    f.user = readLatin1(info.userName, sizeof info.userName);
    f.password = readLatin1(info.password, sizeof info.password);
    return f;
}

// ---- New-protocol data link.

QString newRadioProtocolName(int code) {
    static const char* const kNames[] = {"ZOR",     "Transparent", "TT450s", "3AS",
                                         "PCC4FSK", "PCCGMSK",     "GMSK"};
    if (code < 1 || code > 7) {
        return QString();
    }
    return QString::fromLatin1(kNames[code - 1]);
}

QList<Choice> frequencyTypes(double lower, double upper) {
    const QString pattern = tr("%1 -- %2 MHz");
    return {{pattern.arg(450).arg(upper), 1},
            {pattern.arg(430).arg(450), 2},
            {pattern.arg(lower).arg(430), 3}};
}

std::vector<double> channelsOfBand(int band, const ChannelLists& radio,
                                   const ChannelLists& defaults) {
    const auto pick = [band](const ChannelLists& l) -> const std::vector<double>& {
        return band == 2 ? l.middle : band == 3 ? l.low : l.high;
    };
    if (!radio.high.empty() || !radio.middle.empty() || !radio.low.empty()) {
        std::vector<double> out{0.0};
        const std::vector<double>& list = pick(radio);
        out.insert(out.end(), list.begin(), list.end());
        return out;
    }
    if (!radio.single.empty()) {
        return radio.single;
    }
    return !defaults.single.empty() ? defaults.single : pick(defaults);
}

int channelOfFrequency(const std::vector<double>& channels, double mhz) {
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (std::fabs(channels[i] - mhz) < 0.00005) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int toStoredProtocol(int serverType) {
    switch (serverType) {
        case 3:
        case 4:
            return Orlo;
        case 5:
            return TcpDirect;
        default:
            return NtripClient;
    }
}

int toServerType(int storedCode) {
    switch (storedCode) {
        case Orlo:
            return 3;
        case TcpDirect:
            return 5;
        default:
            return 2;
    }
}

ServerTypeFields serverTypeFields(int serverType) {
    ServerTypeFields f;
    if (serverType < 2 || serverType > 5) {
        return f;
    }
    f.valid = true;
    f.sourceLabel = serverType == 2 || serverType == 3;
    f.labelText = serverType == 3 ? tr("BaseID:") : tr("Source:");
    f.sourceList = serverType == 2;
    f.baseId = serverType == 3;
    f.account = serverType == 2;
    f.autoLogin = serverType != 5;
    f.getSource = serverType == 2;
    return f;
}

bool fitsNetText(const QString& text) {
    return text.toUtf8().size() <= kNetTextBytes;
}

QString tooLongText(const QString& field, int limit) {
    return QCoreApplication::translate("LinkFields", "%1 is too long: at most %2 characters.")
        .arg(field)
        .arg(limit);
}

bool buildServerAddress(const QString& address, const QString& port, QX_IP_ADDRESS_STRUCT& out) {
    const unsigned int portNumber = portValue(port);
    if (!isIpAddress(address) || portNumber == 0) {
        return false;
    }
    in_addr parsed{};
    if (inet_pton(AF_INET, address.toLatin1().constData(), &parsed) != 1) {
        return false;
    }
    QX_IP_ADDRESS_STRUCT r{};
    r.address = ntohl(parsed.s_addr);
    r.port = static_cast<std::uint16_t>(portNumber);
    out = r;
    return true;
}

QString addressText(const QX_IP_ADDRESS_STRUCT& record) {
    in_addr a{};
    a.s_addr = htonl(record.address);
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &a, text, sizeof text)) {
        return QString();
    }
    return QString::fromLatin1(text);
}

namespace {

QString readUtf8(const char* field, std::size_t size) {
    const void* end = std::memchr(field, 0, size);
    const std::size_t n =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size;
    return QString::fromUtf8(field, static_cast<qsizetype>(n));
}

void writeUtf8(const QByteArray& bytes, char* field) {
    std::memcpy(field, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

bool buildDataSource(const QString& source, QX_CORS_DATA_SOURCE_STRUCT& out) {
    if (!fitsNetText(source)) {
        return false;
    }
    QX_CORS_DATA_SOURCE_STRUCT r{};
    writeUtf8(source.toUtf8(), r.source);
    out = r;
    return true;
}

bool buildAccount(const QString& user, const QString& password, QX_ACCOUNT_STRUCT& out) {
    if (!fitsNetText(user) || !fitsNetText(password)) {
        return false;
    }
    QX_ACCOUNT_STRUCT r{};
    writeUtf8(user.toUtf8(), r.user);
    writeUtf8(password.toUtf8(), r.password);
    out = r;
    return true;
}

QString dataSourceText(const QX_CORS_DATA_SOURCE_STRUCT& record) {
    return readUtf8(record.source, sizeof record.source);
}

QString accountUser(const QX_ACCOUNT_STRUCT& record) {
    return readUtf8(record.user, sizeof record.user);
}

QString accountPassword(const QX_ACCOUNT_STRUCT& record) {
    return readUtf8(record.password, sizeof record.password);
}

QVariantHash newCallsignToHash(int state, int interval, const QString& text) {
    QVariantHash h;
    h.insert(QStringLiteral("CSState"), state);
    h.insert(QStringLiteral("CSInterval"), interval);
    h.insert(QStringLiteral("CSMessage"), text);
    h.insert(QStringLiteral("CSLength"), static_cast<int>(text.size()));
    return h;
}

QX_RADIO_CALLSIGN_STRUCT newCallsignFromHash(const QVariantHash& values) {
    QX_RADIO_CALLSIGN_STRUCT c{};
    c.b1 = values.value(QStringLiteral("CSState")).toBool() ? 1 : 0;
    c.b2 = static_cast<std::uint8_t>(values.value(QStringLiteral("CSInterval")).toInt() & 0xFF);
    const QString message = values.value(QStringLiteral("CSMessage")).toString();
    const int wanted = values.value(QStringLiteral("CSLength")).toInt();
    const int count = std::min({wanted, static_cast<int>(message.size()), kNewCallsignChars});
    for (int i = 0; i < count; ++i) {
        const char16_t u = message.at(i).unicode();
        if (u == 0 || u > 0xFF) {
            break;
        }
        c.text[i] = static_cast<char>(u);
    }
    return c;
}

QString newCallsignText(const QX_RADIO_CALLSIGN_STRUCT& record) {
    return readLatin1(record.text, sizeof record.text);
}

}  // namespace LinkFields
}  // namespace Varnok
