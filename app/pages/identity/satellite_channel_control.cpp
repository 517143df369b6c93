#include "satellite_channel_control.h"

#include <QAction>

#include "device_manager.h"
#include "device_observer.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_satellite_channel_control.h"

namespace Varnok {

SatelliteChannelControl::SatelliteChannelControl(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::SatelliteChannelController>()), timer_(this) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    set_ = createAction(tr("Set"), this);
    connect(get_, &QAction::triggered, this, &SatelliteChannelControl::onQueryStatus);
    connect(set_, &QAction::triggered, this, &SatelliteChannelControl::onSetStatus);
    connect(&timer_, &QTimer::timeout, this, &SatelliteChannelControl::onWorkingStatus);
}

SatelliteChannelControl::~SatelliteChannelControl() = default;

void SatelliteChannelControl::activate() {
    // Joined once however often the page is shown: an answer refreshes the boxes once.
    connect(DeviceObserver::instance(), SIGNAL(deviceInfo()), this, SLOT(onShowSateChannelStatus()),
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
    answered_ = true;
    showCachedStatus();
}

void SatelliteChannelControl::showCachedStatus() {
    const bool* on = DeviceManager::instance()->satelliteChannelStatus();
    ui_->L2CBox->setChecked(on[0]);
    ui_->L5Box->setChecked(on[1]);
    ui_->L3Box->setChecked(on[2]);
}

void SatelliteChannelControl::setControlsEnabled(bool on) {
    get_->setEnabled(on);
    set_->setEnabled(on);
    ui_->L2CBox->setEnabled(on);
    ui_->L5Box->setEnabled(on);
    ui_->L3Box->setEnabled(on);
    emit editorEnabled(on);
}

void SatelliteChannelControl::beginWait() {
    setWaitCursor(true);
    setControlsEnabled(false);
    timer_.start(uiMs(kWaitMs));
}

void SatelliteChannelControl::onQueryStatus() {
    beginWait();
    ui_->L2CBox->setChecked(false);
    ui_->L5Box->setChecked(false);
    ui_->L3Box->setChecked(false);
    answered_ = false;
    DeviceManager::instance()->queryDeviceInfo();
}

void SatelliteChannelControl::onSetStatus() {
    beginWait();
    SatelliteChannelBytes bytes;
    bytes.l2c = ui_->L2CBox->isChecked() ? 1 : 0;
    bytes.l5 = ui_->L5Box->isChecked() ? 1 : 0;
    bytes.l3 = ui_->L3Box->isChecked() ? 1 : 0;
    DeviceManager::instance()->setSatelliteChannelStatus(bytes);
}

void SatelliteChannelControl::onShowSateChannelStatus() {
    answered_ = true;
    showCachedStatus();
}

void SatelliteChannelControl::onWorkingStatus() {
    setWaitCursor(false);
    setControlsEnabled(true);
    timer_.stop();
    if (!answered_) {
        showWarning(this, tr("Warning"), tr("Failed To Get Parameters! "));
        answered_ = true;
        // The cleared boxes would read as "all off": show what the receiver last reported.
        showCachedStatus();
    }
}

}  // namespace Varnok
