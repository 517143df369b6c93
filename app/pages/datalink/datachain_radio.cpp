#include "datachain_radio.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>

#include "device_observer.h"
#include "link_fields.h"
#include "logic_context.h"
#include "prompts.h"
#include "sip_helper.h"
#include "ui_datachain_radio.h"

namespace Varnok {

namespace LF = LinkFields;

namespace {

void fill(QComboBox* box, const QList<LF::Choice>& items) {
    QSignalBlocker block(box);
    box->clear();
    for (const LF::Choice& c : items) {
        box->addItem(c.text, c.value);
    }
    box->setCurrentIndex(-1);
}

int currentValue(const QComboBox* box, int none = 0) {
    const QVariant v = box->currentData();
    return v.isValid() ? v.toInt() : none;
}

constexpr int kChannelZeroLocked = 170;
// The editor holds whatever is typed, so Set can name the band instead of the spin box
// silently moving the value to an edge.
constexpr double kEditorMax = 9999.9999;

}  // namespace

DataChain_Radio::DataChain_Radio(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::DataChain_Radio>()) {
    ui_->setupUi(this);
    fill(ui_->cbType, LF::radioBands());
    fill(ui_->comboBox_sensitivity, LF::radioSensitivities());
    fill(ui_->comboBox_freqstep, LF::radioSpacings());
    ui_->label_sendPower->hide();
    ui_->comboBox_sendPower->hide();
    ui_->comboBox_sendPower->setCurrentIndex(-1);
    ui_->lineEdit_radioRange->setReadOnly(true);
    ui_->lblType->hide();
    ui_->cbType->hide();
    ui_->label_sensitivity->hide();
    ui_->comboBox_sensitivity->hide();
    ui_->checkBox_fec->hide();
    connect(ui_->comboBox_protocol_radio, &QComboBox::currentIndexChanged, this,
            &DataChain_Radio::onStepAndProChanged);
    connect(ui_->comboBox_protocol_radio, &QComboBox::currentIndexChanged, this,
            &DataChain_Radio::onProtocolChanged);
    connect(ui_->comboBox_freqstep, &QComboBox::currentIndexChanged, this,
            &DataChain_Radio::onStepAndProChanged);
    connect(ui_->comboBox_freqstep, &QComboBox::currentIndexChanged, this,
            &DataChain_Radio::onFreqStepChanged);
    connect(ui_->cbType, &QComboBox::currentIndexChanged, this,
            &DataChain_Radio::onChannelTypeChanged);
    connect(ui_->doubleSpinBox_currentFrq_RX, &QDoubleSpinBox::valueChanged, this,
            &DataChain_Radio::onFreqChanged);
    connect(ui_->comboBox_signalChannel_RX, &QComboBox::currentIndexChanged, this,
            &DataChain_Radio::onChannelChanged);
    ui_->doubleSpinBox_currentFrq_RX->installEventFilter(this);
    connect(ui_->checkBox_fec, &QCheckBox::clicked, this, [this] { fecKnown_ = true; });
}

DataChain_Radio::~DataChain_Radio() {
    connectObserverSignals(false);
}

QPushButton* DataChain_Radio::callsignButton() const {
    return ui_->pushButton_callsign;
}

void DataChain_Radio::setCallsign(const Radio_Callsign& callsign, bool valid) {
    callsign_ = callsign;
    callsignValid_ = valid;
    callsignCut_ = false;
}

void DataChain_Radio::clearEditors() {
    ui_->comboBox_protocol_radio->setCurrentIndex(-1);
    ui_->comboBox_signalChannel_RX->setCurrentIndex(-1);
    ui_->comboBox_sendPower->setCurrentIndex(-1);
    ui_->lineEdit_radioRange->clear();
    ui_->doubleSpinBox_currentFrq_RX->setValue(0);
    ui_->comboBox_baudrate->setCurrentIndex(ui_->comboBox_baudrate->count() == 1 ? 0 : -1);
    ui_->comboBox_sensitivity->setCurrentIndex(-1);
    ui_->comboBox_freqstep->setCurrentIndex(-1);
    ui_->checkBox_fec->setChecked(false);
}

void DataChain_Radio::connectObserverSignals(bool on) {
    static const Answer answers[] = {
        {SIGNAL(radioPower()), SLOT(onRadioPower())},
        {SIGNAL(radioBaudrate()), SLOT(onRadioBaudrate())},
        {SIGNAL(radioSensitive()), SLOT(onRadioSensitive())},
        {SIGNAL(radioFreqStep()), SLOT(onRadioFreqStep())},
        {SIGNAL(radioFEC()), SLOT(onRadioFEC())},
        {SIGNAL(radioCallsign()), SLOT(onRadioCallsign())},
        {SIGNAL(channelFreqs()), SLOT(onChannelFreqs())},
        {SIGNAL(channelTypes()), SLOT(onChannelTypes())},
        {SIGNAL(radioFreq()), SLOT(onRadioFreq())},
    };
    DeviceObserver* hub = on ? DeviceObserver::instance() : DeviceObserver::existingInstance();
    if (!hub) {
        return;
    }
    for (const Answer& a : answers) {
        disconnectSignal(hub, a.signal, this);
        if (on) {
            connectQueued(hub, this, a.signal, a.slot);
        }
    }
}

void DataChain_Radio::queryInfo() {
    DeviceManager* dm = DeviceManager::instance();
    const Radio_Info info = dm->radioInfo();
    fill(ui_->comboBox_protocol_radio, LF::radioProtocols(info.wordA));

    const LF::RadioCaps caps = LF::radioCaps(info.wordC);
    power_ = caps.power;
    baudReadable_ = caps.baudReadable;
    baudSettable_ = caps.baudSettable;
    sensitivity_ = caps.sensitivity;
    spacing_ = caps.spacing;
    fec_ = caps.fec;
    callsignFlag_ = caps.callsign;
    ui_->label_sendPower->setVisible(power_);
    ui_->comboBox_sendPower->setVisible(power_);
    ui_->label_sensitivity->setVisible(sensitivity_);
    ui_->comboBox_sensitivity->setVisible(sensitivity_);
    ui_->label_freqstep->setVisible(spacing_);
    ui_->comboBox_freqstep->setVisible(spacing_);
    ui_->label_freqstepkhz->setVisible(spacing_);
    ui_->checkBox_fec->setVisible(fec_);
    ui_->pushButton_callsign->setVisible(callsignFlag_);
    channelV2_ = dm->isRadioChannelV2();
    typesReported_ = dm->hasRadioChannelTypes();

    {
        QDoubleSpinBox* f = ui_->doubleSpinBox_currentFrq_RX;
        QSignalBlocker block(f);
        f->setDecimals(4);
        f->setRange(0, kEditorMax);
        f->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        ui_->lineEdit_radioRange->setText(LF::rangeText(info.lower, info.upper));
        if (!spacing_) {
            step_ = info.spacing * 0.001;
            f->setSingleStep(step_);
        }
    }

    asked_ = 0;
    answered_ = 0;
    frequencyAsked_ = false;
    // The record is the receiver's again only once its answer is in.
    callsignValid_ = false;
    callsignCut_ = false;
    fecKnown_ = false;

    QComboBox* baud = ui_->comboBox_baudrate;
    fill(baud, LF::radioBauds(dm->deviceInfo()->byte113));
    if (baud->count() == 1) {
        baud->setCurrentIndex(0);
    }
    baud->setEnabled(baudSettable_ && baud->count() > 1);
    if (baudReadable_ && baud->count() > 1) {
        asked_ |= kBaudBit;
        dm->queryRadioBaudrates();
    }
    if (sensitivity_) {
        asked_ |= kSensitivityBit;
        dm->sendRadioSensitivity();
    }
    if (spacing_) {
        asked_ |= kSpacingBit;
        dm->queryRadioChannelSpacing();
    }
    const double freq = dm->radioFrequency();
    // The mode answer's frequency code is counted in the radio's channel step, which a radio
    // with a spacing setting tells only in its spacing answer (20 kHz or 12.5 kHz): until the
    // frequency has been read again after it, none is known and Set refuses.
    if (spacing_) {
        asked_ |= kFrequencyBit;
    }
    freeFreq_ = spacing_ ? 0 : freq;
    {
        QSignalBlocker block(ui_->doubleSpinBox_currentFrq_RX);
        ui_->doubleSpinBox_currentFrq_RX->setValue(freeFreq_);
    }

    typeRowShown_ = !channelV2_ && RadioChannelsConfig::bandOfType(info.radioType) == 3;
    ui_->lblType->setVisible(typeRowShown_);
    ui_->cbType->setVisible(typeRowShown_);
    if (channelV2_) {
        asked_ |= kChannelFreqsBit;
        if (typesReported_) {
            asked_ |= kChannelTypesBit;
        }
        dm->queryRadioChannelList(spacing_, typesReported_);
    } else {
        const int band = RadioChannelsConfig::bandOfFrequency(freq, info.radioType);
        if (typeRowShown_) {
            QSignalBlocker block(ui_->cbType);
            ui_->cbType->setCurrentIndex(ui_->cbType->findData(band));
        }
        channels_.load(band, channelFreqs_);
        QSignalBlocker block(ui_->comboBox_signalChannel_RX);
        ui_->comboBox_signalChannel_RX->clear();
        for (std::size_t i = 0; i < channelFreqs_.size(); ++i) {
            ui_->comboBox_signalChannel_RX->addItem(QString::number(i), static_cast<int>(i));
        }
        ui_->comboBox_signalChannel_RX->setCurrentIndex(-1);
    }
    if (callsignFlag_) {
        asked_ |= kCallsignBit;
        dm->sendRadioCallsign();
    }
    if (fec_) {
        asked_ |= kFecBit;
        dm->sendRadioFec();
    }
    if (power_) {
        // No power is chosen until the radio's answer: one not read is never written.
        fill(ui_->comboBox_sendPower, LF::radioPowers(info.wordD));
        asked_ |= kPowerBit;
        dm->sendRadioPower();
    }
    if (asked_ == 0) {
        // Nothing to wait for: the frequency the mode answer brought is all there is.
        showFrequency(freq);
        emit gotData();
    }
}

void DataChain_Radio::answer(unsigned bit) {
    answered_ |= bit;
    if (answered_ == asked_) {
        completeQuery();
    }
}

void DataChain_Radio::onRadioPower() {
    QComboBox* box = ui_->comboBox_sendPower;
    box->setCurrentIndex(box->findData(DeviceManager::instance()->radioPower()));
    answer(kPowerBit);
}

void DataChain_Radio::onRadioBaudrate() {
    QComboBox* box = ui_->comboBox_baudrate;
    box->setCurrentIndex(box->findData(DeviceManager::instance()->radioBaudrate()));
    answer(kBaudBit);
}

void DataChain_Radio::onRadioSensitive() {
    QComboBox* box = ui_->comboBox_sensitivity;
    box->setCurrentIndex(box->findData(DeviceManager::instance()->radioSensitivity()));
    answer(kSensitivityBit);
}

void DataChain_Radio::onRadioFreqStep() {
    answered_ |= kSpacingBit;
    const int space = DeviceManager::instance()->radioChannelSpace();
    QComboBox* box = ui_->comboBox_freqstep;
    const int index = box->findData(space);
    box->setCurrentIndex(index);
    if (index < 0) {
        // 20 kHz has no item: its step and the channel-0 lock still hold.
        applySpacing(space);
        onStepAndProChanged();
    }
    if ((asked_ & kFrequencyBit) != 0 && !frequencyAsked_) {
        // The session now decodes the frequency code with the radio's own step.
        frequencyAsked_ = true;
        DeviceManager::instance()->queryDataLinkMode();
    }
    answer(kSpacingBit);
}

void DataChain_Radio::onRadioFreq() {
    // Only the answer to the question asked after the spacing: an earlier one may have been
    // decoded with another step.
    if (!frequencyAsked_ || (answered_ & kFrequencyBit) != 0) {
        return;
    }
    freeFreq_ = DeviceManager::instance()->radioFrequency();
    showFrequency(freeFreq_);
    answer(kFrequencyBit);
}

void DataChain_Radio::showFrequency(double f) {
    readFreq_ = f;
    {
        QSignalBlocker block(ui_->doubleSpinBox_currentFrq_RX);
        ui_->doubleSpinBox_currentFrq_RX->setValue(f);
    }
    // Run even when the value is the one shown already, so the channel and the editor's lock
    // follow the read.
    onFreqChanged(f);
    // Shown as read even past the band; Set refuses it until the user types one inside.
    double lower = 0, upper = 0, step = 0;
    DeviceManager::instance()->radioFreqRange(lower, upper, step);
    if (f != 0 && (f < lower || f > upper)) {
        markInput(1, ui_->doubleSpinBox_currentFrq_RX);
    }
}

void DataChain_Radio::onRadioFEC() {
    ui_->checkBox_fec->setChecked(DeviceManager::instance()->radioFec() != 0);
    fecKnown_ = true;
    answer(kFecBit);
}

void DataChain_Radio::onRadioCallsign() {
    callsign_ = *DeviceManager::instance()->radioCallsign();
    // A cut call sign is shown but never written back as if it had been read.
    callsignCut_ =
        DeviceManager::instance()->textLengths().callsign > static_cast<int>(sizeof callsign_.text);
    callsignValid_ = !callsignCut_;
    answer(kCallsignBit);
}

void DataChain_Radio::onChannelFreqs() {
    answer(kChannelFreqsBit);
}

void DataChain_Radio::onChannelTypes() {
    answer(kChannelTypesBit);
}

double DataChain_Radio::channelUnit() {
    DeviceManager* dm = DeviceManager::instance();
    const Radio_Info info = dm->radioInfo();
    return LF::channelUnit(LF::radioCaps(info.wordC).spacing, dm->radioChannelSpace(),
                           info.spacing);
}

void DataChain_Radio::completeQuery() {
    DeviceManager* dm = DeviceManager::instance();
    if (channelV2_) {
        const std::vector<double> numbers = dm->channelFreqs();
        channelFreqs_.clear();
        channelTypes_.clear();
        ui_->lblFreqTips->setVisible(typesReported_);
        QSignalBlocker block(ui_->comboBox_signalChannel_RX);
        ui_->comboBox_signalChannel_RX->clear();
        if (typesReported_) {
            channelTypes_ = dm->channelTypes();
        }
        const double unit = channelUnit();
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            channelFreqs_.push_back(numbers[i] * unit);
            ui_->comboBox_signalChannel_RX->addItem(QString::number(i), static_cast<int>(i));
        }
    }
    if ((asked_ & kFrequencyBit) == 0) {
        freeFreq_ = dm->radioFrequency();
    }
    showFrequency(freeFreq_);
    emit gotData();
}

int DataChain_Radio::spacingValue() const {
    const QVariant v = ui_->comboBox_freqstep->currentData();
    if (v.isValid()) {
        return v.toInt();
    }
    return (answered_ & kSpacingBit) ? DeviceManager::instance()->radioChannelSpace() : -1;
}

void DataChain_Radio::applySpacing(int value) {
    const double step = LF::spacingStep(value);
    QDoubleSpinBox* f = ui_->doubleSpinBox_currentFrq_RX;
    if (step > 0) {
        f->setSingleStep(step);
        step_ = step;
    }
    if (step_ > 0) {
        const Radio_Info info = DeviceManager::instance()->radioInfo();
        QSignalBlocker block(f);
        const double v = f->value();
        f->setValue(
            LF::snappedOrKept(v, LogicContext::snapToGrid(v, info.lower, info.upper, step_)));
    }
    ui_->comboBox_signalChannel_RX->setEnabled(true);
    if (value == 1) {
        ui_->comboBox_signalChannel_RX->setCurrentIndex(0);
        ui_->comboBox_signalChannel_RX->setEnabled(false);
    }
}

void DataChain_Radio::onFreqStepChanged(int index) {
    markInput(0, ui_->comboBox_freqstep);
    if (index < 0) {
        return;
    }
    applySpacing(ui_->comboBox_freqstep->itemData(index).toInt());
}

void DataChain_Radio::onStepAndProChanged() {
    if (!spacing_ || ui_->comboBox_baudrate->count() == 1) {
        return;
    }
    int baud = -1;
    const int space = spacingValue();
    if (space >= 0) {
        bauds_.load(space, currentValue(ui_->comboBox_protocol_radio, -1), baud);
    }
    ui_->comboBox_baudrate->setCurrentIndex(ui_->comboBox_baudrate->findData(baud));
}

void DataChain_Radio::onProtocolChanged(int index) {
    markInput(0, ui_->comboBox_protocol_radio);
    const int value = ui_->comboBox_protocol_radio->itemData(index).toInt();
    ui_->checkBox_fec->setVisible(index >= 0 && value == 8 && fec_);
}

void DataChain_Radio::on_comboBox_sendPower_currentIndexChanged() {
    markInput(0, ui_->comboBox_sendPower);
}

void DataChain_Radio::selectProtocol(int mode) {
    QComboBox* box = ui_->comboBox_protocol_radio;
    box->setCurrentIndex(mode == 0 ? (box->count() > 0 ? 0 : -1) : box->findData(mode));
}

void DataChain_Radio::enableFrequencyFor(int channel) {
    if (channel < 0) {
        return;
    }
    const bool locked = DeviceManager::instance()->deviceInfo()->byte109 == kChannelZeroLocked;
    ui_->doubleSpinBox_currentFrq_RX->setEnabled(channel == 0 && !locked);
}

void DataChain_Radio::applyChannel() {
    const int index = ui_->comboBox_signalChannel_RX->currentIndex();
    // After a refill the combo may point nowhere, or past a shorter band list.
    if (index < 0 || index >= static_cast<int>(channelFreqs_.size())) {
        return;
    }
    const int channel = ui_->comboBox_signalChannel_RX->itemData(index).toInt();
    double f = channelFreqs_[static_cast<std::size_t>(index)];
    // Channel 0 is the radio's own frequency (or the one typed for it), not its list entry.
    if (channel == 0 && freeFreq_ != 0) {
        f = freeFreq_;
    }
    {
        QSignalBlocker block(ui_->doubleSpinBox_currentFrq_RX);
        ui_->doubleSpinBox_currentFrq_RX->setValue(f);
    }
    enableFrequencyFor(channel);
}

void DataChain_Radio::onChannelChanged(int index) {
    if (index < 0 || channelFreqs_.empty()) {
        return;
    }
    applyChannel();
    const int v = ui_->comboBox_signalChannel_RX->itemData(index).toInt();
    if (v >= 0 && v < static_cast<int>(channelTypes_.size())) {
        ui_->lblFreqTips->setText(LF::channelUseText(channelTypes_[static_cast<std::size_t>(v)],
                                                     LogicContext::radioCanTransmit()));
    }
    if (v == 0 && typeRowShown_) {
        {
            QSignalBlocker block(ui_->cbType);
            ui_->cbType->setCurrentIndex(-1);
        }
        ui_->cbType->setCurrentIndex(ui_->cbType->findData(1));
    }
}

void DataChain_Radio::onChannelTypeChanged(int index) {
    if (index < 0) {
        return;
    }
    channels_.load(ui_->cbType->itemData(index).toInt(), channelFreqs_);
    applyChannel();
}

int DataChain_Radio::findChannel(double f) const {
    for (std::size_t i = 0; i < channelFreqs_.size(); ++i) {
        if (std::fabs(channelFreqs_[i] - f) < 0.00001) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void DataChain_Radio::onFreqChanged(double f) {
    markInput(0, ui_->doubleSpinBox_currentFrq_RX);
    if (channelFreqs_.empty()) {
        freeFreq_ = f;
        return;
    }
    // A 20 kHz radio stays on channel 0: the fixed channels sit on another grid.
    const int k = spacingValue() == 1 ? -1 : findChannel(f);
    if (k <= 0) {
        freeFreq_ = f;
    }
    {
        QSignalBlocker block(ui_->comboBox_signalChannel_RX);
        ui_->comboBox_signalChannel_RX->setCurrentIndex(k >= 0 ? k : 0);
    }
    enableFrequencyFor(k >= 0 ? k : 0);
    updateChannelTypeByFreq(f);
}

void DataChain_Radio::updateChannelTypeByFreq(double f) {
    const int k = findChannel(f);
    const int band = k >= 1 ? RadioChannelsConfig::bandOfFrequency(
                                  f, DeviceManager::instance()->radioInfo().radioType)
                            : 2;
    QSignalBlocker block(ui_->cbType);
    ui_->cbType->setCurrentIndex(ui_->cbType->findData(band));
}

void DataChain_Radio::snapEditor() {
    QDoubleSpinBox* f = ui_->doubleSpinBox_currentFrq_RX;
    const double value = f->value();
    // The value read stays as read, off the grid too: a focus change never alters it.
    if (!f->isEnabled() || value == 0 || value == readFreq_) {
        return;
    }
    double lower = 0, upper = 0, step = 0;
    DeviceManager::instance()->radioFreqRange(lower, upper, step);
    if (LogicContext::isOffGrid(value, lower, step_)) {
        f->setValue(LF::snappedOrKept(value, LogicContext::snapToGrid(value, lower, upper, step_)));
    }
}

bool DataChain_Radio::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->doubleSpinBox_currentFrq_RX) {
        if (event->type() == QEvent::FocusIn) {
            SipHelper::instance()->setVisible(true);
        } else if (event->type() == QEvent::FocusOut) {
            SipHelper::instance()->setVisible(false);
        }
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::Leave) {
            snapEditor();
        }
    }
    return Widget::eventFilter(watched, event);
}

void DataChain_Radio::mousePressEvent(QMouseEvent* event) {
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    Widget::mousePressEvent(event);
}

int DataChain_Radio::checkInput() {
    bool missing = false;
    auto mark = [this, &missing](QWidget* w) {
        markInput(1, w);
        missing = true;
    };
    if (ui_->comboBox_protocol_radio->currentIndex() < 0) {
        mark(ui_->comboBox_protocol_radio);
    }
    if (power_ && ui_->comboBox_sendPower->currentIndex() < 0) {
        mark(ui_->comboBox_sendPower);
    }
    const double f = ui_->doubleSpinBox_currentFrq_RX->value();
    if (f == 0) {
        mark(ui_->doubleSpinBox_currentFrq_RX);
    }
    if (baudSettable_ && ui_->comboBox_baudrate->currentIndex() < 0) {
        mark(ui_->comboBox_baudrate);
    }
    if (sensitivity_ && ui_->comboBox_sensitivity->currentIndex() < 0) {
        mark(ui_->comboBox_sensitivity);
    }
    // Without an item or the radio's own answer, a Set would switch the spacing to 12.5 kHz.
    if (spacing_ && spacingValue() < 0) {
        mark(ui_->comboBox_freqstep);
    }
    if (missing) {
        return 0;
    }
    double lower = 0, upper = 0, step = 0;
    DeviceManager::instance()->radioFreqRange(lower, upper, step);
    if (f < lower || f > upper) {
        markInput(1, ui_->doubleSpinBox_currentFrq_RX);
        Prompts::instance()->message(
            this, Prompts::Critical, tr("Error"),
            tr("Radio frq is out of %1 - %2!")
                .arg(QString::number(lower, 'g', 6), QString::number(upper, 'g', 6)),
            QMessageBox::Ok);
        return -1;
    }
    const int v = currentValue(ui_->comboBox_signalChannel_RX, -1);
    if (typesReported_ && v >= 0 && v < static_cast<int>(channelTypes_.size()) &&
        channelTypes_[static_cast<std::size_t>(v)] == 3) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Radio frequency is disable."), QMessageBox::Ok);
        return -1;
    }
    return 1;
}

void DataChain_Radio::setInfo() {
    const int power = ui_->comboBox_sendPower->currentText().isEmpty()
                          ? 0
                          : currentValue(ui_->comboBox_sendPower);
    const int space = spacingValue();
    DeviceManager::instance()->setRadioSettings(
        static_cast<Rdo_Mdl>(currentValue(ui_->comboBox_protocol_radio)),
        ui_->doubleSpinBox_currentFrq_RX->value(), static_cast<Radio_Power>(power),
        static_cast<Radio_Baudrate>(currentValue(ui_->comboBox_baudrate)),
        static_cast<Rdo_Sensitv>(currentValue(ui_->comboBox_sensitivity)),
        static_cast<Channel_Space>(space < 0 ? 0 : space), ui_->checkBox_fec->isChecked(),
        callsignValid_ ? &callsign_ : nullptr, fecKnown_);
}

void DataChain_Radio::setEditorsEnabled(bool enabled) {
    setEnabled(enabled);
}

}  // namespace Varnok
