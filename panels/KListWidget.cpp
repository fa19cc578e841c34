#include "KListWidget.h"

#include "AppServices.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {
// Each row keeps its mix name and its default flag apart from the text it shows, so that a
// name that happens to end with the marker is never mistaken for the default mix.
const int NameRole = Qt::UserRole;
const int DefaultRole = Qt::UserRole + 1;
} // namespace

KListWidget::KListWidget(QWidget* parent) : QListWidget(parent), marker(tr(" (Tovix par defaut)"))
{
    setSortingEnabled(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void KListWidget::setRow(QListWidgetItem* item, const QString& name, bool isDefault)
{
    item->setData(NameRole, name);
    item->setData(DefaultRole, isDefault);
    item->setText(isDefault ? name + marker : name);
}

bool KListWidget::isDefaultRow(QListWidgetItem* item) const
{
    return item && item->data(DefaultRole).toBool();
}

void KListWidget::setBold(QListWidgetItem* item, bool bold)
{
    QFont font = item->font();
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    item->setFont(font);
}

void KListWidget::addMixes(const QStringList& names)
{
    for (const QString& name : names) {
        auto* item = new QListWidgetItem;
        setRow(item, name, false);
        addItem(item);
    }
}

QString KListWidget::getItemText(QListWidgetItem* item) const
{
    return item ? item->data(NameRole).toString() : QString();
}

void KListWidget::setItemText(QListWidgetItem* item, const QString& name)
{
    if (item)
        setRow(item, name, isDefaultRow(item));
}

QListWidgetItem* KListWidget::getItem(const QString& name) const
{
    QList<QListWidgetItem*> byName;
    QList<QListWidgetItem*> byText;
    for (int row = 0; row < count(); ++row) {
        QListWidgetItem* entry = item(row);
        if (getItemText(entry) == name)
            byName << entry;
        else if (entry->text() == name)
            byText << entry;
    }
    if (!byName.isEmpty())
        return byName.size() == 1 ? byName.first() : nullptr;
    return byText.size() == 1 ? byText.first() : nullptr;
}

QString KListWidget::getDefaultMix() const
{
    QString found;
    int defaults = 0;
    for (int row = 0; row < count(); ++row)
        if (isDefaultRow(item(row))) {
            found = getItemText(item(row));
            ++defaults;
        }
    return defaults == 1 ? found : QString();
}

void KListWidget::removeMix(const QString& name)
{
    QListWidgetItem* entry = getItem(name);
    if (!entry)
        return;
    // A removed mix is no longer the current one: nothing may save into it again.
    if (getItemText(entry) == currentMix)
        currentMix.clear();
    delete takeItem(row(entry));
}

void KListWidget::renameMix(const QString& oldName, const QString& newName)
{
    QListWidgetItem* entry = getItem(oldName);
    if (!entry)
        return;
    const bool wasCurrent = getItemText(entry) == currentMix;
    setItemText(entry, newName);
    if (wasCurrent)
        currentMix = newName;
}

void KListWidget::setAsDefault(const QString& name)
{
    QListWidgetItem* entry = getItem(name);
    if (!entry || isDefaultRow(entry))
        return;
    for (int row = 0; row < count(); ++row)
        if (isDefaultRow(item(row)))
            setRow(item(row), getItemText(item(row)), false);
    setRow(entry, getItemText(entry), true);
}

void KListWidget::setAsCurrentMix(const QString& name)
{
    if (QListWidgetItem* current = getItem(currentMix))
        setBold(current, false);
    QListWidgetItem* entry = name.isEmpty() ? nullptr : getItem(name);
    if (!entry) {
        emit itemSelected(QString());
        return;
    }
    currentMix = getItemText(entry);
    setBold(entry, true);
    emit itemSelected(currentMix);
}

void KListWidget::reset()
{
    // Clearing resets the model, which calls this view's reset again: that call is the view's.
    if (clearing) {
        QListWidget::reset();
        return;
    }
    clearing = true;
    clear();
    clearing = false;
    currentMix.clear();
    menuTarget.clear();
}

void KListWidget::takeTarget(void (KListWidget::*request)(const QString&))
{
    if (menuTarget.isEmpty())
        return;
    const QString target = menuTarget;
    menuTarget.clear();
    (this->*request)(target);
}

void KListWidget::createActionTriggered()
{
    takeTarget(&KListWidget::setAsCurrentMix);
}

void KListWidget::selectActionTriggered()
{
    emit itemCreated();
}

void KListWidget::deleteActionTriggered()
{
    takeTarget(&KListWidget::itemDeleted);
}

void KListWidget::setAsDefActionTriggered()
{
    takeTarget(&KListWidget::itemSetAsDefault);
}

void KListWidget::modifyActionTriggered()
{
    takeTarget(&KListWidget::itemModified);
}

void KListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    const QPoint global = event->globalPosition().toPoint();
    QListWidgetItem* entry = itemAt(event->position().toPoint());
    if (!entry) {
        delete emptyMenu;
        emptyMenu = new QMenu(this);
        emptyMenu->setObjectName("emptyMenu");
        emptyMenu->addAction(AppServices::pictureIcon(":/Img/AddAudio"), tr("Créer un Tovix"), this,
                             &KListWidget::selectActionTriggered);
        emptyMenu->popup(global);
        return;
    }
    menuTarget = getItemText(entry);
    const QString quoted = " \"" + menuTarget + '"';
    delete rowMenu;
    rowMenu = new QMenu(this);
    rowMenu->setObjectName("rowMenu");
    rowMenu->addAction(tr("Sélectionner") + quoted, this, &KListWidget::createActionTriggered);
    rowMenu->addAction(tr("Modifier ") + quoted, this, &KListWidget::modifyActionTriggered);
    rowMenu->addAction(tr("Définir ") + quoted + ' ' + tr("par défaut"), this,
                       &KListWidget::setAsDefActionTriggered);
    rowMenu->addAction(tr("Effacer") + quoted, this, &KListWidget::deleteActionTriggered);
    rowMenu->popup(global);
}

void KListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    setAsCurrentMix(getItemText(itemAt(event->position().toPoint())));
}

void KListWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit itemCreated();
        break;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        // The request names the selected mix.
        if (!selectedItems().isEmpty())
            emit itemDeleted(getItemText(selectedItems().first()));
        return;
    default:
        break;
    }
    QListWidget::keyPressEvent(event);
}
