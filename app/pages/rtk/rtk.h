#pragma once

#include "widget.h"

class QAction;
class QComboBox;
namespace Ui {
class RTK;
}

namespace Varnok {

// The RTK output set-up of an old-protocol receiver, as its device information reports it.
class RTK : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 4000;
    static constexpr int kSetMs = 2000;
    static constexpr unsigned kMaxDistance = 65535;

    explicit RTK(QWidget* parent = nullptr);
    ~RTK() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

signals:
    void command(const QString& page);

public slots:
    void sendCommand();
    void setInfo();
    void onDeviceInfo();
    void onSetTimeout();
    void onAutoBaseMore();
    void on_comboBox_startWay_currentIndexChanged(int index);
    void on_comboBox_outPut_currentIndexChanged();
    void on_comboBox_output_freq_currentIndexChanged();
    void on_comboBox_sendPort_currentIndexChanged();
    void on_comboBox_diffMode_currentIndexChanged();
    void on_lineEdit_elevMask_textChanged();
    void on_leDis_textChanged();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void refill();
    void cutAnswers();
    bool checkInputs();
    bool checkRanges();
    int noteReported(QComboBox* box, int value);
    bool refuseUnreported();

    Ui::RTK* ui_;
    QAction* get_;
    QAction* set_;
    QAction* more_;
    int queryTimer_ = -1;
    bool answered_ = false;
    // What the receiver reported where no item carries it, else -1: marked, and Set names
    // it rather than guessing one.
    int unknownOutput_ = -1;
    int unknownStart_ = -1;
    int unknownPort_ = -1;
    int unknownFormat_ = -1;
    int unknownRate_ = -1;    // in Hz
    bool maskUnset_ = false;  // the mask read as 255 and not edited
    bool setPending_ = false;
};

}  // namespace Varnok
