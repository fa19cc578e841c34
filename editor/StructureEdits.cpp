// The main window's edits of the project's elements: groups, colours, track files and names,
// deletions, rules, the import of audio files and the conversion of stereo tracks to mono.
// Every change goes through the document, which checks it against the rules and undoes it when
// refused.
#include "ZazuzoziZadiviDU.h"

#include "DlgCreateConstt.h"
#include "DlgInputUI.h"
#include "DlgNewGroupUI.h"
#include "DlgProgBar.h"
#include "ExcluWidget.h"
#include "ImportAudioThread.h"
#include "KCheckBoxDlg.h"
#include "KCheckBoxMultiDlg.h"
#include "KCtrlFile.h"
#include "KDDMenuTV.h"
#include "KDragMenuLV.h"
#include "KObjProgress.h"
#include "KPrompt.h"
#include "SonaricParams.h"
#include "TovraOLib.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The track being renamed keeps its own name as a valid answer: only its file may change.
QString renamedTrack;

bool trackNameIsValid(const QString& name)
{
    return name == renamedTrack
           || (ZazuzoziZadiviDU::hasInstance() && ZazuzoziZadiviDU::getInstance()->grpNameIsValid(name));
}

// The first of base + extension, base_1 + extension, ... that names no file: a conversion never
// writes over another file (another track's source among them).
QString freeFileName(const QString& base, const QString& extension)
{
    QString candidate = base + extension;
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = base + "_" + QString::number(n) + extension;
    return candidate;
}

} // namespace

ExcluWidget* ZazuzoziZadiviDU::getExcluWidget() const
{
    const_cast<ZazuzoziZadiviDU*>(this)->ensurePage(RulesTab);
    return excluWidget;
}

QString ZazuzoziZadiviDU::getCurrentDescription(int kind) const
{
    return excluWidget ? excluWidget->getCurrentDescription(KObjFile::EConst(kind)) : QString();
}

QStringList ZazuzoziZadiviDU::selectedLibraryTracks() const
{
    return libraryView->getSelectedItems();
}

QString ZazuzoziZadiviDU::currentTreeElement() const
{
    return structureView->getSelectedItem();
}

void ZazuzoziZadiviDU::clearLibrarySelection()
{
    libraryView->clearSel();
}

// --- Groups -------------------------------------------------------------------------------------

void ZazuzoziZadiviDU::createGroup()
{
    QStringList names = selectedLibraryTracks();
    const QString current = currentTreeElement();
    if (names.isEmpty() && document && document->isGroup(current))
        names << current;
    DlgNewGroupUI::openCreateDlg(document, this, names);
    clearLibrarySelection();
}

void ZazuzoziZadiviDU::openGroupDialog()
{
    DlgNewGroupUI::openCreateDlg(document, this, {});
}

void ZazuzoziZadiviDU::dropOnRootTV(const QStringList& names)
{
    DlgNewGroupUI::openCreateDlg(document, this, names);
}

bool ZazuzoziZadiviDU::modifyTreeViewElement()
{
    const QString name = currentTreeElement();
    if (name.isEmpty() || !document)
        return false;
    if (document->isTrack(name)) {
        setPropWidget(0);
        return true;
    }
    return modifyGroup(name);
}

bool ZazuzoziZadiviDU::modifyGroup(const QString& name)
{
    DlgNewGroupUI dialog(document, DlgNewGroupUI::Modify, this);
    dialog.setModal(true);
    dialog.setName(name);
    dialog.setParent(document->getParent(name));
    dialog.setEltInGrp(document->getSubElt(name));
    dialog.setMinMaxPlay(document->getGroupMinPlay(name), document->getGroupMaxPlay(name));
    return KPrompt::exec(&dialog) == QDialog::Accepted;
}

bool ZazuzoziZadiviDU::deleteTreeViewElement()
{
    const QString name = currentTreeElement();
    if (name.isEmpty() || !document)
        return false;
    if (document->isTrack(name)) {
        // A track only leaves the structure: it goes back to the imported tracks.
        const QString parent = document->getParent(name);
        return parent.isEmpty() ? document->addEltInGroup(KObjFile::ImportAudioGrpName, name)
                                : document->removeEltFromGroup(parent, name);
    }
    if (KPrompt::question(this, tr("Supprimer un groupe"), tr("Supprimer le groupe sélectionné ?"),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return false;
    return document->removeElement(name);
}

bool ZazuzoziZadiviDU::addEltInGroup(const QString& element, const QString& group)
{
    return document && document->moveEltToGroup(element, group);
}

bool ZazuzoziZadiviDU::removeEltFromGroup(const QString& element, const QString& group)
{
    return document && document->removeEltFromGroup(group, element);
}

// --- Colours ------------------------------------------------------------------------------------

QList<QColor> ZazuzoziZadiviDU::elementPalette()
{
    QList<QColor> colours;
    for (const char* name : {"#E76B4A", "#EF9452", "#F7B55A", "#FFF76B", "#ADD66B", "#84C66B",
                             "#4AAD6B", "#4AB5AD", "#4AB5E7", "#5A84BD", "#6363A5", "#634A8C",
                             "#86528C", "#AD5A94", "#E76B94", "#E76B73", "#FFFFFF"})
        colours << QColor(name);
    return colours;
}

void ZazuzoziZadiviDU::setElementColour(const QString& name, const QColor& colour)
{
    if (!document || !colour.isValid())
        return;
    document->setEltColor(name, colour, false);
    for (const QString& child : document->getSubElt(name))
        document->setEltColor(child, colour, true);
}

// --- Tracks -------------------------------------------------------------------------------------

void ZazuzoziZadiviDU::modifyAudio()
{
    const QStringList names = selectedLibraryTracks();
    clearLibrarySelection();
    for (const QString& name : names) {
        if (!renameAudio(name))
            break;
    }
}

bool ZazuzoziZadiviDU::renameAudio(const QString& name)
{
    if (!document)
        return false;
    const QString oldPath = document->getTrackPath(name);
    DlgInputUI dialog(this);
    dialog.setLabels(tr("Fichier"), tr("Nom"));
    dialog.setTexts(oldPath, name);
    dialog.setWindowTitle(tr("Propriété de la piste"));
    dialog.setModal(true);
    renamedTrack = name;
    dialog.setValuesChecker(trackNameIsValid);
    const bool accepted = KPrompt::exec(&dialog) == QDialog::Accepted;
    renamedTrack.clear();
    if (!accepted)
        return false;
    const QString file = dialog.getText(1);
    const QString newName = dialog.getText(2);
    if (file != oldPath && !document->setTrackPath(name, file)) {
        KPrompt::critical(this, tr("Changement de fichier d'une piste"),
                          tr("Erreur durant le changement de fichier !"), QMessageBox::Ok);
        return false;
    }
    if (newName == name)
        return true;
    if (!document->renameElt(name, newName)) {
        // A failed rename takes back the file change: the command did nothing.
        if (file != oldPath)
            document->setTrackPath(name, oldPath);
        KPrompt::critical(this, tr("Renommage d'une piste"), tr("Erreur durant le renommage de la piste !"),
                          QMessageBox::Ok);
        return false;
    }
    libraryView->setSelection({newName});
    return true;
}

void ZazuzoziZadiviDU::deleteAudio()
{
    const QStringList names = selectedLibraryTracks();
    if (names.isEmpty() || !document)
        return;
    // The rules that name a deleted track are deleted with it: the question lists them.
    QString question = tr("Supprimer les pistes sélectionnées ?");
    const QStringList rules = rulesNaming(names);
    if (!rules.isEmpty())
        question += "\n\n" + tr("Ces règles seront supprimées avec elles :") + "\n" + rules.join('\n');
    if (KPrompt::question(this, tr("Supprimer des pistes"), question,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    for (const QString& name : names) {
        if (!document->removeElement(name))
            return;
    }
    clearLibrarySelection();
}

QStringList ZazuzoziZadiviDU::rulesNaming(const QStringList& tracks) const
{
    QStringList lines;
    for (const QString& rule : document->contraintNames()) {
        const QStringList members = document->getSubElt(rule);
        const QString implying = document->getImplying(rule);
        const bool named = std::any_of(tracks.begin(), tracks.end(), [&](const QString& track) {
            return members.contains(track) || implying == track;
        });
        if (!named)
            continue;
        QString line;
        switch (document->getConstraintType(rule)) {
        case KObjFile::Implication:
            line = tr("Implication : %1 implique %2").arg(implying, members.value(0));
            break;
        case KObjFile::Exclusion:
            line = tr("Exclusion : %1 et %2").arg(members.value(0), members.value(1));
            break;
        default:
            line = rule;
            break;
        }
        const QString description = document->getEltDesc(rule);
        lines << (description.isEmpty() ? line : line + " (" + description + ")");
    }
    return lines;
}

// --- Rules --------------------------------------------------------------------------------------

QString ZazuzoziZadiviDU::selectedConstraint(int kind) const
{
    return excluWidget ? excluWidget->getCurrentElement(KObjFile::EConst(kind)) : QString();
}

void ZazuzoziZadiviDU::deleteCurrentImply()
{
    deleteCurrentConstraint(KObjFile::Implication);
}

void ZazuzoziZadiviDU::deleteCurrentExclu()
{
    deleteCurrentConstraint(KObjFile::Exclusion);
}

void ZazuzoziZadiviDU::deleteCurrentConstraint(int kind)
{
    const QString name = selectedConstraint(kind);
    if (name.isEmpty() || !document)
        return;
    // A refused removal keeps the rule, and so its row.
    if (document->removeElement(name))
        excluWidget->removeElement(KObjFile::EConst(kind), name);
}

bool ZazuzoziZadiviDU::openConstraintDialog(int kind, const QString& name)
{
    if (name.isEmpty()) {
        auto* dialog = new DlgCreateConstt(KObjFile::EConst(kind), this, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
        dialog->show();
        return false;
    }
    DlgCreateConstt dialog(KObjFile::EConst(kind), this, this);
    dialog.setCstt(name);
    if (KPrompt::exec(&dialog) != QDialog::Accepted)
        return false;
    // The dialog made the new version of the rule; the old one goes.
    if (document && document->removeConstraint(name))
        getExcluWidget()->removeElement(KObjFile::EConst(kind), name);
    return true;
}

// --- Audio import -------------------------------------------------------------------------------

void ZazuzoziZadiviDU::importAudioPath(const QStringList& paths)
{
    if (paths.isEmpty() || !document)
        return;
    params->setLastImportDirectory(QFileInfo(paths.first()).absolutePath());
    QStringList names;
    {
        ImportAudioThread worker(paths, document);
        DlgProgBar::open(true, &worker, tr("Importer des pistes"), tr("Import des pistes terminé."),
                         tr("Echec de l'import des pistes !"), this);
        names = worker.getTrackNames();
        // The files that could not be read are named; the others stay imported.
        if (!worker.getFailedPaths().isEmpty())
            KPrompt::critical(this, tr("Importer des pistes"), worker.getProgress()->getMsg(), QMessageBox::Ok);
    }
    int mode = params->getImportStereoMode();
    KCheckBoxDlg question(tr("Conversion de fichiers stéréo"), QString(), tr("Se souvenir de ma réponse"),
                          tr("Convertir"), tr("Ignorer"), false, this, tr("Ignorer tout"));
    for (const QString& name : names) {
        if (document->getTrackChannels(name) <= 1)
            continue;
        if (mode == SonaricEnums::ImportConvertMono) {
            convertStereoToMono(name);
            continue;
        }
        if (mode != SonaricEnums::ImportAsk)
            continue;
        question.setLabel(tr("La piste ") + name + tr(" est en stéréo.\n") + tr("(fichier : ")
                          + document->getTrackPath(name) + tr(")\n")
                          + tr("Nous recommandons d'utiliser des fichiers mono dans un projet Tovra Sonaric.\n")
                          + tr("Souhaitez-vous convertir votre fichier stéréo en fichier mono ?"));
        const int answer = KPrompt::exec(&question);
        if (question.isChecked()) {
            mode = answer == 1 ? SonaricEnums::ImportConvertMono : SonaricEnums::ImportKeepStereo;
            params->setImportStereoMode(mode);
        }
        if (answer == 2)
            break;
        if (answer == 1)
            convertStereoToMono(name);
    }
}

bool ZazuzoziZadiviDU::convertStereoToMono(const QString& name)
{
    if (!document)
        return false;
    const QString source = document->getTrackPath(name);
    const QString title = tr("Conversion d'une piste stéréo en mono");
    QString suffix = params->getImportStereoSuffix();
    int method = params->getImportStereoConvert();
    if (method == SonaricEnums::ConvertAsk) {
        KCheckBoxMultiDlg ask(source, this);
        if (KPrompt::exec(&ask) != QDialog::Accepted)
            return false;
        if (ask.isChecked()) {
            params->setImportStereoConvert(ask.getChoose());
            if (ask.getChoose() == SonaricEnums::ConvertWithSuffix)
                params->setImportStereoSuffix(ask.getLineEditText());
        }
        method = ask.getChoose();
        if (method == SonaricEnums::ConvertWithSuffix)
            suffix = ask.getLineEditText();
    }
    const QFileInfo file(source);
    QString destination;
    if (method == SonaricEnums::ConvertOverwrite) {
        destination = source;
    } else if (method == SonaricEnums::ConvertWithSuffix) {
        destination = freeFileName(file.absolutePath() + "/" + file.completeBaseName() + suffix,
                                   "." + file.suffix());
    } else {
        destination = KPrompt::getSaveFileName(
            this, title, file.absolutePath(),
            tr("Fichier Wave") + " (*.wav *.wave)" + "\n" + tr("Fichier Aiff") + " (*.aif *.aiff)"
                + "\n" + tr("Fichier AU") + " (*.au)");
        if (destination.isEmpty())
            return false;
    }
    // The track points at its new file only when both steps worked; the box says why not.
    QString cause;
    if (!TovraOLib::convertStereoToMono(source, destination, &cause)) {
        KPrompt::critical(this, title, tr("Erreur durant la conversion !") + "\n" + cause,
                          QMessageBox::Ok);
        return false;
    }
    if (!document->setTrackPath(name, destination)) {
        KPrompt::critical(this, title,
                          tr("Erreur durant la conversion !") + "\n"
                              + tr("La piste ne peut pas lire le fichier converti : ") + destination,
                          QMessageBox::Ok);
        return false;
    }
    return true;
}
