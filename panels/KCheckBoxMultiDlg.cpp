#include "KCheckBoxMultiDlg.h"

#include "AppServices.h"
#include "KPrompt.h"
#include "KStereoConvertUI.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

KCheckBoxMultiDlg::KCheckBoxMultiDlg(const QString& fileName, QWidget* parent) : QDialog(parent)
{
    setObjectName("KCheckBoxMultiDlgClass");
    resize(496, 188);
    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName("verticalLayout");
    checkBox = new QCheckBox(this);
    checkBox->setObjectName("checkBox");
    verticalLayout->addWidget(checkBox);
    auto* row = new QHBoxLayout;
    row->setObjectName("horizontalLayout");
    row->addStretch();
    acceptButt = new QPushButton(this);
    acceptButt->setObjectName("acceptButt");
    rejectButt = new QPushButton(this);
    rejectButt->setObjectName("rejectButt");
    row->addWidget(acceptButt);
    row->addWidget(rejectButt);
    verticalLayout->addLayout(row);

    convert = new KStereoConvertUI(this);
    verticalLayout->insertWidget(0, convert);
    setWindowTitle(tr("Conversion d'une piste stéréo en mono"));

    const QFileInfo file(fileName);
    convert->setFirstLabel(tr("Pour convertir le fichier stéréo") + " \"" + file.absoluteFilePath() + "\"\n" +
                           tr("en mono, vous souhaitez :"));
    convert->setText(1, tr("Ecraser le fichier stéréo existant"));
    convert->setText(2, tr("Créer un nouveau fichier avec un suffixe : "));
    convert->setLabels(file.absolutePath() + "/" + file.completeBaseName(), "." + file.suffix());
    convert->setLineEditText("_mono");
    convert->setText(3, tr("Créer un nouveau fichier avec un autre nom"));
    convert->setText(4, QString());

    checkBox->setText(tr("Se souvenir de ma réponse"));
    acceptButt->setText(tr("Ok"));
    rejectButt->setText(tr("Annuler"));
    if (parent)
        AppServices::setFontParent(this, parent->font());

    setChoose(SonaricEnums::ConvertWithSuffix);
    connect(acceptButt, &QPushButton::clicked, this, &KCheckBoxMultiDlg::accept);
    connect(rejectButt, &QPushButton::clicked, this, &KCheckBoxMultiDlg::reject);
}

SonaricEnums::EImportStereo KCheckBoxMultiDlg::getChoose() const
{
    switch (convert->getChoose()) {
    case 1:
        return SonaricEnums::ConvertOverwrite;
    case 2:
        return SonaricEnums::ConvertWithSuffix;
    default:
        return SonaricEnums::ConvertOtherName;
    }
}

void KCheckBoxMultiDlg::setChoose(SonaricEnums::EImportStereo choice)
{
    if (choice == SonaricEnums::ConvertOverwrite)
        convert->setChoose(1);
    else if (choice == SonaricEnums::ConvertOtherName)
        convert->setChoose(3);
    else
        convert->setChoose(2);
}

QString KCheckBoxMultiDlg::getLineEditText() const
{
    return convert->getLineEditText();
}

void KCheckBoxMultiDlg::setLineEditText(const QString& text)
{
    convert->setLineEditText(text);
}

bool KCheckBoxMultiDlg::isChecked() const
{
    return checkBox->isChecked();
}

void KCheckBoxMultiDlg::accept()
{
    const QString suffix = getLineEditText();
    if (getChoose() == SonaricEnums::ConvertWithSuffix &&
        (suffix.isEmpty() || suffix.contains('/') || suffix.contains('\\') || suffix.contains(".."))) {
        KPrompt::critical(this, windowTitle(), tr("Suffixe incorrect : il doit être non vide et sans séparateur de dossier !"));
        return;
    }
    QDialog::accept();
}
