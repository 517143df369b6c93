#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace Varnok {

namespace {
constexpr int kAnswerWaitMs = 1000;
const char kRaise[] = "raise";
}  // namespace

QString SingleInstance::instanceName(const QString& programPath) {
    QString key = programPath.toLower();
    key.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("varnok-") + QString::fromLatin1(hash.toHex());
}

SingleInstance::SingleInstance(const QString& programPath, QObject* parent)
    : QObject(parent), name_(instanceName(programPath)) {
    dir_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir_.isEmpty()) {
        dir_ = QDir::tempPath();
    }
}

SingleInstance::~SingleInstance() {
    if (server_) {
        server_->close();
    }
}

SingleInstance::Result SingleInstance::acquire() {
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a dead holder makes the lock stale, never its age.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return First;
    }
    if (lock_->error() != QLockFile::LockFailedError) {
        lock_.reset();
        return Unguarded;
    }
    QLocalSocket socket;
    socket.connectToServer(serverPath());
    if (socket.waitForConnected(kAnswerWaitMs)) {
        socket.write(kRaise);
        socket.waitForBytesWritten(kAnswerWaitMs);
        socket.disconnectFromServer();
    }
    return AlreadyRunning;
}

bool SingleInstance::listen() {
    if (!lock_ || !lock_->isLocked()) {
        return false;
    }
    // A killed copy may have left its socket behind; the lock says it is ours now.
    QLocalServer::removeServer(serverPath());
    server_ = new QLocalServer(this);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    return server_->listen(serverPath());
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().startsWith(kRaise)) {
                emit raiseRequested();
            }
        });
    }
}

}  // namespace Varnok
