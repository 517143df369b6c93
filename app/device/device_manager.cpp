#include "device_manager.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstring>

#include "device_answers.h"
#include "device_observer.h"
#include "record_view.h"

namespace Varnok {

namespace {

std::atomic<DeviceManager*> g_manager{nullptr};

std::unique_ptr<ReceiverSession> makeLandedSession(GNSS_MANUFACTURER maker, MAINBD_OEM_TYPE board) {
    return std::make_unique<ReceiverSessionAdapter>(maker, board);
}

// The firmware text with its letters removed, split at dots into its non-empty parts.
QStringList versionParts(const std::string& text) {
    static const QRegularExpression letters(QStringLiteral("[a-zA-Z]"));
    QString digits = QString::fromLatin1(text.c_str()).remove(letters);
    if (!digits.contains(QLatin1Char('.'))) {
        return QStringList();
    }
    return digits.split(QLatin1Char('.'), Qt::SkipEmptyParts);
}

}  // namespace

DeviceManager* DeviceManager::instance() {
    DeviceManager* m = g_manager.load(std::memory_order_acquire);
    if (!m) {
        m = new DeviceManager();
        g_manager.store(m, std::memory_order_release);
    }
    return m;
}

DeviceManager* DeviceManager::existingInstance() {
    return g_manager.load(std::memory_order_acquire);
}

DeviceManager::DeviceManager() : QObject(nullptr), factory_(makeLandedSession) {
    callbacks_.Data_Callback = &DeviceManager::onReceiverData;
    callbacks_.Status_Callback = &DeviceManager::onReceiverStatus;
    // A first session without callbacks, so that getters answer before any connect.
    receiver_ = factory_(GNSS_MNFCTR_NONE, MAINBD_NOVATEL);
    retryTimer_.setSingleShot(true);
    retryTimer_.setInterval(kConnectTimeoutMs);
    connect(&retryTimer_, &QTimer::timeout, this, &DeviceManager::onTryToConnectTimeOut);
}

DeviceManager::~DeviceManager() {
    retryTimer_.stop();
    // The session goes first: its threads are joined before anything they reach is freed.
    liveSession_.store(nullptr, std::memory_order_release);
    receiver_.reset();
    DeviceManager* self = this;
    g_manager.compare_exchange_strong(self, nullptr);
}

void DeviceManager::setSessionFactory(SessionFactory factory) {
    factory_ = factory ? std::move(factory) : SessionFactory(makeLandedSession);
}

void DeviceManager::setConnectTimeoutMs(int ms) {
    retryTimer_.setInterval(ms);
}

void DeviceManager::setManufacturer(int manufacturer) {
    manufacturer_ = manufacturer;
}

void DeviceManager::setDeviceType(int deviceType) {
    deviceType_ = deviceType;
}

void DeviceManager::setConnectOptions(bool autoBaud, const QList<int>& bauds) {
    autoBaud_ = autoBaud;
    bauds_ = bauds;
}

void DeviceManager::setReceiverId(const QString& id) {
    receiverId_ = id;
}

void DeviceManager::announce(int code) {
    eventCode_ = code;
    DeviceObserver::instance()->notifyEvent(code);
}

void DeviceManager::announceCurrentEvent() {
    DeviceObserver::instance()->notifyEvent(eventCode_);
}

void DeviceManager::recreateReceiver() {
    liveSession_.store(nullptr, std::memory_order_release);
    receiver_.reset();
    generation_.fetch_add(1, std::memory_order_acq_rel);
    if (manufacturer_ == GNSS_MNFCTR_VELTA) {
        receiver_ = factory_(GNSS_MNFCTR_VELTA, MAINBD_NOVATEL);
        if (receiver_) {
            receiver_->RegisterCbs_Receiver(&callbacks_, nullptr);
        }
    } else if (manufacturer_ == GNSS_MNFCTR_OEM) {
        receiver_ = factory_(GNSS_MNFCTR_OEM, MAINBD_STXETX);
    }
    if (receiver_) {
        receiver_->RegisterCb_LinkLost(&DeviceManager::onReceiverLinkLost, nullptr);
    }
    liveSession_.store(receiver_.get(), std::memory_order_release);
}

void DeviceManager::applyReceiverType() {
    if (receiver_) {
        receiver_->setReceiverType(static_cast<GNSS_MANUFACTURER>(manufacturer_),
                                   deviceType_ == 1 ? MAINBD_NEWPROTOCOL : MAINBD_NOVATEL);
    }
}

bool DeviceManager::openPort(int kind, unsigned char port, int baud, const SocketBlock& block,
                             int sockPort) {
    if (!receiver_) {
        return false;
    }
    switch (kind) {
        case 0: {
            PARAM_COM p;
            p.port = port;
            p.baud = baud;
            return receiver_->Port_Open(p);
        }
        case 1: {
            PARAM_BT p;
            p.port = port;
            p.baud = baud;
            return receiver_->Port_Open(p);
        }
        case 2:
        case 102: {
            PARAM_SOCK p;
            std::memcpy(&p.address, block.bytes, sizeof p.address);
            p.port = static_cast<std::uint32_t>(sockPort);
            p.reserved = 0;
            return receiver_->Port_Open(p);
        }
        default:
            return false;
    }
}

bool DeviceManager::connectDevice(int kind, unsigned char port, int baud, SocketTarget target) {
    SocketBlock block;
    std::memcpy(block.bytes, &target, sizeof block.bytes);
    return connectDevice(kind, port, baud, block, static_cast<int>(target.port));
}

bool DeviceManager::connectDevice(int kind, unsigned char port, int baud, SocketBlock block,
                                  int sockPort) {
    if (autoBaud_) {
        retryArmed_ = true;
    }
    if (workingStatus_ != 0) {
        return false;
    }
    setWorkingStatus(1);
    announce(2);
    recreateReceiver();
    applyReceiverType();

    firmwareFlag_ = false;
    flags_ = CapabilityFlags();
    newFirmwareFlag_ = false;
    wifiShareAnswered_ = false;
    basePositions_.resetAnswered();
    sourceList_.reset();
    clearIoLists();
    cache_.wifiShare = false;
    cache_.wifiAutoShare = false;
    cache_.staticStatus = false;

    const bool opened = openPort(kind, port, baud, block, sockPort);
    kind_ = kind;
    port_ = port;
    baudRate_ = baud;
    block_ = block;
    sockPort_ = sockPort;

    if (opened) {
        if (manufacturer_ == GNSS_MNFCTR_VELTA) {
            sendFirstQueries();
            setWorkingStatus(2);
        } else {
            setWorkingStatus(4);
        }
        announce(2);
        return true;
    }
    if (autoBaud_) {
        retryWithNextBaudrate();
        return true;
    }
    closePort();
    setWorkingStatus(0);
    return false;
}

void DeviceManager::sendFirstQueries() {
    if (kind_ == 0) {
        receiver_->Send_QxMdl(deviceType_ == 1 ? 3 : 2);
    }
    firstAnswer_ = false;
    if (deviceType_ == 1) {
        receiver_->Send_System_Hardware_Info_Query();
        receiver_->Send_System_Firmware_Info_Query();
        receiver_->Send_Radio_Module_Type_Query();
        receiver_->Send_Gnss_Base_Position_list(nullptr);
        receiver_->Send_WIFI_Share(nullptr);
    } else {
        receiver_->Send_DeviceInfo();
    }
    if (autoBaud_) {
        retryTimer_.start();
    }
}

void DeviceManager::markFirstAnswer() {
    firstAnswer_ = true;
    retryTimer_.stop();
}

void DeviceManager::onTryToConnectTimeOut() {
    // An answer may be waiting in the hand-over queue; it counts before a retry drops it.
    applyAnswers();
    if (firstAnswer_ || !retryArmed_) {
        return;
    }
    retryWithNextBaudrate();
}

void DeviceManager::retryWithNextBaudrate() {
    bauds_.removeAll(baudRate_);
    if (receiver_ && receiver_->IsPortOpen()) {
        receiver_->Port_Close();
    }
    setWorkingStatus(0);
    if (bauds_.isEmpty()) {
        // Nothing left to try: the port is closed and the pages learn the status first, so a
        // later connect is accepted.
        retryTimer_.stop();
        announce(2);
        announce(30);
        return;
    }
    connectDevice(kind_, port_, bauds_.first(), block_, sockPort_);
}

bool DeviceManager::closePort() {
    if (autoBaud_) {
        retryArmed_ = false;
    }
    retryTimer_.stop();
    if (workingStatus_ == 0 || workingStatus_ == 5) {
        return true;
    }
    setWorkingStatus(5);
    announce(2);
    bool result = true;
    if (receiver_ && receiver_->IsPortOpen()) {
        result = receiver_->Port_Close();
    }
    setWorkingStatus(0);
    announce(2);
    return result;
}

void DeviceManager::setComBaudrate(int baud) {
    int code = 0;
    switch (baud) {
        case 19200:
            code = 1;
            break;
        case 38400:
            code = 2;
            break;
        case 57600:
            code = 3;
            break;
        case 115200:
            code = 4;
            break;
        default:
            code = 0;
            break;
    }
    if (receiver_) {
        receiver_->Set_Com_Baudrate(static_cast<Com_Baudrate>(code));
    }
    if (baud != baudRate_) {
        announce(66);
    }
}

void DeviceManager::supportedPages(int* mask) const {
    if (!mask) {
        return;
    }
    switch (deviceType_) {
        case 1:
            *mask = 255;
            break;
        case 2:
            *mask = firmwareFlag_ ? 39 : 7;
            break;
        case 4:
            *mask = firmwareFlag_ ? 57 : 25;
            break;
        case 5:
            *mask = firmwareFlag_ ? 447 : 415;
            break;
        default:
            *mask = firmwareFlag_ ? 255 : 223;
            break;
    }
}

bool DeviceManager::isWifiShareCapable() const {
    const std::uint32_t kind = SystemRecord::hardwareKind(cache_.hardwareInfo);
    return newFirmwareFlag_ && (kind == 2 || kind == 3);
}

void DeviceManager::parseFirmwareVersion() {
    if (deviceType_ != 1) {
        firmwareFlag_ = false;
        const QStringList parts = versionParts(DeviceRecord::firmwareVersion(cache_.deviceInfo));
        if (parts.size() < 2) {
            return;
        }
        bool ok = false;
        const int major = parts[0].toInt(&ok);
        if (ok) {
            firmwareFlag_ = major >= 8;
        }
        const int m = parts[1].toInt(&ok);
        if (firmwareFlag_ && ok) {
            flags_.a = flags_.c = flags_.d = flags_.h = m >= 20;
            flags_.b = flags_.g = m >= 11;
            flags_.e = m == 14;
            flags_.i = m >= 21;
            flags_.k = m >= 22;
        }
        return;
    }
    if (SystemRecord::hardwareKind(cache_.hardwareInfo) < 2) {
        newFirmwareFlag_ = false;
        return;
    }
    const QStringList parts = versionParts(SystemRecord::firmwareText(cache_.firmwareInfo));
    if (parts.size() < 2) {
        return;
    }
    bool ok = false;
    const int p0 = parts[0].toInt(&ok);
    if (!ok) {
        return;
    }
    if (p0 < 1) {
        newFirmwareFlag_ = false;
        return;
    }
    const int p1 = parts[1].toInt(&ok);
    if (!ok) {
        return;
    }
    if (p1 < 2) {
        newFirmwareFlag_ = false;
        return;
    }
    const int p2 = (parts.size() > 2 ? parts[2] : QString()).toInt(&ok);
    if (ok) {
        newFirmwareFlag_ = p2 > 0;
    }
}

void DeviceManager::applyDeviceInfo() {
    const std::uint8_t channels = DeviceRecord::satChannels(cache_.deviceInfo);
    cache_.satelliteChannels[0] = (channels & 0x80) != 0;
    cache_.satelliteChannels[1] = (channels & 0x40) != 0;
    cache_.satelliteChannels[2] = (channels & 0x20) != 0;
    parseFirmwareVersion();
    boardType_ = DeviceRecord::boardType(cache_.deviceInfo);
}

void DeviceManager::handOver(AnswerRecord record) {
    if (answers_.push(std::move(record))) {
        QMetaObject::invokeMethod(
            this, [this] { applyAnswers(); }, Qt::QueuedConnection);
    }
}

void DeviceManager::onReceiverData(Msg_Type category, std::uint32_t id, const void*) {
    DeviceManager* m = existingInstance();
    if (!m) {
        return;
    }
    const AnswerTable* table = DeviceAnswers::table(category);
    ReceiverSession* session = m->liveSession();
    if (!table || !session) {
        return;
    }
    AnswerRecord record;
    record.generation = m->generation_.load(std::memory_order_acquire);
    record.category = category;
    record.id = id;
    record.values.resize(table->count);
    bool any = false;
    for (std::size_t i = 0; i < table->count; ++i) {
        if (id & table->rows[i].bit) {
            table->rows[i].copyOut(*session, record.values[i]);
            any = true;
        }
    }
    if (any) {
        m->handOver(std::move(record));
    }
}

void DeviceManager::onReceiverStatus(bool changed, const void*) {
    DeviceManager* m = existingInstance();
    if (!m || !m->liveSession()) {
        return;
    }
    AnswerRecord record;
    record.generation = m->generation_.load(std::memory_order_acquire);
    record.category = kStatusCategory;
    record.id = changed ? 1 : 0;
    m->handOver(std::move(record));
}

void DeviceManager::onReceiverLinkLost(void*) {
    DeviceManager* m = existingInstance();
    if (!m) {
        return;
    }
    const std::uint64_t generation = m->generation_.load(std::memory_order_acquire);
    QMetaObject::invokeMethod(
        m, [m, generation] { m->onLinkLost(generation); }, Qt::QueuedConnection);
}

void DeviceManager::onLinkLost(std::uint64_t generation) {
    if (generation != generation_.load(std::memory_order_acquire)) {
        return;  // a session already replaced
    }
    // Answers that came before the loss still count.
    applyAnswers();
    const int status = workingStatus_;
    if (generation != generation_.load(std::memory_order_acquire) || status == 0 || status == 5) {
        return;
    }
    closePort();
    // While connecting the attempt ends at once; once connected the pages learn of the loss.
    announce(status == 4 ? kLinkLostEvent : 30);
}

void DeviceManager::applyAnswers() {
    for (const AnswerRecord& record : answers_.takeAll()) {
        // Checked per record: an earlier one may have started a new session.
        if (record.generation != generation_.load(std::memory_order_acquire)) {
            continue;
        }
        if (record.category == kStatusCategory) {
            const ConnectionRow& row = DeviceAnswers::connectionRow(record.id != 0);
            announce(row.event);
            if (row.then) {
                row.then(*this);
            }
            continue;
        }
        const AnswerTable* table = DeviceAnswers::table(record.category);
        if (!table || record.values.size() != table->count) {
            continue;
        }
        for (std::size_t i = 0; i < table->count; ++i) {
            const AnswerRow& row = table->rows[i];
            if (!(record.id & row.bit)) {
                continue;
            }
            if (row.apply(*this, record.values[i])) {
                announce(row.event);
            }
            if (row.then) {
                row.then(*this);
            }
        }
    }
}

}  // namespace Varnok
