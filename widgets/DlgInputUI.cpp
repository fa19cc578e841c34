#include "DlgInputUI.h"

#include "AppServices.h"
#include "KPrompt.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

DlgInputUI::DlgInputUI(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::Tool),
      m_grid(new QGridLayout(this)),
      m_label1(new QLabel("label1", this)),
      m_label2(new QLabel("label2", this)),
      m_lineEdit1(new QLineEdit(this)),
      m_lineEdit2(new QLineEdit(this)),
      m_toolButton(new QToolButton(this)),
      m_okButton(new QPushButton("okButton_4", this)),
      m_cancelButton(new QPushButton("cancelButton_4", this))
{
    setObjectName("DlgInputUI");
    setWindowTitle("Input Dialog");
    m_label1->setObjectName("label1");
    m_label2->setObjectName("label2");
    m_lineEdit1->setObjectName("lineEdit1");
    m_lineEdit2->setObjectName("lineEdit2");
    m_toolButton->setObjectName("toolButton");
    m_okButton->setObjectName("okButton_4");
    m_cancelButton->setObjectName("cancelButton_4");

    m_grid->addWidget(m_label1, 0, 0);
    m_grid->addWidget(m_lineEdit1, 0, 1);
    m_grid->addWidget(m_toolButton, 0, 2);
    m_grid->addWidget(m_label2, 1, 0);
    m_grid->addWidget(m_lineEdit2, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    m_grid->addLayout(buttons, 2, 0, 1, 3);
    resize(300, 110);
    setMinimumSize(300, 110);
    setMaximumHeight(110);

    m_okButton->setText(tr("Ok"));
    m_cancelButton->setText(tr("Annuler"));
    m_okButton->setDefault(true);
    m_lineEdit1->setReadOnly(true);
    m_toolButton->setIcon(AppServices::pictureIcon(":/Img/Folder"));
    connect(m_toolButton, &QToolButton::released, this, &DlgInputUI::toolAction);
    connect(m_cancelButton, &QPushButton::released, this, &DlgInputUI::cancelAction);
    connect(m_okButton, &QPushButton::released, this, &DlgInputUI::okAction);
}

void DlgInputUI::setLabels(const QString& label1, const QString& label2)
{
    m_label1->setText(label1);
    m_label2->setText(label2);
}

void DlgInputUI::setLabel(int n, const QString& text)
{
    (n == 1 ? m_label1 : m_label2)->setText(text);
}

void DlgInputUI::setTexts(const QString& text1, const QString& text2)
{
    m_lineEdit1->setText(text1);
    m_lineEdit2->setText(text2);
}

QString DlgInputUI::getText(int n) const
{
    return (n == 1 ? m_lineEdit1 : m_lineEdit2)->text();
}

QStringList DlgInputUI::getTexts() const
{
    return {m_lineEdit1->text(), m_lineEdit2->text()};
}

void DlgInputUI::setOkButtonText(const QString& text)
{
    m_okButton->setText(text);
}

void DlgInputUI::setCancelButtonText(const QString& text)
{
    m_cancelButton->setText(text);
}

void DlgInputUI::setToolButtonText(const QString& text)
{
    m_toolButton->setText(text);
}

void DlgInputUI::setToolButtonIcon(const QIcon& icon)
{
    m_toolButton->setIcon(icon);
}

void DlgInputUI::setToolButtonUnVisible()
{
    m_toolButton->hide();
    m_grid->removeWidget(m_lineEdit1);
    m_grid->addWidget(m_lineEdit1, 0, 1, 1, 2);
    m_lineEdit1->setReadOnly(false);
}

void DlgInputUI::setValuesChecker(ValuesChecker checker)
{
    m_checker = checker;
    connect(m_lineEdit2, &QLineEdit::textChanged, this, &DlgInputUI::textChanged,
            Qt::UniqueConnection);
    textChanged(m_lineEdit2->text());
}

void DlgInputUI::okAction()
{
    // Enter can reach the default button while the checker refuses the text.
    if (!m_okButton->isEnabled())
        return;
    done(QDialog::Accepted);
}

void DlgInputUI::cancelAction()
{
    m_lineEdit1->clear();
    m_lineEdit2->clear();
    done(QDialog::Rejected);
}

void DlgInputUI::textChanged(const QString& text)
{
    if (m_checker)
        m_okButton->setEnabled(m_checker(text));
}

void DlgInputUI::toolAction()
{
    const QString chosen =
        KPrompt::getOpenFileName(this, tr("Import Audio File"), m_lineEdit1->text(),
                                 "Audio files (*.wav *.wave)", nullptr,
                                 QFileDialog::DontConfirmOverwrite);
    if (!chosen.isEmpty())
        m_lineEdit1->setText(chosen);
}

QStringList DlgInputUI::run(DlgInputUI& dialog, const QString& label1, const QString& label2,
                            QString* text1, QString* text2)
{
    dialog.setLabels(label1, label2);
    if (text1 && text2)
        dialog.setTexts(*text1, *text2);
    dialog.setModal(true);
    return KPrompt::exec(&dialog) == QDialog::Accepted ? dialog.getTexts() : QStringList();
}

QStringList DlgInputUI::openInputDialog(const QString& label1, const QString& label2,
                                        QString* text1, QString* text2, QWidget* parent)
{
    DlgInputUI dialog(parent);
    dialog.setToolButtonUnVisible();
    return run(dialog, label1, label2, text1, text2);
}

QStringList DlgInputUI::openFileDialog(const QString& label1, const QString& label2,
                                       QString* text1, QString* text2, QWidget* parent)
{
    DlgInputUI dialog(parent);
    dialog.setToolButtonUnVisible();
    dialog.setToolButtonIcon(AppServices::pictureIcon(":/Img/Folder"));
    dialog.show();
    return run(dialog, label1, label2, text1, text2);
}
