#pragma once

#include <memory>
#include <vector>

#include "widget.h"

namespace Ui {
class RadioChannelWidgetClass;
}

namespace Varnok {

// The channel frequencies of the channel file for the connected radio's band: one column, or
// three for a radio spanning the high, middle and low bands. Asks the receiver nothing.
class RadioChannelWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kRows = 10;

    explicit RadioChannelWidget(QWidget* parent = nullptr);
    ~RadioChannelWidget() override;

    void activate() override;
    void deactivate() override;

    bool showsThreeBands() const { return threeBands_; }

private:
    void loadChannels();

    std::unique_ptr<Ui::RadioChannelWidgetClass> ui_;
    std::vector<std::vector<double>> channels_;
    bool threeBands_ = false;
};

}  // namespace Varnok
