#pragma once

#include <QObject>
#include <QString>
#include <QStringDecoder>

class QTcpSocket;

namespace Varnok {

// The request for a caster's source table, with the stored empty credentials.
QString sourceTableRequest();

// A small TCP client for fetching a caster's source table on the GUI thread. The answer
// arrives piece by piece as message(); a character split between two reads is kept until its
// last byte arrives.
class Client : public QObject {
    Q_OBJECT

public:
    explicit Client(QObject* parent = nullptr);
    ~Client() override;

    // Drops any earlier connection and blocks until connected or waitMs has passed.
    bool connectToServer(const QString& host, quint16 port, int waitMs);
    // Sends the text as local 8-bit bytes, up to its first zero byte.
    void write(const QString& text);
    void disconnectFromServer();

signals:
    void message(QString& text);

public slots:
    void readMesg();

private:
    QTcpSocket* socket_ = nullptr;
    // One decoder per connection, so its state carries across reads.
    QStringDecoder decoder_;
};

}  // namespace Varnok
