#include "internal_record_widget.h"

#include <QAction>
#include <QDoubleValidator>
#include <QIntValidator>
#include <QLocale>
#include <QTimerEvent>

#include <cmath>
#include <cstring>

#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "record_view.h"
#include "timer_scale.h"
#include "ui_internal_record_widget.h"

namespace Varnok {

namespace {

struct Interval {
    const char* text;
    int code;
};

const Interval kIntervals[] = {
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "2 Hz"), 8},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "1 Hz"), 9},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "2 s"), 10},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "5 s"), 11},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "10 s"), 12},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "15 s"), 13},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "30 s"), 14},
    {QT_TRANSLATE_NOOP("InternalRecordWidget", "60 s"), 15},
};

constexpr double kMinSession = 10.0;
constexpr double kMaxSession = 1440.0;

}  // namespace

InternalRecordWidget::InternalRecordWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::InternalRecordWidgetClass>()) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    start_ = createAction(tr("Start"), this);
    stop_ = createAction(tr("Stop"), this);
    connect(get_, &QAction::triggered, this, &InternalRecordWidget::onQueryInfo);
    connect(set_, &QAction::triggered, this, &InternalRecordWidget::onSetInfo);
    connect(start_, &QAction::triggered, this, &InternalRecordWidget::onStartSample);
    connect(stop_, &QAction::triggered, this, &InternalRecordWidget::onStopSample);
    connectQueued(DeviceObserver::instance(), this, SIGNAL(fileRecordStatus()),
                  SLOT(onFileRecordStatus()));
    for (const Interval& i : kIntervals) {
        ui_->cbInterval->addItem(tr(i.text), i.code);
    }
    ui_->leMask->setValidator(new QIntValidator(0, 90, ui_->leMask));
    auto* session = new QDoubleValidator(kMinSession, kMaxSession, 2, ui_->leDataLogSession);
    session->setNotation(QDoubleValidator::StandardNotation);
    session->setLocale(QLocale::c());
    ui_->leDataLogSession->setValidator(session);
}

InternalRecordWidget::~InternalRecordWidget() = default;

QString InternalRecordWidget::statusText(int status) {
    switch (status) {
        case 1:
            return tr("Running...");
        case 2:
            return tr("OFF");
        case 3:
            return tr("Error");
        default:
            return QString();
    }
}

void InternalRecordWidget::activate() {
    onQueryInfo();
    stopTimer(statusTimer_);
    statusTimer_ = startTimer(uiMs(kStatusMs));
}

void InternalRecordWidget::stopAllTimers() {
    stopTimer(statusTimer_);
    stopTimer(setTimer_);
    statusTimer_ = -1;
    setTimer_ = -1;
}

void InternalRecordWidget::deactivate() {
    stopAllTimers();
    finishQuery();
    setting_ = false;
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void InternalRecordWidget::joinQueryAnswers(bool on) {
    DeviceObserver* hub = DeviceObserver::instance();
    const char* const answers[][2] = {
        {SIGNAL(fileRecordAutoOpen(bool)), SLOT(onFileRecordAutoOpen(bool))},
        {SIGNAL(fileRecordParam()), SLOT(onFileRecordParam())},
        {SIGNAL(elevMask()), SLOT(onElevmask())},
    };
    for (const auto& a : answers) {
        disconnectSignal(hub, a[0], this);
        if (on) {
            connectQueued(hub, this, a[0], a[1]);
        }
    }
}

void InternalRecordWidget::onQueryInfo() {
    answerMask_ = 0;
    ui_->cbAuto->setChecked(false);
    ui_->lblStatus->clear();
    ui_->leDataLogSession->clear();
    ui_->leMask->clear();
    ui_->cbInterval->setCurrentIndex(-1);
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
    setEditorsEnabled(false);
    setWaitCursor(true);
    // The status answer stays joined from construction; the other three only for the query.
    joinQueryAnswers(true);
    DeviceManager::instance()->queryFileRecordSettings();
}

void InternalRecordWidget::markAnswer(int bit) {
    answerMask_ |= bit;
    if (isQuerying() && answerMask_ == 15) {
        finishQuery();
        setEditorsEnabled(true);
    }
}

void InternalRecordWidget::finishQuery() {
    joinQueryAnswers(false);
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    setWaitCursor(false);
}

void InternalRecordWidget::onFileRecordStatus() {
    recordingStatus_ = DeviceManager::instance()->fileRecordStatus();
    ui_->lblStatus->setText(tr("Status: %1").arg(statusText(recordingStatus_)));
    if (!isQuerying() && !setting_) {
        // The actions follow the recording state after every poll.
        setEditorsEnabled(true);
    }
    markAnswer(1);
}

void InternalRecordWidget::onFileRecordAutoOpen(bool on) {
    ui_->cbAuto->setChecked(on);
    markAnswer(2);
}

void InternalRecordWidget::onFileRecordParam() {
    const QX_FILE_RECORD_CONFIG_STRUCT param = DeviceManager::instance()->fileRecordParam();
    const std::uint32_t minutes = FileRecordConfig::sessionMinutes(param);
    const std::uint16_t code = FileRecordConfig::intervalCode(param);
    ui_->leDataLogSession->setText(QString::number(minutes));
    ui_->cbInterval->setCurrentIndex(ui_->cbInterval->findData(int(code)));
    markAnswer(4);
}

void InternalRecordWidget::onElevmask() {
    ui_->leMask->setText(QString::number(DeviceManager::instance()->elevMask()));
    markAnswer(8);
}

void InternalRecordWidget::onSetInfo() {
    setFocus();
    // The write sends the receiver's whole parameter record and its auto-open flag back: both
    // must have been read, or zeros and a guess would go out.
    if ((answerMask_ & 6) != 6) {
        Prompts::instance()->message(
            this, Prompts::Critical, tr("Error"),
            tr("Recording parameters were not read from the receiver: press Get and try again."),
            QMessageBox::Ok);
        return;
    }
    bool ok = true;
    auto need = [&ok, this](bool present, QWidget* editor) {
        if (!present) {
            markInput(1, editor);
            ok = false;
        }
    };
    need(!ui_->leDataLogSession->text().isEmpty(), ui_->leDataLogSession);
    need(ui_->cbInterval->currentIndex() >= 0, ui_->cbInterval);
    need(!ui_->leMask->text().isEmpty(), ui_->leMask);
    if (!ok) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return;
    }
    bool number = false;
    const double minutes = QLocale::c().toDouble(ui_->leDataLogSession->text(), &number);
    if (!number || minutes > kMaxSession || minutes < kMinSession) {
        markInput(1, ui_->leDataLogSession);
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Data log session should be between 10 and 1440 minutes."),
                                     QMessageBox::Ok);
        return;
    }
    bool maskNumber = false;
    const unsigned maskValue = ui_->leMask->text().toUInt(&maskNumber);
    if (!maskNumber || maskValue > 90) {
        markInput(1, ui_->leMask);
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Elevation Mask should be between 0 and 90 degrees."),
                                     QMessageBox::Ok);
        return;
    }
    setting_ = true;
    // Whole minutes, as the receiver keeps them: 10.5 goes out as 11, never as 0.
    const unsigned session = static_cast<unsigned>(std::lround(minutes));
    const unsigned interval = ui_->cbInterval->currentData().toUInt() & 0xFF;
    const unsigned mask = maskValue;
    const bool autoOpen = ui_->cbAuto->isChecked();
    setWaitCursor(true);
    setEditorsEnabled(false);
    DeviceManager::instance()->setFileRecordSettings(0, session, interval, mask, autoOpen);
    stopTimer(setTimer_);
    setTimer_ = startTimer(uiMs(kSetMs));
}

void InternalRecordWidget::onStartSample() {
    setFocus();
    if (Prompts::instance()->message(this, Prompts::Question, tr("Collect"),
                                     tr("Start collecting ?"),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        DeviceManager::instance()->startStaticRecord();
    }
}

void InternalRecordWidget::onStopSample() {
    if (Prompts::instance()->message(this, Prompts::Question, tr("Collect"),
                                     tr("Stop collecting ?"),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        DeviceManager::instance()->stopStaticRecord();
    }
}

void InternalRecordWidget::setEditorsEnabled(bool on) {
    const bool recording = recordingStatus_ == 1;
    const bool editable = on && !recording;
    ui_->cbAuto->setEnabled(editable);
    ui_->leDataLogSession->setEnabled(editable);
    ui_->cbInterval->setEnabled(editable);
    ui_->leMask->setEnabled(editable);
    get_->setEnabled(editable);
    set_->setEnabled(editable);
    start_->setEnabled(editable);
    stop_->setEnabled(on && recording);
    const bool idle = !isQuerying() && !setting_;
    Widget::setEditorsEnabled(on || (recording && idle));
}

void InternalRecordWidget::on_leDataLogSession_textChanged() {
    markInput(0, ui_->leDataLogSession);
}

void InternalRecordWidget::on_cbInterval_currentIndexChanged() {
    markInput(0, ui_->cbInterval);
}

void InternalRecordWidget::on_leMask_textChanged() {
    markInput(0, ui_->leMask);
}

void InternalRecordWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id == statusTimer_ && statusTimer_ > 0) {
        DeviceManager::instance()->sendFileRecordStatusQuery();
        return;
    }
    if (id == setTimer_ && setTimer_ > 0) {
        stopTimer(setTimer_);
        setTimer_ = -1;
        setting_ = false;
        setWaitCursor(false);
        setEditorsEnabled(true);
        return;
    }
    if (id == queryTimer_ && queryTimer_ > 0) {
        finishQuery();
        if (answerMask_ == 0) {
            showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
        }
        setEditorsEnabled(true);
        return;
    }
    Widget::timerEvent(event);
}

}  // namespace Varnok
