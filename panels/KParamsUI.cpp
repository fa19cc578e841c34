#include "KParamsUI.h"

#include "KNotMuteLevelUI.h"
#include "KStereoConvertUI.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
QGroupBox* group(const char* name, QVBoxLayout* page)
{
    auto* box = new QGroupBox;
    box->setObjectName(name);
    new QVBoxLayout(box);
    page->addWidget(box);
    return box;
}

template <typename T>
T* named(const char* name, QGroupBox* box)
{
    auto* widget = new T(box);
    widget->setObjectName(name);
    box->layout()->addWidget(widget);
    return widget;
}
} // namespace

KParamsUI::KParamsUI(QWidget* parent) : QWidget(parent)
{
    setObjectName("KParamsUIClass");
    auto* outer = new QVBoxLayout(this);
    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName("tabWidget");
    outer->addWidget(tabWidget);
    QVBoxLayout* pages[4];
    for (const char* name : {"tab", "tab_4", "tab_3", "tab_2"}) {
        auto* page = new QWidget;
        page->setObjectName(name);
        pages[tabWidget->count()] = new QVBoxLayout(page);
        tabWidget->addTab(page, QString());
    }

    QGroupBox* generalGB = group("generalGB", pages[0]);
    auto* langRow = new QHBoxLayout;
    auto* langLbl = new QLabel(generalGB);
    langLbl->setObjectName("langLbl");
    langCB = new QComboBox(generalGB);
    langCB->setObjectName("langCB");
    langRow->addWidget(langLbl);
    langRow->addWidget(langCB);
    langRow->addStretch();
    static_cast<QVBoxLayout*>(generalGB->layout())->addLayout(langRow);
    QGroupBox* updateGB = group("updateGB", pages[0]);
    const char* updateNames[] = {"updateRB1", "updateRB2", "updateRB3"};
    for (int i = 0; i < 3; ++i)
        updateRB[i] = named<QRadioButton>(updateNames[i], updateGB);

    QGroupBox* notmuteGB = group("notmuteGB", pages[1]);
    auto* notmuteLbl = named<QLabel>("notmuteLbl", notmuteGB);
    notMute = new KNotMuteLevelUI(this);
    notmuteGB->layout()->addWidget(notMute);

    QGroupBox* tovixGB = group("TovixGB", pages[2]);
    useCnsttSelectionCB = named<QCheckBox>("useCnsttSelectionCB", tovixGB);
    useCnsttLevelCB = named<QCheckBox>("useCnsttLevelCB", tovixGB);

    QGroupBox* importStereoGB = group("importStereoGB", pages[3]);
    auto* importStereoLbl = named<QLabel>("importStereoLbl", importStereoGB);
    const char* importNames[] = {"importStereoButt1", "importStereoButt2", "importStereoButt3"};
    for (int i = 0; i < 3; ++i)
        importStereoButt[i] = named<QRadioButton>(importNames[i], importStereoGB);
    QGroupBox* convertStereoGB = group("convertStereoGB", pages[3]);
    convert = new KStereoConvertUI(this);
    static_cast<QVBoxLayout*>(convertStereoGB->layout())->insertWidget(0, convert);
    for (QVBoxLayout* page : pages)
        page->addStretch();

    auto* importGroup = new QButtonGroup(this);
    auto* updateGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        importGroup->addButton(importStereoButt[i], i + 1);
        updateGroup->addButton(updateRB[i], i + 1);
    }

    tabWidget->setTabText(0, tr("Général"));
    tabWidget->setTabText(1, tr("Pistes"));
    tabWidget->setTabText(2, "Tovix");
    tabWidget->setTabText(3, tr("Conversion"));
    tabWidget->setCurrentIndex(0);

    importStereoGB->setTitle(tr("Import Stéréo"));
    importStereoLbl->setText(tr("Lors de l'import d'un fichier stéréo :"));
    importStereoButt[0]->setText(tr("toujours me demander quoi faire"));
    importStereoButt[1]->setText(tr("conserver le fichier stéréo"));
    importStereoButt[2]->setText(tr("toujours convertir le fichier stéréo en mono"));
    convertStereoGB->setTitle(tr("Conversion Stéréo"));
    convert->setFirstLabel(tr("Lors d'une conversion d'un fichier stéréo en mono : "));
    convert->setText(1, tr("toujours écraser le fichier stéréo existant"));
    convert->setText(2, tr("toujours créer un nouveau fichier avec un suffix "));
    convert->setLabels(tr("ex : ~/Musique/MonFichierAudio"), tr(".wav"));
    convert->setText(3, tr("toujours créer un nouveau fichier avec un autre nom"));
    convert->setText(4, tr("toujours me demander quoi faire"));

    generalGB->setTitle(tr("Général"));
    langLbl->setText(tr("Langue"));
    langCB->addItems({"Français", "English"});
    updateGB->setTitle(tr("Mise à jour"));
    updateRB[0]->setText(tr("Vérifier et télécharger les mises à jour automatiquement au démarrage"));
    updateRB[1]->setText(tr("Vérifier les mises à jour au démarrage sans les télécharger"));
    updateRB[2]->setText(tr("Vérifier les mises à jour manuellement"));
    tovixGB->setTitle("Tovix");
    useCnsttSelectionCB->setText(tr("Activer les contraintes de sélection pendant la création des Tovix"));
    useCnsttLevelCB->setText(tr("Activer les régles de volume pendant la création des Tovix"));

    notmuteGB->setTitle(tr("Pistes toujours allumées"));
    notmuteLbl->setText(tr("Lors de la selection de l'option") + " \"" + tr("toujours allumée") + "\" " +
                        tr("sur une piste") + " :");

    // Connected last, and to user changes only: setLanguage blocks it.
    connect(langCB, &QComboBox::currentIndexChanged, this, &KParamsUI::message_restart);
}

QString KParamsUI::getLanguage() const
{
    return langCB->currentIndex() == 0 ? "FR" : "EN";
}

void KParamsUI::setLanguage(const QString& code)
{
    const QSignalBlocker quiet(langCB);
    langCB->setCurrentIndex(code == "FR" ? 0 : 1);
}

void KParamsUI::message_restart(int)
{
    restart = true;
}

SonaricEnums::EUpdateSearch KParamsUI::getUpdateSearch() const
{
    if (updateRB[1]->isChecked())
        return SonaricEnums::UpdateCheckOnly;
    return updateRB[2]->isChecked() ? SonaricEnums::UpdateOnRequest : SonaricEnums::UpdateAndDownload;
}

void KParamsUI::setUpdateSearch(SonaricEnums::EUpdateSearch mode)
{
    const int index = mode == SonaricEnums::UpdateCheckOnly ? 1 : mode == SonaricEnums::UpdateOnRequest ? 2 : 0;
    updateRB[index]->setChecked(true);
}

bool KParamsUI::getUseCnsttSelection() const
{
    return useCnsttSelectionCB->isChecked();
}

void KParamsUI::setUseCnsttSelection(bool use)
{
    useCnsttSelectionCB->setChecked(use);
}

bool KParamsUI::getUseCnsttLevel() const
{
    return useCnsttLevelCB->isChecked();
}

void KParamsUI::setUseCnsttLevel(bool use)
{
    useCnsttLevelCB->setChecked(use);
}

SonaricEnums::EImportStereo KParamsUI::getImportStereoMode() const
{
    if (importStereoButt[2]->isChecked())
        return SonaricEnums::ImportConvertMono;
    return importStereoButt[1]->isChecked() ? SonaricEnums::ImportKeepStereo : SonaricEnums::ImportAsk;
}

void KParamsUI::setImportStereoMode(SonaricEnums::EImportStereo mode)
{
    const int index = mode == SonaricEnums::ImportKeepStereo ? 1 : mode == SonaricEnums::ImportConvertMono ? 2 : 0;
    importStereoButt[index]->setChecked(true);
}

SonaricEnums::EImportStereo KParamsUI::getImportStereoConvert() const
{
    switch (convert->getChoose()) {
    case 1:
        return SonaricEnums::ConvertOverwrite;
    case 2:
        return SonaricEnums::ConvertWithSuffix;
    case 3:
        return SonaricEnums::ConvertOtherName;
    default:
        return SonaricEnums::ConvertAsk;
    }
}

void KParamsUI::setImportStereoConvert(SonaricEnums::EImportStereo choice)
{
    const bool known = choice >= SonaricEnums::ConvertOverwrite && choice <= SonaricEnums::ConvertOtherName;
    convert->setChoose(known ? choice - SonaricEnums::ConvertAsk : 4);
}

QString KParamsUI::getImportStereoSuffix() const
{
    return convert->getLineEditText();
}

void KParamsUI::setImportStereoSuffix(const QString& suffix)
{
    convert->setLineEditText(suffix);
}

int KParamsUI::getNotMuteLevelMode() const
{
    return notMute->getNotMuteLevelMode();
}

void KParamsUI::setNotMuteLevelMode(SonaricEnums::ENotMuteLevel mode)
{
    notMute->setNotMuteLevelMode(mode);
}

int KParamsUI::getNotMuteMinLevel() const
{
    return notMute->getMinLevelCB();
}

void KParamsUI::setNotMuteMinLevel(int level)
{
    notMute->setMinLevel(level);
}

void KParamsUI::openTabDefault(int index)
{
    tabWidget->setCurrentIndex(index);
}

int KParamsUI::getTabIndex(KParamsTab tab)
{
    switch (tab) {
    case TovixTab:
        return 2;
    case ConversionTab:
        return 3;
    default:
        return 0;
    }
}
