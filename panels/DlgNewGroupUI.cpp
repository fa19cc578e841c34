#include "DlgNewGroupUI.h"

#include "AppServices.h"
#include "KCtrlFile.h"
#include "KNameFit.h"
#include "KPrompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QListView* memberListView(QWidget* parent, const char* name)
{
    auto* list = new QListView(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

QPushButton* button(QWidget* parent, const char* name, bool enabled)
{
    auto* made = new QPushButton(parent);
    made->setObjectName(name);
    made->setEnabled(enabled);
    return made;
}

QSpinBox* countBox(QWidget* parent, const char* name)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setMaximum(0);
    box->setEnabled(false);
    return box;
}
} // namespace

void Ui_Dialog::setupUi(QDialog* dialog)
{
    dialog->setObjectName("Dialog");
    dialog->resize(451, 531);
    dialog->setMinimumSize(450, 450);
    QFont small = dialog->font();
    small.setPointSize(9);
    dialog->setFont(small);

    nameLabel = new QLabel(dialog);
    nameLineEdit = new QLineEdit(dialog);
    nameLineEdit->setObjectName("nameLineEdit");
    locationLabel = new QLabel(dialog);
    comboBox = new QComboBox(dialog);
    comboBox->setObjectName("comboBox");
    auto* top = new QGridLayout;
    top->addWidget(nameLabel, 0, 0);
    top->addWidget(nameLineEdit, 0, 1);
    top->addWidget(locationLabel, 1, 0);
    top->addWidget(comboBox, 1, 1);

    compositionBox = new QGroupBox(dialog);
    trackLabel = new QLabel(compositionBox);
    trackList = memberListView(compositionBox, "trackList");
    trackList->setDragDropMode(QAbstractItemView::DragOnly);
    groupLabel = new QLabel(compositionBox);
    groupList = memberListView(compositionBox, "groupList");
    groupList->setDragDropMode(QAbstractItemView::DragOnly);
    eltLabel = new QLabel(compositionBox);
    eltList = memberListView(compositionBox, "eltList");
    eltList->setDragDropMode(QAbstractItemView::DropOnly);
    eltList->setDragDropOverwriteMode(true);
    addTrackButton = button(compositionBox, "addTrackButton", false);
    addGrpButton = button(compositionBox, "addGrpButton", false);
    removeEltButton = button(compositionBox, "removeEltButton", false);
    auto* composition = new QGridLayout(compositionBox);
    composition->addWidget(trackLabel, 0, 0);
    composition->addWidget(trackList, 1, 0);
    composition->addWidget(groupLabel, 2, 0);
    composition->addWidget(groupList, 3, 0);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(addTrackButton);
    moves->addWidget(removeEltButton);
    moves->addStretch();
    moves->addWidget(addGrpButton);
    moves->addStretch();
    composition->addLayout(moves, 1, 1, 3, 1);
    composition->addWidget(eltLabel, 0, 2);
    composition->addWidget(eltList, 1, 2, 3, 1);

    paramsBox = new QGroupBox(dialog);
    minLabel = new QLabel(paramsBox);
    minSpinBox = countBox(paramsBox, "minSpinBox");
    maxLabel = new QLabel(paramsBox);
    maxSpinBox = countBox(paramsBox, "maxSpinBox");
    checkBox = new QCheckBox(paramsBox);
    checkBox->setObjectName("checkBox");
    minLabel->setWordWrap(true);
    maxLabel->setWordWrap(true);
    auto* params = new QGridLayout(paramsBox);
    params->setColumnStretch(0, 1);
    params->addWidget(minLabel, 0, 0);
    params->addWidget(minSpinBox, 0, 1);
    params->addWidget(maxLabel, 1, 0);
    params->addWidget(maxSpinBox, 1, 1);
    params->addWidget(checkBox, 2, 0, 1, 2);

    okButton = button(dialog, "okButton", false);
    cancelButton = button(dialog, "cancelButton", true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* page = new QVBoxLayout(dialog);
    page->addLayout(top);
    page->addWidget(compositionBox, 1);
    page->addWidget(paramsBox);
    page->addLayout(buttons);
}

QString DlgNewGroupUI::RootName()
{
    return QStringLiteral("My Tovra Music");
}

DlgNewGroupUI::DlgNewGroupUI(KCtrlFile* document, DlgNGMode mode, QWidget* parent)
    : QDialog(parent), ui(new Ui_Dialog), m_document(document), m_mode(mode), m_initParent(RootName())
{
    ui->setupUi(this);
    if (parent)
        AppServices::setFontParent(this, parent->font());
    setWindowTitle(tr("Création / Modification d'un groupe"));
    setWindowIcon(AppServices::pictureIcon(":/Img/SonaricIcon"));
    setWindowFlags(windowFlags() | Qt::Tool);
    ui->nameLabel->setText(tr("Nom du groupe"));
    ui->locationLabel->setText(tr("Emplacement"));
    ui->compositionBox->setTitle(tr("Composition du groupe"));
    ui->trackLabel->setText(tr("Pistes disponibles"));
    ui->groupLabel->setText(tr("Groupes disponibles"));
    ui->eltLabel->setText(tr("Eléments du nouveau groupe"));
    ui->addTrackButton->setText("-->");
    ui->addGrpButton->setText("-->");
    ui->removeEltButton->setText("<--");
    ui->paramsBox->setTitle(tr("Paramètres"));
    ui->minLabel->setText(tr("Nombre min d'éléments pouvant être écoutés simultanément"));
    ui->maxLabel->setText(tr("Nombre max d'éléments pouvant être écoutés simultanément"));
    ui->checkBox->setText(tr("Groupe toujours allumé"));
    ui->okButton->setText(tr("Ok"));
    ui->cancelButton->setText(tr("Annuler"));
    // Never smaller than 450 x 450, nor than what the texts in this language and font need.
    setMinimumSize(layout()->totalMinimumSize().expandedTo(QSize(450, 450)));
    resize(size().expandedTo(minimumSize()));

    for (QListView* list : {ui->trackList, ui->groupList, ui->eltList})
        list->setModel(new QStringListModel(list));
    KNameFit::fitCombo(ui->comboBox);
    connect(ui->eltList->model(), &QAbstractItemModel::rowsInserted, this,
            [this] { membersDropped(); });

    if (m_document) {
        addEltInList(m_document->getTrackNames(), ui->trackList);
        QStringList groups = m_document->getGroupNames();
        groups.sort();
        ui->comboBox->addItems(groups);
    }
    ui->comboBox->insertItem(0, RootName());
    ui->comboBox->setCurrentIndex(0);
    comBox_changed(RootName());
    ui->addTrackButton->setEnabled(listCount(ui->trackList) > 0);
    ui->addGrpButton->setEnabled(listCount(ui->groupList) > 0);

    connect(ui->cancelButton, &QPushButton::released, this, &DlgNewGroupUI::cancel_clicked);
    connect(ui->addTrackButton, &QPushButton::released, this, &DlgNewGroupUI::addTrack_clicked);
    connect(ui->addGrpButton, &QPushButton::released, this, &DlgNewGroupUI::addGroup_clicked);
    connect(ui->removeEltButton, &QPushButton::released, this, &DlgNewGroupUI::removeElt_clicked);
    connect(ui->nameLineEdit, &QLineEdit::textChanged, this, &DlgNewGroupUI::nameChanged);
    connect(ui->minSpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &DlgNewGroupUI::minSpinBox_changed);
    connect(ui->maxSpinBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &DlgNewGroupUI::maxSpinBox_changed);
    connect(ui->comboBox, &QComboBox::currentTextChanged, this, &DlgNewGroupUI::comBox_changed);
    connect(ui->checkBox, &QCheckBox::stateChanged, this, &DlgNewGroupUI::checkBox_slot);
    if (m_mode == Modify)
        connect(ui->okButton, &QPushButton::released, this, &DlgNewGroupUI::okModify_clicked);
    else
        connect(ui->okButton, &QPushButton::released, this, &DlgNewGroupUI::okCreate_clicked);
    activateWindow();
    ui->checkBox->hide();
}

DlgNewGroupUI::~DlgNewGroupUI()
{
    delete ui;
}

int DlgNewGroupUI::openCreateDlg(KCtrlFile* document, QWidget* parent, const QStringList& names)
{
    DlgNewGroupUI dialog(document, Create, parent);
    dialog.setModal(true);
    if (!names.isEmpty() && document && document->isGroup(names.first())) {
        const int at = dialog.ui->comboBox->findText(names.first(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (at >= 0)
            dialog.ui->comboBox->setCurrentIndex(at);
    } else {
        dialog.m_moving = true;
        addEltInList(names, dialog.ui->eltList);
        dialog.m_moving = false;
    }
    for (const QString& name : names)
        removeEltFromList({name}, document && document->isTrack(name) ? dialog.ui->trackList
                                                                        : dialog.ui->groupList);
    dialog.ui->addTrackButton->setEnabled(listCount(dialog.ui->trackList) > 0);
    dialog.ui->addGrpButton->setEnabled(listCount(dialog.ui->groupList) > 0);
    if (!names.isEmpty()) {
        for (QSpinBox* box : {dialog.ui->minSpinBox, dialog.ui->maxSpinBox}) {
            box->setMaximum(names.size());
            box->setEnabled(true);
        }
        dialog.ui->minSpinBox->setValue(0);
        dialog.ui->maxSpinBox->setValue(names.size());
        dialog.ui->removeEltButton->setEnabled(listCount(dialog.ui->eltList) > 0);
    }
    dialog.updateOk();
    return KPrompt::exec(&dialog);
}

// --- Filling for modify mode --------------------------------------------------------------------

void DlgNewGroupUI::setName(const QString& name)
{
    m_initName = name;
    ui->nameLineEdit->setText(name);
    removeEltFromList({name}, ui->groupList);
    // A group is placed neither in itself nor under one of its own groups.
    for (int i = ui->comboBox->count() - 1; i > 0; --i) {
        if (isOwnSubtree(ui->comboBox->itemText(i)))
            ui->comboBox->removeItem(i);
    }
    updateOk();
    if (m_document && m_document->isNotMute(name))
        ui->checkBox->setChecked(true);
}

void DlgNewGroupUI::setParent(const QString& parent)
{
    m_initParent = parent.isEmpty() ? RootName() : parent;
    const int at = ui->comboBox->findText(m_initParent, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        ui->comboBox->setCurrentIndex(at);
}

void DlgNewGroupUI::setEltInGrp(const QStringList& names)
{
    m_moving = true;
    addEltInList(names, ui->eltList);
    m_moving = false;
    removeEltFromList(names, ui->trackList);
    removeEltFromList(names, ui->groupList);
    m_initElts = names;
    membersChanged(names.size());
    ui->addTrackButton->setEnabled(listCount(ui->trackList) > 0);
    ui->addGrpButton->setEnabled(listCount(ui->groupList) > 0);
}

void DlgNewGroupUI::setMinMaxPlay(int min, int max)
{
    ui->minSpinBox->setValue(min);
    ui->maxSpinBox->setValue(max);
    m_initMin = min;
    m_initMax = max;
}

DlgNewGroupUI::Choice DlgNewGroupUI::chosen() const
{
    return {ui->nameLineEdit->text(),   ui->comboBox->currentText(), listNames(ui->eltList),
            ui->minSpinBox->value(),    ui->maxSpinBox->value(),     ui->checkBox->isChecked()};
}

// --- Ok and Cancel ------------------------------------------------------------------------------

void DlgNewGroupUI::okCreate_clicked()
{
    const Choice c = chosen();
    // Creation, placing and the always-on rule are one edit: a refusal of any step leaves no
    // half-made group behind.
    const bool created = m_document && m_document->checkedEdits(KCtrlFile::ActCreateGroup, [&] {
        return m_document->KObjFile::createGroupWithRemovingElements(c.name, c.members, c.min, c.max)
               && (c.location == RootName() || m_document->KObjFile::addEltInGroup(c.location, c.name))
               && (!c.alwaysOn || m_document->KObjFile::setEltNotMute(c.name, true));
    });
    // A refusal keeps the dialog open with what was typed and chosen, so that the author can
    // mend the choice (the document has already said why).
    if (!created) {
        setResult(0);
        return;
    }
    accept();
}

void DlgNewGroupUI::okModify_clicked()
{
    const Choice c = chosen();
    bool alwaysOnRefused = false;
    QStringList sortedInit = m_initElts;
    sortedInit.sort();
    // Every step under one checkpoint and one rule check: a failure anywhere restores the group
    // as it was, and the rename comes last.
    const bool done = m_document && m_document->checkedEdits(KCtrlFile::ActModifyGroup, [&] {
        KObjFile* file = m_document;
        bool success = true;
        if (c.min != m_initMin || c.max != m_initMax)
            success = file->setGroupMinMaxPlay(m_initName, c.min, c.max);
        if (success && c.location != m_initParent) {
            // The top of the tree is no group to leave.
            if (m_initParent != RootName())
                success = file->removeEltFromGroup(m_initParent, m_initName);
            if (success && c.location != RootName())
                success = file->addEltInGroup(c.location, m_initName);
        }
        if (success && c.members != sortedInit) {
            for (const QString& member : m_initElts) {
                if (!c.members.contains(member)
                    && !file->removeEltFromGroup(file->getParent(member), member))
                    success = false;
            }
            for (const QString& member : c.members) {
                if (m_initElts.contains(member))
                    continue;
                const QString parent = file->getParent(member);
                if (!parent.isEmpty() && !file->removeEltFromGroup(parent, member))
                    success = false;
                if (!file->addEltInGroup(m_initName, member))
                    success = false;
            }
        }
        if (!success)
            return false;
        if (c.alwaysOn != file->isNotMute(m_initName) && !file->setEltNotMute(m_initName, c.alwaysOn)) {
            alwaysOnRefused = true;
            return false;
        }
        return c.name == m_initName || file->renameElt(m_initName, c.name);
    });
    if (!done && alwaysOnRefused) {
        cancel_clicked();
        return;
    }
    if (!done) {
        KPrompt::critical(this, tr("Création / Modification d'un groupe"),
                          tr("Erreur durant la modification du groupe !"), QMessageBox::Ok);
        setResult(0);
    } else {
        setResult(1);
    }
    hide();
}

void DlgNewGroupUI::cancel_clicked()
{
    reject();
}

// --- Members ------------------------------------------------------------------------------------

void DlgNewGroupUI::addTrack_clicked()
{
    moveToMembers(ui->trackList, ui->addTrackButton);
}

void DlgNewGroupUI::addGroup_clicked()
{
    moveToMembers(ui->groupList, ui->addGrpButton);
}

void DlgNewGroupUI::moveToMembers(QListView* from, QPushButton* addButton)
{
    const QStringList names = getListFormIndexes(from->selectionModel()->selectedRows(), from);
    if (names.isEmpty())
        return;
    removeEltFromList(names, from);
    m_moving = true;
    addEltInList(names, ui->eltList);
    m_moving = false;
    membersChanged(names.size());
    addButton->setEnabled(listCount(from) > 0);
}

void DlgNewGroupUI::removeElt_clicked()
{
    const QStringList names =
        getListFormIndexes(ui->eltList->selectionModel()->selectedRows(), ui->eltList);
    if (names.isEmpty())
        return;
    removeEltFromList(names, ui->eltList);
    for (const QString& name : names)
        addEltInList({name}, m_candidateGroups.contains(name) ? ui->groupList : ui->trackList);
    membersChanged(0);
    ui->addTrackButton->setEnabled(listCount(ui->trackList) > 0);
    ui->addGrpButton->setEnabled(listCount(ui->groupList) > 0);
}

void DlgNewGroupUI::membersChanged(int added)
{
    const int count = listCount(ui->eltList);
    m_shownMembers = count;
    ui->minSpinBox->setMaximum(count);
    ui->maxSpinBox->setMaximum(count);
    ui->maxSpinBox->setValue(ui->maxSpinBox->value() + added);
    const bool any = count > 0;
    ui->removeEltButton->setEnabled(any);
    ui->minSpinBox->setEnabled(any);
    ui->maxSpinBox->setEnabled(any);
    updateOk();
}

void DlgNewGroupUI::membersDropped()
{
    if (m_moving)
        return;
    // Read once the view has finished its drop (the rows are filled after their insertion).
    QMetaObject::invokeMethod(
        this,
        [this] {
            QStringList members = listNames(ui->eltList);
            members.removeDuplicates();
            members.removeAll(QString());
            // A drag that moves its rows has already taken them out of the available list: the
            // newcomers are counted against the members shown before the drop.
            const int added = std::max(0, int(members.size()) - m_shownMembers);
            clearList(ui->eltList);
            m_moving = true;
            addEltInList(members, ui->eltList);
            m_moving = false;
            removeEltFromList(members, ui->trackList);
            removeEltFromList(members, ui->groupList);
            membersChanged(added);
            ui->addTrackButton->setEnabled(listCount(ui->trackList) > 0);
            ui->addGrpButton->setEnabled(listCount(ui->groupList) > 0);
        },
        Qt::QueuedConnection);
}

// --- Name, location, counts ---------------------------------------------------------------------

bool DlgNewGroupUI::nameIsValid() const
{
    const QString text = ui->nameLineEdit->text();
    // A name of blanks only would show as an empty row.
    if (text.trimmed().isEmpty())
        return false;
    if (text == m_initName)
        return true;
    // The location list's root name and the document's reserved names and separator would be
    // read as something else than this group.
    if (text == RootName() || text.startsWith("__") || text.startsWith(KObjFile::DefaultCsttName)
        || text.contains('|'))
        return false;
    return m_document && !m_document->isElement(text);
}

void DlgNewGroupUI::updateOk()
{
    ui->okButton->setEnabled(nameIsValid());
}

void DlgNewGroupUI::nameChanged(const QString&)
{
    updateOk();
}

void DlgNewGroupUI::comBox_changed(const QString& location)
{
    clearList(ui->groupList);
    m_candidateGroups.clear();
    if (m_document) {
        for (const QString& name : m_document->getElementNames()) {
            if (name != location && !m_document->isParent(name, location) && m_document->isGroup(name)
                && !(m_mode == Modify && !m_initName.isEmpty()
                     && (name == m_initName || m_document->isParent(name, m_initName))))
                m_candidateGroups << name;
        }
    }
    addEltInList(m_candidateGroups, ui->groupList);
    ui->addGrpButton->setEnabled(listCount(ui->groupList) > 0);
    updateOk();
}

void DlgNewGroupUI::minSpinBox_changed(int value)
{
    if (value > ui->maxSpinBox->value())
        ui->maxSpinBox->setValue(value);
    ui->checkBox->setChecked(value > 0);
    updateOk();
}

void DlgNewGroupUI::maxSpinBox_changed(int value)
{
    if (value < ui->minSpinBox->value())
        ui->minSpinBox->setValue(value);
    updateOk();
}

void DlgNewGroupUI::checkBox_slot(int state)
{
    if (state == Qt::Unchecked)
        ui->minSpinBox->setValue(0);
    else if (ui->minSpinBox->value() == 0)
        ui->minSpinBox->setValue(1);
}

bool DlgNewGroupUI::isOwnSubtree(const QString& location) const
{
    return location == m_initName || (m_document && m_document->isParent(m_initName, location));
}

// --- The three lists ----------------------------------------------------------------------------

void DlgNewGroupUI::addEltInList(const QStringList& names, QListView* list)
{
    auto* model = static_cast<QStringListModel*>(list->model());
    QStringList all = model->stringList() + names;
    all.sort();
    model->setStringList(all);
}

void DlgNewGroupUI::removeEltFromList(const QStringList& names, QListView* list)
{
    auto* model = static_cast<QStringListModel*>(list->model());
    QStringList all = model->stringList();
    for (const QString& name : names)
        all.removeAll(name);
    if (all.size() != model->rowCount())
        model->setStringList(all);
}

void DlgNewGroupUI::clearList(QListView* list)
{
    static_cast<QStringListModel*>(list->model())->setStringList({});
}

int DlgNewGroupUI::listCount(QListView* list)
{
    return list->model()->rowCount();
}

QStringList DlgNewGroupUI::listNames(QListView* list)
{
    return static_cast<QStringListModel*>(list->model())->stringList();
}

QStringList DlgNewGroupUI::getListFormIndexes(const QModelIndexList& indexes, QListView* list)
{
    QStringList names;
    for (const QModelIndex& index : indexes)
        names << list->model()->index(index.row(), 0).data().toString();
    return names;
}
