#include "channel0_enable_editor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QTimer>

#include "connect_bauds_config.h"
#include "connecting_progress.h"
#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_channel0_enable_editor.h"

namespace Varnok {

namespace {
constexpr int kManufacturer = 2;
constexpr int kExecDelayMs = 50;
constexpr int kExitDelayMs = 5;
constexpr int kResultFailed = 1;
constexpr int kResultCanceled = 2;
constexpr int kResultStarted = 3;
}  // namespace

Channel0EnableEditor::Channel0EnableEditor(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), ui_(std::make_unique<Ui::Channel0EnableEditorClass>()) {
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    ui_->setupUi(this);
    ConnectBaudsConfig config(LogicContext::connectBaudsPath());
    for (int baud : config.bauds()) {
        ui_->cbBaud->addItem(tr("%1 b/s").arg(baud), baud);
    }
    for (int port : config.ports()) {
        ui_->cbPort->addItem(tr("COM") + QString::number(port), port);
    }
    ui_->cbBaud->setEnabled(!ui_->cbAuto->isChecked());
    // Narrow boxes: the window fits a handheld's 480-pixel width.
    for (QComboBox* box : {ui_->cbPort, ui_->cbBaud}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(6);
    }
    connectQueued(DeviceObserver::instance(), this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
}

Channel0EnableEditor::~Channel0EnableEditor() {
    if (updating_) {
        QApplication::restoreOverrideCursor();
    }
}

void Channel0EnableEditor::on_pbConnect_clicked() {
    if (progress_ == nullptr) {
        progress_ =
            new ConnectingProgress(this, DeviceObserver::instance(), uiMs(kConnectTimeoutMs));
        connect(progress_, &QProgressDialog::canceled, this,
                &Channel0EnableEditor::onConnectingCanceled);
        connect(progress_, &QDialog::accepted, this, &Channel0EnableEditor::onConnectSucceeded);
        connect(progress_, &ConnectingProgress::timedOut, this,
                &Channel0EnableEditor::onConnectingTimedOut);
    }
    result_ = 0;
    QTimer::singleShot(uiMs(kExecDelayMs), this, &Channel0EnableEditor::exec);
    execDialog(progress_);
}

void Channel0EnableEditor::exec() {
    if (progress_ == nullptr || !progress_->isActive()) {
        return;
    }
    DeviceManager* dm = DeviceManager::instance();
    dm->setManufacturer(kManufacturer);
    QList<int> bauds;
    for (int i = 0; i < ui_->cbBaud->count(); ++i) {
        bauds << ui_->cbBaud->itemData(i).toInt();
    }
    dm->setConnectOptions(ui_->cbAuto->isChecked() && !ui_->cbAuto->isHidden(), bauds);
    dm->setDeviceType(0);
    const bool started =
        dm->connectDevice(0, static_cast<unsigned char>(ui_->cbPort->currentData().toInt()),
                          ui_->cbBaud->currentData().toInt(), SocketTarget{});
    result_ = started ? kResultStarted : kResultFailed;
    if (!started) {
        failed();
    }
}

void Channel0EnableEditor::failed() {
    progress_->cancel();
    DeviceManager::instance()->closePort();
    result_ = kResultFailed;
    showWarning(this, tr("Confirm"), tr("Connection Failed!"));
}

void Channel0EnableEditor::onConnectingTimedOut() {
    // The receiver never answered: a failure, not the user's Cancel.
    failed();
}

void Channel0EnableEditor::onConnectingCanceled() {
    if (DeviceManager::instance()->workingStatus() != 4) {
        result_ = kResultCanceled;
        DeviceManager::instance()->closePort();
    }
}

void Channel0EnableEditor::onConnectSucceeded() {
    ui_->cbAuto->setEnabled(false);
    ui_->cbBaud->setEnabled(false);
    ui_->cbPort->setEnabled(false);
    ui_->pbConnect->setEnabled(false);
    ui_->pbBreak->setEnabled(true);
    const int index = ui_->cbBaud->findData(DeviceManager::instance()->baudRate());
    if (index >= 0) {
        ui_->cbBaud->setCurrentIndex(index);
    }
    Prompts::instance()->message(this, Prompts::Information, tr("Information"),
                                 tr("Successfully connected"), QMessageBox::Ok);
}

void Channel0EnableEditor::onDeviceInfo() {
    DeviceManager* dm = DeviceManager::instance();
    const DEVICE_STR& d = *dm->deviceInfo();
    ui_->lblSN->setText(QString::fromLatin1(DeviceRecord::receiverId(d).c_str()));
    ui_->lblPN->setText(QString::fromLatin1(DeviceRecord::text92(d).c_str()));
    ui_->lblFWVersion->setText(QString::fromLatin1(DeviceRecord::firmwareVersion(d).c_str()));
    const bool editable = dm->isRadioChannelV2();
    ui_->lblChannel0Editable->setText(editable ? tr("Yes") : tr("No"));
    ui_->gbChannel0->setEnabled(editable && !updating_);
    const bool locked = DeviceRecord::channel0(d) == kLocked;
    ui_->rbEnable->setChecked(!locked);
    ui_->rbDisable->setChecked(locked);
}

void Channel0EnableEditor::on_pbUpdate_clicked() {
    if (!updating_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        updating_ = true;
    }
    ui_->gbChannel0->setEnabled(false);
    ui_->pbBreak->setEnabled(false);
    QTimer::singleShot(uiMs(kUpdateMs), this, &Channel0EnableEditor::updateFinish);
    DeviceManager::instance()->setRadioChannel0Enabled(ui_->rbEnable->isChecked());
}

void Channel0EnableEditor::updateFinish() {
    if (updating_) {
        QApplication::restoreOverrideCursor();
        updating_ = false;
    }
    ui_->gbChannel0->setEnabled(DeviceManager::instance()->workingStatus() == 4 &&
                                DeviceManager::instance()->isRadioChannelV2());
    ui_->pbBreak->setEnabled(DeviceManager::instance()->workingStatus() == 4);
}

void Channel0EnableEditor::on_pbBreak_clicked() {
    for (QLabel* l : {ui_->lblSN, ui_->lblPN, ui_->lblFWVersion, ui_->lblChannel0Editable}) {
        l->setText(tr("NONE"));
    }
    // Both unchecked: exclusivity would keep one on.
    ui_->rbEnable->setAutoExclusive(false);
    ui_->rbDisable->setAutoExclusive(false);
    ui_->rbEnable->setChecked(false);
    ui_->rbDisable->setChecked(false);
    ui_->rbEnable->setAutoExclusive(true);
    ui_->rbDisable->setAutoExclusive(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool closed = DeviceManager::instance()->closePort();
    QApplication::restoreOverrideCursor();
    if (!closed) {
        showWarning(this, tr("Warning"), tr("Failed to close port"));
        return;
    }
    ui_->pbBreak->setEnabled(false);
    ui_->pbConnect->setEnabled(true);
    ui_->cbAuto->setEnabled(true);
    ui_->cbBaud->setEnabled(!ui_->cbAuto->isChecked());
    ui_->cbPort->setEnabled(true);
    ui_->gbChannel0->setEnabled(false);
}

void Channel0EnableEditor::on_cbAuto_stateChanged(int state) {
    ui_->cbBaud->setEnabled(state != Qt::Checked);
}

void Channel0EnableEditor::closeEvent(QCloseEvent* event) {
    event->accept();
    QTimer::singleShot(uiMs(kExitDelayMs), this, &Channel0EnableEditor::exitApp);
}

void Channel0EnableEditor::exitApp() {
    DeviceManager::instance()->closePort();
    QCoreApplication::exit(0);
}

}  // namespace Varnok
