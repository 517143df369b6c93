#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace Varnok {

// One running copy per program path: a lock file in the runtime directory held for the run,
// and a local socket through which a second start asks the first to come to the front.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum Result { First, Unguarded, AlreadyRunning };

    // "varnok-<sha1>" of the lower-cased path with every '/' turned into '_'.
    static QString instanceName(const QString& programPath);

    explicit SingleInstance(const QString& programPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock (a dead copy's lock is taken over). When another copy holds it, sends
    // that copy "raise" (waiting at most a second) and returns AlreadyRunning.
    Result acquire();
    // Starts answering later starts; only after First.
    bool listen();

    QString lockPath() const { return dir_ + QLatin1Char('/') + name_ + QStringLiteral(".lock"); }
    QString serverPath() const { return dir_ + QLatin1Char('/') + name_ + QStringLiteral(".sock"); }

signals:
    void raiseRequested();

private:
    void onConnection();

    QString name_;
    QString dir_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace Varnok
