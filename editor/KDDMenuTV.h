// The structure tree of the editor: the element tree with context menus, a double-click and
// keys bound to the command controller's group commands. A left click tells the track library
// to drop its selection (clearLV).
#ifndef KDDMENUTV_H
#define KDDMENUTV_H

#include "KDragDropTreeView.h"

#include <QPointer>

class QMenu;
class TVRAction;

class KDDMenuTV : public KDragDropTreeView
{
    Q_OBJECT

public:
    KDDMenuTV(KCtrlFile* project, QWidget* parent = nullptr, KTreeModel* model = nullptr);

    // Keeps the controller and builds the menus anew; a null controller leaves no menus.
    void setActionManager(TVRAction* controller);

    // The palette of the editor's element views, active or not: the theme's panel colour under
    // its text colour, so that the views sit in the dark window like its other panels.
    static QPalette elementViewColours(QPalette colours);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void selectAt(const QPoint& position);

    TVRAction* controller = nullptr;
    QPointer<QMenu> groupMenu;
    QPointer<QMenu> trackMenu;
    QPointer<QMenu> emptyMenu;
};

#endif
