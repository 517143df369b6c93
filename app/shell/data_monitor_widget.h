#pragma once

#include <memory>

#include "widget.h"

namespace Ui {
class DataMonitorWidgetClass;
}

namespace Varnok {

// Switches the receiver's port data monitor on and off, then holds the buttons for a pause.
class DataMonitorWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kPauseMs = 2000;

    explicit DataMonitorWidget(QWidget* parent = nullptr);
    ~DataMonitorWidget() override;

    void setEditorsEnabled(bool enabled) override;
    void deactivate() override;
    bool pausing() const { return startTimer_ > 0 || stopTimer_ > 0; }

private slots:
    void on_pbStart_clicked();
    void on_pbStop_clicked();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    int beginPause(bool on);

    std::unique_ptr<Ui::DataMonitorWidgetClass> ui_;
    int startTimer_ = -1;
    int stopTimer_ = -1;
};

}  // namespace Varnok
