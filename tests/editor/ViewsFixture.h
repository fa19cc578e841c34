// A main window showing a small project (ProjectFixture.h) opened from its file, with the
// structure tree and the track library at hand, and helpers to click rows and read which of a
// view's context menus is up.
#ifndef VIEWS_FIXTURE_H
#define VIEWS_FIXTURE_H

#include "KDDMenuTV.h"
#include "KDragMenuLV.h"
#include "MainWindowFixture.h"
#include "ProjectFixture.h"

#include <QAction>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTest>

class ViewsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        KCtrlFile project;
        ASSERT_TRUE(buildProject(project, dir));
        path = QString::fromStdString(dir.file("song.tvprj"));
        ASSERT_TRUE(writeProjectFile(project, path));
        ASSERT_TRUE(window->openTovraProject(path));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        tree = window->getStructureView();
        library = window->getLibraryView();
    }
    void TearDown() override
    {
        for (QMenu* menu : window->findChildren<QMenu*>())
            menu->close();
        MainWindowTest::TearDown();
    }

    // Cuts the commands off their handlers, so that a test sees which command a view asks for
    // without running it.
    void detachCommands(const QList<int>& ids)
    {
        for (int id : ids)
            QObject::disconnect(actions->getAction(id), &QAction::triggered, actions, nullptr);
    }

    // The name of the view's menu that is up, empty when none is.
    static QString shownMenu(QWidget* view)
    {
        QString shown;
        for (QMenu* menu : view->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
            if (menu->isVisible())
                shown += menu->objectName();
        return shown;
    }

    // The command ids of a menu's entries, -1 for a separator.
    QList<int> menuIds(QWidget* view, const QString& name)
    {
        QList<int> ids;
        auto* menu = view->findChild<QMenu*>(name, Qt::FindDirectChildrenOnly);
        if (!menu)
            return ids;
        for (QAction* action : menu->actions()) {
            int id = -1;
            for (int candidate = 0; candidate < 60 && !action->isSeparator(); ++candidate)
                if (actions->getAction(candidate) == action)
                    id = candidate;
            ids << id;
        }
        return ids;
    }

    QPoint treeRow(const QString& name) const
    {
        const QModelIndex source = tree->getKModel()->getIndex(name);
        return tree->visualRect(tree->proxy()->mapFromSource(source)).center();
    }

    fixtures::TempDir dir;
    QString path;
    KDDMenuTV* tree = nullptr;
    KDragMenuLV* library = nullptr;
};

#endif
