#pragma once

#include <memory>

#include "widget.h"

class QAction;

namespace Ui {
class InternalRecordWidgetClass;
}

namespace Varnok {

// Internal file recording of a new-protocol receiver: session minutes, interval, mask and
// "Auto Open"; start, stop and the recording status, polled while the page is shown.
class InternalRecordWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kQueryMs = 4000;
    static constexpr int kSetMs = 2000;
    static constexpr int kStatusMs = 2500;

    explicit InternalRecordWidget(QWidget* parent = nullptr);
    ~InternalRecordWidget() override;

    void activate() override;
    void deactivate() override;
    void setEditorsEnabled(bool on) override;
    bool hasSipAction() const override { return true; }

    static QString statusText(int status);
    bool isQuerying() const { return queryTimer_ > 0; }

public slots:
    void onQueryInfo();
    void onSetInfo();
    void onStartSample();
    void onStopSample();
    void onFileRecordStatus();
    void onFileRecordAutoOpen(bool on);
    void onFileRecordParam();
    void onElevmask();
    void on_leDataLogSession_textChanged();
    void on_cbInterval_currentIndexChanged();
    void on_leMask_textChanged();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void stopAllTimers();
    void joinQueryAnswers(bool on);
    void markAnswer(int bit);
    void finishQuery();

    std::unique_ptr<Ui::InternalRecordWidgetClass> ui_;
    QAction* get_ = nullptr;
    QAction* set_ = nullptr;
    QAction* start_ = nullptr;
    QAction* stop_ = nullptr;
    int recordingStatus_ = 2;
    int statusTimer_ = -1;
    int queryTimer_ = -1;
    int answerMask_ = 0;
    int setTimer_ = -1;
    bool setting_ = false;
};

}  // namespace Varnok
