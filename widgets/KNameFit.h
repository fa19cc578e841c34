// Element and mix names can be as long as an author types them: the widgets that show them keep
// their own width, end a name that does not fit with an ellipsis, and carry the whole name in
// their tooltip.
#ifndef KNAMEFIT_H
#define KNAMEFIT_H

#include <QString>

class QComboBox;
class QWidget;

namespace KNameFit {
// Characters a name field shows before its ellipsis.
constexpr int NameChars = 24;
// The combo box no longer widens to its longest name; each item's tooltip and the box's own are
// the whole name (items added later included). The theme style draws the ellipsis.
void fitCombo(QComboBox* combo, int chars = NameChars);
// The name as it fits `width` pixels in the widget's font: whole, or its start and an ellipsis.
QString fitted(const QWidget* widget, const QString& name, int width);
}

#endif
