#include "rtk_params_widget.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QIntValidator>
#include <QTimerEvent>

#include <cmath>
#include <limits>

#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_rtk_params_widget.h"

namespace Varnok {

namespace {

constexpr int kSecondsDecimals = 4;
constexpr int kElevBit = 1;
constexpr int kBaseBit = 2;
constexpr int kDiffBit = 4;
constexpr int kPdopBit = 8;
constexpr int kIoBit = 16;
constexpr int kBaudBit = 32;
constexpr int kSerialIo = 1;
constexpr int kRadioIo = 5;
constexpr int kNetworkIo = 6;
constexpr int kAutoRover = 1;
constexpr int kAutoBase = 2;
constexpr int kManualBase = 3;

bool accepted(const QLineEdit* e) {
    return !e->text().trimmed().isEmpty() && e->hasAcceptableInput();
}

void selectData(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

}  // namespace

RTKParamsWidget::RTKParamsWidget(QWidget* parent)
    : Widget(parent), ui_(new Ui::RTKParamsWidgetClass) {
    ui_->setupUi(this);
    latitude_ = {ui_->leBD, ui_->leBF, ui_->leBM};
    longitude_ = {ui_->leLD, ui_->leLF, ui_->leLM};
    here_ = createAction(tr("Here"), this);
    connect(here_, SIGNAL(triggered()), this, SLOT(onQueryPos()));
    get_ = createAction(tr("Get"), this);
    connect(get_, SIGNAL(triggered()), this, SLOT(onQueryInfo()));
    set_ = createAction(tr("Set"), this);
    connect(set_, SIGNAL(triggered()), this, SLOT(onSetInfo()));

    const QSignalBlocker block(ui_->cbMode);
    ui_->cbMode->addItem(tr("Auto Base"), kAutoBase);
    ui_->cbMode->addItem(tr("Auto Rover"), kAutoRover);
    ui_->cbMode->addItem(tr("Manual Base"), kManualBase);
    const struct {
        const char* text;
        int code;
    } bauds[] = {{"9600", 3}, {"19200", 5}, {"38400", 6}, {"57600", 8}, {"115200", 9}};
    for (const auto& b : bauds) {
        ui_->cbBaud->addItem(QString::fromLatin1(b.text), b.code);
    }
    ui_->leElevMask->setValidator(new QIntValidator(0, 90, this));
    ui_->lePdopMask->setValidator(new QIntValidator(0, 255, this));
    latitude_.setValidators(90, kSecondsDecimals, this);
    longitude_.setValidators(180, kSecondsDecimals, this);
    ui_->leH->setValidator(heightValidator(kSecondsDecimals, this));
    latitude_.setTexts(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0.0000"));
    longitude_.setTexts(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0.0000"));
    ui_->leH->setText(QStringLiteral("0.0000"));

    more_ = new QAction(tr("More"), this);
    more_->setData(QStringLiteral("BasePosition"));
    ui_->tbMore->setDefaultAction(more_);
    connect(more_, SIGNAL(triggered()), this, SLOT(onAutoBaseMore()));
    for (int io : {kSerialIo, kRadioIo, kNetworkIo}) {
        connect(ioBox(io), &QCheckBox::clicked, this,
                [this, io](bool on) { knownOutputs_[io] = on; });
    }
    on_cbMode_currentIndexChanged(ui_->cbMode->currentIndex());
}

RTKParamsWidget::~RTKParamsWidget() {
    cutAnswers();
    cutPosition();
    delete ui_;
}

QCheckBox* RTKParamsWidget::ioBox(int ioId) const {
    switch (ioId) {
        case kSerialIo:
            return ui_->cbSerialPort;
        case kRadioIo:
            return ui_->cbRadio;
        case kNetworkIo:
            return ui_->cbNetwork;
        default:
            return nullptr;
    }
}

int RTKParamsWidget::mode() const {
    return ui_->cbMode->currentIndex() < 0 ? -1 : ui_->cbMode->currentData().toInt();
}

void RTKParamsWidget::joinAnswers() {
    DeviceObserver* hub = DeviceObserver::instance();
    connectQueued(hub, this, SIGNAL(elevMask()), SLOT(onElevMask()));
    connectQueued(hub, this, SIGNAL(basePos()), SLOT(onBasePos()));
    connectQueued(hub, this, SIGNAL(diffType()), SLOT(onDiffType()));
    connectQueued(hub, this, SIGNAL(pdopMask(int)), SLOT(onPdopMask(int)));
    connectQueued(hub, this, SIGNAL(ioConfigs()), SLOT(onIOConfigs()));
    connectQueued(hub, this, SIGNAL(comBaud()), SLOT(onComBaudrate()));
}

void RTKParamsWidget::cutAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        for (const char* s : {SIGNAL(elevMask()), SIGNAL(basePos()), SIGNAL(diffType()),
                              SIGNAL(pdopMask(int)), SIGNAL(ioConfigs()), SIGNAL(comBaud())}) {
            disconnectSignal(hub, s, this);
        }
    }
}

void RTKParamsWidget::cutPosition() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(position()), this);
    }
}

void RTKParamsWidget::activate() {
    QStringList names;
    QList<int> codes;
    DeviceManager::instance()->diffFormatNames(names, codes);
    {
        const QSignalBlocker block(ui_->cbFMT);
        ui_->cbFMT->clear();
        for (int i = 0; i < names.size() && i < codes.size(); ++i) {
            ui_->cbFMT->addItem(QCoreApplication::translate("RTK", names[i].toUtf8().constData()),
                                codes[i]);
        }
    }
    query();
}

void RTKParamsWidget::onQueryInfo() {
    query();
}

void RTKParamsWidget::query() {
    setWaitCursor(true);
    cutAnswers();
    answerMask_ = 0;
    readBaud_ = 0;
    knownOutputs_.clear();
    for (int io : {kSerialIo, kRadioIo, kNetworkIo}) {
        ioBox(io)->setChecked(false);
    }
    ui_->cbMode->setCurrentIndex(-1);
    ui_->cbFMT->setCurrentIndex(-1);
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        e->clear();
    }
    setEditorsEnabled(false);
    joinAnswers();
    DeviceManager::instance()->queryRtkSettings();
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void RTKParamsWidget::answered(int bit) {
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

void RTKParamsWidget::onElevMask() {
    ui_->leElevMask->setText(QString::number(DeviceManager::instance()->elevMask()));
    answered(kElevBit);
}

void RTKParamsWidget::onPdopMask(int mask) {
    ui_->lePdopMask->setText(QString::number(mask));
    answered(kPdopBit);
}

void RTKParamsWidget::onDiffType() {
    selectData(ui_->cbFMT, DeviceManager::instance()->diffType());
    answered(kDiffBit);
}

void RTKParamsWidget::onComBaudrate() {
    readBaud_ = DeviceManager::instance()->comBaudrate();
    selectData(ui_->cbBaud, readBaud_);
    answered(kBaudBit);
}

void RTKParamsWidget::onBasePos() {
    const QX_GNSS_BASE_SET_STRUCT set = DeviceManager::instance()->basePos();
    latitude_.show(set.lat, kSecondsDecimals);
    longitude_.show(set.lon, kSecondsDecimals);
    showHeight(set.height);
    const int index = ui_->cbMode->findData(static_cast<int>(set.mode));
    if (index == ui_->cbMode->currentIndex()) {
        on_cbMode_currentIndexChanged(index);
    } else {
        ui_->cbMode->setCurrentIndex(index);
    }
    answered(kBaseBit);
}

// Each IO's own list: three lists may arrive before this runs.
void RTKParamsWidget::onIOConfigs() {
    DeviceManager* dm = DeviceManager::instance();
    for (int io : {kSerialIo, kRadioIo, kNetworkIo}) {
        QX_DATA_CONFIG_LIST list{};
        if (dm->ioConfigs(io, list)) {
            const bool on = DataConfigList::outputsDifferential(list);
            ioBox(io)->setChecked(on);
            knownOutputs_[io] = on;
        }
    }
    answered(kIoBit);
}

void RTKParamsWidget::on_cbMode_currentIndexChanged(int index) {
    markInput(0, ui_->cbMode);
    const int m = index < 0 ? -1 : ui_->cbMode->itemData(index).toInt();
    const bool format = m != kAutoRover;
    ui_->lblFMT->setVisible(format);
    ui_->cbFMT->setVisible(format);
    ui_->lblBaud->setVisible(format);
    ui_->cbBaud->setVisible(format);
    const bool coordinates = m == kManualBase;
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui_->lblB, ui_->leBD, ui_->lblBS1, ui_->leBF, ui_->lblBS2, ui_->leBM, ui_->lblL,
             ui_->leLD, ui_->lblLS1, ui_->leLF, ui_->lblLS2, ui_->leLM, ui_->lblH, ui_->leH}) {
        w->setVisible(coordinates);
    }
    here_->setEnabled(editorsOn_ && coordinates);
    ui_->tbMore->setVisible(m == kAutoBase && DeviceManager::instance()->hasBasePositionList());
}

void RTKParamsWidget::setEditorsEnabled(bool on) {
    editorsOn_ = on;
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui_->cbMode, ui_->cbFMT, ui_->cbBaud, ui_->leElevMask, ui_->lePdopMask, ui_->leBD,
             ui_->leBF, ui_->leBM, ui_->leLD, ui_->leLF, ui_->leLM, ui_->leH, ui_->groupBox,
             ui_->cbNetwork, ui_->cbRadio, ui_->cbSerialPort, ui_->tbMore}) {
        w->setEnabled(on);
    }
    get_->setEnabled(on);
    set_->setEnabled(on);
    here_->setEnabled(on && mode() == kManualBase);
    Widget::setEditorsEnabled(on);
}

bool RTKParamsWidget::checkInputs() {
    bool ok = true;
    auto mark = [this, &ok](QWidget* w) {
        markInput(1, w);
        ok = false;
    };
    const int m = mode();
    if (m < 0) {
        mark(ui_->cbMode);
    }
    if (m != kAutoRover) {
        if (ui_->cbBaud->isVisibleTo(this) && ui_->cbBaud->currentIndex() < 0) {
            mark(ui_->cbBaud);
        }
        if (ui_->cbFMT->currentIndex() < 0) {
            mark(ui_->cbFMT);
        }
    } else if (ui_->cbFMT->currentIndex() < 0) {
        // A checked output needs a format: never send format 0.
        for (const auto& [io, on] : knownOutputs_) {
            if (on && ioBox(io)->isChecked()) {
                mark(ui_->cbFMT);
                mark(ui_->groupBox);
                break;
            }
        }
    }
    if (m == kManualBase) {
        for (const AngleEdits* a : {&latitude_, &longitude_}) {
            if (a->incomplete()) {
                a->mark(1);
                ok = false;
            }
        }
        if (!accepted(ui_->leH)) {
            mark(ui_->leH);
        }
    }
    for (QLineEdit* e : {ui_->leElevMask, ui_->lePdopMask}) {
        if (e->text().trimmed().isEmpty()) {
            mark(e);
        }
    }
    return ok;
}

bool RTKParamsWidget::checkRanges() {
    bool ok = true;
    for (QLineEdit* e : {ui_->leElevMask, ui_->lePdopMask}) {
        if (!e->hasAcceptableInput()) {
            markInput(1, e);
            ok = false;
        }
    }
    if (mode() != kManualBase) {
        return ok;
    }
    const struct {
        const AngleEdits* edits;
        double limit;
    } angles[] = {{&latitude_, 90}, {&longitude_, 180}};
    for (const auto& a : angles) {
        if (a.edits->secondsOutOfRange()) {
            markInput(1, a.edits->seconds);
            ok = false;
        }
        if (a.edits->magnitude() > a.limit) {
            a.edits->mark(1);
            ok = false;
        }
    }
    return ok;
}

void RTKParamsWidget::onSetInfo() {
    setFocus();
    if (!checkInputs()) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return;
    }
    if (!checkRanges()) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Parameters out of range."), QMessageBox::Ok);
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    // Only outputs reported or chosen go out: an unanswered IO keeps what it does.
    sentOutputs_.clear();
    for (const auto& [io, known] : knownOutputs_) {
        (void)known;
        sentOutputs_[io] = ioBox(io)->isChecked();
    }
    const int m = mode();
    const int format = ui_->cbFMT->currentIndex() < 0 ? 0 : ui_->cbFMT->currentData().toInt();
    const int baud = ui_->cbBaud->currentIndex() < 0 ? 0 : ui_->cbBaud->currentData().toInt();
    const bool manual = m == kManualBase;
    sentBaud_ = baud;
    sentBaudRate_ = baud > 0 ? ui_->cbBaud->currentText().toInt() : 0;
    DeviceManager::instance()->sendRtkSettings(
        m, static_cast<QX_GNSS_DIFF_TYPE_ENUM>(format), baud, ui_->leElevMask->text().toUInt(),
        ui_->lePdopMask->text().toInt(), manual ? latitude_.radians() : 0,
        manual ? longitude_.radians() : 0, manual ? height() : 0, sentOutputs_);
    stopTimer(setTimer_);
    setTimer_ = startTimer(uiMs(kSetMs));
}

void RTKParamsWidget::showHeight(double metres) {
    ui_->leH->setText(QString::number(metres, 'f', kSecondsDecimals));
    shownHeight_ = std::isfinite(metres) ? metres : std::numeric_limits<double>::quiet_NaN();
    shownHeightText_ = ui_->leH->text();
}

double RTKParamsWidget::height() const {
    // A reported height goes back exactly while its text stays as shown.
    if (ui_->leH->text() == shownHeightText_ && std::isfinite(shownHeight_)) {
        return shownHeight_;
    }
    return ui_->leH->text().toDouble();
}

void RTKParamsWidget::onQueryPos() {
    cutPosition();
    connectQueued(DeviceObserver::instance(), this, SIGNAL(position()), SLOT(onPos()));
    DeviceManager::instance()->startPositionOutput();
    stopTimer(positionTimer_);
    positionTimer_ = startTimer(uiMs(kPositionMs));
    setWaitCursor(true);
    setEditorsEnabled(false);
}

void RTKParamsWidget::onPos() {
    DeviceManager* dm = DeviceManager::instance();
    dm->stopPositionOutput();
    cutPosition();
    stopTimer(positionTimer_);
    positionTimer_ = -1;
    setEditorsEnabled(true);
    setWaitCursor(false);
    const POS_INFO p = dm->position();
    latitude_.show(p.Latitude, kSecondsDecimals);
    longitude_.show(p.Longitude, kSecondsDecimals);
    showHeight(p.Height);
}

void RTKParamsWidget::onAutoBaseMore() {
    emit command(more_->data().toString());
}

void RTKParamsWidget::warnAfterSet() {
    DeviceManager* dm = DeviceManager::instance();
    if (!dm->isSerialConnection()) {
        return;
    }
    const auto serial = sentOutputs_.find(kSerialIo);
    if (serial != sentOutputs_.end() && !serial->second) {
        showWarning(this, tr("Warning"),
                    tr("Serial port's output has been stopped, reconnect if you want to "
                       "continue using it."));
    } else if (sentBaud_ > 0 && sentBaud_ != readBaud_ && sentBaudRate_ != dm->baudRate()) {
        // Whether or not IO 1's list answered: a new rate for the port went out.
        showWarning(this, tr("Warning"),
                    tr("Serial port's baud rate has been changed, reconnect if you want to "
                       "continue using it."));
    }
}

void RTKParamsWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id != queryTimer_ && id != setTimer_ && id != positionTimer_) {
        Widget::timerEvent(event);
        return;
    }
    stopTimer(id);
    setWaitCursor(false);
    setEditorsEnabled(true);
    if (id == queryTimer_) {
        queryTimer_ = -1;
        cutAnswers();
        if (answerMask_ == 0) {
            showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
        }
    } else if (id == positionTimer_) {
        positionTimer_ = -1;
        cutPosition();
        // The output asked for is switched off again, as after a position.
        DeviceManager::instance()->stopPositionOutput();
        showWarning(this, tr("Warning"), tr("Failed to get current position."));
    } else {
        setTimer_ = -1;
        warnAfterSet();
    }
}

void RTKParamsWidget::deactivate() {
    if (positionTimer_ > 0) {
        // Left while waiting for a position: the output asked for goes off.
        DeviceManager::instance()->stopPositionOutput();
    }
    for (int* timer : {&queryTimer_, &setTimer_, &positionTimer_}) {
        stopTimer(*timer);
        *timer = -1;
    }
    cutAnswers();
    cutPosition();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void RTKParamsWidget::on_cbFMT_currentIndexChanged() {
    markInput(0, ui_->cbFMT);
    markInput(0, ui_->groupBox);
}

void RTKParamsWidget::on_cbBaud_currentIndexChanged() {
    markInput(0, ui_->cbBaud);
}

void RTKParamsWidget::on_leElevMask_textChanged() {
    markInput(0, ui_->leElevMask);
}

void RTKParamsWidget::on_lePdopMask_textChanged() {
    markInput(0, ui_->lePdopMask);
}

void RTKParamsWidget::on_leH_textChanged() {
    markInput(0, ui_->leH);
}

void RTKParamsWidget::on_leBD_textChanged() {
    latitude_.mark(0);
}

void RTKParamsWidget::on_leBF_textChanged() {
    latitude_.mark(0);
}

void RTKParamsWidget::on_leBM_textChanged() {
    latitude_.mark(0);
}

void RTKParamsWidget::on_leLD_textChanged() {
    longitude_.mark(0);
}

void RTKParamsWidget::on_leLF_textChanged() {
    longitude_.mark(0);
}

void RTKParamsWidget::on_leLM_textChanged() {
    longitude_.mark(0);
}

}  // namespace Varnok
