#include "datalink_widget.h"

#include <QAction>
#include <QComboBox>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "link_fields.h"
#include "prompts.h"
#include "radio_widget.h"
#include "timer_scale.h"
#include "ui_datalink_widget.h"
#include "wireless_widget.h"

namespace Varnok {

DataLinkWidget::DataLinkWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::DataLinkWidgetClass>()) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    connect(get_, &QAction::triggered, this, &DataLinkWidget::onQueryInfo);
    connect(set_, &QAction::triggered, this, &DataLinkWidget::onSetInfo);
    ui_->cbWorkMode->clear();
    ui_->cbWorkMode->addItem(tr("GRPS"), 3);
    ui_->cbWorkMode->addItem(tr("Internal UHF"), 1);
    ui_->cbWorkMode->setCurrentIndex(-1);
    radio_ = new RadioWidget(this);
    connect(radio_, &RadioWidget::busy, this, &DataLinkWidget::onOperationBusy);
    connect(radio_, &RadioWidget::powerOn, this, &DataLinkWidget::onPowerOn);
    connect(radio_, &RadioWidget::callSign, this, &DataLinkWidget::onCallSign);
    net_ = new WirelessWidget(this);
    connect(net_, &WirelessWidget::busy, this, &DataLinkWidget::onOperationBusy);
    radio_->hide();
    net_->hide();
    connect(ui_->cbWorkMode, &QComboBox::currentIndexChanged, this,
            &DataLinkWidget::onWorkModeChanged);
}

DataLinkWidget::~DataLinkWidget() {
    joinMode(false);
}

void DataLinkWidget::joinMode(bool on) {
    DeviceObserver* hub = on ? DeviceObserver::instance() : DeviceObserver::existingInstance();
    if (!hub) {
        return;
    }
    disconnectSignal(hub, SIGNAL(dataLinkMode()), this);
    if (on) {
        connectQueued(hub, this, SIGNAL(dataLinkMode()), SLOT(onDataLinkType()));
    }
}

void DataLinkWidget::activate() {
    if (inSetting_) {
        // Back from the call sign page: the values on screen and the call sign stay.
        inSetting_ = false;
        return;
    }
    onQueryInfo();
}

void DataLinkWidget::onQueryInfo() {
    setWaitCursor(true);
    setEditorsEnabled(false);
    ui_->cbWorkMode->setCurrentIndex(-1);
    net_->clearEditors();
    radio_->clearValues();
    joinMode(true);
    DeviceManager::instance()->queryDataLinkMode();
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void DataLinkWidget::stopQuery() {
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    joinMode(false);
}

void DataLinkWidget::onDataLinkType() {
    stopQuery();
    setWaitCursor(false);
    setEditorsEnabled(true);
    const int mode = DeviceManager::instance()->dataLinkMode();
    if (mode == 1 || mode == 3) {
        ui_->cbWorkMode->setCurrentIndex(ui_->cbWorkMode->findData(mode));
        return;
    }
    // A link this page does not edit: no panel, and none of its polls.
    hidePanel();
    if (mode == 2) {
        Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                     tr("Current datalink type is GSM."), QMessageBox::Ok);
    } else if (mode == 4) {
        Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                     tr("Current datalink type is External Radio or PDA Network."),
                                     QMessageBox::Ok);
    }
}

void DataLinkWidget::showPanel(Widget* panel) {
    // The panel shown before stops its polls and timers first, the same panel included, so
    // nothing of an earlier visit runs on or runs twice.
    if (shown_) {
        shown_->deactivate();
        shown_->hide();
        ui_->gridLayout->removeWidget(shown_);
    }
    ui_->gridLayout->addWidget(panel, 1, 0, 1, 2);
    shown_ = panel;
    panel->show();
    panel->activate();
}

void DataLinkWidget::hidePanel() {
    if (shown_) {
        Widget* old = shown_;
        shown_ = nullptr;
        old->deactivate();
        old->hide();
        ui_->gridLayout->removeWidget(old);
    }
    modeIndex_ = -1;
}

void DataLinkWidget::onWorkModeChanged(int index) {
    markInput(0, ui_->cbWorkMode);
    if (index == modeIndex_) {
        return;
    }
    modeIndex_ = index;
    if (index == 0) {
        showPanel(net_);
    } else if (index == 1) {
        showPanel(radio_);
    }
}

void DataLinkWidget::onSetInfo() {
    setFocus(Qt::OtherFocusReason);
    if (ui_->cbWorkMode->currentIndex() < 0) {
        markInput(1, ui_->cbWorkMode);
        Prompts::instance()->message(this, Prompts::Critical, tr("Error"),
                                     tr("Please enter parameters."), QMessageBox::Ok);
        return;
    }
    if (modeIndex_ == 0) {
        net_->setInfo();
    } else if (modeIndex_ == 1) {
        radio_->applySettings();
    }
}

void DataLinkWidget::onOperationBusy(bool busy) {
    setWaitCursor(busy);
    setEditorsEnabled(!busy);
}

void DataLinkWidget::onPowerOn(bool on) {
    radioPower_ = on;
}

void DataLinkWidget::setEditorsEnabled(bool enabled) {
    if (modeIndex_ == 0) {
        net_->setEditorsEnabled(enabled);
        set_->setEnabled(enabled);
    } else if (modeIndex_ == 1) {
        radio_->setEditorsEnabled(enabled);
        // A radio that is switched off cannot be set.
        set_->setEnabled(enabled && radioPower_);
    } else {
        set_->setEnabled(enabled);
    }
    ui_->cbWorkMode->setEnabled(enabled);
    get_->setEnabled(enabled);
    emit editorEnabled(enabled);
}

void DataLinkWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id < 1 || id != queryTimer_) {
        Widget::timerEvent(event);
        return;
    }
    stopQuery();
    hidePanel();
    setWaitCursor(false);
    setEditorsEnabled(true);
    Prompts::instance()->message(this, Prompts::Warning, tr("Warning"),
                                 tr("Failed to get data link type!"), QMessageBox::Ok);
}

void DataLinkWidget::deactivate() {
    stopQuery();
    net_->deactivate();
    radio_->deactivate();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void DataLinkWidget::onCallSign(int state, int interval, const QString& text) {
    inSetting_ = true;
    values() = LinkFields::newCallsignToHash(state, interval, text);
    values().insert(QStringLiteral("CSCut"), radio_->callSignCut());
    emit command(QStringLiteral("CallSign"));
}

void DataLinkWidget::setParams(const ValueHash& values, Widget*) {
    // Only the call sign page's Ok brings an edited call sign; a Back hands over nothing, and
    // the call sign read from the radio stays.
    if (!inSetting_ || !values.value(QStringLiteral("InSetting")).toBool()) {
        return;
    }
    radio_->setCallSign(LinkFields::newCallsignFromHash(values));
}

}  // namespace Varnok
