#include "radio_channel_widget_v2.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScrollArea>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

#include "device_manager.h"
#include "logic_context.h"
#include "login_dialog.h"
#include "password_store.h"
#include "prompts.h"
#include "timer_scale.h"

namespace Varnok {

// A frequency spin box that can show a text of its own in place of its value: nothing while
// a read is out, or a received frequency outside the radio's range (which the spin box would
// otherwise clamp).
class ChannelFrequencyEditor : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    void showText(const QString& text) {
        override_ = true;
        text_ = text;
        refresh();
    }
    void showValue(double mhz) {
        override_ = false;
        setValue(mhz);
        refresh();
    }
    void dropText() {
        if (!override_) {
            return;
        }
        override_ = false;
        // While the user types, the line edit holds their text: rewriting it would cut the
        // digits still to come (463.02 would stop at 463).
        if (lineEdit()->text() == text_) {
            refresh();
        }
    }
    bool showsText() const { return override_; }

protected:
    QString textFromValue(double value) const override {
        return override_ ? text_ : QDoubleSpinBox::textFromValue(value);
    }

private:
    void refresh() { lineEdit()->setText(textFromValue(value())); }

    bool override_ = false;
    QString text_;
};

namespace {

// A soft tint, not the red of an invalid entry: nothing is wrong with the value.
void markKeptAsRead(QWidget* editor) {
    QPalette palette = editor->palette();
    palette.setBrush(QPalette::All, QPalette::Base, QBrush(QColor(255, 236, 179)));
    editor->setPalette(palette);
}

constexpr double kDefaultLower = 450.0;
constexpr double kDefaultUpper = 470.0;
constexpr double kDefaultStep = 0.0125;
constexpr int kHeaderRows = 2;
// Channel use codes: receive and transmit, receive only, transmit only, neither.
constexpr int kRxTx = 0, kRxOnly = 1, kTxOnly = 2, kNeither = 3;

}  // namespace

RadioChannelWidget_V2::RadioChannelWidget_V2(QWidget* parent) : Widget(parent) {
    setupTable();
    createActions();
    setWindowTitle(tr("Radio Channel"));
}

RadioChannelWidget_V2::~RadioChannelWidget_V2() {
    clearActions();
}

void RadioChannelWidget_V2::setupTable() {
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* body = new QWidget(scroll);
    grid_ = new QGridLayout(body);
    grid_->setHorizontalSpacing(4);
    grid_->setVerticalSpacing(4);
    grid_->setContentsMargins(0, 0, 0, 0);

    grid_->addWidget(new QLabel(body), 0, 0, 2, 1);
    auto* frequency = new QLabel(tr("Frequency(MHz)"), body);
    frequency->setAlignment(Qt::AlignCenter);
    grid_->addWidget(frequency, 0, 1, 2, 1);
    property_ = new QLabel(tr("Property"), body);
    property_->setAlignment(Qt::AlignCenter);
    grid_->addWidget(property_, 0, 2, 1, 2);
    allRx_ = new QCheckBox(tr("All"), body);
    allTx_ = new QCheckBox(tr("All"), body);
    grid_->addWidget(allRx_, 1, 2, Qt::AlignCenter);
    grid_->addWidget(allTx_, 1, 3, Qt::AlignCenter);
    connect(allRx_, &QCheckBox::stateChanged, this, &RadioChannelWidget_V2::onSelectAllRX);
    connect(allTx_, &QCheckBox::stateChanged, this, &RadioChannelWidget_V2::onSelectAllTX);

    for (int ch = 0; ch < kChannels; ++ch) {
        Row& row = rows_[static_cast<size_t>(ch)];
        const int r = kHeaderRows + ch;
        auto* number = new QLabel(QString::number(ch), body);
        number->setAlignment(Qt::AlignCenter);
        grid_->addWidget(number, r, 0);
        row.editor = new ChannelFrequencyEditor(body);
        row.editor->setDecimals(4);
        row.editor->setRange(kDefaultLower, kDefaultUpper);
        row.editor->setSingleStep(kDefaultStep);
        row.editor->installEventFilter(this);
        connect(row.editor, &QDoubleSpinBox::valueChanged, this,
                [this, ch](double) { onEditorChanged(ch); });
        grid_->addWidget(row.editor, r, 1);
        row.rx = new QCheckBox(tr("RX"), body);
        row.tx = new QCheckBox(tr("TX"), body);
        grid_->addWidget(row.rx, r, 2, Qt::AlignCenter);
        grid_->addWidget(row.tx, r, 3, Qt::AlignCenter);
        connect(row.rx, &QCheckBox::stateChanged, this, &RadioChannelWidget_V2::onRXStateChanged);
        connect(row.tx, &QCheckBox::stateChanged, this, &RadioChannelWidget_V2::onTXStateChanged);
    }
    grid_->setColumnStretch(1, 1);
    grid_->setRowStretch(kHeaderRows + kChannels, 1);
    scroll->setWidget(body);
    outer->addWidget(scroll);
}

void RadioChannelWidget_V2::createActions() {
    if (PasswordStore::instance().fileExists()) {
        login_ = createAction(tr("Login"), this);
        connect(login_, &QAction::triggered, this, &RadioChannelWidget_V2::onLogin);
    }
    set_ = createAction(tr("Set"), this);
    connect(set_, &QAction::triggered, this, &RadioChannelWidget_V2::onSet);
    set_->setEnabled(false);
}

QDoubleSpinBox* RadioChannelWidget_V2::frequencyEditor(int channel) const {
    return channel >= 0 && channel < kChannels ? rows_[static_cast<size_t>(channel)].editor
                                               : nullptr;
}

QCheckBox* RadioChannelWidget_V2::rxBox(int channel) const {
    return channel >= 0 && channel < kChannels ? rows_[static_cast<size_t>(channel)].rx : nullptr;
}

QCheckBox* RadioChannelWidget_V2::txBox(int channel) const {
    return channel >= 0 && channel < kChannels ? rows_[static_cast<size_t>(channel)].tx : nullptr;
}

bool RadioChannelWidget_V2::isOutsideRange(int channel) const {
    return channel >= 0 && channel < kChannels && rows_[static_cast<size_t>(channel)].outside;
}

// The receiver counts its channel table in 20 kHz steps on a 20 kHz radio and in 12.5 kHz
// steps otherwise, a 25 kHz radio included: the write (Set_Radio_Channel_Freq) takes the same
// 12.5 kHz step for the 25 kHz code, so a channel read and written back keeps its frequency.
double RadioChannelWidget_V2::frequencyStep() {
    const DeviceManager* m = DeviceManager::instance();
    if (LogicContext::radioHasChannelSpacing()) {
        return m->radioChannelSpace() == 1 ? 0.02 : 0.0125;
    }
    const double s = m->radioInfo().spacing * 0.001;
    return std::fabs(s - 0.02) <= 0.0001 ? 0.02 : 0.0125;
}

int RadioChannelWidget_V2::spacingCode() {
    return LogicContext::channelSpaceCode();
}

void RadioChannelWidget_V2::activate() {
    infoAsked_ = false;
    setupForRadio();
    applyLoginState();
    onGet();
}

void RadioChannelWidget_V2::setupForRadio() {
    const DeviceManager* m = DeviceManager::instance();
    const bool types = m->hasRadioChannelTypes();
    const bool transmit = LogicContext::radioCanTransmit();
    property_->setVisible(types);
    allRx_->setVisible(types);
    allTx_->setVisible(types && transmit);
    const Radio_Info info = m->radioInfo();
    // Before the receiver told its band the editors keep a sane one.
    const bool band =
        std::isfinite(info.lower) && std::isfinite(info.upper) && info.lower < info.upper;
    const double step =
        std::isfinite(info.spacing) && info.spacing > 0 ? info.spacing * 0.001 : frequencyStep();
    filling_ = true;
    for (Row& row : rows_) {
        row.editor->setRange(band ? info.lower : kDefaultLower, band ? info.upper : kDefaultUpper);
        row.editor->setSingleStep(step);
        row.rx->setVisible(types);
        row.tx->setVisible(types && transmit);
    }
    filling_ = false;
}

void RadioChannelWidget_V2::applyLoginState() {
    const bool logged = PasswordStore::instance().isLoggedIn();
    const bool transmit = LogicContext::radioCanTransmit();
    set_->setEnabled(logged && readComplete_ && isEnabled());
    allRx_->setEnabled(logged);
    allTx_->setEnabled(logged && transmit);
    for (Row& row : rows_) {
        row.editor->setEnabled(logged);
        row.rx->setEnabled(logged);
        row.tx->setEnabled(logged && transmit);
    }
}

void RadioChannelWidget_V2::onGet() {
    DeviceManager* m = DeviceManager::instance();
    // The channels' step is the radio's: a receiver connected without its radio's type (no
    // modem version asked yet) is asked for it first, or a 20 kHz radio's table would be
    // read and written in 12.5 kHz counts.
    const Radio_Info info = m->radioInfo();
    if (!m->isNewProtocolReceiver() && info.radioType == 0 && info.wordC == 0 && !infoAsked_) {
        infoAsked_ = true;
        readComplete_ = false;
        clearTable();
        const Answer radio{SIGNAL(radioInfo()), SLOT(onRadioInfo())};
        startQuery(kQueryMs, {radio}, [m] { m->queryRadioInfo(); });
        return;
    }
    typesExpected_ = m->hasRadioChannelTypes();
    const bool spacing = LogicContext::radioHasChannelSpacing();
    readComplete_ = false;
    clearTable();
    const Answer freqs{SIGNAL(channelFreqs()), SLOT(onChannelFreqs())};
    const Answer types{SIGNAL(channelTypes()), SLOT(onChannelTypes())};
    const Answer step{SIGNAL(radioFreqStep()), SLOT(onFreqStep())};
    const bool withTypes = typesExpected_;
    auto ask = [m, spacing, withTypes] { m->queryRadioChannelList(spacing, withTypes); };
    typesIndex_ = typesExpected_ ? 1 : -1;
    spacingIndex_ = spacing ? (typesExpected_ ? 2 : 1) : -1;
    if (typesExpected_ && spacing) {
        startQuery(kQueryMs, {freqs, types, step}, ask);
    } else if (typesExpected_) {
        startQuery(kQueryMs, {freqs, types}, ask);
    } else if (spacing) {
        startQuery(kQueryMs, {freqs, step}, ask);
    } else {
        startQuery(kQueryMs, {freqs}, ask);
    }
}

void RadioChannelWidget_V2::clearTable() {
    filling_ = true;
    allRx_->setChecked(false);
    allTx_->setChecked(false);
    for (Row& row : rows_) {
        row.editor->showText(QString());
        markInput(0, row.editor);
        row.editor->setToolTip(QString());
        row.rx->setChecked(false);
        row.tx->setChecked(false);
        row.known = row.edited = row.outside = false;
        row.typeKnown = row.typeEdited = false;
        row.typeRead = kNeither;
    }
    filling_ = false;
}

void RadioChannelWidget_V2::onRadioInfo() {
    if (answerArrived(0)) {
        setupForRadio();
        onGet();
    }
}

void RadioChannelWidget_V2::onFreqStep() {
    if (spacingIndex_ >= 0 && answerArrived(spacingIndex_)) {
        showAnswers();
    }
}

void RadioChannelWidget_V2::onChannelTypes() {
    if (typesIndex_ >= 0 && answerArrived(typesIndex_)) {
        showAnswers();
    }
}

void RadioChannelWidget_V2::onChannelFreqs() {
    if (answerArrived(0)) {
        showAnswers();
    }
}

void RadioChannelWidget_V2::showAnswers() {
    // The query has ended in the page base: timer stopped, answers cut, editors back.
    filling_ = true;
    showFrequencies();
    if (typesExpected_) {
        showChannelTypes();
    }
    filling_ = false;
    readComplete_ = true;
    applyLoginState();
}

void RadioChannelWidget_V2::showFrequencies() {
    const double step = frequencyStep();
    std::vector<double> values;
    DeviceManager::instance()->channelFreqs(values);
    const size_t n = std::min(values.size(), rows_.size());
    for (size_t i = 0; i < n; ++i) {
        Row& row = rows_[i];
        const double mhz = values[i] * step;
        row.known = true;
        row.received = mhz;
        row.outside = mhz < row.editor->minimum() - 1e-9 || mhz > row.editor->maximum() + 1e-9;
        if (row.outside) {
            // Shown as read and marked; it goes back unchanged unless the user edits it.
            row.editor->setValue(row.editor->minimum());
            row.editor->showText(QString::number(mhz, 'f', 4));
            markKeptAsRead(row.editor);
            row.editor->setToolTip(tr("Outside the radio's range: kept as read"));
        } else {
            row.editor->showValue(mhz);
        }
    }
}

void RadioChannelWidget_V2::showChannelTypes() {
    std::vector<int> types;
    DeviceManager::instance()->channelTypes(types);
    const bool transmit = LogicContext::radioCanTransmit();
    bool allRx = true;
    bool allTx = true;
    const size_t n = std::min(types.size(), rows_.size());
    for (size_t i = 0; i < n; ++i) {
        Row& row = rows_[i];
        const int code = types[i];
        row.typeKnown = true;
        row.typeRead = code;
        const bool rx = code == kRxTx || code == kRxOnly;
        row.rx->setChecked(rx);
        allRx = allRx && rx;
        if (transmit) {
            const bool tx = code == kRxTx || code == kTxOnly;
            row.tx->setChecked(tx);
            allTx = allTx && tx;
        }
    }
    allRx_->setChecked(allRx);
    allTx_->setChecked(allTx);
}

int RadioChannelWidget_V2::typeCodeOf(int channel) const {
    const Row& row = rows_[static_cast<size_t>(channel)];
    const bool rx = row.rx->isChecked();
    // With no TX column the user cannot see or change the transmit bit: it goes back as read.
    const bool tx = LogicContext::radioCanTransmit()
                        ? row.tx->isChecked()
                        : row.typeKnown && (row.typeRead == kRxTx || row.typeRead == kTxOnly);
    if (rx && tx) {
        return kRxTx;
    }
    if (rx) {
        return kRxOnly;
    }
    return tx ? kTxOnly : kNeither;
}

void RadioChannelWidget_V2::onSet() {
    if (!PasswordStore::instance().isLoggedIn() || !readComplete_) {
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    DeviceManager* m = DeviceManager::instance();
    const auto space = static_cast<Channel_Space>(spacingCode());
    const bool types = m->hasRadioChannelTypes();
    for (int ch = 0; ch < kChannels; ++ch) {
        // An editor still being typed in is put on the grid here, in view, before it is sent.
        snapEditor(ch);
    }
    for (int ch = 0; ch < kChannels; ++ch) {
        Row& row = rows_[static_cast<size_t>(ch)];
        // A row the receiver did not report and the user did not touch is left alone.
        if (!row.known && !row.edited) {
            continue;
        }
        const double mhz = row.edited ? row.editor->value() : row.received;
        m->setRadioChannelFreq(ch, mhz, space);
        row.known = true;
        row.received = mhz;
        row.edited = false;
        // The boxes show the use as read unless the user changed them.
        if (types && (row.typeKnown || row.typeEdited)) {
            const int code = typeCodeOf(ch);
            m->setRadioChannelType(ch, static_cast<Rdo_Channel_Type>(code));
            row.typeRead = code;
            row.typeKnown = true;
            row.typeEdited = false;
        }
    }
    stopTimer(setTimer_);
    setTimer_ = startTimer(uiMs(kSetMs));
}

void RadioChannelWidget_V2::onLogin() {
    LoginDialog dialog(nullptr);
    execDialog(&dialog);
    applyLoginState();
}

void RadioChannelWidget_V2::onEditorChanged(int channel) {
    if (filling_) {
        return;
    }
    Row& row = rows_[static_cast<size_t>(channel)];
    row.edited = true;
    if (row.outside) {
        row.outside = false;
        markInput(0, row.editor);
        row.editor->setToolTip(QString());
    }
    row.editor->dropText();
}

void RadioChannelWidget_V2::setAllBox(QCheckBox* all, bool checked) {
    const bool blocked = all->blockSignals(true);
    all->setChecked(checked);
    all->blockSignals(blocked);
}

void RadioChannelWidget_V2::onRXStateChanged(int) {
    bool all = true;
    for (size_t i = 0; i < rows_.size(); ++i) {
        all = all && rows_[i].rx->isChecked();
        if (!filling_ && sender() == rows_[i].rx) {
            rows_[i].typeEdited = true;
        }
    }
    setAllBox(allRx_, all);
}

void RadioChannelWidget_V2::onTXStateChanged(int) {
    bool all = true;
    for (size_t i = 0; i < rows_.size(); ++i) {
        all = all && rows_[i].tx->isChecked();
        if (!filling_ && sender() == rows_[i].tx) {
            rows_[i].typeEdited = true;
        }
    }
    setAllBox(allTx_, all);
}

void RadioChannelWidget_V2::onSelectAllRX(int state) {
    if (filling_) {
        return;
    }
    for (Row& row : rows_) {
        row.rx->setChecked(state == Qt::Checked);
    }
}

void RadioChannelWidget_V2::onSelectAllTX(int state) {
    if (filling_) {
        return;
    }
    for (Row& row : rows_) {
        row.tx->setChecked(state == Qt::Checked);
    }
}

bool RadioChannelWidget_V2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut) {
        for (int ch = 0; ch < kChannels; ++ch) {
            if (watched == rows_[static_cast<size_t>(ch)].editor) {
                snapEditor(ch);
                break;
            }
        }
    }
    return Widget::eventFilter(watched, event);
}

void RadioChannelWidget_V2::snapEditor(int channel) {
    Row& row = rows_[static_cast<size_t>(channel)];
    // Only what the user typed is moved onto the grid; a value as read stays as read.
    row.editor->interpretText();
    if (!row.edited) {
        return;
    }
    double lower = 0, upper = 0, rangeStep = 0;
    DeviceManager::instance()->radioFreqRange(lower, upper, rangeStep);
    const double step = frequencyStep();
    const double value = row.editor->value();
    if (LogicContext::isOffGrid(value, lower, step)) {
        const double snapped = LogicContext::snapToGrid(value, lower, upper, step);
        if (snapped != -1.0) {
            row.editor->setValue(snapped);
        }
    }
}

void RadioChannelWidget_V2::setEditorsEnabled(bool enabled) {
    setEnabled(enabled);
    if (login_) {
        login_->setEnabled(enabled);
    }
    set_->setEnabled(enabled && PasswordStore::instance().isLoggedIn() && readComplete_);
    Widget::setEditorsEnabled(enabled);
}

void RadioChannelWidget_V2::timerEvent(QTimerEvent* event) {
    if (event->timerId() != setTimer_ || setTimer_ < 1) {
        Widget::timerEvent(event);
        return;
    }
    stopTimer(setTimer_);
    setTimer_ = -1;
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void RadioChannelWidget_V2::deactivate() {
    leave();
    stopTimer(setTimer_);
    setTimer_ = -1;
    setWaitCursor(false);
    readComplete_ = false;
    setEditorsEnabled(true);
}

}  // namespace Varnok
