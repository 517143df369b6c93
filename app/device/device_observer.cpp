#include "device_observer.h"

#include "device_manager.h"

namespace Varnok {

namespace {

DeviceObserver* g_observer = nullptr;

using Dm = const DeviceManager*;

template <class R>
R read(Dm m, R (DeviceManager::*get)() const) {
    return m ? (m->*get)() : R{};
}

struct EventRow {
    int code;
    void (*emitFor)(DeviceObserver& o, Dm m);
};

// Codes 0, 3, 24-26, 38, 66 and those above 78 have no row: they emit nothing.
const EventRow kEvents[] = {
    {1, [](DeviceObserver& o, Dm m) { emit o.batteryLife(read(m, &DeviceManager::batteryGrade)); }},
    {2,
     [](DeviceObserver& o, Dm m) { emit o.workingStatus(read(m, &DeviceManager::workingStatus)); }},
    {4, [](DeviceObserver& o, Dm) { emit o.deviceInfo(); }},
    {5, [](DeviceObserver& o, Dm) { emit o.staticPointInfo(); }},
    {6, [](DeviceObserver& o, Dm) { emit o.gprsVersion(); }},
    {7, [](DeviceObserver& o, Dm) { emit o.wirelessParamters(); }},
    {8, [](DeviceObserver& o, Dm) { emit o.wirelessStatus(); }},
    {9, [](DeviceObserver& o, Dm) { emit o.wirelessError(); }},
    {10, [](DeviceObserver& o, Dm) { emit o.loginMode(); }},
    {11, [](DeviceObserver& o, Dm) { emit o.corsInfo(); }},
    {12, [](DeviceObserver& o, Dm) { emit o.sourceTable(); }},
    {13, [](DeviceObserver& o, Dm) { emit o.radioProtocol(); }},
    {14, [](DeviceObserver& o, Dm) { emit o.radioFreq(); }},
    {15, [](DeviceObserver& o, Dm) { emit o.radioPower(); }},
    {16, [](DeviceObserver& o, Dm) { emit o.radioInfo(); }},
    {17, [](DeviceObserver& o, Dm) { emit o.radioFreqRange(); }},
    {18, [](DeviceObserver& o, Dm) { emit o.radioBaudrate(); }},
    {19, [](DeviceObserver& o, Dm) { emit o.radioSensitive(); }},
    {20, [](DeviceObserver& o, Dm) { emit o.radioFreqStep(); }},
    {21, [](DeviceObserver& o, Dm) { emit o.radioFEC(); }},
    {22, [](DeviceObserver& o, Dm) { emit o.radioCallsign(); }},
    {23, [](DeviceObserver& o, Dm) { emit o.elevMask(); }},
    {27, [](DeviceObserver& o, Dm) { emit o.oemTypeChanged(true); }},
    {28, [](DeviceObserver& o, Dm) { emit o.oemTypeChanged(false); }},
    {29, [](DeviceObserver& o, Dm) { emit o.deviceClosed(); }},
    {30, [](DeviceObserver& o, Dm) { emit o.connectionFailed(); }},
    {31, [](DeviceObserver& o, Dm) { emit o.staticFileDir(); }},
    {32, [](DeviceObserver& o, Dm) { emit o.staticFileData(); }},
    {33, [](DeviceObserver& o,
            Dm m) { emit o.staticFileLength(read(m, &DeviceManager::staticFileLength)); }},
    {34, [](DeviceObserver& o, Dm) { emit o.position(); }},
    {35,
     [](DeviceObserver& o, Dm m) {
         emit o.deviceResponse(read(m, &DeviceManager::responseCommandId),
                               read(m, &DeviceManager::responseStatus));
     }},
    {36, [](DeviceObserver& o, Dm) { emit o.firmwareInfo(); }},
    {37, [](DeviceObserver& o, Dm) { emit o.hardwareInfo(); }},
    {39, [](DeviceObserver& o, Dm) { emit o.fileRecordStatus(); }},
    {40, [](DeviceObserver& o,
            Dm m) { emit o.fileRecordAutoOpen(read(m, &DeviceManager::fileRecordAutoOpen)); }},
    {41, [](DeviceObserver& o, Dm) { emit o.fileRecordParam(); }},
    {42, [](DeviceObserver& o, Dm) { emit o.diffType(); }},
    {43, [](DeviceObserver& o, Dm) { emit o.basePos(); }},
    {44, [](DeviceObserver& o, Dm m) { emit o.pdopMask(read(m, &DeviceManager::pdopMask)); }},
    {45, [](DeviceObserver& o, Dm) { emit o.wifiMode(); }},
    {46, [](DeviceObserver& o, Dm) { emit o.wifiParams(); }},
    {47, [](DeviceObserver& o, Dm) { emit o.wifiStatus(); }},
    {48,
     [](DeviceObserver& o, Dm m) { emit o.wifiAutoPower(read(m, &DeviceManager::wifiAutoOpen)); }},
    {49, [](DeviceObserver& o, Dm) { emit o.dialParams(); }},
    {50, [](DeviceObserver& o, Dm) { emit o.modemPowerStatus(); }},
    {51, [](DeviceObserver& o,
            Dm m) { emit o.modemAutoPower(read(m, &DeviceManager::modemAutoPower)); }},
    {52, [](DeviceObserver& o, Dm) { emit o.modemDialStatus(); }},
    {53,
     [](DeviceObserver& o, Dm m) { emit o.modemAutoDial(read(m, &DeviceManager::modemAutoDial)); }},
    {54, [](DeviceObserver& o, Dm) { emit o.modemBandMode(); }},
    {55,
     [](DeviceObserver& o, Dm m) { emit o.radioType(read(m, &DeviceManager::radioModuleType)); }},
    {56, [](DeviceObserver& o,
            Dm m) { emit o.radioAutoPower(read(m, &DeviceManager::radioAutoPower) != 0); }},
    {57, [](DeviceObserver& o, Dm) { emit o.radioPowerStatus(); }},
    {58, [](DeviceObserver& o, Dm) { emit o.radioChannelList(); }},
    {59, [](DeviceObserver& o, Dm) { emit o.radioChannelListAll(); }},
    {60, [](DeviceObserver& o, Dm) { emit o.serverType(); }},
    {61, [](DeviceObserver& o, Dm) { emit o.serverAddress(); }},
    {62, [](DeviceObserver& o, Dm) { emit o.serverDataSource(); }},
    {63, [](DeviceObserver& o, Dm) { emit o.serverAccount(); }},
    {64, [](DeviceObserver& o, Dm) { emit o.dataLinkMode(); }},
    {65, [](DeviceObserver& o, Dm) { emit o.comBaud(); }},
    {67, [](DeviceObserver& o, Dm) { emit o.ioConfigs(); }},
    {68, [](DeviceObserver& o, Dm) { emit o.basePosList(); }},
    {69, [](DeviceObserver& o, Dm) { emit o.basePosDifference(); }},
    {70, [](DeviceObserver& o, Dm) { emit o.channelTypes(); }},
    {71, [](DeviceObserver& o, Dm) { emit o.channelFreqs(); }},
    {72, [](DeviceObserver& o, Dm) { emit o.nmeaConfigs(); }},
    {73, [](DeviceObserver& o, Dm) { emit o.wifiShare(); }},
    {74, [](DeviceObserver& o, Dm) { emit o.wifiAutoShare(); }},
    {75, [](DeviceObserver& o, Dm) { emit o.modemWorkMode(); }},
    {76, [](DeviceObserver& o, Dm) { emit o.csdStatus(); }},
    {77, [](DeviceObserver& o, Dm) { emit o.csdParams(); }},
    {78, [](DeviceObserver& o, Dm) { emit o.linkLost(); }},
};

}  // namespace

DeviceObserver::DeviceObserver() : QObject(nullptr) {}

DeviceObserver::~DeviceObserver() {
    if (g_observer == this) {
        g_observer = nullptr;
    }
}

DeviceObserver* DeviceObserver::instance() {
    if (!g_observer) {
        g_observer = new DeviceObserver();
    }
    return g_observer;
}

DeviceObserver* DeviceObserver::existingInstance() {
    return g_observer;
}

void DeviceObserver::notifyEvent(int code) {
    for (const EventRow& row : kEvents) {
        if (row.code == code) {
            row.emitFor(*this, DeviceManager::existingInstance());
            return;
        }
    }
}

bool connectQueued(QObject* sender, QObject* receiver, const char* signal, const char* slot) {
    return static_cast<bool>(
        QObject::connect(sender, signal, receiver, slot, Qt::QueuedConnection));
}

bool disconnectSignal(QObject* sender, const char* signal, QObject* receiver) {
    return QObject::disconnect(sender, signal, receiver, nullptr);
}

}  // namespace Varnok
