// One editing session end to end: a project of a few tracks, groups and rules opens in the
// editor and shows in its views, plays from the mini player (SDL's dummy driver), is saved under
// a new name, closed, and reopened as the same project.
#include "MainWindowFixture.h"
#include "ProjectFixture.h"

#include "KAudioFilePlayer.h"
#include "KButton.h"
#include "KDDMenuTV.h"
#include "KDragMenuLV.h"
#include "MiniPlayerUI.h"

#include <QFileInfo>
#include <QTest>

namespace {
// Answers the save chooser with `savePath`, keeps every checked change and acknowledges the rest.
KPrompt::Handler sessionPrompts(const QString& savePath)
{
    return [savePath](const KPrompt::Request& request) {
        KPrompt::Answer answer;
        answer.ok = request.kind == KPrompt::SaveFileName;
        answer.text = answer.ok ? savePath : QString();
        answer.button = (request.buttons & QMessageBox::Ignore) ? QMessageBox::Ignore : QMessageBox::Ok;
        return answer;
    };
}

QString treeRows(const KTreeModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex child = model.index(row, 0, parent);
        const QString below = treeRows(model, child);
        rows << model.getItem(child) + (below.isEmpty() ? QString() : "(" + below + ")");
    }
    rows.sort();
    return rows.join(",");
}
} // namespace

TEST_F(MainWindowTest, ProjectOpensPlaysSavesUnderANewNameAndReopensTheSame)
{
    fixtures::TempDir dir;
    const QString first = QString::fromStdString(dir.file("first.tvprj"));
    const QString second = QString::fromStdString(dir.file("second.tvprj"));
    {
        KCtrlFile built;
        ASSERT_TRUE(buildProject(built, dir));
        ASSERT_TRUE(writeProjectFile(built, first));
    }
    ScopedPromptHandler prompts(sessionPrompts(second));
    ASSERT_TRUE(window->openTovraProject(first));
    window->show();
    KCtrlFile* document = window->getTovraFile();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(window->getLibraryView()->getEltCount(), 4);
    EXPECT_EQ(treeRows(*window->getStructureView()->getKModel()), "Rhythm(bass,drums),Top(keys,voice)");
    EXPECT_TRUE(window->hasTrack());
    EXPECT_TRUE(window->hasTrackInStructure());
    const QString opened = projectText(*document);

    // Three tracks the rules allow together play from the bar until the read-out moves. The
    // piece is short: it plays in a loop, so that however late the read-out looks, the piece
    // still plays.
    for (const QString name : {"bass", "voice", "keys"})
        document->setEltStatus(name, true);
    MiniPlayerUI bar(document, window);
    bar.show();
    QTest::mouseClick(bar.repeatButton(), Qt::LeftButton);
    ASSERT_TRUE(bar.repeatButton()->isChecked());
    QTest::mouseClick(bar.playButton(), Qt::LeftButton);
    ASSERT_EQ(bar.getKAFPlayer()->getState(), KAudioFilePlayer::Playing);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return bar.timeText() != "0:00:00.000" && !bar.timeText().contains('%'); }, 60000))
        << bar.timeText().toStdString();
    QTest::mouseClick(bar.stopButton(), Qt::LeftButton);
    EXPECT_EQ(bar.getKAFPlayer()->getState(), KAudioFilePlayer::Stopped);
    document->resetEltsStatus();

    ASSERT_TRUE(window->saveProject(false));
    EXPECT_EQ(window->getProjectPath(), second);
    EXPECT_TRUE(window->projectIsSaved());
    EXPECT_TRUE(window->windowTitle().startsWith("second - "));
    ASSERT_TRUE(window->closeProject(false));
    EXPECT_EQ(window->getTovraFile(), nullptr);
    EXPECT_EQ(window->getLibraryView()->getEltCount(), 0);

    ASSERT_TRUE(window->openTovraProject(second));
    ASSERT_NE(window->getTovraFile(), nullptr);
    EXPECT_EQ(projectText(*window->getTovraFile()), opened);
    EXPECT_EQ(window->getLibraryView()->getEltCount(), 4);
    EXPECT_EQ(treeRows(*window->getStructureView()->getKModel()), "Rhythm(bass,drums),Top(keys,voice)");
    EXPECT_TRUE(QFileInfo::exists(first));
}
