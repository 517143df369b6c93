#include "connecting_progress.h"

#include <QCoreApplication>
#include <QTimer>

namespace Varnok {

namespace {
constexpr int kLastStatus = 4;
constexpr int kClosingStatus = 5;
}  // namespace

ConnectingProgress::ConnectingProgress(QWidget* parent, QObject* statusSource, int timeoutMs)
    : QProgressDialog(parent), timeoutMs_(timeoutMs), timer_(new QTimer(this)) {
    texts_ << tr("Closing Current Connection") << tr("Current Connection Closed")
           << tr("Opening Port") << tr("Waiting For Data") << tr("Initializing")
           << tr("Initialized");
    setObjectName(QStringLiteral("ConnectingProgress"));
    setWindowModality(Qt::WindowModal);
    setWindowFlags(windowFlags() & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));
    setAutoReset(false);
    setAutoClose(false);
    setRange(0, kLastStatus);
    setWindowTitle(tr("Varnok"));
    setCancelButtonText(tr("Cancel"));
    if (statusSource != nullptr) {
        connect(statusSource, SIGNAL(workingStatus(int)), this, SLOT(onWorkingStatus(int)));
    }
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &ConnectingProgress::onTimeout);
    connect(this, &QProgressDialog::canceled, this, &ConnectingProgress::onDone);
    connect(this, &QDialog::accepted, this, &ConnectingProgress::onDone);
    // The base class would show the dialog on its own after its minimum duration.
    QProgressDialog::reset();
}

ConnectingProgress::~ConnectingProgress() = default;

int ConnectingProgress::exec() {
    if (active_) {
        return QDialog::Rejected;
    }
    active_ = true;
    QProgressDialog::reset();  // no progress shown until the first status
    setLabelText(QString());
    timer_->start(timeoutMs_ < 0 ? 0 : timeoutMs_);
    return QProgressDialog::exec();
}

void ConnectingProgress::onWorkingStatus(int status) {
    if (!active_ || status < 0 || status > kClosingStatus) {
        return;
    }
    const int index = status == kClosingStatus ? -1 : status;
    setLabelText(texts_.value(index + 1));
    if (index < 0) {
        QProgressDialog::reset();
    } else {
        setValue(status);
    }
    if (index == kLastStatus) {
        accept();
    }
}

void ConnectingProgress::onTimeout() {
    if (active_) {
        emit timedOut();
        // The signal's receivers may have ended the attempt already.
        if (active_) {
            emit canceled();
        }
    }
    active_ = false;
}

void ConnectingProgress::cancel() {
    if (active_) {
        emit canceled();
    }
    active_ = false;
}

void ConnectingProgress::reject() {
    if (active_) {
        cancel();
        return;
    }
    QProgressDialog::reject();
}

void ConnectingProgress::onDone() {
    active_ = false;
    timer_->stop();
    QProgressDialog::reset();
}

}  // namespace Varnok
