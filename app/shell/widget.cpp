#include "widget.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QTimerEvent>

#include "device_manager.h"
#include "device_observer.h"
#include "logic_context.h"
#include "prompts.h"
#include "timer_scale.h"

namespace Varnok {

Widget::Widget(QWidget* parent) : QWidget(parent) {}

Widget::~Widget() {
    cutAnswers();
    setWaitCursor(false);
}

void Widget::setParams(const ValueHash&, Widget*) {}

void Widget::setEditorsEnabled(bool enabled) {
    emit editorEnabled(enabled);
}

QAction* Widget::createAction(const QString& text, QObject* parent) {
    auto* action = new QAction(text, parent);
    addAction(action);
    // Connected before the page's own slot, and looked at once that slot has returned.
    connect(action, &QAction::triggered, this, [this] {
        const DeviceManager* dm = DeviceManager::existingInstance();
        if (!dm) {
            return;
        }
        const std::uint64_t before = dm->refusedRequests();
        QTimer::singleShot(0, this, [this, before] { tellIfRefused(before); });
    });
    return action;
}

void Widget::tellIfRefused(std::uint64_t before) {
    const DeviceManager* dm = DeviceManager::existingInstance();
    if (!dm) {
        return;
    }
    const std::uint64_t now = dm->refusedRequests();
    if (now == before || now == refusalsTold_) {
        return;
    }
    tellBusy();
}

void Widget::tellBusy() {
    if (const DeviceManager* dm = DeviceManager::existingInstance()) {
        refusalsTold_ = dm->refusedRequests();
    }
    if (queryTimer_ > 0) {
        killTimer(queryTimer_);
    }
    queryTimer_ = -1;
    setWaitCursor(false);
    cutAnswers();
    showWarning(this, tr("Warning"), tr("The receiver is busy, try again."));
    setEditorsEnabled(true);
}

void Widget::clearActions() {
    const QList<QAction*> list = actions();
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        removeAction(*it);
        (*it)->deleteLater();
    }
}

void Widget::setWaitCursor(bool on) {
    if (on == waitCursor_) {
        return;
    }
    waitCursor_ = on;
    if (on) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void Widget::markInput(int state, QWidget* editor) {
    LogicContext::setWidgetBrush(state, editor);
}

void Widget::stopTimer(int timerId) {
    if (timerId >= 1) {
        killTimer(timerId);
    }
}

void Widget::leave() {
    if (queryTimer_ > 0) {
        killTimer(queryTimer_);
        queryTimer_ = -1;
    }
    cutAnswers();
    setWaitCursor(false);
}

void Widget::beginQuery(std::initializer_list<Answer> answers) {
    setWaitCursor(true);
    cutAnswers();
    answers_.assign(answers.begin(), answers.end());
    receivedMask_ = 0;
    expectedMask_ = answers_.size() >= 32 ? ~0u : (1u << answers_.size()) - 1u;
    setEditorsEnabled(false);
    for (const Answer& a : answers_) {
        connectQueued(DeviceObserver::instance(), this, a.signal, a.slot);
    }
    refusedBefore_ = DeviceManager::instance()->refusedRequests();
}

void Widget::armQueryTimer(int timeoutMs) {
    if (queryTimer_ > 0) {
        killTimer(queryTimer_);
    }
    queryTimer_ = -1;
    // A refused request never gets its answer: say so now rather than after the time-out.
    if (DeviceManager::instance()->refusedRequests() != refusedBefore_) {
        tellBusy();
        return;
    }
    queryTimer_ = startTimer(uiMs(timeoutMs));
}

bool Widget::answerArrived(int index) {
    if (queryTimer_ < 1 || index < 0 || index >= static_cast<int>(answers_.size())) {
        return false;
    }
    receivedMask_ |= 1u << index;
    if ((receivedMask_ & expectedMask_) != expectedMask_) {
        return false;
    }
    endQuery();
    return true;
}

void Widget::endQuery() {
    if (queryTimer_ > 0) {
        killTimer(queryTimer_);
    }
    queryTimer_ = -1;
    setWaitCursor(false);
    setEditorsEnabled(true);
    cutAnswers();
}

void Widget::queryTimedOut(unsigned receivedMask) {
    if (receivedMask == 0) {
        showWarning(this, tr("Warning"), tr("Failed to get parameters!"));
    }
}

void Widget::timerEvent(QTimerEvent* event) {
    if (event->timerId() != queryTimer_ || queryTimer_ < 1) {
        QWidget::timerEvent(event);
        return;
    }
    killTimer(queryTimer_);
    queryTimer_ = -1;
    setWaitCursor(false);
    cutAnswers();
    queryTimedOut(receivedMask_);
    setEditorsEnabled(true);
}

void Widget::cutAnswers() {
    if (answers_.empty()) {
        return;
    }
    if (DeviceObserver* hub = DeviceObserver::existingInstance()) {
        for (const Answer& a : answers_) {
            disconnectSignal(hub, a.signal, this);
        }
    }
    answers_.clear();
}

}  // namespace Varnok
