#include "wireless_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimerEvent>
#include <QToolButton>

#include "device_manager.h"
#include "device_observer.h"
#include "link_fields.h"
#include "logic_context.h"
#include "net_server_config.h"
#include "prompts.h"
#include "source_fetch.h"
#include "timer_scale.h"
#include "ui_wireless_widget.h"

namespace Varnok {

namespace LF = LinkFields;

namespace {

struct ServerAnswer {
    const char* signal;
    const char* slot;
};

const ServerAnswer kAnswers[] = {
    {SIGNAL(serverType()), SLOT(onServerType())},
    {SIGNAL(serverAddress()), SLOT(onServerAddress())},
    {SIGNAL(serverDataSource()), SLOT(onServerDataSource())},
    {SIGNAL(serverAccount()), SLOT(onServerAccount())},
    {SIGNAL(loginMode()), SLOT(onLoginMode())},
};

const char kNewServer[] = "<New>";

}  // namespace

WirelessWidget::WirelessWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::WirelessWidgetClass>()) {
    ui_->setupUi(this);
    ui_->tbGetSource->hide();
    fetch_ = new SourceFetch(this, SourceFetch::NewPanel);
    connect(fetch_, &SourceFetch::finished, this, &WirelessWidget::onFetchFinished);
    ui_->cbServer->setEditable(true);
    ui_->cbSource->setEditable(true);
    ui_->leUserName->clear();
    ui_->lePsw->clear();
    ui_->lePort->setValidator(LogicContext::validator(3, -1, -1, this));
    ui_->leAddress->setMaxLength(15);
    // The texts stay uncapped: what the receiver or the store holds shows whole, and Set
    // refuses what its field cannot take instead of sending it cut.
    ui_->cbServer->lineEdit()->setMaxLength(64);
    connect(ui_->cbProtocol, &QComboBox::currentIndexChanged, this,
            &WirelessWidget::onProtocolChanged);
    connect(ui_->cbServer, &QComboBox::currentIndexChanged, this, &WirelessWidget::onServerChanged);
    connect(ui_->cbServer, &QComboBox::editTextChanged, this, &WirelessWidget::onServerEdited);
    connect(ui_->cbSource->lineEdit(), &QLineEdit::editingFinished, this,
            &WirelessWidget::onSourceEdit);
}

WirelessWidget::~WirelessWidget() {
    fetch_->cancel();
    connectServerSignals(false);
}

int WirelessWidget::toStoredProtocol(int serverType) {
    return LF::toStoredProtocol(serverType);
}

int WirelessWidget::toServerType(int storedCode) {
    return LF::toServerType(storedCode);
}

void WirelessWidget::begin() {
    if (running_++ == 0) {
        emit busy(true);
    }
}

void WirelessWidget::end() {
    if (running_ > 0 && --running_ == 0) {
        emit busy(false);
    }
}

void WirelessWidget::connectServerSignals(bool on) {
    DeviceObserver* hub = on ? DeviceObserver::instance() : DeviceObserver::existingInstance();
    if (!hub) {
        return;
    }
    for (const ServerAnswer& a : kAnswers) {
        disconnectSignal(hub, a.signal, this);
        if (on) {
            connectQueued(hub, this, a.signal, a.slot);
        }
    }
}

void WirelessWidget::clearEditors() {
    {
        const QSignalBlocker blockProtocol(ui_->cbProtocol);
        const QSignalBlocker blockServer(ui_->cbServer);
        ui_->cbProtocol->setCurrentIndex(-1);
        ui_->cbServer->setCurrentIndex(-1);
    }
    for (QLineEdit* e : {ui_->leAddress, ui_->lePort, ui_->leBaseID, ui_->leUserName, ui_->lePsw}) {
        e->clear();
    }
    ui_->cbSource->setCurrentIndex(-1);
    ui_->cbAutoLogin->setChecked(false);
    ui_->cbSave->setChecked(false);
}

void WirelessWidget::clearServerFields() {
    {
        const QSignalBlocker block(ui_->cbProtocol);
        ui_->cbProtocol->setCurrentIndex(-1);
    }
    for (QLineEdit* e : {ui_->leAddress, ui_->lePort, ui_->leBaseID, ui_->leUserName, ui_->lePsw}) {
        e->clear();
    }
    ui_->cbSource->clear();
    ui_->cbServer->setFocus();
    ui_->cbServer->lineEdit()->selectAll();
}

void WirelessWidget::refreshChoices() {
    QStringList names;
    QList<int> types;
    DeviceManager::instance()->serverModeNames(names, types);
    NetServerConfig& store = NetServerConfig::instance();
    {
        const QSignalBlocker blockServer(ui_->cbServer);
        const QSignalBlocker blockProtocol(ui_->cbProtocol);
        ui_->cbServer->clear();
        ui_->cbProtocol->clear();
        ui_->cbServer->addItem(QString::fromLatin1(kNewServer), -1);
        for (int i = 0; i < names.size() && i < types.size(); ++i) {
            ui_->cbProtocol->addItem(names.at(i), types.at(i));
        }
        QList<int> listed;
        for (int type : types) {
            const int stored = toStoredProtocol(type);
            if (listed.contains(stored)) {
                continue;  // ORLO Base and Rover share their servers
            }
            listed << stored;
            QStringList serverNames;
            QList<int> keys;
            store.readServerList(serverNames, keys, stored);
            for (int i = 0; i < serverNames.size() && i < keys.size(); ++i) {
                if (ui_->cbServer->findText(serverNames.at(i),
                                            Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
                    ui_->cbServer->addItem(serverNames.at(i), keys.at(i));
                }
            }
        }
        ui_->cbProtocol->setEnabled(ui_->cbProtocol->count() > 1);
    }
    if (ui_->cbProtocol->count() > 1) {
        onProtocolChanged(0);
    }
    if (ui_->cbServer->count() > 1) {
        clearServerFields();
    }
}

void WirelessWidget::activate() {
    refreshChoices();
    received_ = 0;
    if (queryTimer_ > 0) {
        stopTimer(queryTimer_);
        queryTimer_ = -1;
        end();
    }
    begin();
    connectServerSignals(true);
    clearEditors();
    DeviceManager::instance()->queryNetLinkSettings();
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void WirelessWidget::endQuery() {
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    connectServerSignals(false);
    // What the editors of an unanswered item show now is not the receiver's: Set leaves the
    // item out unless the user changes it.
    unread_ = {ui_->cbSource->currentText(), ui_->leUserName->text(), ui_->lePsw->text(),
               ui_->leBaseID->text(), ui_->cbAutoLogin->isChecked()};
    end();
}

void WirelessWidget::answered(int bit) {
    received_ |= bit;
    if (received_ == kAllAnswers && queryTimer_ > 0) {
        endQuery();
    }
}

void WirelessWidget::deactivate() {
    if (queryTimer_ > 0) {
        stopTimer(queryTimer_);
        queryTimer_ = -1;
    }
    endOperation();
    connectServerSignals(false);
    if (running_ > 0) {
        running_ = 0;
        emit busy(false);
    }
}

void WirelessWidget::setEditorsEnabled(bool enabled) {
    enabled_ = enabled;
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui_->cbServer, ui_->leAddress, ui_->lePort, ui_->leBaseID, ui_->cbSource,
             ui_->leUserName, ui_->lePsw, ui_->cbAutoLogin, ui_->tbGetSource}) {
        w->setEnabled(enabled);
    }
    ui_->cbProtocol->setEnabled(enabled && ui_->cbProtocol->count() > 1);
    ui_->cbSave->setEnabled(enabled && !ui_->cbServer->currentText().isEmpty());
}

int WirelessWidget::currentType() const {
    const QVariant v = ui_->cbProtocol->currentData();
    return v.isValid() ? v.toInt() : -1;
}

void WirelessWidget::onProtocolChanged(int index) {
    if (index < 0 || index >= ui_->cbProtocol->count()) {
        return;
    }
    const LF::ServerTypeFields f = LF::serverTypeFields(ui_->cbProtocol->itemData(index).toInt());
    if (!f.valid) {
        return;
    }
    markInput(0, ui_->cbProtocol);
    ui_->lblSource->setVisible(f.sourceLabel);
    ui_->lblSource->setText(f.labelText);
    ui_->cbSource->setVisible(f.sourceList);
    ui_->leBaseID->setVisible(f.baseId);
    ui_->lblUserName->setVisible(f.account);
    ui_->leUserName->setVisible(f.account);
    ui_->lblPsw->setVisible(f.account);
    ui_->lePsw->setVisible(f.account);
    ui_->cbAutoLogin->setVisible(f.autoLogin);
    ui_->tbGetSource->setVisible(f.getSource);
}

void WirelessWidget::onServerChanged(int index) {
    markInput(0, ui_->cbServer);
    if (index >= 0 && index < ui_->cbServer->count() &&
        ui_->cbServer->itemData(index).toInt() >= 0) {
        loadServer(ui_->cbServer->itemData(index).toInt());
    } else {
        clearServerFields();
    }
}

void WirelessWidget::onServerEdited(const QString& text) {
    ui_->cbSave->setEnabled(enabled_ && !text.isEmpty());
    ui_->cbSave->setChecked(!text.isEmpty());
    const int index = ui_->cbServer->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        const int key = ui_->cbServer->itemData(index).toInt();
        if (key >= 0) {
            loadServer(key);
        }
    }
}

void WirelessWidget::loadServer(int key) {
    NetServer server;
    if (!NetServerConfig::instance().serverByKey(server, key)) {
        return;
    }
    ui_->cbProtocol->setCurrentIndex(ui_->cbProtocol->findData(toServerType(server.protocol)));
    ui_->leAddress->setText(server.address);
    ui_->lePort->setText(server.port > 0 ? QString::number(server.port) : QString());
    ui_->leUserName->setText(server.user);
    ui_->lePsw->setText(server.password);
    ui_->leBaseID->setText(server.baseId);
    ui_->cbSource->clear();
    for (const QString& name : server.sources) {
        addSourceItem(name, false);
    }
}

void WirelessWidget::addSourceItem(const QString& name, bool select) {
    if (name.isEmpty()) {
        return;
    }
    int index = ui_->cbSource->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        ui_->cbSource->addItem(name);
        index = ui_->cbSource->count() - 1;
    }
    if (select) {
        ui_->cbSource->setCurrentIndex(index);
    }
}

void WirelessWidget::onSourceEdit() {
    const QString text = ui_->cbSource->lineEdit()->text();
    if (!text.isEmpty() &&
        ui_->cbSource->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        ui_->cbSource->addItem(text);
    }
}

void WirelessWidget::on_leAddress_textChanged() {
    markInput(0, ui_->leAddress);
}
void WirelessWidget::on_lePort_textChanged() {
    markInput(0, ui_->lePort);
}
void WirelessWidget::on_cbSource_currentIndexChanged() {
    markInput(0, ui_->cbSource);
}
void WirelessWidget::on_leBaseID_textChanged() {
    markInput(0, ui_->leBaseID);
}
void WirelessWidget::on_leUserName_textChanged() {
    markInput(0, ui_->leUserName);
}
void WirelessWidget::on_lePsw_textChanged() {
    markInput(0, ui_->lePsw);
}

// ---- Answers.

void WirelessWidget::onServerType() {
    const int type = DeviceManager::instance()->serverType();
    const int index = ui_->cbProtocol->findData(type);
    if (index >= 0) {
        ui_->cbProtocol->setCurrentIndex(index);
    }
    answered(kTypeBit);
}

void WirelessWidget::onServerAddress() {
    QX_IP_ADDRESS_STRUCT a{};
    DeviceManager::instance()->serverAddress(a);
    ui_->leAddress->setText(LF::addressText(a));
    ui_->lePort->setText(QString::number(a.port));
    answered(kAddressBit);
}

void WirelessWidget::onServerDataSource() {
    QX_CORS_DATA_SOURCE_STRUCT s{};
    DeviceManager::instance()->serverDataSource(s);
    const QString text = LF::dataSourceText(s);
    const LF::ServerTypeFields f = LF::serverTypeFields(currentType());
    if (f.baseId) {
        ui_->leBaseID->setText(text);
    } else if (f.sourceList) {
        addSourceItem(text, true);
    }
    answered(kSourceBit);
}

void WirelessWidget::onServerAccount() {
    QX_ACCOUNT_STRUCT a{};
    DeviceManager::instance()->serverAccount(a);
    ui_->leUserName->setText(LF::accountUser(a));
    ui_->lePsw->setText(LF::accountPassword(a));
    answered(kAccountBit);
}

void WirelessWidget::onLoginMode() {
    ui_->cbAutoLogin->setChecked(DeviceManager::instance()->loginMode() != 0);
    answered(kLoginBit);
}

// ---- Set.

bool WirelessWidget::checkInput() {
    bool ok = true;
    const auto fail = [this, &ok](QWidget* w) {
        markInput(1, w);
        ok = false;
    };
    const int type = currentType();
    const LF::ServerTypeFields f = LF::serverTypeFields(type);
    if (!f.valid) {
        fail(ui_->cbProtocol);
    }
    if (!LogicContext::isValidIpAddress(ui_->leAddress->text())) {
        fail(ui_->leAddress);
    }
    if (LF::portValue(ui_->lePort->text()) == 0) {
        fail(ui_->lePort);
    }
    if (f.sourceList && ui_->cbSource->currentText().isEmpty()) {
        fail(ui_->cbSource);
    }
    if (f.baseId && ui_->leBaseID->text().isEmpty()) {
        fail(ui_->leBaseID);
    }
    return ok;
}

bool WirelessWidget::checkLengths() {
    // Every text that goes out, in the form's order; the first too long is named.
    const int type = currentType();
    struct Text {
        QWidget* editor;
        QString text;
        QString name;
    };
    QList<Text> sent;
    if (type == 2) {
        sent.append({ui_->cbSource, ui_->cbSource->currentText(), tr("Source")});
    } else if (type == 3) {
        sent.append({ui_->leBaseID, ui_->leBaseID->text(), tr("BaseID")});
    }
    sent.append({ui_->leUserName, ui_->leUserName->text(), tr("User Name")});
    sent.append({ui_->lePsw, ui_->lePsw->text(), tr("Password")});
    for (const Text& t : std::as_const(sent)) {
        if (!LF::fitsNetText(t.text)) {
            markInput(1, t.editor);
            Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                         LF::tooLongText(t.name, LF::kNetTextBytes),
                                         QMessageBox::Ok);
            return false;
        }
    }
    return true;
}

NetServer WirelessWidget::serverFromEditors() const {
    NetServer s;
    const QVariant key = ui_->cbServer->currentData();
    s.key = ui_->cbServer->currentIndex() >= 0 && key.isValid() ? key.toInt() : -1;
    s.address = ui_->leAddress->text();
    s.port = LF::portValue(ui_->lePort->text());
    s.protocol = toStoredProtocol(currentType());
    s.name = ui_->cbServer->currentText();
    s.user = ui_->leUserName->text();
    s.password = ui_->cbSave->isChecked() ? ui_->lePsw->text() : QString();
    for (int i = 0; i < ui_->cbSource->count(); ++i) {
        s.sources << ui_->cbSource->itemText(i);
    }
    s.baseId = ui_->leBaseID->text();
    return s;
}

bool WirelessWidget::saveServer(NetServer& server) {
    NetServerConfig& store = NetServerConfig::instance();
    if (server.name.isEmpty() || server.name == QLatin1String(kNewServer)) {
        showWarning(this, tr("Warning"), tr("Please input server name."));
        return false;
    }
    if (store.nameExists(server.name, server.key)) {
        showWarning(this, tr("Warning"), tr("Server with the name exits."));
        return false;
    }
    if (server.key >= 0 && ui_->cbServer->currentIndex() >= 0) {
        store.updateServer(server);
        ui_->cbServer->setItemText(ui_->cbServer->currentIndex(), server.name);
        return true;
    }
    server.key = store.addServer(server);
    const QSignalBlocker block(ui_->cbServer);
    ui_->cbServer->addItem(server.name, server.key);
    ui_->cbServer->setCurrentIndex(ui_->cbServer->count() - 1);
    return true;
}

void WirelessWidget::setInfo() {
    if (!checkInput()) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return;
    }
    // Before the store sees them: a text is never kept cut or sent cut.
    if (!checkLengths()) {
        return;
    }
    NetServer server = serverFromEditors();
    if (ui_->cbSave->isChecked() && !saveServer(server)) {
        return;
    }
    sendSettings();
    startOperation();
}

void WirelessWidget::sendSettings() {
    const int type = currentType();
    QX_IP_ADDRESS_STRUCT address{};
    QX_CORS_DATA_SOURCE_STRUCT source{};
    QX_ACCOUNT_STRUCT account{};
    // checkLengths has refused what does not fit, so these only fill the zeroed records.
    LF::buildServerAddress(ui_->leAddress->text(), ui_->lePort->text(), address);
    const QString sourceText = type == 2   ? ui_->cbSource->currentText()
                               : type == 3 ? ui_->leBaseID->text()
                                           : QString();
    LF::buildDataSource(sourceText, source);
    LF::buildAccount(ui_->leUserName->text(), ui_->lePsw->text(), account);
    const unsigned short serverType = static_cast<unsigned short>(type);
    // An item the receiver never answered goes out only once the user has changed it.
    const bool sourceRead = (received_ & kSourceBit) != 0 ||
                            ui_->cbSource->currentText() != unread_.source ||
                            ui_->leBaseID->text() != unread_.baseId;
    const bool accountRead = (received_ & kAccountBit) != 0 ||
                             ui_->leUserName->text() != unread_.user ||
                             ui_->lePsw->text() != unread_.password;
    const bool loginRead =
        (received_ & kLoginBit) != 0 || ui_->cbAutoLogin->isChecked() != unread_.autoLogin;
    DeviceManager::instance()->setNetLinkSettings(
        &serverType, &address, sourceRead ? &source : nullptr, accountRead ? &account : nullptr,
        loginRead ? (ui_->cbAutoLogin->isChecked() ? 1 : 0) : -1);
}

void WirelessWidget::startOperation() {
    endOperation();
    state_ = 1;
    pauseTimer_ = startTimer(uiMs(kPauseMs));
    begin();
}

void WirelessWidget::endOperation() {
    // A fetch chosen but not started yet holds no busy state.
    const bool started = fetchStartTimer_ < 1;
    for (int* id : {&pauseTimer_, &fetchStartTimer_, &connectTimer_}) {
        stopTimer(*id);
        *id = -1;
    }
    fetch_->cancel();
    if (state_ == 0) {
        return;
    }
    state_ = 0;
    if (started) {
        end();
    }
}

// ---- Source table.

bool WirelessWidget::checkLinkFields() {
    bool ok = true;
    const auto need = [this, &ok](bool present, QWidget* w) {
        if (!present) {
            markInput(1, w);
            ok = false;
        }
    };
    need(LF::serverTypeFields(currentType()).valid, ui_->cbProtocol);
    need(!ui_->leAddress->text().trimmed().isEmpty(), ui_->leAddress);
    need(LF::portValue(ui_->lePort->text()) != 0, ui_->lePort);
    return ok;
}

void WirelessWidget::on_tbGetSource_clicked() {
    if (state_ == kFetchThroughReceiver || state_ == kFetchBySocket) {
        return;
    }
    if (!checkLinkFields()) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return;
    }
    chooseSourceMethod();
}

void WirelessWidget::chooseSourceMethod() {
    const int method = SourceFetch::chooseMethod(this);
    if (method < 0) {
        return;
    }
    endOperation();
    state_ = method == 1 ? kFetchThroughReceiver : kFetchBySocket;
    fetchStartTimer_ = startTimer(uiMs(kFetchStartMs));
}

void WirelessWidget::startFetch() {
    begin();
    if (state_ == kFetchBySocket) {
        connectTimer_ = startTimer(uiMs(kFetchConnectMs));
        return;
    }
    const quint16 port = static_cast<quint16>(LF::portValue(ui_->lePort->text()));
    if (!fetch_->fetchThroughDial(ui_->leAddress->text().trimmed(), port)) {
        markInput(1, ui_->leAddress);
        endOperation();
    }
}

void WirelessWidget::onFetchFinished(bool ok) {
    endOperation();
    if (ok) {
        SourceFetch::fillSourceList(ui_->cbSource, fetch_->names(), false);
    }
}

void WirelessWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id > 0 && id == queryTimer_) {
        const bool none = received_ == 0;
        endQuery();
        if (none) {
            Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                         tr("Failed to get parameters!"), QMessageBox::Ok);
        }
        return;
    }
    if (id > 0 && id == pauseTimer_) {
        endOperation();
        return;
    }
    if (id > 0 && id == fetchStartTimer_) {
        stopTimer(fetchStartTimer_);
        fetchStartTimer_ = -1;
        startFetch();
        return;
    }
    if (id > 0 && id == connectTimer_) {
        stopTimer(connectTimer_);
        connectTimer_ = -1;
        const quint16 port = static_cast<quint16>(LF::portValue(ui_->lePort->text()));
        // A refused connection ends through finished(false).
        fetch_->fetchBySocket(ui_->leAddress->text().trimmed(), port);
        return;
    }
    Widget::timerEvent(event);
}

}  // namespace Varnok
