// The centre of the main window: the tab strip above the page of the current tab. The pages
// belong to the main window, which adds them in tab order (page index = tab index) and asks for
// the page of each new tab. Each page sits in a frameless scroll area, so that the window can
// shrink below a page's least size (a laptop screen) and the page scrolls instead.
#ifndef WORKSPACE_UI_H
#define WORKSPACE_UI_H

#include <QList>
#include <QStringList>
#include <QWidget>

class QGridLayout;
class QLabel;
class QScrollArea;
class TabViewUI;

class WorkSpaceUI : public QWidget
{
    Q_OBJECT

public:
    explicit WorkSpaceUI(QWidget* parent = nullptr);

    // The first page added is shown at once; later ones stay hidden until viewWidget picks them.
    void addCentralWidget(QWidget* page);
    // Shows page i and hides the others.
    void viewWidget(int i);
    // Makes tab i current; the strip tells the main window when that changes the tab.
    void setCurrentTab(int i);
    int currentTab() const;
    // Puts the page in place of the one added at index i (a stand-in for a page built when first
    // needed) and deletes the former one. The page keeps the former one's place and visibility.
    void replacePage(int i, QWidget* page);
    QWidget* page(int i) const { return pages.value(i); }
    TabViewUI* tabStrip() const { return tabs; }

signals:
    void dropOnRoot(const QStringList& names);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place(int i);

    TabViewUI* tabs;
    QLabel* background;
    QGridLayout* grid;
    QList<QWidget*> pages;
    // The scroll area of each page, same index; a page enters its area when first shown.
    QList<QScrollArea*> frames;
};

#endif
