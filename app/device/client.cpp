#include "client.h"

#include <QByteArray>
#include <QTcpSocket>

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

bool Client::connectToServer(const QString& host, quint16 port, int waitMs) {
    if (!socket_) {
        socket_ = new QTcpSocket(this);
        // Joined once: a second connect must not deliver each read twice.
        connect(socket_, &QTcpSocket::readyRead, this, &Client::readMesg);
    }
    socket_->abort();
    decoder_.resetState();
    socket_->connectToHost(host, port, QIODevice::ReadWrite);
    return socket_->waitForConnected(waitMs);
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
    QString text = decoder_.decode(bytes);
    if (text.isEmpty()) {
        return;  // only the first bytes of a character so far
    }
    emit message(text);
}

}  // namespace Varnok
