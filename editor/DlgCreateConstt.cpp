#include "DlgCreateConstt.h"

#include "AppServices.h"
#include "ExcluWidget.h"
#include "KCtrlFile.h"
#include "KPrompt.h"
#include "ZazuzoziZadiviDU.h"

#include <QCheckBox>
#include "KNameFit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

DlgCreateConstt::DlgCreateConstt(KObjFile::EConst kind, ZazuzoziZadiviDU* window, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_window(window)
{
    setObjectName("DlgCreateConsttClass");
    if (parent)
        AppServices::setFontParent(this, parent->font());
    const bool imply = kind == KObjFile::Implication;

    auto* elementLabel = new QLabel(tr("Elément"), this);
    elementLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    comboBox1 = new QComboBox(this);
    comboBox1->setObjectName("comboBox1");
    symbol = new QLabel(this);
    symbol->setObjectName("symbol");
    symbol->setPixmap(QPixmap(imply ? ":/Img/Imply" : ":/Img/Exclu"));
    symbol->setAlignment(Qt::AlignCenter);
    comboBox2 = new QComboBox(this);
    comboBox2->setObjectName("comboBox2");
    // Element names may be long: the boxes keep the dialog's width and show the whole name as a
    // tooltip.
    KNameFit::fitCombo(comboBox1, KNameFit::NameChars / 2);
    KNameFit::fitCombo(comboBox2, KNameFit::NameChars / 2);
    auto* descriptionLabel = new QLabel(tr("Description"), this);
    textEdit = new QTextEdit(this);
    textEdit->setObjectName("textEdit");
    checkBox = new QCheckBox(tr("La réciproque est vraie"), this);
    checkBox->setObjectName("checkBox");
    checkBox->setVisible(imply);
    okButton = new QPushButton(tr("Ok"), this);
    okButton->setObjectName("okButton");
    cancelButton = new QPushButton(tr("Annuler"), this);
    cancelButton->setObjectName("cancelButton");

    auto* elements = new QHBoxLayout;
    elements->addWidget(elementLabel);
    elements->addWidget(comboBox1, 1);
    elements->addWidget(symbol);
    elements->addWidget(comboBox2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(checkBox);
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(okButton);
    auto* box = new QVBoxLayout(this);
    box->addLayout(elements);
    box->addWidget(descriptionLabel);
    box->addWidget(textEdit);
    box->addLayout(buttons);
    resize(460, 220);

    if (KCtrlFile* document = window ? window->getTovraFile() : nullptr) {
        QStringList elementNames = document->getElementNames();
        elementNames.sort();
        comboBox1->addItems(elementNames);
        comboBox2->addItems(elementNames);
    }
    setModal(true);
    setWindowFlags(windowFlags() | Qt::Tool);
    setWindowIcon(AppServices::pictureIcon(":/Img/SonaricIcon"));
    setWindowTitle(imply ? tr("Créer une implication") : tr("Créer une exclusion"));
    connect(okButton, &QPushButton::released, this, &DlgCreateConstt::okAction);
    connect(cancelButton, &QPushButton::released, this, &DlgCreateConstt::cancelAction);
}

void DlgCreateConstt::setCstt(const QString& name)
{
    KCtrlFile* document = m_window ? m_window->getTovraFile() : nullptr;
    if (!document)
        return;
    m_name = name;
    const QStringList members = document->getSubElt(name);
    const bool exclu = m_kind == KObjFile::Exclusion;
    if ((exclu && members.size() < 2) || (!exclu && members.isEmpty()))
        return;
    const QString first = exclu ? members.at(0) : document->getImplying(name);
    const QString second = exclu ? members.at(1) : members.first();
    const QString description = m_window->getCurrentDescription(m_kind);
    if (!description.isEmpty())
        textEdit->insertPlainText(description);
    selectElement(comboBox1, first);
    selectElement(comboBox2, second);
}

void DlgCreateConstt::selectElement(QComboBox* combo, const QString& element)
{
    int at = combo->findText(element, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0 && !element.isEmpty()) {
        combo->addItem(element);
        at = combo->count() - 1;
    }
    if (at >= 0)
        combo->setCurrentIndex(at);
}

void DlgCreateConstt::refuse(const QString& text)
{
    // The dialog stays open with what was typed, so that the author can mend the choice.
    if (!text.isEmpty())
        KPrompt::critical(this, tr("Erreur"), text, QMessageBox::Ok);
    setResult(0);
}

// The box after a rule the document did not create: none when it has already told the author
// why, or the author aborted it.
QString DlgCreateConstt::refusalText(const KCtrlFile* document) const
{
    return document->lastRefusalExplained() ? QString() : tr("Impossible de créer cette contrainte !");
}

void DlgCreateConstt::okAction()
{
    const QString first = comboBox1->currentText();
    const QString second = comboBox2->currentText();
    const QString description = textEdit->toPlainText();
    KCtrlFile* document = m_window ? m_window->getTovraFile() : nullptr;
    if (first.isEmpty() || second.isEmpty() || first == second || !document) {
        refuse(tr("Elément(s) non valide(s) !"));
        return;
    }
    ExcluWidget* page = m_window->getExcluWidget();
    if (m_kind == KObjFile::Exclusion) {
        const QString name = document->createExclu({first, second}, description);
        if (name.isEmpty()) {
            refuse(refusalText(document));
            return;
        }
        if (page)
            page->addExcluLine(name, first, second, description);
    } else {
        const QString name = document->createImply(first, {second}, description);
        if (name.isEmpty()) {
            refuse(refusalText(document));
            return;
        }
        // A refused reciprocal leaves the first implication; the document said why.
        const QString reciprocal =
            checkBox->isChecked() ? document->createImply(second, {first}, description) : QString();
        if (page) {
            page->addImplyLine(name, first, second, description);
            if (!reciprocal.isEmpty())
                page->addImplyLine(reciprocal, second, first, description);
        }
    }
    setResult(1);
    accept();
    hide();
}

void DlgCreateConstt::cancelAction()
{
    setResult(0);
    reject();
    hide();
}
