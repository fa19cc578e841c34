#include "TVRAction.h"

#include "ActionManager.h"
#include "AppPaths.h"
#include "AppServices.h"
#include "DlgAbout.h"
#include "KPrompt.h"
#include "SonaricParams.h"
#include "UpdateLauncher.h"
#include "ZazuzoziZadiviDU.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QKeySequence>

#include <iterator>
#include <type_traits>

namespace {
// One command of the table: texts are French sources translated in the context TVRAction.
struct Command {
    int id;
    const char* text;
    const char* shortcut;
    const char* icon;
    const char* slot;
};

// Registration order matters only for the hidden commands, which come first.
const Command commands[] = {
    {0, QT_TRANSLATE_NOOP("TVRAction", "Nouveau projet"), "Ctrl+N", ":/Img/Icon", SLOT(newProject(bool))},
    {1, QT_TRANSLATE_NOOP("TVRAction", "Ouvrir un projet"), "Ctrl+O", ":/Img/OpenTV", SLOT(openProject(bool))},
    {2, QT_TRANSLATE_NOOP("TVRAction", "Sauvegarder un projet"), "Ctrl+S", ":/Img/Save", SLOT(saveProject(bool))},
    {3, QT_TRANSLATE_NOOP("TVRAction", "Sauvegarder un projet sous"), "Ctrl+Shift+S", "", SLOT(saveProjectAs(bool))},
    {4, QT_TRANSLATE_NOOP("TVRAction", "Fermer un projet"), "Ctrl+W", "", SLOT(closeProject(bool))},
    {5, QT_TRANSLATE_NOOP("TVRAction", "Quitter"), "Ctrl+Q", "", SLOT(quit(bool))},
    {23, QT_TRANSLATE_NOOP("TVRAction", "Onglet Structure"), "Shift+F1", ":/Tabs/Struct", SLOT(viewTabGroups(bool))},
    {25, QT_TRANSLATE_NOOP("TVRAction", "Onglet Contraintes"), "Shift+F2", ":/Tabs/Constt", SLOT(viewTabConstraints(bool))},
    {24, QT_TRANSLATE_NOOP("TVRAction", "Onglet Règles de mixage"), "Shift+F3", ":/Tabs/PreMix", SLOT(viewTabMix(bool))},
    {26, QT_TRANSLATE_NOOP("TVRAction", "Onglet Tovix"), "Shift+F4", ":/Tabs/Tovix", SLOT(viewTabTovix(bool))},
    {27, QT_TRANSLATE_NOOP("TVRAction", "Onglet Export"), "Shift+F5", ":/Tabs/Export", SLOT(viewTabExport(bool))},
    {6, QT_TRANSLATE_NOOP("TVRAction", "Structure"), "", "", SLOT(viewTrackList(bool))},
    {8, QT_TRANSLATE_NOOP("TVRAction", "Propriétés des éléments"), "", "", SLOT(viewTabProp(bool))},
    {10, QT_TRANSLATE_NOOP("TVRAction", "Aide"), "F1", "", SLOT(help(bool))},
    {34, QT_TRANSLATE_NOOP("TVRAction", "Site web d'Tovra"), "", ":/Img/WebSite", SLOT(TovraWebSite(bool))},
    {9, QT_TRANSLATE_NOOP("TVRAction", "Forums Tovra en ligne"), "", "", SLOT(forums(bool))},
    {11, QT_TRANSLATE_NOOP("TVRAction", "A propos d'Tovra Sonaric"), "", "", SLOT(about(bool))},
    {33, QT_TRANSLATE_NOOP("TVRAction", "Rapport de Bugs"), "", "", SLOT(bugReport(bool))},
    {36, QT_TRANSLATE_NOOP("TVRAction", "Paramètres Généraux"), "", "", SLOT(parameters(bool))},
    {37, QT_TRANSLATE_NOOP("TVRAction", "Options des Tovix"), "", "", SLOT(options_Tovix(bool))},
    {38, QT_TRANSLATE_NOOP("TVRAction", "Options de conversion"), "", "", SLOT(options_conv(bool))},
    {12, QT_TRANSLATE_NOOP("TVRAction", "Importer"), "", ":/Img/AddAudio", SLOT(importAudio(bool))},
    {13, QT_TRANSLATE_NOOP("TVRAction", "Modifier"), "", ":/Img/Customize", SLOT(modifyAudio(bool))},
    {14, QT_TRANSLATE_NOOP("TVRAction", "Supprimer"), "", ":/Img/DeleteAudio", SLOT(deleteAudio(bool))},
    {39, QT_TRANSLATE_NOOP("TVRAction", "Modifier des pistes"), "", ":/Img/Customize", SLOT(modifyGroup(bool))},
    {40, QT_TRANSLATE_NOOP("TVRAction", "Supprimer des pistes"), "", ":/Img/Delete", SLOT(deleteGroup(bool))},
    {28, QT_TRANSLATE_NOOP("TVRAction", "Renommer l'Tovix"), "", "", SLOT(nameMix(bool))},
    {16, QT_TRANSLATE_NOOP("TVRAction", "Créer un groupe"), "", ":/Img/Create", SLOT(createGroup(bool))},
    {17, QT_TRANSLATE_NOOP("TVRAction", "Créer un groupe"), "", ":/Img/Create", SLOT(createGroupRightButton(bool))},
    {18, QT_TRANSLATE_NOOP("TVRAction", "Modifier un groupe"), "", ":/Img/Customize", SLOT(modifyGroup(bool))},
    {19, QT_TRANSLATE_NOOP("TVRAction", "Supprimer un groupe"), "", ":/Img/Delete", SLOT(deleteGroup(bool))},
    {20, QT_TRANSLATE_NOOP("TVRAction", "Exporter en Tovra"), "", ":/Img/Export", SLOT(exportToTovraFile(bool))},
    {7, QT_TRANSLATE_NOOP("TVRAction", "Créer une règle de mixage"), "", "", SLOT(createRule(bool))},
    {15, QT_TRANSLATE_NOOP("TVRAction", "Créer un Tovix"), "", "", SLOT(createMix(bool))},
    {21, QT_TRANSLATE_NOOP("TVRAction", "Créer une implication"), "", ":/Img/Imply16", SLOT(createImply(bool))},
    {22, QT_TRANSLATE_NOOP("TVRAction", "Créer une exclusion"), "", ":/Img/Exclu16", SLOT(createExclu(bool))},
    {29, QT_TRANSLATE_NOOP("TVRAction", "Modifier une implication"), "", ":/Img/Customize", SLOT(modifyImply(bool))},
    {30, QT_TRANSLATE_NOOP("TVRAction", "Modifier une exclusion"), "", ":/Img/Customize", SLOT(modifyExclu(bool))},
    {31, QT_TRANSLATE_NOOP("TVRAction", "Supprimer une implication"), "", ":/Img/DeleteAudio", SLOT(deleteImply(bool))},
    {32, QT_TRANSLATE_NOOP("TVRAction", "Supprimer une exclusion"), "", ":/Img/DeleteAudio", SLOT(deleteExclu(bool))},
    {41, QT_TRANSLATE_NOOP("TVRAction", "Que dois-je faire sur cette page ?"), "", ":/Img/Help16", SLOT(howStruct(bool))},
    {42, QT_TRANSLATE_NOOP("TVRAction", "Que dois-je faire sur cette page ?"), "", ":/Img/Help16", SLOT(howConstraints(bool))},
    {43, QT_TRANSLATE_NOOP("TVRAction", "Que dois-je faire sur cette page ?"), "", ":/Img/Help16", SLOT(howPreMix(bool))},
    {44, QT_TRANSLATE_NOOP("TVRAction", "Que dois-je faire sur cette page ?"), "", ":/Img/Help16", SLOT(howMix(bool))},
    {45, QT_TRANSLATE_NOOP("TVRAction", "Que dois-je faire sur cette page ?"), "", ":/Img/Help16", SLOT(howExport(bool))},
    {47, QT_TRANSLATE_NOOP("TVRAction", "Propriétés"), "", "", SLOT(trackProperty(bool))},
    {48, QT_TRANSLATE_NOOP("TVRAction", "Propriétés"), "", "", SLOT(groupProperty(bool))},
    {35, QT_TRANSLATE_NOOP("TVRAction", "Mise à jour"), "", "", SLOT(update(bool))},
};

// The maker's web pages: deployment settings given to the build.
const QString HomePage = QStringLiteral(TOVRA_WEB_HOME);
const QString ForumPage = QStringLiteral(TOVRA_WEB_FORUM);
const QString BugReportPage = QStringLiteral(TOVRA_WEB_HOME "beta/bug_report.php?software=");
const QString ProductCode = QStringLiteral("TovraSonaricFree_Mac");

ZazuzoziZadiviDU* mainWindow()
{
    return ZazuzoziZadiviDU::getInstance();
}
} // namespace

// The manager and its actions are children of the controller, so they go when it goes.
TVRAction::TVRAction(QObject* parent) : QObject(parent), manager(new ActionManager(this, this))
{
    init();
}

QAction* TVRAction::getAction(const int& id)
{
    return manager->getAction(id);
}

void TVRAction::init()
{
    manager->addAction(51, "Update Test", SLOT(updateTest(bool)), QIcon(), QKeySequence());
    manager->addAction(52, "Qt's Versions", SLOT(qtVersion(bool)), QIcon(), QKeySequence());
    getAction(51)->setShortcut(QKeySequence(Qt::Key_T, Qt::Key_V, Qt::Key_R));
    getAction(52)->setShortcut(QKeySequence(Qt::Key_Q, Qt::Key_T));

    for (const Command& command : commands) {
        QString text = tr(command.text);
        if (command.id == 11)
            text += mainWindow()->getParams()->getSoftName();
        manager->addAction(command.id, text, command.slot, QString::fromLatin1(command.icon),
                           QKeySequence(QString::fromLatin1(command.shortcut)));
    }
}

template <typename Run> void TVRAction::withTracks(Run run)
{
    ZazuzoziZadiviDU* window = mainWindow();
    if (!window->hasTrack())
        return;
    window->setUnsavedProject();
    run(window);
}

void TVRAction::updateTest(bool)
{
    UpdateLauncher::askTestMode(mainWindow());
}

void TVRAction::update(bool)
{
    mainWindow()->checkForUpdate(true);
}

void TVRAction::qtVersion(bool)
{
    // The toolkit version the program was built against.
    KPrompt::information(mainWindow(), "Qt's Versions",
                         QString("Qt's run-time version : ") + qVersion() +
                             "\nQt's compiled version : " + QT_VERSION_STR);
}

void TVRAction::newProject(bool)
{
    mainWindow()->newProject(true);
}

void TVRAction::openProject(bool)
{
    mainWindow()->openProject(true);
}

void TVRAction::saveProject(bool)
{
    mainWindow()->saveProject(true);
}

void TVRAction::saveProjectAs(bool)
{
    mainWindow()->saveProject(false);
}

void TVRAction::closeProject(bool)
{
    mainWindow()->closeProject(true);
}

void TVRAction::quit(bool)
{
    mainWindow()->close();
}

void TVRAction::viewTabGroups(bool)
{
    mainWindow()->setCurrentTab(0);
}

void TVRAction::viewTabConstraints(bool)
{
    mainWindow()->setCurrentTab(1);
}

void TVRAction::viewTabMix(bool)
{
    mainWindow()->setCurrentTab(2);
}

void TVRAction::viewTabTovix(bool)
{
    mainWindow()->setCurrentTab(3);
}

void TVRAction::viewTabExport(bool)
{
    mainWindow()->setCurrentTab(4);
}

void TVRAction::exportToTovraFile(bool)
{
    mainWindow()->setCurrentTab(4);
}

void TVRAction::viewTrackList(bool checked)
{
    mainWindow()->setListViewVisible(checked);
}

void TVRAction::viewTabProp(bool checked)
{
    mainWindow()->setElementPropVisible(checked);
}

void TVRAction::openHelpPage(const QString& page)
{
    const QString relative = "../documentation/" + page;
    if (!AppServices::openDoc(relative, true))
        reportPageNotOpened(QDir::toNativeSeparators(QDir::cleanPath(AppPaths::programDir() + "/" + relative)));
}

void TVRAction::openWebPage(const QString& address)
{
    if (!AppServices::openDoc(address, false))
        reportPageNotOpened(address);
}

// Without a browser or viewer that starts, the author still learns where the page is.
void TVRAction::reportPageNotOpened(const QString& where)
{
    KPrompt::warning(mainWindow(), tr("Ouverture d'une page"),
                     tr("La page n'a pas pu être ouverte. Vous la trouverez ici :") + "\n" + where);
}

void TVRAction::help(bool)
{
    openHelpPage(tr("FR/HTML/index.html"));
}

void TVRAction::howStruct(bool)
{
    openHelpPage(tr("FR/HTML/etape_3__creer_la_structure_de.htm"));
}

void TVRAction::howConstraints(bool)
{
    openHelpPage(tr("FR/HTML/etape_4__appliquer_des_contrai.htm"));
}

void TVRAction::howPreMix(bool)
{
    openHelpPage(tr("FR/HTML/etape_5___regler_les_parametre.htm"));
}

void TVRAction::howMix(bool)
{
    openHelpPage(tr("FR/HTML/etape_6__creer_un_ou_plusieurs.htm"));
}

void TVRAction::howExport(bool)
{
    openHelpPage(tr("FR/HTML/etape_7___exportez_votre_fichi.htm"));
}

void TVRAction::TovraWebSite(bool)
{
    openWebPage(HomePage);
}

void TVRAction::forums(bool)
{
    openWebPage(ForumPage);
}

void TVRAction::bugReport(bool)
{
    openWebPage(BugReportPage + ProductCode + "." + mainWindow()->getParams()->getCurrentVersion());
}

void TVRAction::about(bool)
{
    const SonaricParams* params = mainWindow()->getParams();
    DlgAbout::open(mainWindow(), ":/Window/AboutFree", params->getSoftName(), params->getCurrentVersion(),
                   QString(), mainWindow()->getLanguage(), ":/Img/SonaricIcon");
}

// Each command opens the page it names; the conversion options open the conversion page.
void TVRAction::parameters(bool)
{
    mainWindow()->openSettingsDialog(PageGeneral);
}

void TVRAction::options_Tovix(bool)
{
    mainWindow()->openSettingsDialog(PageTovix);
}

void TVRAction::options_conv(bool)
{
    mainWindow()->openSettingsDialog(PageConversion);
}

void TVRAction::importAudio(bool)
{
    ZazuzoziZadiviDU* window = mainWindow();
    window->setCurrentTab(0);
    const QStringList files = KPrompt::getOpenFileNames(
        window, tr("Importer des pistes"), window->getParams()->getLastImportDirectory(),
        window->getParams()->getAudioFileFilter());
    // A cancelled chooser changes nothing in the project.
    if (files.isEmpty())
        return;
    window->setUnsavedProject();
    window->importAudioPath(files);
}

void TVRAction::modifyAudio(bool)
{
    withTracks([](ZazuzoziZadiviDU* window) { window->modifyAudio(); });
}

void TVRAction::deleteAudio(bool)
{
    withTracks([](ZazuzoziZadiviDU* window) { window->deleteAudio(); });
}

void TVRAction::createGroupRightButton(bool)
{
    withTracks([](ZazuzoziZadiviDU* window) { window->createGroup(); });
}

void TVRAction::modifyGroup(bool)
{
    withTracks([](ZazuzoziZadiviDU* window) { window->modifyTreeViewElement(); });
}

void TVRAction::deleteGroup(bool)
{
    withTracks([](ZazuzoziZadiviDU* window) { window->deleteTreeViewElement(); });
}

void TVRAction::trackProperty(bool)
{
    mainWindow()->setUnsavedProject();
    mainWindow()->setPropWidget(0);
}

void TVRAction::groupProperty(bool)
{
    mainWindow()->setUnsavedProject();
    mainWindow()->modifyTreeViewElement();
}

void TVRAction::nameMix(bool)
{
    KPrompt::warning(nullptr, "TVRAction::nameMix", "Action not yet implemented !");
}

void TVRAction::createGroup(bool)
{
    ZazuzoziZadiviDU* window = mainWindow();
    window->setCurrentTab(0);
    if (window->hasTrack()) {
        window->setUnsavedProject();
        window->openGroupDialog();
    } else {
        KPrompt::information(window, tr("Création d'un groupe"), tr("Aucun fichier audio importé !"));
    }
}

namespace {
// Commands that need tracks in the structure: show their tab, then run or explain.
template <typename Run>
void withTracksInStructure(int tab, const QString& title, Run run)
{
    ZazuzoziZadiviDU* window = mainWindow();
    window->setCurrentTab(tab);
    if (!window->hasTrackInStructure()) {
        KPrompt::information(window, title,
                             QCoreApplication::translate("TVRAction", "Aucune piste dans la structure !"));
        return;
    }
    // A command that tells whether it changed anything marks the project only then.
    if constexpr (std::is_same_v<decltype(run(window)), bool>) {
        if (run(window))
            window->setUnsavedProject();
    } else {
        window->setUnsavedProject();
        run(window);
    }
}
} // namespace

void TVRAction::createRule(bool)
{
    withTracksInStructure(2, tr("Création d'une règle de mixage"),
                          [](ZazuzoziZadiviDU* window) { window->createMixRule(); });
}

void TVRAction::createMix(bool)
{
    // A cancelled name leaves the project as it was: only a created mix is a change.
    withTracksInStructure(3, tr("Création d'un Tovix"),
                          [](ZazuzoziZadiviDU* window) { return window->createTovix(); });
}

void TVRAction::createImply(bool)
{
    withTracksInStructure(1, tr("Création d'une implication"),
                          [](ZazuzoziZadiviDU* window) { window->openConstraintDialog(0, QString()); });
}

void TVRAction::createExclu(bool)
{
    withTracksInStructure(1, tr("Création d'une exclusion"),
                          [](ZazuzoziZadiviDU* window) { window->openConstraintDialog(1, QString()); });
}

void TVRAction::modifyConstraint(int kind)
{
    ZazuzoziZadiviDU* window = mainWindow();
    const QString name = window->selectedConstraint(kind);
    if (name.isEmpty())
        return;
    window->setUnsavedProject();
    window->openConstraintDialog(kind, name);
}

void TVRAction::modifyImply(bool)
{
    modifyConstraint(0);
}

void TVRAction::modifyExclu(bool)
{
    modifyConstraint(1);
}

void TVRAction::deleteConstraint(int kind, const QString& title, const QString& text)
{
    ZazuzoziZadiviDU* window = mainWindow();
    if (window->selectedConstraint(kind).isEmpty())
        return;
    window->setUnsavedProject();
    if (KPrompt::question(window, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    if (kind == 0)
        window->deleteCurrentImply();
    else
        window->deleteCurrentExclu();
}

void TVRAction::deleteImply(bool)
{
    deleteConstraint(0, tr("Supprimer implication"), tr("Supprimer l'implication sélectionnée ?"));
}

void TVRAction::deleteExclu(bool)
{
    deleteConstraint(1, tr("Supprimer exclusion"), tr("Supprimer l'exclusion sélectionnée ?"));
}
