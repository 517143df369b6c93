// The worker thread and its tasks: refusals, one task at a time, and the window between a
// run's end and the queued report of it.
#include <QCoreApplication>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include <gtest/gtest.h>

#include "device_test_support.h"
#include "worker_thread.h"

namespace {

using Varnok::WorkerThread;

// Start answers as told; Run returns at once, or blocks until Stop when told to.
class FakeTask : public Brevan2011::BVComm::IThreadTask {
public:
    explicit FakeTask(bool startResult = true, bool blocks = false)
        : startResult_(startResult), blocks_(blocks) {}
    bool Start() override {
        ++starts;
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = false;
        return startResult_;
    }
    void Run() override {
        ++runs;
        std::unique_lock<std::mutex> lock(mutex_);
        if (blocks_) {
            wake_.wait(lock, [this] { return stop_; });
        }
    }
    void Stop() override {
        ++stops;
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        wake_.notify_all();
    }

    std::atomic<int> starts{0};
    std::atomic<int> runs{0};
    std::atomic<int> stops{0};

private:
    bool startResult_;
    bool blocks_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
};

using WorkerThreadTest = ::testing::Test;

TEST_F(WorkerThreadTest, RefusesWhatCannotRun) {
    WorkerThread worker;
    FakeTask refusing(false);
    EXPECT_FALSE(worker.startTask(&refusing));
    EXPECT_EQ(refusing.starts, 1);
    EXPECT_FALSE(worker.isTaskRunning());
    EXPECT_EQ(refusing.runs, 0);
    EXPECT_FALSE(worker.stopTask());
    EXPECT_EQ(refusing.stops, 0);
    EXPECT_FALSE(worker.startTask(nullptr));
}

TEST_F(WorkerThreadTest, OneTaskAtATimeStoppedOnRequest) {
    WorkerThread worker;
    FakeTask blocking(true, true);
    FakeTask other;
    ASSERT_TRUE(worker.startTask(&blocking));
    EXPECT_TRUE(worker.isTaskRunning());
    EXPECT_FALSE(worker.startTask(&other));
    EXPECT_EQ(other.starts, 0);
    EXPECT_TRUE(worker.stopTask());
    ASSERT_TRUE(worker.wait(5000));
    EXPECT_EQ(blocking.runs, 1);
    EXPECT_EQ(blocking.stops, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(worker.stopTask());
    // Idle again: the next task runs.
    ASSERT_TRUE(worker.startTask(&other));
    ASSERT_TRUE(worker.wait(5000));
    EXPECT_EQ(other.runs, 1);
}

TEST_F(WorkerThreadTest, TaskStartedBeforeTheLastReportIsKept) {
    WorkerThread worker;
    FakeTask quick;
    FakeTask blocking(true, true);
    ASSERT_TRUE(worker.startTask(&quick));
    // The thread has ended, its finished() is still queued.
    ASSERT_TRUE(worker.wait(5000));
    ASSERT_TRUE(worker.startTask(&blocking));
    QCoreApplication::processEvents();  // the first run's report arrives now
    ASSERT_TRUE(worker.isTaskRunning());
    EXPECT_TRUE(worker.stopTask());
    EXPECT_EQ(blocking.stops, 1);
    ASSERT_TRUE(worker.wait(5000));
    EXPECT_EQ(blocking.runs, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(worker.stopTask());
}

TEST_F(WorkerThreadTest, DestroyedMidRunStopsAndJoins) {
    FakeTask blocking(true, true);
    auto worker = std::make_unique<WorkerThread>();
    ASSERT_TRUE(worker->startTask(&blocking));
    worker.reset();
    EXPECT_EQ(blocking.stops, 1);
    EXPECT_EQ(blocking.runs, 1);
}

}  // namespace
