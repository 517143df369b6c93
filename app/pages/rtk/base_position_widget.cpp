#include "base_position_widget.h"

#include <QAction>
#include <QDoubleValidator>
#include <QTimerEvent>

#include <cmath>

#include "app_config.h"
#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_base_position_widget.h"

namespace Varnok {

namespace {

constexpr int kSecondsDecimals = 5;

bool filled(const QLineEdit* e) {
    return !e->text().trimmed().isEmpty() && e->hasAcceptableInput();
}

}  // namespace

BasePositionWidget::BasePositionWidget(QWidget* parent)
    : Widget(parent), ui_(new Ui::BasePositionWidgetClass) {
    ui_->setupUi(this);
    latitude_ = {ui_->leBD, ui_->leBF, ui_->leBM};
    longitude_ = {ui_->leLD, ui_->leLF, ui_->leLM};
    first_ = createAction(tr("Get"), this);
    connect(first_, SIGNAL(triggered()), this, SLOT(onGet()));
    second_ = createAction(tr("Add"), this);
    connect(second_, SIGNAL(triggered()), this, SLOT(onSet()));
    connect(ui_->pbHere, SIGNAL(clicked()), this, SLOT(onQueryPos()));

    auto* distance = new QDoubleValidator(0, 1000000, 5, this);
    distance->setNotation(QDoubleValidator::StandardNotation);
    distance->setLocale(QLocale::c());
    ui_->leDist->setValidator(distance);
    latitude_.setValidators(90, kSecondsDecimals, this);
    longitude_.setValidators(180, kSecondsDecimals, this);
    ui_->leH->setValidator(heightValidator(kSecondsDecimals, this));
    latitude_.setTexts(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0.0000"));
    longitude_.setTexts(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0.0000"));
    ui_->leH->setText(QStringLiteral("0.0000"));
    ui_->rbDist->click();
    connect(ui_->leDist, &QLineEdit::textEdited, this, [this] {
        distanceEdited_ = true;
        markInput(0, ui_->leDist);
    });
    for (QLineEdit* e :
         {ui_->leBD, ui_->leBF, ui_->leBM, ui_->leLD, ui_->leLF, ui_->leLM, ui_->leH}) {
        connect(e, &QLineEdit::textEdited, this, [this] { positionGiven_ = true; });
    }
}

BasePositionWidget::~BasePositionWidget() {
    cutDistanceAnswers();
    cutPosition();
    delete ui_;
}

void BasePositionWidget::setMode(Mode mode) {
    mode_ = mode;
    if (mode == Distance) {
        first_->setText(tr("Get"));
        first_->setData(QueryDistance);
        second_->setText(tr("Set"));
        second_->setData(SetDistance);
    } else {
        first_->setText(tr("List"));
        first_->setData(ShowList);
        second_->setText(tr("Add"));
        second_->setData(AddPosition);
    }
    setEditorsEnabled(editorsOn_);
}

void BasePositionWidget::on_rbDist_clicked(bool) {
    setMode(Distance);
}

void BasePositionWidget::on_rbFixPos_clicked(bool) {
    setMode(FixedPosition);
}

void BasePositionWidget::activate() {
    queryDistance();
}

void BasePositionWidget::queryDistance() {
    distanceRead_ = false;
    distanceEdited_ = false;
    setWaitCursor(true);
    setEditorsEnabled(false);
    cutDistanceAnswers();
    DeviceObserver* hub = DeviceObserver::instance();
    connectQueued(hub, this, SIGNAL(basePosDifference()), SLOT(onBasePosDifference()));
    if (DeviceManager::instance()->isNewProtocolReceiver()) {
        connectQueued(hub, this, SIGNAL(basePosList()), SLOT(onBasePosDifference()));
    }
    onQueryDifference();
}

void BasePositionWidget::onQueryDifference() {
    DeviceManager::instance()->queryBasePosDifference();
    stopTimer(distanceTimer_);
    distanceTimer_ = startTimer(uiMs(kDistanceMs));
}

void BasePositionWidget::cutDistanceAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(basePosDifference()), this);
        disconnectSignal(hub, SIGNAL(basePosList()), this);
    }
}

void BasePositionWidget::cutPosition() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(position()), this);
    }
}

void BasePositionWidget::onBasePosDifference() {
    cutDistanceAnswers();
    stopTimer(distanceTimer_);
    distanceTimer_ = -1;
    setEditorsEnabled(true);
    setWaitCursor(false);
    distanceValue_ = DeviceManager::instance()->basePosDifference();
    ui_->leDist->setText(QString::number(distanceValue_, 'g', 6));
    distanceRead_ = true;
    distanceEdited_ = false;
}

void BasePositionWidget::onGet() {
    if (first_->data().toInt() == ShowList) {
        emit command(QStringLiteral("BasePositionList"));
        return;
    }
    queryDistance();
}

bool BasePositionWidget::checkInputs(int m) {
    bool ok = true;
    if (m == SetDistance) {
        if (!filled(ui_->leDist)) {
            markInput(1, ui_->leDist);
            ok = false;
        }
        return ok;
    }
    for (const AngleEdits* a : {&latitude_, &longitude_}) {
        if (a->incomplete()) {
            a->mark(1);
            ok = false;
        }
    }
    if (!filled(ui_->leH)) {
        markInput(1, ui_->leH);
        ok = false;
    }
    return ok;
}

bool BasePositionWidget::checkRanges(int m) {
    bool ok = true;
    if (m == SetDistance) {
        const double d = ui_->leDist->text().toDouble();
        if (d < 0 || d > kMaxDistance) {
            markInput(1, ui_->leDist);
            ok = false;
        }
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

void BasePositionWidget::onSet() {
    const int m = second_->data().toInt();
    if (!checkInputs(m)) {
        showWarning(this, tr("Error"), tr("Parameters invalid."));
        return;
    }
    if (!checkRanges(m)) {
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Parameters out of range."), QMessageBox::Ok);
        return;
    }
    if (m == AddPosition && !positionGiven_) {
        latitude_.mark(1);
        longitude_.mark(1);
        markInput(1, ui_->leH);
        showWarning(this, tr("Error"),
                    tr("Enter the position, or get the current one, to add it: nothing was "
                       "sent."));
        return;
    }
    if (m == SetDistance && !distanceRead_ && !distanceEdited_) {
        // The default shown after a silent receiver is not the receiver's distance.
        markInput(1, ui_->leDist);
        showWarning(this, tr("Error"),
                    tr("Distance was not read from the receiver: enter it to set it."));
        return;
    }
    DeviceManager* dm = DeviceManager::instance();
    bool sent = false;
    if (m == SetDistance) {
        const double d = distanceEdited_ ? ui_->leDist->text().toDouble() : distanceValue_;
        sent = dm->setBasePosDifference(d);
        if (sent) {
            dm->setDevcInfoAutoBaseDist(static_cast<unsigned short>(d));
        }
    } else {
        sent = dm->addBasePosition(latitude_.degreesValue(), longitude_.degreesValue(),
                                   ui_->leH->text().toDouble());
    }
    if (!sent) {
        showWarning(this, tr("Error"),
                    dm->isBasePosListSupported()
                        ? tr("The receiver keeps no base positions: nothing was sent.")
                        : tr("The receiver's base position list has not been read yet: nothing "
                             "was sent."));
        return;
    }
    setWaitCursor(true);
    setEditorsEnabled(false);
    stopTimer(setTimer_);
    setTimer_ = startTimer(uiMs(kSetMs));
}

void BasePositionWidget::onQueryPos() {
    cutPosition();
    connectQueued(DeviceObserver::instance(), this, SIGNAL(position()), SLOT(onPos()));
    setWaitCursor(true);
    setEditorsEnabled(false);
    DeviceManager::instance()->startPositionOutput();
    stopTimer(positionTimer_);
    positionTimer_ = startTimer(uiMs(kPositionMs));
}

void BasePositionWidget::onPos() {
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
    ui_->leH->setText(QString::number(p.Height, 'f', kSecondsDecimals));
    positionGiven_ = true;
}

void BasePositionWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id != distanceTimer_ && id != positionTimer_ && id != setTimer_) {
        Widget::timerEvent(event);
        return;
    }
    setWaitCursor(false);
    setEditorsEnabled(true);
    stopTimer(id);
    if (id == distanceTimer_) {
        distanceTimer_ = -1;
        cutDistanceAnswers();
        ui_->leDist->setText(AppConfig::instance().currentType() == 1 ? QStringLiteral("0")
                                                                      : QStringLiteral("10"));
        // Shown as the default, marked: Set writes it only once the user has typed one.
        distanceRead_ = false;
        distanceEdited_ = false;
        markInput(1, ui_->leDist);
    } else if (id == positionTimer_) {
        positionTimer_ = -1;
        cutPosition();
        // The output asked for is switched off again, as after a position.
        DeviceManager::instance()->stopPositionOutput();
        showWarning(this, tr("Warning"), tr("Failed to get current position."));
    } else {
        setTimer_ = -1;
    }
}

void BasePositionWidget::setEditorsEnabled(bool on) {
    editorsOn_ = on;
    const bool distance = mode_ == Distance;
    ui_->rbDist->setEnabled(on);
    ui_->rbFixPos->setEnabled(on);
    ui_->leDist->setEnabled(on && distance);
    latitude_.setEnabled(on && !distance);
    longitude_.setEnabled(on && !distance);
    ui_->leH->setEnabled(on && !distance);
    ui_->pbHere->setEnabled(on && !distance);
    first_->setEnabled(on);
    second_->setEnabled(on);
    Widget::setEditorsEnabled(on);
}

// Leaving ends every wait, so no answer or time-out of this page acts on another.
void BasePositionWidget::deactivate() {
    if (positionTimer_ > 0) {
        // Left while waiting for a position: the output asked for goes off.
        DeviceManager::instance()->stopPositionOutput();
    }
    for (int* timer : {&distanceTimer_, &positionTimer_, &setTimer_}) {
        stopTimer(*timer);
        *timer = -1;
    }
    cutDistanceAnswers();
    cutPosition();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void BasePositionWidget::on_leDist_textChanged() {
    markInput(0, ui_->leDist);
}

void BasePositionWidget::on_leH_textChanged() {
    markInput(0, ui_->leH);
}

void BasePositionWidget::on_leBD_textChanged() {
    latitude_.mark(0);
}

void BasePositionWidget::on_leBF_textChanged() {
    latitude_.mark(0);
}

void BasePositionWidget::on_leBM_textChanged() {
    latitude_.mark(0);
}

void BasePositionWidget::on_leLD_textChanged() {
    longitude_.mark(0);
}

void BasePositionWidget::on_leLF_textChanged() {
    longitude_.mark(0);
}

void BasePositionWidget::on_leLM_textChanged() {
    longitude_.mark(0);
}

}  // namespace Varnok
