#include "wifi_config_widget.h"

#include <QMessageBox>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_wifi_config_widget.h"
#include "wireless_rules.h"

namespace Varnok {

namespace R = WirelessRules;

namespace {

struct Pair {
    const char* signal;
    const char* slot;
};

const Pair kAnswers[] = {
    {SIGNAL(wifiMode()), SLOT(onWifiMode())},
    {SIGNAL(wifiParams()), SLOT(onWifiParams())},
    {SIGNAL(wifiAutoPower(bool)), SLOT(onWifiAutoPower(bool))},
    {SIGNAL(wifiShare()), SLOT(onWifiShare())},
    {SIGNAL(wifiAutoShare()), SLOT(onWifiAutoShare())},
};

}  // namespace

WIFIConfigWidget::WIFIConfigWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::WIFIConfigWidgetClass>()) {
    ui_->setupUi(this);
    // The SSID is shown whole (20 bytes) but never edited: it goes back as it came.
    ui_->leSSID->setMaxLength(R::kField);
    ui_->leSSID->setEnabled(false);
    ui_->lePsw->setMaxLength(R::kWifiPasswordMax);
    ui_->lePsw->setEchoMode(QLineEdit::Password);
    ui_->cbHotSpot->hide();
    ui_->cbAutoShare->hide();
    {
        const QSignalBlocker block(ui_->cbPswType);
        ui_->cbPswType->clear();
        ui_->cbPswType->addItem(tr("WPA PSK"), 1);
        ui_->cbPswType->addItem(tr("WPA2 PSK"), 2);
    }
    connect(ui_->cbHotSpot, &QCheckBox::stateChanged, this,
            &WIFIConfigWidget::onHotSpotStateChanged);
    connect(ui_->cbPowerOn, &QCheckBox::stateChanged, this,
            &WIFIConfigWidget::onPowerOnStateChanged);
    connect(ui_->cbPowerOn, &QCheckBox::clicked, this, &WIFIConfigWidget::onPowerOn);
    connect(ui_->cbShareHotSpot, &QCheckBox::clicked, this, [this] { shareRead_ = true; });
    connectQueued(DeviceObserver::instance(), this, SIGNAL(wifiStatus()), SLOT(onWifiStatus()));
}

WIFIConfigWidget::~WIFIConfigWidget() {
    disconnectAnswers();
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(wifiStatus()), this);
        disconnectSignal(hub, SIGNAL(modemDialStatus()), this);
    }
}

void WIFIConfigWidget::stop(int& timerId) {
    stopTimer(timerId);
    timerId = -1;
}

void WIFIConfigWidget::beginOperation() {
    if (busy_++ == 0) {
        emit busy(true);
    }
}

void WIFIConfigWidget::endOperation() {
    if (busy_ == 0) {
        return;
    }
    if (--busy_ == 0) {
        emit busy(false);
    }
}

void WIFIConfigWidget::connectAnswers() {
    disconnectAnswers();
    for (const Pair& p : kAnswers) {
        connectQueued(DeviceObserver::instance(), this, p.signal, p.slot);
    }
}

void WIFIConfigWidget::disconnectAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        for (const Pair& p : kAnswers) {
            disconnectSignal(hub, p.signal, this);
        }
    }
}

void WIFIConfigWidget::clearForm() {
    ui_->cbPowerOn->setChecked(false);
    ui_->cbHotSpot->setChecked(false);
    ui_->leSSID->clear();
    ui_->cbPswType->setCurrentIndex(-1);
    ui_->lePsw->clear();
    ui_->cbWifiAuto->setChecked(false);
}

void WIFIConfigWidget::queryInfo() {
    modemDialled_ = false;
    shareRead_ = false;
    shareAutoRead_ = false;
    answered_ = 0;
    clearForm();
    if (!querying_) {
        beginOperation();
    }
    connectAnswers();
    querying_ = true;
    DeviceManager::instance()->queryWifiSettings();
    stop(queryTimeout_);
    queryTimeout_ = startTimer(uiMs(kQueryTimeoutMs));
}

void WIFIConfigWidget::activate() {
    apAnswered_ = false;
    ssid_.clear();
    ui_->cbShareHotSpot->setVisible(DeviceManager::instance()->isWifiShareSupported());
    ui_->cbAutoShare->hide();
    queryInfo();
    modemDialled_ = false;
    disconnectSignal(DeviceObserver::instance(), SIGNAL(modemDialStatus()), this);
    connectQueued(DeviceObserver::instance(), this, SIGNAL(modemDialStatus()),
                  SLOT(onModemDialStatus()));
    stop(dialPoll_);
    dialPoll_ = startTimer(uiMs(kDialPollMs));
}

void WIFIConfigWidget::deactivate() {
    for (int* t : {&powerPoll_, &queryTimeout_, &setTimer_, &powerTimer_, &dialPoll_}) {
        stop(*t);
    }
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(modemDialStatus()), this);
    }
    disconnectAnswers();
    querying_ = false;
    powering_ = false;
    modemDialled_ = false;
    requestedPower_ = -1;
    apAnswered_ = false;
    // The window gives back the cursor and the editors.
    busy_ = 0;
}

void WIFIConfigWidget::completionTest() {
    if (!querying_ || answered_ != R::kWifiComplete) {
        return;
    }
    stop(queryTimeout_);
    querying_ = false;
    disconnectAnswers();
    endOperation();
}

void WIFIConfigWidget::onWifiMode() {
    ui_->cbHotSpot->setChecked(DeviceManager::instance()->wifiMode() == 1);
    completionTest();
}

void WIFIConfigWidget::onWifiParams() {
    answered_ |= 1;
    const QX_WIFI_PARA_AP_STRUCT ap = DeviceManager::instance()->wifiParams();
    ssid_ = R::fieldBytes(ap.ssid, R::kField);
    apAnswered_ = true;
    ui_->leSSID->setText(QString::fromLatin1(ssid_));
    ui_->cbPswType->setCurrentIndex(ui_->cbPswType->findData(int(ap.value)));
    ui_->lePsw->setText(R::fieldText(ap.password, R::kField));
    completionTest();
}

void WIFIConfigWidget::onWifiAutoPower(bool on) {
    answered_ |= 2;
    ui_->cbWifiAuto->setChecked(on);
    completionTest();
}

void WIFIConfigWidget::onWifiShare() {
    shareRead_ = true;
    ui_->cbShareHotSpot->setChecked(DeviceManager::instance()->wifiShare() != 0);
}

void WIFIConfigWidget::onWifiAutoShare() {
    shareAutoRead_ = true;
    ui_->cbAutoShare->setChecked(DeviceManager::instance()->wifiAutoShare() != 0);
}

void WIFIConfigWidget::onWifiStatus() {
    lastStatus_ = DeviceManager::instance()->wifiStatus();
    if (!powering_) {
        ui_->lblStatus->setText(R::wifiStatusText(lastStatus_));
    }
    if (querying_) {
        ui_->cbPowerOn->setChecked(lastStatus_ == 2);
    }
}

void WIFIConfigWidget::onModemDialStatus() {
    modemDialled_ = DeviceManager::instance()->modemDialStatus().status == 1;
    ui_->cbShareHotSpot->setEnabled(modemDialled_);
}

void WIFIConfigWidget::updateEditors(bool power, bool hotSpot) {
    if (querying_) {
        return;
    }
    ui_->cbHotSpot->setEnabled(power);
    ui_->cbWifiAuto->setEnabled(power);
    ui_->cbPswType->setEnabled(power && hotSpot);
    ui_->lePsw->setEnabled(power && hotSpot);
    ui_->cbPlainPsw->setEnabled(power && hotSpot);
}

void WIFIConfigWidget::onPowerOnStateChanged(int state) {
    const bool on = state == Qt::Checked;
    updateEditors(on, ui_->cbHotSpot->isChecked());
    emit powerOn(on);
}

void WIFIConfigWidget::onHotSpotStateChanged(int state) {
    updateEditors(ui_->cbPowerOn->isChecked(), state == Qt::Checked);
}

void WIFIConfigWidget::setEditorsEnabled(bool e) {
    const bool p = ui_->cbPowerOn->isChecked();
    const bool h = ui_->cbHotSpot->isChecked();
    ui_->cbPowerOn->setEnabled(e);
    ui_->cbHotSpot->setEnabled(e && p);
    ui_->cbPswType->setEnabled(e && p && h);
    ui_->lePsw->setEnabled(e && p && h);
    ui_->cbPlainPsw->setEnabled(e && p && h);
    ui_->cbWifiAuto->setEnabled(e && p);
    ui_->cbShareHotSpot->setEnabled(e && p && modemDialled_);
    ui_->cbAutoShare->setEnabled(e && p);
}

void WIFIConfigWidget::on_cbPlainPsw_stateChanged(int state) {
    ui_->lePsw->setEchoMode(state == Qt::Checked ? QLineEdit::Normal : QLineEdit::Password);
}

void WIFIConfigWidget::on_cbPswType_currentIndexChanged() {
    markInput(0, ui_->cbPswType);
}

void WIFIConfigWidget::on_lePsw_textChanged() {
    markInput(0, ui_->lePsw);
}

void WIFIConfigWidget::onPowerOn(bool on) {
    ui_->lblStatus->setText(on ? tr("WIFI Status: Powering on...")
                               : tr("WIFI Status: Powering off..."));
    if (!powering_) {
        beginOperation();
    }
    powering_ = true;
    requestedPower_ = on ? 1 : 0;
    DeviceManager* dm = DeviceManager::instance();
    dm->sendWifiOpen(on);
    dm->sendWifiPowerStatusQuery();
    // One poll and one time-out, however often the box is clicked.
    stop(powerPoll_);
    stop(powerTimer_);
    powerPoll_ = startTimer(uiMs(kPowerPollMs));
    powerTimer_ = startTimer(uiMs(kPowerTimeoutMs));
}

bool WIFIConfigWidget::checkInput() {
    bool ok = apAnswered_;
    if (ui_->cbPswType->currentIndex() < 0) {
        markInput(1, ui_->cbPswType);
        ok = false;
    }
    const QString password = ui_->lePsw->text();
    if (password.size() < R::kWifiPasswordMin ||
        !R::isPrintableAscii(password, R::kWifiPasswordMax)) {
        markInput(1, ui_->lePsw);
        ok = false;
    }
    return ok;
}

void WIFIConfigWidget::setInfo() {
    if (!checkInput()) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Parameters invalid!"), QMessageBox::Ok);
        return;
    }
    const QX_WIFI_PARA_AP_STRUCT ap =
        R::apRecord(ssid_, ui_->cbPswType->currentData().toInt(), ui_->lePsw->text());
    const int mode = ui_->cbHotSpot->isChecked() ? 1 : 2;
    if (setTimer_ < 1) {
        beginOperation();
    }
    DeviceManager::instance()->setWifiSettings(
        mode, &ap, ui_->cbWifiAuto->isChecked(), ui_->cbPowerOn->isChecked(),
        // The share flags go out once read, or the share box once the user clicked it.
        shareRead_ ? (ui_->cbShareHotSpot->isChecked() ? 1 : 0) : -1,
        shareAutoRead_ ? (ui_->cbAutoShare->isChecked() ? 1 : 0) : -1);
    stop(setTimer_);
    setTimer_ = startTimer(uiMs(kSetTimeoutMs));
}

void WIFIConfigWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    DeviceManager* dm = DeviceManager::instance();
    if (id == powerPoll_) {
        dm->sendWifiPowerStatusQuery();
    } else if (id == powerTimer_) {
        stop(powerTimer_);
        powering_ = false;
        const bool on = requestedPower_ == 1;
        requestedPower_ = -1;
        ui_->lblStatus->setText(R::wifiStatusText(lastStatus_));
        if (lastStatus_ == (on ? 2 : 3)) {
            endOperation();
            updateEditors(on, ui_->cbHotSpot->isChecked());
        } else {
            // The box goes back first, so the keys come back without Set for a dead radio.
            ui_->cbPowerOn->setChecked(!on);
            endOperation();
            showWarning(this, tr("Warning"),
                        on ? tr("Failed to power on WIFI") : tr("Failed to power off WIFI"));
        }
    } else if (id == queryTimeout_) {
        stop(queryTimeout_);
        querying_ = false;
        disconnectAnswers();
        endOperation();
        if (answered_ == 0) {
            showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
        }
    } else if (id == setTimer_) {
        stop(setTimer_);
        endOperation();
    } else if (id == dialPoll_) {
        // Only asks: a modem the modem tab read as off stays off while this tab is open.
        dm->sendModemDialStatusQuery();
    } else {
        Widget::timerEvent(event);
    }
}

}  // namespace Varnok
