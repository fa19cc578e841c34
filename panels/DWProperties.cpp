#include "DWProperties.h"

DWProperties::DWProperties(QWidget* parent) : QDockWidget(parent)
{
    setObjectName("DWProperties");
    setWindowTitle(defaultTitle());
}

QString DWProperties::defaultTitle()
{
    return QDockWidget::tr("Propriétés");
}

void DWProperties::addCentralWidget(QWidget* widget, const QString& title)
{
    setWidget(widget ? widget : new QWidget(this));
    setWindowTitle(title.isEmpty() ? defaultTitle() : title);
}
