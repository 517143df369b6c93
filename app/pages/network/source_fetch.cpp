#include "source_fetch.h"

#include <QComboBox>
#include <QHostAddress>
#include <QTimerEvent>
#include <QWidget>

#include "client.h"
#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "select_get_source_method.h"
#include "timer_scale.h"

namespace Varnok {

namespace {

const char* const kSucceeded = QT_TRANSLATE_NOOP("SourceFetch", "Successed to get source table !");
const char* const kFailed = QT_TRANSLATE_NOOP("SourceFetch", "Failed to get source table!");

}  // namespace

SourceFetch::SourceFetch(QWidget* panel, Titles titles)
    : QObject(panel), panel_(panel), titles_(titles) {}

SourceFetch::~SourceFetch() {
    cancel();
}

int SourceFetch::chooseMethod(QWidget* parent) {
    SelectGetSourceMethod dialog(parent);
    if (Prompts::instance()->exec(&dialog) != QDialog::Accepted) {
        return -1;
    }
    return dialog.method();
}

void SourceFetch::fillSourceList(QComboBox* box, const QList<QString>& names, bool firstName) {
    box->clear();
    for (const QString& name : names) {
        if (name.isEmpty() || box->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
            continue;
        }
        box->addItem(name);
        box->setCurrentIndex(box->count() - 1);
    }
    if (firstName) {
        box->setCurrentIndex(
            names.isEmpty()
                ? -1
                : box->findText(names.first(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    } else {
        box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    }
}

bool SourceFetch::fetchBySocket(const QString& host, quint16 port) {
    stop();
    if (!client_) {
        client_ = std::make_unique<Client>();
    }
    path_ = BySocket;
    timer_ = startTimer(uiMs(kTimeoutMs));
    if (!client_->connectToServer(host, port, kConnectWaitMs)) {
        fail(Prompts::Critical, QT_TR_NOOP("Error"), QT_TR_NOOP("Failed to connect to server!"));
        return false;
    }
    names_.clear();
    pieces_.reset();
    connect(client_.get(), &Client::message, this, &SourceFetch::onGetSourceBySocket,
            Qt::UniqueConnection);
    client_->write(sourceTableRequest());
    return true;
}

void SourceFetch::onGetSourceBySocket(QString& text) {
    if (path_ != BySocket) {
        return;
    }
    switch (pieces_.add(text)) {
        case SourceTablePieces::Complete:
            names_ = pieces_.names();
            succeed();
            break;
        case SourceTablePieces::TooLarge:
            fail(Prompts::Information, QT_TR_NOOP("Varnok"), kFailed);
            break;
        case SourceTablePieces::Collecting:
            break;
    }
}

void SourceFetch::waitForReceiverTable() {
    stop();
    path_ = ThroughReceiver;
    connectQueued(DeviceObserver::instance(), this, SIGNAL(sourceTable()), SLOT(onSourceTable()));
    timer_ = startTimer(uiMs(kTimeoutMs));
}

void SourceFetch::requestTable() {
    if (path_ == ThroughReceiver || path_ == ThroughDial) {
        DeviceManager::instance()->querySourceTable();
    }
}

bool SourceFetch::fetchThroughDial(const QString& address, quint16 port) {
    stop();
    QHostAddress host;
    if (!LogicContext::isValidIpAddress(address) || !host.setAddress(address) ||
        host.protocol() != QAbstractSocket::IPv4Protocol) {
        // A host name would go out as 255.255.255.255.
        Prompts::instance()->message(panel_, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return false;
    }
    names_.clear();
    path_ = ThroughDial;
    address_ = host.toIPv4Address();
    port_ = port;
    connectQueued(DeviceObserver::instance(), this, SIGNAL(modemDialStatus()),
                  SLOT(onModemDialStatus()));
    DeviceManager::instance()->queryModemDialStatus();
    timer_ = startTimer(uiMs(kTimeoutMs));
    return true;
}

void SourceFetch::onModemDialStatus() {
    if (path_ != ThroughDial) {
        return;
    }
    DeviceObserver* hub = DeviceObserver::instance();
    disconnectSignal(hub, SIGNAL(modemDialStatus()), this);
    if (DeviceManager::instance()->modemDialStatus().status != 1) {
        fail(Prompts::Warning, QT_TR_NOOP("Warning"), QT_TR_NOOP("Dial modem on first."));
        return;
    }
    QX_IP_ADDRESS_STRUCT record{};
    record.address = address_;  // first number in the high byte, as the item carries it
    record.port = port_;
    DeviceManager::instance()->sendNetLinkAddress(&record);
    connectQueued(hub, this, SIGNAL(sourceTable()), SLOT(onSourceTable()));
    DeviceManager::instance()->querySourceTable();
}

void SourceFetch::onSourceTable() {
    if (path_ != ThroughReceiver && path_ != ThroughDial) {
        return;
    }
    // The table goes to the list after the fetch has ended, as the socket path does.
    names_ = DeviceManager::instance()->sourceTableRecords();
    succeed();
}

void SourceFetch::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_ || timer_ < 1) {
        QObject::timerEvent(event);
        return;
    }
    if (path_ == BySocket) {
        onSocketTimeout();
    } else {
        onQueryTimeout();
    }
}

void SourceFetch::onSocketTimeout() {
    fail(Prompts::Information, QT_TR_NOOP("Varnok"), kFailed);
}

void SourceFetch::onQueryTimeout() {
    if (titles_ == NewPanel) {
        fail(Prompts::Warning, QT_TR_NOOP("Warning"), kFailed);
    } else {
        fail(Prompts::Information, QT_TR_NOOP("Varnok"), kFailed);
    }
}

void SourceFetch::stop() {
    if (timer_ > 0) {
        killTimer(timer_);
    }
    timer_ = -1;
    if (client_) {
        disconnect(client_.get(), &Client::message, this, &SourceFetch::onGetSourceBySocket);
        if (path_ == BySocket) {
            client_->disconnectFromServer();
        }
    }
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(sourceTable()), this);
        disconnectSignal(hub, SIGNAL(modemDialStatus()), this);
    }
    pieces_.reset();
    path_ = Idle;
}

void SourceFetch::cancel() {
    stop();
}

void SourceFetch::succeed() {
    stop();
    emit finished(true);
    Prompts::instance()->message(panel_, Prompts::Information,
                                 titles_ == NewPanel ? tr("Information") : tr("Info"),
                                 tr(kSucceeded), QMessageBox::Ok);
}

void SourceFetch::fail(int kind, const char* title, const char* text) {
    stop();
    emit finished(false);
    Prompts::instance()->message(panel_, static_cast<Prompts::Kind>(kind), tr(title), tr(text),
                                 QMessageBox::Ok);
}

}  // namespace Varnok
