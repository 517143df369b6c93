#include "info.h"

#include <QAction>
#include <QLineEdit>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_info.h"

namespace Varnok {

namespace {

constexpr int kDeviceInfoBit = 1;
constexpr int kBatteryBit = 2;
constexpr int kGprsBit = 4;
constexpr int kAllAnswers = 7;

QString ascii(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

}  // namespace

QString batteryText(int grade) {
    if (grade == 11) {
        return QObject::tr("Charging");
    }
    if (grade == 12) {
        return QObject::tr("External power supply");
    }
    return QStringLiteral("%1%").arg(grade * 10);
}

Info::Info(QWidget* parent) : Widget(parent), ui_(new Ui::Info) {
    ui_->setupUi(this);
    l2c_ = createAction(tr("L2C"), this);
    l2c_->setData(QStringLiteral("SatelliteChannelControl"));
    l2c_->setEnabled(false);
    connect(l2c_, SIGNAL(triggered()), this, SLOT(sateChanControl()));
    reset_ = createAction(tr("Reset"), this);
    connect(reset_, SIGNAL(triggered()), this, SLOT(reset()));
    get_ = createAction(tr("Get"), this);
    connect(get_, SIGNAL(triggered()), this, SLOT(sendCommand()));
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->setReadOnly(true);
    }
}

Info::~Info() {
    cutAnswers();
    delete ui_;
}

void Info::joinAnswers() {
    DeviceObserver* hub = DeviceObserver::instance();
    connectQueued(hub, this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
    connectQueued(hub, this, SIGNAL(batteryLife(int)), SLOT(onBatteryLife(int)));
    connectQueued(hub, this, SIGNAL(gprsVersion()), SLOT(onGPRSVersion()));
}

void Info::cutAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(deviceInfo()), this);
        disconnectSignal(hub, SIGNAL(batteryLife(int)), this);
        disconnectSignal(hub, SIGNAL(gprsVersion()), this);
    }
}

void Info::clearFields() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->clear();
    }
}

void Info::activate() {
    const bool gprs = DeviceManager::instance()->isDeviceTypeZero();
    ui_->label_GPRSVersion->setVisible(gprs);
    ui_->lineEdit_GPRSVersion->setVisible(gprs);
    // Each visit waits for its own battery answer, whatever an earlier query left.
    answerMask_ = 0;
    cutAnswers();
    joinAnswers();
    onDeviceInfo();
    onGPRSVersion();
    DeviceManager::instance()->sendBattery();
}

void Info::sendCommand() {
    setWaitCursor(true);
    cutAnswers();
    answerMask_ = 0;
    clearFields();
    setEditorsEnabled(false);
    joinAnswers();
    DeviceManager::instance()->queryDeviceInfo();
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void Info::answered(int bit) {
    answerMask_ |= bit;
}

void Info::completeIfAll() {
    if (answerMask_ != kAllAnswers) {
        return;
    }
    setWaitCursor(false);
    setEditorsEnabled(true);
    cutAnswers();
    stopTimer(queryTimer_);
    queryTimer_ = -1;
}

void Info::onDeviceInfo() {
    answered(kDeviceInfoBit);
    DeviceManager* dm = DeviceManager::instance();
    const DEVICE_STR& d = *dm->deviceInfo();
    ui_->lineEdit_style->setText(ascii(DeviceRecord::model(d)));
    ui_->lineEdit_SN->setText(ascii(DeviceRecord::receiverId(d)));
    ui_->lineEdit_PN->setText(ascii(DeviceRecord::partNumber(d)));
    ui_->lineEdit_produceDate->setText(ascii(DeviceRecord::productionDate(d)));
    ui_->lineEdit_version->setText(ascii(DeviceRecord::firmwareVersion(d)));
    satelliteChannels_ = dm->hasSatelliteChannelControl();
    l2c_->setEnabled(satelliteChannels_ && get_->isEnabled());
    completeIfAll();
}

void Info::onBatteryLife(int grade) {
    answered(kBatteryBit);
    ui_->lineEdit_Baterry->setText(batteryText(grade));
    completeIfAll();
}

void Info::onGPRSVersion() {
    answered(kGprsBit);
    ui_->lineEdit_GPRSVersion->setText(
        QString::number(DeviceManager::instance()->gprsVersion(), 'f', 2));
    completeIfAll();
}

void Info::reset() {
    setWaitCursor(true);
    setEditorsEnabled(false);
    stopTimer(resetTimer_);
    resetTimer_ = startTimer(uiMs(kResetMs));
    DeviceManager::instance()->sendGnssReset();
}

void Info::sateChanControl() {
    emit command(l2c_->data().toString());
}

void Info::timerEvent(QTimerEvent* event) {
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

void Info::setEditorsEnabled(bool on) {
    get_->setEnabled(on);
    reset_->setEnabled(on);
    if (satelliteChannels_) {
        l2c_->setEnabled(on);
    }
    Widget::setEditorsEnabled(on);
}

void Info::deactivate() {
    stopTimer(queryTimer_);
    stopTimer(resetTimer_);
    queryTimer_ = resetTimer_ = -1;
    cutAnswers();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void Info::onWorkingStatus(int status) {
    if (status != 4) {
        clearFields();
    }
}

}  // namespace Varnok
