#pragma once

#include <QByteArray>

#include <memory>

#include "widget.h"

namespace Ui {
class WIFIConfigWidgetClass;
}

namespace Varnok {

// Tab 0 of the wireless window: the receiver's Wi-Fi power, access point and sharing.
class WIFIConfigWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kPowerPollMs = 1000;
    static constexpr int kQueryTimeoutMs = 3000;
    static constexpr int kSetTimeoutMs = 2000;
    static constexpr int kPowerTimeoutMs = 10000;
    static constexpr int kDialPollMs = 2000;

    explicit WIFIConfigWidget(QWidget* parent = nullptr);
    ~WIFIConfigWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;

    void queryInfo();
    void setInfo();

    Ui::WIFIConfigWidgetClass* form() const { return ui_.get(); }
    bool querying() const { return querying_; }
    bool powering() const { return powering_; }
    int busyCount() const { return busy_; }

signals:
    void busy(bool on);
    void powerOn(bool on);

public slots:
    void onWifiMode();
    void onWifiParams();
    void onWifiStatus();
    void onWifiAutoPower(bool on);
    void onWifiShare();
    void onWifiAutoShare();
    void onModemDialStatus();
    void onHotSpotStateChanged(int state);
    void onPowerOnStateChanged(int state);
    void onPowerOn(bool on);

private slots:
    void on_cbPlainPsw_stateChanged(int state);
    void on_cbPswType_currentIndexChanged();
    void on_lePsw_textChanged();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void clearForm();
    void connectAnswers();
    void disconnectAnswers();
    void completionTest();
    void updateEditors(bool power, bool hotSpot);
    bool checkInput();
    // Counts the running operations: busy(true) on the first, busy(false) after the last.
    void beginOperation();
    void endOperation();
    void stop(int& timerId);

    std::unique_ptr<Ui::WIFIConfigWidgetClass> ui_;
    int answered_ = 0;
    bool querying_ = false;
    bool powering_ = false;
    bool modemDialled_ = false;
    int requestedPower_ = -1;
    int lastStatus_ = 0;
    int busy_ = 0;
    // The SSID exactly as the receiver last gave it, sent back unchanged.
    QByteArray ssid_;
    bool apAnswered_ = false;
    // The share flags answered (or the box clicked) since the query: only then written.
    bool shareRead_ = false;
    bool shareAutoRead_ = false;
    int powerPoll_ = -1;
    int queryTimeout_ = -1;
    int setTimer_ = -1;
    int powerTimer_ = -1;
    int dialPoll_ = -1;
};

}  // namespace Varnok
