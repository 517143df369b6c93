#pragma once

#include <array>

#include "widget.h"

class QAction;
class QCheckBox;
class QDoubleSpinBox;
class QEvent;
class QGridLayout;
class QLabel;
class QTimerEvent;

namespace Varnok {

class ChannelFrequencyEditor;

// The sixteen channels of an old-protocol receiver's radio table: frequency and, where the
// firmware reports it, the channel's use for receiving and transmitting. Anyone may read the
// table; changing it needs a login.
class RadioChannelWidget_V2 : public Widget {
    Q_OBJECT

public:
    static constexpr int kChannels = 16;
    static constexpr int kQueryMs = 3000;
    static constexpr int kSetMs = 3000;

    explicit RadioChannelWidget_V2(QWidget* parent = nullptr);
    ~RadioChannelWidget_V2() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool enabled) override;
    bool hasSipAction() const override { return true; }
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The channel step in MHz and the spacing code sent with the frequencies.
    static double frequencyStep();
    static int spacingCode();

    QAction* loginAction() const { return login_; }
    QAction* setAction() const { return set_; }
    QDoubleSpinBox* frequencyEditor(int channel) const;
    QCheckBox* rxBox(int channel) const;
    QCheckBox* txBox(int channel) const;
    QCheckBox* allRxBox() const { return allRx_; }
    QCheckBox* allTxBox() const { return allTx_; }
    QLabel* propertyLabel() const { return property_; }
    // The channel's value was outside the radio's range: shown as read, sent back unchanged.
    bool isOutsideRange(int channel) const;

public slots:
    void onGet();
    void onSet();
    void onLogin();
    void onFreqStep();
    void onRadioInfo();
    void onChannelTypes();
    void onChannelFreqs();
    void onRXStateChanged(int state);
    void onTXStateChanged(int state);
    void onSelectAllRX(int state);
    void onSelectAllTX(int state);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Row {
        ChannelFrequencyEditor* editor = nullptr;
        QCheckBox* rx = nullptr;
        QCheckBox* tx = nullptr;
        bool known = false;  // a frequency was read this visit
        double received = 0.0;
        bool edited = false;
        bool outside = false;
        bool typeKnown = false;  // its use was read this visit
        bool typeEdited = false;
        int typeRead = 3;  // the use as read; its transmit bit goes back on a radio that cannot
                           // transmit
    };

    void setupTable();
    void createActions();
    void setupForRadio();
    void applyLoginState();
    void clearTable();
    void showAnswers();
    void showFrequencies();
    void showChannelTypes();
    void onEditorChanged(int channel);
    void snapEditor(int channel);
    static void setAllBox(QCheckBox* all, bool checked);
    int typeCodeOf(int channel) const;

    QAction* login_ = nullptr;
    QAction* set_ = nullptr;
    QLabel* property_ = nullptr;
    QCheckBox* allRx_ = nullptr;
    QCheckBox* allTx_ = nullptr;
    QGridLayout* grid_ = nullptr;
    std::array<Row, kChannels> rows_{};

    int setTimer_ = -1;
    // Which answers this read waits for, and their places in the query.
    bool typesExpected_ = false;
    int typesIndex_ = -1;
    int spacingIndex_ = -1;
    bool readComplete_ = false;
    // This visit asked for the radio's type once already.
    bool infoAsked_ = false;
    // Widgets are being filled from the receiver's answers, not by the user.
    bool filling_ = false;
};

}  // namespace Varnok
