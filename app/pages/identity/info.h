#pragma once

#include "widget.h"

class QAction;
namespace Ui {
class Info;
}

namespace Varnok {

// The battery grade as the information pages show it: 0-10 in tens of percent, 11 charging,
// 12 external power.
QString batteryText(int grade);

// Identity of an old-protocol receiver: model, serial and part number, production date,
// firmware, battery and (device type 0) the GPRS module's version.
class Info : public Widget {
    Q_OBJECT

public:
    explicit Info(QWidget* parent = nullptr);
    ~Info() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;

    static constexpr int kQueryMs = 3000;
    static constexpr int kResetMs = 30000;

signals:
    void command(const QString& page);

public slots:
    void sendCommand();
    void onWorkingStatus(int status);
    void onDeviceInfo();
    void onBatteryLife(int grade);
    void onGPRSVersion();
    void sateChanControl();
    void reset();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void joinAnswers();
    void cutAnswers();
    void clearFields();
    void answered(int bit);
    void completeIfAll();

    Ui::Info* ui_;
    int queryTimer_ = -1;
    int resetTimer_ = -1;
    int answerMask_ = 0;
    bool satelliteChannels_ = false;
    QAction* l2c_;
    QAction* reset_;
    QAction* get_;
};

}  // namespace Varnok
