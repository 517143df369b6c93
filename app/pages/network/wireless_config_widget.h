#pragma once

#include "widget.h"

class QAction;
class QTabWidget;

namespace Varnok {

class APNConfigWidget;
class WIFIConfigWidget;

// "WirelessConfig" of new-protocol receivers: the Wi-Fi and modem tabs under one Get and Set.
class WirelessConfigWidget : public Widget {
    Q_OBJECT

public:
    explicit WirelessConfigWidget(QWidget* parent = nullptr);

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }

    WIFIConfigWidget* wifiTab() const { return wifi_; }
    APNConfigWidget* apnTab() const { return apn_; }
    QTabWidget* tabs() const { return tabs_; }
    QAction* getAction() const { return get_; }
    QAction* setAction() const { return set_; }
    int currentIndex() const { return index_; }
    // The power-on report of the current tab.
    bool powerOnFlag() const;

public slots:
    void onQueryInfo();
    void onSetInfo();
    void onCurrentChanged(int index);
    void onOperationBusy(bool busy);
    void onPowerOn(bool on);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void createActions();
    void buildTabs();
    Widget* tab(int index) const;

    WIFIConfigWidget* wifi_ = nullptr;
    APNConfigWidget* apn_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
    int index_ = 0;
    // The last powerOn(bool) of each tab (Wi-Fi, modem).
    bool tabPower_[2] = {false, false};
};

}  // namespace Varnok
