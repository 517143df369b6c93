#include "radio_channel_widget_k45.h"

#include <QAction>
#include <QTimerEvent>

#include <vector>

#include "channel_table.h"
#include "device_manager.h"
#include "logic_context.h"
#include "radio_config.h"
#include "timer_scale.h"
#include "ui_radio_channel_widget_k45.h"

namespace Varnok {

namespace {

QStringList bandTitles() {
    return {RadioChannelWidgetK45::tr("High Frequency( MHz )"),
            RadioChannelWidgetK45::tr("Middle Frequency( MHz )"),
            RadioChannelWidgetK45::tr("Low Frequency( MHz )")};
}

}  // namespace

RadioChannelWidgetK45::RadioChannelWidgetK45(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::RadioChannelWidgetK45Class>()) {
    ui_->setupUi(this);
    setWindowTitle(tr("Radio Channel"));
    createActions();
    ChannelTable::setup(ui_->tableWidget);
}

RadioChannelWidgetK45::~RadioChannelWidgetK45() {
    clearActions();
}

void RadioChannelWidgetK45::createActions() {
    get_ = createAction(tr("Get"), this);
    connect(get_, &QAction::triggered, this, &RadioChannelWidgetK45::onQueryInfo);
}

void RadioChannelWidgetK45::activate() {
    onQueryInfo();
}

void RadioChannelWidgetK45::onQueryInfo() {
    ui_->tableWidget->clearContents();
    setWaitCursor(true);
    setEditorsEnabled(false);
    DeviceManager* m = DeviceManager::instance();
    m->queryRadioModuleType();
    m->queryRadioChannelList(false, false);
    stopTimer(queryTimer_);
    queryTimer_ = startTimer(uiMs(kQueryMs));
}

void RadioChannelWidgetK45::timerEvent(QTimerEvent* event) {
    if (event->timerId() != queryTimer_ || queryTimer_ < 1) {
        Widget::timerEvent(event);
        return;
    }
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    setWaitCursor(false);
    setEditorsEnabled(true);
    if (!showBandTables() && !showSingleTable()) {
        showDefaultTables();
    }
}

bool RadioChannelWidgetK45::showBandTables() {
    const QStringList all = bandTitles();
    QStringList titles;
    std::vector<std::vector<double>> columns;
    for (int band = 0; band < 3; ++band) {
        std::vector<double> list;
        RadioConfig::instance().bandChannels(band, list);
        // Each reported band takes the next column under its own title.
        if (!list.empty()) {
            titles << all[band];
            columns.push_back(std::move(list));
        }
    }
    if (columns.empty()) {
        return false;
    }
    ChannelTable::show(ui_->tableWidget, titles, columns, ChannelTable::longest(columns), 1);
    return true;
}

bool RadioChannelWidgetK45::showSingleTable() {
    std::vector<double> list;
    RadioConfig::instance().singleBandChannels(list);
    if (list.empty()) {
        return false;
    }
    const int rows = static_cast<int>(list.size());
    ChannelTable::show(ui_->tableWidget, {tr("Frequency( MHz )")}, {std::move(list)}, rows, 0);
    return true;
}

bool RadioChannelWidgetK45::showDefaultTables() {
    std::vector<double> single, high, middle, low;
    LogicContext::defaultChannelTables(single, high, middle, low);
    if (!single.empty()) {
        const int rows = static_cast<int>(single.size());
        ChannelTable::show(ui_->tableWidget, {tr("Frequency( MHz )")}, {std::move(single)}, rows,
                           0);
        return true;
    }
    if (high.empty()) {
        return false;
    }
    const std::vector<std::vector<double>> columns{std::move(high), std::move(middle),
                                                   std::move(low)};
    ChannelTable::show(ui_->tableWidget, bandTitles(), columns, ChannelTable::longest(columns), 0);
    return true;
}

void RadioChannelWidgetK45::setEditorsEnabled(bool enabled) {
    get_->setEnabled(enabled);
    ui_->tableWidget->setEnabled(enabled);
    Widget::setEditorsEnabled(enabled);
}

void RadioChannelWidgetK45::deactivate() {
    const bool waiting = queryTimer_ > 0;
    stopTimer(queryTimer_);
    queryTimer_ = -1;
    if (waiting) {
        setWaitCursor(false);
    }
    setEditorsEnabled(true);
}

}  // namespace Varnok
