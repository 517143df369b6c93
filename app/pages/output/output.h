#pragma once

#include <QList>

#include <memory>
#include <vector>

#include "BVParse/Em_GnssTypes.h"
#include "widget.h"

class QAction;
class QCheckBox;
class QComboBox;

namespace Ui {
class Output;
}

namespace Varnok {

using NmeaRate = Brevan2011::BVParse::_set_nmea;

// Which NMEA sentences the receiver sends, at which rates, over which output, and its serial
// port's baud rate.
class Output : public Widget {
    Q_OBJECT

public:
    static constexpr int kStartDelayMs = 50;
    static constexpr int kQueryMs = 3000;
    static constexpr int kSetMs = 2000;
    static constexpr int kStopMs = 1000;

    explicit Output(QWidget* parent = nullptr);
    ~Output() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;

    // A data-configuration list code as the rate combos' data (0 for none).
    static int rateOfListCode(int code);
    // The receiver's port code of the new protocol as a baud rate.
    static int baudOfComCode(int code);
    // The old protocol's baud code as a baud rate.
    static int baudOfCode(int code);

public slots:
    void onPickAll();
    void onAccept();
    void onStop();
    void onQueryInfo();
    void onNMEAConfigs();
    void onComBaud();
    void onIOConfigs();
    void on_checkBox_stateChanged(int state);
    void onSetTimeout();

protected:
    void timerEvent(QTimerEvent* event) override;
    void queryTimedOut(unsigned receivedMask) override;

private:
    struct Row {
        QCheckBox* box = nullptr;
        QComboBox* rate = nullptr;
        int id = 0;
    };

    void fillFixedCombos();
    void buildRows();
    // readCode: the receiver's own code, named on an item added for a rate no item carries.
    void applyRate(Row& row, int rate, int readCode);
    void dropReadItem(Row& row);
    // A baud rate the receiver reported (0: none the box can show); writable when a write of
    // it gives the receiver back the code it reported.
    void takeReadBaud(int baud, bool writable);
    // False when a checked row has neither a chosen nor a reported rate.
    bool collectRates();
    void selectBaud(int baud);

    std::unique_ptr<Ui::Output> ui_;
    QAction* pickAll_ = nullptr;
    QAction* accept_ = nullptr;
    QAction* stop_ = nullptr;
    std::vector<Row> rows_;
    std::vector<NmeaRate> rates_;
    bool selected_ = false;
    bool baudEdited_ = false;
    bool baudWritable_ = false;
    // The rate the last Accept wrote (0: none).
    int sentBaud_ = 0;
    int readMethod_ = 0;  // the old receiver's output code, named when no item carries it
    // The rate read from the receiver in this visit (0: none).
    int readBaud_ = 0;
    int setTimer_ = -1;
    int stopTimer_ = -1;
    int startDelayTimer_ = -1;
};

}  // namespace Varnok
