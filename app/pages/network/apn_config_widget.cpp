#include "apn_config_widget.h"

#include <QMessageBox>
#include <QTimerEvent>

#include "device_observer.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_apn_config_widget.h"
#include "wireless_rules.h"

namespace Varnok {

namespace R = WirelessRules;

namespace {

struct Pair {
    const char* signal;
    const char* slot;
};

const Pair kAnswers[] = {
    {SIGNAL(dialParams()), SLOT(onModemDialParam())},
    {SIGNAL(modemAutoPower(bool)), SLOT(onModemAutoPower(bool))},
    {SIGNAL(modemAutoDial(bool)), SLOT(onModemAutoDial(bool))},
    {SIGNAL(modemBandMode()), SLOT(onModemBandMode())},
    {SIGNAL(modemWorkMode()), SLOT(onModemWorkMode())},
    {SIGNAL(csdParams()), SLOT(onCSDParams())},
};

}  // namespace

APNConfigWidget::APNConfigWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::APNConfigWidgetClass>()) {
    ui_->setupUi(this);
    ui_->lePsw->setEchoMode(QLineEdit::Password);
    // Each text goes into a 20-byte field of the receiver's records.
    for (QLineEdit* e : {ui_->leAPN, ui_->leDialNum, ui_->leCSDNum, ui_->leName, ui_->lePsw}) {
        e->setMaxLength(R::kField);
    }
    ui_->cbCommMode->addItem(tr("GPRS/CDMA/WCDMA"), 1);
    ui_->cbCommMode->addItem(tr("GSM/CSD"), 2);
    ui_->cbWorkMode->addItem(tr("Base"), 1);
    ui_->cbWorkMode->addItem(tr("Rover"), 0);
    ui_->cbMode->addItem(tr("3G/2G Auto"), 3);
    ui_->cbMode->addItem(tr("3G Only"), 2);
    ui_->cbMode->addItem(tr("2G Only"), 1);
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->lblCommMode), static_cast<QWidget*>(ui_->cbCommMode),
          static_cast<QWidget*>(ui_->lblWorkMode), static_cast<QWidget*>(ui_->cbWorkMode)}) {
        w->hide();
    }
    updateEditors(false);
    DeviceObserver* hub = DeviceObserver::instance();
    connectQueued(hub, this, SIGNAL(modemPowerStatus()), SLOT(onModemPowerStatus()));
    connectQueued(hub, this, SIGNAL(modemDialStatus()), SLOT(onModemDialStatus()));
    connect(ui_->cbPowerOn, &QCheckBox::stateChanged, this,
            &APNConfigWidget::onPowerOnStateChanged);
    connect(ui_->cbPowerOn, &QCheckBox::clicked, this, &APNConfigWidget::onPowerOn);
}

APNConfigWidget::~APNConfigWidget() {
    disconnectAnswers();
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(modemPowerStatus()), this);
        disconnectSignal(hub, SIGNAL(modemDialStatus()), this);
        disconnectSignal(hub, SIGNAL(csdStatus()), this);
    }
}

bool APNConfigWidget::isCsdMode() const {
    return !ui_->cbCommMode->isHidden() && ui_->cbCommMode->currentData().toInt() == 2;
}

bool APNConfigWidget::isRover() const {
    const QVariant d = ui_->cbWorkMode->currentData();
    return d.isValid() && d.toInt() == 0;
}

void APNConfigWidget::stop(int& timerId) {
    stopTimer(timerId);
    timerId = -1;
}

void APNConfigWidget::beginOperation() {
    if (busy_++ == 0) {
        emit busy(true);
    }
}

void APNConfigWidget::endOperation() {
    if (busy_ == 0) {
        return;
    }
    if (--busy_ == 0) {
        emit busy(false);
    }
}

void APNConfigWidget::connectAnswers() {
    disconnectAnswers();
    for (const Pair& p : kAnswers) {
        connectQueued(DeviceObserver::instance(), this, p.signal, p.slot);
    }
}

void APNConfigWidget::disconnectAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        for (const Pair& p : kAnswers) {
            disconnectSignal(hub, p.signal, this);
        }
    }
}

void APNConfigWidget::useStatusSource(bool csd) {
    DeviceObserver* hub = DeviceObserver::instance();
    disconnectSignal(hub, SIGNAL(csdStatus()), this);
    disconnectSignal(hub, SIGNAL(modemDialStatus()), this);
    if (csd) {
        connectQueued(hub, this, SIGNAL(csdStatus()), SLOT(onCSDStatus()));
    } else {
        connectQueued(hub, this, SIGNAL(modemDialStatus()), SLOT(onModemDialStatus()));
    }
}

void APNConfigWidget::clearForm() {
    ui_->cbPowerOn->setChecked(false);
    for (QLineEdit* e : {ui_->leAPN, ui_->leDialNum, ui_->leCSDNum, ui_->leName, ui_->lePsw}) {
        e->clear();
    }
    ui_->cbAutoPowerOn->setChecked(false);
    ui_->cbAutoDial->setChecked(false);
    ui_->cbMode->setCurrentIndex(-1);
}

void APNConfigWidget::queryInfo() {
    answered_ = 0;
    clearForm();
    if (!querying_) {
        beginOperation();
    }
    connectAnswers();
    querying_ = true;
    DeviceManager::instance()->queryModemSettings();
    stop(queryTimeout_);
    queryTimeout_ = startTimer(uiMs(kQueryTimeoutMs));
}

void APNConfigWidget::activate() {
    const bool csd = DeviceManager::instance()->isCsdSupported();
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->lblCommMode), static_cast<QWidget*>(ui_->cbCommMode),
          static_cast<QWidget*>(ui_->lblWorkMode), static_cast<QWidget*>(ui_->cbWorkMode)}) {
        w->setVisible(csd);
    }
    if (!csd) {
        applyCommMode(1);
    }
    queryInfo();
}

void APNConfigWidget::deactivate() {
    for (int* t :
         {&powerPoll_, &dialPoll_, &dialTimeout_, &setTimer_, &queryTimeout_, &powerTimer_}) {
        stop(*t);
    }
    disconnectAnswers();
    querying_ = false;
    requestedPower_ = -1;
    direction_ = -1;
    // A dial left behind would end at a later Set's status.
    dialling_ = false;
    // The window gives back the cursor and the editors.
    busy_ = 0;
}

void APNConfigWidget::completionTest() {
    // Only a running query completes: power answers keep arriving during a power switch.
    if (!querying_) {
        return;
    }
    const int complete = R::modemCompleteMask(DeviceManager::instance()->isCsdSupported());
    if ((answered_ & complete) != complete) {
        return;
    }
    stop(queryTimeout_);
    querying_ = false;
    disconnectAnswers();
    endOperation();
}

void APNConfigWidget::onModemDialParam() {
    answered_ |= R::kDialParams;
    const QX_MODEM_DIAL_PARA_STRUCT d = DeviceManager::instance()->dialParams();
    ui_->leAPN->setText(R::dialApn(d));
    ui_->leDialNum->setText(R::dialNumber(d));
    ui_->leName->setText(R::dialUser(d));
    ui_->lePsw->setText(R::dialPassword(d));
    completionTest();
}

void APNConfigWidget::onModemAutoPower(bool on) {
    answered_ |= R::kAutoPower;
    ui_->cbAutoPowerOn->setChecked(on);
    completionTest();
}

void APNConfigWidget::onModemAutoDial(bool on) {
    answered_ |= R::kAutoDial;
    ui_->cbAutoDial->setChecked(on);
    completionTest();
}

void APNConfigWidget::onModemBandMode() {
    answered_ |= R::kBandMode;
    ui_->cbMode->setCurrentIndex(ui_->cbMode->findData(DeviceManager::instance()->modemBandMode()));
    completionTest();
}

void APNConfigWidget::onModemWorkMode() {
    answered_ |= R::kWorkMode;
    const int mode = DeviceManager::instance()->modemWorkMode();
    ui_->cbCommMode->setCurrentIndex(ui_->cbCommMode->findData(mode));
    applyCommMode(mode);
    useStatusSource(mode != 1);
    completionTest();
}

void APNConfigWidget::onCSDParams() {
    answered_ |= R::kCsdParams;
    const QX_MODEM_CSD_PARA_STRUCT c = DeviceManager::instance()->csdParams();
    ui_->cbWorkMode->setCurrentIndex(ui_->cbWorkMode->findData(int(c.mode)));
    ui_->leCSDNum->setText(R::fieldText(c.number, R::kField));
    completionTest();
}

void APNConfigWidget::onModemPowerStatus() {
    answered_ |= R::kPowerStatus;
    lastPower_ = DeviceManager::instance()->modemPowerStatus();
    if (querying_) {
        ui_->lblStatus->setText(R::modemPowerText(lastPower_));
        ui_->cbPowerOn->setChecked(lastPower_ == 2);
    }
    completionTest();
}

QString APNConfigWidget::statusLine(const QString& base, int status, int countStatus,
                                    int errorStatus, std::uint32_t count, int code) const {
    QString text = base;
    if (direction_ != -1 || querying_) {
        if (status == countStatus) {
            text += tr("...(%1)").arg(count);
        } else if (status == errorStatus) {
            text += tr(", error code: %1").arg(code);
        }
    }
    return text;
}

void APNConfigWidget::onModemDialStatus() {
    if (lastPower_ != 2) {
        return;
    }
    const QX_MODEM_DIAL_STATUS_STRUCT s = DeviceManager::instance()->modemDialStatus();
    ui_->lblStatus->setText(
        statusLine(R::dialStatusText(s.status), s.status, 4, 3, s.value, s.code));
    if (dialling_ && R::dialEnds(false, direction_, lastDial_.status, s.status)) {
        endDial();
    }
    lastDial_ = s;
}

void APNConfigWidget::onCSDStatus() {
    if (lastPower_ != 2) {
        return;
    }
    QX_MODEM_CSD_STATUS_STRUCT s{};
    DeviceManager::instance()->csdStatus(s);
    ui_->lblStatus->setText(
        statusLine(R::csdStatusText(s.status), s.status, 3, 2, s.value, s.code));
    if (dialling_ && R::dialEnds(true, direction_, lastCsd_.status, s.status)) {
        endDial();
    }
    lastCsd_ = s;
}

void APNConfigWidget::endDial() {
    stop(dialPoll_);
    stop(dialTimeout_);
    dialling_ = false;
    endOperation();
    direction_ = -1;
}

void APNConfigWidget::updateEditors(bool on) {
    if (querying_) {
        return;
    }
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->cbCommMode), static_cast<QWidget*>(ui_->cbWorkMode),
          static_cast<QWidget*>(ui_->leAPN), static_cast<QWidget*>(ui_->leDialNum),
          static_cast<QWidget*>(ui_->leName), static_cast<QWidget*>(ui_->lePsw),
          static_cast<QWidget*>(ui_->cbPlainPsw), static_cast<QWidget*>(ui_->cbAutoPowerOn),
          static_cast<QWidget*>(ui_->cbAutoDial), static_cast<QWidget*>(ui_->cbMode)}) {
        w->setEnabled(on);
    }
}

void APNConfigWidget::onPowerOnStateChanged(int state) {
    const bool on = state == Qt::Checked;
    updateEditors(on);
    emit powerOn(on);
}

void APNConfigWidget::setEditorsEnabled(bool e) {
    const bool p = ui_->cbPowerOn->isChecked();
    const bool s = DeviceManager::instance()->isCsdSupported();
    ui_->cbPowerOn->setEnabled(e);
    ui_->cbCommMode->setEnabled(e && p && s);
    ui_->cbWorkMode->setEnabled(e && p && s);
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->leAPN), static_cast<QWidget*>(ui_->leDialNum),
          static_cast<QWidget*>(ui_->leName), static_cast<QWidget*>(ui_->lePsw),
          static_cast<QWidget*>(ui_->cbPlainPsw), static_cast<QWidget*>(ui_->cbAutoPowerOn),
          static_cast<QWidget*>(ui_->cbAutoDial), static_cast<QWidget*>(ui_->cbMode)}) {
        w->setEnabled(e && p);
    }
    ui_->leCSDNum->setEnabled(e && p && s && isCsdMode() && isRover());
}

void APNConfigWidget::applyCommMode(int mode) {
    const bool packet = mode == 1;
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->lblWorkMode), static_cast<QWidget*>(ui_->cbWorkMode),
          static_cast<QWidget*>(ui_->lblCSDNumber), static_cast<QWidget*>(ui_->leCSDNum)}) {
        w->setVisible(!packet);
    }
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->lblMode), static_cast<QWidget*>(ui_->cbMode),
          static_cast<QWidget*>(ui_->lblAPN), static_cast<QWidget*>(ui_->leAPN),
          static_cast<QWidget*>(ui_->lblDialNum), static_cast<QWidget*>(ui_->leDialNum),
          static_cast<QWidget*>(ui_->lblName), static_cast<QWidget*>(ui_->leName),
          static_cast<QWidget*>(ui_->lblPsw), static_cast<QWidget*>(ui_->lePsw),
          static_cast<QWidget*>(ui_->cbPlainPsw), static_cast<QWidget*>(ui_->cbAutoPowerOn),
          static_cast<QWidget*>(ui_->cbAutoDial)}) {
        w->setVisible(packet);
    }
    ui_->leCSDNum->setEnabled(isRover() && DeviceManager::instance()->isCsdSupported() && !packet);
}

void APNConfigWidget::on_cbCommMode_currentIndexChanged(int index) {
    applyCommMode(ui_->cbCommMode->itemData(index).toInt());
}

void APNConfigWidget::on_cbWorkMode_currentIndexChanged(int) {
    markInput(0, ui_->cbWorkMode);
    ui_->leCSDNum->setEnabled(!querying_ && lastPower_ == 2 && isRover());
}

void APNConfigWidget::on_cbMode_currentIndexChanged() {
    markInput(0, ui_->cbMode);
}

void APNConfigWidget::on_leAPN_textChanged() {
    markInput(0, ui_->leAPN);
}

void APNConfigWidget::on_leDialNum_textChanged() {
    markInput(0, ui_->leDialNum);
}

void APNConfigWidget::on_leCSDNum_textChanged() {
    markInput(0, ui_->leCSDNum);
}

void APNConfigWidget::on_cbPlainPsw_stateChanged(int state) {
    ui_->lePsw->setEchoMode(state == Qt::Checked ? QLineEdit::Normal : QLineEdit::Password);
}

void APNConfigWidget::onPowerOn(bool on) {
    ui_->lblStatus->setText(on ? tr("Modem Status: Powering on...")
                               : tr("Modem Status: Powering off..."));
    updateEditors(false);
    ui_->cbPowerOn->setEnabled(false);
    if (requestedPower_ < 0) {
        beginOperation();
    }
    requestedPower_ = on ? 1 : 0;
    DeviceManager* dm = DeviceManager::instance();
    dm->sendModemPowerStatusQuery();
    stop(powerPoll_);
    powerPoll_ = startTimer(uiMs(kPowerPollMs));
    dm->sendModemPower(on);
    stop(powerTimer_);
    powerTimer_ = startTimer(uiMs(kPowerTimeoutMs));
}

bool APNConfigWidget::checkInput() {
    bool ok = true;
    auto require = [this, &ok](bool good, QWidget* editor) {
        if (!good) {
            markInput(1, editor);
            ok = false;
        }
    };
    auto text = [](const QLineEdit* e, bool required) {
        const QString t = e->text();
        return (!required || !t.isEmpty()) && R::isPrintableAscii(t, R::kField);
    };
    if (isCsdMode()) {
        require(ui_->cbWorkMode->currentIndex() >= 0, ui_->cbWorkMode);
        // Only a rover dials out; a base answers and needs no number.
        require(text(ui_->leCSDNum, isRover()), ui_->leCSDNum);
    } else {
        require(ui_->cbMode->currentIndex() >= 0, ui_->cbMode);
        require(text(ui_->leAPN, true), ui_->leAPN);
        require(text(ui_->leDialNum, true), ui_->leDialNum);
        require(text(ui_->leName, false), ui_->leName);
        require(text(ui_->lePsw, false), ui_->lePsw);
    }
    if (!ok) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
    }
    return ok;
}

int APNConfigWidget::currentDirection() const {
    return R::dialDirection(isCsdMode(), lastDial_.status, lastCsd_.status);
}

void APNConfigWidget::sendSettings() {
    DeviceManager* dm = DeviceManager::instance();
    if (!ui_->cbCommMode->isHidden()) {
        dm->sendModemWorkMode(static_cast<unsigned short>(ui_->cbCommMode->currentData().toInt()));
    }
    if (isCsdMode()) {
        const QX_MODEM_CSD_PARA_STRUCT c =
            R::csdRecord(ui_->leCSDNum->text(), ui_->cbWorkMode->currentData().toInt());
        dm->sendCsdParams(&c);
    } else {
        const QX_MODEM_DIAL_PARA_STRUCT d = R::dialRecord(
            ui_->leDialNum->text(), ui_->leName->text(), ui_->lePsw->text(), ui_->leAPN->text());
        dm->setModemSettings(&d, ui_->cbAutoPowerOn->isChecked(), ui_->cbAutoDial->isChecked(),
                             static_cast<unsigned short>(ui_->cbMode->currentData().toInt()));
    }
    direction_ = currentDirection();
}

void APNConfigWidget::setInfo() {
    if (!checkInput()) {
        return;
    }
    const bool csd = isCsdMode();
    direction_ = currentDirection();
    useStatusSource(csd);
    const QMessageBox::StandardButton answer =
        Prompts::instance()->message(this, Prompts::Question, tr("Modem"),
                                     direction_ == 1 ? tr("Dial on now ?") : tr("Dial off now"),
                                     QMessageBox::Yes | QMessageBox::No);
    ui_->lblStatus->clear();
    beginOperation();
    sendSettings();
    DeviceManager* dm = DeviceManager::instance();
    if (answer == QMessageBox::Yes) {
        dm->sendModemDial(direction_ == 1);
        if (csd) {
            dm->queryCsdStatus();
        } else {
            dm->queryModemDialStatus();
        }
        if (dialling_) {
            endOperation();  // one dial at a time: the new one replaces it
        }
        dialling_ = true;
        stop(dialPoll_);
        stop(dialTimeout_);
        dialPoll_ = startTimer(uiMs(kDialPollMs));
        dialTimeout_ = startTimer(uiMs(kDialTimeoutMs));
    } else {
        if (setTimer_ > 0) {
            endOperation();
        }
        stop(setTimer_);
        setTimer_ = startTimer(uiMs(kSetTimeoutMs));
    }
}

void APNConfigWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    DeviceManager* dm = DeviceManager::instance();
    if (id == powerPoll_) {
        dm->sendModemPowerStatusQuery();
    } else if (id == powerTimer_) {
        stop(powerPoll_);
        stop(powerTimer_);
        ui_->lblStatus->setText(R::modemPowerText(lastPower_));
        const bool on = requestedPower_ == 1;
        const int expected = on ? 2 : 3;
        requestedPower_ = -1;
        if (lastPower_ == expected) {
            updateEditors(on);
            endOperation();
        } else {
            ui_->cbPowerOn->setChecked(!on);
            endOperation();
            showWarning(this, tr("Warning"),
                        on ? tr("Failed to power on modem") : tr("Failed to power off modem"));
        }
    } else if (id == dialPoll_) {
        if (isCsdMode()) {
            dm->queryCsdStatus();
        } else {
            dm->queryModemDialStatus();
        }
    } else if (id == dialTimeout_) {
        const QString text = direction_ == 1 ? tr("Dial on timeout.") : tr("Dial off timeout.");
        endDial();
        ui_->lblStatus->clear();
        showWarning(this, tr("Warning"), text);
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
    } else {
        Widget::timerEvent(event);
    }
}

}  // namespace Varnok
