// The list of the project's mix rules (hidden groups "__UnusefullGrp__" + rule name) in a
// three-column table under a tool bar. It asks for the name and description of a new rule and
// tells the console by signals which rule to create, open, save or delete; the console makes the
// changes on the document. GUI thread only.
#ifndef RULESLISTVIEW_H
#define RULESLISTVIEW_H

#include <QStringList>
#include <QWidget>

class KCtrlFile;
class QAction;
class QGridLayout;
class QTableWidget;
class QTableWidgetItem;
class QToolBar;

// The generated form of the view: a grid holding the table.
class Ui_RulesListViewClass
{
public:
    QGridLayout* gridLayout = nullptr;
    QTableWidget* listView = nullptr;
    void setupUi(QWidget* form);
    void retranslateUi(QWidget* form);
};

class RulesListView : public QWidget
{
    Q_OBJECT
public:
    explicit RulesListView(KCtrlFile* document, QWidget* parent = nullptr);

    void setKCtrlFile(KCtrlFile* document);
    void setCreateRuleAction(QAction* action);

    static QString getGroupName(const QString& ruleName);
    static QString getRuleName(const QString& groupName);
    // Whether a typed rule name can name a rule: not empty once trimmed, and free of "|" (which
    // separates dragged names) and of control characters.
    static bool isValidRuleName(const QString& name);

    QTableWidget* table() const { return ui.listView; }
    QToolBar* toolBar() const { return m_toolBar; }
    QStringList groupNames() const { return m_names; }
    QAction* createAction() const { return m_createAction; }
    QAction* modifyAction() const { return m_modifyAction; }
    QAction* saveAction() const { return m_saveAction; }
    QAction* deleteAction() const { return m_deleteAction; }

signals:
    void newRule(QString group, QString description);
    void switchRule(QString group);
    void renameRule(QString oldGroup, QString newGroup);
    void removeRule(QString group);
    void saveRule();
    void checkSaveForModidf();
    void needsSelectItem(QStringList names);

public slots:
    void newRule_slot();
    void newRule_slot(QStringList names);
    void removeRule_slot();
    void editRule_slot();
    void saveRule_slot();
    void listClick_slot(QTableWidgetItem* item);
    void renameRule_slot(QString name);
    void listDoubleClick_slot(QTableWidgetItem* item);
    void updateList_slot();

private:
    // Runs the new-rule dialog until a usable name is given or the user cancels; false when
    // cancelled.
    bool askNewRule(QString* group, QString* description);
    // Appends a row for a new rule, makes it current and announces it.
    void addRuleRow(const QString& group, const QString& members, const QString& description);
    void setRow(int row, const QString& group, const QString& members, const QString& description);
    // The group of a row, read from the row itself so that any sorting keeps rows and rules
    // together; empty for no row.
    QString groupOfRow(int row) const;
    void clearTable();

    Ui_RulesListViewClass ui;
    KCtrlFile* m_document;
    QStringList m_names;
    QAction* m_createAction;
    QAction* m_modifyAction;
    QAction* m_saveAction;
    QAction* m_deleteAction;
    QToolBar* m_toolBar;
};

#endif
