#pragma once

#include <memory>

#include "device_manager.h"
#include "widget.h"

namespace Ui {
class APNConfigWidgetClass;
}

namespace Varnok {

// Tab 1 of the wireless window: the receiver's modem power, packet-data or CSD settings and
// the dial that follows a Set.
class APNConfigWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kPowerPollMs = 1000;
    static constexpr int kDialPollMs = 1000;
    static constexpr int kDialTimeoutMs = 30000;
    static constexpr int kSetTimeoutMs = 3000;
    static constexpr int kQueryTimeoutMs = 3000;
    static constexpr int kPowerTimeoutMs = 10000;

    explicit APNConfigWidget(QWidget* parent = nullptr);
    ~APNConfigWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;

    void queryInfo();
    void setInfo();

    bool isCsdMode() const;
    bool isRover() const;
    Ui::APNConfigWidgetClass* form() const { return ui_.get(); }
    bool querying() const { return querying_; }
    bool dialling() const { return dialling_; }
    int dialDirection() const { return direction_; }
    int answeredMask() const { return answered_; }
    int busyCount() const { return busy_; }

signals:
    void busy(bool on);
    void powerOn(bool on);

public slots:
    void onModemDialParam();
    void onModemPowerStatus();
    void onModemDialStatus();
    void onModemAutoPower(bool on);
    void onModemAutoDial(bool on);
    void onModemBandMode();
    void onModemWorkMode();
    void onCSDStatus();
    void onCSDParams();
    void onPowerOnStateChanged(int state);
    void onPowerOn(bool on);

private slots:
    void on_cbPlainPsw_stateChanged(int state);
    void on_cbMode_currentIndexChanged();
    void on_leAPN_textChanged();
    void on_leDialNum_textChanged();
    void on_leCSDNum_textChanged();
    void on_cbCommMode_currentIndexChanged(int index);
    void on_cbWorkMode_currentIndexChanged(int index);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void clearForm();
    void connectAnswers();
    void disconnectAnswers();
    void completionTest();
    void updateEditors(bool on);
    void applyCommMode(int mode);
    // The dial or CSD status reaches the tab, as the communication mode says.
    void useStatusSource(bool csd);
    bool checkInput();
    int currentDirection() const;
    void sendSettings();
    void endDial();
    void beginOperation();
    void endOperation();
    void stop(int& timerId);
    QString statusLine(const QString& base, int status, int countStatus, int errorStatus,
                       std::uint32_t count, int code) const;

    std::unique_ptr<Ui::APNConfigWidgetClass> ui_;
    int answered_ = 0;
    bool querying_ = false;
    bool dialling_ = false;
    int requestedPower_ = -1;
    int direction_ = -1;
    int lastPower_ = 0;
    QX_MODEM_DIAL_STATUS_STRUCT lastDial_{};
    QX_MODEM_CSD_STATUS_STRUCT lastCsd_{};
    int busy_ = 0;
    int powerPoll_ = -1;
    int dialPoll_ = -1;
    int dialTimeout_ = -1;
    int setTimer_ = -1;
    int queryTimeout_ = -1;
    int powerTimer_ = -1;
};

}  // namespace Varnok
