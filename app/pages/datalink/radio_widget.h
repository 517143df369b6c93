#pragma once

#include <memory>
#include <vector>

#include "BVParse/Em_NewRecords.h"
#include "widget.h"

class QComboBox;

namespace Ui {
class RadioWidgetClass;
}

namespace Varnok {

using Brevan2011::BVParse::QX_RADIO_CALLSIGN_STRUCT;

// The internal UHF radio panel of new-protocol receivers, a child of the data link page. It
// switches the radio on or off with a 10 s check, reads the radio's settings into RadioConfig
// and builds its editors from what the module supports, and sends them in one batch.
class RadioWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 5000;
    static constexpr int kPollMs = 1000;
    static constexpr int kSwitchMs = 10000;
    static constexpr int kSetMs = 8000;
    static constexpr unsigned kCallSignBit = 256;

    explicit RadioWidget(QWidget* parent = nullptr);
    ~RadioWidget() override;

    void clearValues();
    void applySettings();
    // The record edited on the call sign page; the next set sends it.
    void setCallSign(const QX_RADIO_CALLSIGN_STRUCT& record);
    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

    void queryPowerStatus();
    void switchPower(bool on);
    void setSettingsEnabled(bool on);
    bool hasNoAnswer() const { return answers_ == 0; }
    void refresh();

    Ui::RadioWidgetClass* form() const { return ui_.get(); }
    const std::vector<double>& channels() const { return channels_; }
    bool callSignKnown() const { return callSignKnown_; }
    // The receiver's call sign was longer than the record holds.
    bool callSignCut() const { return callSignCut_; }
    const QX_RADIO_CALLSIGN_STRUCT& callSignRecord() const { return callSign_; }
    bool anyTimerRunning() const;
    int queryTimerId() const { return queryTimer_; }
    int pollTimerId() const { return pollTimer_; }
    int switchTimerId() const { return switchTimer_; }
    int setTimerId() const { return setTimer_; }
    int runningOperations() const { return running_; }

signals:
    void busy(bool on);
    void powerOn(bool on);
    void callSign(int state, int interval, const QString& text);

public slots:
    void onRadioProtocol();
    void onRadioFreq();
    void onRadioBaudrate();
    void onRadioPower();
    void onRadioFreqStep();
    void onRadioAutoPower();
    void onRadioSensitivity();
    void onRadioFEC();
    void onRadioCallSign();
    void onRadioPowerStatus();

    void on_cbPowerOn_stateChanged(int state);
    void on_cbPowerOn_clicked(bool checked);
    void on_cbChannel_currentIndexChanged(int index);
    void on_sbFreq_valueChanged(double value);
    void on_cbType_currentIndexChanged(int index);
    void on_cbProtocol_currentIndexChanged(int index);
    void on_cbSpacing_currentIndexChanged(int index);
    void on_pbCallSign_clicked();
    void on_cbBaud_currentIndexChanged(int index);
    void on_cbPower_currentIndexChanged(int index);
    void on_cbSen_currentIndexChanged(int index);

protected:
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void initForm();
    void connectRadioSignals(bool on);
    void startQuery(bool withPowerStatus);
    void showRadioValues();
    void showRange(double lower, double upper);
    void fillTypes();
    void fillProtocols();
    void fillSpacings();
    void fillBauds();
    void fillPowers();
    void fillChannels(int band);
    void updateBauds();
    void finishList(QComboBox* box, int supportIndex);
    // 1 valid; 0 a missing value (marked); -1 refused with its own message.
    int checkInput();
    void showFrequency(double mhz);
    bool outsideBand(double mhz) const;
    double channelSpacing() const;
    void snapFrequency();
    void begin();
    void end();
    void stop(int& timer);
    int band() const;

    std::unique_ptr<Ui::RadioWidgetClass> ui_;
    bool querying_ = false;
    bool switching_ = false;
    unsigned answers_ = 0;
    int requestedPower_ = -1;
    bool requestPending_ = false;
    int queryTimer_ = -1;
    int pollTimer_ = -1;
    int switchTimer_ = -1;
    int setTimer_ = -1;
    int running_ = 0;
    std::vector<double> channels_;
    int powerStatus_ = 0;
    QX_RADIO_CALLSIGN_STRUCT callSign_{};
    bool callSignKnown_ = false;
    bool callSignCut_ = false;
    bool powerStatusJoined_ = false;
    // The frequency the receiver reported at the last read, and the one channel 0 stands
    // for (the reported one, or what the user typed on it); 0 when none.
    double readFreq_ = 0;
    double freeFreq_ = 0;
};

}  // namespace Varnok
