#pragma once

#include <memory>

#include "widget.h"

class QAction;

namespace Ui {
class DataLinkWidgetClass;
}

namespace Varnok {

class RadioWidget;
class WirelessWidget;

// "DataLink" of new-protocol receivers: reads the data link mode, shows the network or the
// UHF radio panel, forwards Set to it, follows its busy state and carries the radio's call
// sign to and from the call sign page.
class DataLinkWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 2000;

    explicit DataLinkWidget(QWidget* parent = nullptr);
    ~DataLinkWidget() override;

    void activate() override;
    void setParams(const ValueHash& values, Widget* from) override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

    RadioWidget* radioPanel() const { return radio_; }
    WirelessWidget* netPanel() const { return net_; }
    Widget* shownPanel() const { return shown_; }
    Ui::DataLinkWidgetClass* form() const { return ui_.get(); }
    QAction* getAction() const { return get_; }
    QAction* setAction() const { return set_; }
    bool querying() const { return queryTimer_ > 0; }

    static Widget* make(QWidget* parent) { return new DataLinkWidget(parent); }

signals:
    void command(const QString& page);

public slots:
    void onQueryInfo();
    void onSetInfo();
    void onWorkModeChanged(int index);
    void onDataLinkType();
    void onOperationBusy(bool busy);
    void onPowerOn(bool on);
    void onCallSign(int state, int interval, const QString& text);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void joinMode(bool on);
    void showPanel(Widget* panel);
    void hidePanel();
    void stopQuery();

    std::unique_ptr<Ui::DataLinkWidgetClass> ui_;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
    RadioWidget* radio_ = nullptr;
    WirelessWidget* net_ = nullptr;
    Widget* shown_ = nullptr;
    int modeIndex_ = -1;
    int queryTimer_ = -1;
    bool radioPower_ = false;
    bool inSetting_ = false;
};

}  // namespace Varnok
