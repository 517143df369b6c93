#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <initializer_list>
#include <vector>

class QAction;

namespace Varnok {

using ValueHash = QHash<QString, QVariant>;

// Base of every page, of the menu and of the frame. Holds the values handed to the next page,
// the soft-key actions, the wait cursor and the query cycle that every asking page runs.
class Widget : public QWidget {
    Q_OBJECT

public:
    // One answer signal of the hub and the page slot it goes to (SIGNAL()/SLOT() texts).
    struct Answer {
        const char* signal;
        const char* slot;
    };

    static constexpr int kQueryTimeoutDefaultMs = 5000;

    explicit Widget(QWidget* parent = nullptr);
    ~Widget() override;

    virtual void activate() {}
    virtual void setParams(const ValueHash& values, Widget* from);
    virtual bool hasSipAction() const { return false; }
    virtual bool hasBackAction() const { return true; }
    virtual void deactivate() {}
    virtual void setEditorsEnabled(bool enabled);

    ValueHash& values() { return values_; }
    const ValueHash& values() const { return values_; }

    // A soft-key action. When a request the page sends on it is refused by the session (its
    // queue is full), the page says "The receiver is busy, try again." at once and gives the
    // editors back, rather than waiting for a time-out or taking a Set for done.
    QAction* createAction(const QString& text, QObject* parent);
    void clearActions();

    // true pushes the wait cursor once, false pops the one this page pushed.
    void setWaitCursor(bool on);
    bool holdsWaitCursor() const { return waitCursor_; }
    void markInput(int state, QWidget* editor);
    // Kills this page's timer; ids below 1 mean no timer.
    void stopTimer(int timerId);

    // Called by the frame when the page is left: stops a query that is out and gives back the
    // cursor, so nothing of this page acts later.
    void leave();

    bool isQuerying() const { return queryTimer_ > 0; }

signals:
    void editorEnabled(bool enabled);

protected:
    // Starts the query cycle: cursor, editors off, answers joined, requests sent, timer.
    // Bit i of the answer mask stands for answers[i]. When the session refuses one of the
    // requests (its queue is full), the cycle ends at once with "The receiver is busy, try
    // again." instead of waiting for its time-out.
    template <class Requests>
    void startQuery(int timeoutMs, std::initializer_list<Answer> answers, Requests&& requests) {
        beginQuery(answers);
        requests();
        armQueryTimer(timeoutMs);
    }
    // Marks answer i as in; ends the query when all are. Returns true when it ended.
    bool answerArrived(int index);
    // No expected answer arrived in time. The default shows "Failed to get parameters!"
    // when nothing came at all.
    virtual void queryTimedOut(unsigned receivedMask);
    void endQuery();
    void timerEvent(QTimerEvent* event) override;

private:
    void beginQuery(std::initializer_list<Answer> answers);
    void armQueryTimer(int timeoutMs);
    void cutAnswers();
    void tellIfRefused(std::uint64_t before);
    void tellBusy();

    ValueHash values_;
    bool waitCursor_ = false;
    int queryTimer_ = -1;
    unsigned receivedMask_ = 0;
    unsigned expectedMask_ = 0;
    std::uint64_t refusedBefore_ = 0;
    // The refusal count the page last told the user of, so one refusal gives one message.
    std::uint64_t refusalsTold_ = 0;
    std::vector<Answer> answers_;
};

}  // namespace Varnok
