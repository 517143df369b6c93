#include "device_info_widget.h"

#include <QAction>
#include <QLineEdit>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "info.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_device_info_widget.h"

namespace Varnok {

namespace {

constexpr int kHardwareBit = 1;
constexpr int kFirmwareBit = 2;
constexpr int kBatteryBit = 4;
constexpr int kAllAnswers = 7;

QString ascii(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

}  // namespace

DeviceInfoWidget::DeviceInfoWidget(QWidget* parent)
    : Widget(parent), ui_(new Ui::DeviceInfoWidgetClass) {
    ui_->setupUi(this);
    reset_ = createAction(tr("Reset"), this);
    connect(reset_, SIGNAL(triggered()), this, SLOT(onReset()));
    get_ = createAction(tr("Get"), this);
    connect(get_, SIGNAL(triggered()), this, SLOT(onQueryInfo()));
}

DeviceInfoWidget::~DeviceInfoWidget() {
    cutAnswers();
    delete ui_;
}

void DeviceInfoWidget::joinAnswers() {
    DeviceObserver* hub = DeviceObserver::instance();
    connectQueued(hub, this, SIGNAL(firmwareInfo()), SLOT(onFirmwareInfo()));
    connectQueued(hub, this, SIGNAL(hardwareInfo()), SLOT(onHardwareInfo()));
    connectQueued(hub, this, SIGNAL(batteryLife(int)), SLOT(onBatteryLife(int)));
}

void DeviceInfoWidget::cutAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(firmwareInfo()), this);
        disconnectSignal(hub, SIGNAL(hardwareInfo()), this);
        disconnectSignal(hub, SIGNAL(batteryLife(int)), this);
    }
}

void DeviceInfoWidget::activate() {
    onQueryInfo();
}

void DeviceInfoWidget::onQueryInfo() {
    setWaitCursor(true);
    cutAnswers();
    answerMask_ = 0;
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->clear();
    }
    setEditorsEnabled(false);
    joinAnswers();
    DeviceManager::instance()->queryDeviceInfo();
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void DeviceInfoWidget::answered(int bit) {
    answerMask_ |= bit;
    if (answerMask_ != kAllAnswers) {
        return;
    }
    cutAnswers();
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void DeviceInfoWidget::onHardwareInfo() {
    QX_SYSTEM_HARDWARE_INFO_STRUCT h{};
    DeviceManager::instance()->hardwareInfo(h);
    ui_->leModel->setText(tr("Pocket GNSS"));
    ui_->leSN->setText(ascii(SystemRecord::hardwareSerial(h)));
    ui_->lePN->setText(ascii(SystemRecord::hardwarePartNumber(h)));
    answered(kHardwareBit);
}

void DeviceInfoWidget::onFirmwareInfo() {
    QX_SYSTEM_FIRMWARE_VERSION_STRUCT f{};
    DeviceManager::instance()->firmwareInfo(f);
    ui_->leFWVersion->setText(QStringLiteral("%1").arg(ascii(SystemRecord::firmwareText(f))));
    answered(kFirmwareBit);
}

void DeviceInfoWidget::onBatteryLife(int grade) {
    ui_->leBattery->setText(batteryText(grade));
    answered(kBatteryBit);
}

void DeviceInfoWidget::onReset() {
    setWaitCursor(true);
    setEditorsEnabled(false);
    stopTimer(resetTimer_);
    resetTimer_ = startTimer(uiMs(kResetMs));
    DeviceManager::instance()->sendGnssReset();
}

void DeviceInfoWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id == queryTimer_) {
        stopTimer(queryTimer_);
        queryTimer_ = -1;
        setWaitCursor(false);
        cutAnswers();
        if (answerMask_ == 0) {
            showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
        }
        setEditorsEnabled(true);
    } else if (id == resetTimer_) {
        stopTimer(resetTimer_);
        resetTimer_ = -1;
        setWaitCursor(false);
        setEditorsEnabled(true);
    } else {
        Widget::timerEvent(event);
    }
}

void DeviceInfoWidget::setEditorsEnabled(bool on) {
    reset_->setEnabled(on);
    get_->setEnabled(on);
    Widget::setEditorsEnabled(on);
}

void DeviceInfoWidget::deactivate() {
    stopTimer(queryTimer_);
    stopTimer(resetTimer_);
    queryTimer_ = resetTimer_ = -1;
    cutAnswers();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

}  // namespace Varnok
