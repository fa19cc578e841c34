#include "KDDMenuTV.h"

#include "ActionMenus.h"
#include "KTheme.h"
#include "TVRAction.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {
// Command ids of the controller.
constexpr int CreateGroupEmpty = 16;
constexpr int CreateGroup = 17;
constexpr int ModifyGroup = 18;
constexpr int DeleteGroup = 19;
constexpr int ModifyTracks = 39;
constexpr int DeleteTracks = 40;
constexpr int TrackProperties = 47;
constexpr int GroupProperties = 48;
} // namespace

KDDMenuTV::KDDMenuTV(KCtrlFile* project, QWidget* parent, KTreeModel* model)
    : KDragDropTreeView(project, parent, model)
{
    setPalette(elementViewColours(palette()));
}

QPalette KDDMenuTV::elementViewColours(QPalette colours)
{
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, KTheme::color(KTheme::Panel));
        colours.setColor(group, QPalette::Text, KTheme::color(KTheme::Text));
    }
    return colours;
}

void KDDMenuTV::setActionManager(TVRAction* manager)
{
    delete groupMenu;
    delete trackMenu;
    delete emptyMenu;
    controller = manager;
    if (!controller)
        return;
    groupMenu = ActionMenus::build(controller, {ModifyGroup, DeleteGroup, CreateGroup, GroupProperties},
                                   "groupMenu", this);
    trackMenu = ActionMenus::build(controller, {ModifyTracks, DeleteTracks, TrackProperties}, "trackMenu", this);
    emptyMenu = ActionMenus::build(controller, {CreateGroupEmpty}, "emptyMenu", this);
}

void KDDMenuTV::selectAt(const QPoint& position)
{
    const QModelIndex index = indexAt(position);
    const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Current;
    selectionModel()->select(index, flags);
    selectionModel()->setCurrentIndex(index, flags);
}

void KDDMenuTV::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        emit clearLV();
        KDragDropTreeView::mouseReleaseEvent(event);
        return;
    }
    selectAt(event->position().toPoint());
    const QString name = getSelectedItem();
    const QPoint at = event->globalPosition().toPoint();
    if (name.isEmpty()) {
        ActionMenus::popup(emptyMenu, at);
        return;
    }
    // A group without members has no children in the model and gets the track menu.
    KTreeModel* model = getKModel();
    if (groupMenu && model->hasChildren(model->getIndex(name)))
        ActionMenus::popup(groupMenu, at);
    else
        ActionMenus::popup(trackMenu, at);
}

void KDDMenuTV::mouseDoubleClickEvent(QMouseEvent* event)
{
    selectAt(event->position().toPoint());
    ActionMenus::trigger(controller, ModifyGroup);
}

void KDDMenuTV::keyPressEvent(QKeyEvent* event)
{
    if (!ActionMenus::commandKey(controller, event, ModifyGroup, DeleteGroup))
        KDragDropTreeView::keyPressEvent(event);
}
