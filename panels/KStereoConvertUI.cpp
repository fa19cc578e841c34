#include "KStereoConvertUI.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

KStereoConvertUI::KStereoConvertUI(QWidget* parent) : QWidget(parent)
{
    setObjectName("KStereoConvertUIClass");
    auto* outer = new QVBoxLayout(this);
    label1 = new QLabel(this);
    label1->setObjectName("label1");
    outer->addWidget(label1);

    auto* choices = new QWidget(this);
    choices->setObjectName("widget");
    auto* column = new QVBoxLayout(choices);
    const auto radio = [choices](const char* name) {
        auto* button = new QRadioButton(choices);
        button->setObjectName(name);
        return button;
    };
    radioButton4 = radio("radioButton4");
    radioButton2 = radio("radioButton2");
    auto* row = new QWidget(choices);
    row->setObjectName("widget_2");
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(20, 0, 0, 0);
    label2 = new QLabel(row);
    label2->setObjectName("label2");
    label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lineEdit = new QLineEdit(row);
    lineEdit->setObjectName("lineEdit");
    lineEdit->setFixedWidth(50);
    label3 = new QLabel(row);
    label3->setObjectName("label3");
    rowLayout->addWidget(label2);
    rowLayout->addWidget(lineEdit);
    rowLayout->addWidget(label3);
    rowLayout->addStretch();
    radioButton3 = radio("radioButton3");
    radioButton1 = radio("radioButton1");
    for (QWidget* widget : {static_cast<QWidget*>(radioButton4), static_cast<QWidget*>(radioButton2), row,
                            static_cast<QWidget*>(radioButton3), static_cast<QWidget*>(radioButton1)})
        column->addWidget(widget);
    outer->addWidget(choices);

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int choice = 1; choice <= 4; ++choice)
        group->addButton(button(choice), choice);
    connect(group, &QButtonGroup::idClicked, this, &KStereoConvertUI::buttonClicked_slot);
    setChoose(1);
}

QRadioButton* KStereoConvertUI::button(int choice) const
{
    switch (choice) {
    case 1:
        return radioButton1;
    case 2:
        return radioButton2;
    case 3:
        return radioButton3;
    default:
        return radioButton4;
    }
}

void KStereoConvertUI::setText(int choice, const QString& text)
{
    QRadioButton* target = button(choice);
    target->setText(text);
    target->setVisible(!text.isEmpty());
}

void KStereoConvertUI::setFirstLabel(const QString& text)
{
    label1->setText(text);
}

void KStereoConvertUI::setLabels(const QString& before, const QString& after)
{
    label2->setText(before);
    label3->setText(after);
}

void KStereoConvertUI::setLineEditText(const QString& text)
{
    lineEdit->setText(text);
}

QString KStereoConvertUI::getLineEditText() const
{
    return lineEdit->text();
}

int KStereoConvertUI::getChoose() const
{
    for (int choice = 1; choice <= 3; ++choice)
        if (button(choice)->isChecked())
            return choice;
    return 4;
}

void KStereoConvertUI::setChoose(int choice)
{
    button(choice)->setChecked(true);
    buttonClicked_slot(choice);
}

void KStereoConvertUI::buttonClicked_slot(int id)
{
    for (QWidget* widget : {static_cast<QWidget*>(label2), static_cast<QWidget*>(lineEdit),
                            static_cast<QWidget*>(label3)})
        widget->setEnabled(id == 2);
}
