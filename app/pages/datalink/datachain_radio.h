#pragma once

#include <memory>
#include <vector>

#include "device_manager.h"
#include "radio_channels_config.h"
#include "satel_baudrate_config.h"
#include "widget.h"

class QComboBox;
class QPushButton;

namespace Ui {
class DataChain_Radio;
}

namespace Varnok {

// The internal UHF radio panel of the old-protocol data link page. Which rows it shows, what
// it asks and what its Set writes follow the radio's capability record; frequencies sit on
// the radio's channel grid. It keeps the radio's call sign for the call sign page.
class DataChain_Radio : public Widget {
    Q_OBJECT

public:
    // Asked/answered bits.
    static constexpr unsigned kPowerBit = 0x80;
    static constexpr unsigned kBaudBit = 0x400;
    static constexpr unsigned kSensitivityBit = 0x800;
    static constexpr unsigned kSpacingBit = 0x1000;
    static constexpr unsigned kFecBit = 0x2000;
    static constexpr unsigned kCallsignBit = 0x4000;
    static constexpr unsigned kChannelFreqsBit = 0x10000;
    static constexpr unsigned kChannelTypesBit = 0x20000;
    // The frequency read again once the spacing is known (a 20 kHz radio's code).
    static constexpr unsigned kFrequencyBit = 0x1;

    explicit DataChain_Radio(QWidget* parent = nullptr);
    ~DataChain_Radio() override;

    void clearEditors();
    void connectObserverSignals(bool on);
    void queryInfo();
    bool nothingReceived() const { return answered_ == 0; }
    // 1 valid; 0 a missing value (marked); -1 a bad value (message shown).
    int checkInput();
    void setInfo();
    void selectProtocol(int mode);
    void setEditorsEnabled(bool enabled) override;

    // The kept call sign; valid once read from the radio or handed back by Ok.
    Radio_Callsign& callsign() { return callsign_; }
    bool callsignValid() const { return callsignValid_; }
    // The receiver's call sign was longer than the record holds.
    bool callsignCut() const { return callsignCut_; }
    void setCallsign(const Radio_Callsign& callsign, bool valid);
    bool inSetting() const { return inSetting_; }
    void setInSetting(bool on) { inSetting_ = on; }
    QPushButton* callsignButton() const;
    Ui::DataChain_Radio* form() const { return ui_.get(); }
    double currentStep() const { return step_; }

    static double channelUnit();

signals:
    void gotData();

public slots:
    void onRadioPower();
    void onRadioBaudrate();
    void onRadioSensitive();
    void onRadioFreqStep();
    void onRadioFEC();
    void onRadioCallsign();
    void onChannelFreqs();
    void onChannelTypes();
    void onRadioFreq();
    void onProtocolChanged(int index);
    void onStepAndProChanged();
    void onFreqStepChanged(int index);
    void onChannelTypeChanged(int index);
    void onChannelChanged(int index);
    void onFreqChanged(double f);
    void updateChannelTypeByFreq(double f);
    void on_comboBox_sendPower_currentIndexChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void answer(unsigned bit);
    void completeQuery();
    void applySpacing(int value);
    void applyChannel();
    void enableFrequencyFor(int channel);
    int findChannel(double f) const;
    int spacingValue() const;
    void snapEditor();
    void showFrequency(double f);

    std::unique_ptr<Ui::DataChain_Radio> ui_;
    RadioChannelsConfig channels_;
    SatelBaudrateConfig bauds_;
    std::vector<double> channelFreqs_;
    std::vector<int> channelTypes_;
    unsigned asked_ = 0;
    unsigned answered_ = 0;
    bool power_ = false;
    bool baudReadable_ = false;
    bool baudSettable_ = false;
    bool sensitivity_ = false;
    bool spacing_ = false;
    bool fec_ = false;
    bool callsignFlag_ = false;
    bool typeRowShown_ = false;
    bool channelV2_ = false;
    bool typesReported_ = false;
    bool inSetting_ = false;
    bool callsignValid_ = false;
    bool callsignCut_ = false;
    // The FEC box holds the radio's value or the user's choice.
    bool fecKnown_ = false;
    Radio_Callsign callsign_{};
    double step_ = 0;
    // The radio's own frequency, or the one the user typed on channel 0; 0 when none is
    // known. Channel 0 shows it rather than its list entry.
    double freeFreq_ = 0;
    // The frequency as the radio reported it: leaving the editor snaps only another value.
    double readFreq_ = 0;
    bool frequencyAsked_ = false;
};

}  // namespace Varnok
