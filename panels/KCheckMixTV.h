// The step-1 tree of the mix editor: the project's elements with play check boxes, and a
// context menu that switches every track on or off.
#ifndef KCHECKMIXTV_H
#define KCHECKMIXTV_H

#include "KCheckableTreeView.h"

#include <QPointer>

class KCtrlFile;
class QMenu;

class KCheckMixTV : public KCheckableTreeView
{
    Q_OBJECT

public:
    KCheckMixTV(KCtrlFile* document, QWidget* parent = nullptr);
    void setKCtrlFile(KCtrlFile* document);
    QMenu* contextMenu() const { return menu; }
    // The page the pizza entry opens, for the current language.
    static QUrl pizzaAddress();

public slots:
    void selectAll() override;
    void unselectAll();
    void commandPizza();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointer<KCtrlFile> document;
    QMenu* menu;
};

#endif
