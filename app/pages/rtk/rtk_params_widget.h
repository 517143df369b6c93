#pragma once

#include <limits>
#include <map>

#include "angle_edits.h"
#include "widget.h"

class QAction;
class QCheckBox;
namespace Ui {
class RTKParamsWidgetClass;
}

namespace Varnok {

// The RTK set-up of a new-protocol receiver: mode, differential format, serial baud, masks,
// the manual base's coordinates and the outputs that carry differential data.
class RTKParamsWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 6000;
    static constexpr int kSetMs = 10000;
    static constexpr int kPositionMs = 5000;
    static constexpr int kAllAnswers = 63;

    explicit RTKParamsWidget(QWidget* parent = nullptr);
    ~RTKParamsWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

signals:
    void command(const QString& page);

public slots:
    void onQueryInfo();
    void onSetInfo();
    void onQueryPos();
    void onElevMask();
    void onBasePos();
    void onDiffType();
    void onPdopMask(int mask);
    void onIOConfigs();
    void onComBaudrate();
    void onPos();
    void onAutoBaseMore();
    void on_cbMode_currentIndexChanged(int index);
    void on_cbFMT_currentIndexChanged();
    void on_cbBaud_currentIndexChanged();
    void on_leElevMask_textChanged();
    void on_lePdopMask_textChanged();
    void on_leH_textChanged();
    void on_leBD_textChanged();
    void on_leBF_textChanged();
    void on_leBM_textChanged();
    void on_leLD_textChanged();
    void on_leLF_textChanged();
    void on_leLM_textChanged();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void query();
    void joinAnswers();
    void cutAnswers();
    void cutPosition();
    void answered(int bit);
    int mode() const;
    bool checkInputs();
    bool checkRanges();
    void warnAfterSet();
    QCheckBox* ioBox(int ioId) const;
    void showHeight(double metres);
    double height() const;

    Ui::RTKParamsWidgetClass* ui_;
    AngleEdits latitude_;
    AngleEdits longitude_;
    QAction* here_;
    QAction* get_;
    QAction* set_;
    QAction* more_;
    int queryTimer_ = -1;
    int setTimer_ = -1;
    int positionTimer_ = -1;
    int answerMask_ = 0;
    bool editorsOn_ = true;
    // The IOs whose output is known: reported since the last query, or clicked by the user.
    std::map<int, bool> knownOutputs_;
    std::map<int, bool> sentOutputs_;
    // The baud code the last Set sent (0: none) and its rate.
    int sentBaud_ = 0;
    int sentBaudRate_ = 0;
    // The port's baud code as the receiver reported it in this query (0: not read).
    int readBaud_ = 0;
    // The height last shown from the receiver and its text (NaN: none).
    double shownHeight_ = std::numeric_limits<double>::quiet_NaN();
    QString shownHeightText_;
};

}  // namespace Varnok
