// The progress record is written by a worker thread while another thread polls it.
#include "../PollUntil.h"
#include "KObjProgress.h"
#include "KObjThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(KObjProgress, AFreshObjectReadsZeroStateZeroAndNoMessage)
{
    KObjProgress progress;
    EXPECT_DOUBLE_EQ(progress.getProg(), 0.0);
    EXPECT_EQ(progress.getState(), 0);
    EXPECT_TRUE(progress.getMsg().isEmpty());
    EXPECT_NE(progress.getKProg(), nullptr);
}

TEST(KObjProgress, StateFollowsTheProgressRules)
{
    KObjProgress progress;
    progress.setProg(0.5);
    EXPECT_EQ(progress.getState(), 2);
    EXPECT_DOUBLE_EQ(progress.getProg(), 0.5);
    progress.setProg(1.0);
    EXPECT_EQ(progress.getState(), 3);
    EXPECT_DOUBLE_EQ(progress.getProg(), 1.0);
    progress.setProg(0.2);
    EXPECT_EQ(progress.getState(), 3);
    EXPECT_DOUBLE_EQ(progress.getProg(), 1.0);

    for (EProgress stopped : {-1, -2}) {
        KObjProgress other;
        other.setProg(0.4);
        other.setState(stopped);
        EXPECT_DOUBLE_EQ(other.getProg(), -1.0);
        EXPECT_EQ(other.getState(), stopped);
        other.setProg(0.3);
        EXPECT_EQ(other.getState(), stopped);
    }
}

TEST(KObjProgress, MessagesKeepEveryCharacterAndEmptyClears)
{
    KObjProgress progress;
    progress.setMsg(QString::fromUtf8("Compression de « Cœur »..."));
    EXPECT_EQ(progress.getMsg(), QString::fromUtf8("Compression de « Cœur »..."));
    progress.setMsg("");
    EXPECT_TRUE(progress.getMsg().isEmpty());
}

TEST(KObjProgress, AWorkerUpdatesWhileAnotherThreadPolls)
{
    KObjProgress progress;
    std::atomic<bool> done(false);
    constexpr int steps = 2000;

    std::thread worker([&] {
        progress.setState(2);
        for (int i = 1; i <= steps; ++i) {
            progress.setProg(static_cast<double>(i) / (steps + 1));
            if (i % 50 == 0)
                progress.setMsg(QString("Step %1").arg(i));
        }
        progress.setProg(1.0);
        done = true;
    });

    double last = 0.0;
    bool monotonic = true;
    int polls = 0;
    std::thread poller([&] {
        while (!done || polls == 0) {
            const double fraction = progress.getProg();
            const QString message = progress.getMsg();
            const int state = progress.getState();
            if (fraction < last || state < 0 || (!message.isEmpty() && !message.startsWith("Step ")))
                monotonic = false;
            last = fraction;
            ++polls;
        }
    });
    worker.join();
    poller.join();

    EXPECT_TRUE(monotonic);
    EXPECT_GT(polls, 0);
    EXPECT_EQ(progress.getState(), 3);
    EXPECT_DOUBLE_EQ(progress.getProg(), 1.0);
    EXPECT_EQ(progress.getMsg(), QString("Step %1").arg(steps));
}

namespace {
// Reports progress until asked to stop, then reports the stop.
class CountingWorker : public KObjThread
{
public:
    using KObjThread::KObjThread;
    ~CountingWorker() override { stopAndWait(); }
    std::atomic<bool> started{false};

protected:
    void run() override
    {
        progress->setState(2);
        started = true;
        for (int i = 0; keepRunning; ++i) {
            progress->setProg((i % 1000) / 1000.0 * 0.9);
            if (i % 100 == 0)
                progress->setMsg(QString("Block %1").arg(i));
        }
        progress->setState(-1);
        emit failure();
    }
};
} // namespace

TEST(KObjThread, AWorkerPolledFromAnotherThreadStopsWhenAsked)
{
    KObjProgress progress;
    CountingWorker worker(&progress);
    std::atomic<int> failures(0);
    std::atomic<int> successes(0);
    QObject::connect(&worker, &KObjThread::failure, [&] { ++failures; });
    QObject::connect(&worker, &KObjThread::success, [&] { ++successes; });
    worker.start();
    ASSERT_TRUE(pollUntil([&] { return worker.started.load(); }));
    for (int i = 0; i < 2000; ++i) {
        EXPECT_GE(progress.getProg(), 0.0);
        (void)progress.getMsg();
    }
    worker.quit();
    ASSERT_TRUE(worker.wait(10000));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(successes, 0);
    EXPECT_EQ(progress.getState(), -1);
}
