#include "GroupPropUI.h"

#include "AppServices.h"
#include "PanelGrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

GroupPropUI::GroupPropUI(QWidget* parent) : QWidget(parent)
{
    setObjectName("GroupPropUI");
    QGridLayout* grid = PanelGrid::create(this);
    nameLE = new QLineEdit(this);
    nameLE->setObjectName("nameLE");
    PanelGrid::addRow(grid, "nameLabel", tr("Nom"), nameLE);
    eltNbLabel = new QLabel(this);
    eltNbLabel->setObjectName("eltNbLabel");
    PanelGrid::addRow(grid, "eltNbCaption", tr("Nombre d'éléments"), eltNbLabel);
    minSP = new QSpinBox(this);
    minSP->setObjectName("minSP");
    PanelGrid::addRow(grid, "minLabel", tr("Min"), minSP);
    maxSP = new QSpinBox(this);
    maxSP->setObjectName("maxSP");
    PanelGrid::addRow(grid, "maxLabel", tr("Max"), maxSP);
    notMuteCB = new QCheckBox(tr("Groupe toujours allumé"), this);
    notMuteCB->setObjectName("notMuteCB");
    grid->addWidget(notMuteCB, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    if (parent)
        AppServices::setFontParent(this, parent->font());

    reset();
    connect(nameLE, &QLineEdit::editingFinished, this, &GroupPropUI::nameEdited);
    connect(minSP, &QSpinBox::editingFinished, this, &GroupPropUI::minEdited);
    connect(maxSP, &QSpinBox::editingFinished, this, &GroupPropUI::maxEdited);
    connect(notMuteCB, &QCheckBox::toggled, this, [this](bool on) { emit grpCheckBoxChanged(m_name, on); });
}

QString GroupPropUI::getName() const
{
    return nameLE->text();
}

int GroupPropUI::getMinPlay() const
{
    return minSP->value();
}

int GroupPropUI::getMaxPlay() const
{
    return maxSP->value();
}

void GroupPropUI::reset()
{
    m_name.clear();
    nameLE->clear();
    setElementsNbr(0);
    setMinMaxPlay(0, 0);
    notMuteCB->setChecked(false);
}

void GroupPropUI::setName(const QString& name)
{
    m_name = name;
    nameLE->setText(name);
}

void GroupPropUI::setMinMaxPlay(int min, int max)
{
    minSP->setValue(min);
    maxSP->setValue(max);
}

void GroupPropUI::setCheckNotMute(bool on)
{
    notMuteCB->setChecked(on);
}

void GroupPropUI::setElementsNbr(int n)
{
    eltNbLabel->setText(QString::number(n));
    minSP->setRange(0, n);
    maxSP->setRange(0, n);
}

// Leaving the field without a change renames nothing: the document would refuse the name as
// already taken.
void GroupPropUI::nameEdited()
{
    const QString newName = nameLE->text();
    if (newName == m_name)
        return;
    const QString oldName = m_name;
    emit nameChanged(oldName, newName);
    m_name = newName;
}

void GroupPropUI::minEdited()
{
    if (minSP->value() > maxSP->value())
        maxSP->setValue(minSP->value());
    emit minMaxPlayChanged(minSP->value(), maxSP->value());
}

void GroupPropUI::maxEdited()
{
    if (maxSP->value() < minSP->value())
        minSP->setValue(maxSP->value());
    emit minMaxPlayChanged(minSP->value(), maxSP->value());
}
