// The mixing-rules page of the workspace: the element tree beside the rule-editing console,
// the rule list above them and a mini player that plays the project while the console shows
// active elements.
#ifndef PREMIXVIEW_H
#define PREMIXVIEW_H

#include "KIsActiveFuncClass.h"

#include <QPointer>
#include <QWidget>

class KCtrlFile;
class KDragDropTreeView;
class MiniPlayerUI;
class QAction;
class QGridLayout;
class QSplitter;

class PreMixView : public QWidget, public KIsActiveFuncClass
{
    Q_OBJECT

public:
    PreMixView(KCtrlFile* project, QWidget* parent = nullptr);

    KDragDropTreeView* getKDragDropTV() const { return tree; }
    MiniPlayerUI* getMiniPlayer() const { return miniPlayer; }
    // Gives the page's own "Create ..." action the command's effect.
    void setCreateRuleAction(QAction* action);
    QAction* createAction() const { return ownCreateAction; }
    // True while the page shows at least one active element.
    bool isActive() override;
    void setPixmapPath(const QString& path) { pixmapPath = path; }
    void active();
    // Follows the main window's newKOFile; a plain method, so that the meta-object never needs
    // the document's type.
    void setKFile(KCtrlFile* project);

private:
    void buildLabels(QGridLayout* grid);
    QWidget* buildSplitter();
    void disconnectProject();

    QPointer<KCtrlFile> project;
    MiniPlayerUI* miniPlayer;
    KDragDropTreeView* tree;
    QAction* ownCreateAction;
    QSplitter* splitter = nullptr;
    QString pixmapPath;
};

#endif
