// The track library's context menus, double-click, keys and drops of desktop files.
#include "ViewsFixture.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

namespace {
QPoint libraryRow(KDragMenuLV* library, const QString& name)
{
    const auto* model = library->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->index(row, column).data().toString() == name)
                return library->visualRect(model->index(row, column)).center();
    return QPoint(-1, -1);
}
} // namespace

TEST_F(ViewsTest, LibraryMenuFollowsTheSelectionNotTheRowUnderTheMouse)
{
    const QPoint bass = libraryRow(library, "bass");
    ASSERT_GE(bass.x(), 0);
    QTest::mouseClick(library->viewport(), Qt::RightButton, {}, bass);
    EXPECT_EQ(shownMenu(library), "emptyMenu");
    EXPECT_EQ(menuIds(library, "emptyMenu"), QList<int>({12}));
    EXPECT_TRUE(library->getSelectedItems().isEmpty());
    library->findChild<QMenu*>("emptyMenu")->close();

    QTest::mouseClick(library->viewport(), Qt::LeftButton, {}, libraryRow(library, "voice"));
    QTest::mouseClick(library->viewport(), Qt::RightButton, {}, bass);
    EXPECT_EQ(shownMenu(library), "selectionMenu");
    EXPECT_EQ(menuIds(library, "selectionMenu"), QList<int>({17, 14, -1, 12, -1, 47}));
    EXPECT_EQ(library->getSelectedItems(), QStringList{"voice"});
    grabToScreens(window, "track_library_menu");
}

TEST_F(ViewsTest, LibraryDoubleClickAndKeysTriggerTheTrackCommands)
{
    detachCommands({13, 14, 47});
    QSignalSpy modify(actions->getAction(13), &QAction::triggered);
    QSignalSpy remove(actions->getAction(14), &QAction::triggered);
    QSignalSpy properties(actions->getAction(47), &QAction::triggered);
    // Below the last row nothing is selected and nothing is asked.
    QTest::mouseDClick(library->viewport(), Qt::LeftButton, {}, QPoint(5, library->viewport()->height() - 3));
    EXPECT_EQ(properties.count(), 0);
    QTest::mouseDClick(library->viewport(), Qt::LeftButton, {}, libraryRow(library, "keys"));
    EXPECT_EQ(properties.count(), 1);
    EXPECT_EQ(library->getSelectedItems(), QStringList{"keys"});
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(library, key);
    EXPECT_EQ(modify.count(), 2);
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace})
        QTest::keyClick(library, key);
    EXPECT_EQ(remove.count(), 2);
}

TEST(KDragMenuLVFiles, OnlyLocalFilesAreTakenInDragOrder)
{
    struct Case {
        QList<QUrl> urls;
        QStringList files;
    };
    const Case cases[] = {
        {{QUrl("file:///t/a.wav"), QUrl("file:///t/b.wav")}, {"/t/a.wav", "/t/b.wav"}},
        {{QUrl("file:///t/b.wav"), QUrl("file:///t/a.wav")}, {"/t/b.wav", "/t/a.wav"}},
        {{QUrl("https://example.org/a.wav"), QUrl("file:///t/m%C3%BAsica%20x.wav")}, {"/t/música x.wav"}},
        {{QUrl("http://host/x.wav"), QUrl("ftp://host/y.wav")}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        QMimeData data;
        data.setUrls(c.urls);
        EXPECT_EQ(KDragMenuLV::localFiles(&data), c.files);
    }
    QMimeData names;
    names.setData("Tovra/eltNames", "bass|drums");
    EXPECT_TRUE(KDragMenuLV::localFiles(&names).isEmpty());
    EXPECT_TRUE(KDragMenuLV::localFiles(nullptr).isEmpty());
}

TEST_F(ViewsTest, LibraryTakesDesktopFilesAndRefusesElementDrags)
{
    PromptRecorder prompts;
    const QPoint at = libraryRow(library, "bass");
    QMimeData elements;
    elements.setData("Tovra/eltNames", "bass");
    QDragEnterEvent refused(at, Qt::CopyAction, &elements, Qt::LeftButton, {});
    refused.setAccepted(false);
    QCoreApplication::sendEvent(library->viewport(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("missing1.wav"))),
                   QUrl("https://example.org/x.wav")});
    QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, {});
    enter.setAccepted(false);
    QCoreApplication::sendEvent(library->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, {});
    drop.setAccepted(false);
    QCoreApplication::sendEvent(library->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    // A missing file imports nothing; the project keeps its tracks.
    EXPECT_EQ(window->getTovraFile()->getTrackNames().size(), 4);
}
