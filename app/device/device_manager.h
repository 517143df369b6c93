#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "handover_queue.h"
#include "receiver_session.h"

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
    int fileRecordStatus = 0;
    unsigned char fileRecordAutoOpen = 0;
    QX_FILE_RECORD_CONFIG_STRUCT fileRecordParam{};
    int comBaud = 0;
    int wifiMode = 0;
    QX_WIFI_PARA_AP_STRUCT wifiParams{};
    int wifiStatus = 0;
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
    int radioModuleType = 0;
    bool radioAutoPower = false;
    int staticFileLength = 0;
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
    // The exit choices and the data monitor: each queues one session command.
    void sendCloseReceiver();
    // true: pass-through to the main board (mode 1); false: back to the receiver.
    void sendQxMdl(bool passThrough);
    void setComDataMonitor(bool on);
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
    bool isBasePosListSupported() const { return basePosListAnswered_; }
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

    // Decodes the cached device record: channel switches, firmware capabilities, board type.
    void applyDeviceInfo();
    // Capability flags from the cached firmware text of the connected receiver family.
    void parseFirmwareVersion();

    // The session's callbacks: run on its threads, copy out and hand over only.
    static void onReceiverData(Msg_Type category, std::uint32_t id, const void* user);
    static void onReceiverStatus(bool changed, const void* user);

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
    bool basePosListAnswered_ = false;
    bool staticStatus_ = false;

    DeviceCache cache_;
};

}  // namespace Varnok
