#include "rtk.h"

#include <QAction>
#include <QCoreApplication>
#include <QIntValidator>
#include <QTimer>
#include <QTimerEvent>

#include "app_config.h"
#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_rtk.h"

namespace Varnok {

namespace {

constexpr int kAutoBase = 1;
constexpr int kGprsAndCable = 3;
constexpr std::uint8_t kNoMask = 255;

void fill(QComboBox* box, const QStringList& names, const QList<int>& codes) {
    const QSignalBlocker block(box);
    box->clear();
    for (int i = 0; i < names.size() && i < codes.size(); ++i) {
        box->addItem(QCoreApplication::translate("RTK", names[i].toUtf8().constData()), codes[i]);
    }
}

// A value no item carries leaves the box without a selection, so "Set" asks for one.
void selectData(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

// The rate code of a rate in Hz; -1 for a rate no item carries.
int rateCode(int hz) {
    switch (hz) {
        case 1:
            return 3;
        case 2:
            return 11;
        case 5:
            return 2;
        case 10:
            return 1;
        default:
            return -1;
    }
}

}  // namespace

RTK::RTK(QWidget* parent) : Widget(parent), ui_(new Ui::RTK) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    connect(get_, SIGNAL(triggered()), this, SLOT(sendCommand()));
    set_ = createAction(tr("Set"), this);
    connect(set_, SIGNAL(triggered()), this, SLOT(setInfo()));
    more_ = new QAction(tr("More"), this);
    more_->setData(QStringLiteral("BasePosition"));
    ui_->tbMore->setDefaultAction(more_);
    connect(more_, SIGNAL(triggered()), this, SLOT(onAutoBaseMore()));
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui_->lblDis, ui_->leDis, ui_->lblMeter, ui_->tbMore}) {
        w->hide();
    }
    ui_->lineEdit_elevMask->setValidator(new QIntValidator(0, 90, this));
    ui_->leDis->setValidator(new QIntValidator(0, static_cast<int>(kMaxDistance), this));
    fill(ui_->comboBox_sendPort, {tr("GPRS And Cable"), tr("GPRS Or UHF"), tr("Cable")}, {3, 2, 1});
    fill(ui_->comboBox_startWay, {tr("None"), tr("Auto Base"), tr("Auto Rover")}, {0, 1, 2});
    ui_->comboBox_startWay->setCurrentIndex(-1);
    ui_->comboBox_sendPort->setCurrentIndex(-1);
}

RTK::~RTK() {
    cutAnswers();
    delete ui_;
}

void RTK::cutAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(deviceInfo()), this);
    }
}

void RTK::refill() {
    DeviceManager* dm = DeviceManager::instance();
    QStringList names{tr("Normal"), tr("Raw Data")};
    QList<int> codes{0, 1};
    if (dm->isFirmwareBelow8()) {
        names << tr("GPGGA");
        codes << 2;
    }
    fill(ui_->comboBox_outPut, names, codes);
    names.clear();
    codes.clear();
    dm->rtkRateNames(names, codes);
    fill(ui_->comboBox_output_freq, names, codes);
    names.clear();
    codes.clear();
    dm->diffFormatNames(names, codes);
    fill(ui_->comboBox_diffMode, names, codes);
}

void RTK::activate() {
    refill();
    cutAnswers();
    connectQueued(DeviceObserver::instance(), this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
    onDeviceInfo();
}

void RTK::sendCommand() {
    setWaitCursor(true);
    cutAnswers();
    answered_ = false;
    for (QComboBox* box : {ui_->comboBox_outPut, ui_->comboBox_output_freq, ui_->comboBox_startWay,
                           ui_->comboBox_sendPort, ui_->comboBox_diffMode}) {
        box->setCurrentIndex(-1);
    }
    ui_->lineEdit_elevMask->clear();
    setEditorsEnabled(false);
    connectQueued(DeviceObserver::instance(), this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
    DeviceManager::instance()->queryRtkSettings();
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void RTK::onDeviceInfo() {
    answered_ = true;
    const DEVICE_STR& d = *DeviceManager::instance()->deviceInfo();
    using R = DeviceRecord;
    selectData(ui_->comboBox_outPut, R::byteAt(d, R::OutputMode));
    unknownOutput_ = noteReported(ui_->comboBox_outPut, R::byteAt(d, R::OutputMode));
    selectData(ui_->comboBox_startWay, R::byteAt(d, R::StartMode));
    selectData(ui_->comboBox_sendPort, R::byteAt(d, R::TransmitPort));
    unknownPort_ = noteReported(ui_->comboBox_sendPort, R::byteAt(d, R::TransmitPort));
    selectData(ui_->comboBox_diffMode, R::byteAt(d, R::TransmitFormat));
    unknownFormat_ = noteReported(ui_->comboBox_diffMode, R::byteAt(d, R::TransmitFormat));
    const std::uint8_t mask = R::byteAt(d, R::RtkElevMask);
    ui_->lineEdit_elevMask->setText(QString::number(mask));
    // 255 is beyond the editor's range: shown and marked, and sent back as read unless edited.
    maskUnset_ = mask == kNoMask;
    markInput(maskUnset_ ? 1 : 0, ui_->lineEdit_elevMask);
    const std::uint8_t hz = R::byteAt(d, R::OutputRateHz);
    selectData(ui_->comboBox_output_freq, rateCode(hz));
    // A rate no item carries is not 1 Hz.
    unknownRate_ = noteReported(ui_->comboBox_output_freq, hz);
    ui_->leDis->setText(QString::number(R::autoBaseDistance(d)));
    // The start mode decides which rows show, also when its index did not change.
    on_comboBox_startWay_currentIndexChanged(ui_->comboBox_startWay->currentIndex());
    unknownStart_ = noteReported(ui_->comboBox_startWay, R::byteAt(d, R::StartMode));
    setWaitCursor(false);
    setEditorsEnabled(true);
    cutAnswers();
    stopTimer(queryTimer_);
    queryTimer_ = -1;
}

void RTK::on_comboBox_startWay_currentIndexChanged(int index) {
    markInput(0, ui_->comboBox_startWay);
    const int v = index < 0 ? -1 : ui_->comboBox_startWay->itemData(index).toInt();
    DeviceManager* dm = DeviceManager::instance();
    if (dm->isFirmwareMinor14()) {
        for (QWidget* w : std::initializer_list<QWidget*>{ui_->lblDis, ui_->leDis, ui_->lblMeter}) {
            w->setVisible(v == kAutoBase);
        }
    } else if (dm->isFirmwareMinor20()) {
        ui_->tbMore->setVisible(v == kAutoBase);
    } else {
        for (QWidget* w :
             std::initializer_list<QWidget*>{ui_->tbMore, ui_->lblDis, ui_->leDis, ui_->lblMeter}) {
            w->hide();
        }
    }
}

int RTK::noteReported(QComboBox* box, int value) {
    const int unknown = box->currentIndex() < 0 ? value : -1;
    markInput(unknown >= 0 ? 1 : 0, box);
    return unknown;
}

bool RTK::refuseUnreported() {
    const struct {
        QComboBox* box;
        int value;
        QString text;
    } boxes[] = {
        {ui_->comboBox_outPut, unknownOutput_,
         tr("Output Mode: the receiver reports %1, which no item carries. Choose one to set it.")},
        {ui_->comboBox_output_freq, unknownRate_,
         tr("Output Freq.: the receiver reports %1 Hz, which no item carries. Choose one to "
            "set it.")},
        {ui_->comboBox_startWay, unknownStart_,
         tr("Receiver Mode: the receiver reports %1, which no item carries. Choose one to set "
            "it.")},
        {ui_->comboBox_sendPort, unknownPort_,
         tr("Transmit Port: the receiver reports %1, which no item carries. Choose one to set "
            "it.")},
        {ui_->comboBox_diffMode, unknownFormat_,
         tr("Data Format: the receiver reports %1, which no item carries. Choose one to set "
            "it.")},
    };
    for (const auto& b : boxes) {
        if (b.value >= 0 && b.box->currentIndex() < 0) {
            checkInputs();
            Prompts::instance()->message(this, Prompts::Critical, tr("Error"), b.text.arg(b.value),
                                         QMessageBox::Ok);
            return true;
        }
    }
    return false;
}

bool RTK::checkInputs() {
    bool ok = true;
    for (QComboBox* box : {ui_->comboBox_outPut, ui_->comboBox_startWay, ui_->comboBox_sendPort,
                           ui_->comboBox_diffMode, ui_->comboBox_output_freq}) {
        if (box->currentIndex() < 0 || box->currentText().isEmpty()) {
            markInput(1, box);
            ok = false;
        }
    }
    if (ui_->lineEdit_elevMask->text().trimmed().isEmpty()) {
        markInput(1, ui_->lineEdit_elevMask);
        ok = false;
    }
    if (ui_->leDis->isVisibleTo(this) && ui_->leDis->text().trimmed().isEmpty()) {
        markInput(1, ui_->leDis);
        ok = false;
    }
    return ok;
}

bool RTK::checkRanges() {
    bool ok = true;
    for (QLineEdit* e : {ui_->lineEdit_elevMask, ui_->leDis}) {
        if (e == ui_->lineEdit_elevMask && maskUnset_) {
            continue;
        }
        if (e->isVisibleTo(this) && !e->hasAcceptableInput()) {
            markInput(1, e);
            ok = false;
        }
    }
    return ok;
}

void RTK::setInfo() {
    setFocus();
    if (refuseUnreported()) {
        return;
    }
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
    auto value = [](QComboBox* box) {
        return static_cast<unsigned>(static_cast<std::int8_t>(box->currentData().toInt()));
    };
    DeviceManager* dm = DeviceManager::instance();
    const unsigned port = value(ui_->comboBox_sendPort);
    dm->setRtkSettings(value(ui_->comboBox_outPut), value(ui_->comboBox_startWay), port,
                       value(ui_->comboBox_diffMode),
                       maskUnset_ ? kNoMask : ui_->lineEdit_elevMask->text().toUInt(),
                       static_cast<GNSS_FRQ>(ui_->comboBox_output_freq->currentData().toInt()));
    if (dm->isFirmwareMinor14() && ui_->leDis->isVisibleTo(this)) {
        dm->setDevcInfoAutoBaseDist(static_cast<unsigned short>(ui_->leDis->text().toUInt()));
    }
    if (AppConfig::instance().currentType() == 1 && port == kGprsAndCable) {
        dm->setRadioMdl(static_cast<Rdo_Mdl>(0));
    }
    setPending_ = true;
    QTimer::singleShot(uiMs(kSetMs), this, SLOT(onSetTimeout()));
}

void RTK::onSetTimeout() {
    if (!setPending_) {
        return;
    }
    setPending_ = false;
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void RTK::onAutoBaseMore() {
    emit command(more_->data().toString());
}

void RTK::timerEvent(QTimerEvent* event) {
    if (event->timerId() != queryTimer_) {
        Widget::timerEvent(event);
        return;
    }
    setWaitCursor(false);
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    cutAnswers();
    if (!answered_) {
        showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
    }
    setEditorsEnabled(true);
}

void RTK::setEditorsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui_->comboBox_outPut, ui_->comboBox_output_freq, ui_->comboBox_startWay,
             ui_->comboBox_sendPort, ui_->comboBox_diffMode, ui_->lineEdit_elevMask, ui_->leDis,
             ui_->tbMore}) {
        w->setEnabled(on);
    }
    get_->setEnabled(on);
    set_->setEnabled(on);
    Widget::setEditorsEnabled(on);
}

void RTK::deactivate() {
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    setPending_ = false;
    cutAnswers();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void RTK::on_comboBox_outPut_currentIndexChanged() {
    markInput(0, ui_->comboBox_outPut);
}

void RTK::on_comboBox_output_freq_currentIndexChanged() {
    markInput(0, ui_->comboBox_output_freq);
}

void RTK::on_comboBox_sendPort_currentIndexChanged() {
    markInput(0, ui_->comboBox_sendPort);
}

void RTK::on_comboBox_diffMode_currentIndexChanged() {
    markInput(0, ui_->comboBox_diffMode);
}

void RTK::on_lineEdit_elevMask_textChanged() {
    maskUnset_ = false;
    markInput(0, ui_->lineEdit_elevMask);
}

void RTK::on_leDis_textChanged() {
    markInput(0, ui_->leDis);
}

}  // namespace Varnok
