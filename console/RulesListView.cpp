#include "RulesListView.h"

#include "AppServices.h"
#include "DlgInputUI.h"
#include "KColumnShares.h"
#include "KCtrlFile.h"
#include "KPrompt.h"

#include <QAction>
#include <QGridLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QToolBar>

namespace {
const QString kRulePrefix = QStringLiteral("__UnusefullGrp__");

QString memberText(const QStringList& names)
{
    QString text;
    for (const QString& name : names)
        text += name + QStringLiteral("  ");
    return text;
}
} // namespace

void Ui_RulesListViewClass::setupUi(QWidget* form)
{
    form->setObjectName(QStringLiteral("RulesListViewClass"));
    gridLayout = new QGridLayout(form);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    listView = new QTableWidget(form);
    listView->setObjectName(QStringLiteral("listView"));
    listView->setColumnCount(3);
    gridLayout->addWidget(listView, 1, 0);
    retranslateUi(form);
}

void Ui_RulesListViewClass::retranslateUi(QWidget* form)
{
    form->setWindowTitle(QStringLiteral("RulesListView"));
    listView->setHorizontalHeaderLabels({RulesListView::tr("Nom de la règle"),
                                         RulesListView::tr("Piste(s) associée(s) à cette règle"),
                                         RulesListView::tr("Description")});
}

RulesListView::RulesListView(KCtrlFile* document, QWidget* parent)
    : QWidget(parent)
    , m_document(nullptr)
{
    ui.setupUi(this);
    m_createAction = new QAction(QIcon(QStringLiteral(":/Img/AddAudio")), tr("Créer..."), this);
    m_modifyAction = new QAction(QIcon(QStringLiteral(":/Img/Customize")), tr("Modifier"), this);
    m_saveAction = new QAction(QIcon(QStringLiteral(":/Img/Save")), tr("Enregistrer"), this);
    m_deleteAction = new QAction(QIcon(QStringLiteral(":/Img/DeleteAudio")), tr("Supprimer "), this);

    m_toolBar = new QToolBar(this);
    m_toolBar->addAction(m_createAction);
    m_toolBar->addAction(m_modifyAction);
    m_toolBar->addAction(m_saveAction);
    m_toolBar->addAction(m_deleteAction);
    m_toolBar->setIconSize(QSize(16, 18));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setStyleSheet(QStringLiteral(
        " QToolBar { border:0; background : url(:/Img/DWBar); spacing: 3px; }"
        "QToolBar::item::hover{ background : url(:/Img/MenuBar); } QToolButton { max-height : "
        "19px; color: #A0A0A0; } QToolButton::pressed { background : blue; color : black; }"));
    ui.gridLayout->addWidget(m_toolBar, 0, 0);
    ui.gridLayout->setRowStretch(0, 0);
    ui.gridLayout->setRowStretch(1, 10);

    QTableWidget* table = ui.listView;
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // A sixth, a half and a third of the panel's width: a panel built small before its page lays
    // it out still shows whole titles.
    KColumnShares::apply(table, width(), {6, 2, 3});
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    table->addAction(m_createAction);
    table->addAction(m_modifyAction);
    table->addAction(m_deleteAction);

    connect(m_modifyAction, &QAction::triggered, this, &RulesListView::editRule_slot);
    connect(m_saveAction, &QAction::triggered, this, &RulesListView::saveRule_slot);
    connect(m_deleteAction, &QAction::triggered, this, &RulesListView::removeRule_slot);
    connect(table, &QTableWidget::itemClicked, this, &RulesListView::listClick_slot);
    connect(table, &QTableWidget::itemDoubleClicked, this, &RulesListView::listDoubleClick_slot);

    AppServices::setFontParent(this, parent ? parent->font() : font());
    setKCtrlFile(document);
}

QString RulesListView::getGroupName(const QString& ruleName)
{
    return kRulePrefix + ruleName;
}

QString RulesListView::getRuleName(const QString& groupName)
{
    return groupName.mid(kRulePrefix.size());
}

bool RulesListView::isValidRuleName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('|')))
        return false;
    for (const QChar c : trimmed)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

void RulesListView::setKCtrlFile(KCtrlFile* document)
{
    m_document = document;
    clearTable();
    if (m_document)
        updateList_slot();
}

void RulesListView::setCreateRuleAction(QAction* action)
{
    if (action)
        connect(m_createAction, &QAction::triggered, action, &QAction::trigger);
}

void RulesListView::clearTable()
{
    ui.listView->clearContents();
    ui.listView->setRowCount(0);
    m_names.clear();
}

void RulesListView::setRow(int row, const QString& group, const QString& members,
                           const QString& description)
{
    auto* name = new QTableWidgetItem(getRuleName(group));
    name->setData(Qt::UserRole, group);
    ui.listView->setItem(row, 0, name);
    ui.listView->setItem(row, 1, new QTableWidgetItem(members));
    ui.listView->setItem(row, 2, new QTableWidgetItem(description));
}

QString RulesListView::groupOfRow(int row) const
{
    const QTableWidgetItem* item = row >= 0 ? ui.listView->item(row, 0) : nullptr;
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void RulesListView::updateList_slot()
{
    if (!m_document)
        return;
    QStringList names = m_document->rulesNames();
    if (names.isEmpty()) {
        clearTable();
        return;
    }
    names.sort();
    QTableWidget* table = ui.listView;
    // The rule the user picked (the one open in the console after a double click) stays
    // selected once the rows are rebuilt.
    const QString picked = groupOfRow(table->currentRow());
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(int(names.size()));
    for (int row = 0; row < names.size(); ++row)
        setRow(row, names[row], memberText(m_document->getSubElt(names[row])),
               m_document->getEltDesc(names[row]));
    table->sortItems(0, Qt::AscendingOrder);
    m_names.clear();
    for (int row = 0; row < table->rowCount(); ++row)
        m_names << groupOfRow(row);
    if (const int row = int(m_names.indexOf(picked)); !picked.isEmpty() && row >= 0)
        table->selectRow(row);
}

bool RulesListView::askNewRule(QString* group, QString* description)
{
    for (;;) {
        DlgInputUI dialog(this);
        dialog.setWindowTitle(tr("Nouvelle règle"));
        dialog.setLabels(tr("Nom de la règle"), tr("Description"));
        dialog.setTexts(QString(), QString());
        dialog.setOkButtonText(tr("Valider"));
        dialog.setCancelButtonText(tr("Annuler"));
        dialog.setToolButtonUnVisible();
        dialog.setModal(true);
        dialog.show();
        dialog.activateWindow();
        if (KPrompt::exec(&dialog) != QDialog::Accepted)
            return false;
        const QString name = dialog.getText(1).trimmed();
        *group = getGroupName(name);
        *description = dialog.getText(2);
        if (isValidRuleName(name) && !(m_document && m_document->isElement(*group)))
            return true;
        KPrompt::warning(this, tr("Nom de la règle"),
                         tr("Veuillez saisir un nom de règle valide et non utilisé"),
                         QMessageBox::Ok);
    }
}

void RulesListView::addRuleRow(const QString& group, const QString& members,
                               const QString& description)
{
    m_names.append(group);
    const int row = ui.listView->rowCount();
    ui.listView->insertRow(row);
    setRow(row, group, members, description);
    ui.listView->setCurrentCell(row, 0);
    ui.listView->selectRow(row);
    emit newRule(group, description);
}

void RulesListView::newRule_slot()
{
    emit checkSaveForModidf();
    updateList_slot();
    QString group;
    QString description;
    if (askNewRule(&group, &description))
        addRuleRow(group, QString(), description);
}

void RulesListView::newRule_slot(QStringList names)
{
    emit checkSaveForModidf();
    QString group;
    QString description;
    if (!askNewRule(&group, &description))
        return;
    addRuleRow(group, memberText(names), description);
    if (!names.isEmpty())
        emit needsSelectItem(names);
}

void RulesListView::editRule_slot()
{
    const int row = ui.listView->currentRow();
    if (row >= 0 && !m_names.isEmpty())
        emit switchRule(groupOfRow(row));
}

void RulesListView::listDoubleClick_slot(QTableWidgetItem*)
{
    const int row = ui.listView->currentRow();
    if (row < 0)
        return;
    emit switchRule(groupOfRow(row));
    updateList_slot();
}

void RulesListView::saveRule_slot()
{
    emit saveRule();
    updateList_slot();
}

void RulesListView::removeRule_slot()
{
    const int row = ui.listView->currentRow();
    if (row < 0)
        return;
    const QMessageBox::StandardButton answer = KPrompt::question(
        this, tr("Suppression de règle"), tr("Êtes vous sûr de vouloir supprimer cette règle ?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::No)
        return;
    const QString group = groupOfRow(row);
    emit removeRule(group);
    ui.listView->removeRow(row);
    m_names.removeOne(group);
    ui.listView->setCurrentCell(0, 0);
}

void RulesListView::listClick_slot(QTableWidgetItem*) {}

void RulesListView::renameRule_slot(QString) {}
