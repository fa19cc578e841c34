// Context menus of the editor's views, built from the command controller's actions so that a
// view never creates a command of its own.
#ifndef ACTION_MENUS_H
#define ACTION_MENUS_H

#include <QList>
#include <QString>

class QMenu;
class QPoint;
class QWidget;
class TVRAction;

namespace ActionMenus {
// Separator stands for a separator line in the id list.
constexpr int Separator = -1;

// A menu child of `parent` holding the controller's actions in the order of `ids`.
QMenu* build(TVRAction* controller, const QList<int>& ids, const QString& objectName, QWidget* parent);

// Shows the menu at the global position without waiting for a choice; a null menu does nothing.
void popup(QMenu* menu, const QPoint& globalPosition);
} // namespace ActionMenus

#endif
