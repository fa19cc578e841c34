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
class KSuperUI;
class MiniPlayerUI;
class QAction;
class QGridLayout;
class QSplitter;
class RulesListView;

class PreMixView : public QWidget, public KIsActiveFuncClass
{
    Q_OBJECT

public:
    PreMixView(KCtrlFile* project, QWidget* parent = nullptr);
    ~PreMixView() override;

    KDragDropTreeView* getKDragDropTV() const { return tree; }
    MiniPlayerUI* getMiniPlayer() const { return miniPlayer; }
    KSuperUI* getSuperUI() const { return console; }
    RulesListView* getRulesList() const { return rulesList; }
    // Asks the new rule's name and description and adds it.
    void createRule();
    // Gives the page's own "Create ..." action the command's effect.
    void setCreateRuleAction(QAction* action);
    QAction* createAction() const { return ownCreateAction; }
    // True while the console shows at least one active element.
    bool isActive() override;
    void setPixmapPath(const QString& path);
    void active();
    // Follows the main window's newKOFile; a plain method, so that the meta-object never needs
    // the document's type.
    void setKFile(KCtrlFile* project);

private:
    void buildLabels(QGridLayout* grid);
    QWidget* buildSplitter();
    void disconnectProject();

    void connectParts();

    QPointer<KCtrlFile> project;
    KSuperUI* console;
    RulesListView* rulesList;
    MiniPlayerUI* miniPlayer;
    KDragDropTreeView* tree;
    QAction* ownCreateAction;
    QSplitter* splitter = nullptr;
};

#endif
