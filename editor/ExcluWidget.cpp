#include "ExcluWidget.h"

#include "AppServices.h"
#include "KColumnShares.h"
#include "KCtrlFile.h"
#include "KTheme.h"
#include "TVRAction.h"
#include "ZazuzoziZadiviDU.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const char* const BarStyle =
    " QToolBar { border:0; background : url(:/Img/DWBar); spacing: 3px; }QToolBar::item::hover{ "
    "background : url(:/Img/MenuBar); } QToolButton { color: #A0A0A0; max-height : 19px; } "
    "QToolButton::hover { background : blue; }";
const char* const ImplyTitleStyle =
    " QLabel { color : #0099CC; min-height : 45px; background : url(:/Img/LabelBar); }";
const char* const ExcluTitleStyle =
    " QLabel { color : #CC0000; min-height : 45px; background : url(:/Img/LabelBar); }";
const char* const SplitterStyle =
    "QSplitter::handle { background : url(:/Img/Splitter); }QSplitter::handle:hover { background: "
    "url(:/Img/SplitterOverConst);}";

QTableWidgetItem* readOnlyCell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

// Deletes the rows whose element columns show the name, with their rule names.
void removeRowsShowing(QTableWidget* table, QStringList& ruleNames, const QString& name)
{
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        for (int column : {0, 1}) {
            const QTableWidgetItem* cell = table->item(row, column);
            if (cell && cell->text() == name) {
                table->removeRow(row);
                ruleNames.removeAt(row);
                break;
            }
        }
    }
}
} // namespace

ExcluWidget::ExcluWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName("ExcluWidgetClass");
    if (parent)
        AppServices::setFontParent(this, parent->font());
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setHandleWidth(6);
    splitter->setStyleSheet(SplitterStyle);
    // Each half is built inside the splitter, which takes it in as it is made: built elsewhere
    // and moved in, its widgets would be polished twice.
    splitter->addWidget(buildHalf(KObjFile::Implication, tr("Implication"), ImplyTitleStyle, {21, 29, 31}, splitter));
    splitter->addWidget(buildHalf(KObjFile::Exclusion, tr("Exclusion"), ExcluTitleStyle, {22, 30, 32}, splitter));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(splitter);
}

QWidget* ExcluWidget::buildHalf(KObjFile::EConst kind, const QString& title, const char* titleStyle,
                                const QList<int>& actionIds, QWidget* parent)
{
    auto* half = new QWidget(parent);
    auto* bar = new QToolBar(half);
    bar->setIconSize(QSize(16, 18));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setStyleSheet(BarStyle);

    auto* table = new QTableWidget(0, 3, half);
    table->setObjectName(kind == KObjFile::Implication ? "implyTW" : "excluTW");
    table->setHorizontalHeaderLabels({tr("Elément 1"), tr("Elément 2"), tr("Description")});
    // The theme's text on its panel colour, as the structure views show elements.
    table->setStyleSheet(QString("QTableView { color : %1; background-color : %2; }")
                             .arg(KTheme::color(KTheme::Text).name(), KTheme::color(KTheme::Panel).name()));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    table->viewport()->installEventFilter(this);
    (kind == KObjFile::Implication ? implyTW : excluTW) = table;

    TVRAction* controller =
        ZazuzoziZadiviDU::hasInstance() ? ZazuzoziZadiviDU::getInstance()->getActionManager() : nullptr;
    if (controller) {
        for (int id : actionIds) {
            bar->addAction(controller->getAction(id));
            table->addAction(controller->getAction(id));
        }
        QAction* modify = controller->getAction(actionIds.at(1));
        connect(table, &QTableWidget::cellDoubleClicked, modify, [modify] { modify->trigger(); });
    }

    auto* label = new QLabel(title, half);
    label->setFont(QFont("Tahoma", 14));
    label->setStyleSheet(titleStyle);
    label->setAlignment(Qt::AlignCenter);

    auto* box = new QVBoxLayout(half);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(bar);
    box->addWidget(table);
    box->addWidget(label);
    return half;
}

QTableWidget* ExcluWidget::table(KObjFile::EConst kind) const
{
    return kind == KObjFile::Exclusion ? excluTW : implyTW;
}

QStringList ExcluWidget::ruleNames(KObjFile::EConst kind) const
{
    return kind == KObjFile::Exclusion ? excluNames : implyNames;
}

QStringList& ExcluWidget::names(KObjFile::EConst kind)
{
    return kind == KObjFile::Exclusion ? excluNames : implyNames;
}

void ExcluWidget::setKFile(KCtrlFile* document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    if (document) {
        connect(document, &KCtrlFile::renamedElement, this, &ExcluWidget::renamedElement);
        // A reload may be announced by an export worker: the tables are rebuilt on this thread.
        connect(document, &KCtrlFile::reloaded, this, &ExcluWidget::cnsttChanged);
        connect(document, &KCtrlFile::removedElement, this, &ExcluWidget::removedElement);
        // An element that only left a group keeps its rules: the tables are read again.
        connect(document, &KCtrlFile::removedEltFromGroup, this, &ExcluWidget::cnsttChanged);
    }
    initUI(document);
}

void ExcluWidget::initUI(KCtrlFile* document)
{
    m_document = document;
    resetUI();
    if (!document)
        return;
    for (const QString& name : document->contraintNames()) {
        const QStringList members = document->getSubElt(name);
        const QString description = document->getEltDesc(name);
        // A rule read from a file with too few members has nothing to show.
        switch (document->getConstraintType(name)) {
        case KObjFile::Implication:
            if (!members.isEmpty())
                addImplyLine(name, document->getImplying(name), members.first(), description);
            break;
        case KObjFile::Exclusion:
            if (members.size() >= 2)
                addExcluLine(name, members.at(0), members.at(1), description);
            break;
        default:
            break;
        }
    }
}

void ExcluWidget::cnsttChanged()
{
    if (m_document)
        initUI(m_document);
}

void ExcluWidget::resetUI()
{
    for (QTableWidget* table : {implyTW, excluTW}) {
        table->clearContents();
        table->setRowCount(0);
    }
    implyNames.clear();
    excluNames.clear();
}

void ExcluWidget::addImplyLine(const QString& name, const QString& element1, const QString& element2,
                               const QString& description)
{
    addLine(KObjFile::Implication, name, element1, element2, description);
}

void ExcluWidget::addExcluLine(const QString& name, const QString& element1, const QString& element2,
                               const QString& description)
{
    addLine(KObjFile::Exclusion, name, element1, element2, description);
}

void ExcluWidget::addLine(KObjFile::EConst kind, const QString& name, const QString& element1,
                          const QString& element2, const QString& description)
{
    QTableWidget* shown = table(kind);
    QStringList& rules = names(kind);
    int row = rules.indexOf(name);
    if (row < 0) {
        row = shown->rowCount();
        shown->insertRow(row);
        rules << name;
    }
    shown->setItem(row, 0, readOnlyCell(element1));
    shown->setItem(row, 1, readOnlyCell(element2));
    shown->setItem(row, 2, readOnlyCell(description));
}

QString ExcluWidget::getCurrentElement(KObjFile::EConst kind) const
{
    const int row = table(kind)->currentRow();
    const QStringList& rules = kind == KObjFile::Exclusion ? excluNames : implyNames;
    return row >= 0 && row < rules.size() ? rules.at(row) : QString();
}

QString ExcluWidget::getCurrentDescription(KObjFile::EConst kind) const
{
    const QTableWidget* shown = table(kind);
    const int row = shown->currentRow();
    const QTableWidgetItem* cell = row >= 0 ? shown->item(row, 2) : nullptr;
    return cell ? cell->text() : QString();
}

void ExcluWidget::removeElement(KObjFile::EConst kind, const QString& name)
{
    const int row = names(kind).indexOf(name);
    if (row < 0)
        return;
    table(kind)->removeRow(row);
    names(kind).removeAt(row);
}

void ExcluWidget::removedElement(const QString& name)
{
    if (excluNames.contains(name))
        removeElement(KObjFile::Exclusion, name);
    else if (implyNames.contains(name))
        removeElement(KObjFile::Implication, name);
    removeRowsShowing(excluTW, excluNames, name);
    removeRowsShowing(implyTW, implyNames, name);
}

void ExcluWidget::renamedElement(const QString& oldName, const QString& newName)
{
    if (excluNames.contains(oldName))
        excluNames.replace(excluNames.indexOf(oldName), newName);
    else if (implyNames.contains(oldName))
        implyNames.replace(implyNames.indexOf(oldName), newName);
    for (QTableWidget* shown : {excluTW, implyTW}) {
        for (int row = 0; row < shown->rowCount(); ++row) {
            for (int column : {0, 1}) {
                QTableWidgetItem* cell = shown->item(row, column);
                if (cell && cell->text() == oldName)
                    cell->setText(newName);
            }
        }
    }
}

void ExcluWidget::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        && ZazuzoziZadiviDU::hasInstance()) {
        TVRAction* controller = ZazuzoziZadiviDU::getInstance()->getActionManager();
        if (excluTW->hasFocus())
            controller->getAction(32)->activate(QAction::Trigger);
        else if (implyTW->hasFocus())
            controller->getAction(31)->activate(QAction::Trigger);
    }
    QWidget::keyPressEvent(event);
}

bool ExcluWidget::eventFilter(QObject* watched, QEvent* event)
{
    // The columns keep their share of the table's width as it changes.
    if (event->type() == QEvent::Resize)
        setColumnWidths();
    return QWidget::eventFilter(watched, event);
}

void ExcluWidget::setColumnWidths()
{
    for (QTableWidget* shown : {implyTW, excluTW}) {
        KColumnShares::apply(shown, shown->viewport()->width(), {8, 8, 4});
    }
}
