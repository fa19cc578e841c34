// The progress dialog running real worker threads: polling, success, failure and cooperative
// cancel, with the GUI thread never blocked.
#include "DlgProgBar.h"
#include "KObjProgress.h"
#include "KObjThread.h"
#include "KPrompt.h"
#include "KProgBar.h"
#include "WidgetTestEnv.h"

#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <deque>
#include <memory>

namespace {
// What a test worker does, step by step, under the test's control.
class TestWorker : public KObjThread
{
public:
    enum Ending { Succeed, Fail, SpinUntilStopped, Silent };

    TestWorker(KObjProgress* progress, Ending ending) : KObjThread(progress), m_ending(ending)
    {
        // Connected after the base's own handler, so it runs last on the worker thread.
        connect(this, &QThread::finished, this, [this] { m_ended.store(true, std::memory_order_release); },
                Qt::DirectConnection);
    }
    ~TestWorker() override
    {
        quit();
        gate.release(1000);
        wait();
        // QThread's join happens inside Qt, out of ThreadSanitizer's sight: order the worker's
        // last steps before this object's memory is reused.
        while (isFinished() && !m_ended.load(std::memory_order_acquire)) {
        }
    }

    QSemaphore gate;            // the worker waits here before it ends, if asked to
    bool waitAtGate = false;
    double fraction = 0.0;
    QString message;
    std::atomic<long> spins{0};

protected:
    void run() override
    {
        progress->setMsg(message);
        progress->setProg(fraction);
        if (waitAtGate)
            while (keepRunning && !gate.tryAcquire(1, 5)) {
            }
        switch (m_ending) {
        case Succeed:
            progress->setProg(1.0);
            emit success();
            break;
        case Fail:
            progress->setState(-2);
            emit failure();
            break;
        case SpinUntilStopped:
            // A full core of work that checks its run flag between steps.
            while (keepRunning)
                spins.fetch_add(1, std::memory_order_relaxed);
            break;
        case Silent:
            break;
        }
    }

private:
    Ending m_ending;
    std::atomic<bool> m_ended{false};
};

// A worker and its progress record, kept until the program ends: Qt finishes a thread with
// calls into our objects after QThread::wait() has returned, out of ThreadSanitizer's sight, so
// their memory must never be reused by a later case.
struct Job {
    KObjProgress progress;
    TestWorker worker;
    Job(bool withProgress, TestWorker::Ending ending)
        : worker(withProgress ? &progress : nullptr, ending)
    {
    }
};

Job& newJob(TestWorker::Ending ending, bool withProgress = true)
{
    static std::deque<std::unique_ptr<Job>> jobs;
    jobs.push_back(std::make_unique<Job>(withProgress, ending));
    return *jobs.back();
}

QPushButton* button(QDialog* dialog)
{
    return dialog->findChild<QPushButton*>("cancelButton");
}

KProgBar* bar(QDialog* dialog)
{
    return static_cast<DlgProgBar*>(dialog)->progressBar();
}

// Answers the dialog's modal run: the steps run inside its event loop.
struct Driver {
    QStringList criticals;
    explicit Driver(std::function<void(QDialog*)> steps)
    {
        KPrompt::setHandler([this, steps](const KPrompt::Request& request) {
            KPrompt::Answer answer;
            if (request.kind == KPrompt::Critical) {
                criticals << request.text;
                answer.button = QMessageBox::Ok;
            } else if (request.kind == KPrompt::Dialog) {
                QDialog* dialog = request.dialog;
                QTimer::singleShot(0, dialog, [dialog, steps] { steps(dialog); });
                answer.button = dialog->exec();
            }
            return answer;
        });
    }
    ~Driver() { KPrompt::setHandler({}); }
};
}

TEST(DlgProgBar, PollsTheWorkerThenShowsSuccessUntilOk)
{
    TestWorker& worker = newJob(TestWorker::Succeed).worker;
    worker.fraction = 0.456;
    worker.message = QString::fromUtf8("Compression de « Cœur »");
    worker.waitAtGate = true;
    bool polled = false;
    Driver driver([&](QDialog* dialog) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar(dialog)->bar()->value() == 45; }, 60000));
        polled = true;
        EXPECT_EQ(bar(dialog)->text(), worker.message);
        EXPECT_EQ(button(dialog)->text(), QString("Annuler"));
        grabScreen(*dialog, "dlg_progress_running");
        worker.gate.release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return button(dialog)->text() == QString("Ok"); }, 60000));
        EXPECT_EQ(bar(dialog)->bar()->value(), 100);
        EXPECT_EQ(bar(dialog)->text(), QString("Fini"));
        EXPECT_TRUE(dialog->isVisible());
        grabScreen(*dialog, "dlg_progress_done");
        QTest::mouseClick(button(dialog), Qt::LeftButton);
    });
    EXPECT_EQ(DlgProgBar::open(false, &worker, "Export", "Fini", "Raté", nullptr),
              DlgProgBar::Success);
    EXPECT_TRUE(polled);
    EXPECT_TRUE(worker.isFinished());
}

TEST(DlgProgBar, EndingsWithAndWithoutAutoClose)
{
    const struct {
        TestWorker::Ending ending;
        bool autoClose;
        DlgProgBar::Result result;
        const char* shown; // null: the dialog closes by itself
    } cases[] = {
        {TestWorker::Succeed, true, DlgProgBar::Success, nullptr},
        {TestWorker::Succeed, false, DlgProgBar::Success, "Fini"},
        {TestWorker::Fail, true, DlgProgBar::Failure, "Raté"},
        {TestWorker::Fail, false, DlgProgBar::Failure, "Raté"},
        {TestWorker::Silent, false, DlgProgBar::Failure, "Raté"},
    };
    for (const auto& c : cases) {
        TestWorker& worker = newJob(c.ending).worker;
        Driver driver([&](QDialog* dialog) {
            if (!c.shown)
                return;
            ASSERT_TRUE(QTest::qWaitFor([&] { return button(dialog)->text() == QString("Ok"); }, 60000));
            EXPECT_EQ(bar(dialog)->text(), QString(c.shown));
            EXPECT_TRUE(dialog->isVisible());
            if (c.ending != TestWorker::Succeed) {
                EXPECT_EQ(bar(dialog)->bar()->value(), 0);
            }
            QTest::mouseClick(button(dialog), Qt::LeftButton);
        });
        EXPECT_EQ(DlgProgBar::open(c.autoClose, &worker, "Import", "Fini", "Raté", nullptr),
                  c.result);
    }
}

TEST(DlgProgBar, CancelStopsABusyWorkerWithoutBlockingTheDialog)
{
    const char* ways[] = {"button", "escape", "close"};
    for (const char* way : ways) {
        TestWorker& worker = newJob(TestWorker::SpinUntilStopped).worker;
        worker.message = "Calcul";
        int ticks = 0;
        Driver driver([&](QDialog* dialog) {
            // The event loop keeps turning while the worker holds a core.
            QTimer ticker;
            QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
            ticker.start(1);
            ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3 && worker.spins.load() > 0; }, 60000));
            if (QString(way) == "button")
                QTest::mouseClick(button(dialog), Qt::LeftButton);
            else if (QString(way) == "escape")
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
            EXPECT_NE(bar(dialog)->text(), QString("Raté"));
        });
        EXPECT_EQ(DlgProgBar::open(false, &worker, "Calcul", "Fini", "Raté", nullptr),
                  DlgProgBar::Cancelled)
            << way;
        EXPECT_TRUE(worker.isFinished());
        EXPECT_TRUE(driver.criticals.isEmpty());
    }
}

TEST(DlgProgBar, AWorkerWithoutProgressIsNeverStarted)
{
    TestWorker& worker = newJob(TestWorker::Succeed, false).worker;
    QSignalSpy started(&worker, &QThread::started);
    Driver driver([](QDialog* dialog) { dialog->hide(); });
    EXPECT_EQ(DlgProgBar::open(false, &worker, "Import", "Fini", "Pas de progression", nullptr),
              DlgProgBar::Failure);
    EXPECT_EQ(driver.criticals, QStringList{"Pas de progression"});
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(started.count(), 0);
}

TEST(KProgBar, ClampsAndElidesLongMessages)
{
    QWidget window;
    window.resize(310, 55);
    KObjProgress progress;
    KProgBar progBar(&progress, &window);
    progBar.resize(310, 55);
    EXPECT_FALSE(progBar.bar()->isEnabled());
    for (const auto& pair : {std::pair{-100, 0}, {45, 45}, {250, 100}}) {
        progBar.setProgress(pair.first);
        EXPECT_EQ(progBar.bar()->value(), pair.second);
    }
    const QString huge(60000, QChar('x'));
    progBar.setText(huge);
    EXPECT_EQ(progBar.text(), huge);
    EXPECT_LE(progBar.sizeHint().width(), 400);
    EXPECT_LT(progBar.findChild<QLabel*>("label")->text().size(), 200);
    EXPECT_TRUE(progBar.start());
    EXPECT_TRUE(progBar.isRunning());
    QSignalSpy finished(&progBar, &KProgBar::finished);
    EXPECT_TRUE(progBar.stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 60000));
    EXPECT_FALSE(KProgBar(nullptr, nullptr).start());
}

TEST(DlgProgBar, ImageGoesAboveTheBar)
{
    TestWorker& worker = newJob(TestWorker::Succeed).worker;
    DlgProgBar dialog(false, &worker, "Export", nullptr);
    auto* layout = dialog.layout();
    const int count = layout->count();
    dialog.setImage("");
    EXPECT_EQ(layout->count(), count);
    dialog.setImage(":/Img/SonaricIcon");
    ASSERT_EQ(layout->count(), count + 1);
    auto* image = qobject_cast<QLabel*>(layout->itemAt(0)->widget());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixmap().size(), QSize(64, 64));
    EXPECT_EQ(layout->itemAt(1)->widget(), dialog.progressBar());
    EXPECT_EQ(dialog.windowTitle(), QString("Export"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("cancelButton")->text(), QString("Annuler"));
    grabScreen(dialog, "dlg_progress_image");
}
