#include "WorkSpaceUI.h"

#include "TabViewUI.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>

namespace {
// The strip's height: the background starts below it.
constexpr int StripHeight = 66;
} // namespace

WorkSpaceUI::WorkSpaceUI(QWidget* parent)
    : QWidget(parent), tabs(new TabViewUI(this)), background(new QLabel(this)), grid(new QGridLayout(this))
{
    background->setStyleSheet("background:#202020");
    background->move(1, StripHeight);
    background->lower();
    grid->setObjectName("gridLayout");
    grid->setSpacing(0);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->addWidget(tabs, 0, 0);
    grid->setRowStretch(0, 0);
    grid->setRowStretch(1, 1);
}

void WorkSpaceUI::place(int i)
{
    QScrollArea* frame = frames[i];
    if (frame->widget() == pages[i])
        return;
    frame->setWidget(pages[i]);
    grid->addWidget(frame, 1, 0, 1, -1);
}

void WorkSpaceUI::addCentralWidget(QWidget* page)
{
    auto* frame = new QScrollArea(this);
    frame->setObjectName(QString("pageFrame_%1").arg(pages.size()));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWidgetResizable(true);
    // The page's own background shows, not the scroll area's.
    frame->setStyleSheet("QScrollArea#" + frame->objectName() + " { background: transparent; }");
    frame->viewport()->setAutoFillBackground(false);
    frame->hide();
    pages << page;
    frames << frame;
    if (pages.size() == 1) {
        place(0);
        frame->setVisible(true);
        page->setVisible(true);
    } else {
        page->hide();
    }
}

void WorkSpaceUI::replacePage(int i, QWidget* page)
{
    if (i < 0 || i >= pages.size() || pages[i] == page)
        return;
    QWidget* former = pages[i];
    QScrollArea* frame = frames[i];
    pages[i] = page;
    if (frame->widget() == former) {
        frame->takeWidget();
        frame->setWidget(page);
        page->setVisible(former->isVisible());
    } else {
        page->hide();
    }
    delete former;
}

void WorkSpaceUI::viewWidget(int i)
{
    // Placed before it is shown: placing a page gives it a new parent, which hides it.
    if (i >= 0 && i < pages.size())
        place(i);
    for (int j = 0; j < pages.size(); ++j) {
        frames[j]->setVisible(j == i);
        pages[j]->setVisible(j == i);
    }
}

void WorkSpaceUI::setCurrentTab(int i)
{
    tabs->setCurrentIndex(i);
}

int WorkSpaceUI::currentTab() const
{
    return tabs->currentIndex();
}

void WorkSpaceUI::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    background->resize(w - 2, h - StripHeight);
    QPainter painter(this);
    painter.setPen(QColor(255, 255, 255, 0));
    painter.drawRect(0, 0, w - 1, 36);
    painter.setPen(QColor(255, 255, 255));
    painter.drawRect(0, 36, w - 1, h - 37);
}
