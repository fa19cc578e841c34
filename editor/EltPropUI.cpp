#include "EltPropUI.h"

#include "AppServices.h"
#include "KCheckBoxDlg.h"
#include "KCtrlFile.h"
#include "KNotMuteLevelUI.h"
#include "KPrompt.h"
#include "SonaricParams.h"
#include "TrackPropUI.h"
#include "ZazuzoziZadiviDU.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QVBoxLayout>

namespace {
const int SilentLevel = -240;
}

EltPropUI::EltPropUI(KCtrlFile* file, QWidget* parent) : QStackedWidget(parent)
{
    if (parent)
        AppServices::setFontParent(this, parent->font());
    trackPage = new TrackPropUI(file, this);
    setKFile(file);
    insertWidget(0, trackPage);
    connect(trackPage, &TrackPropUI::buttonFileClicked, this, &EltPropUI::pathButtonTrackClicked);
    connect(trackPage, &TrackPropUI::isStereo, this, &EltPropUI::isStereo);
    connect(trackPage, &TrackPropUI::trkCheckBoxChanged, this, &EltPropUI::trkChecked);
    connect(trackPage, &TrackPropUI::filePathChanged, this, &EltPropUI::filePathChanged_slot);
}

QString EltPropUI::getName() const
{
    return trackPage->getName();
}

void EltPropUI::setKFile(KCtrlFile* file)
{
    if (document) {
        disconnect(document, nullptr, this, nullptr);
        disconnect(trackPage, nullptr, document, nullptr);
    }
    document = file;
    if (document) {
        connect(document, &KCtrlFile::renamedElement, this, &EltPropUI::renamedElement);
        connect(document, &KCtrlFile::modifiedElement, this, &EltPropUI::modifiedElement);
        connect(trackPage, &TrackPropUI::nameChanged, document, &KCtrlFile::renameElt);
        connect(trackPage, &TrackPropUI::visibleChanged, document, &KCtrlFile::setVisibleToExport);
    }
    trackPage->reset();
}

void EltPropUI::setElement(const QStringList& names)
{
    if (!document || names.size() != 1 || !document->isElement(names[0]) || !document->isTrack(names[0]))
        return;
    printTrackProp(names[0]);
    update();
}

void EltPropUI::printTrackProp(const QString& name)
{
    if (!document || name.isEmpty())
        return;
    shownTrack = name;
    trackPage->setName(name);
    trackPage->setFilePath(document->getTrackPath(name));
    trackPage->setFormat(document->getTrackAudioFormat(name));
    trackPage->setSize(document->getTrackSize(name));
    trackPage->setChannels(document->getTrackChannels(name));
    const int bits = document->getTrackBPS(name);
    if (bits == -1)
        trackPage->setKBPS(document->getTrackMpgKBPS(name));
    else
        trackPage->setBits(bits);
    trackPage->setRate(document->getTrackRate(name));
    trackPage->setLength(document->getTrackLength(name));
    trackPage->setFileSize();
    trackPage->setStereo(document->getExportToStereo(name));
    trackPage->setCheckNotMute(document->isNotMute(name));
    trackPage->setTrackVisible(document->isVisibleToExport(name));
    trackPage->setContraintsEnabled(!document->isParent(KObjFile::ImportAudioGrpName, name));
}

void EltPropUI::modifiedElement(const QString& name)
{
    if (name == shownTrack)
        printTrackProp(name);
}

void EltPropUI::renamedElement(const QString& oldName, const QString& newName)
{
    if (oldName != shownTrack)
        return;
    shownTrack = newName;
    trackPage->setName(newName);
}

void EltPropUI::isStereo(bool stereo)
{
    if (document)
        document->setExportToStereo(shownTrack, stereo);
}

void EltPropUI::pathButtonTrackClicked()
{
    ZazuzoziZadiviDU* window = ZazuzoziZadiviDU::getInstance();
    KCtrlFile* file = window->getTovraFile();
    if (!file || shownTrack.isEmpty())
        return;
    SonaricParams* params = window->getParams();
    QString folder = file->getTrackPath(shownTrack);
    if (folder.isEmpty())
        folder = params->getLastImportDirectory();
    const QString path =
        KPrompt::getOpenFileName(window, tr("Importer une piste"), folder, params->getAudioFileFilter());
    if (path.isEmpty())
        return;
    if (file->setTrackPath(shownTrack, path)) {
        trackPage->setFilePath(path);
        return;
    }
    KPrompt::critical(window, tr("Import d'une piste"),
                      tr("Impossible d'associer le fichier audio ") + '"' + path + '"' +
                          tr(" avec la piste ") + '"' + shownTrack + '"');
}

int EltPropUI::askNotMuteMode(int& level)
{
    const QString text = tr("Vous venez de sélectionner l'option \"Piste toujours allumée\".") + '\n' +
                         tr("L'auditeur ne pourra donc pas la désactiver.") + '\n' +
                         tr("Vous ne pourrez pas y ajouter de contraintes de sélection (exclusion, implication).") +
                         '\n' + tr("Toutefois, l'auditeur pourra modifier le volume de cette piste.") + "\n\n" +
                         tr("Souhaitez-vous définir un volume minimum ?");
    KCheckBoxDlg dialog(tr("Piste toujours allumée"), text, tr("Se souvenir de ma réponse"), tr("Ok"),
                        tr("Annuler"), false, ZazuzoziZadiviDU::getInstance());
    auto* levelPanel = new KNotMuteLevelUI;
    levelPanel->setObjectName("notMuteLevelPanel");
    levelPanel->setVisibleAlwaysAsk(false);
    // Without its "ask" choice the panel starts on the minimum level.
    levelPanel->setMinLevel(level);
    dialog.setWidget(levelPanel);
    if (KPrompt::exec(&dialog) != 1)
        return SonaricEnums::NotMuteAsk;
    const int mode = levelPanel->getNotMuteLevelMode();
    level = levelPanel->getMinLevelCB();
    if (dialog.isChecked()) {
        SonaricParams* params = ZazuzoziZadiviDU::getInstance()->getParams();
        params->setNotMuteLevelMode(mode);
        if (mode == SonaricEnums::NotMuteMinLevel)
            params->setNotMuteMinLevel(level);
    }
    return mode;
}

void EltPropUI::trkChecked(const QString& name, bool on)
{
    if (!document)
        return;
    if (!document->setEltNotMute(name, on)) {
        // Refused or aborted: the box shows what the document kept.
        trackPage->setCheckNotMute(document->isNotMute(name));
        return;
    }
    SonaricParams* params = ZazuzoziZadiviDU::getInstance()->getParams();
    int mode = params->getNotMuteLevelMode();
    int level = params->getNotMuteMinLevel();
    if (!on) {
        // The minimum goes back only when it is still the one this switch set.
        if (mode == SonaricEnums::NotMuteMinLevel && document->getMinEltLevel(name) == level)
            document->setEltMinLevel(name, SilentLevel);
        return;
    }
    if (mode == SonaricEnums::NotMuteAsk)
        mode = askNotMuteMode(level);
    if (mode == SonaricEnums::NotMuteMinLevel && document->getMinEltLevel(name) < level)
        document->setEltMinLevel(name, level);
}

void EltPropUI::filePathChanged_slot(const QString& name)
{
    // The conversion belongs to the main window's audio edits.
    if (ZazuzoziZadiviDU::getInstance()->convertStereoToMono(name))
        setElement({name});
}

void EltPropUI::stop()
{
    trackPage->stop();
}

DlgProperty::DlgProperty(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttonBox");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setModal(true);
    setWindowIcon(AppServices::pictureIcon(":/Img/SonaricIcon"));
}

void DlgProperty::setCentralWidget(QWidget* widget)
{
    layout->insertWidget(0, widget, 1);
}

void DlgProperty::open(QWidget* widget, const QString& title, QWidget* parent)
{
    DlgProperty dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setCentralWidget(widget);
    KPrompt::exec(&dialog);
}
