#include "ActionMenus.h"

#include "TVRAction.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace ActionMenus {

QMenu* build(TVRAction* controller, const QList<int>& ids, const QString& objectName, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(objectName);
    for (int id : ids) {
        if (id == Separator)
            menu->addSeparator();
        else if (QAction* action = controller->getAction(id))
            menu->addAction(action);
    }
    return menu;
}

void popup(QMenu* menu, const QPoint& globalPosition)
{
    if (menu)
        menu->popup(globalPosition);
}

void trigger(TVRAction* controller, int id)
{
    if (controller)
        if (QAction* action = controller->getAction(id))
            action->trigger();
}

bool commandKey(TVRAction* controller, const QKeyEvent* event, int onEnter, int onDelete)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        trigger(controller, onEnter);
        return false;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        trigger(controller, onDelete);
        return true;
    default:
        return false;
    }
}

} // namespace ActionMenus
