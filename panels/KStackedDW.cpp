#include "KStackedDW.h"

#include "DockStyle.h"

#include <QFont>
#include <QStackedWidget>

KStackedDW::KStackedDW(QWidget* parent) : QDockWidget(parent), m_stack(new QStackedWidget(this))
{
    setObjectName("KStackedDW");
    m_stack->setObjectName("stackedWidget");
    QFont bold;
    bold.setPointSize(8);
    bold.setBold(true);
    setFont(bold);
    setStyleSheet(DockStyle::sheet(true));
    setWidget(m_stack);
}

int KStackedDW::addWidget(QWidget* widget)
{
    return m_stack->addWidget(widget);
}

int KStackedDW::count() const
{
    return m_stack->count();
}

void KStackedDW::setCurrentIndex(int index)
{
    m_stack->setCurrentIndex(index);
}

void KStackedDW::setCurrentWidget(QWidget* widget, const QString& title)
{
    if (!widget)
        return;
    if (m_stack->indexOf(widget) < 0)
        m_stack->addWidget(widget);
    m_stack->setCurrentWidget(widget);
    setWindowTitle(title);
}
