#include "DockWidgetWithToolBar.h"

#include "DockStyle.h"

#include <QPaintEvent>
#include <QToolBar>
#include <QVBoxLayout>

DockWidgetWithToolBar::DockWidgetWithToolBar(QWidget* parent)
    : QDockWidget(parent), m_holder(new QWidget(this)), m_layout(new QVBoxLayout(m_holder))
{
    setObjectName("DockWidgetWithToolBar");
    m_holder->setObjectName("dockContents");
    m_layout->setContentsMargins(1, 0, 1, 1);
    m_layout->setSpacing(0);
    setWidget(m_holder);
    setWindowTitle(tr("Bibliothèque des Pistes"));
    floatableChange(false);
    connect(this, &QDockWidget::topLevelChanged, this, &DockWidgetWithToolBar::floatableChange);
}

void DockWidgetWithToolBar::replace(QWidget*& slot, QWidget* widget, int position)
{
    if (slot == widget)
        return;
    delete slot;
    slot = widget;
    if (widget)
        m_layout->insertWidget(position, widget, position == 0 ? 0 : 1);
}

void DockWidgetWithToolBar::setToolBar(QToolBar* toolBar)
{
    QWidget* slot = m_toolBar;
    replace(slot, toolBar, 0);
    m_toolBar = toolBar;
}

void DockWidgetWithToolBar::setCentralWidget(QWidget* widget)
{
    replace(m_central, widget, m_toolBar ? 1 : 0);
}

void DockWidgetWithToolBar::floatableChange(bool floating)
{
    setStyleSheet(floating ? QString() : DockStyle::sheet(false));
}

void DockWidgetWithToolBar::paintEvent(QPaintEvent* event)
{
    QDockWidget::paintEvent(event);
    DockStyle::drawFrame(this, Qt::black);
}
