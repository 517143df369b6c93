#include "client.h"

#include <QByteArray>
#include <QTcpSocket>
#include <QTimer>

namespace Varnok {

QString sourceTableRequest() {
    const QByteArray credentials = QByteArray(":").toBase64();
    return QStringLiteral(
               "GET / HTTP/1.0\r\nUser-Agent: NTRIP Varnok\r\nAccept: */*\r\n"
               "Connection: close\r\nAuthorization: Basic ") +
           QString::fromLatin1(credentials) + QStringLiteral("\r\n\r\n");
}

Client::Client(QObject* parent) : QObject(parent), decoder_(QStringDecoder::Utf8) {}

Client::~Client() = default;

void Client::connectToServer(const QString& host, quint16 port, int waitMs) {
    if (!socket_) {
        socket_ = new QTcpSocket(this);
        // Joined once: a second connect must not deliver each read twice.
        connect(socket_, &QTcpSocket::readyRead, this, &Client::readMesg);
        connect(socket_, &QTcpSocket::connected, this, &Client::onConnected);
        connect(socket_, &QTcpSocket::errorOccurred, this, &Client::onError);
        connect(socket_, &QTcpSocket::disconnected, this, &Client::onDisconnected);
        connectTimer_ = new QTimer(this);
        connectTimer_->setSingleShot(true);
        connect(connectTimer_, &QTimer::timeout, this, &Client::giveUp);
    }
    connecting_ = false;
    open_ = false;
    connectTimer_->stop();
    socket_->abort();
    decoder_.resetState();
    connecting_ = true;
    connectTimer_->start(waitMs);
    socket_->connectToHost(host, port, QIODevice::ReadWrite);
}

void Client::onConnected() {
    if (!connecting_) {
        return;
    }
    connecting_ = false;
    connectTimer_->stop();
    open_ = true;
    emit connected();
}

void Client::onError() {
    if (connecting_) {
        giveUp();
    }
}

void Client::giveUp() {
    if (!connecting_) {
        return;
    }
    connecting_ = false;
    connectTimer_->stop();
    socket_->abort();
    emit connectFailed();
}

void Client::onDisconnected() {
    if (!open_) {
        return;  // our own hang-up, or never connected
    }
    readMesg();  // what came with the close
    open_ = false;
    emit closed();
}

void Client::write(const QString& text) {
    if (!socket_) {
        return;
    }
    QByteArray bytes = text.toLocal8Bit();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0) {
        bytes.truncate(zero);
    }
    if (!bytes.isEmpty()) {
        socket_->write(bytes);
    }
}

void Client::disconnectFromServer() {
    if (socket_) {
        connecting_ = false;
        open_ = false;
        connectTimer_->stop();
        socket_->disconnectFromHost();
    }
}

void Client::readMesg() {
    if (!socket_) {
        return;
    }
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty()) {
        return;
    }
    emit received(bytes);
    QString text = decoder_.decode(bytes);
    if (text.isEmpty()) {
        return;  // only the first bytes of a character so far
    }
    emit message(text);
}

}  // namespace Varnok
