#pragma once

#include <QTimer>

#include <memory>

#include "widget.h"

class QAction;

namespace Ui {
class SatelliteChannelController;
}

namespace Varnok {

// Switches the receiver's GPS L2C, GPS L5 and GLONASS L3 channels, read from and set through
// its device information.
class SatelliteChannelControl : public Widget {
    Q_OBJECT

public:
    static constexpr int kWaitMs = 1000;

    explicit SatelliteChannelControl(QWidget* parent = nullptr);
    ~SatelliteChannelControl() override;

    void activate() override;

public slots:
    void onQueryStatus();
    void onSetStatus();
    void onShowSateChannelStatus();
    // The wait timer's expiry.
    void onWorkingStatus();

private:
    void beginWait();
    void setControlsEnabled(bool on);
    void showCachedStatus();

    std::unique_ptr<Ui::SatelliteChannelController> ui_;
    QTimer timer_;
    bool answered_ = true;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
};

}  // namespace Varnok
