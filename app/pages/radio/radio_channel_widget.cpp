#include "radio_channel_widget.h"

#include "channel_table.h"
#include "device_manager.h"
#include "logic_context.h"
#include "radio_channels_config.h"
#include "radio_config.h"
#include "ui_radio_channel_widget.h"

namespace Varnok {

RadioChannelWidget::RadioChannelWidget(QWidget* parent)
    : Widget(parent), ui_(std::make_unique<Ui::RadioChannelWidgetClass>()) {
    ui_->setupUi(this);
}

RadioChannelWidget::~RadioChannelWidget() = default;

void RadioChannelWidget::loadChannels() {
    channels_.clear();
    const RadioChannelsConfig file;
    const DeviceManager* m = DeviceManager::instance();
    const int band = m->isNewProtocolReceiver()
                         ? LogicContext::bandOfGroup(
                               LogicContext::radioTypeGroup(RadioConfig::instance().radioType()))
                         : RadioChannelsConfig::bandOfType(m->radioInfo().radioType);
    threeBands_ = band == 3;
    if (threeBands_) {
        for (int b = 0; b < 3; ++b) {
            channels_.emplace_back();
            file.load(b, channels_.back());
        }
    } else if (band >= 0 && band < 3) {
        channels_.emplace_back();
        file.load(band, channels_.back());
    }
    // A radio of no known band has no column in the file: the table stays empty.
}

void RadioChannelWidget::activate() {
    loadChannels();
    ChannelTable::setup(ui_->tableWidget);
    const QStringList titles = threeBands_
                                   ? QStringList{tr("High Freq.( MHz )"), tr("Middle Freq.( MHz )"),
                                                 tr("Low Freq.( MHz )")}
                                   : QStringList{tr("Frequency( MHz )")};
    ChannelTable::show(ui_->tableWidget, titles, channels_, kRows, 0);
}

void RadioChannelWidget::deactivate() {
    ui_->tableWidget->clear();
}

}  // namespace Varnok
