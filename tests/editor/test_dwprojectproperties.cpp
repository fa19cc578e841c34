#include "../engine/AudioFixtures.h"
#include "DWProjectProperties.h"
#include "UiTestHelpers.h"
#include "KCtrlFile.h"
#include "ProjectFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

class ProjectProps : public BundleTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(buildProject(*doc, dir));
        ASSERT_TRUE(doc->setGenMediaInfo("Night", "Ana", "(c) Ana", "First", "Jazz", 2009));
        ASSERT_TRUE(doc->setMediaInfo("RAVERUREZI_BANDLINK", "http://band.example/ana"));
        ASSERT_TRUE(doc->setMediaInfo("iTUNES_LINK", "http://shop.example/ana"));
        ASSERT_TRUE(doc->setMediaInfo("Studio", "Home"));
    }
    QLineEdit* field(DWProjectProperties& dock, const char* key)
    {
        auto* found = dock.findChild<QLineEdit*>(key);
        EXPECT_NE(found, nullptr) << key;
        return found;
    }

    fixtures::TempDir dir;
    std::unique_ptr<KCtrlFile> doc = std::make_unique<KCtrlFile>();
};

TEST_F(ProjectProps, ShowsTheProjectAndResetRefillsIt)
{
    QMainWindow window;
    auto* dock = new DWProjectProperties(&window);
    EXPECT_EQ(dock->windowTitle(), "Project Properties");
    dock->setMediaSong(doc.get());
    const struct {
        const char* key;
        const char* shown;
    } rows[] = {{"TITLE", "Night"},       {"AUTHOR", "Ana"},  {"COPYRIGHT", "(c) Ana"},
                {"ALBUM", "First"},       {"STYLE", "Jazz"},  {"YEAR", "2009"},
                {"RAVERUREZI_BANDLINK", "http://band.example/ana"}};
    for (const auto& row : rows)
        EXPECT_EQ(dock->value(row.key), row.shown) << row.key;
    dockInWindow(window, dock, {420, 320});
    grabToScreens(&window, "DWProjectProperties");

    field(*dock, "TITLE")->setText("changed");
    QTest::mouseClick(dock->findChild<QPushButton*>("resetButton"), Qt::LeftButton);
    EXPECT_EQ(dock->value("TITLE"), "Night");

    // A document that goes leaves empty fields behind, never a dangling one.
    doc.reset();
    dock->init();
    EXPECT_EQ(dock->value("TITLE"), "");
    EXPECT_FALSE(dock->saveMediaSong(nullptr));
}

TEST_F(ProjectProps, SavingWritesTheShownValuesAndKeepsTheOtherPairs)
{
    DWProjectProperties dock;
    dock.setMediaSong(doc.get());
    QTest::keyClicks(field(dock, "TITLE"), " Songs");
    field(dock, "STYLE")->clear();
    dock.findChild<QSpinBox*>("YEAR")->setValue(2011);
    field(dock, "RAVERUREZI_BANDLINK")->clear();

    ASSERT_TRUE(dock.saveMediaSong(doc.get()));
    EXPECT_EQ(doc->getMediaInfo("TITLE"), "Night Songs");
    EXPECT_EQ(doc->getMediaInfo("STYLE"), ""); // emptied: gone
    EXPECT_EQ(doc->getYear(), 2011u);
    EXPECT_EQ(doc->getMediaInfo("RAVERUREZI_BANDLINK"), "");
    EXPECT_EQ(doc->getMediaInfo("iTUNES_LINK"), "http://shop.example/ana");
    EXPECT_EQ(doc->getMediaInfo("Studio"), "Home");
    EXPECT_EQ(doc->getMediaInfo("AUTHOR"), "Ana");
}
