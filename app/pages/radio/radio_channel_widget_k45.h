#pragma once

#include <memory>

#include "widget.h"

class QAction;
class QTimerEvent;

namespace Ui {
class RadioChannelWidgetK45Class;
}

namespace Varnok {

// The channel tables of a new-protocol receiver's radio: asks for the module type and the
// channel lists, and three seconds later shows what the receiver reported (band tables or the
// single list), or else the channel file's defaults for the radio.
class RadioChannelWidgetK45 : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 3000;

    explicit RadioChannelWidgetK45(QWidget* parent = nullptr);
    ~RadioChannelWidgetK45() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;

    QAction* getAction() const { return get_; }
    bool isWaiting() const { return queryTimer_ > 0; }

public slots:
    void onQueryInfo();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void createActions();
    bool showBandTables();
    bool showSingleTable();
    bool showDefaultTables();

    std::unique_ptr<Ui::RadioChannelWidgetK45Class> ui_;
    QAction* get_ = nullptr;
    int queryTimer_ = -1;
};

}  // namespace Varnok
