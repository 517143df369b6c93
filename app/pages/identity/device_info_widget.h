#pragma once

#include "widget.h"

class QAction;
namespace Ui {
class DeviceInfoWidgetClass;
}

namespace Varnok {

// Identity of a new-protocol receiver: hardware serial and part number, firmware and battery,
// read again on every visit.
class DeviceInfoWidget : public Widget {
    Q_OBJECT

public:
    explicit DeviceInfoWidget(QWidget* parent = nullptr);
    ~DeviceInfoWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;

    static constexpr int kQueryMs = 3500;
    static constexpr int kResetMs = 30000;

public slots:
    void onQueryInfo();
    void onReset();
    void onFirmwareInfo();
    void onHardwareInfo();
    void onBatteryLife(int grade);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void joinAnswers();
    void cutAnswers();
    void answered(int bit);

    Ui::DeviceInfoWidgetClass* ui_;
    int resetTimer_ = -1;
    int queryTimer_ = -1;
    int answerMask_ = 0;
    QAction* reset_;
    QAction* get_;
};

}  // namespace Varnok
