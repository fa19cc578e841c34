#include "DlgSingleInputUI.h"

#include "KitFonts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DlgSingleInputUI::DlgSingleInputUI(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::Tool),
      m_label(new QLabel(this)),
      m_lineEdit(new QLineEdit(this)),
      m_checkBox(new QCheckBox(this)),
      m_okButton(new QPushButton(this)),
      m_cancelButton(new QPushButton(this))
{
    setObjectName("DlgSingleInputUI");
    m_label->setObjectName("label");
    m_lineEdit->setObjectName("lineEdit");
    m_checkBox->setObjectName("checkBox");
    m_okButton->setObjectName("okButton");
    m_cancelButton->setObjectName("cancelButton");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_lineEdit);
    layout->addWidget(m_checkBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    // The label, field, check box and buttons keep the height they need at any font: the
    // layout sets the least height, the dialog does not grow taller than that.
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    resize(300, 100);
    setMinimumWidth(200);

    QFont form = font();
    form.setPointSize(9);
    setFont(form);
    if (parent)
        passParentFont(this, parent);
    m_okButton->setText(tr("Ok"));
    m_cancelButton->setText(tr("Annuler"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::released, this, &DlgSingleInputUI::okAction);
    connect(m_cancelButton, &QPushButton::released, this, &DlgSingleInputUI::cancelAction);
}

void DlgSingleInputUI::setTitle(const QString& text)
{
    setWindowTitle(text);
}

void DlgSingleInputUI::setLabel(const QString& text)
{
    m_label->setText(text);
}

void DlgSingleInputUI::setLabelCheckBox(const QString& text)
{
    m_checkBox->setText(text);
}

void DlgSingleInputUI::setLabelButton1(const QString& text)
{
    m_okButton->setText(text);
}

void DlgSingleInputUI::setLabelButton2(const QString& text)
{
    m_cancelButton->setText(text);
}

void DlgSingleInputUI::setText(const QString& text)
{
    m_lineEdit->setText(text);
    m_rememberedText = text;
}

void DlgSingleInputUI::setChecked(bool checked)
{
    m_checkBox->setChecked(checked);
    m_rememberedChecked = checked;
}

void DlgSingleInputUI::setEnabledCheckBox(bool enabled)
{
    m_checkBox->setVisible(enabled);
    m_checkBox->setChecked(false);
}

QString DlgSingleInputUI::getText() const
{
    return m_lineEdit->text();
}

bool DlgSingleInputUI::isChecked() const
{
    return m_checkBox->isChecked();
}

void DlgSingleInputUI::okAction()
{
    done(QDialog::Accepted);
}

void DlgSingleInputUI::cancelAction()
{
    m_lineEdit->setText(m_rememberedText);
    m_checkBox->setChecked(m_rememberedChecked);
    done(QDialog::Rejected);
}
