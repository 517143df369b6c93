#include "base_position_list_widget.h"

#include <QAction>
#include <QHeaderView>
#include <QTableWidgetItem>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "timer_scale.h"
#include "ui_base_position_list_widget.h"

namespace Varnok {

namespace {

constexpr int kDecimalDegrees = 1;

}  // namespace

BasePositionListWidget::BasePositionListWidget(QWidget* parent)
    : Widget(parent), ui_(new Ui::BasePositionListWidgetClass) {
    ui_->setupUi(this);
    get_ = createAction(tr("Get"), this);
    connect(get_, SIGNAL(triggered()), this, SLOT(onQueryList()));
    remove_ = createAction(tr("Delete"), this);
    connect(remove_, SIGNAL(triggered()), this, SLOT(onRemove()));
    clear_ = createAction(tr("Clear"), this);
    connect(clear_, SIGNAL(triggered()), this, SLOT(onClearList()));
    QTableWidget* table = ui_->tableWidget;
    table->setHorizontalHeaderLabels({tr("B"), tr("L"), tr("H")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setHighlightSections(false);
    table->setContentsMargins(2, 2, 2, 2);
}

BasePositionListWidget::~BasePositionListWidget() {
    cutAnswers();
    delete ui_;
}

void BasePositionListWidget::cutAnswers() {
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        disconnectSignal(hub, SIGNAL(basePosList()), this);
    }
}

void BasePositionListWidget::busy(int& timer, int ms) {
    setWaitCursor(true);
    setEditorsEnabled(false);
    stopTimer(timer);
    timer = startTimer(uiMs(ms));
}

void BasePositionListWidget::activate() {
    // Rows of an earlier visit may be another receiver's: a delete must name this list's rows.
    ui_->tableWidget->setRowCount(0);
    cutAnswers();
    connectQueued(DeviceObserver::instance(), this, SIGNAL(basePosList()), SLOT(onPosList()));
    onQueryList();
}

void BasePositionListWidget::onQueryList() {
    busy(queryTimer_, kQueryMs);
    DeviceManager::instance()->queryBasePositionList();
}

void BasePositionListWidget::onClearList() {
    busy(clearTimer_, kClearMs);
    if (!DeviceManager::instance()->clearBasePositionList()) {
        notSent();
    }
}

void BasePositionListWidget::notSent() {
    // The wait goes on: it ends by asking for the list, which the next try needs.
    showWarning(this, tr("Error"),
                tr("The receiver's base position list has not been read yet: nothing was sent."));
}

void BasePositionListWidget::onRemove() {
    const int row = ui_->tableWidget->currentRow();
    busy(removeTimer_, kRemoveMs);
    if (row >= 0 && row < ui_->tableWidget->rowCount()) {
        if (!DeviceManager::instance()->removeBasePosition(row)) {
            notSent();
        }
    } else {
        showWarning(this, tr("Error"), tr("No valid row selected."));
    }
}

void BasePositionListWidget::stopTimers() {
    for (int* timer : {&queryTimer_, &removeTimer_, &clearTimer_}) {
        stopTimer(*timer);
        *timer = -1;
    }
}

void BasePositionListWidget::onPosList() {
    stopTimers();
    setWaitCursor(false);
    setEditorsEnabled(true);
    QTableWidget* table = ui_->tableWidget;
    table->clearContents();
    const std::vector<BasePosition> list = DeviceManager::instance()->basePositionList();
    table->setRowCount(static_cast<int>(list.size()));
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        const BasePosition& p = list[static_cast<std::size_t>(i)];
        table->setItem(i, 0,
                       new QTableWidgetItem(LogicContext::formatDms(p.latitude, kDecimalDegrees)));
        table->setItem(i, 1,
                       new QTableWidgetItem(LogicContext::formatDms(p.longitude, kDecimalDegrees)));
        table->setItem(i, 2, new QTableWidgetItem(QString::number(p.height, 'f', 5)));
    }
}

void BasePositionListWidget::timerEvent(QTimerEvent* event) {
    const int id = event->timerId();
    if (id != queryTimer_ && id != removeTimer_ && id != clearTimer_) {
        Widget::timerEvent(event);
        return;
    }
    setWaitCursor(false);
    setEditorsEnabled(true);
    const bool ask = id == removeTimer_ || id == clearTimer_;
    stopTimers();
    if (ask) {
        DeviceManager::instance()->queryBasePositionList();
    }
}

void BasePositionListWidget::setEditorsEnabled(bool on) {
    ui_->tableWidget->setEnabled(on);
    get_->setEnabled(on);
    remove_->setEnabled(on);
    clear_->setEnabled(on);
    Widget::setEditorsEnabled(on);
}

void BasePositionListWidget::deactivate() {
    cutAnswers();
    stopTimers();
    setWaitCursor(false);
    setEditorsEnabled(true);
}

}  // namespace Varnok
