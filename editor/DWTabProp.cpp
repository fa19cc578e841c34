#include "DWTabProp.h"

#include "DockStyle.h"

#include <QCloseEvent>

DWTabProp::DWTabProp(QWidget* parent) : DWProperties(parent)
{
    setObjectName("DWTabProp");
    connect(this, &QDockWidget::topLevelChanged, this, &DWTabProp::floatableChange);
}

void DWTabProp::floatableChange(bool floating)
{
    setMinimumSize(floating && widget() ? widget()->sizeHint() : QSize(0, 0));
}

void DWTabProp::paintEvent(QPaintEvent* event)
{
    DWProperties::paintEvent(event);
    DockStyle::drawFrame(this, Qt::white);
}

void DWTabProp::closeEvent(QCloseEvent* event)
{
    if (isFloating()) {
        setFloating(false);
        event->ignore();
        return;
    }
    DWProperties::closeEvent(event);
}
