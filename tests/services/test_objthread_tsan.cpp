#include "../PollUntil.h"
#include "KObjProgress.h"
#include "KObjThread.h"
#include "QtAppEnvironment.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A worker whose job is given as a function of its own run flag and progress.
class Worker : public KObjThread
{
public:
    using Job = std::function<void(Worker&)>;
    Worker(KObjProgress* progress, Job job) : KObjThread(progress), m_job(std::move(job)) {}
    ~Worker() override { stopAndWait(); }
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

// Counts the reports on the GUI thread, as a dialog would receive them (queued).
struct Reports : QObject {
    explicit Reports(KObjThread& worker)
    {
        connect(&worker, &KObjThread::success, this, [this] { ++outcome.successes; });
        connect(&worker, &KObjThread::failure, this, [this] { ++outcome.failures; });
    }
    Outcome outcome;
};

Outcome runToEnd(Worker& worker)
{
    Reports reports(worker);
    worker.start();
    EXPECT_TRUE(worker.wait(10000));
    QCoreApplication::processEvents();
    return reports.outcome;
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
    Reports reports(worker);
    worker.start();
    ASSERT_TRUE(pollUntil([&] { return started.load(); }));
    EXPECT_TRUE(worker.running());
    worker.quit();
    EXPECT_TRUE(worker.wait(10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.outcome.failures, 1);
    EXPECT_EQ(progress.getState(), -1);
}

// A worker whose run() reads its own member until told to stop.
class ScanWorker : public KObjThread
{
public:
    explicit ScanWorker(KObjProgress* progress) : KObjThread(progress), m_values(1000, 1) {}
    ~ScanWorker() override { stopAndWait(); }
    std::atomic<bool> looping{false};
    std::atomic<long> sum{0};

protected:
    void run() override
    {
        looping = true;
        while (keepRunning)
            for (int v : m_values)
                sum += v;
        emit success();
    }

private:
    std::vector<int> m_values;
};

// Forgets to stop in its destructor (its run() uses only what the base holds).
class CarelessWorker : public KObjThread
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
    }
};

// A running worker destroyed under the contract ends before its members go; one whose subclass
// forgets to stop is caught in a debug build instead of reading destroyed members.
TEST(KObjThread, DestroyingARunningWorkerStopsItBeforeItsMembersGo)
{
    KObjProgress progress;
    auto* worker = new ScanWorker(&progress);
    worker->start();
    ASSERT_TRUE(pollUntil([&] { return worker->looping.load(); }));
    delete worker; // would abort the program if the thread were still running
#ifndef QT_NO_DEBUG
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            auto* careless = new CarelessWorker(&progress);
            careless->start();
            if (pollUntil([&] { return careless->looping.load(); }))
                delete careless;
        },
        "stopAndWait");
#endif
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

TEST(KObjThread, QuitMarksAnUnfinishedProgressRecordStopped)
{
    // Engine jobs poll the record: a new or running one becomes stopped, an ended one stays.
    const struct {
        int before, after;
    } cases[] = {{0, -1}, {2, -1}, {3, 3}, {-2, -2}};
    for (const auto& c : cases) {
        KObjProgress progress;
        progress.setState(c.before);
        Worker worker(&progress, [](Worker& w) { w.reportFailure(); });
        worker.quit();
        EXPECT_FALSE(worker.running());
        EXPECT_EQ(progress.getState(), c.after) << c.before;
    }
}
