#pragma once

#include "angle_edits.h"
#include "widget.h"

class QAction;
namespace Ui {
class BasePositionWidgetClass;
}

namespace Varnok {

// The auto-base distance, and the base positions added to the receiver's list: typed, or the
// receiver's current position.
class BasePositionWidget : public Widget {
    Q_OBJECT

public:
    enum Mode { Distance, FixedPosition };
    // The soft keys' data.
    enum KeyData { QueryDistance = 0, SetDistance = 1, ShowList = 2, AddPosition = 3 };

    static constexpr int kDistanceMs = 2000;
    static constexpr int kPositionMs = 5000;
    static constexpr int kSetMs = 3000;
    static constexpr double kMaxDistance = 65535;

    explicit BasePositionWidget(QWidget* parent = nullptr);
    ~BasePositionWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;
    bool hasSipAction() const override { return true; }
    bool hasBackAction() const override { return true; }

    void setMode(Mode mode);
    Mode mode() const { return mode_; }

signals:
    void command(const QString& page);

public slots:
    void on_rbDist_clicked(bool);
    void on_rbFixPos_clicked(bool);
    void onGet();
    void onSet();
    void onQueryPos();
    void onPos();
    void onQueryDifference();
    void onBasePosDifference();
    void on_leDist_textChanged();
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
    bool checkInputs(int m);
    bool checkRanges(int m);
    void queryDistance();
    void cutDistanceAnswers();
    void cutPosition();

    Ui::BasePositionWidgetClass* ui_;
    AngleEdits latitude_;
    AngleEdits longitude_;
    QAction* first_;
    QAction* second_;
    Mode mode_ = Distance;
    bool editorsOn_ = true;
    // The distance edit holds the receiver's answer, or the user typed into it since.
    bool distanceRead_ = false;
    bool distanceEdited_ = false;
    // The answer itself: the edit shows six digits, an untouched Set sends it whole.
    double distanceValue_ = 0;
    // The position editors start at "0" defaults, neither read nor typed: Add waits for the
    // user's position or the current one.
    bool positionGiven_ = false;
    int distanceTimer_ = -1;
    int positionTimer_ = -1;
    int setTimer_ = -1;
};

}  // namespace Varnok
