#include "MainWindowFixture.h"
#include "ProjectFixture.h"
#include "ProjectPropUI.h"

#include <QFileInfo>

namespace {
class ProjectMetadataTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->createFileObj();
        ASSERT_TRUE(buildProject(*window->getTovraFile(), dir));
        panel = window->getProjectProp();
        ASSERT_NE(panel, nullptr);
        file = QString::fromStdString(dir.file("song.tvprj"));
    }
    fixtures::TempDir dir;
    ProjectPropUI* panel = nullptr;
    QString file;
};
} // namespace

TEST_F(ProjectMetadataTest, MetadataSurvivesSaveAndReopen)
{
    panel->setDefineInfo(Snc::Title, "Night drive");
    panel->setDefineInfo(Snc::Author, "Ana");
    panel->setDefineInfo(Snc::Style, "Synthwave");
    panel->setDefineInfo(Snc::Year, "2011");
    panel->setDefineInfo(Snc::ITunesLink, "https://music.example/night");
    panel->setUserValue("Label", "Indie");
    ASSERT_TRUE(window->saveTovraProject(file));
    EXPECT_TRUE(window->projectIsSaved());

    ASSERT_TRUE(window->closeProject(false));
    EXPECT_EQ(panel->getDefineInfo(Snc::Title), "");
    EXPECT_TRUE(panel->getUserLabels().isEmpty());

    ASSERT_TRUE(window->openTovraProject(file));
    EXPECT_EQ(panel->getDefineInfo(Snc::Title), "Night drive");
    EXPECT_EQ(panel->getDefineInfo(Snc::Author), "Ana");
    EXPECT_EQ(panel->getDefineInfo(Snc::Style), "Synthwave");
    EXPECT_EQ(panel->getDefineInfo(Snc::Year), "2011");
    EXPECT_EQ(panel->getDefineInfo(Snc::ITunesLink), "https://music.example/night");
    EXPECT_EQ(panel->getUserLabels(), QStringList{"Label"});
    EXPECT_EQ(panel->getUserValues(), QStringList{"Indie"});
    EXPECT_EQ(window->getTovraFile()->getTitle(), "Night drive");
}

TEST_F(ProjectMetadataTest, RefusedMetadataFailsTheSaveAndKeepsTheFile)
{
    ASSERT_TRUE(window->saveTovraProject(file));
    const QByteArray before = [&] {
        QFile saved(file);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    }();
    ASSERT_FALSE(before.isEmpty());
    panel->setDefineInfo(Snc::Title, "changed");
    panel->setUserValue("Empty", "");
    EXPECT_FALSE(window->saveTovraProject(file));
    EXPECT_FALSE(window->projectIsSaved());
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
}
