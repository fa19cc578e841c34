// Context menus of the editor's views, built from the command controller's actions so that a
// view never creates a command of its own.
#ifndef ACTION_MENUS_H
#define ACTION_MENUS_H

#include <QList>
#include <QString>

class QKeyEvent;
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
// Triggers the controller's action `id`; without a controller or such an action nothing.
void trigger(TVRAction* controller, int id);

// The command keys of the views: Return or Enter run `onEnter` and go on to the view; Backspace
// or Delete run `onDelete` and stop there. True when the view must not see the key.
bool commandKey(TVRAction* controller, const QKeyEvent* event, int onEnter, int onDelete);
} // namespace ActionMenus

#endif
