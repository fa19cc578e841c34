#include "KParamsDlg.h"

#include "KParamsUI.h"
#include "KPrompt.h"
#include "SonaricParams.h"
#include "SonaricStartup.h"

#include <QDialogButtonBox>
#include <QSettings>
#include <QVBoxLayout>

bool KParamsDlg::open(int tab, SonaricParams* params, QWidget* parent)
{
    KParamsDlg dialog(parent);
    dialog.init(params);
    dialog.paramsUI->openTabDefault(tab);
    dialog.show();
    if (KPrompt::exec(&dialog) == QDialog::Accepted)
        dialog.save(params);
    return true;
}

KParamsDlg::KParamsDlg(QWidget* parent) : QDialog(parent, Qt::Tool), paramsUI(new KParamsUI(this))
{
    setObjectName("KParamsDlg");
    setModal(true);
    setWindowTitle(tr("Paramètres"));
    resize(400, 300);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttonBox");
    layout->addWidget(buttons);
    layout->insertWidget(0, paramsUI);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void KParamsDlg::init(SonaricParams* params)
{
    paramsUI->setImportStereoMode(SonaricEnums::EImportStereo(params->getImportStereoMode()));
    paramsUI->setImportStereoConvert(SonaricEnums::EImportStereo(params->getImportStereoConvert()));
    paramsUI->setImportStereoSuffix(params->getImportStereoSuffix());
    paramsUI->setLanguage(params->getLanguage());
    paramsUI->setUpdateSearch(SonaricEnums::EUpdateSearch(params->getUpdateSearch()));
    paramsUI->setUseCnsttSelection(params->getUseCnsttSelection());
    paramsUI->setUseCnsttLevel(params->getUseCnsttLevel());
    paramsUI->setNotMuteLevelMode(SonaricEnums::ENotMuteLevel(params->getNotMuteLevelMode()));
    paramsUI->setNotMuteMinLevel(params->getNotMuteMinLevel());
}

bool KParamsDlg::save(SonaricParams* params)
{
    params->setImportStereoMode(paramsUI->getImportStereoMode());
    const int convert = paramsUI->getImportStereoConvert();
    params->setImportStereoConvert(convert);
    // The suffix only matters, and is only kept, for converted copies beside the original.
    if (convert == SonaricEnums::ConvertWithSuffix)
        params->setImportStereoSuffix(paramsUI->getImportStereoSuffix());

    // The running program keeps its language; the file is read at the next start.
    QSettings langFile(SonaricStartup::langFilePath(), QSettings::IniFormat);
    langFile.setValue("LANG", paramsUI->getLanguage());
    langFile.sync();
    const bool languageStored = langFile.status() == QSettings::NoError;

    params->setUpdateSearch(paramsUI->getUpdateSearch());
    params->setUseCnsttSelection(paramsUI->getUseCnsttSelection());
    params->setUseCnsttLevel(paramsUI->getUseCnsttLevel());
    params->setNotMuteLevelMode(paramsUI->getNotMuteLevelMode());
    params->setNotMuteMinLevel(paramsUI->getNotMuteMinLevel());

    if (!languageStored)
        KPrompt::warning(this, tr("Paramètres"),
                         tr("Impossible d'enregistrer la langue dans le fichier \"%1\" : la langue de "
                            "l'interface ne changera pas.")
                             .arg(SonaricStartup::langFilePath()));
    else if (paramsUI->mustRestart())
        KPrompt::information(this, tr("Paramètres"),
                             tr("Le redémarrage du logiciel est nécessaire pour prendre en compte les changements."));
    return languageStored;
}
