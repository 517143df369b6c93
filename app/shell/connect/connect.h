#pragma once

#include <QList>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "connect_methods_config.h"
#include "static_stations_config.h"
#include "widget.h"

class QAction;
class QListWidgetItem;
class QProcess;
class BtBindingsConfig;

namespace Brevan2011 {
namespace BVComm {
class Bluetooth;
}
}  // namespace Brevan2011

namespace Ui {
class Connect;
}

namespace Varnok {

class ConnectingProgress;
class WorkerThread;

// The "Connection" page: maker, device type, method and, as the method needs, serial port and
// baud, a Bluetooth receiver, a Wi-Fi channel or an address; connects under the progress
// dialog, remembers what worked and returns to the menu.
class Connect : public Widget {
    Q_OBJECT

public:
    using BluetoothFactory = std::function<std::unique_ptr<Brevan2011::BVComm::Bluetooth>()>;

    // Search row state (role 33), device name (role 34) and address (role 35) of the list.
    static constexpr int kStateRole = Qt::UserRole + 1;
    static constexpr int kNameRole = Qt::UserRole + 2;
    static constexpr int kAddressRole = Qt::UserRole + 3;
    static constexpr int kConnectTimeoutMs = 60000;
    // How long the page waits for a search it stops when it is destroyed.
    static constexpr unsigned long kSearchJoinMs = 5000;

    enum Result {
        kStarted = 0,
        kFailed = 1,
        kRefused = 2,
        kCloseFailed = 3,
        kNoMatchedPort = 1413,
        kPortInUse = 2404,
        kNoDevice = 2405,
        kConnecting = 2406,
    };

    explicit Connect(QWidget* parent = nullptr);
    ~Connect() override;

    void activate() override;
    void setEditorsEnabled(bool on) override;

    // The Bluetooth objects of later searches (the platform's unless replaced; tests pass one
    // over a fake backend).
    static void setBluetoothFactory(BluetoothFactory factory);

    // "GNSS-<name> (<hex address>)", the prefix not doubled.
    static QString deviceLabel(const QString& name, quint64 address);
    // The text reportResult shows for a result; "" for none.
    static QString resultText(int code);
    // The wireless manager's command ("WIFI"): VARNOK_WIRELESS_MANAGER, else
    // nm-connection-editor when on the PATH; empty when neither.
    static QStringList wirelessManagerCommand();
    // The Bluetooth settings' command ("Sys. BT"): VARNOK_BLUETOOTH_MANAGER, else the desktop's
    // own panel (GNOME, KDE), blueman-manager or any of the panels on the PATH; empty when none.
    static QStringList bluetoothManagerCommand();

    // For tests and tools.
    int result() const { return result_; }
    int method() const { return method_; }
    int comPort() const { return comPort_; }
    int currentRow() const { return currentRow_; }
    int previousRow() const { return previousRow_; }
    QAction* connectAction() const { return connectAction_; }
    QAction* breakAction() const { return breakAction_; }
    ConnectingProgress* progress() const { return progress_; }
    WorkerThread* worker() const { return worker_; }
    const QList<StaticStation>& stations() const { return stations_; }
    Ui::Connect* form() const { return ui_.get(); }

    // Station bookkeeping after a station device connects; false when the user refuses.
    bool rememberStation(const QString& receiverId);
    // Asks for a receiver's PIN while it is paired (the prompt closes itself after a while);
    // false when the user gives none.
    bool askPin(const QString& name, std::string& pin);
    void rememberBinding();
    void addFoundDevice(const QString& name, quint64 address);

signals:
    void backToMenu();

public slots:
    void onConnectSucceeded();
    void onConnectingCanceled();
    void onConnectionFailed();
    void onConnect();
    void onDisConn();
    void on_comboBox_connect_currentIndexChanged(int index);
    void on_comboBox_manufacture_currentIndexChanged(int index);
    void on_comboBox_port_currentIndexChanged(int index);
    void on_cbDeviceType_currentIndexChanged(int index);
    void on_cbAuto_stateChanged(int state);
    void on_leIP_textChanged(const QString& text);
    void on_lePort_textChanged(const QString& text);
    void on_cbServer_currentIndexChanged(int index);
    void on_cbServer_editTextChanged(const QString& text);
    void exec();
    void onSearch();
    void onStop();
    void onItemDoubleClicked(QListWidgetItem* item);
    void onItemClicked(QListWidgetItem* item);
    void onBtSystemClicked();
    void onSearchFinished();

private slots:
    void onConnectingTimedOut();
    void onCurrentRowChanged(int row);

private:
    void createActions();
    void fillBaudsAndPorts();
    void fillManufacturers();
    void loadDeviceTypes();
    void fillDeviceTypes(const QStringList& names, const QList<int>& values);
    void fillStations();
    void loadConnectionParams();
    void saveConnectionParams();
    int deviceValue() const;
    void showRows();
    void showStation(const QString& name);
    bool validateInputs();
    void runConnection();
    void prepareConnection();
    void reportResult(int code);
    void finishConnection();
    void joinAttemptSignals();
    void cutSignals();
    void setupSearchList();
    void setSearchState(int state);
    void loadBoundDevices();
    void clearFoundDevices();
    int bindSelectedDevice();
    void markBoundRow();
    void createManagerProcess();
    void ensureProgress();
    void ensureBluetooth();
    void connectListSignals();
    void stopSearchForConnection();
    void setupPairedList();
    void loadPairedDevices();
    int bindPairedDevice();

    std::unique_ptr<Ui::Connect> ui_;
    QAction* connectAction_ = nullptr;
    QAction* breakAction_ = nullptr;
    bool searchListReady_ = false;
    bool managerProcessReady_ = false;
    bool stopRequested_ = false;
    bool listSignalsReady_ = false;
    int method_ = 0;
    int comPort_ = 1;
    int result_ = 0;
    int currentRow_ = 1;
    int previousRow_ = 1;
    QList<quint64> addresses_;
    QStringList names_;
    std::unique_ptr<BtBindingsConfig> bindings_;
    ConnectMethodsConfig methods_;
    QProcess* process_ = nullptr;
    ConnectingProgress* progress_ = nullptr;
    QList<StaticStation> stations_;
    WorkerThread* worker_ = nullptr;
    std::unique_ptr<Brevan2011::BVComm::Bluetooth> bluetooth_;
};

}  // namespace Varnok
