#include "datachain_net.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimerEvent>

#include <algorithm>

#include "device_observer.h"
#include "link_fields.h"
#include "logic_context.h"
#include "net_server.h"
#include "net_server_config.h"
#include "prompts.h"
#include "source_fetch.h"
#include "timer_scale.h"
#include "ui_datachain_net.h"
#include "valid_check_config.h"

namespace Varnok {

namespace LF = LinkFields;

namespace {

const char* const kNewServer = QT_TRANSLATE_NOOP("DataChain_Net", "<New>");

}  // namespace

DataChain_Net::DataChain_Net(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::DataChain_Net>()) {
    ui_->setupUi(this);
    ui_->lineEdit_guestName->clear();
    ui_->lineEdit_psw->clear();
    ui_->lineEdit_port->setValidator(LogicContext::validator(3, -1, -1, this));
    fetch_ = new SourceFetch(this, SourceFetch::OldPanel);
    connect(fetch_, &SourceFetch::finished, this, &DataChain_Net::onFetchFinished);
    initChoices();
    applyLengthLimits();
    connectEditorSignals();
}

DataChain_Net::~DataChain_Net() {
    stopLogonWait();
    connectObserverSignals(false);
}

void DataChain_Net::initChoices() {
    ui_->comboBox_WorkMode->addItem(tr("Base"), LF::Base);
    ui_->comboBox_WorkMode->addItem(tr("Rover"), LF::Rover);
    ui_->comboBox_WorkMode->setCurrentIndex(-1);
    supported_ = {LF::Orlo, LF::NtripClient, LF::TcpDirect};
    for (int code : std::as_const(supported_)) {
        ui_->comboBox_protocol->addItem(LogicContext::translate(code), code);
    }
    ui_->comboBox_protocol->setCurrentIndex(-1);
    ui_->comboBox_server->setCurrentIndex(-1);
    ui_->comboBox_sourceList->setCurrentIndex(-1);
}

void DataChain_Net::applyLengthLimits() {
    int name = 64, baseId = 26, address = 31;
    ValidCheckConfig::instance().serverLimits(name, baseId, address);
    int user = 31, password = 31, source = 31;
    ValidCheckConfig::instance().corsLimits(user, password, source, totalLimit_);
    // The editors take the configured lengths even where the receiver's field is shorter: a
    // text read or stored whole shows whole, and Set refuses what the field cannot hold.
    const auto limit = [](int configured, int fallback) {
        return configured > 0 ? configured : fallback;
    };
    ui_->comboBox_server->lineEdit()->setMaxLength(limit(name, 64));
    ui_->lineEdit_address->setMaxLength(LF::editorLimit(address, LF::kAddressTextBytes));
    limits_ = {{ui_->lineEdit_BaseID, limit(baseId, 26)},
               {ui_->comboBox_sourceList->lineEdit(), limit(source, 31)},
               {ui_->lineEdit_guestName, limit(user, 31)},
               {ui_->lineEdit_psw, limit(password, 31)}};
    for (auto it = limits_.cbegin(); it != limits_.cend(); ++it) {
        it.key()->setMaxLength(it.value());
    }
}

void DataChain_Net::showReceiverText(QLineEdit* editor, const QString& text) {
    editor->setMaxLength(std::max(limits_.value(editor), static_cast<int>(text.size())));
    editor->setText(text);
    receiverTexts_.insert(editor, text);
}

void DataChain_Net::connectEditorSignals() {
    connect(ui_->comboBox_WorkMode, &QComboBox::currentIndexChanged, this,
            &DataChain_Net::onWorkModeChanged);
    connect(ui_->comboBox_protocol, &QComboBox::currentIndexChanged, this,
            &DataChain_Net::onProtocolChanged);
    connect(ui_->comboBox_server, &QComboBox::currentIndexChanged, this,
            &DataChain_Net::onServerChanged);
    connect(ui_->lineEdit_address, &QLineEdit::textChanged, this, &DataChain_Net::onClearSource);
    connect(ui_->lineEdit_port, &QLineEdit::textChanged, this, &DataChain_Net::onClearSource);
    connect(ui_->comboBox_sourceList, &QComboBox::editTextChanged, this,
            &DataChain_Net::onSourceListTextChanged);
    connect(ui_->comboBox_sourceList->lineEdit(), &QLineEdit::editingFinished, this,
            &DataChain_Net::onSourceEditFinished);
    // What the user changes of the source and login record, and of the login mode.
    const auto touched = [this] { corsTouched_ = true; };
    connect(ui_->comboBox_sourceList->lineEdit(), &QLineEdit::textEdited, this, touched);
    connect(ui_->comboBox_sourceList, &QComboBox::activated, this, touched);
    connect(ui_->lineEdit_guestName, &QLineEdit::textEdited, this, touched);
    connect(ui_->lineEdit_psw, &QLineEdit::textEdited, this, touched);
    connect(ui_->checkBox_autoLog, &QCheckBox::clicked, this, [this] { autoLoginTouched_ = true; });
    // A text the receiver sent cut counts as the user's once edited.
    const auto edited = [this](QWidget* w) { return [this, w] { cutByReceiver_.removeAll(w); }; };
    connect(ui_->comboBox_sourceList->lineEdit(), &QLineEdit::textEdited, this,
            edited(ui_->comboBox_sourceList));
    connect(ui_->comboBox_sourceList, &QComboBox::activated, this,
            edited(ui_->comboBox_sourceList));
    connect(ui_->lineEdit_guestName, &QLineEdit::textEdited, this, edited(ui_->lineEdit_guestName));
    connect(ui_->lineEdit_psw, &QLineEdit::textEdited, this, edited(ui_->lineEdit_psw));
    connect(ui_->lineEdit_BaseID, &QLineEdit::textEdited, this, edited(ui_->lineEdit_BaseID));
}

void DataChain_Net::noteReceiverText(QWidget* editor, int reportedLength, int fieldBytes) {
    cutByReceiver_.removeAll(editor);
    if (reportedLength < fieldBytes) {
        return;
    }
    cutByReceiver_.append(editor);
    markInput(1, editor);
    if (editor == ui_->comboBox_sourceList) {
        markInput(1, ui_->comboBox_sourceList->lineEdit());
    }
}

void DataChain_Net::clearEditors() {
    ui_->comboBox_WorkMode->setCurrentIndex(-1);
    ui_->comboBox_protocol->setCurrentIndex(-1);
    ui_->comboBox_server->setCurrentIndex(-1);
    ui_->lineEdit_address->clear();
    ui_->lineEdit_port->clear();
    ui_->lineEdit_BaseID->clear();
    ui_->lineEdit_guestName->clear();
    ui_->lineEdit_psw->clear();
    ui_->comboBox_sourceList->setCurrentIndex(-1);
    ui_->checkBox_autoLog->setChecked(false);
    ui_->checkBox_save->setChecked(false);
}

void DataChain_Net::connectObserverSignals(bool on) {
    DeviceObserver* hub = on ? DeviceObserver::instance() : DeviceObserver::existingInstance();
    if (!hub) {
        return;
    }
    if (on) {
        connectQueued(hub, this, SIGNAL(wirelessParamters()), SLOT(onWirelessParameters()));
        connectQueued(hub, this, SIGNAL(corsInfo()), SLOT(onCorsInfo()));
        connectQueued(hub, this, SIGNAL(loginMode()), SLOT(onLoginMode()));
    } else {
        disconnectSignal(hub, SIGNAL(wirelessParamters()), this);
        disconnectSignal(hub, SIGNAL(corsInfo()), this);
        disconnectSignal(hub, SIGNAL(loginMode()), this);
    }
}

void DataChain_Net::queryInfo() {
    updateFieldStates(0, 1);
    fillServerList();
    ui_->comboBox_server->setCurrentIndex(-1);
    received_ = 0;
    corsTouched_ = false;
    autoLoginTouched_ = false;
    DeviceManager::instance()->queryNetLinkSettings();
}

int DataChain_Net::currentProtocol() const {
    const QVariant v = ui_->comboBox_protocol->currentData();
    return v.isValid() ? v.toInt() : -1;
}

int DataChain_Net::currentWorkMode() const {
    const QVariant v = ui_->comboBox_WorkMode->currentData();
    return v.isValid() ? v.toInt() : -1;
}

void DataChain_Net::selectData(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

void DataChain_Net::updateFieldStates(int protocolIndex, int workModeIndex) {
    if (protocolIndex < 0 || workModeIndex < 0) {
        return;
    }
    const int protocol = ui_->comboBox_protocol->itemData(protocolIndex).toInt();
    const int mode = currentWorkMode() < 0 ? LF::Base : currentWorkMode();
    const LF::NetFieldVisibility v = LF::netFieldVisibility(mode, protocol, autoLoginSupported_);
    ui_->comboBox_sourceList->setVisible(v.source);
    ui_->label_guestName->setVisible(v.source);
    ui_->lineEdit_guestName->setVisible(v.source);
    ui_->label_psw->setVisible(v.source);
    ui_->lineEdit_psw->setVisible(v.source);
    ui_->getsourceButton->setVisible(v.source);
    ui_->checkBox_autoLog->setVisible(v.autoLogin);
    ui_->label_source->setVisible(v.sourceLabel);
    ui_->lineEdit_BaseID->setVisible(v.baseId);
    ui_->label_source->setText(v.labelText);
}

void DataChain_Net::setSupportedProtocols(std::uint32_t word) {
    const QList<int> codes = LF::protocolsOfWord(word);
    if (codes.isEmpty()) {
        return;
    }
    supported_ = codes;
    fillProtocols();
}

void DataChain_Net::fillProtocols() {
    QSignalBlocker block(ui_->comboBox_protocol);
    ui_->comboBox_protocol->clear();
    const int mode = currentWorkMode();
    for (int code : LF::protocolsForMode(supported_, mode < 0 ? LF::Base : mode)) {
        ui_->comboBox_protocol->addItem(LogicContext::translate(code), code);
    }
    ui_->comboBox_protocol->setCurrentIndex(-1);
}

void DataChain_Net::fillServerList() {
    QComboBox* box = ui_->comboBox_server;
    disconnect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onServerChanged);
    box->clear();
    box->addItem(tr(kNewServer), -1);
    NetServerConfig& store = NetServerConfig::instance();
    for (int i = 0; i < ui_->comboBox_protocol->count(); ++i) {
        QStringList names;
        QList<int> keys;
        store.readServerList(names, keys, ui_->comboBox_protocol->itemData(i).toInt());
        for (int k = 0; k < names.size() && k < keys.size(); ++k) {
            box->addItem(names.at(k), keys.at(k));
        }
    }
    box->setCurrentIndex(-1);
    connect(box, &QComboBox::currentIndexChanged, this, &DataChain_Net::onServerChanged);
}

void DataChain_Net::onWorkModeChanged(int index) {
    if (index < 0) {
        return;
    }
    markInput(0, ui_->comboBox_WorkMode);
    fillProtocols();
    fillServerList();
    updateFieldStates(ui_->comboBox_protocol->currentIndex(), index);
}

void DataChain_Net::onProtocolChanged(int index) {
    markInput(0, ui_->comboBox_protocol);
    updateFieldStates(index, ui_->comboBox_WorkMode->currentIndex());
}

void DataChain_Net::clearServerFields() {
    cutTexts_.clear();
    cutByReceiver_.clear();
    receiverTexts_.clear();
    applyLengthLimits();
    ui_->lineEdit_address->clear();
    ui_->lineEdit_port->clear();
    ui_->lineEdit_BaseID->clear();
    ui_->lineEdit_guestName->clear();
    ui_->lineEdit_psw->clear();
    ui_->comboBox_protocol->setCurrentIndex(-1);
    onClearSource();
}

void DataChain_Net::onServerChanged(int index) {
    const QVariant data = ui_->comboBox_server->itemData(index);
    if (!data.isValid()) {
        return;
    }
    const int key = data.toInt();
    if (key < 0) {
        clearServerFields();
        ui_->comboBox_server->lineEdit()->setFocus();
        ui_->comboBox_server->lineEdit()->selectAll();
        return;
    }
    ui_->checkBox_save->setEnabled(false);
    ui_->checkBox_save->setChecked(false);
    if (!ui_->comboBox_server->currentText().isEmpty()) {
        ui_->checkBox_save->setEnabled(true);
        ui_->checkBox_save->setChecked(true);
        loadServer(key);
    }
}

void DataChain_Net::on_comboBox_server_editTextChanged(const QString& text) {
    markInput(0, ui_->comboBox_server);
    ui_->checkBox_save->setEnabled(!text.isEmpty());
    ui_->checkBox_save->setChecked(!text.isEmpty());
    const int i = ui_->comboBox_server->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) {
        const int key = ui_->comboBox_server->itemData(i).toInt();
        if (key >= 0) {
            loadServer(key);
        }
    }
}

void DataChain_Net::loadServer(int key) {
    NetServer server;
    if (!NetServerConfig::instance().serverByKey(server, key)) {
        return;
    }
    clearServerFields();
    selectData(ui_->comboBox_protocol, server.protocol);
    ui_->lineEdit_address->setText(server.address);
    ui_->lineEdit_port->setText(QString::number(server.port));
    ui_->lineEdit_guestName->setText(server.user);
    ui_->lineEdit_psw->setText(server.password);
    ui_->lineEdit_BaseID->setText(server.baseId);
    const QPair<QLineEdit*, QString> stored[] = {{ui_->lineEdit_guestName, server.user},
                                                 {ui_->lineEdit_psw, server.password},
                                                 {ui_->lineEdit_BaseID, server.baseId}};
    for (const auto& s : stored) {
        if (s.second.size() > s.first->maxLength()) {
            cutTexts_.append(s);
        }
    }
    ui_->comboBox_sourceList->addItems(server.sources);
    corsTouched_ = true;
}

void DataChain_Net::on_lineEdit_address_textChanged() {
    markInput(0, ui_->lineEdit_address);
}

void DataChain_Net::on_lineEdit_port_textChanged() {
    markInput(0, ui_->lineEdit_port);
}

void DataChain_Net::on_lineEdit_BaseID_textChanged() {
    markInput(0, ui_->lineEdit_BaseID);
}

void DataChain_Net::onSourceListTextChanged(const QString&) {
    markInput(0, ui_->comboBox_sourceList);
    markInput(0, ui_->comboBox_sourceList->lineEdit());
}

void DataChain_Net::onClearSource() {
    ui_->comboBox_sourceList->clear();
    ui_->comboBox_sourceList->setEditText(QString());
}

void DataChain_Net::onSourceEditFinished() {
    QComboBox* box = ui_->comboBox_sourceList;
    const QString text = box->currentText();
    if (!text.isEmpty() && box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        box->addItem(text);
    }
}

void DataChain_Net::updateSaveButtonStatus(bool on) {
    ui_->checkBox_save->setEnabled(on);
    ui_->checkBox_save->setChecked(on);
}

void DataChain_Net::answered(int bit) {
    received_ |= bit;
    if (received_ == kAllAnswers) {
        emit enableInterface(true);
    }
}

void DataChain_Net::onWirelessParameters() {
    info_ = DeviceManager::instance()->wirelessInfo();
    const LF::WirelessFields f = LF::readWirelessInfo(info_);
    setSupportedProtocols(f.protocols);
    autoLoginSupported_ = (f.capability & LF::kAutoLoginBit) != 0;
    sourceFetchSupported_ = (f.capability & LF::kSourceFetchBit) != 0;
    hostName_ = (f.capability & LF::kHostNameBit) != 0;
    ui_->checkBox_autoLog->setVisible(autoLoginSupported_);
    selectData(ui_->comboBox_WorkMode, f.workMode);
    selectData(ui_->comboBox_protocol, f.protocol);
    ui_->lineEdit_address->setText(f.address);
    ui_->lineEdit_port->setText(QString::number(f.port));
    showReceiverText(ui_->lineEdit_BaseID, f.baseId);
    noteReceiverText(ui_->lineEdit_BaseID, DeviceManager::instance()->textLengths().baseId,
                     LF::kBaseIdBytes);
    answered(kWirelessBit);
}

void DataChain_Net::onCorsInfo() {
    const LF::CorsFields f = LF::readCorsInfo(DeviceManager::instance()->corsInfo());
    showReceiverText(ui_->lineEdit_guestName, f.user);
    showReceiverText(ui_->lineEdit_psw, f.password);
    if (!f.source.isEmpty()) {
        QComboBox* box = ui_->comboBox_sourceList;
        box->lineEdit()->setMaxLength(
            std::max(limits_.value(box->lineEdit()), static_cast<int>(f.source.size())));
        receiverTexts_.insert(box->lineEdit(), f.source);
        int i = box->findText(f.source, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (i < 0) {
            box->addItem(f.source);
            i = box->count() - 1;
        }
        box->setCurrentIndex(i);
    }
    const Text_Lengths lengths = DeviceManager::instance()->textLengths();
    noteReceiverText(ui_->comboBox_sourceList, lengths.mountPoint, LF::kCorsSourceBytes);
    noteReceiverText(ui_->lineEdit_guestName, lengths.userName, LF::kCorsUserBytes);
    noteReceiverText(ui_->lineEdit_psw, lengths.password, LF::kCorsPasswordBytes);
    answered(kCorsBit);
}

void DataChain_Net::onLoginMode() {
    ui_->checkBox_autoLog->setChecked(DeviceManager::instance()->loginMode() >= 1);
    answered(kLoginModeBit);
}

int DataChain_Net::checkRequired() {
    int missing = 0;
    auto mark = [this, &missing](QWidget* w) {
        markInput(1, w);
        ++missing;
    };
    const QString name = ui_->comboBox_server->currentText();
    if (ui_->checkBox_save->isChecked() && (name.isEmpty() || name == tr(kNewServer))) {
        mark(ui_->comboBox_server);
    }
    const int mode = currentWorkMode();
    const int protocol = currentProtocol();
    if (mode < 0) {
        mark(ui_->comboBox_WorkMode);
    }
    if (protocol < 0) {
        mark(ui_->comboBox_protocol);
    }
    // An address the record cannot carry counts as missing: a dotted number, or a host name
    // of printable ASCII that fits its field.
    const QString address = ui_->lineEdit_address->text();
    if (address.isEmpty() || !(hostName_ ? LF::isHostName(address) : LF::isIpAddress(address))) {
        mark(ui_->lineEdit_address);
    }
    if (LF::portValue(ui_->lineEdit_port->text()) == 0) {
        mark(ui_->lineEdit_port);
    }
    const QString source = ui_->comboBox_sourceList->currentText();
    if (pending_ != 2 && protocol == LF::NtripClient && source.isEmpty()) {
        mark(ui_->comboBox_sourceList);
        mark(ui_->comboBox_sourceList->lineEdit());
    }
    const QString baseId = ui_->lineEdit_BaseID->text();
    if (pending_ != 2 && mode == LF::Rover && NetServer::usesBaseId(protocol) && baseId.isEmpty()) {
        mark(ui_->lineEdit_BaseID);
    }
    // Text outside Latin-1 has no bytes in the records.
    const QPair<QWidget*, QString> texts[] = {
        {ui_->comboBox_sourceList, source},
        {ui_->lineEdit_guestName, ui_->lineEdit_guestName->text()},
        {ui_->lineEdit_psw, ui_->lineEdit_psw->text()},
        {ui_->lineEdit_BaseID, baseId}};
    for (const auto& t : texts) {
        if (!LF::isLatin1(t.second) || t.second.contains(QChar(0))) {
            mark(t.first);
            if (t.first == ui_->comboBox_sourceList) {
                mark(ui_->comboBox_sourceList->lineEdit());
            }
        }
    }
    return missing;
}

bool DataChain_Net::checkLengths() {
    const auto refuse = [this](QWidget* w, const QString& field, int limit) {
        markInput(1, w);
        if (w == ui_->comboBox_sourceList) {
            markInput(1, ui_->comboBox_sourceList->lineEdit());
        }
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     LF::tooLongText(field, limit), QMessageBox::Ok);
        return false;
    };
    const QString names[] = {tr("User Name"), tr("Password"), tr("BaseID")};
    // A text the receiver sent cut is refused unless the user replaced it. A hidden one cannot
    // be edited; its record is left out of the Set instead where it can be.
    const struct {
        QWidget* editor;
        QString name;
        int bytes;
    } readCut[] = {{ui_->comboBox_sourceList, tr("Source"), LF::kCorsSourceBytes},
                   {ui_->lineEdit_guestName, names[0], LF::kCorsUserBytes},
                   {ui_->lineEdit_psw, names[1], LF::kCorsPasswordBytes},
                   {ui_->lineEdit_BaseID, names[2], LF::kBaseIdBytes}};
    for (const auto& c : readCut) {
        if (cutByReceiver_.contains(c.editor) && c.editor->isVisibleTo(this)) {
            return refuse(c.editor, c.name, c.bytes - 1);
        }
    }
    // A text typed over one read whole past its editor's length keeps that length.
    const QPair<QLineEdit*, QString> typed[] = {
        {ui_->comboBox_sourceList->lineEdit(), tr("Source")},
        {ui_->lineEdit_guestName, names[0]},
        {ui_->lineEdit_psw, names[1]},
        {ui_->lineEdit_BaseID, names[2]}};
    for (const auto& t : typed) {
        const int limit = limits_.value(t.first);
        const auto read = receiverTexts_.constFind(t.first);
        if (read != receiverTexts_.cend() && t.first->text() != *read &&
            t.first->text().size() > limit) {
            return refuse(t.first == ui_->comboBox_sourceList->lineEdit()
                              ? static_cast<QWidget*>(ui_->comboBox_sourceList)
                              : t.first,
                          t.second, limit);
        }
    }
    // A stored text longer than its editor shows cut in it: refused, never sent cut.
    const QComboBox* sources = ui_->comboBox_sourceList;
    const QString source = sources->currentText();
    const QString item =
        sources->currentIndex() >= 0 ? sources->itemText(sources->currentIndex()) : QString();
    const int sourceCap = sources->lineEdit()->maxLength();
    if (item.size() > source.size() && item.startsWith(source) && source.size() == sourceCap) {
        return refuse(ui_->comboBox_sourceList, tr("Source"), sourceCap);
    }
    const QLineEdit* edits[] = {ui_->lineEdit_guestName, ui_->lineEdit_psw, ui_->lineEdit_BaseID};
    for (const auto& c : std::as_const(cutTexts_)) {
        const QString shown = c.first->text();
        if (shown.size() == c.first->maxLength() && c.second.startsWith(shown)) {
            for (int i = 0; i < 3; ++i) {
                if (edits[i] == c.first) {
                    return refuse(c.first, names[i], c.first->maxLength());
                }
            }
        }
    }
    // What the receiver's record fields hold, a terminator kept.
    const struct {
        QWidget* editor;
        QString text;
        QString name;
        int bytes;
    } fields[] = {
        {ui_->comboBox_sourceList, source, tr("Source"), LF::kCorsSourceBytes},
        {ui_->lineEdit_guestName, ui_->lineEdit_guestName->text(), names[0], LF::kCorsUserBytes},
        {ui_->lineEdit_psw, ui_->lineEdit_psw->text(), names[1], LF::kCorsPasswordBytes},
        {ui_->lineEdit_BaseID, ui_->lineEdit_BaseID->text(), names[2], LF::kBaseIdBytes}};
    for (const auto& f : fields) {
        if (f.text.size() >= f.bytes) {
            return refuse(f.editor, f.name, f.bytes - 1);
        }
    }
    return true;
}

int DataChain_Net::checkTotalLength() {
    const qsizetype total = ui_->comboBox_sourceList->currentText().size() +
                            ui_->lineEdit_guestName->text().size() +
                            ui_->lineEdit_psw->text().size();
    if (total >= totalLimit_) {
        Prompts::instance()->message(
            this, Prompts::Critical, tr("Error"),
            tr("Total length of source\nuserName and password\nis beyond %1!").arg(totalLimit_),
            QMessageBox::Ok);
        return -1;
    }
    return 1;
}

int DataChain_Net::checkInput() {
    if (checkRequired() > 0) {
        return 0;
    }
    if (!checkLengths()) {
        return -1;
    }
    return checkTotalLength();
}

NetServer DataChain_Net::serverFromEditors() const {
    NetServer s;
    s.address = ui_->lineEdit_address->text();
    s.port = LF::portValue(ui_->lineEdit_port->text());
    s.protocol = currentProtocol();
    s.name = ui_->comboBox_server->currentText();
    s.user = ui_->lineEdit_guestName->text();
    s.password = ui_->checkBox_save->isChecked() ? ui_->lineEdit_psw->text() : QString();
    for (int i = 0; i < ui_->comboBox_sourceList->count(); ++i) {
        s.sources << ui_->comboBox_sourceList->itemText(i);
    }
    s.baseId = ui_->lineEdit_BaseID->text();
    const QVariant key = ui_->comboBox_server->currentData();
    s.key = key.isValid() ? key.toInt() : -1;
    return s;
}

bool DataChain_Net::setInfo() {
    NetServer server = serverFromEditors();
    if (ui_->checkBox_save->isChecked()) {
        NetServerConfig& store = NetServerConfig::instance();
        if (server.name.isEmpty() || server.name == tr(kNewServer)) {
            showWarning(this, tr("Warning"), tr("Please input server name."));
            return false;
        }
        const bool selected = ui_->comboBox_server->currentIndex() > 0;
        if (server.key >= 0 && selected) {
            // A rename must not take another stored server's name either.
            if (store.nameExists(server.name, server.key)) {
                showWarning(this, tr("Warning"), tr("Server with the name exits."));
                return false;
            }
            store.updateServer(server);
            ui_->comboBox_server->setItemText(ui_->comboBox_server->currentIndex(), server.name);
        } else if (store.nameExists(server.name, -1)) {
            showWarning(this, tr("Warning"), tr("Server with the name exits."));
            return false;
        } else {
            server.key = -1;
            const int key = store.addServer(server);
            QSignalBlocker block(ui_->comboBox_server);
            ui_->comboBox_server->addItem(server.name, key);
            ui_->comboBox_server->setCurrentIndex(ui_->comboBox_server->count() - 1);
        }
    }
    return sendSettings();
}

bool DataChain_Net::sendSettings() {
    cors_info cors{};
    if (!LF::buildCorsInfo(ui_->comboBox_sourceList->currentText(), ui_->lineEdit_guestName->text(),
                           ui_->lineEdit_psw->text(), cors)) {
        return false;
    }
    LF::NetLink link;
    link.address = ui_->lineEdit_address->text();
    link.hostName = hostName_;
    link.port = LF::portValue(ui_->lineEdit_port->text());
    link.protocol = currentProtocol();
    link.workMode = currentWorkMode();
    link.baseId = ui_->lineEdit_BaseID->text();
    WirelessInfo info = info_;
    if (!LF::buildWirelessInfo(link, info, baseIdLength_)) {
        return false;
    }
    pending_ = 1;
    DeviceObserver* hub = DeviceObserver::instance();
    disconnectSignal(hub, SIGNAL(wirelessStatus()), this);
    disconnectSignal(hub, SIGNAL(wirelessError()), this);
    connectQueued(hub, this, SIGNAL(wirelessStatus()), SLOT(onWirelessStatus()));
    connectQueued(hub, this, SIGNAL(wirelessError()), SLOT(onWirelessError()));
    startPolls();
    // The source and login record and the login mode go out once read or changed by the
    // user; never read, what the editors show empty would overwrite the receiver's.
    // A hidden text that arrived cut keeps the whole record out.
    const bool corsCut = cutByReceiver_.contains(ui_->comboBox_sourceList) ||
                         cutByReceiver_.contains(ui_->lineEdit_guestName) ||
                         cutByReceiver_.contains(ui_->lineEdit_psw);
    const bool corsKnown = ((received_ & kCorsBit) != 0 || corsTouched_) && !corsCut;
    const bool loginKnown = (received_ & kLoginModeBit) != 0 || autoLoginTouched_;
    // A shown base ID that arrived cut was refused above; a hidden one stays as the receiver
    // has it.
    const bool baseIdCut = cutByReceiver_.contains(ui_->lineEdit_BaseID);
    DeviceManager::instance()->setGprsSettings(
        link.workMode, baseIdCut ? -1 : baseIdLength_, info,
        loginKnown ? (ui_->checkBox_autoLog->isChecked() ? 1 : 0) : -1,
        corsKnown ? &cors : nullptr);
    return true;
}

void DataChain_Net::startPolls() {
    // A start while polls run replaces them, so no timer is left that nothing stops.
    stopPolls();
    statusTimer_ = startTimer(uiMs(kPollMs));
    errorTimer_ = startTimer(uiMs(kPollMs));
}

void DataChain_Net::stopPolls() {
    stopTimer(statusTimer_);
    stopTimer(errorTimer_);
    statusTimer_ = -1;
    errorTimer_ = -1;
}

void DataChain_Net::stopLogonWait() {
    // A running source-table fetch ends too, without a word: nothing of it may act once the
    // page is left.
    if (fetch_) {
        fetch_->cancel();
    }
    endWait();
}

void DataChain_Net::endWait() {
    stopPolls();
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(wirelessStatus()), this);
        disconnectSignal(hub, SIGNAL(wirelessError()), this);
    }
    sourceRequested_ = false;
    pending_ = 0;
}

void DataChain_Net::onWirelessStatus() {
    const int status = DeviceManager::instance()->wirelessStatus();
    qDebug() << "GPRS Status: " << status;
    if (status == 9) {
        stopLogonWait();
        emit enableInterface(true);
        showWarning(this, tr("Warning"), tr("Device mode is radio now!"));
        return;
    }
    if (pending_ == 2) {
        // Fetch through the receiver: drop a link that is up or coming up, ask for the list
        // once the receiver is ready for it; later statuses change nothing.
        if (!sourceRequested_ && (status == 2 || status == 4)) {
            DeviceManager::instance()->disconnectNetLink();
        } else if (!sourceRequested_ && status == 3) {
            sourceRequested_ = true;
            fetch_->requestTable();
        }
        return;
    }
    if (pending_ == 1 && (status == 1 || status == 4)) {
        stopLogonWait();
        emit enableInterface(true);
        Prompts::instance()->message(this, Prompts::Information, tr("Information"),
                                     tr("Logged On!"), QMessageBox::Ok);
    }
}

void DataChain_Net::onWirelessError() {
    const int code = DeviceManager::instance()->wirelessError();
    qDebug() << "GPRS Error: " << code;
    const QString text = LF::gprsErrorText(code);
    if (text.isEmpty()) {
        return;
    }
    stopLogonWait();
    emit enableInterface(true);
    showWarning(this, tr("Warning"), text);
}

void DataChain_Net::onSetTimeout() {
    const bool awaited = pending_ == 1;
    stopLogonWait();
    const int status = DeviceManager::instance()->wirelessStatus();
    if (awaited && status != 4 && status != 1) {
        DeviceManager::instance()->disconnectNetLink();
        showWarning(this, tr("Warning"), tr("Failed to log on!"));
    }
}

void DataChain_Net::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id == statusTimer_ && id > 0) {
        DeviceManager::instance()->queryNetLinkStatus();
    } else if (id == errorTimer_ && id > 0) {
        DeviceManager::instance()->sendGprsEroinfo();
    } else {
        Widget::timerEvent(event);
    }
}

void DataChain_Net::setEditorsEnabled(bool e) {
    ui_->comboBox_server->setEnabled(e);
    ui_->comboBox_protocol->setEnabled(e);
    ui_->lineEdit_address->setEnabled(e);
    ui_->lineEdit_port->setEnabled(e);
    ui_->comboBox_sourceList->setEnabled(e);
    ui_->lineEdit_BaseID->setEnabled(e);
    ui_->lineEdit_guestName->setEnabled(e);
    ui_->lineEdit_psw->setEnabled(e);
    ui_->checkBox_autoLog->setEnabled(e);
    ui_->comboBox_WorkMode->setEnabled(e);
    ui_->getsourceButton->setEnabled(e);
    ui_->checkBox_save->setEnabled(e && !ui_->comboBox_server->currentText().isEmpty());
}

void DataChain_Net::on_getsourceButton_clicked() {
    if (fetch_->isRunning() || pending_ != 0) {
        return;
    }
    pending_ = 2;
    if (checkRequired() > 0) {
        pending_ = 0;
        return;
    }
    checkTotalLength();  // its message does not stop a fetch
    int method = 0;
    if (sourceFetchSupported_) {
        method = SourceFetch::chooseMethod(this);
        if (method < 0) {
            pending_ = 0;
            return;
        }
    }
    if (method == 1) {
        fetchSourceByReceiver();
    } else {
        fetchSourceBySocket();
    }
}

void DataChain_Net::setFetchActive(bool active) {
    if (!active) {
        endWait();
    }
    emit enableInterface(!active);
}

void DataChain_Net::fetchSourceBySocket() {
    setFetchActive(true);
    const unsigned int port = LF::portValue(ui_->lineEdit_port->text());
    fetch_->fetchBySocket(ui_->lineEdit_address->text(), static_cast<quint16>(port));
}

bool DataChain_Net::addressAccepted() const {
    const QString address = ui_->lineEdit_address->text();
    return hostName_ ? LF::isHostName(address) : LF::isIpAddress(address);
}

bool DataChain_Net::linkUnchanged() const {
    const LF::WirelessFields f = LF::readWirelessInfo(info_);
    return currentProtocol() == f.protocol && ui_->lineEdit_address->text() == f.address &&
           LF::portValue(ui_->lineEdit_port->text()) == f.port;
}

void DataChain_Net::fetchSourceByReceiver() {
    // The Set's address rule holds here too: a text the record cannot carry is never sent.
    LF::NetLink link;
    link.address = ui_->lineEdit_address->text();
    link.hostName = hostName_;
    link.port = LF::portValue(ui_->lineEdit_port->text());
    link.protocol = currentProtocol();
    link.workMode = currentWorkMode();
    link.baseId = ui_->lineEdit_BaseID->text();
    WirelessInfo info = info_;
    int baseIdLength = 0;
    const bool addressOk = addressAccepted();
    if (!addressOk || !LF::buildWirelessInfo(link, info, baseIdLength)) {
        markInput(1, addressOk ? static_cast<QWidget*>(ui_->lineEdit_BaseID)
                               : static_cast<QWidget*>(ui_->lineEdit_address));
        pending_ = 0;
        return;
    }
    setFetchActive(true);
    sourceRequested_ = false;
    if (!linkUnchanged()) {
        DeviceManager::instance()->setGprsIp(info.server, static_cast<unsigned int>(info.port),
                                             static_cast<Protocol_Net>(info.protocol));
    }
    DeviceObserver* hub = DeviceObserver::instance();
    disconnectSignal(hub, SIGNAL(wirelessStatus()), this);
    disconnectSignal(hub, SIGNAL(wirelessError()), this);
    connectQueued(hub, this, SIGNAL(wirelessStatus()), SLOT(onWirelessStatus()));
    connectQueued(hub, this, SIGNAL(wirelessError()), SLOT(onWirelessError()));
    startPolls();
    fetch_->waitForReceiverTable();
}

void DataChain_Net::onFetchFinished(bool ok) {
    if (ok) {
        fetched_ = fetch_->names();
        fillSourceList();
    }
    setFetchActive(false);
}

void DataChain_Net::fillSourceList() {
    corsTouched_ = true;
    SourceFetch::fillSourceList(ui_->comboBox_sourceList, fetched_, true);
}

}  // namespace Varnok
