#include "wireless_config_widget.h"

#include <QAction>
#include <QTabWidget>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "apn_config_widget.h"
#include "wifi_config_widget.h"

namespace Varnok {

WirelessConfigWidget::WirelessConfigWidget(QWidget* parent) : Widget(parent) {
    setWindowTitle(tr("Wireless Settings"));
    createActions();
    buildTabs();
}

void WirelessConfigWidget::createActions() {
    get_ = createAction(tr("Get"), this);
    connect(get_, &QAction::triggered, this, &WirelessConfigWidget::onQueryInfo);
    set_ = createAction(tr("Set"), this);
    connect(set_, &QAction::triggered, this, &WirelessConfigWidget::onSetInfo);
}

void WirelessConfigWidget::buildTabs() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(this);
    layout->addWidget(tabs_);
    wifi_ = new WIFIConfigWidget(tabs_);
    connect(wifi_, &WIFIConfigWidget::busy, this, &WirelessConfigWidget::onOperationBusy);
    connect(wifi_, &WIFIConfigWidget::powerOn, this, [this](bool on) { tabPower_[0] = on; });
    tabs_->addTab(wifi_, tr("WIFI Settings"));
    apn_ = new APNConfigWidget(tabs_);
    connect(apn_, &APNConfigWidget::busy, this, &WirelessConfigWidget::onOperationBusy);
    connect(apn_, &APNConfigWidget::powerOn, this, [this](bool on) { tabPower_[1] = on; });
    tabs_->addTab(apn_, tr("APN Settings"));
    connect(tabs_, &QTabWidget::currentChanged, this, &WirelessConfigWidget::onCurrentChanged);
}

Widget* WirelessConfigWidget::tab(int index) const {
    switch (index) {
        case 0:
            return wifi_;
        case 1:
            return apn_;
        default:
            return nullptr;
    }
}

void WirelessConfigWidget::onQueryInfo() {
    if (index_ == 0) {
        wifi_->queryInfo();
    } else if (index_ == 1) {
        apn_->queryInfo();
    }
}

void WirelessConfigWidget::onSetInfo() {
    setFocus(Qt::OtherFocusReason);
    if (index_ == 0) {
        wifi_->setInfo();
    } else if (index_ == 1) {
        apn_->setInfo();
    }
}

void WirelessConfigWidget::onCurrentChanged(int index) {
    if (index != index_) {
        setWaitCursor(false);
        if (Widget* old = tab(index_)) {
            old->deactivate();
        }
        index_ = index;
    }
    if (Widget* current = tab(index_)) {
        current->activate();
    }
}

void WirelessConfigWidget::activate() {
    onCurrentChanged(index_);
}

void WirelessConfigWidget::deactivate() {
    wifi_->deactivate();
    apn_->deactivate();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void WirelessConfigWidget::onOperationBusy(bool busy) {
    setWaitCursor(busy);
    setEditorsEnabled(!busy);
}

void WirelessConfigWidget::onPowerOn(bool on) {
    if (index_ == 0 || index_ == 1) {
        tabPower_[index_] = on;
    }
}

bool WirelessConfigWidget::powerOnFlag() const {
    // Each tab's own power report: a modem read as off keeps Set off on the modem tab
    // whatever the Wi-Fi tab reported.
    return (index_ == 0 || index_ == 1) && tabPower_[index_];
}

void WirelessConfigWidget::setEditorsEnabled(bool enabled) {
    if (Widget* current = tab(index_)) {
        current->setEditorsEnabled(enabled);
    }
    get_->setEnabled(enabled);
    set_->setEnabled(enabled && powerOnFlag());
    Widget::setEditorsEnabled(enabled);
}

void WirelessConfigWidget::timerEvent(QTimerEvent* event) {
    stopTimer(event->timerId());
    setWaitCursor(false);
}

}  // namespace Varnok
