#include "worker_thread.h"

namespace Varnok {

WorkerThread::WorkerThread(QObject* parent) : QThread(parent) {
    connect(this, &QThread::finished, this, &WorkerThread::onFinished);
}

WorkerThread::~WorkerThread() {
    stopTask();
    wait();
}

bool WorkerThread::startTask(Brevan2011::BVComm::IThreadTask* task) {
    if (isRunning() || task == nullptr) {
        return false;
    }
    task_ = task;
    if (!task->Start()) {
        task_ = nullptr;
        return false;
    }
    runTask_ = task;
    ++started_;
    start(QThread::InheritPriority);
    return true;
}

bool WorkerThread::stopTask() {
    if (!isRunning() || task_ == nullptr) {
        return false;
    }
    task_->Stop();
    return true;
}

void WorkerThread::run() {
    const std::uint64_t run = started_;
    runTask_->Run();
    ended_.store(run);
}

void WorkerThread::onFinished() {
    if (!isRunning() && ended_.load() == started_) {
        task_ = nullptr;
    }
}

}  // namespace Varnok
