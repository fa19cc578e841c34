#include "WorkSpaceUI.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

WorkSpaceUI::WorkSpaceUI(QWidget* parent)
    : QWidget(parent), tabs(new QTabWidget(this)), grid(new QGridLayout(this))
{
    grid->setObjectName("gridLayout");
    grid->setSpacing(0);
    grid->setContentsMargins(1, 1, 1, 1);
    const auto title = [](const char* text) { return QCoreApplication::translate("TabViewUI", text); };
    const QStringList titles = {title("Structure"), title("Contraintes"), title("Règles de mixage"),
                                title("Tovix"), title("Export")};
    for (int i = 0; i < titles.size(); ++i) {
        auto* bar = new QToolBar(tabs);
        bar->setObjectName(QString("tab_%1").arg(i + 1));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tabs->addTab(bar, titles[i]);
    }
    tabs->setMaximumHeight(tabs->tabBar()->sizeHint().height() + 36);
    grid->addWidget(tabs, 0, 0);
    grid->setRowStretch(0, 0);
    grid->setRowStretch(1, 1);
    connect(tabs, &QTabWidget::currentChanged, this, &WorkSpaceUI::tabChanged);
}

void WorkSpaceUI::setTabActions(const QList<QAction*>& actions)
{
    for (int i = 0; i < actions.size() && i < tabs->count(); ++i) {
        if (auto* bar = qobject_cast<QToolBar*>(tabs->widget(i)); bar && actions[i])
            bar->addAction(actions[i]);
    }
}

void WorkSpaceUI::addCentralWidget(QWidget* page)
{
    pages << page;
    if (pages.size() == 1)
        grid->addWidget(page, 1, 0);
    else
        page->hide();
}

void WorkSpaceUI::viewWidget(int i)
{
    // Placed before it is shown: placing a page gives it a new parent, which hides it.
    if (QWidget* shown = pages.value(i); shown && grid->indexOf(shown) < 0)
        grid->addWidget(shown, 1, 0);
    for (int j = 0; j < pages.size(); ++j)
        pages[j]->setVisible(j == i);
}

void WorkSpaceUI::setCurrentTab(int i)
{
    tabs->setCurrentIndex(i);
}

int WorkSpaceUI::currentTab() const
{
    return tabs->currentIndex();
}
