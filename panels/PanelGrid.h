// The grid of a small property panel: captions in the first column, fields beside them.
#ifndef PANELGRID_H
#define PANELGRID_H

#include <QGridLayout>
#include <QString>

class QWidget;

namespace PanelGrid {
// A grid on the panel with contents margins 5, 2, 2, 2 and spacing 5.
QGridLayout* create(QWidget* panel);
// Appends a row: a caption (named object) and the field.
void addRow(QGridLayout* grid, const char* object, const QString& caption, QWidget* field);
} // namespace PanelGrid

#endif
