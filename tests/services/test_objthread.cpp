#include "KObjProgress.h"
#include "KObjThread.h"
#include "QtAppEnvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A worker whose job is given as a function of its own run flag and progress.
class Worker : public KObjThread
{
public:
    using Job = std::function<void(Worker&)>;
    Worker(KObjProgress* progress, Job job) : KObjThread(progress), m_job(std::move(job)) {}
    ~Worker() override
    {
        quit();
        wait();
    }
    bool running() const { return keepRunning; }
    KObjProgress* prog() const { return progress; }
    void reportSuccess() { emit success(); }
    void reportFailure() { emit failure(); }

protected:
    void run() override { m_job(*this); }

private:
    Job m_job;
};

struct Outcome {
    int successes = 0;
    int failures = 0;
};

Outcome runToEnd(Worker& worker)
{
    QSignalSpy successSpy(&worker, &KObjThread::success);
    QSignalSpy failureSpy(&worker, &KObjThread::failure);
    QSignalSpy finishedSpy(&worker, &QThread::finished);
    worker.start();
    EXPECT_TRUE(finishedSpy.wait(10000));
    QCoreApplication::processEvents();
    return {static_cast<int>(successSpy.size()), static_cast<int>(failureSpy.size())};
}

} // namespace

TEST(KObjThread, EachEndingIsReportedExactlyOnce)
{
    struct Case {
        const char* name;
        Worker::Job job;
        Outcome expected;
    };
    const Case cases[] = {
        {"success", [](Worker& w) { w.reportSuccess(); }, {1, 0}},
        {"failure", [](Worker& w) { w.reportFailure(); }, {0, 1}},
        {"early return", [](Worker&) {}, {0, 1}},
    };
    for (const Case& c : cases) {
        KObjProgress progress;
        Worker worker(&progress, c.job);
        const Outcome outcome = runToEnd(worker);
        EXPECT_EQ(outcome.successes, c.expected.successes) << c.name;
        EXPECT_EQ(outcome.failures, c.expected.failures) << c.name;
    }
}

TEST(KObjThread, QuitStopsTheWorkerCooperatively)
{
    KObjProgress progress;
    std::atomic<bool> started(false);
    Worker worker(&progress, [&](Worker& w) {
        w.prog()->setState(2);
        started = true;
        while (w.running())
            QThread::msleep(1);
        w.prog()->setState(-1);
        w.reportFailure();
    });
    QSignalSpy failureSpy(&worker, &KObjThread::failure);
    worker.start();
    while (!started)
        QThread::msleep(1);
    EXPECT_TRUE(worker.running());
    worker.quit();
    EXPECT_TRUE(worker.wait(10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(failureSpy.size(), 1);
    EXPECT_EQ(progress.getState(), -1);
}

// Uses only what the base holds, so the base destructor alone must stop it.
class LoopWorker : public KObjThread
{
public:
    using KObjThread::KObjThread;
    std::atomic<bool> looping{false};

protected:
    void run() override
    {
        looping = true;
        while (keepRunning)
            QThread::msleep(1);
        emit success();
    }
};

TEST(KObjThread, DestroyingARunningWorkerStopsAndWaitsForIt)
{
    KObjProgress progress;
    auto* worker = new LoopWorker(&progress);
    worker->start();
    while (!worker->looping)
        QThread::msleep(1);
    delete worker; // would abort the program if the thread were still running
    SUCCEED();
}

TEST(KObjThread, TheProgressObjectIsBorrowed)
{
    auto* progress = new KObjProgress;
    {
        Worker worker(progress, [](Worker& w) { w.reportSuccess(); });
        runToEnd(worker);
    }
    progress->setMsg("still mine");
    EXPECT_EQ(progress->getMsg(), "still mine");
    delete progress;
}
