#pragma once

#include <QObject>

namespace Varnok {

// The event hub: turns each event code of the device manager into one signal. It emits on
// the GUI thread, where the device manager applies the receiver's answers.
class DeviceObserver : public QObject {
    Q_OBJECT

public:
    static DeviceObserver* instance();
    // The hub when it exists; never creates it.
    static DeviceObserver* existingInstance();
    ~DeviceObserver() override;

    // Emits the signal of code, its argument read from the device manager now.
    void notifyEvent(int code);

signals:
    void workingStatus(int status);
    void deviceInfo();
    void staticPointInfo();
    void wirelessParamters();
    void gprsVersion();
    void corsInfo();
    void loginMode();
    void batteryLife(int grade);
    void elevMask();
    void oemTypeChanged(bool changed);
    void radioProtocol();
    void radioFreq();
    void radioInfo();
    void radioPower();
    void radioFreqRange();
    void radioBaudrate();
    void radioSensitive();
    void radioFreqStep();
    void radioFEC();
    void radioCallsign();
    void radioType();
    void radioAutoPower(bool on);
    void radioPowerStatus();
    void radioChannelList();
    void radioChannelListAll();
    void wirelessStatus();
    void wirelessError();
    void sourceTable();
    void deviceClosed();
    void connectionFailed();
    // The link to a connected receiver was lost and the connection closed.
    void linkLost();
    void firmwareInfo();
    void hardwareInfo();
    void radioType(int type);
    void fileRecordStatus();
    void fileRecordAutoOpen(bool on);
    void fileRecordParam();
    void basePos();
    void diffType();
    void pdopMask(int mask);
    void wifiMode();
    void wifiParams();
    void wifiStatus();
    void wifiAutoPower(bool on);
    void dialParams();
    void modemPowerStatus();
    void modemDialStatus();
    void modemAutoPower(bool on);
    void modemAutoDial(bool on);
    void modemBandMode();
    void serverStatus();
    void serverType();
    void serverAddress();
    void serverDataSource();
    void serverAccount();
    void dataLinkMode();
    void deviceResponse(int commandId, int status);
    void staticFileDir();
    void staticFileData();
    void staticFileLength(int length);
    void position();
    void ioConfigs();
    void comBaud();
    void basePosList();
    void basePosDifference();
    void channelTypes();
    void channelFreqs();
    void initRadioChannelList();
    void nmeaConfigs();
    void wifiShare();
    void wifiAutoShare();
    void modemWorkMode();
    void csdStatus();
    void csdParams();

private:
    DeviceObserver();
};

// A queued connection of signal to slot (signature texts as SIGNAL() and SLOT() make them).
bool connectQueued(QObject* sender, QObject* receiver, const char* signal, const char* slot);
// Cuts every slot of receiver on that signal.
bool disconnectSignal(QObject* sender, const char* signal, QObject* receiver);

}  // namespace Varnok
