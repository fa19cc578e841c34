#include "KDragMenuLV.h"

#include "ActionMenus.h"
#include "KDDMenuTV.h"
#include "KTheme.h"
#include "TVRAction.h"
#include "ZazuzoziZadiviDU.h"

#include <QAction>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {
// Command ids of the controller.
constexpr int Import = 12;
constexpr int Modify = 13;
constexpr int Delete = 14;
constexpr int CreateGroup = 17;
constexpr int TrackProperties = 47;
} // namespace

KDragMenuLV::KDragMenuLV(KCtrlFile* project, QWidget* parent) : KDragTrackList(project, parent)
{
    QPalette colours = KDDMenuTV::elementViewColours(palette());
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, KTheme::accent());
        colours.setColor(group, QPalette::HighlightedText, QColor(0, 0, 0));
    }
    setPalette(colours);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
}

void KDragMenuLV::setActionManager(TVRAction* manager)
{
    delete selectionMenu;
    delete emptyMenu;
    controller = manager;
    if (!controller)
        return;
    const int line = ActionMenus::Separator;
    selectionMenu = ActionMenus::build(controller, {CreateGroup, Delete, line, Import, line, TrackProperties},
                                       "selectionMenu", this);
    emptyMenu = ActionMenus::build(controller, {Import}, "emptyMenu", this);
}

// A right press leaves the selection alone: its menu acts on what was selected before.
void KDragMenuLV::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        event->accept();
    else
        KDragTrackList::mousePressEvent(event);
}

void KDragMenuLV::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        KDragTrackList::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->globalPosition().toPoint();
    ActionMenus::popup(getSelectedItems().isEmpty() ? emptyMenu : selectionMenu, at);
}

void KDragMenuLV::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || !model())
        return;
    const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Current;
    selectionModel()->select(index, flags);
    selectionModel()->setCurrentIndex(index, flags);
    ActionMenus::trigger(controller, TrackProperties);
}

void KDragMenuLV::keyPressEvent(QKeyEvent* event)
{
    if (!ActionMenus::commandKey(controller, event, Modify, Delete))
        KDragTrackList::keyPressEvent(event);
}

QStringList KDragMenuLV::localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url.toLocalFile();
    return files;
}

// Only local files are taken: a web link or another address never becomes a path to import.
void KDragMenuLV::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// The answer of the drag enter stands while the drag moves over the rows.
void KDragMenuLV::dragMoveEvent(QDragMoveEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void KDragMenuLV::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    ZazuzoziZadiviDU::getInstance()->importAudioPath(files);
    event->acceptProposedAction();
}
