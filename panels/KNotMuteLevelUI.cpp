#include "KNotMuteLevelUI.h"
#include "KLevelSpinBox.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

KNotMuteLevelUI::KNotMuteLevelUI(QWidget* parent) : QWidget(parent)
{
    setObjectName("KNotMuteLevelUIClass");
    auto* grid = new QGridLayout(this);
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);
    radioButton1 = new QRadioButton(this);
    radioButton1->setObjectName("radioButton1");
    radioButton2 = new QRadioButton(this);
    radioButton2->setObjectName("radioButton2");
    radioButton3 = new QRadioButton(this);
    radioButton3->setObjectName("radioButton3");
    spinBox1 = new KLevelSpinBox(this);
    spinBox1->setObjectName("spinBox1");
    spinBox1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    grid->addWidget(radioButton1, 0, 0);
    grid->addWidget(radioButton3, 1, 0);
    grid->addWidget(spinBox1, 1, 1);
    grid->addWidget(radioButton2, 2, 0);
    grid->setColumnStretch(2, 1);

    group = new QButtonGroup(this);
    group->setExclusive(true);
    group->addButton(radioButton1, 1);
    group->addButton(radioButton2, 2);
    group->addButton(radioButton3, 3);
    connect(group, &QButtonGroup::idClicked, this, &KNotMuteLevelUI::buttonClicked_slot);

    radioButton1->setText(tr("Me demander quoi faire"));
    radioButton2->setText(tr("Ne pas définir de volume minimum"));
    radioButton3->setText(tr("Volume minimum de la piste"));
    radioButton1->setChecked(true);
    spinBox1->setEnabled(false);
}

int KNotMuteLevelUI::getNotMuteLevelMode() const
{
    if (radioButton1->isChecked())
        return SonaricEnums::NotMuteAsk;
    return radioButton2->isChecked() ? SonaricEnums::NotMuteNoMinLevel : SonaricEnums::NotMuteMinLevel;
}

void KNotMuteLevelUI::setNotMuteLevelMode(SonaricEnums::ENotMuteLevel mode)
{
    // isHidden, not isVisible: a panel not shown yet still offers the ask choice.
    if (mode == SonaricEnums::NotMuteAsk && !radioButton1->isHidden())
        radioButton1->setChecked(true);
    else if (mode == SonaricEnums::NotMuteNoMinLevel)
        radioButton2->setChecked(true);
    else
        radioButton3->setChecked(true);
    buttonClicked_slot(group->checkedId());
}

void KNotMuteLevelUI::setMinLevel(int level)
{
    spinBox1->setValue(level);
}

int KNotMuteLevelUI::getMinLevelCB() const
{
    return spinBox1->value();
}

void KNotMuteLevelUI::setVisibleAlwaysAsk(bool visible)
{
    if (!visible && radioButton1->isChecked())
        setNotMuteLevelMode(SonaricEnums::NotMuteMinLevel);
    radioButton1->setVisible(visible);
}

void KNotMuteLevelUI::buttonClicked_slot(int id)
{
    spinBox1->setEnabled(id == 3);
}
