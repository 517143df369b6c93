#pragma once

#include <QList>

#include <memory>

#include "widget.h"

namespace Ui {
class DataChain;
}

namespace Varnok {

class DataChain_Net;
class DataChain_Radio;

// "DataLink" of old-protocol receivers: reads the radio transmit mode (0 the GPRS link, any
// other the radio with that air protocol), shows the GPRS or the radio panel, runs their
// time-outs, checks and sends them, and opens the call sign page for the radio.
class DataChain : public Widget {
    Q_OBJECT

public:
    static constexpr int kLinkTypeTimeoutMs = 5000;
    static constexpr int kNetQueryTimeoutMs = 10000;
    static constexpr int kRadioQueryTimeoutMs = 15000;
    static constexpr int kRadioSetMs = 2000;
    static constexpr int kNetSetMs = 60000;
    static constexpr int kModeBit = 16;

    explicit DataChain(QWidget* parent = nullptr);
    ~DataChain() override;

    void activate() override;
    void setParams(const ValueHash& values, Widget* from) override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

    DataChain_Net* netPanel() const { return net_; }
    DataChain_Radio* radioPanel() const { return radio_; }
    Widget* shownPanel() const { return shown_.isEmpty() ? nullptr : shown_.last(); }
    Ui::DataChain* form() const { return ui_.get(); }
    bool anyTimerRunning() const;

    static Widget* make(QWidget* parent) { return new DataChain(parent); }

signals:
    void command(const QString& page);

public slots:
    void sendCommand();
    void setInfo();
    void onDataLinkTypeChanged(int index);
    void onRadioProtocol();
    void onEnableNetInterface(bool on);
    void onGotRadioData();
    void onCallsign();
    void onSetTimeout();
    void onSetEditorEnabled(bool on);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void resetChoice();
    void joinMode(bool on);
    void showPanel(Widget* panel);
    void hidePanel();
    void showNet();
    void showRadio();
    int checkInput();
    void stop(int& timer);

    std::unique_ptr<Ui::DataChain> ui_;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
    DataChain_Radio* radio_ = nullptr;
    DataChain_Net* net_ = nullptr;
    QList<Widget*> shown_;
    int linkTimer_ = -1;
    int netTimer_ = -1;
    int radioTimer_ = -1;
    int setTimer_ = -1;
    int answerFlags_ = 0;
    int mode_ = 0;
};

}  // namespace Varnok
