#pragma once

#include <QHash>
#include <QString>

#include <memory>

#include "widget.h"

class QAction;

namespace Ui {
class StaticMode;
}

namespace Varnok {

// Static recording of an old-protocol receiver: data-log mode, session, interval, mask, the
// antenna parameters of the point, start and stop, and the recording status.
class Static : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 4000;
    static constexpr int kSetMs = 2000;
    static constexpr int kStatusMs = 2000;

    explicit Static(QWidget* parent = nullptr);
    ~Static() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;
    bool hasSipAction() const override { return true; }

    // The memory text of a device record's memory code ("" for codes without one).
    static QString memoryText(int code);

signals:
    void command(const QString& page);

public slots:
    void sendCommand();
    void onSetTimeout();
    void setInfo();
    void onBegin();
    void onEnd();
    void onDeviceInfo();
    void onWorkingStatus(int status);
    void onCheckBoxAdvance(int state);
    void onStaticPointInfo();
    void onFileRecordStatus();
    void on_comboBox_record_method_currentIndexChanged();
    void on_comboBox_record_period_currentIndexChanged();
    void on_comboBox_sample_gap_currentIndexChanged();
    void on_lineEdit_Point_textChanged();
    void on_comboBox_antenna_type_currentIndexChanged();
    void on_comboBox_survey_to_currentIndexChanged();
    void on_lineEdit_antenna_height_textChanged();
    void on_leMask_textChanged();
    void on_pbLoader_clicked();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void clearFields();
    void joinAnswers();
    void cutAnswerSignals();
    void setAntennaRowsVisible(bool on);
    void setAntennaRowsEnabled(bool on);
    bool antennaParameters() const;
    // The field's text is there and, for the height, a number.
    bool checkInputs();
    void showStatus();

    std::unique_ptr<Ui::StaticMode> ui_;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
    QAction* start_ = nullptr;
    QAction* stop_ = nullptr;
    int statusTimer_ = -1;
    // Started on each visit: when it ends without a status answer the status counts as
    // unknown and Start and Stop are both offered.
    int statusWaitTimer_ = -1;
    bool statusWaited_ = false;
    bool recording_ = false;
    bool statusKnown_ = false;
    // The height as the receiver reported it, written back while the user has not typed one.
    bool heightRead_ = false;
    bool heightEdited_ = false;
    float readHeight_ = 0;
    // Antenna code to antenna type number.
    QHash<QString, int> antennaCodes_;
};

}  // namespace Varnok
