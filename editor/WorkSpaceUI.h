// The centre of the main window: a strip of five tabs, each with its tool bar, above the page
// of the current tab. The pages belong to the main window; page index = tab index.
#ifndef WORKSPACE_UI_H
#define WORKSPACE_UI_H

#include <QList>
#include <QStringList>
#include <QWidget>

class QGridLayout;
class QTabWidget;

class WorkSpaceUI : public QWidget
{
    Q_OBJECT

public:
    explicit WorkSpaceUI(QWidget* parent = nullptr);

    // Puts action i of the list on the tool bar of tab i.
    void setTabActions(const QList<QAction*>& actions);
    void addCentralWidget(QWidget* page);
    // Shows page i and hides the others.
    void viewWidget(int i);
    void setCurrentTab(int i);
    int currentTab() const;
    QWidget* page(int i) const { return pages.value(i); }

signals:
    void dropOnRoot(const QStringList& names);
    // The user or a command made another tab current.
    void tabChanged(int index);

private:
    QTabWidget* tabs;
    QGridLayout* grid;
    QList<QWidget*> pages;
};

#endif
