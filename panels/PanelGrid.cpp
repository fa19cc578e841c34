#include "PanelGrid.h"

#include <QLabel>

QGridLayout* PanelGrid::create(QWidget* panel)
{
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(5, 2, 2, 2);
    grid->setSpacing(5);
    return grid;
}

void PanelGrid::addRow(QGridLayout* grid, const char* object, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption, grid->parentWidget());
    label->setObjectName(object);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
}
