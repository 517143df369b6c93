#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QStringList>

#include "base_position_list.h"
#include "handover_queue.h"
#include "source_list_collector.h"
#include "static_files.h"
#include "receiver_session.h"
#include "static_point_settings.h"

namespace Varnok {

// The 44-byte address record of the connection page: 4 address bytes in dotted order, a word
// and 32 bytes handed back unchanged, the TCP port.
#pragma pack(push, 1)
struct SocketTarget {
    std::uint8_t address[4];
    std::uint32_t word;
    std::uint8_t reserved[32];
    std::uint32_t port;
};
#pragma pack(pop)
static_assert(sizeof(SocketTarget) == 44, "SocketTarget is 44 bytes");

// The first 40 bytes of a SocketTarget: the address, then 36 bytes kept as they came.
struct SocketBlock {
    std::uint8_t bytes[40];
};

// One answer copied out of the session on its own thread, applied later on the GUI thread.
struct AnswerRecord {
    std::uint64_t generation = 0;
    int category = 0;  // kStatusCategory for the status callback
    std::uint32_t id = 0;
    // One entry per row of the category's table; empty for the rows whose bit was clear.
    std::vector<std::vector<unsigned char>> values;
};

// What the answers of categories 1, 4 and 5 and the connection leave for the pages.
struct DeviceCache {
    int batteryGrade = 0;
    unsigned int elevMask = 0;
    POS_INFO position{};
    int responseStatus = 0;
    unsigned int responseCommandId = 0;
    QX_SYSTEM_FIRMWARE_VERSION_STRUCT firmwareInfo{};
    QX_SYSTEM_HARDWARE_INFO_STRUCT hardwareInfo{};
    int fileRecordStatus = 2;
    unsigned char fileRecordAutoOpen = 0;
    QX_FILE_RECORD_CONFIG_STRUCT fileRecordParam{};
    int comBaud = 3;
    int wifiMode = 1;
    QX_WIFI_PARA_AP_STRUCT wifiParams{};
    int wifiStatus = 3;
    bool wifiAutoOpen = false;
    bool wifiShare = false;
    bool wifiAutoShare = false;
    QX_MODEM_DIAL_PARA_STRUCT dialParams{};
    int modemPowerStatus = 0;
    bool modemAutoPower = false;
    QX_MODEM_DIAL_STATUS_STRUCT modemDialStatus{};
    bool modemAutoDial = false;
    int modemBandMode = 0;
    int modemWorkMode = 0;
    QX_MODEM_CSD_STATUS_STRUCT csdStatus{};
    QX_MODEM_CSD_PARA_STRUCT csdParams{};
    DEVICE_STR deviceInfo{};
    bool satelliteChannels[3] = {false, false, false};
    // Filled by the answers of the other categories.
    int pdopMask = 0;
    int radioModuleType = 1;
    bool radioAutoPower = false;
    int staticFileLength = 0;

    // Old-protocol answers (category 2).
    Static_Point staticPoint{};
    WirelessInfo wirelessInfo{};
    double gprsVersion = 0;
    Radio_Info radioInfo{};
    Radio_Range radioRange{};
    int gprsStatus = 0;
    int gprsError = 0;
    int loginMode = 0;
    cors_info corsInfo{};
    int corsWord = 0;
    Text_Lengths textLengths{};
    double radioFrequency = 0;
    int transmitMode = 0;
    int radioPower = 0;
    int radioBaud = 0;
    int radioSensitivity = 0;
    int channelSpace = 0;
    bool radioFec = false;
    Radio_Callsign radioCallsign{};
    // Copied on the parse thread with every category-2 answer; the session's own record is
    // rebuilt by a board reset.
    Base_Config baseConfig{};
    // Base settings (category 3).
    int diffType = 1;
    QX_GNSS_BASE_SET_STRUCT baseSet{};
    QX_DATA_CONFIG_LIST ioConfigs{};
    // Data link (category 6).
    int radioPowerStatus = 0;
    QX_RADIO_CALLSIGN_STRUCT radioCallsignV2{};
    QX_NETLINK_STATUS_STRUCT netLinkStatus{};
    int serverType = 0;
    QX_IP_ADDRESS_STRUCT serverAddress{};
    QX_CORS_DATA_SOURCE_STRUCT dataSource{};
    QX_ACCOUNT_STRUCT account{};
    int dataLinkMode = 0;
    // Old-protocol channel lists and NMEA output (category 8).
    std::vector<int> channelTypes;
    std::vector<double> channelFreqs;
    NMEAConfigList nmeaConfigs;
    bool staticStatus = false;
    // The static antenna type text of the last FT answer (category 8, bit 0x20).
    char staticAntType[21] = {};
};

// The three L2C, L5 and GLONASS L3 switches of the receiver information page; 1 means on.
struct SatelliteChannelBytes {
    unsigned char l2c = 0;
    unsigned char l5 = 0;
    unsigned char l3 = 0;
};

// The radio's frequency range in MHz.
struct RadioFreqRange {
    double lower = 0;
    double upper = 0;
    double stepMHz = 0;
};

// The program's one owner of the receiver session. It lives on the GUI thread: requests,
// connecting, closing and applying answers all run there; the session's callbacks only copy
// values out and hand them over.
class DeviceManager : public QObject {
    Q_OBJECT

public:
    using SessionFactory =
        std::function<std::unique_ptr<ReceiverSession>(GNSS_MANUFACTURER, MAINBD_OEM_TYPE)>;

    static constexpr int kStatusCategory = -1;
    // The event announced after a lost link closed the connection (DeviceObserver::linkLost).
    static constexpr int kLinkLostEvent = 78;
    static constexpr int kConnectTimeoutMs = 4000;

    static DeviceManager* instance();
    // The object when it exists; never creates it.
    static DeviceManager* existingInstance();

    ~DeviceManager() override;

    // Sessions are made by the factory (the landed session unless replaced; tests pass a
    // fake). Takes effect at the next connect.
    void setSessionFactory(SessionFactory factory);
    void setConnectTimeoutMs(int ms);

    // ---- Connection.
    void setManufacturer(int manufacturer);
    void setDeviceType(int deviceType);
    int deviceType() const { return deviceType_; }
    void setConnectOptions(bool autoBaud, const QList<int>& bauds);
    void setReceiverId(const QString& id);
    QString receiverId() const { return receiverId_; }
    bool connectDevice(int kind, unsigned char port, int baud, SocketBlock block, int sockPort);
    bool connectDevice(int kind, unsigned char port, int baud, SocketTarget target);
    bool closePort();
    void applyReceiverType();
    void setComBaudrate(int baud);
    void supportedPages(int* mask) const;
    int workingStatus() const { return workingStatus_; }
    int eventCode() const { return eventCode_; }
    int baudRate() const { return baudRate_; }
    // Stores the code, then has the hub emit its signal.
    void announce(int code);
    void announceCurrentEvent();

    // ---- Predicates.
    bool isNewProtocolReceiver() const { return deviceType_ == 1; }
    bool isOldProtocolReceiver() const { return deviceType_ != 1; }
    bool isDeviceTypeZero() const { return deviceType_ == 0; }
    bool isSerialConnection() const { return kind_ == 0; }
    bool isFirmwareBelow8() const { return !firmwareFlag_; }
    bool isStaticRecordingConfigurable() const { return firmwareFlag_ && deviceType_ != 2; }
    bool isStaticFileDownloadable() const { return !firmwareFlag_ && (kind_ == 0 || kind_ == 102); }
    bool hasNovatelExtensions() const { return flags_.a && boardType_ == 2; }
    bool isRadioChannelV2() const { return flags_.b; }
    bool hasRadioChannelExtensions() const { return flags_.c; }
    bool hasExtendedStartWays() const { return flags_.d; }
    bool isFirmwareMinor14() const { return flags_.e; }
    bool hasWorkingStatusExtension() const { return flags_.g; }
    bool hasOutputExtensions() const { return flags_.h || deviceType_ == 1; }
    bool hasStaticStatusQuery() const { return flags_.i; }
    bool hasExtendedDeviceInfo() const { return flags_.k; }
    bool isWifiShareSupported() const { return wifiShareAnswered_; }
    bool isBasePosListSupported() const { return basePositions_.answered(); }
    bool isWifiShareCapable() const;
    bool isNovatelBoard() const { return boardType_ == 2; }
    bool isStxEtxBoard() const { return boardType_ == 1; }
    bool isHemisphereBoard() const { return boardType_ == 4; }
    bool isHemisphere2Board() const { return boardType_ == 7; }
    bool firmwareFlag() const { return firmwareFlag_; }
    bool newProtocolFirmwareFlag() const { return newFirmwareFlag_; }
    int boardType() const { return boardType_; }

    // Names the pages call.
    bool hasBasePositionList() const { return isBasePosListSupported(); }
    bool hasNmeaOutputQuery() const { return hasOutputExtensions(); }
    bool hasRadioChannelTypes() const { return hasRadioChannelExtensions(); }
    bool isCsdSupported() const { return isWifiShareCapable(); }
    bool isFirmwareMinor20() const { return flags_.d; }
    bool hasSatelliteChannelControl() const { return hasExtendedDeviceInfo(); }

    // ---- Cached answers of categories 1, 4, 5 and the device record.
    int batteryGrade() const { return cache_.batteryGrade; }
    int elevMask() const { return static_cast<int>(cache_.elevMask); }
    POS_INFO position() const { return cache_.position; }
    void position(POS_INFO& out) const { out = cache_.position; }
    int responseStatus() const { return cache_.responseStatus; }
    int responseCommandId() const { return static_cast<int>(cache_.responseCommandId); }
    QX_SYSTEM_FIRMWARE_VERSION_STRUCT firmwareInfo() const { return cache_.firmwareInfo; }
    void firmwareInfo(QX_SYSTEM_FIRMWARE_VERSION_STRUCT& out) const { out = cache_.firmwareInfo; }
    QX_SYSTEM_HARDWARE_INFO_STRUCT hardwareInfo() const { return cache_.hardwareInfo; }
    void hardwareInfo(QX_SYSTEM_HARDWARE_INFO_STRUCT& out) const { out = cache_.hardwareInfo; }
    int fileRecordStatus() const { return cache_.fileRecordStatus; }
    bool fileRecordAutoOpen() const { return cache_.fileRecordAutoOpen == 1; }
    QX_FILE_RECORD_CONFIG_STRUCT fileRecordParam() const { return cache_.fileRecordParam; }
    void fileRecordParam(QX_FILE_RECORD_CONFIG_STRUCT& out) const { out = cache_.fileRecordParam; }
    int comBaudrate() const { return cache_.comBaud; }
    int wifiMode() const { return cache_.wifiMode; }
    QX_WIFI_PARA_AP_STRUCT wifiParams() const { return cache_.wifiParams; }
    void wifiParams(QX_WIFI_PARA_AP_STRUCT& out) const { out = cache_.wifiParams; }
    int wifiStatus() const { return cache_.wifiStatus; }
    bool wifiAutoOpen() const { return cache_.wifiAutoOpen; }
    unsigned char wifiShare() const { return cache_.wifiShare ? 1 : 0; }
    unsigned char wifiAutoShare() const { return cache_.wifiAutoShare ? 1 : 0; }
    QX_MODEM_DIAL_PARA_STRUCT dialParams() const { return cache_.dialParams; }
    void dialParams(QX_MODEM_DIAL_PARA_STRUCT& out) const { out = cache_.dialParams; }
    int modemPowerStatus() const { return cache_.modemPowerStatus; }
    bool modemAutoPower() const { return cache_.modemAutoPower; }
    QX_MODEM_DIAL_STATUS_STRUCT modemDialStatus() const { return cache_.modemDialStatus; }
    void modemDialStatus(QX_MODEM_DIAL_STATUS_STRUCT& out) const { out = cache_.modemDialStatus; }
    bool modemAutoDial() const { return cache_.modemAutoDial; }
    int modemBandMode() const { return cache_.modemBandMode; }
    int modemWorkMode() const { return cache_.modemWorkMode; }
    QX_MODEM_CSD_STATUS_STRUCT csdStatus() const { return cache_.csdStatus; }
    void csdStatus(QX_MODEM_CSD_STATUS_STRUCT& out) const { out = cache_.csdStatus; }
    QX_MODEM_CSD_PARA_STRUCT csdParams() const { return cache_.csdParams; }
    void csdParams(QX_MODEM_CSD_PARA_STRUCT& out) const { out = cache_.csdParams; }
    const DEVICE_STR* deviceInfo() const { return &cache_.deviceInfo; }
    const bool* satelliteChannelStatus() const { return cache_.satelliteChannels; }
    int pdopMask() const { return cache_.pdopMask; }
    int radioModuleType() const { return cache_.radioModuleType; }
    unsigned char radioAutoPower() const { return cache_.radioAutoPower ? 1 : 0; }
    int staticFileLength() const { return cache_.staticFileLength; }

    int manufacturer() const { return manufacturer_; }
    // The receiver ID of the device record (old protocol) or the hardware serial (new).
    QString receiverIdText() const;

    // ---- Requests: each sends its session call or batch and returns at once.
    void sendGprsEroinfo();
    void sendCloseReceiver();
    // "Power Off Receiver" on the way out: queued as sendCloseReceiver is, waiting for room in
    // a full queue, then waited for until it is written; all within the pauses ahead plus 1 s,
    // never more than kPowerOffWaitMs. True when it was written.
    bool powerOffReceiver();
    // Requests the current session refused whole because its queue could not take them; a
    // page compares it around its requests.
    std::uint64_t refusedRequests() const;
    static constexpr unsigned long kPowerOffWaitMs = 5000;
    void sendGnssReset();
    void sendBattery();
    void sendRadioPower();
    void sendRadioSensitivity();
    void sendRadioCallsign();
    void sendRadioFec();
    void sendGprsInfo();
    void sendRadioAutoPowerQuery();
    void sendRadioFrequencyQuery();
    void sendWifiPowerStatusQuery();
    void sendModemPowerStatusQuery();
    void sendRadioPowerStatusQuery();
    void sendModemWorkModeQuery();
    void queryCsdStatus();
    void queryStaticPoint();
    void connectNetLink();
    void sendFileRecordStatusQuery();
    void setDevcInfoAutoBaseDist(unsigned short distance);
    void setGprsSvcInfo(SvcInfo info);
    void setGprsModel(Gprs_Modle model);
    void setGprsIp(IP_ADRES address, unsigned int port, Protocol_Net protocol);
    void setGnssNmea(unsigned long mask, GNSS_FRQ rate);
    void send200Data(bool on);
    void setRadioMdl(Rdo_Mdl mode);
    void sendWifiOpen(bool on);
    void sendModemPower(bool on);
    void sendModemDial(bool on);
    // Null asks for the address; a page zeroes the fields it does not fill.
    void sendNetLinkAddress(const QX_IP_ADDRESS_STRUCT* address);
    void setComDataMonitor(bool on);
    void deleteStaticFile(unsigned int index);
    void setRadioChannelFreq(int channel, double mhz, Channel_Space space);
    void setRadioChannelType(int channel, Rdo_Channel_Type type);
    void setRadioChannel0Enabled(bool on);
    void sendRadioPowerOn(bool on);
    void sendModemWorkMode(unsigned short mode);
    void sendCsdParams(const QX_MODEM_CSD_PARA_STRUCT* params);

    // true: pass-through to the main board (mode 1); false: back to the receiver.
    void sendQxMdl(bool on);
    void setSatelliteChannelStatus(SatelliteChannelBytes bytes);
    void queryModemDialStatus();
    // The dial status alone, never switching the modem on (the Wi-Fi tab's poll).
    void sendModemDialStatusQuery();
    void queryStaticStatus();
    void queryRadioModuleType();
    void queryRadioProtocol();
    // The old protocol's base configuration as the last category-2 answer or startBase left it.
    Base_Config baseConfig() const { return cache_.baseConfig; }
    void startBase(Base_Config config);
    void setConnectionParams(int kind, unsigned char port, int baud, SocketTarget target);

    void disconnectNetLink();
    void queryBasePosDifference();
    // False when nothing was sent (no session, or the new protocol's list not read yet).
    bool setBasePosDifference(double value);
    void queryDataLinkMode();
    void queryNetLinkStatus();
    void queryRadioBaudrates();
    void queryRadioChannelSpacing();
    void startStaticRecord();
    void stopStaticRecord();
    void queryNmeaOutputConfigs();
    void queryDeviceInfo();
    void queryFileRecordSettings();
    void queryRtkSettings();
    void queryModemSettings();
    void queryNetLinkSettings();
    void queryRadioSettings();

    void setRtkSettings(unsigned int output, unsigned int startType, unsigned int port,
                        unsigned int format, unsigned int mask, GNSS_FRQ rate);
    void setFileRecordSettings(unsigned int mode, unsigned int session, unsigned int interval,
                               unsigned int mask, bool autoOpen);
    void setStaticSettings(unsigned int mode, unsigned int session, unsigned int interval,
                           unsigned int mask, Static_Point* point);
    void setGprsSettings(int workMode, int baseIdLength, WirelessInfo info, int autoLogin,
                         cors_info cors);
    // As above; a null source and login record, a login mode below 0 or a base ID length
    // below 0 leaves it out: a value never read, or read cut, is not written.
    void setGprsSettings(int workMode, int baseIdLength, const WirelessInfo& info, int autoLogin,
                         const cors_info* cors);
    void setRadioSettings(Rdo_Mdl mode, double mhz, Radio_Power power, Radio_Baudrate baud,
                          Rdo_Sensitv sensitivity, Channel_Space space, bool fec,
                          Radio_Callsign callsign);
    // As above; a null call sign sends no call sign, so a radio's own one is never overwritten
    // by a record that was not read. sendFec false leaves the FEC out for the same reason.
    void setRadioSettings(Rdo_Mdl mode, double mhz, Radio_Power power, Radio_Baudrate baud,
                          Rdo_Sensitv sensitivity, Channel_Space space, bool fec,
                          const Radio_Callsign* callsign, bool sendFec = true);
    // The mode is taken but not sent.
    // A share or share-auto flag below 0 is left out: a value never read is not written.
    void setWifiSettings(int mode, const QX_WIFI_PARA_AP_STRUCT* params, bool autoOpen, bool apply,
                         int share, int shareAuto);
    void queryWifiSettings();
    void setModemSettings(const QX_MODEM_DIAL_PARA_STRUCT* params, bool autoPower, bool autoDial,
                          unsigned short bandMode);
    // A null record, or an auto-open flag below 0, leaves that item out: a value never read
    // is not written.
    void setNetLinkSettings(const unsigned short* serverType, const QX_IP_ADDRESS_STRUCT* address,
                            const QX_CORS_DATA_SOURCE_STRUCT* source,
                            const QX_ACCOUNT_STRUCT* account, int autoOpen);
    // All ones (or -1) leaves a value out.
    void setRadioLinkSettings(int protocol, double mhz, bool autoPower, unsigned int stepper,
                              unsigned int airBaud, unsigned int power, bool fec, int sensitivity,
                              const QX_RADIO_CALLSIGN_STRUCT* callsign);
    void sendRtkSettings(int startMode, QX_GNSS_DIFF_TYPE_ENUM diffType, int comBaud,
                         unsigned int elevMask, int pdopMask, double latitude, double longitude,
                         double height, const std::map<int, bool>& outputs);

    // ---- Base position list.
    void queryBasePositionList();
    // Each returns false when nothing was sent (no receiver, or the list not read yet).
    bool clearBasePositionList();
    bool removeBasePosition(int index);
    // False when nothing was sent (no session; new protocol: list not read yet, or full).
    bool addBasePosition(double latitude, double longitude, double height);
    std::vector<BasePosition> basePositionList() const { return basePositions_.display(); }
    void basePositionList(std::vector<BasePosition>& out) const { out = basePositions_.display(); }
    double basePosDifference() const { return basePositions_.difference(); }

    // ---- NMEA and position output.
    void setNmeaOutput(std::vector<_set_nmea>& list, bool keep, int selector);
    void startPositionOutput();
    void stopPositionOutput();
    void nmeaOutputConfigs(NMEAConfigList& out) const { out = cache_.nmeaConfigs; }

    // ---- Radio channel lists.
    void queryRadioChannelList(bool withSpacing, bool withTypes);
    // The old receiver tells its radio's type and capabilities with the modem version.
    void queryRadioInfo();
    std::vector<int> channelTypes() const { return cache_.channelTypes; }
    void channelTypes(std::vector<int>& out) const { out = cache_.channelTypes; }
    std::vector<double> channelFreqs() const { return cache_.channelFreqs; }
    void channelFreqs(std::vector<double>& out) const { out = cache_.channelFreqs; }

    // ---- Option lists (names with their codes, in display order).
    void outputRateNames(QStringList& names, QList<int>& codes) const;
    void nmeaSentenceNames(QStringList& names, QList<int>& codes) const;
    // Appends.
    void serverModeNames(QStringList& names, QList<int>& codes) const;
    void rtkRateNames(QStringList& names, QList<int>& codes) const;
    void diffFormatNames(QStringList& names, QList<int>& codes) const;
    void staticRateNames(QStringList& names, QList<int>& codes) const;

    // ---- Code tables.
    static void splitMode(int mode, int& first, int& second);
    static int indexToCode(int index);
    static char indexToLetter(int n);
    static int sentenceDataTypeCode(int sentence);
    static int mapTypeCode(int rate);
    static void gpsTimeToDate(int week, double seconds, int* year, int* month = nullptr,
                              int* day = nullptr, int* hours = nullptr, int* minutes = nullptr,
                              double* secs = nullptr);
    static void gpsTimeToDayOfYear(int week, double seconds, int& year, int& dayOfYear, int& hours,
                                   int& minutes, double& secs);

    // ---- Cached answers of categories 2, 3 and 6.
    const Static_Point* staticPointInfo() const { return &cache_.staticPoint; }
    double gprsVersion() const { return cache_.gprsVersion; }
    WirelessInfo wirelessInfo() const { return cache_.wirelessInfo; }
    void wirelessInfo(WirelessInfo& out) const { out = cache_.wirelessInfo; }
    cors_info corsInfo() const { return cache_.corsInfo; }
    void corsInfo(cors_info& out) const { out = cache_.corsInfo; }
    // How long the login texts and the base id were as the receiver sent them.
    Text_Lengths textLengths() const { return cache_.textLengths; }
    int loginMode() const { return cache_.loginMode; }
    RadioFreqRange radioFreqRange() const;
    void radioFreqRange(double& lower, double& upper, double& step) const;
    int wirelessStatus() const { return cache_.gprsStatus; }
    int wirelessError() const { return cache_.gprsError; }
    Radio_Info radioInfo() const { return cache_.radioInfo; }
    void radioInfo(Radio_Info& out) const { out = cache_.radioInfo; }
    void radioModelAndFrequency(int& mode, double& mhz) const {
        mode = cache_.transmitMode;
        mhz = cache_.radioFrequency;
    }
    int radioProtocol() const { return cache_.transmitMode; }
    int radioPower() const { return cache_.radioPower; }
    int radioBaudrate() const { return cache_.radioBaud; }
    int radioSensitivity() const { return cache_.radioSensitivity; }
    int radioChannelSpace() const { return cache_.channelSpace; }
    unsigned char radioFec() const { return cache_.radioFec ? 1 : 0; }
    const Radio_Callsign* radioCallsign() const { return &cache_.radioCallsign; }
    double radioFrequency() const { return cache_.radioFrequency; }
    QX_GNSS_BASE_SET_STRUCT basePos() const { return cache_.baseSet; }
    void basePos(QX_GNSS_BASE_SET_STRUCT& out) const { out = cache_.baseSet; }
    int diffType() const { return cache_.diffType; }
    bool wifiAutoPower() const { return cache_.wifiAutoOpen; }
    int radioType() const { return cache_.radioModuleType; }
    int radioPowerStatus() const { return cache_.radioPowerStatus; }
    QX_NETLINK_STATUS_STRUCT netLinkStatus() const { return cache_.netLinkStatus; }
    void netLinkStatus(QX_NETLINK_STATUS_STRUCT& out) const { out = cache_.netLinkStatus; }
    int serverType() const { return cache_.serverType; }
    QX_IP_ADDRESS_STRUCT serverAddress() const { return cache_.serverAddress; }
    void serverAddress(QX_IP_ADDRESS_STRUCT& out) const { out = cache_.serverAddress; }
    QX_CORS_DATA_SOURCE_STRUCT serverDataSource() const { return cache_.dataSource; }
    void serverDataSource(QX_CORS_DATA_SOURCE_STRUCT& out) const { out = cache_.dataSource; }
    QX_ACCOUNT_STRUCT serverAccount() const { return cache_.account; }
    void serverAccount(QX_ACCOUNT_STRUCT& out) const { out = cache_.account; }
    int dataLinkMode() const { return cache_.dataLinkMode; }
    QX_DATA_CONFIG_LIST ioConfigs() const { return cache_.ioConfigs; }
    void ioConfigs(QX_DATA_CONFIG_LIST& out) const { out = cache_.ioConfigs; }
    // That IO's own list; true when it came since the IO's last query (and connect).
    bool ioConfigs(int ioId, QX_DATA_CONFIG_LIST& out) const;
    QX_RADIO_CALLSIGN_STRUCT radioCallsignV2() const { return cache_.radioCallsignV2; }
    void radioCallsignV2(QX_RADIO_CALLSIGN_STRUCT& out) const { out = cache_.radioCallsignV2; }
    void radioCallsignRecord(QX_RADIO_CALLSIGN_STRUCT& out) const { out = cache_.radioCallsignV2; }
    bool staticStatus() const { return cache_.staticStatus; }

    // ---- Static data files of an old-protocol receiver (category 8).
    // Empties the list and asks for the directory; staticFileDir() announces the list.
    void queryStaticFileDir();
    std::vector<StaticFileRecord> staticFileList() const { return staticFiles_; }
    void staticFileList(std::vector<StaticFileRecord>& out) const { out = staticFiles_; }
    // Opens the local file (UTF-8 path; appended to), writes the header with the date text and
    // asks for the file; false, with nothing sent, when the file cannot be opened. The pieces
    // are announced by staticFileLength(int), the end by staticFileData().
    bool openStaticFileDownload(std::uint32_t file, const char* localPath, const char* dateText);
    const StaticFileDownload& staticFileState() const { return staticDownload_; }
    void writeStaticFile(const void* bytes, std::size_t count);
    void closeStaticFile();
    QString staticAntennaType() const;
    // ---- NTRIP source table (source_table.cpp).
    // Forgets the collected text and asks the receiver to fetch its caster's table; the
    // answer is sourceTable().
    void querySourceTable();
    bool hasSourceTableHeader() const;
    bool hasSourceTableEnd() const;
    // The mount points of the collected text, which is left holding its last record: a second
    // call finds none.
    QList<QString> sourceTableRecords();
    // Trims text to the table (from the status line through the end marker, when present) and
    // appends the mount point of every record that follows a line break; the text is left
    // holding the last record and what follows it.
    static void parseSourceTable(QString& text, QList<QString>& names);
    static void stripBeforeHeader(QString& text);
    static void cutAfterEnd(QString& text);
    static bool hasStrRecord(const QString& text);
    static void extractMountPoints(QString& text, QList<QString>& names);
    // ---- Static point: the cached point joined with the cached static antenna type.
    StaticPointSettings staticPointSettings() const;
    // The four recording settings, then the point, then its antenna code.
    void setStaticSettings(unsigned int mode, unsigned int session, unsigned int interval,
                           unsigned int mask, const StaticPointSettings& point);

    // Decodes the cached device record: channel switches, firmware capabilities, board type.
    void applyDeviceInfo();
    // Capability flags from the cached firmware text of the connected receiver family.
    void parseFirmwareVersion();

    // The session's callbacks: run on its threads, copy out and hand over only.
    static void onReceiverData(Msg_Type category, std::uint32_t id, const void* user);
    static void onReceiverStatus(bool changed, const void* user);
    // The session's lost-link notification, on its read thread: hands over only.
    static void onReceiverLinkLost(void* user);

public slots:
    void onTryToConnectTimeOut();

private:
    friend struct DeviceAnswersAccess;
    friend class DeviceManagerTestAccess;

    DeviceManager();

    struct CapabilityFlags {
        bool a = false, b = false, c = false, d = false, e = false, g = false, h = false, i = false,
             k = false;
    };

    void recreateReceiver();
    bool openPort(int kind, unsigned char port, int baud, const SocketBlock& block, int sockPort);
    void sendFirstQueries();
    void retryWithNextBaudrate();
    void setWorkingStatus(int status) { workingStatus_ = status; }
    void markFirstAnswer();
    // On the GUI thread: the link of that session generation is gone.
    void onLinkLost(std::uint64_t generation);
    // Applies the handed-over records of the current session in order; older ones are dropped.
    void applyAnswers();
    void handOver(AnswerRecord record);
    // The session the callbacks may read from, and its generation.
    ReceiverSession* liveSession() const { return liveSession_.load(std::memory_order_acquire); }

    SessionFactory factory_;
    std::unique_ptr<ReceiverSession> receiver_;
    std::atomic<ReceiverSession*> liveSession_{nullptr};
    std::atomic<std::uint64_t> generation_{0};
    _CALLBACKS_RECEIVER callbacks_{};
    HandoverQueue<AnswerRecord> answers_;
    QTimer retryTimer_;

    int manufacturer_ = 0;
    int deviceType_ = 0;
    int boardType_ = 0;
    int workingStatus_ = 0;
    int eventCode_ = 24;
    int kind_ = 0;
    unsigned char port_ = 0;
    int baudRate_ = 9600;
    SocketBlock block_{};
    int sockPort_ = 0;
    bool autoBaud_ = false;
    QList<int> bauds_;
    bool retryArmed_ = false;
    bool firstAnswer_ = false;
    QString receiverId_;

    bool firmwareFlag_ = false;
    CapabilityFlags flags_;
    bool newFirmwareFlag_ = false;
    bool wifiShareAnswered_ = false;

    DeviceCache cache_;
    BasePositionList basePositions_;
    SourceListCollector sourceList_;
    // Static data files: written on the GUI thread only, as the answers are applied.
    StaticFileDirectory staticDirectory_;
    std::vector<StaticFileRecord> staticFiles_;
    StaticFileDownload staticDownload_;
    std::string staticAntennaType_;

    // The data configuration lists of IOs 1, 5, 6 (the RTK page's) and 0 (the NMEA output
    // page's), each kept apart as it arrives.
    struct IoListSlot {
        bool fresh = false;
        QX_DATA_CONFIG_LIST list{};
    };
    IoListSlot ioLists_[4];
    // -1 for an IO without a slot.
    static int ioListIndex(int ioId);
    void clearIoLists();
    void clearIoList(int ioId);
    void takeIoList(const QX_DATA_CONFIG_LIST& list);
};

}  // namespace Varnok
