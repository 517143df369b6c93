#include "radio_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimerEvent>

#include <cmath>
#include <cstring>

#include "device_manager.h"
#include "device_observer.h"
#include "link_fields.h"
#include "logic_context.h"
#include "prompts.h"
#include "radio_config.h"
#include "sip_helper.h"
#include "timer_scale.h"
#include "ui_radio_widget.h"

namespace Varnok {

namespace LF = LinkFields;

namespace {

// Support indices of RadioConfig.
constexpr int kProtocolSupport = 1;
constexpr int kPowerSupport = 2;
constexpr int kSpacingSupport = 3;
constexpr int kBaudSupport = 4;
constexpr int kSensitivitySupport = 5;
constexpr int kFecSupport = 6;
constexpr int kCallSignSupport = 7;

// The editor holds a reported or typed value outside the module's band as it is: the band is
// checked on Set, and a value the spin box moved to an edge would be written unseen.
constexpr double kEditorMax = 9999.9999;

struct RadioAnswer {
    const char* signal;
    const char* slot;
};

const RadioAnswer kAnswers[] = {
    {SIGNAL(radioProtocol()), SLOT(onRadioProtocol())},
    {SIGNAL(radioFreq()), SLOT(onRadioFreq())},
    {SIGNAL(radioBaudrate()), SLOT(onRadioBaudrate())},
    {SIGNAL(radioPower()), SLOT(onRadioPower())},
    {SIGNAL(radioFreqStep()), SLOT(onRadioFreqStep())},
    {SIGNAL(radioAutoPower(bool)), SLOT(onRadioAutoPower())},
    {SIGNAL(radioSensitive()), SLOT(onRadioSensitivity())},
    {SIGNAL(radioFEC()), SLOT(onRadioFEC())},
    {SIGNAL(radioCallsign()), SLOT(onRadioCallSign())},
};

QString shortNumber(double v) {
    return QString::number(v, 'g', 6);
}

void selectData(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

}  // namespace

RadioWidget::RadioWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::RadioWidgetClass>()) {
    ui_->setupUi(this);
    initForm();
}

RadioWidget::~RadioWidget() {
    connectRadioSignals(false);
}

void RadioWidget::initForm() {
    const QList<QWidget*> hidden = {ui_->lblSpacing, ui_->cbSpacing, ui_->lblKHz, ui_->lblBaud,
                                    ui_->cbBaud,     ui_->lblType,   ui_->cbType, ui_->lblPower,
                                    ui_->cbPower,    ui_->lblSen,    ui_->cbSen,  ui_->cbFEC,
                                    ui_->pbCallSign};
    for (QWidget* w : hidden) {
        w->hide();
    }
    ui_->groupBox->setEnabled(false);
    ui_->cbSen->addItem(tr("High"), 0);
    ui_->cbSen->addItem(tr("Medium"), 1);
    ui_->cbSen->addItem(tr("Low"), 2);
    ui_->cbSen->setCurrentIndex(-1);
    ui_->sbFreq->setDecimals(4);
    ui_->sbFreq->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    ui_->sbFreq->setSpecialValueText(QStringLiteral(" "));
    ui_->sbFreq->installEventFilter(this);
}

bool RadioWidget::anyTimerRunning() const {
    return queryTimer_ > 0 || pollTimer_ > 0 || switchTimer_ > 0 || setTimer_ > 0;
}

void RadioWidget::stop(int& timer) {
    stopTimer(timer);
    timer = -1;
}

void RadioWidget::begin() {
    if (running_++ == 0) {
        emit busy(true);
    }
}

void RadioWidget::end() {
    if (running_ > 0 && --running_ == 0) {
        emit busy(false);
    }
}

void RadioWidget::connectRadioSignals(bool on) {
    DeviceObserver* hub = on ? DeviceObserver::instance() : DeviceObserver::existingInstance();
    if (!hub) {
        return;
    }
    for (const RadioAnswer& a : kAnswers) {
        disconnectSignal(hub, a.signal, this);
        if (on) {
            connectQueued(hub, this, a.signal, a.slot);
        }
    }
    if (!on) {
        disconnectSignal(hub, SIGNAL(radioType(int)), this);
    }
}

void RadioWidget::clearValues() {
    for (QCheckBox* box : {ui_->cbPowerOn, ui_->cbFEC, ui_->cbAutoPower}) {
        box->setChecked(false);
    }
    ui_->leRange->clear();
    readFreq_ = 0;
    freeFreq_ = 0;
    {
        const QSignalBlocker block(ui_->sbFreq);
        ui_->sbFreq->setRange(0.0, 0.0);
        ui_->sbFreq->setValue(0.0);
    }
    ui_->lblStatus->clear();
    for (QComboBox* box :
         {ui_->cbProtocol, ui_->cbSpacing, ui_->cbBaud, ui_->cbType, ui_->cbPower, ui_->cbSen}) {
        box->setCurrentIndex(-1);
    }
    channels_.clear();
    ui_->cbChannel->clear();
}

void RadioWidget::activate() {
    if (!RadioConfig::instance().loaded()) {
        Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                     tr("Failed to get radio type!"), QMessageBox::Ok);
        return;
    }
    startQuery(true);
}

void RadioWidget::refresh() {
    startQuery(false);
}

void RadioWidget::startQuery(bool withPowerStatus) {
    if (withPowerStatus) {
        DeviceObserver* hub = DeviceObserver::instance();
        disconnectSignal(hub, SIGNAL(radioPowerStatus()), this);
        connectQueued(hub, this, SIGNAL(radioPowerStatus()), SLOT(onRadioPowerStatus()));
        powerStatusJoined_ = true;
    }
    answers_ = 0;
    // The call sign goes out only when this visit read it or the call sign page handed one.
    callSign_ = QX_RADIO_CALLSIGN_STRUCT{};
    callSignKnown_ = false;
    callSignCut_ = false;
    clearValues();
    stop(queryTimer_);
    if (querying_) {
        end();
    }
    begin();
    connectRadioSignals(true);
    querying_ = true;
    requestPending_ = true;
    DeviceManager::instance()->queryRadioSettings();
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void RadioWidget::deactivate() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(radioPowerStatus()), this);
    }
    powerStatusJoined_ = false;
    stop(queryTimer_);
    stop(setTimer_);
    stop(pollTimer_);
    stop(switchTimer_);
    connectRadioSignals(false);
    querying_ = false;
    switching_ = false;
    requestPending_ = false;
    requestedPower_ = -1;
    if (running_ > 0) {
        running_ = 0;
        emit busy(false);
    }
}

void RadioWidget::setEditorsEnabled(bool enabled) {
    ui_->cbPowerOn->setEnabled(enabled);
    ui_->groupBox->setEnabled(enabled && ui_->cbPowerOn->isChecked());
}

void RadioWidget::setSettingsEnabled(bool on) {
    if (!querying_) {
        ui_->groupBox->setEnabled(on);
    }
}

void RadioWidget::setCallSign(const QX_RADIO_CALLSIGN_STRUCT& record) {
    callSign_ = record;
    callSign_.text[sizeof callSign_.text - 1] = 0;
    callSignKnown_ = true;
    callSignCut_ = false;
}

// ---- Answers: each only notes that it came; the values are in RadioConfig.

void RadioWidget::onRadioProtocol() {
    answers_ |= 1;
}
void RadioWidget::onRadioFreq() {
    answers_ |= 2;
}
void RadioWidget::onRadioBaudrate() {
    answers_ |= 4;
}
void RadioWidget::onRadioPower() {
    answers_ |= 8;
}
void RadioWidget::onRadioFreqStep() {
    answers_ |= 16;
}
void RadioWidget::onRadioAutoPower() {
    answers_ |= 32;
}
void RadioWidget::onRadioSensitivity() {
    answers_ |= 64;
}
void RadioWidget::onRadioFEC() {
    answers_ |= 128;
}
void RadioWidget::onRadioCallSign() {
    answers_ |= kCallSignBit;
}

void RadioWidget::onRadioPowerStatus() {
    powerStatus_ = DeviceManager::instance()->radioPowerStatus();
    if (!switching_) {
        QString state;
        switch (powerStatus_) {
            case 1:
                state = tr("Initializing");
                break;
            case 2:
                state = tr("ON");
                break;
            case 3:
                state = tr("OFF");
                break;
            default:
                state = tr("NONE");
                break;
        }
        ui_->lblStatus->setText(tr("Power Status: ") + state);
    }
    if (querying_) {
        ui_->cbPowerOn->setChecked(powerStatus_ == 2);
    }
}

void RadioWidget::queryPowerStatus() {
    DeviceManager::instance()->sendRadioPowerStatusQuery();
}

void RadioWidget::switchPower(bool on) {
    DeviceManager::instance()->sendRadioPowerOn(on);
    DeviceManager::instance()->sendRadioPowerStatusQuery();
    // One poll and one check at a time: a second click restarts both.
    stop(pollTimer_);
    if (switchTimer_ > 0) {
        stop(switchTimer_);
        end();
    }
    pollTimer_ = startTimer(uiMs(kPollMs));
    switchTimer_ = startTimer(uiMs(kSwitchMs));
}

// ---- Power check box.

void RadioWidget::on_cbPowerOn_stateChanged(int state) {
    const bool on = state == Qt::Checked;
    if (!querying_) {
        ui_->groupBox->setEnabled(on && ui_->cbPowerOn->isEnabled());
    }
    emit powerOn(on);
}

void RadioWidget::on_cbPowerOn_clicked(bool checked) {
    ui_->lblStatus->setText(checked ? tr("Power Status: Powering on...")
                                    : tr("Power Status: Powering off..."));
    begin();
    switching_ = true;
    requestedPower_ = checked ? 1 : 0;
    switchPower(checked);
}

// ---- Timers.

void RadioWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    requestPending_ = false;
    if (id > 0 && id == pollTimer_) {
        DeviceManager::instance()->sendRadioPowerStatusQuery();
        return;
    }
    if (id > 0 && id == switchTimer_) {
        stop(switchTimer_);
        switching_ = false;
        const bool wantedOn = requestedPower_ == 1;
        if (powerStatus_ == (wantedOn ? 2 : 3)) {
            if (!querying_) {
                ui_->groupBox->setEnabled(wantedOn && ui_->cbPowerOn->isEnabled());
            }
        } else {
            Prompts::instance()->message(
                this, Prompts::Warning, tr("Warning"),
                wantedOn ? tr("Failed to power on radio") : tr("Failed to power off radio"),
                QMessageBox::Ok);
            ui_->cbPowerOn->setChecked(!wantedOn);
        }
        requestedPower_ = -1;
        // Last, so the host enables its keys for the box as it now stands.
        end();
        return;
    }
    if (id > 0 && id == queryTimer_) {
        stop(queryTimer_);
        querying_ = false;
        connectRadioSignals(false);
        end();
        if (answers_ == 0) {
            Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                         tr("Failed to get parameters!"), QMessageBox::Ok);
        } else {
            showRadioValues();
        }
        return;
    }
    if (id > 0 && id == setTimer_) {
        stop(setTimer_);
        end();
        return;
    }
    Widget::timerEvent(event);
}

// ---- Showing the values.

int RadioWidget::band() const {
    const RadioConfig& r = RadioConfig::instance();
    return LogicContext::typeBandOfFrequency(r.minFrequency(), r.maxFrequency(), r.frequency(),
                                             r.radioType());
}

void RadioWidget::showRadioValues() {
    const RadioConfig& r = RadioConfig::instance();
    // Channel 0 stands for the reported frequency while the lists are built.
    readFreq_ = r.frequency();
    freeFreq_ = readFreq_;
    showRange(r.minFrequency(), r.maxFrequency());
    fillTypes();
    fillProtocols();
    fillSpacings();
    fillBauds();
    fillPowers();
    fillChannels(band());
    const int sensitivity = r.support(kSensitivitySupport);
    ui_->lblSen->setVisible(sensitivity != 0);
    ui_->cbSen->setVisible(sensitivity != 0);
    ui_->cbSen->setEnabled(sensitivity == 2);
    ui_->cbFEC->setVisible(r.support(kFecSupport) != 0);
    ui_->cbFEC->setEnabled(r.support(kFecSupport) == 2);
    ui_->pbCallSign->setVisible(r.support(kCallSignSupport) != 0);
    if ((answers_ & kCallSignBit) != 0) {
        DeviceManager::instance()->radioCallsignRecord(callSign_);
        callSign_.text[sizeof callSign_.text - 1] = 0;
        // A cut call sign is shown but never written back as if it had been read.
        callSignCut_ = DeviceManager::instance()->textLengths().callsign >
                       static_cast<int>(sizeof callSign_.text - 1);
        callSignKnown_ = !callSignCut_;
    }
    const int stepper = r.stepper() >= 1 ? r.stepper() : r.defaultStepper();
    ui_->sbFreq->setSingleStep(stepper * RadioConfig::stepperUnit() * 0.001);
    showFrequency(r.frequency());
    selectData(ui_->cbProtocol, r.protocol());
    selectData(ui_->cbPower, r.power());
    selectData(ui_->cbSen, r.sensitivity());
    selectData(ui_->cbSpacing, r.stepper());
    // Last: the protocol and the spacing rebuild the baud list, which must then hold the
    // reported rate.
    selectData(ui_->cbBaud, r.baud());
    ui_->cbFEC->setChecked(r.fecOn());
    ui_->cbAutoPower->setChecked(DeviceManager::instance()->radioAutoPower() != 0);
}

void RadioWidget::showRange(double lower, double upper) {
    ui_->leRange->setText(
        QStringLiteral("%1--%2 %3").arg(shortNumber(lower), shortNumber(upper), tr("MHz")));
    const QSignalBlocker block(ui_->sbFreq);
    // 0 shows blank: no frequency.
    ui_->sbFreq->setRange(0.0, kEditorMax);
    ui_->sbFreq->setDecimals(4);
    const QSignalBlocker blockType(ui_->cbType);
    ui_->cbType->clear();
}

void RadioWidget::fillTypes() {
    const RadioConfig& r = RadioConfig::instance();
    const bool shown = LogicContext::radioTypeGroup(r.radioType()) == 4;
    ui_->lblType->setVisible(shown);
    ui_->cbType->setVisible(shown);
    const QSignalBlocker block(ui_->cbType);
    ui_->cbType->clear();
    for (const LF::Choice& c : LF::frequencyTypes(r.minFrequency(), r.maxFrequency())) {
        ui_->cbType->addItem(c.text, c.value);
    }
    selectData(ui_->cbType, band());
}

void RadioWidget::finishList(QComboBox* box, int supportIndex) {
    box->setEnabled(box->count() >= 2 && !requestPending_ &&
                    RadioConfig::instance().support(supportIndex) == 2);
}

void RadioWidget::fillProtocols() {
    const QSignalBlocker block(ui_->cbProtocol);
    ui_->cbProtocol->clear();
    for (const RadioProtocol& p : RadioConfig::instance().protocols()) {
        const QString name = LF::newRadioProtocolName(p.id);
        if (!name.isEmpty()) {
            ui_->cbProtocol->addItem(name, p.id);
        }
    }
    ui_->cbProtocol->setCurrentIndex(-1);
    finishList(ui_->cbProtocol, kProtocolSupport);
}

void RadioWidget::fillSpacings() {
    const RadioConfig& r = RadioConfig::instance();
    const bool shown = r.support(kSpacingSupport) != 0;
    ui_->lblSpacing->setVisible(shown);
    ui_->cbSpacing->setVisible(shown);
    ui_->lblKHz->setVisible(shown);
    if (!shown) {
        return;
    }
    const QSignalBlocker block(ui_->cbSpacing);
    ui_->cbSpacing->clear();
    for (int code : r.steppers()) {
        ui_->cbSpacing->addItem(tr("%1 KHz").arg(shortNumber(code * RadioConfig::stepperUnit())),
                                code);
    }
    ui_->cbSpacing->setCurrentIndex(-1);
    finishList(ui_->cbSpacing, kSpacingSupport);
}

void RadioWidget::fillBauds() {
    const RadioConfig& r = RadioConfig::instance();
    const bool shown = r.support(kBaudSupport) != 0;
    ui_->lblBaud->setVisible(shown);
    ui_->cbBaud->setVisible(shown);
    if (shown) {
        const QSignalBlocker block(ui_->cbBaud);
        ui_->cbBaud->clear();
        for (int baud : r.bauds(0, 0)) {
            ui_->cbBaud->addItem(tr("%1 b/s").arg(baud), baud);
        }
        ui_->cbBaud->setCurrentIndex(-1);
    }
    finishList(ui_->cbBaud, kBaudSupport);
    if (r.radioType() == 5) {
        ui_->cbBaud->setEnabled(false);
    }
}

void RadioWidget::updateBauds() {
    const RadioConfig& r = RadioConfig::instance();
    const QVariant protocol = ui_->cbProtocol->currentData();
    const QVariant spacing = ui_->cbSpacing->currentData();
    const std::vector<int> list =
        r.bauds(protocol.isValid() ? protocol.toInt() : 0, spacing.isValid() ? spacing.toInt() : 0);
    const QVariant shownBaud = ui_->cbBaud->currentData();
    {
        const QSignalBlocker block(ui_->cbBaud);
        ui_->cbBaud->clear();
        for (int baud : list) {
            ui_->cbBaud->addItem(tr("%1 b/s").arg(baud), baud);
        }
        // The rate shown before the rebuild stays when the new list has it.
        ui_->cbBaud->setCurrentIndex(ui_->cbBaud->findData(shownBaud));
    }
    finishList(ui_->cbBaud, kBaudSupport);
    if (r.radioType() == 5) {
        ui_->cbBaud->setEnabled(false);
    }
    if (list.size() == 1) {
        ui_->cbBaud->setCurrentIndex(0);
    }
}

void RadioWidget::fillPowers() {
    const RadioConfig& r = RadioConfig::instance();
    const bool shown = r.support(kPowerSupport) != 0;
    ui_->lblPower->setVisible(shown);
    ui_->cbPower->setVisible(shown);
    if (!shown) {
        return;
    }
    const QSignalBlocker block(ui_->cbPower);
    ui_->cbPower->clear();
    for (int code : r.powers()) {
        ui_->cbPower->addItem(tr("%1 w").arg(shortNumber(code * RadioConfig::powerUnit())), code);
    }
    ui_->cbPower->setCurrentIndex(-1);
    finishList(ui_->cbPower, kPowerSupport);
}

void RadioWidget::fillChannels(int bandCode) {
    channels_.clear();
    {
        const QSignalBlocker block(ui_->cbChannel);
        ui_->cbChannel->clear();
    }
    const RadioConfig& r = RadioConfig::instance();
    LF::ChannelLists radio;
    r.bandChannels(0, radio.high);
    r.bandChannels(1, radio.middle);
    r.bandChannels(2, radio.low);
    r.singleBandChannels(radio.single);
    LF::ChannelLists defaults;
    if (radio.high.empty() && radio.middle.empty() && radio.low.empty() && radio.single.empty()) {
        LogicContext::defaultChannelTables(defaults.single, defaults.high, defaults.middle,
                                           defaults.low);
    }
    channels_ = LF::channelsOfBand(bandCode, radio, defaults);
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        ui_->cbChannel->addItem(QString::number(i), static_cast<int>(i));
    }
    if (!channels_.empty()) {
        ui_->cbChannel->setCurrentIndex(-1);
        ui_->cbChannel->setCurrentIndex(0);
    }
}

// ---- Editors.

void RadioWidget::on_cbProtocol_currentIndexChanged(int) {
    markInput(0, ui_->cbProtocol);
    if (ui_->cbProtocol->currentData().toInt() == 4) {
        ui_->cbFEC->setVisible(RadioConfig::instance().support(kFecSupport) != 0);
        ui_->cbFEC->setChecked(true);
    } else {
        ui_->cbFEC->hide();
        ui_->cbFEC->setChecked(false);
    }
    updateBauds();
}

void RadioWidget::on_cbSpacing_currentIndexChanged(int) {
    const QVariant code = ui_->cbSpacing->currentData();
    if (code.isValid() && code.toInt() > 0) {
        ui_->sbFreq->setSingleStep(code.toInt() * RadioConfig::stepperUnit() * 0.001);
    }
    markInput(0, ui_->cbSpacing);
    updateBauds();
}

void RadioWidget::on_cbType_currentIndexChanged(int) {
    const QVariant type = ui_->cbType->currentData();
    if (!type.isValid()) {
        return;
    }
    const int index = ui_->cbChannel->currentIndex();
    fillChannels(type.toInt());
    if (index > 0 && static_cast<std::size_t>(index) < channels_.size()) {
        ui_->sbFreq->setValue(channels_[static_cast<std::size_t>(index)]);
    } else if (index == 0) {
        showFrequency(freeFreq_);
    }
}

void RadioWidget::on_cbChannel_currentIndexChanged(int index) {
    markInput(0, ui_->cbChannel);
    if (index < 0 || static_cast<std::size_t>(index) >= channels_.size()) {
        return;
    }
    const QSignalBlocker block(ui_->sbFreq);
    const int channel = ui_->cbChannel->itemData(index).toInt();
    if (channel >= 0 && static_cast<std::size_t>(channel) < channels_.size()) {
        double f = channels_[static_cast<std::size_t>(channel)];
        // Channel 0 is the free frequency: its entry 0 means the one reported or typed.
        if (channel == 0 && f == 0.0) {
            f = freeFreq_;
        }
        ui_->sbFreq->setValue(f);
        if (outsideBand(f) && f == readFreq_) {
            markInput(1, ui_->sbFreq);
        }
    }
    ui_->sbFreq->setEnabled(channel == 0);
}

void RadioWidget::on_sbFreq_valueChanged(double value) {
    markInput(0, ui_->sbFreq);
    if (channels_.empty()) {
        freeFreq_ = value;
        return;
    }
    const int channel = LF::channelOfFrequency(channels_, value);
    if (channel == 0) {
        freeFreq_ = value;
    }
    const QSignalBlocker block(ui_->cbChannel);
    ui_->cbChannel->setCurrentIndex(channel);
    ui_->sbFreq->setEnabled(channel == 0);
}

void RadioWidget::showFrequency(double mhz) {
    {
        const QSignalBlocker block(ui_->sbFreq);
        ui_->sbFreq->setValue(mhz);
    }
    // Also when the value shown is the same, so the channel and the lock follow the read.
    on_sbFreq_valueChanged(mhz);
    if (mhz == readFreq_ && outsideBand(mhz)) {
        // As reported, though outside the module's band: marked, and written back only as is.
        markInput(1, ui_->sbFreq);
    }
}

bool RadioWidget::outsideBand(double mhz) const {
    const RadioConfig& r = RadioConfig::instance();
    return mhz != 0.0 && (mhz < r.minFrequency() - 1e-9 || mhz > r.maxFrequency() + 1e-9);
}

void RadioWidget::on_cbBaud_currentIndexChanged(int) {
    markInput(0, ui_->cbBaud);
}

void RadioWidget::on_cbPower_currentIndexChanged(int) {
    markInput(0, ui_->cbPower);
}

void RadioWidget::on_cbSen_currentIndexChanged(int) {
    markInput(0, ui_->cbSen);
}

void RadioWidget::on_pbCallSign_clicked() {
    emit callSign(callSign_.b1, callSign_.b2, LF::newCallsignText(callSign_));
}

double RadioWidget::channelSpacing() const {
    const QVariant code = ui_->cbSpacing->currentData();
    int stepper = code.isValid() ? code.toInt() : RadioConfig::instance().stepper();
    if (stepper < 1) {
        stepper = RadioConfig::instance().defaultStepper();
    }
    return stepper * RadioConfig::stepperUnit() * 0.001;
}

void RadioWidget::snapFrequency() {
    const double value = ui_->sbFreq->value();
    if (!ui_->sbFreq->isEnabled() || value == 0.0) {
        return;
    }
    const RadioConfig& r = RadioConfig::instance();
    const double spacing = channelSpacing();
    if (LogicContext::isOffGrid(value, r.minFrequency(), spacing)) {
        const double snapped =
            LogicContext::snapToGrid(value, r.minFrequency(), r.maxFrequency(), spacing);
        ui_->sbFreq->setValue(LF::snappedOrKept(value, snapped));
    }
}

bool RadioWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->sbFreq) {
        if (event->type() == QEvent::FocusIn) {
            SipHelper::instance()->setVisible(true);
        } else if (event->type() == QEvent::FocusOut) {
            SipHelper::instance()->setVisible(false);
        }
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::Leave) {
            snapFrequency();
        }
    }
    return Widget::eventFilter(watched, event);
}

// ---- Applying.

int RadioWidget::checkInput() {
    bool ok = true;
    // Only a row the user can choose from must hold a choice: an empty or locked list is not
    // sent without one.
    const auto require = [this, &ok](QComboBox* box, bool needed) {
        if (needed && box->count() > 0 && box->isEnabledTo(ui_->groupBox) &&
            box->currentIndex() < 0) {
            markInput(1, box);
            ok = false;
        }
    };
    require(ui_->cbProtocol, true);
    require(ui_->cbSpacing, !ui_->cbSpacing->isHidden());
    require(ui_->cbBaud, !ui_->cbBaud->isHidden());
    require(ui_->cbPower, !ui_->cbPower->isHidden());
    require(ui_->cbSen, !ui_->cbSen->isHidden());
    const double f = ui_->sbFreq->value();
    if (f == 0.0) {
        markInput(1, ui_->sbFreq);
        ok = false;
    }
    if (!ok) {
        return 0;
    }
    // Outside the band only as the receiver reported it; a typed value must lie inside.
    if (outsideBand(f) && std::abs(f - readFreq_) > 1e-9) {
        const RadioConfig& r = RadioConfig::instance();
        markInput(1, ui_->sbFreq);
        Prompts::instance()->message(
            this, Prompts::Critical, tr("Error"),
            tr("Radio frq is out of %1 - %2!")
                .arg(shortNumber(r.minFrequency()), shortNumber(r.maxFrequency())),
            QMessageBox::Ok);
        return -1;
    }
    return 1;
}

void RadioWidget::applySettings() {
    const int checked = checkInput();
    if (checked == 0) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
    }
    if (checked != 1) {
        return;
    }
    // -1 (all ones) leaves a value out of the batch: a hidden row or one without a choice.
    const auto data = [](QComboBox* box) {
        const QVariant v = box->isHidden() ? QVariant() : box->currentData();
        return v.isValid() ? v.toInt() : -1;
    };
    requestPending_ = true;
    begin();
    DeviceManager::instance()->setRadioLinkSettings(
        data(ui_->cbProtocol), ui_->sbFreq->value(), ui_->cbAutoPower->isChecked(),
        static_cast<unsigned int>(data(ui_->cbSpacing)),
        static_cast<unsigned int>(data(ui_->cbBaud)), static_cast<unsigned int>(data(ui_->cbPower)),
        ui_->cbFEC->isChecked(), data(ui_->cbSen), callSignKnown_ ? &callSign_ : nullptr);
    if (setTimer_ > 0) {
        stop(setTimer_);
        end();
    }
    setTimer_ = startTimer(uiMs(kSetMs));
}

}  // namespace Varnok
