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
const char* const kUnauthorized = QT_TRANSLATE_NOOP(
    "SourceFetch", "The caster refused the request: it asks for a user name and password (401).");
const char* const kHttpError =
    QT_TRANSLATE_NOOP("SourceFetch", "The caster answered with an error: %1");
const char* const kNotATable =
    QT_TRANSLATE_NOOP("SourceFetch", "The caster's answer is not a source table.");
const char* const kIncomplete = QT_TRANSLATE_NOOP(
    "SourceFetch",
    "The caster closed the connection before the end of the source table: the list is "
    "incomplete.");
const char* const kClosedEmpty = QT_TRANSLATE_NOOP(
    "SourceFetch", "The caster closed the connection without sending a source table.");

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

void SourceFetch::fetchBySocket(const QString& host, quint16 port) {
    stop();
    if (!client_) {
        client_ = std::make_unique<Client>();
    }
    path_ = BySocket;
    names_.clear();
    pieces_.reset();
    answer_.reset();
    decoder_.resetState();
    timer_ = startTimer(uiMs(kTimeoutMs));
    connect(client_.get(), &Client::connected, this, &SourceFetch::onSocketConnected,
            Qt::UniqueConnection);
    connect(client_.get(), &Client::connectFailed, this, &SourceFetch::onSocketConnectFailed,
            Qt::UniqueConnection);
    client_->connectToServer(host, port, kConnectWaitMs);
}

void SourceFetch::onSocketConnected() {
    if (path_ != BySocket) {
        return;
    }
    connect(client_.get(), &Client::received, this, &SourceFetch::onSocketBytes,
            Qt::UniqueConnection);
    connect(client_.get(), &Client::closed, this, &SourceFetch::onSocketClosed,
            Qt::UniqueConnection);
    client_->write(sourceTableRequest());
}

void SourceFetch::onSocketConnectFailed() {
    if (path_ != BySocket) {
        return;
    }
    fail(Prompts::Critical, QT_TR_NOOP("Error"), QT_TR_NOOP("Failed to connect to server!"));
}

void SourceFetch::onSocketBytes(const QByteArray& bytes) {
    if (path_ != BySocket) {
        return;
    }
    std::string table;
    switch (answer_.add(bytes.constData(), static_cast<std::size_t>(bytes.size()), table)) {
        case CasterAnswer::Unauthorized:
            fail(Prompts::Warning, QT_TR_NOOP("Warning"), kUnauthorized);
            return;
        case CasterAnswer::HttpError:
            failWith(Prompts::Warning, QT_TR_NOOP("Warning"),
                     tr(kHttpError).arg(QString::fromLatin1(answer_.statusLine().c_str())));
            return;
        case CasterAnswer::Malformed:
            fail(Prompts::Warning, QT_TR_NOOP("Warning"), kNotATable);
            return;
        default:
            break;
    }
    addTableText(table);
    if (path_ == BySocket && answer_.state() == CasterAnswer::Ended) {
        onSocketClosed();  // the body is over without its end marker
    }
}

void SourceFetch::addTableText(const std::string& bytes) {
    if (bytes.empty()) {
        return;
    }
    QString text =
        decoder_.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    onGetSourceBySocket(text);
}

void SourceFetch::onSocketClosed() {
    if (path_ != BySocket) {
        return;
    }
    // The records that came are kept; the message says the table is not whole.
    pieces_.add(QStringLiteral("\r\nENDSOURCETABLE"));
    const QList<QString> names =
        pieces_.state() == SourceTablePieces::Complete ? pieces_.names() : QList<QString>();
    if (names.isEmpty()) {
        fail(Prompts::Warning, QT_TR_NOOP("Warning"), kClosedEmpty);
        return;
    }
    names_ = names;
    stop();
    emit finished(true);
    Prompts::instance()->message(panel_, Prompts::Warning, tr("Warning"), tr(kIncomplete),
                                 QMessageBox::Ok);
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
        disconnect(client_.get(), nullptr, this, nullptr);
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
    failWith(kind, title, tr(text));
}

void SourceFetch::failWith(int kind, const char* title, const QString& text) {
    stop();
    emit finished(false);
    Prompts::instance()->message(panel_, static_cast<Prompts::Kind>(kind), tr(title), text,
                                 QMessageBox::Ok);
}

}  // namespace Varnok
