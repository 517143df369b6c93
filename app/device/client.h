#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringDecoder>

class QTcpSocket;
class QTimer;

namespace Varnok {

// The request for a caster's source table, with the stored empty credentials.
QString sourceTableRequest();

// A small TCP client for fetching a caster's source table on the GUI thread. It connects without
// blocking: connected() or connectFailed() follows. The answer arrives piece by piece as
// received() (the bytes) and message() (the text; a character split between two reads is kept
// until its last byte arrives); closed() says the caster hung up.
class Client : public QObject {
    Q_OBJECT

public:
    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // Drops any earlier connection and starts connecting; connectFailed() when no connection
    // is made within waitMs.
    void connectToServer(const QString& host, quint16 port, int waitMs);
    // Sends the text as local 8-bit bytes, up to its first zero byte.
    void write(const QString& text);
    void disconnectFromServer();

signals:
    void connected();
    void connectFailed();
    void received(const QByteArray& bytes);
    void message(QString& text);
    void closed();

public slots:
    void readMesg();

private:
    void onConnected();
    void onError();
    void onDisconnected();
    void giveUp();

    QTcpSocket* socket_ = nullptr;
    QTimer* connectTimer_ = nullptr;
    bool connecting_ = false;
    bool open_ = false;
    // One decoder per connection, so its state carries across reads.
    QStringDecoder decoder_;
};

}  // namespace Varnok
