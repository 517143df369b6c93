#include "static.h"

#include <QAction>
#include <QCoreApplication>
#include <QDoubleValidator>
#include <QIntValidator>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QTimerEvent>

#include "antenna_type_config.h"
#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "record_view.h"
#include "static_point_settings.h"
#include "timer_scale.h"
#include "ui_static.h"

namespace Varnok {

namespace {

struct Item {
    const char* text;
    int value;
};

const Item kModes[] = {
    {QT_TRANSLATE_NOOP("Static", "Manual"), 0},
    {QT_TRANSLATE_NOOP("Static", "Auto"), 1},
    {QT_TRANSLATE_NOOP("Static", "Disable"), 2},
};

// A week is 128 on the receiver's side.
const Item kSessions[] = {
    {QT_TRANSLATE_NOOP("Static", "Manual"), 0},   {QT_TRANSLATE_NOOP("Static", "1 hour"), 1},
    {QT_TRANSLATE_NOOP("Static", "2 hour"), 2},   {QT_TRANSLATE_NOOP("Static", "3 hour"), 3},
    {QT_TRANSLATE_NOOP("Static", "6 hour"), 6},   {QT_TRANSLATE_NOOP("Static", "12 hour"), 12},
    {QT_TRANSLATE_NOOP("Static", "1 day"), 24},   {QT_TRANSLATE_NOOP("Static", "2 day"), 48},
    {QT_TRANSLATE_NOOP("Static", "1 week"), 128},
};

const Item kSurveyTo[] = {
    {QT_TRANSLATE_NOOP("Static", "Vertical"), 3},
    {QT_TRANSLATE_NOOP("Static", "Slant"), 4},
    {QT_TRANSLATE_NOOP("Static", "Phase Center"), 2},
};

template <std::size_t N>
void fill(QComboBox* box, const Item (&items)[N]) {
    box->clear();
    for (const Item& i : items) {
        box->addItem(QCoreApplication::translate("Static", i.text), i.value);
    }
}

void select(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

}  // namespace

Static::Static(QWidget* parent) : Widget(parent), ui_(std::make_unique<Ui::StaticMode>()) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    start_ = createAction(tr("Start"), this);
    stop_ = createAction(tr("Stop"), this);
    connect(get_, &QAction::triggered, this, &Static::sendCommand);
    connect(set_, &QAction::triggered, this, &Static::setInfo);
    connect(start_, &QAction::triggered, this, &Static::onBegin);
    connect(stop_, &QAction::triggered, this, &Static::onEnd);

    connectQueued(DeviceObserver::instance(), this, SIGNAL(fileRecordStatus()),
                  SLOT(onFileRecordStatus()));
    connect(ui_->checkBox_advance, &QCheckBox::stateChanged, this, &Static::onCheckBoxAdvance);

    ui_->lineEdit_memory->setReadOnly(true);
    ui_->lineEdit_memory->setEnabled(false);
    ui_->leMask->setValidator(new QIntValidator(0, 90, ui_->leMask));
    // The receiver keeps at most 32 name bytes, one per Latin-1 character.
    ui_->lineEdit_Point->setMaxLength(static_cast<int>(StaticPointSettings::kMaxName));
    ui_->lineEdit_Point->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{0020}-\\x{007E}\\x{00A0}-\\x{00FF}]{0,32}")),
        ui_->lineEdit_Point));
    auto* height = new QDoubleValidator(-1000.0, 1000.0, 4, ui_->lineEdit_antenna_height);
    height->setNotation(QDoubleValidator::StandardNotation);
    height->setLocale(QLocale::c());
    ui_->lineEdit_antenna_height->setValidator(height);
    connect(ui_->lineEdit_antenna_height, &QLineEdit::textEdited, this,
            [this] { heightEdited_ = true; });

    fill(ui_->comboBox_record_method, kModes);
    fill(ui_->comboBox_record_period, kSessions);
    fill(ui_->comboBox_survey_to, kSurveyTo);

    QStringList names;
    QList<int> types;
    AntennaTypeConfig().load(names, types);
    antennaCodes_.clear();
    for (int i = 0; i < names.size() && i < types.size(); ++i) {
        ui_->comboBox_antenna_type->addItem(names.at(i), types.at(i));
        antennaCodes_.insert(AntennaTypeConfig::antennaCode(types.at(i)), types.at(i));
    }
    ui_->checkBox_advance->setChecked(false);
    setAntennaRowsEnabled(false);
    // No page lists the receiver's files yet.
    ui_->pbLoader->setEnabled(false);
}

Static::~Static() = default;

QString Static::memoryText(int code) {
    static const char* const kTexts[] = {"64MB", "4GB", "8GB", "16GB", "32GB"};
    if (code == 255) {
        return QStringLiteral("64MB");
    }
    if (code >= 0 && code < 5) {
        return QString::fromLatin1(kTexts[code]);
    }
    return QString();
}

bool Static::antennaParameters() const {
    return ui_->checkBox_advance->isChecked();
}

void Static::setAntennaRowsVisible(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui_->checkBox_advance, ui_->label_point_name, ui_->lineEdit_Point,
             ui_->label_antenna_type, ui_->comboBox_antenna_type, ui_->label_antenna_hight,
             ui_->lineEdit_antenna_height, ui_->label_2, ui_->label_survey_to,
             ui_->comboBox_survey_to}) {
        w->setVisible(on);
    }
}

void Static::setAntennaRowsEnabled(bool on) {
    ui_->lineEdit_Point->setEnabled(on);
    ui_->comboBox_antenna_type->setEnabled(on);
    ui_->lineEdit_antenna_height->setEnabled(on);
    ui_->comboBox_survey_to->setEnabled(on);
}

void Static::joinAnswers() {
    cutAnswerSignals();
    DeviceObserver* hub = DeviceObserver::instance();
    connectQueued(hub, this, SIGNAL(deviceInfo()), SLOT(onDeviceInfo()));
    connectQueued(hub, this, SIGNAL(staticPointInfo()), SLOT(onStaticPointInfo()));
}

void Static::cutAnswerSignals() {
    DeviceObserver* hub = DeviceObserver::instance();
    disconnectSignal(hub, SIGNAL(deviceInfo()), this);
    disconnectSignal(hub, SIGNAL(staticPointInfo()), this);
}

void Static::activate() {
    recording_ = false;
    statusKnown_ = false;
    statusWaited_ = false;
    showStatus();
    stopTimer(statusWaitTimer_);
    statusWaitTimer_ = startTimer(uiMs(kQueryMs));
    DeviceManager* dm = DeviceManager::instance();

    QStringList names;
    QList<int> values;
    dm->staticRateNames(names, values);
    ui_->comboBox_sample_gap->clear();
    for (int i = 0; i < names.size() && i < values.size(); ++i) {
        ui_->comboBox_sample_gap->addItem(
            QCoreApplication::translate("Static", names.at(i).toUtf8().constData()), values.at(i));
    }

    setAntennaRowsVisible(dm->isStaticRecordingConfigurable());
    ui_->pbLoader->setVisible(dm->isStaticFileDownloadable());

    joinAnswers();
    onDeviceInfo();
    setEditorsEnabled(true);

    // One status timer, whatever the number of visits; it keeps polling while hidden.
    stopTimer(statusTimer_);
    statusTimer_ = startTimer(uiMs(kStatusMs));
}

void Static::deactivate() {
    cutAnswerSignals();
    leave();
    setEditorsEnabled(true);
}

void Static::clearFields() {
    ui_->comboBox_record_method->setCurrentIndex(-1);
    ui_->comboBox_record_period->setCurrentIndex(-1);
    ui_->comboBox_sample_gap->setCurrentIndex(-1);
    ui_->comboBox_antenna_type->setCurrentIndex(-1);
    ui_->comboBox_survey_to->setCurrentIndex(-1);
    ui_->lineEdit_Point->clear();
    ui_->lineEdit_antenna_height->clear();
    heightRead_ = false;
    heightEdited_ = false;
}

void Static::sendCommand() {
    cutAnswerSignals();
    clearFields();
    DeviceManager* dm = DeviceManager::instance();
    auto requests = [this, dm] {
        dm->queryFileRecordSettings();
        if (antennaParameters()) {
            dm->queryStaticPoint();
        }
    };
    if (antennaParameters()) {
        startQuery(kQueryMs,
                   {{SIGNAL(deviceInfo()), SLOT(onDeviceInfo())},
                    {SIGNAL(staticPointInfo()), SLOT(onStaticPointInfo())}},
                   requests);
    } else {
        startQuery(kQueryMs, {{SIGNAL(deviceInfo()), SLOT(onDeviceInfo())}}, requests);
    }
}

void Static::onDeviceInfo() {
    const DEVICE_STR& d = *DeviceManager::instance()->deviceInfo();
    using R = DeviceRecord;
    // An unknown mode selects nothing, so "Set" never writes a mode the receiver did not have.
    select(ui_->comboBox_record_method, R::byteAt(d, R::DataLogMode));
    select(ui_->comboBox_record_period, R::byteAt(d, R::SessionLength));
    select(ui_->comboBox_sample_gap, R::byteAt(d, R::SampleInterval));
    ui_->lineEdit_memory->setText(memoryText(R::byteAt(d, R::MemoryCode)));
    ui_->leMask->setText(QString::number(R::byteAt(d, R::RecordElevMask)));
    answerArrived(0);
}

void Static::onStaticPointInfo() {
    const StaticPointSettings point = DeviceManager::instance()->staticPointSettings();
    ui_->lineEdit_Point->setText(
        QString::fromLatin1(point.name.data(), static_cast<int>(point.name.size())));
    // A height the validator cannot take as shown (a tiny or huge float) is shown in fixed
    // notation; what is shown but not the value read is marked, and Set sends the value read
    // until the user types another.
    QString height = QStringLiteral("%1").arg(double(point.height));
    int at = 0;
    if (ui_->lineEdit_antenna_height->validator()->validate(height, at) != QValidator::Acceptable) {
        height = QString::number(double(point.height), 'f', 4);
    }
    ui_->lineEdit_antenna_height->setText(height);
    readHeight_ = point.height;
    heightRead_ = true;
    heightEdited_ = false;
    if (QLocale::c().toFloat(height) != point.height) {
        markInput(1, ui_->lineEdit_antenna_height);
    }
    QString code =
        QString::fromLatin1(point.antennaCode.data(), static_cast<int>(point.antennaCode.size()));
    if (code.isEmpty() || !antennaCodes_.contains(code)) {
        code = AntennaTypeConfig::antennaCode(point.antennaType);
    }
    select(ui_->comboBox_antenna_type, antennaCodes_.value(code, 0));
    select(ui_->comboBox_survey_to, point.heightReference);
    answerArrived(1);
}

bool Static::checkInputs() {
    bool ok = true;
    auto need = [&ok, this](bool present, QWidget* editor) {
        if (!present) {
            markInput(1, editor);
            ok = false;
        }
    };
    need(ui_->comboBox_record_method->currentIndex() >= 0, ui_->comboBox_record_method);
    need(ui_->comboBox_record_period->currentIndex() >= 0, ui_->comboBox_record_period);
    need(ui_->comboBox_sample_gap->currentIndex() >= 0, ui_->comboBox_sample_gap);
    if (antennaParameters()) {
        need(!ui_->lineEdit_Point->text().isEmpty(), ui_->lineEdit_Point);
        need(ui_->comboBox_antenna_type->currentIndex() >= 0, ui_->comboBox_antenna_type);
        need(ui_->comboBox_survey_to->currentIndex() >= 0, ui_->comboBox_survey_to);
        // A height that is no number counts as missing rather than going out as 0 m.
        const bool asRead = heightRead_ && !heightEdited_;
        need(asRead || (!ui_->lineEdit_antenna_height->text().isEmpty() &&
                        ui_->lineEdit_antenna_height->hasAcceptableInput()),
             ui_->lineEdit_antenna_height);
    }
    need(!ui_->leMask->text().isEmpty(), ui_->leMask);
    return ok;
}

void Static::setInfo() {
    setFocus();
    if (!checkInputs()) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return;
    }
    // The validator lets "95" stand while typing; the receiver takes 0 to 90.
    if (ui_->leMask->text().toUInt() > 90) {
        markInput(1, ui_->leMask);
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Elevation Mask should be between 0 and 90 degrees."),
                                     QMessageBox::Ok);
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    DeviceManager* dm = DeviceManager::instance();
    const unsigned mode = ui_->comboBox_record_method->currentData().toUInt() & 0xFF;
    const unsigned session = ui_->comboBox_record_period->currentData().toUInt() & 0xFF;
    const unsigned interval = ui_->comboBox_sample_gap->currentData().toUInt() & 0xFF;
    const unsigned mask = ui_->leMask->text().toUInt();
    if (!antennaParameters()) {
        dm->setFileRecordSettings(mode, session, interval, mask, false);
    } else {
        StaticPointSettings point;
        const QByteArray name = ui_->lineEdit_Point->text().toLatin1();
        point.name.assign(name.constData(), static_cast<std::size_t>(name.size()));
        point.height = heightRead_ && !heightEdited_
                           ? readHeight_
                           : QLocale::c().toFloat(ui_->lineEdit_antenna_height->text());
        point.heightReference = ui_->comboBox_survey_to->currentData().toInt();
        point.antennaType = ui_->comboBox_antenna_type->currentData().toInt();
        point.antennaCode = antennaCodes_.key(point.antennaType).toLatin1().toStdString();
        dm->setStaticSettings(mode, session, interval, mask, point);
    }
    QTimer::singleShot(uiMs(kSetMs), this, &Static::onSetTimeout);
}

void Static::onSetTimeout() {
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void Static::onBegin() {
    const auto answer = Prompts::instance()->message(this, Prompts::Question, tr("Begin Collect"),
                                                     tr("Begin collecting static data?"),
                                                     QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    DeviceManager* dm = DeviceManager::instance();
    dm->startStaticRecord();
    dm->queryStaticStatus();
    if (!statusKnown_) {
        start_->setEnabled(false);
        stop_->setEnabled(true);
    }
}

void Static::onEnd() {
    const auto answer = Prompts::instance()->message(
        this, Prompts::Question, tr("End Collect"), tr("Sure to end collecting\nthe static data ?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return;
    }
    DeviceManager* dm = DeviceManager::instance();
    dm->stopStaticRecord();
    dm->queryStaticStatus();
    if (!statusKnown_) {
        stop_->setEnabled(false);
        start_->setEnabled(true);
    }
}

void Static::showStatus() {
    if (!statusKnown_) {
        ui_->lblStatus->setText(tr("Status: unknown"));
    } else {
        ui_->lblStatus->setText(recording_ ? tr("Status: ON") : tr("Status: OFF"));
    }
}

void Static::onFileRecordStatus() {
    statusKnown_ = true;
    recording_ = DeviceManager::instance()->staticStatus();
    showStatus();
    start_->setEnabled(!recording_);
    stop_->setEnabled(recording_);
}

void Static::setEditorsEnabled(bool on) {
    ui_->comboBox_record_method->setEnabled(on);
    ui_->comboBox_record_period->setEnabled(on);
    ui_->comboBox_sample_gap->setEnabled(on);
    ui_->leMask->setEnabled(on);
    ui_->checkBox_advance->setEnabled(on);
    setAntennaRowsEnabled(on && antennaParameters());
    ui_->pbLoader->setEnabled(false);
    set_->setEnabled(on);
    get_->setEnabled(on);
    if (!DeviceManager::instance()->hasStaticStatusQuery()) {
        start_->setEnabled(on);
        stop_->setEnabled(on);
    } else if (!statusKnown_ && statusWaited_) {
        // No answer in the wait: either may be needed, and each asks first.
        start_->setEnabled(on);
        stop_->setEnabled(on);
    } else {
        start_->setEnabled(on && statusKnown_ && !recording_);
        stop_->setEnabled(on && statusKnown_ && recording_);
    }
    Widget::setEditorsEnabled(on);
}

void Static::onCheckBoxAdvance(int state) {
    setAntennaRowsEnabled(state != 0);
}

void Static::onWorkingStatus(int status) {
    if (status == 4) {
        clearFields();
    }
}

void Static::on_comboBox_record_method_currentIndexChanged() {
    markInput(0, ui_->comboBox_record_method);
}
void Static::on_comboBox_record_period_currentIndexChanged() {
    markInput(0, ui_->comboBox_record_period);
}
void Static::on_comboBox_sample_gap_currentIndexChanged() {
    markInput(0, ui_->comboBox_sample_gap);
}
void Static::on_lineEdit_Point_textChanged() {
    markInput(0, ui_->lineEdit_Point);
}
void Static::on_comboBox_antenna_type_currentIndexChanged() {
    markInput(0, ui_->comboBox_antenna_type);
}
void Static::on_comboBox_survey_to_currentIndexChanged() {
    markInput(0, ui_->comboBox_survey_to);
}
void Static::on_lineEdit_antenna_height_textChanged() {
    markInput(0, ui_->lineEdit_antenna_height);
}
void Static::on_leMask_textChanged() {
    markInput(0, ui_->leMask);
}

void Static::on_pbLoader_clicked() {
    emit command(QStringLiteral("StaticFileList"));
}

void Static::timerEvent(QTimerEvent* event) {
    if (event->timerId() == statusTimer_ && statusTimer_ > 0) {
        DeviceManager::instance()->queryStaticStatus();
        return;
    }
    if (event->timerId() == statusWaitTimer_ && statusWaitTimer_ > 0) {
        stopTimer(statusWaitTimer_);
        statusWaitTimer_ = -1;
        statusWaited_ = true;
        if (!statusKnown_) {
            showStatus();
            setEditorsEnabled(!isQuerying() && set_->isEnabled());
        }
        return;
    }
    Widget::timerEvent(event);
}

}  // namespace Varnok
