#pragma once

#include <QProgressDialog>
#include <QStringList>

class QTimer;

namespace Varnok {

// The modal dialog of a connection attempt: follows the working status, accepts at status 4
// (connected) and gives up after the time-out, counted afresh for every attempt.
class ConnectingProgress : public QProgressDialog {
    Q_OBJECT

public:
    // statusSource emits workingStatus(int) (the hub).
    ConnectingProgress(QWidget* parent, QObject* statusSource, int timeoutMs);
    ~ConnectingProgress() override;

    bool isActive() const { return active_; }
    int timeoutMs() const { return timeoutMs_; }

signals:
    // The attempt ran out of time; canceled() follows at once.
    void timedOut();

public slots:
    int exec() override;
    void onWorkingStatus(int status);
    void onTimeout();
    // Ends the attempt as the Cancel button does; canceled() fires once per attempt.
    void cancel();
    void onDone();
    void reject() override;

private:
    QStringList texts_;
    bool active_ = false;
    int timeoutMs_;
    QTimer* timer_;
};

}  // namespace Varnok
