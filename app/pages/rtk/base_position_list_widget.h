#pragma once

#include "widget.h"

class QAction;
namespace Ui {
class BasePositionListWidgetClass;
}

namespace Varnok {

// The receiver's stored base positions: reload, delete one, clear.
class BasePositionListWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 3000;
    static constexpr int kRemoveMs = 2000;
    static constexpr int kClearMs = 3000;

    explicit BasePositionListWidget(QWidget* parent = nullptr);
    ~BasePositionListWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;
    bool hasBackAction() const override { return true; }

public slots:
    void onQueryList();
    void onRemove();
    void onClearList();
    void onPosList();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void stopTimers();
    void cutAnswers();
    void busy(int& timer, int ms);
    void notSent();

    Ui::BasePositionListWidgetClass* ui_;
    QAction* get_;
    QAction* remove_;
    QAction* clear_;
    int queryTimer_ = -1;
    int removeTimer_ = -1;
    int clearTimer_ = -1;
};

}  // namespace Varnok
