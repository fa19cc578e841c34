#include "MixPropUI.h"

#include "AppServices.h"
#include "PanelGrid.h"
#include "KCtrlFile.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

MixPropUI::MixPropUI(KCtrlFile* document, QWidget* parent) : QWidget(parent)
{
    setObjectName("MixPropUI");
    QGridLayout* grid = PanelGrid::create(this);
    defMixComboBox = new QComboBox(this);
    defMixComboBox->setObjectName("defMixComboBox");
    defMixComboBox->setEditable(false);
    PanelGrid::addRow(grid, "defMixLabel", tr("Tovix par défaut"), defMixComboBox);
    curMixLineEdit = new QLineEdit(this);
    curMixLineEdit->setObjectName("curMixLineEdit");
    curMixLineEdit->setAlignment(Qt::AlignRight);
    curMixLineEdit->setReadOnly(true);
    PanelGrid::addRow(grid, "curMixLabel", tr("Tovix courant"), curMixLineEdit);
    mixNbLabel = new QLabel(this);
    mixNbLabel->setObjectName("mixNbLabel");
    PanelGrid::addRow(grid, "mixNbCaption", tr("Nombre d'Tovix : "), mixNbLabel);
    grid->setRowStretch(grid->rowCount(), 1);
    if (parent)
        AppServices::setFontParent(this, parent->font());

    connect(defMixComboBox, &QComboBox::activated, this, &MixPropUI::defaultChosen);
    connect(curMixLineEdit, &QLineEdit::editingFinished, this, &MixPropUI::currentEdited);
    setKFile(document);
}

void MixPropUI::setKFile(KCtrlFile* document)
{
    if (m_document)
        disconnect(m_document, nullptr, this, nullptr);
    m_document = document;
    {
        const QSignalBlocker blocker(defMixComboBox);
        defMixComboBox->clear();
        if (document) {
            defMixComboBox->addItems(document->getMixNames());
            defMixComboBox->setCurrentIndex(defMixComboBox->findText(document->getDefaultMixName()));
        }
    }
    setCurrentMix(QString());
    showCount();
    if (!document)
        return;
    connect(document, &KCtrlFile::mixRemoved, this, &MixPropUI::removeMix);
    connect(document, &KCtrlFile::newDefaultMix, this, &MixPropUI::defaultChanged);
    connect(document, &KCtrlFile::renamedMix, this, &MixPropUI::mixRenamed);
}

QStringList MixPropUI::getMixes() const
{
    QStringList names;
    for (int i = 0; i < defMixComboBox->count(); ++i)
        names << defMixComboBox->itemText(i);
    return names;
}

QString MixPropUI::getDefaultMix() const
{
    return defMixComboBox->currentText();
}

QString MixPropUI::getCurrentMix() const
{
    return m_current;
}

void MixPropUI::addMix(const QString& name, bool setCurrent, bool setDefault)
{
    if (name.isEmpty())
        return;
    if (defMixComboBox->findText(name) < 0) {
        const QSignalBlocker blocker(defMixComboBox);
        defMixComboBox->addItem(name);
        showCount();
    }
    if (setCurrent)
        setCurrentMix(name);
    if (setDefault)
        defaultChanged(name);
}

void MixPropUI::setCurrentMix(const QString& name)
{
    const bool listed = !name.isEmpty() && defMixComboBox->findText(name) >= 0;
    m_current = listed ? name : QString();
    curMixLineEdit->setText(m_current);
    curMixLineEdit->setReadOnly(!listed);
}

void MixPropUI::currentMixChanged(const QString& name)
{
    setCurrentMix(name);
}

void MixPropUI::currentMixChanged(const QStringList&)
{
    setCurrentMix(QString());
}

void MixPropUI::removeMix(const QString& name)
{
    const int index = defMixComboBox->findText(name);
    if (index < 0)
        return;
    if (name == m_current)
        setCurrentMix(QString());
    if (index == defMixComboBox->currentIndex() && m_document) {
        const int count = defMixComboBox->count();
        m_document->setMixAsDefault(count > 1 ? defMixComboBox->itemText((index + 1) % count) : QString());
    }
    const QSignalBlocker blocker(defMixComboBox);
    defMixComboBox->removeItem(index);
    showCount();
}

void MixPropUI::defaultChosen(int index)
{
    if (m_document && index >= 0)
        m_document->setMixAsDefault(defMixComboBox->itemText(index));
}

void MixPropUI::defaultChanged(const QString& name)
{
    const int index = defMixComboBox->findText(name);
    if (index < 0)
        return;
    const QSignalBlocker blocker(defMixComboBox);
    defMixComboBox->setCurrentIndex(index);
}

void MixPropUI::mixRenamed(const QString& oldName, const QString& newName)
{
    const int index = defMixComboBox->findText(oldName);
    if (index >= 0)
        defMixComboBox->setItemText(index, newName);
    if (oldName == m_current)
        setCurrentMix(newName);
}

// A refused name (empty, taken, or no document to ask) puts the old name back.
void MixPropUI::currentEdited()
{
    const QString newName = curMixLineEdit->text();
    if (m_current.isEmpty() || newName == m_current)
        return;
    if (newName.isEmpty() || !m_document || !m_document->renameMix(m_current, newName))
        curMixLineEdit->setText(m_current);
}

void MixPropUI::showCount()
{
    mixNbLabel->setText(QString::number(defMixComboBox->count()));
}
