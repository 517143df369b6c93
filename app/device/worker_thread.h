#pragma once

#include <QThread>

#include <atomic>
#include <cstdint>

#include "BVComm/IThreadTask.h"

namespace Varnok {

// Runs one task at a time: its Start on the caller's thread, its Run on this thread.
class WorkerThread : public QThread {
    Q_OBJECT

public:
    explicit WorkerThread(QObject* parent = nullptr);
    // Stops a task still running and waits for it: a running thread is never destroyed.
    ~WorkerThread() override;

    // False while a task runs or when the task's Start refuses.
    bool startTask(Brevan2011::BVComm::IThreadTask* task);
    // Asks the running task to end; does not wait. False when nothing runs.
    bool stopTask();
    bool isTaskRunning() const { return isRunning(); }

protected:
    void run() override;

private slots:
    void onFinished();

private:
    Brevan2011::BVComm::IThreadTask* task_ = nullptr;  // GUI thread only
    // The task of the current run, handed to run() before the thread starts.
    Brevan2011::BVComm::IThreadTask* runTask_ = nullptr;
    std::uint64_t started_ = 0;
    // finished() arrives queued: a run may already have begun when the one before reports,
    // so only the report of the latest run forgets the task.
    std::atomic<std::uint64_t> ended_{0};
};

}  // namespace Varnok
