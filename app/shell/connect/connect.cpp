#include "connect.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QMutex>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "BVComm/Bluetooth.h"
#include "BVComm/RfcommPort.h"
#include "bt_bindings_config.h"
#include "connect_bauds_config.h"
#include "connecting_progress.h"
#include "connection_params_config.h"
#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_connect.h"
#include "worker_thread.h"

namespace Varnok {

namespace {

using Brevan2011::BVComm::Bluetooth;

constexpr int kManufacturer = 2;
constexpr int kWifiPort = 1212;
constexpr int kExecDelayMs = 50;
constexpr int kManagerKillWaitMs = 3000;
constexpr int kSearchIdle = 0;
constexpr int kSearching = 1;
constexpr int kStopping = 2;
constexpr int kStationDevice = 3;
constexpr int kWifiDevice = 1;
constexpr int kZorBt = 1;
constexpr int kSysBt = 101;
constexpr int kSearchMs = Bluetooth::kDefaultSearchMs;
constexpr int kPinTimeoutMs = 30000;
constexpr int kPinMaxLength = 16;
const char kGnssPrefix[] = "GNSS-";

// Read on the search thread; set by the page, cleared once its search has been joined.
std::atomic<Connect*> g_page{nullptr};

Connect::BluetoothFactory& bluetoothFactory() {
    static Connect::BluetoothFactory factory;
    return factory;
}

// The search's result callback: copies the device and hands it to the page's thread.
void onBluetoothDevice(const std::wstring& name, std::uint64_t* address, std::uint32_t*) {
    Connect* page = g_page.load();
    if (page == nullptr || address == nullptr) {
        return;
    }
    const QString text = QString::fromStdWString(name);
    const quint64 value = *address;
    QPointer<Connect> guard(page);
    QMetaObject::invokeMethod(
        page,
        [guard, text, value] {
            if (guard) {
                guard->addFoundDevice(text, value);
            }
        },
        Qt::QueuedConnection);
}

QString deviceTypeName(int value) {
    switch (value) {
        case 1:
            return QStringLiteral("Pocket GNSS");
        case 2:
            return QStringLiteral("P47 Series");
        case 3:
            return QStringLiteral("D38K Series");
        case 4:
            return QStringLiteral("P62+/P315+");
        case 5:
            return QStringLiteral("Marine RTK");
        default:
            return QStringLiteral("Survey RTK");
    }
}

int deviceTypeValue(const QString& name) {
    for (int v = 1; v <= 5; ++v) {
        if (name == deviceTypeName(v)) {
            return v;
        }
    }
    return 0;
}

// What to do about a Bluetooth code, for the line after a message; "" for none.
QString bluetoothHint(int code) {
    switch (code) {
        case Bluetooth::kRadioOff:
            return Connect::tr("Switch Bluetooth on.");
        case Bluetooth::kNoAdapter:
            return Connect::tr("No Bluetooth adapter found.");
        case Bluetooth::kNotAuthenticated:
            return Connect::tr("The receiver was not paired: check its PIN.");
        case Bluetooth::kTimedOut:
        case Bluetooth::kUnreachable:
            return Connect::tr("The receiver did not answer: is it switched on and in range?");
        default:
            return QString();
    }
}

QString withHint(const QString& text, int code) {
    const QString hint = bluetoothHint(code);
    return hint.isEmpty() ? text : text + QLatin1Char('\n') + hint;
}

// Why the Bluetooth link could not be opened, from its errno value; "" for none.
QString linkFailure(int error) {
    switch (error) {
        case 0:
            return QString();
        case ECONNREFUSED:
            return Connect::tr("The receiver refused the connection.");
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ETIMEDOUT:
            return Connect::tr("The receiver did not answer: is it switched on and in range?");
        case EAFNOSUPPORT:
        case ENODEV:
        case ENETDOWN:
        case EADDRNOTAVAIL:
            return Connect::tr("No Bluetooth adapter found.");
        case EACCES:
        case EPERM:
            return Connect::tr("Bluetooth access was denied.");
        default:
            return Connect::tr("Bluetooth error: %1")
                .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString translated(const QString& word) {
    return QCoreApplication::translate("Translate", word.toUtf8().constData());
}

bool validPort(const QString& text) {
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(LogicContext::createValidator(3, 0, 0)));
    bool ok = false;
    const uint value = text.toUInt(&ok);
    return pattern.match(text).hasMatch() && ok && value >= 1 && value <= 65535;
}

// Four dotted numbers of a text that passed the address check.
void parseIpv4(const QString& text, std::uint8_t out[4]) {
    const QStringList parts = text.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(parts.value(i).toUInt());
    }
}

void selectByData(QComboBox* box, const QVariant& data) {
    const int index = box->findData(data);
    if (index >= 0) {
        box->setCurrentIndex(index);
    }
}

}  // namespace

Connect::Connect(QWidget* parent)
    : Widget(parent),
      ui_(std::make_unique<Ui::Connect>()),
      bindings_(std::make_unique<BtBindingsConfig>(LogicContext::btBindingsPath())),
      methods_(LogicContext::connectMethodsPath()) {
    ui_->setupUi(this);
    createActions();
    breakAction_->setEnabled(false);
    ui_->toolButton->hide();
    ui_->listWidget->hide();
    ui_->cbAuto->setChecked(true);
    ui_->lePort->setMaxLength(5);
    connect(ui_->listWidget, &QListWidget::currentRowChanged, this, &Connect::onCurrentRowChanged);

    fillBaudsAndPorts();
    fillManufacturers();
    loadDeviceTypes();
    fillStations();
    loadConnectionParams();
    if (method_ == 0) {
        // The method box may not have changed index: lay the form out once.
        on_comboBox_connect_currentIndexChanged(ui_->comboBox_connect->currentIndex());
    }

    g_page.store(this);
    if (parent != nullptr) {
        connect(this, SIGNAL(backToMenu()), parent, SLOT(close()));
    }
}

Connect::~Connect() {
    if (process_ != nullptr && process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(kManagerKillWaitMs);
    }
    if (worker_ != nullptr && worker_->isRunning()) {
        worker_->stopTask();
        if (!worker_->wait(kSearchJoinMs)) {
            // Never destroy a running thread: leave it and its task behind, but not the
            // binding it holds.
            worker_->setParent(nullptr);
            worker_ = nullptr;
            bluetooth_->DeleteBluetooth();
            (void)bluetooth_.release();
        }
    }
    delete worker_;
    worker_ = nullptr;
    Connect* self = this;
    g_page.compare_exchange_strong(self, nullptr);
    bluetooth_.reset();
}

void Connect::setBluetoothFactory(BluetoothFactory factory) {
    bluetoothFactory() = std::move(factory);
}

void Connect::createActions() {
    connectAction_ = createAction(tr("Connect"), this);
    breakAction_ = createAction(tr("Break"), this);
    connect(connectAction_, &QAction::triggered, this, &Connect::onConnect);
    connect(breakAction_, &QAction::triggered, this, &Connect::onDisConn);
}

void Connect::fillBaudsAndPorts() {
    ConnectBaudsConfig config(LogicContext::connectBaudsPath());
    for (int baud : config.bauds()) {
        ui_->comboBox_baud->addItem(tr("%1 b/s").arg(baud), baud);
    }
    for (int port : config.ports()) {
        ui_->comboBox_port->addItem(tr("COM") + QString::number(port), port);
    }
}

void Connect::fillManufacturers() {
    const QSignalBlocker block(ui_->comboBox_manufacture);
    ui_->comboBox_manufacture->addItem(QStringLiteral("ZOR"), QStringLiteral("ZOR"));
    ui_->comboBox_manufacture->addItem(QStringLiteral("TAMRU"), QStringLiteral("TAMRU"));
    ui_->comboBox_manufacture->setCurrentIndex(0);
}

void Connect::loadDeviceTypes() {
    QStringList names;
    QList<int> values;
    methods_.devices(names, values);
    fillDeviceTypes(names, values);
}

void Connect::fillDeviceTypes(const QStringList& names, const QList<int>& values) {
    QComboBox* box = ui_->cbDeviceType;
    {
        const QSignalBlocker block(box);
        box->clear();
        for (int i = 0; i < names.size() && i < values.size(); ++i) {
            box->addItem(translated(names[i]), values[i]);
        }
    }
    box->setCurrentIndex(-1);
    box->setCurrentIndex(box->count() - 1);
    box->setEnabled(box->count() >= 2);
}

void Connect::fillStations() {
    StaticStationsConfig* store = StaticStationsConfig::instance();
    store->load();
    stations_ = store->stations();
    const QSignalBlocker block(ui_->cbServer);
    ui_->cbServer->clear();
    for (int i = 0; i < stations_.size(); ++i) {
        ui_->cbServer->addItem(stations_[i].name, i);
    }
    ui_->cbServer->setCurrentIndex(-1);
}

void Connect::loadConnectionParams() {
    ConnectionParams p;
    ConnectionParamsConfig(LogicContext::connectionParamsPath()).load(p);
    selectByData(ui_->cbDeviceType, deviceTypeValue(p.devicetype));
    QComboBox* methods = ui_->comboBox_connect;
    int index = methods->findData(p.type);
    if (index < 0) {
        index = methods->findData(101);
    }
    if (index < 0) {
        index = methods->findData(0);
    }
    if (index >= 0) {
        methods->setCurrentIndex(index);
    }
    selectByData(ui_->comboBox_port, p.port);
    selectByData(ui_->comboBox_baud, p.baud);
    selectByData(ui_->comboBox_manufacture, p.manufacture);
    const int station = ui_->cbServer->findText(p.staticstation);
    if (station >= 0) {
        ui_->cbServer->setCurrentIndex(station);
    }
    ui_->leIP->setText(p.ip);
    ui_->lePort->setText(p.serverport == 0 ? QString() : QString::number(p.serverport));
    if (p.channel >= 0 && p.channel < ui_->cbChannel->count()) {
        ui_->cbChannel->setCurrentIndex(p.channel);
    }
}

void Connect::saveConnectionParams() {
    ConnectionParamsConfig config(LogicContext::connectionParamsPath());
    ConnectionParams p;
    config.load(p);
    p.type = method_;
    p.port = ui_->comboBox_port->currentData().toInt();
    p.baud = ui_->comboBox_baud->currentData().toInt();
    p.device = DeviceManager::instance()->receiverIdText();
    const QListWidgetItem* row =
        ui_->listWidget->currentRow() > 0 ? ui_->listWidget->currentItem() : nullptr;
    p.address = QString::number(row ? row->data(kAddressRole).toULongLong() : 0);
    p.manufacture = ui_->comboBox_manufacture->currentData().toString();
    p.devicetype = deviceTypeName(deviceValue());
    p.staticstation = ui_->cbServer->currentText();
    p.ip = ui_->leIP->text();
    p.serverport = ui_->lePort->text().toUInt();
    p.channel = ui_->cbChannel->currentIndex();
    config.save(p);
}

int Connect::deviceValue() const {
    return ui_->cbDeviceType->currentData().toInt();
}

void Connect::showRows() {
    const bool station = deviceValue() == kStationDevice;
    const bool channel = deviceValue() == kWifiDevice && method_ == 2;
    ui_->lblServer->setVisible(station);
    ui_->cbServer->setVisible(station);
    ui_->lblChannel->setVisible(channel);
    ui_->cbChannel->setVisible(channel);
}

void Connect::on_comboBox_manufacture_currentIndexChanged(int) {
    const QString maker = ui_->comboBox_manufacture->currentData().toString();
    if (maker == QLatin1String("ZOR")) {
        loadDeviceTypes();
    } else if (maker == QLatin1String("TAMRU")) {
        fillDeviceTypes({QStringLiteral("Survey RTK")}, {0});
    }
}

void Connect::on_cbDeviceType_currentIndexChanged(int) {
    const int kept = method_;
    QStringList names;
    QList<int> values;
    methods_.methods(deviceValue(), names, values);
    QComboBox* box = ui_->comboBox_connect;
    {
        const QSignalBlocker block(box);
        box->clear();
        for (int i = 0; i < names.size() && i < values.size(); ++i) {
            box->addItem(translated(names[i]), values[i]);
        }
        box->setCurrentIndex(-1);
    }
    const int index = box->findData(kept);
    box->setCurrentIndex(index >= 0 ? index : 0);

    QStringList channels;
    methods_.channels(channels);
    ui_->cbChannel->clear();
    for (int i = 0; i < channels.size(); ++i) {
        ui_->cbChannel->addItem(QString::number(i + 1), channels[i]);
    }
    showRows();
}

void Connect::on_comboBox_connect_currentIndexChanged(int) {
    method_ = ui_->comboBox_connect->currentData().toInt();
    ui_->toolButton->hide();
    ui_->listWidget->hide();
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->label_baud), static_cast<QWidget*>(ui_->comboBox_baud),
          static_cast<QWidget*>(ui_->label_port), static_cast<QWidget*>(ui_->comboBox_port),
          static_cast<QWidget*>(ui_->cbAuto)}) {
        w->show();
    }
    ui_->comboBox_port->setEnabled(true);
    ui_->cbAuto->setEnabled(true);
    ui_->comboBox_baud->setEnabled(!ui_->cbAuto->isChecked());
    showRows();
    for (QWidget* w : {static_cast<QWidget*>(ui_->lblIP), static_cast<QWidget*>(ui_->leIP),
                       static_cast<QWidget*>(ui_->lblPort), static_cast<QWidget*>(ui_->lePort)}) {
        w->hide();
    }
    const auto hideBaud = [this] {
        ui_->label_baud->hide();
        ui_->comboBox_baud->hide();
        ui_->cbAuto->hide();
    };
    switch (method_) {
        case 1:
            hideBaud();
            setupSearchList();
            ui_->listWidget->show();
            setSearchState(kSearchIdle);
            break;
        case 2:
            ui_->label_port->hide();
            ui_->comboBox_port->hide();
            createManagerProcess();
            hideBaud();
            ui_->toolButton->show();
            break;
        case 101:
            createManagerProcess();
            hideBaud();
            ui_->toolButton->show();
            setupPairedList();
            ui_->listWidget->show();
            break;
        case 102:
            hideBaud();
            ui_->label_port->hide();
            ui_->comboBox_port->hide();
            ui_->lblIP->show();
            ui_->leIP->show();
            ui_->lblPort->show();
            ui_->lePort->show();
            break;
        default:
            break;
    }
}

void Connect::on_comboBox_port_currentIndexChanged(int) {
    comPort_ = ui_->comboBox_port->currentData().toInt();
}

void Connect::on_cbAuto_stateChanged(int state) {
    ui_->comboBox_baud->setEnabled(state != Qt::Checked);
}

void Connect::on_leIP_textChanged(const QString&) {
    markInput(0, ui_->leIP);
}

void Connect::on_lePort_textChanged(const QString&) {
    markInput(0, ui_->lePort);
}

void Connect::on_cbServer_currentIndexChanged(int index) {
    if (index >= 0) {
        showStation(ui_->cbServer->currentText());
    }
}

void Connect::on_cbServer_editTextChanged(const QString& text) {
    markInput(0, ui_->cbServer);
    showStation(text);
}

void Connect::showStation(const QString& name) {
    for (const StaticStation& s : std::as_const(stations_)) {
        if (s.name == name) {
            ui_->leIP->setText(s.ip);
            ui_->lePort->setText(s.port);
            return;
        }
    }
    ui_->leIP->clear();
    ui_->lePort->clear();
}

void Connect::setEditorsEnabled(bool on) {
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->cbDeviceType), static_cast<QWidget*>(ui_->comboBox_connect),
          static_cast<QWidget*>(ui_->comboBox_manufacture), static_cast<QWidget*>(ui_->leIP),
          static_cast<QWidget*>(ui_->lePort), static_cast<QWidget*>(ui_->cbServer),
          static_cast<QWidget*>(ui_->cbChannel)}) {
        w->setEnabled(on);
    }
    // One device type to choose from: the box stays off.
    if (ui_->cbDeviceType->count() < 2) {
        ui_->cbDeviceType->setEnabled(false);
    }
    ui_->comboBox_baud->setEnabled(on && !ui_->cbAuto->isChecked() && method_ != 2);
    ui_->comboBox_port->setEnabled(on && method_ != 2);
    ui_->cbAuto->setEnabled(on && method_ != 2);
    const int status = DeviceManager::instance()->workingStatus();
    connectAction_->setEnabled(on && status == 0);
    breakAction_->setEnabled(on && status == 4);
}

void Connect::ensureProgress() {
    if (progress_ != nullptr) {
        return;
    }
    progress_ = new ConnectingProgress(parentWidget() ? parentWidget() : this,
                                       DeviceObserver::instance(), uiMs(kConnectTimeoutMs));
    connect(progress_, &QProgressDialog::canceled, this, &Connect::onConnectingCanceled);
    connect(progress_, &QDialog::accepted, this, &Connect::onConnectSucceeded);
    connect(progress_, &ConnectingProgress::timedOut, this, &Connect::onConnectingTimedOut);
}

void Connect::activate() {
    ensureProgress();
    // A connection that ended away from this page (a lost link) leaves it ready for the next.
    if (DeviceManager::instance()->workingStatus() == 0 &&
        (worker_ == nullptr || !worker_->isTaskRunning())) {
        setEditorsEnabled(true);
    }
    if (method_ == kSysBt) {
        loadPairedDevices();
    } else {
        loadBoundDevices();
    }
}

bool Connect::validateInputs() {
    bool ok = true;
    if (!ui_->leIP->isHidden()) {
        const QString ip = ui_->leIP->text();
        if (ip.isEmpty() || !LogicContext::isValidIpAddress(ip)) {
            markInput(1, ui_->leIP);
            ok = false;
        }
    }
    if (!ui_->lePort->isHidden() && !validPort(ui_->lePort->text())) {
        markInput(1, ui_->lePort);
        ok = false;
    }
    if (!ui_->cbChannel->isHidden() &&
        !LogicContext::isValidIpAddress(ui_->cbChannel->currentData().toString())) {
        markInput(1, ui_->cbChannel);
        ok = false;
    }
    if (!ui_->cbServer->isHidden()) {
        const QString name = ui_->cbServer->currentText();
        if (!name.isEmpty() && !StaticStationsConfig::isValidName(name)) {
            markInput(1, ui_->cbServer);
            ok = false;
        }
    }
    if (!ok) {
        showWarning(this, tr("Error"), tr("Parameters invalid!"));
    }
    return ok;
}

void Connect::onConnect() {
    if (!validateInputs()) {
        return;
    }
    ensureProgress();
    if (method_ != kSysBt) {
        runConnection();
    } else {
        // The chosen paired receiver is bound to the COM number; without one the number is
        // opened as it is.
        result_ = bindPairedDevice();
    }
    if (result_ != kStarted) {
        reportResult(result_);
        return;
    }
    result_ = kStarted;
    joinAttemptSignals();
    QTimer::singleShot(uiMs(kExecDelayMs), this, &Connect::exec);
    execDialog(progress_);
}

void Connect::runConnection() {
    result_ = kStarted;
    prepareConnection();
}

void Connect::prepareConnection() {
    DeviceManager* dm = DeviceManager::instance();
    if (method_ == kZorBt) {
        stopSearchForConnection();
    }
    if (!ui_->listWidget->isHidden() &&
        (ui_->listWidget->currentRow() <= 0 || ui_->listWidget->currentItem() == nullptr)) {
        result_ = kNoDevice;
        return;
    }
    if (dm->workingStatus() == 4) {
        const QMessageBox::StandardButton answer = Prompts::instance()->message(
            this, Prompts::Warning, tr("Disconnect Device"),
            tr("Before you connect to a device, the currently connected device must be "
               "disconnected.\nContinue?"),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok) {
            result_ = kRefused;
            return;
        }
    }
    if (!dm->closePort()) {
        result_ = kCloseFailed;
        return;
    }
    if (method_ == 1) {
        result_ = bindSelectedDevice();
        if (result_ == 0) {
            markBoundRow();
        }
    }
}

void Connect::exec() {
    // A dialog ended before this ran (cancelled at once) starts nothing.
    if (progress_ == nullptr || !progress_->isActive()) {
        return;
    }
    DeviceManager* dm = DeviceManager::instance();
    dm->setManufacturer(kManufacturer);
    const bool autoBaud = ui_->cbAuto->isChecked() && !ui_->cbAuto->isHidden();
    QList<int> bauds;
    for (int i = 0; i < ui_->comboBox_baud->count(); ++i) {
        bauds << ui_->comboBox_baud->itemData(i).toInt();
    }
    dm->setConnectOptions(autoBaud, bauds);
    dm->setDeviceType(deviceValue());

    SocketTarget target{};
    if (!ui_->leIP->isHidden()) {
        parseIpv4(ui_->leIP->text(), target.address);
        target.port = ui_->lePort->text().toUInt();
    } else if (!ui_->cbChannel->isHidden()) {
        parseIpv4(ui_->cbChannel->currentData().toString(), target.address);
        target.port = kWifiPort;
    }
    const int kind = (method_ == 1 || method_ == 101) ? 1 : method_;
    const bool started = dm->connectDevice(kind, static_cast<unsigned char>(comPort_),
                                           ui_->comboBox_baud->currentData().toInt(), target);
    result_ = started ? kConnecting : kFailed;
    reportResult(result_);
}

QString Connect::resultText(int code) {
    switch (code) {
        case kStarted:
        case kRefused:
        case kConnecting:
            return QString();
        case kFailed:
            return tr("Connection Failed!");
        case kCloseFailed:
            return tr("Failed to disconnect previous connection.");
        case kNoMatchedPort:
            return tr("No matched port.");
        case kPortInUse:
            return tr("Port is in use.");
        case kNoDevice:
            return tr("No Device Selected.");
        default:
            return withHint(tr("Error Code: ") + QString::number(code) + QLatin1Char('\n') +
                                tr("Failed to bind device!"),
                            code);
    }
}

void Connect::reportResult(int code) {
    if (code == kFailed && progress_ != nullptr) {
        // The dialog goes first; its cancel sets result 2, which must not hide the failure.
        progress_->cancel();
        DeviceManager::instance()->closePort();
        result_ = kFailed;
    }
    QString text = resultText(code);
    if (code == kFailed && (method_ == kZorBt || method_ == kSysBt)) {
        const QString why = linkFailure(Brevan2011::BVComm::LastBluetoothConnectError());
        if (!why.isEmpty()) {
            text += QLatin1Char('\n') + why;
        }
    }
    if (!text.isEmpty()) {
        showWarning(this, tr("Confirm"), text);
    }
}

void Connect::joinAttemptSignals() {
    connect(DeviceObserver::instance(), &DeviceObserver::connectionFailed, this,
            &Connect::onConnectionFailed, Qt::UniqueConnection);
}

void Connect::cutSignals() {
    disconnect(DeviceObserver::instance(), nullptr, this, nullptr);
}

void Connect::onConnectionFailed() {
    // Only an attempt under way fails; a late report after it ended is not one.
    if (progress_ == nullptr || !progress_->isActive()) {
        return;
    }
    result_ = kFailed;
    reportResult(kFailed);
}

void Connect::onConnectingTimedOut() {
    result_ = kFailed;
    reportResult(kFailed);
}

void Connect::onConnectingCanceled() {
    if (DeviceManager::instance()->workingStatus() != 4) {
        result_ = kRefused;
        DeviceManager::instance()->closePort();
    }
    cutSignals();
}

void Connect::onConnectSucceeded() {
    cutSignals();
    setEditorsEnabled(false);
    breakAction_->setEnabled(true);
    selectByData(ui_->comboBox_baud, DeviceManager::instance()->baudRate());
    finishConnection();
}

void Connect::finishConnection() {
    DeviceManager* dm = DeviceManager::instance();
    const QString id = dm->receiverIdText();
    if (deviceValue() != kStationDevice) {
        dm->setReceiverId(id);
        Prompts::instance()->message(this, Prompts::Information, tr("Information"),
                                     tr("Successfully connected"), QMessageBox::Ok);
    } else if (!rememberStation(id)) {
        return;
    }
    saveConnectionParams();
    cutSignals();
    // Queued: the status that ended the attempt reaches the menu first, so it comes back as
    // the connected menu.
    QMetaObject::invokeMethod(this, &Connect::backToMenu, Qt::QueuedConnection);
}

bool Connect::rememberStation(const QString& receiverId) {
    DeviceManager* dm = DeviceManager::instance();
    const StaticStation current{ui_->cbServer->currentText(), receiverId, ui_->leIP->text(),
                                ui_->lePort->text()};
    const auto connected = [this] {
        Prompts::instance()->message(this, Prompts::Information, tr("Information"),
                                     tr("Successfully connected"), QMessageBox::Ok);
    };
    if (current.name.isEmpty()) {
        dm->setReceiverId(receiverId);
        connected();
        return true;
    }
    int found = -1;
    for (int i = 0; i < stations_.size(); ++i) {
        if (stations_[i].name == current.name) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        stations_.append(current);
        connected();
    } else {
        const QString stored = stations_[found].receiverId;
        if (!stored.isEmpty() && stored != receiverId) {
            const QMessageBox::StandardButton answer = Prompts::instance()->message(
                this, Prompts::Question, tr("Varnok"),
                tr("Current Device: %1\r\nYou Want: %2\r\nUse Current Device? ")
                    .arg(receiverId, stored),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                dm->closePort();
                setEditorsEnabled(true);
                connectAction_->setEnabled(true);
                breakAction_->setEnabled(false);
                cutSignals();
                return false;
            }
        }
        stations_[found] = current;
    }
    dm->setReceiverId(current.name);
    if (!StaticStationsConfig::instance()->save(stations_)) {
        LogicContext::log(QStringLiteral("Station list not saved"));
    }
    return true;
}

void Connect::onDisConn() {
    setWaitCursor(true);
    const bool closed = DeviceManager::instance()->closePort();
    setWaitCursor(false);
    if (closed) {
        setEditorsEnabled(true);
        breakAction_->setEnabled(false);
        cutSignals();
    } else {
        showWarning(this, tr("Warning"), tr("Failed to close port"));
    }
}

// ---- Bluetooth search, binding and remembered receivers.

QString Connect::deviceLabel(const QString& name, quint64 address) {
    const QString hex = QString::number(address, 16);
    if (name.contains(QLatin1String(kGnssPrefix))) {
        return QStringLiteral("%1 (%2)").arg(name, hex);
    }
    return QStringLiteral("GNSS-%1 (%2)").arg(name, hex);
}

void Connect::setupSearchList() {
    if (!searchListReady_) {
        worker_ = new WorkerThread(this);
        ensureBluetooth();
        stopRequested_ = false;
        connectListSignals();
        searchListReady_ = true;
    }
    // The search row, then the remembered receivers, whenever the list is filled.
    {
        const QSignalBlocker block(ui_->listWidget);
        ui_->listWidget->clear();
        ui_->listWidget->addItem(new QListWidgetItem());
    }
    addresses_.clear();
    loadBoundDevices();
}

void Connect::setSearchState(int state) {
    QListWidgetItem* row = ui_->listWidget->item(0);
    if (row == nullptr) {
        return;
    }
    row->setData(kStateRole, state);
    switch (state) {
        case kSearching:
            row->setText(tr("Stop Searching"));
            break;
        case kStopping:
            row->setText(tr("Stopping Searching..."));
            break;
        default:
            row->setText(tr("Search Device"));
            break;
    }
}

void Connect::clearFoundDevices() {
    QListWidget* list = ui_->listWidget;
    const QSignalBlocker block(list);
    while (list->count() > 1) {
        delete list->takeItem(list->count() - 1);
    }
    addresses_.clear();
}

void Connect::loadBoundDevices() {
    if (ui_->listWidget->count() == 0) {
        return;
    }
    clearFoundDevices();
    names_.clear();
    QList<quint64> stored;
    bindings_->load(names_, stored);
    for (int i = 0; i < names_.size() && i < stored.size(); ++i) {
        addresses_.append(stored[i]);
        auto* item = new QListWidgetItem(deviceLabel(names_[i], stored[i]));
        item->setData(kNameRole, names_[i]);
        item->setData(kAddressRole, QVariant::fromValue<quint64>(stored[i]));
        ui_->listWidget->addItem(item);
    }
    if (!addresses_.isEmpty()) {
        const int row =
            currentRow_ >= 1 && currentRow_ < ui_->listWidget->count() ? currentRow_ : 1;
        ui_->listWidget->setCurrentRow(row);
    }
}

void Connect::onCurrentRowChanged(int row) {
    if (row > 0 && row != currentRow_) {
        previousRow_ = currentRow_;
        currentRow_ = row;
    }
}

void Connect::onItemClicked(QListWidgetItem* item) {
    // Row 0 is the search row only in the search list.
    if (item == nullptr || ui_->listWidget->row(item) != 0 || method_ != kZorBt) {
        return;
    }
    switch (item->data(kStateRole).toInt()) {
        case kSearchIdle:
            if (!stopRequested_) {
                onSearch();
            }
            break;
        case kSearching:
            onStop();
            break;
        default:
            break;
    }
}

void Connect::onItemDoubleClicked(QListWidgetItem* item) {
    if (item != nullptr && ui_->listWidget->row(item) > 0) {
        onConnect();
    }
}

void Connect::onSearch() {
    if (worker_ == nullptr || !bluetooth_) {
        return;
    }
    clearFoundDevices();
    if (worker_->isTaskRunning()) {
        Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                     tr("Begin start the new search behavior, you must stop the "
                                        "current search, do you want to do so?"),
                                     QMessageBox::Ok);
        worker_->stopTask();
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    connect(worker_, &QThread::finished, this, &Connect::onSearchFinished, Qt::UniqueConnection);
    bluetooth_->SetResultCallback(&onBluetoothDevice);
    bluetooth_->SetSearchTime(uiMs(kSearchMs));
    g_page.store(this);
    if (!worker_->startTask(bluetooth_.get())) {
        setWaitCursor(false);
        setEditorsEnabled(true);
        showWarning(this, tr("Warning"),
                    withHint(tr("Bluetooth closed."), bluetooth_->GetErrorCode()));
        return;
    }
    setSearchState(kSearching);
}

void Connect::onStop() {
    if (worker_ == nullptr) {
        return;
    }
    stopRequested_ = true;
    setSearchState(kStopping);
    worker_->stopTask();
}

void Connect::addFoundDevice(const QString& name, quint64 address) {
    if (!name.contains(QLatin1String(kGnssPrefix)) || ui_->listWidget->count() == 0) {
        return;
    }
    addresses_.append(address);
    auto* item = new QListWidgetItem(deviceLabel(name, address));
    item->setData(kNameRole, name);
    item->setData(kAddressRole, QVariant::fromValue<quint64>(address));
    ui_->listWidget->addItem(item);
}

void Connect::onSearchFinished() {
    setSearchState(kSearchIdle);
    setWaitCursor(false);
    setEditorsEnabled(true);
    if (stopRequested_) {
        stopRequested_ = false;
        return;
    }
    const int code = bluetooth_ ? bluetooth_->GetErrorCode() : 0;
    const bool any = ui_->listWidget->count() > 1;
    if ((code == 0 || code == 10110) && any) {
        Prompts::instance()->message(this, Prompts::Information, tr("Information"),
                                     tr("No more devices around."), QMessageBox::Ok);
    } else if (code == 0 || code == 10110 || code == Bluetooth::kNoAdapter) {
        showWarning(this, tr("Warning"),
                    withHint(tr("Bluetooth closed or no device around !"), code));
    } else {
        showWarning(this, tr("Warning"),
                    withHint(tr("Failed to search device!\nError Code: %1").arg(code), code));
    }
}

int Connect::bindSelectedDevice() {
    const QListWidgetItem* item =
        ui_->listWidget->currentRow() > 0 ? ui_->listWidget->currentItem() : nullptr;
    if (item == nullptr || !bluetooth_) {
        return kNoDevice;
    }
    const quint64 address = item->data(kAddressRole).toULongLong();
    // Pairing may take a while and ask for a PIN.
    setWaitCursor(true);
    const int code = bluetooth_->BindBluetooth(address, static_cast<unsigned int>(comPort_), 0);
    setWaitCursor(false);
    return code;
}

void Connect::markBoundRow() {
    QListWidget* list = ui_->listWidget;
    for (int r = 1; r < list->count(); ++r) {
        list->item(r)->setBackground(QBrush());
    }
    if (QListWidgetItem* item = list->currentItem(); item != nullptr && list->currentRow() > 0) {
        item->setBackground(QBrush(Qt::lightGray));
    }
    rememberBinding();
}

void Connect::rememberBinding() {
    const QListWidgetItem* item =
        ui_->listWidget->currentRow() > 0 ? ui_->listWidget->currentItem() : nullptr;
    if (item == nullptr) {
        return;
    }
    QString name = item->data(kNameRole).toString();
    name.remove(QLatin1String(kGnssPrefix));
    const quint64 address = item->data(kAddressRole).toULongLong();
    QStringList names;
    QList<quint64> stored;
    bindings_->load(names, stored);
    while (names.size() < stored.size()) {
        names.append(QString());
    }
    const qsizetype at = stored.lastIndexOf(address);
    if (at >= 0) {
        stored.move(at, 0);
        names.move(at, 0);
    } else {
        stored.prepend(address);
        names.prepend(name);
    }
    bindings_->save(names, stored);
}

// ---- Stopping a search, the paired receivers of "Sys. BT", pairing.

void Connect::ensureBluetooth() {
    if (bluetooth_) {
        return;
    }
    const BluetoothFactory& factory = bluetoothFactory();
    bluetooth_ = factory ? factory() : std::make_unique<Bluetooth>();
    if (!bluetooth_) {
        return;
    }
    QPointer<Connect> page(this);
    bluetooth_->SetPinCallback([page](const std::wstring& name, std::string& pin) {
        return page && page->askPin(QString::fromStdWString(name), pin);
    });
}

void Connect::connectListSignals() {
    if (listSignalsReady_) {
        return;
    }
    connect(ui_->listWidget, &QListWidget::itemClicked, this, &Connect::onItemClicked);
    connect(ui_->listWidget, &QListWidget::itemDoubleClicked, this, &Connect::onItemDoubleClicked);
    listSignalsReady_ = true;
}

void Connect::stopSearchForConnection() {
    if (worker_ == nullptr || !worker_->isTaskRunning()) {
        return;
    }
    // The radio stops searching before it connects or pairs; the stopped search says nothing.
    stopRequested_ = true;
    setSearchState(kStopping);
    worker_->stopTask();
    worker_->wait(kSearchJoinMs);
    // The receivers it found and its end reach the list now, before the chosen row is bound.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void Connect::setupPairedList() {
    ensureBluetooth();
    connectListSignals();
    {
        const QSignalBlocker block(ui_->listWidget);
        ui_->listWidget->clear();
        // A heading, not a control: row 0 as in the search list.
        auto* heading = new QListWidgetItem();
        heading->setFlags(Qt::NoItemFlags);
        ui_->listWidget->addItem(heading);
    }
    addresses_.clear();
    loadPairedDevices();
}

void Connect::loadPairedDevices() {
    QListWidget* list = ui_->listWidget;
    if (list->count() == 0 || !bluetooth_) {
        return;
    }
    clearFoundDevices();
    std::vector<Bluetooth::Device> paired;
    const int code = bluetooth_->ListPairedDevices(paired);
    for (const Bluetooth::Device& d : paired) {
        const QString name = QString::fromStdWString(d.name);
        if (!name.contains(QLatin1String(kGnssPrefix))) {
            continue;
        }
        addresses_.append(d.address);
        auto* item = new QListWidgetItem(deviceLabel(name, d.address));
        item->setData(kNameRole, name);
        item->setData(kAddressRole, QVariant::fromValue<quint64>(d.address));
        list->addItem(item);
    }
    QString heading = tr("Paired receivers:");
    if (code != 0 && !bluetoothHint(code).isEmpty()) {
        heading = bluetoothHint(code);
    } else if (addresses_.isEmpty()) {
        heading = tr("No paired receiver: pair it in the Bluetooth settings (\"setting\").");
    }
    list->item(0)->setText(heading);
    if (!addresses_.isEmpty()) {
        const int row = currentRow_ >= 1 && currentRow_ < list->count() ? currentRow_ : 1;
        list->setCurrentRow(row);
    }
}

int Connect::bindPairedDevice() {
    const QListWidgetItem* item =
        ui_->listWidget->currentRow() > 0 ? ui_->listWidget->currentItem() : nullptr;
    if (item == nullptr || !bluetooth_) {
        if (bluetooth_) {
            bluetooth_->DeleteBluetooth();  // the COM number leads to its own device again
        }
        return kStarted;
    }
    setWaitCursor(true);
    const int code = bluetooth_->BindBluetooth(item->data(kAddressRole).toULongLong(),
                                               static_cast<unsigned int>(comPort_), 0);
    setWaitCursor(false);
    return code;
}

bool Connect::askPin(const QString& name, std::string& pin) {
    QDialog dialog(parentWidget() ? parentWidget() : this);
    dialog.setObjectName(QStringLiteral("BluetoothPinDialog"));
    dialog.setWindowTitle(tr("Varnok"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(tr("%1 asks for its PIN:").arg(name), &dialog);
    label->setWordWrap(true);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("lePin"));
    edit->setMaxLength(kPinMaxLength);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // The receiver waits for the answer only so long.
    QTimer::singleShot(uiMs(kPinTimeoutMs), &dialog, &QDialog::reject);
    const bool accepted = execDialog(&dialog) == QDialog::Accepted;
    const QString text = edit->text();
    edit->clear();
    if (!accepted || text.isEmpty()) {
        return false;
    }
    pin = text.toStdString();
    return true;
}

QStringList Connect::bluetoothManagerCommand() {
    const QString configured = qEnvironmentVariable("VARNOK_BLUETOOTH_MANAGER");
    if (!configured.trimmed().isEmpty()) {
        return QProcess::splitCommand(configured);
    }
    const QStringList gnome{QStringLiteral("gnome-control-center"), QStringLiteral("bluetooth")};
    const QStringList kde{QStringLiteral("systemsettings"), QStringLiteral("kcm_bluetooth")};
    // The desktop's own panel first, then blueman, then any panel that is there.
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    QList<QStringList> candidates;
    if (desktop.contains(QLatin1String("GNOME"), Qt::CaseInsensitive)) {
        candidates << gnome;
    } else if (desktop.contains(QLatin1String("KDE"), Qt::CaseInsensitive)) {
        candidates << kde;
    }
    candidates << QStringList{QStringLiteral("blueman-manager")} << gnome << kde;
    for (const QStringList& c : std::as_const(candidates)) {
        const QString path = QStandardPaths::findExecutable(c.first());
        if (!path.isEmpty()) {
            return QStringList{path} + c.mid(1);
        }
    }
    return {};
}

QStringList Connect::wirelessManagerCommand() {
    const QString configured = qEnvironmentVariable("VARNOK_WIRELESS_MANAGER");
    if (!configured.trimmed().isEmpty()) {
        return QProcess::splitCommand(configured);
    }
    const QString editor = QStandardPaths::findExecutable(QStringLiteral("nm-connection-editor"));
    if (!editor.isEmpty()) {
        return {editor};
    }
    return {};
}

void Connect::createManagerProcess() {
    if (managerProcessReady_) {
        return;
    }
    process_ = new QProcess(this);
    connect(ui_->toolButton, &QToolButton::clicked, this, &Connect::onBtSystemClicked);
    // Back from the Bluetooth settings: what was paired there is listed.
    connect(process_, &QProcess::finished, this, [this] {
        if (method_ == kSysBt) {
            loadPairedDevices();
        }
    });
    managerProcessReady_ = true;
}

void Connect::onBtSystemClicked() {
    if (process_ == nullptr) {
        return;
    }
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        if (!process_->waitForFinished(kManagerKillWaitMs)) {
            return;
        }
    }
    const QStringList command =
        method_ == kSysBt ? bluetoothManagerCommand() : wirelessManagerCommand();
    if (command.isEmpty()) {
        showWarning(this, tr("Warning"), tr("No wireless manager is configured."));
        return;
    }
    process_->start(command.first(), command.mid(1), QIODevice::ReadWrite);
}

}  // namespace Varnok
