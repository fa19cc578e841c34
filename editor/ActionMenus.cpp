#include "ActionMenus.h"

#include "TVRAction.h"

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

} // namespace ActionMenus
