#include "data_monitor_widget.h"

#include <QTimerEvent>

#include "device_manager.h"
#include "ui_data_monitor_widget.h"
#include "timer_scale.h"

namespace Varnok {

DataMonitorWidget::DataMonitorWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::DataMonitorWidgetClass>()) {
    ui_->setupUi(this);
}

DataMonitorWidget::~DataMonitorWidget() = default;

int DataMonitorWidget::beginPause(bool on) {
    DeviceManager::instance()->setComDataMonitor(on);
    setWaitCursor(true);
    setEditorsEnabled(false);
    return startTimer(uiMs(kPauseMs));
}

void DataMonitorWidget::on_pbStart_clicked() {
    stopTimer(startTimer_);
    startTimer_ = beginPause(true);
}

void DataMonitorWidget::on_pbStop_clicked() {
    stopTimer(stopTimer_);
    stopTimer_ = beginPause(false);
}

void DataMonitorWidget::setEditorsEnabled(bool enabled) {
    ui_->pbStart->setEnabled(enabled);
    ui_->pbStop->setEnabled(enabled);
    Widget::setEditorsEnabled(enabled);
}

void DataMonitorWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id != startTimer_ && id != stopTimer_) {
        Widget::timerEvent(event);
        return;
    }
    stopTimer(id);
    startTimer_ = -1;
    stopTimer_ = -1;
    setWaitCursor(false);
    setEditorsEnabled(true);
}

void DataMonitorWidget::deactivate() {
    stopTimer(startTimer_);
    stopTimer(stopTimer_);
    startTimer_ = -1;
    stopTimer_ = -1;
    setWaitCursor(false);
    setEditorsEnabled(true);
}

}  // namespace Varnok
