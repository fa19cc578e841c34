#include "../engine/AudioFixtures.h"
#include "DlgExportToTovraUI.h"
#include "KCtrlFile.h"
#include "KObjProgress.h"
#include "ProgressThread.h"
#include "ProjectFixture.h"
#include "TovraExportThread.h"
#include "UiTestHelpers.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {
constexpr int Wait = 20000;
} // namespace

TEST(ProgressThread, RelaysWhatAWorkerWritesAndStopsAtOnce)
{
    KObjProgress progress;
    ProgressThread poller(&progress);
    // Received on this thread: the polls cross as queued calls to the receiver.
    QObject receiver;
    int value = -1;
    QString text;
    QObject::connect(&poller, &ProgThread::setProgress, &receiver, [&](int percent) { value = percent; });
    QObject::connect(&poller, &ProgThread::setText, &receiver, [&](const QString& message) { text = message; });
    poller.start();
    std::thread worker([&] {
        progress.setState(2);
        progress.setMsg("Ecriture des pistes");
        progress.setProg(0.5);
    });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return value == 50; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return text == QString("Ecriture des pistes"); }, 60000));
    poller.stop();
    EXPECT_TRUE(poller.wait(Wait));
}

TEST(ProgressThread, DialogBarFollowsTheProgressUntilStopped)
{
    KObjProgress progress;
    DlgExportToTovraUI dialog(nullptr);
    dialog.show();
    dialog.beginProgress(&progress);
    EXPECT_TRUE(dialog.inProgress());
    EXPECT_FALSE(child<QPushButton>(dialog, "exportButton")->isEnabled());
    std::atomic<bool> done{false};
    std::thread worker([&] {
        progress.setState(2);
        progress.setMsg("Export");
        progress.setProg(0.25);
        done = true;
    });
    worker.join();
    ASSERT_TRUE(done);
    auto* bar = child<QProgressBar>(dialog, "progressBar");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == 25; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return child<QLabel>(dialog, "progressText")->text() == QString("Export"); }, 60000));
    grabToScreens(&dialog, "DlgExportToTovraUI_progress");
    dialog.stopProgress();
    EXPECT_FALSE(dialog.inProgress());
    EXPECT_TRUE(child<QPushButton>(dialog, "exportButton")->isEnabled());
    // Polling ended: the progress may go while the dialog lives on.
}

class TovraExport : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(buildProject(*doc, dir)); }
    QString target(const char* name) const { return QString::fromStdString(dir.file(name)); }

    fixtures::TempDir dir;
    std::unique_ptr<KCtrlFile> doc = std::make_unique<KCtrlFile>();
};

TEST_F(TovraExport, ExportsTheProjectAndClosesOnSuccess)
{
    PromptRecorder boxes;
    TovraExportThread controller(doc.get(), nullptr);
    QSignalSpy finished(&controller, &TovraExportThread::finished);
    controller.launch();
    DlgExportToTovraUI* dialog = controller.dialog();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->getMode(), DlgExportToTovraUI::ModeChooseDefault); // no stored mix yet
    dialog->setPath(target("song.tovra"));
    QTest::mouseClick(child<QPushButton>(*dialog, "exportButton"), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(Wait));
    EXPECT_EQ(finished[0][0].toInt(), TovraExportThread::Succeeded);
    EXPECT_FALSE(controller.isRunning());
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_EQ(boxes.asked.size(), 1);
    EXPECT_EQ(boxes.asked[0].kind, KPrompt::Information);
    EXPECT_EQ(boxes.asked[0].text, "L'export s'est terminé avec succès !");
    EXPECT_GT(QFileInfo(target("song.tovra")).size(), 0);
}

TEST_F(TovraExport, AFailedExportSaysSoAndKeepsTheDialogOpen)
{
    PromptRecorder boxes;
    TovraExportThread controller(doc.get(), nullptr);
    QSignalSpy finished(&controller, &TovraExportThread::finished);
    controller.launch();
    controller.dialog()->setPath(target("missing/folder/song.tovra"));
    QTest::mouseClick(child<QPushButton>(*controller.dialog(), "exportButton"), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(Wait));
    EXPECT_EQ(finished[0][0].toInt(), TovraExportThread::Failed);
    ASSERT_EQ(boxes.asked.size(), 1);
    EXPECT_EQ(boxes.asked[0].kind, KPrompt::Critical);
    EXPECT_EQ(boxes.asked[0].text, "Erreur durant l'export en Tovra");
    EXPECT_TRUE(controller.dialog()->isVisible());
    EXPECT_TRUE(child<QPushButton>(*controller.dialog(), "exportButton")->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(target("missing")));

    // Cancel on the idle dialog closes it.
    QTest::mouseClick(child<QPushButton>(*controller.dialog(), "cancelButton"), Qt::LeftButton);
    ASSERT_EQ(finished.size(), 2);
    EXPECT_EQ(finished[1][0].toInt(), TovraExportThread::Cancelled);
    EXPECT_FALSE(controller.dialog()->isVisible());
}

TEST_F(TovraExport, ACancelledOrDestroyedExportLeavesNoThreadBehind)
{
    PromptRecorder boxes;
    {
        TovraExportThread controller(doc.get(), nullptr);
        QSignalSpy finished(&controller, &TovraExportThread::finished);
        controller.launch();
        controller.dialog()->setPath(target("cancelled.tovra"));
        QTest::mouseClick(child<QPushButton>(*controller.dialog(), "exportButton"), Qt::LeftButton);
        // Cancel right away: the export stops early or ends first; either way one outcome.
        QTest::mouseClick(child<QPushButton>(*controller.dialog(), "cancelButton"), Qt::LeftButton);
        ASSERT_TRUE(finished.size() == 1 || finished.wait(Wait));
        const int outcome = finished[0][0].toInt();
        EXPECT_TRUE(outcome == TovraExportThread::Cancelled || outcome == TovraExportThread::Succeeded);
        if (outcome == TovraExportThread::Cancelled) {
            EXPECT_FALSE(QFileInfo::exists(target("cancelled.tovra")));
        }
        EXPECT_FALSE(controller.isRunning());
    }
    {
        // Destroyed while exporting: the worker is stopped and waited for.
        TovraExportThread controller(doc.get(), nullptr);
        controller.launch();
        controller.dialog()->setPath(target("destroyed.tovra"));
        QTest::mouseClick(child<QPushButton>(*controller.dialog(), "exportButton"), Qt::LeftButton);
    }
    // The document goes first: an export asked afterwards fails cleanly.
    TovraExportThread controller(doc.get(), nullptr);
    QSignalSpy finished(&controller, &TovraExportThread::finished);
    controller.launch();
    doc.reset();
    controller.dialog()->setPath(target("orphan.tovra"));
    QTest::mouseClick(child<QPushButton>(*controller.dialog(), "exportButton"), Qt::LeftButton);
    EXPECT_FALSE(controller.isRunning());
    EXPECT_FALSE(QFileInfo::exists(target("orphan.tovra")));
}
