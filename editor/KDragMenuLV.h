// The track library of the editor: the project's track list with context menus, a double-click
// and keys bound to the command controller's track commands, and audio files dropped from the
// desktop imported through the main window.
#ifndef KDRAGMENULV_H
#define KDRAGMENULV_H

#include "KDragTrackList.h"

#include <QPointer>

class QMenu;
class QMimeData;
class TVRAction;

class KDragMenuLV : public KDragTrackList
{
    Q_OBJECT

public:
    KDragMenuLV(KCtrlFile* project, QWidget* parent = nullptr);

    // Keeps the controller and builds the menus anew; a null controller leaves no menus.
    void setActionManager(TVRAction* controller);

    // The local files of a drop, in drag order; other addresses (web links) are left out.
    static QStringList localFiles(const QMimeData* data);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:

    TVRAction* controller = nullptr;
    QPointer<QMenu> selectionMenu;
    QPointer<QMenu> emptyMenu;
};

#endif
