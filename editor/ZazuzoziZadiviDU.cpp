#include "ZazuzoziZadiviDU.h"

#include "EltPropUI.h"
#include "MixViewUI.h"
#include "ProjectPropUI.h"

#include "AppServices.h"
#include "DlgOpenSonaric.h"
#include "DlgProgBar.h"
#include "ExportThread.h"
#include "ExportUI.h"
#include "ExcluWidget.h"
#include "KCheckAudioDlg.h"
#include "KCheckMixTV.h"
#include "KColorBox.h"
#include "KCtrlFile.h"
#include "KObjProgress.h"
#include "KParamsDlg.h"
#include "KDDMenuTV.h"
#include "KDragMenuLV.h"
#include "KSuperUI.h"
#include "MiniPlayerUI.h"
#include "PreMixView.h"
#include "SncItemDeleg.h"
#include "KPrompt.h"
#include "KXml.h"
#include "TovraOLib.h"
#include "XmlObject.h"
#include "tvr_utils.h"
#include "KTheme.h"
#include "KTypes.h"
#include "SonaricParams.h"
#include "TVRAction.h"
#include "UpdateLauncher.h"
#include "WorkSpaceUI.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
const char* const ToolBarStyle =
    " QToolBar { border:0; background : url(:/Img/DWBar); spacing: 3px; } QToolButton { color: "
    "#A0A0A0; max-height : 19px; } QToolBar::handle { color: green; background: green; } "
    "QToolBar::tab:hover { background-color: yellow; color: yellow; background: yellow; } "
    "QAbstractButton:hover { background: green; } QToolButton:pressed { background-color: red; "
    "color: red; background: red; }";
const char* const TreeStyle =
    " QTreeView { show-decoration-selected: 0; } QTreeView::branch:has-siblings:!adjoins-item { "
    "border-image: url(:/Img/LigneTV) 0; } QTreeView::branch:has-siblings:adjoins-item { "
    "border-image: url(:/Img/NoeudTV) 0; } QTreeView::branch:!has-children:!has-siblings:adjoins-item "
    "{ border-image: url(:/Img/CoudeTV) 0; } QTreeView::branch:has-children:!has-siblings:closed, "
    "QTreeView::branch:closed:has-children:has-siblings { border-image: none; image: "
    "url(:/Img/CloseTV); } QTreeView::branch:open:has-children:!has-siblings, "
    "QTreeView::branch:open:has-children:has-siblings  { border-image: none; image: url(:/Img/OpenTV); }";
const char* const CaptionStyle =
    " QLabel { color : #FF9900; min-height : 45px; background : url(:/Img/LabelBar); }";
const char* const StructSplitterStyle =
    "QSplitter::handle { background : url(:/Img/Splitter); }QSplitter::handle:hover { background: "
    "url(:/Img/SplitterOverStruct);}";
const char* const PageSplitterStyle =
    "QSplitter::handle { background : url(:/Img/Splitter); }QSplitter::handle:hover { background: "
    "url(:/Img/SplitterOver);}";
const char* const MenuBarStyle =
    "QMenuBar { min-height:19px; background : url(:/Img/MenuBar); }QMenuBar::item{ background : "
    "url(:/Img/MenuBarBtn); }";

QSplitter* pageSplitter(const QList<QWidget*>& widgets, const QList<int>& sizes, const char* style,
                        QWidget* parent)
{
    // The style sheet goes on before the pages: set afterwards, it would polish each page's
    // whole widget tree a second time.
    auto* splitter = new QSplitter(Qt::Horizontal, parent);
    splitter->setStyleSheet(style);
    splitter->setHandleWidth(6);
    for (QWidget* widget : widgets)
        splitter->addWidget(widget);
    splitter->setSizes(sizes);
    return splitter;
}
} // namespace

ZazuzoziZadiviDU* ZazuzoziZadiviDU::instance = nullptr;

ZazuzoziZadiviDU* ZazuzoziZadiviDU::getInstance()
{
    if (!instance) {
        // Stored before initUI(), so that a panel asking for the window while it is being
        // built gets the window under construction.
        instance = new ZazuzoziZadiviDU;
        instance->initUI();
    }
    return instance;
}

void ZazuzoziZadiviDU::deleteInstance()
{
    delete instance;
    instance = nullptr;
}

QString ZazuzoziZadiviDU::DefaultProjetName()
{
    return tr("[Sans Titre]");
}

QString ZazuzoziZadiviDU::titleFor(const QString& path, bool isSaved, const QString& softName)
{
    // completeBaseName keeps "my.song" of "my.song.tvprj" whole.
    QString name = path.isEmpty() ? DefaultProjetName() : QFileInfo(path).completeBaseName();
    if (!isSaved)
        name += "*";
    return name + " - " + softName;
}

ZazuzoziZadiviDU::ZazuzoziZadiviDU() : QMainWindow(nullptr)
{
    setWindowIcon(AppServices::pictureIcon(":/Img/SonaricIcon"));
    QStyle* style = KTheme::createStyle();
    style->setParent(this);
    setStyle(style);
    setFont(QFont("Tahoma", 11, QFont::Normal));
}

ZazuzoziZadiviDU::~ZazuzoziZadiviDU()
{
    // Views are told before the document goes, as on every close.
    installDocument(nullptr);
    // The widgets go before the window's style, an older child that they use until the end
    // (focus changes while they are torn down).
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    delete controller;
    if (instance == this)
        instance = nullptr;
}

void ZazuzoziZadiviDU::initUI()
{
    windowFont = font();
    setStyleSheet("QMainWindow { background-color:#303030;}");
    // Without a window manager the maximised state does nothing: start at the screen's size.
    if (QScreen* shown = screen())
        resize(shown->availableSize());
    setWindowState(Qt::WindowMaximized);

    params = new SonaricParams(this);
    controller = new TVRAction(nullptr);
    connect(controller, &TVRAction::projectModified, this, &ZazuzoziZadiviDU::setUnsavedProject);
    addAction(controller->getAction(51));
    addAction(controller->getAction(52));
    // The constraints and mixing-rules tab commands are in no menu: their shortcuts (Shift+F2,
    // Shift+F3) work through the window, which has to own them for Qt to fire them.
    addAction(controller->getAction(25));
    addAction(controller->getAction(24));

    workspace = new WorkSpaceUI(this);
    connect(workspace, &WorkSpaceUI::dropOnRoot, this, &ZazuzoziZadiviDU::dropOnRootTV);
    setCentralWidget(workspace);

    // The rules page, the mixing-rules page and the export page are built when first needed:
    // until then a stand-in takes their place.
    auto* rulesPage = new QWidget(this);
    auto* page2 = new QWidget(this);
    auto* page3 = new QWidget(this);

    structureView = new KDDMenuTV(nullptr, this);
    structureView->setObjectName("structureView");
    SItemSkinOptions skin;
    skin.text = tr("Ma musique");
    structureView->setSkinOptions(skin);
    structureView->setActionManager(controller);
    structureView->setFont(windowFont);
    connect(this, &ZazuzoziZadiviDU::newKOFile, structureView, &KDDMenuTV::setKFile);
    connect(structureView, &KDDMenuTV::dropOnRoot, this, &ZazuzoziZadiviDU::dropOnRootTV);
    // Expansion kept in step across the element trees; the trees' own slots do not echo.
    followTreeExpansion(structureView);

    libraryView = new KDragMenuLV(nullptr, this);
    libraryView->setObjectName("libraryView");
    auto* rowDelegate = new SncItemDeleg(libraryView);
    rowDelegate->setLineColor(KTheme::color(KTheme::Line));
    libraryView->setItemDelegate(rowDelegate);
    libraryView->setItemBackground(true);
    structureView->setIconSize(QSize(16, 16));
    structureView->setColorSelection(true);
    connect(structureView, &KDDMenuTV::iconClicked, this, &ZazuzoziZadiviDU::colorSelection_slot);
    connect(structureView, &KDDMenuTV::clearLV, libraryView, &KDragMenuLV::clearSel);
    libraryView->setActionManager(controller);
    libraryView->setFont(windowFont);
    connect(this, &ZazuzoziZadiviDU::newKOFile, libraryView, &KDragMenuLV::setKFile);

    QToolBar* libraryBar = createPanelToolBar({12, 14, 13}, QSize(16, 18));
    createMenus();
    libraryPanel = createPanel(libraryBar, libraryView, tr("Bibliothèque des pistes"));
    QToolBar* structureBar = createPanelToolBar({16, 19, 18}, QSize(20, 18));
    QWidget* structurePanel = createPanel(structureBar, structureView, tr("Structure"));

    QSplitter* page0 = pageSplitter({libraryPanel, structurePanel}, {130, 500}, StructSplitterStyle, this);

    auto* page4 = new QWidget(this);

    for (QWidget* page : {static_cast<QWidget*>(page0), rulesPage, static_cast<QWidget*>(page2),
                          static_cast<QWidget*>(page3), page4})
        workspace->addCentralWidget(page);
    // The first page's own style sheets go on once it sits in its frame: set earlier, each move
    // of the page (into its panel, its splitter, its frame) would polish their trees again.
    structureView->setStyleSheet(TreeStyle);
    for (QToolBar* bar : {libraryBar, structureBar})
        bar->setStyleSheet(ToolBarStyle);
    for (QWidget* panel : {libraryPanel, structurePanel})
        panel->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)->setStyleSheet(CaptionStyle);
    resetUI();
    setWindowTitle(params->getSoftName());
}

void ZazuzoziZadiviDU::followTreeExpansion(KDragDropTreeView* elementTree)
{
    connect(elementTree, qOverload<QString>(&KDragDropTreeView::collapsed), this, &ZazuzoziZadiviDU::collapse_slot);
    connect(elementTree, qOverload<QString>(&KDragDropTreeView::expanded), this, &ZazuzoziZadiviDU::expand_slot);
    connect(this, &ZazuzoziZadiviDU::collapsed, elementTree, qOverload<const QString&>(&KDragDropTreeView::collapse));
    connect(this, &ZazuzoziZadiviDU::expanded, elementTree, qOverload<const QString&>(&KDragDropTreeView::expand));
}

void ZazuzoziZadiviDU::ensurePage(int index)
{
    if (index == RulesTab && !excluWidget)
        buildRulesPage();
    else if (index == RuleMixingTab && !preMixView)
        buildRuleMixingPage();
    else if (index == MixEditorTab && !mixView)
        buildMixEditorPage();
    else if (index == ExportTab && !exportPage)
        buildExportPage();
}

void ZazuzoziZadiviDU::buildRulesPage()
{
    excluWidget = new ExcluWidget(this);
    connect(this, &ZazuzoziZadiviDU::newKOFile, excluWidget, &ExcluWidget::setKFile);
    if (document)
        excluWidget->setKFile(document);
    workspace->replacePage(RulesTab, excluWidget);
}

void ZazuzoziZadiviDU::buildRuleMixingPage()
{
    preMixView = new PreMixView(nullptr, this);
    preMixView->setCreateRuleAction(controller->getAction(7));
    connect(this, &ZazuzoziZadiviDU::newKOFile, preMixView, &PreMixView::setKFile);
    KDragDropTreeView* preMixTree = preMixView->getKDragDropTV();
    preMixTree->setAcceptDrops(false);
    preMixTree->setHeaderHidden(true);
    followTreeExpansion(preMixTree);
    if (!language.isEmpty())
        preMixView->setPixmapPath(language);
    QSplitter* page2 = pageSplitter({preMixView}, {120, 500}, PageSplitterStyle, this);
    if (document) {
        preMixView->setKFile(document);
        // The tree opens its branches as the structure tree shows them.
        preMixTree->followExpansion(structureView->names());
    }
    workspace->replacePage(RuleMixingTab, page2);
}

void ZazuzoziZadiviDU::buildMixEditorPage()
{
    mixView = new MixViewUI(nullptr, nullptr, this);
    mixView->setObjectName("mixEditor");
    mixView->setCreateTovixAction(controller->getAction(15));
    connect(this, &ZazuzoziZadiviDU::newKOFile, mixView, &MixViewUI::setKFile);
    connect(params, &SonaricParams::useCnsttSelectionChanged, mixView, &MixViewUI::setConstraintsUse);
    connect(params, &SonaricParams::useCnsttLevelChanged, mixView, &MixViewUI::setMixRules);
    mixView->setConstraintsUse(params->getUseCnsttSelection());
    mixView->setMixRules(params->getUseCnsttLevel());
    KCheckableTreeView* mixTree = mixView->getKCheckableTV();
    mixTree->setHeaderHidden(true);
    mixTree->setFont(windowFont);
    SItemSkinOptions skin;
    skin.text = tr("Ma musique");
    mixTree->setSkinOptions(skin);
    connect(mixTree, qOverload<QString>(&KCheckableTreeView::collapsed), this, &ZazuzoziZadiviDU::collapse_slot);
    connect(mixTree, qOverload<QString>(&KCheckableTreeView::expanded), this, &ZazuzoziZadiviDU::expand_slot);
    connect(this, &ZazuzoziZadiviDU::collapsed, mixTree, qOverload<const QString&>(&KCheckableTreeView::collapse));
    connect(this, &ZazuzoziZadiviDU::expanded, mixTree, qOverload<const QString&>(&KCheckableTreeView::expand));
    if (!language.isEmpty())
        mixView->setPixmapPath(language);
    QSplitter* page3 = pageSplitter({mixView}, {100, 700}, PageSplitterStyle, this);
    if (document) {
        mixView->setKFile(document);
        mixTree->followExpansion(structureView->names());
    }
    // The editor starts at its first step once a project has been opened or made.
    if (mixEditorStarted)
        mixView->initUI();
    workspace->replacePage(MixEditorTab, page3);
}

MixViewUI* ZazuzoziZadiviDU::getMixView() const
{
    const_cast<ZazuzoziZadiviDU*>(this)->ensurePage(MixEditorTab);
    return mixView;
}

PreMixView* ZazuzoziZadiviDU::getPreMixView() const
{
    const_cast<ZazuzoziZadiviDU*>(this)->ensurePage(RuleMixingTab);
    return preMixView;
}

void ZazuzoziZadiviDU::buildExportPage()
{
    auto* page4 = new QWidget(this);
    auto* exportGrid = new QGridLayout(page4);
    exportPage = new ExportUI(page4);
    exportPage->setObjectName("exportPage");
    connect(exportPage, &ExportUI::exported, this, &ZazuzoziZadiviDU::export_slot);
    exportGrid->addWidget(exportPage, 0, 0);
    exportGrid->setColumnStretch(0, 0);
    exportGrid->setColumnStretch(1, 10);
    exportGrid->setRowStretch(0, 0);
    exportGrid->setRowStretch(1, 10);
    // The song metadata panel lives as long as the window; the export page shows it.
    projectProp = new ProjectPropUI(this);
    exportGrid->addWidget(projectProp, 1, 0);
    projectProp->init();
    if (metadataShown && document)
        projectProp->setMediaSong(document);
    workspace->replacePage(ExportTab, page4);
}

ProjectPropUI* ZazuzoziZadiviDU::getProjectProp() const
{
    const_cast<ZazuzoziZadiviDU*>(this)->ensurePage(ExportTab);
    return projectProp;
}

ExportUI* ZazuzoziZadiviDU::getExportPage() const
{
    const_cast<ZazuzoziZadiviDU*>(this)->ensurePage(ExportTab);
    return exportPage;
}

QToolBar* ZazuzoziZadiviDU::createPanelToolBar(const QList<int>& ids, const QSize& iconSize)
{
    auto* bar = new QToolBar(this);
    for (int id : ids)
        bar->addAction(controller->getAction(id));
    bar->setIconSize(iconSize);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

QWidget* ZazuzoziZadiviDU::createPanel(QToolBar* toolBar, QWidget* view, const QString& caption)
{
    auto* panel = new QWidget(this);
    auto* box = new QVBoxLayout(panel);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    auto* label = new QLabel(caption, panel);
    label->setFont(QFont("Tahoma", 14, QFont::Normal));
    label->setAlignment(Qt::AlignCenter);
    box->addWidget(toolBar);
    box->addWidget(view);
    box->addWidget(label);
    return panel;
}

void ZazuzoziZadiviDU::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setFont(windowFont);
    bar->setStyleSheet(MenuBarStyle);
    // -1 stands for a separator.
    const auto fill = [this](QMenu* menu, const QList<int>& ids) {
        for (int id : ids) {
            if (id < 0)
                menu->addSeparator();
            else
                menu->addAction(controller->getAction(id));
        }
    };
    fill(bar->addMenu(tr("Fichier")), {0, 1, -1, 4, -1, 2, 3, -1, 5});
    projectMenu = bar->addMenu(tr("Projet"));
    fill(projectMenu, {12, -1, 16, -1, 15, -1, 20});
    viewMenu = bar->addMenu(tr("Affichage"));
    fill(viewMenu, {23, 26, 27});
    fill(bar->addMenu(tr("Outils")), {36, 37, 38});
    fill(bar->addMenu(tr("?")), {35, -1, 10, 9, -1, 33, 34, 11});
}

void ZazuzoziZadiviDU::addCreateRuleMenu()
{
    projectMenu->addAction(controller->getAction(7));
    projectMenu->addSeparator();
}

void ZazuzoziZadiviDU::addConstraintsProjectMenu()
{
    projectMenu->addAction(controller->getAction(22));
    projectMenu->addAction(controller->getAction(21));
    projectMenu->addSeparator();
}

void ZazuzoziZadiviDU::addConstraintsViewMenu()
{
    viewMenu->addAction(controller->getAction(25));
}

void ZazuzoziZadiviDU::changeLanguage(const QString& code)
{
    language = code;
    if (preMixView)
        preMixView->setPixmapPath(code);
    if (mixView)
        mixView->setPixmapPath(code);
}

QString ZazuzoziZadiviDU::getCurPrjName() const
{
    return document ? document->getTitle() : QString();
}

bool ZazuzoziZadiviDU::hasTrack() const
{
    return document && !document->getTrackNames().isEmpty();
}

bool ZazuzoziZadiviDU::hasTrackInStructure() const
{
    if (!document)
        return false;
    // Imported tracks wait in the import group until they are placed in the structure.
    const QStringList waiting = document->getSubElt(KObjFile::ImportAudioGrpName);
    const QStringList tracks = document->getTrackNames();
    return std::any_of(tracks.begin(), tracks.end(),
                       [&waiting](const QString& name) { return !waiting.contains(name); });
}

void ZazuzoziZadiviDU::setCurrentTab(int index)
{
    workspace->setCurrentTab(index);
}

int ZazuzoziZadiviDU::currentTab() const
{
    return workspace->currentTab();
}

void ZazuzoziZadiviDU::stopPlayers()
{
    if (preMixView)
        preMixView->getMiniPlayer()->stop();
    if (mixView)
        mixView->getMiniPlayer()->stop();
}

KAudioFilePlayer* ZazuzoziZadiviDU::getKAFPlayer() const
{
    return getMixView()->getMiniPlayer()->getKAFPlayer();
}

bool ZazuzoziZadiviDU::grpNameIsValid(const QString& name) const
{
    return !name.trimmed().isEmpty() && document && !document->isElement(name);
}

bool ZazuzoziZadiviDU::isValidMixName(const QString& name) const
{
    return !name.trimmed().isEmpty() && document && !document->getMixNames().contains(name);
}

bool ZazuzoziZadiviDU::createMixRule()
{
    getPreMixView()->createRule();
    return true;
}

bool ZazuzoziZadiviDU::createTovix()
{
    return getMixView()->createMix();
}

void ZazuzoziZadiviDU::setSavedProject(bool isSaved)
{
    saved = isSaved;
    refreshWindowTitle(saved);
}

void ZazuzoziZadiviDU::setUnsavedProject()
{
    setSavedProject(false);
}

void ZazuzoziZadiviDU::refreshWindowTitle(bool isSaved)
{
    setWindowTitle(titleFor(projectPath, isSaved, params->getSoftName()));
}

void ZazuzoziZadiviDU::setProjectCommandsEnabled(bool enabled)
{
    centralWidget()->setEnabled(enabled);
    for (int id : {2, 20, 3, 4})
        controller->getAction(id)->setEnabled(enabled);
    viewMenu->setEnabled(enabled);
    projectMenu->setEnabled(enabled);
}

void ZazuzoziZadiviDU::resetUI()
{
    libraryView->reset();
    workspace->setCurrentTab(0);
    metadataShown = false;
    if (projectProp)
        projectProp->init();
    setProjectCommandsEnabled(false);
    setWindowTitle(params->getSoftName());
}

void ZazuzoziZadiviDU::initUIForOpenedProject()
{
    DlgOpenSonaric::closeWindow();
    setProjectCommandsEnabled(true);
    mixEditorStarted = true;
    if (mixView)
        mixView->initUI();
}

void ZazuzoziZadiviDU::updateUI()
{
    libraryView->modelLayoutChanged();
    structureView->expandAll();
    if (preMixView) {
        preMixView->getKDragDropTV()->expandAll();
        preMixView->setKFile(document);
    }
    const QStringList mixes = document->getMixNames();
    if (!mixes.isEmpty())
        if (mixView)
            mixView->currentMixChanged(mixes.first());
    initUIForOpenedProject();
    metadataShown = true;
    if (projectProp)
        projectProp->setMediaSong(document);
}

void ZazuzoziZadiviDU::changeViewIntermed(int index)
{
    changeViewMenu(index);
}

void ZazuzoziZadiviDU::changeViewMenu(int index)
{
    // A tab change alone leaves the saved state as it is: only edits mark the project modified.
    ensurePage(index);
    stopPlayers();
    // Leaving the mix editor stores the open mix's unsaved changes while the elements still
    // hold them.
    if (index != 3)
        if (mixView)
            mixView->currentMixChanged(QString());
    // A rule half-edited on the mixing-rules page is kept or given up now (the console asks),
    // and every element goes back to its stored play status, so that the levels and statuses
    // of an edit left behind never stay in the project.
    if (preMixView)
        preMixView->getSuperUI()->checkSaveForModidf();
    if (document)
        document->resetEltsStatus();
    // That reset is no change of the mix the mix editor shows.
    if (mixView)
        mixView->setSaveCheck(false);
    // Only the console of the page shown follows the document's edits: the mixing-rules console
    // needs them to add the strips dropped on an open rule and to show moved levels. The rules
    // page keeps the connections as they are.
    if (index == 0 || index == 2 || index == 3 || index == ExportTab) {
        if (mixView)
            mixView->getSuperUI()->activeExternConnections(index == 3);
        if (preMixView)
            preMixView->getSuperUI()->activeExternConnections(index == 2);
    }
    // Entering the mix editor reopens the mix it shows.
    if (index == 3)
        mixView->openMix();
    workspace->viewWidget(index);
    if (index == ExportTab && document) {
        exportPage->setCurrentIndex(0);
        exportPage->setAvailableRates(document->getTracksRates());
        exportPage->setAvailableMix(document->getMixNames());
    }
}

void ZazuzoziZadiviDU::setListViewVisible(bool)
{
}

void ZazuzoziZadiviDU::setElementPropVisible(bool)
{
}

void ZazuzoziZadiviDU::beforeClosing()
{
}

void ZazuzoziZadiviDU::listView_visibilityChanged(bool visible)
{
    controller->getAction(6)->setChecked(visible);
}

void ZazuzoziZadiviDU::eltProp_visibilityChanged(bool visible)
{
    controller->getAction(8)->setChecked(visible);
}

void ZazuzoziZadiviDU::collapse_slot(const QString& name)
{
    emit collapsed(name);
}

void ZazuzoziZadiviDU::expand_slot(const QString& name)
{
    emit expanded(name);
}

void ZazuzoziZadiviDU::closeEvent(QCloseEvent* event)
{
    if (document && !saved) {
        const auto answer = KPrompt::question(
            this, tr("Quitter"), tr("Voulez-vous sauvegarder votre projet avant de quitter ?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !saveProject(true))) {
            event->ignore();
            return;
        }
    }
    event->accept();
    closing = true;
    DlgOpenSonaric::closeWindow();
}

void ZazuzoziZadiviDU::setPropWidget(int mode)
{
    if (mode != 0)
        return;
    // The library's selection, else the element current in the structure tree.
    QStringList names = selectedLibraryTracks();
    const QString current = currentTreeElement();
    clearLibrarySelection();
    structureView->clearSelection();
    if (names.isEmpty() && !current.isEmpty())
        names << current;
    auto* panel = new EltPropUI(document, this);
    panel->setElement(names);
    DlgProperty dialog(this);
    dialog.setWindowTitle(tr("Propriétés de la piste"));
    dialog.setCentralWidget(panel);
    KPrompt::exec(&dialog);
    panel->stop();
    dialog.close();
    delete panel;
}

namespace {
// The file chooser's filter for project files, with its description.
QString projectFilter()
{
    return ZazuzoziZadiviDU::tr("Projets Tovra Sonaric") + " (*.tvprj *.kpr)";
}
const QString IgnoreAudio = "::ignore_audio::";

// Every "FILE" node of the tree, in document order.
void collectFileNodes(XmlObjectStruct* node, QList<XmlObjectStruct*>& found)
{
    if (!node)
        return;
    if (node->name && std::strcmp(node->name, "FILE") == 0)
        found << node;
    for (int i = 0; i < node->count; ++i)
        collectFileNodes(node->children[i], found);
}
} // namespace

bool ZazuzoziZadiviDU::askToSave(const QString& title)
{
    const auto answer = KPrompt::warning(this, title, tr("Voulez-vous enregistrer votre projet Tovra ?"),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::Yes);
    if (answer == QMessageBox::Cancel)
        return false;
    return answer != QMessageBox::Yes || saveProject(true);
}

void ZazuzoziZadiviDU::installDocument(KCtrlFile* replacement)
{
    if (document) {
        emit newKOFile(nullptr);
        KCtrlFile* old = document;
        document = nullptr;
        delete old;
    }
    document = replacement;
    if (document)
        emit newKOFile(document);
}

void ZazuzoziZadiviDU::createFileObj()
{
    installDocument(new KCtrlFile(this));
}

bool ZazuzoziZadiviDU::newProject(bool ask)
{
    workspace->show();
    if (ask && document && !saved && !askToSave(tr("Nouveau projet")))
        return false;
    closeProject(false);
    initUIForOpenedProject();
    createFileObj();
    projectPath.clear();
    setSavedProject(true);
    return true;
}

bool ZazuzoziZadiviDU::openProject(bool ask)
{
    workspace->show();
    if (ask && document && !askToSave(tr("Ouvrir un projet")))
        return false;
    return openProject(-1);
}

bool ZazuzoziZadiviDU::openProject(int recent)
{
    QString path = recent >= 0 ? params->getRecentPathPrj(recent) : QString();
    if (path.isEmpty())
        path = KPrompt::getOpenFileName(this, tr("Ouvrir un projet"), params->getLastPrjDirectory(),
                                        projectFilter());
    if (path.isEmpty()) {
        // The open project, if any, stays: it is closed only once another file was chosen.
        if (!document) {
            workspace->hide();
            openStartDialog();
        }
        return false;
    }
    params->setLastPrjDirectory(QFileInfo(path).absolutePath());
    if (!openTovraProject(path)) {
        KPrompt::critical(this, tr("Ouvrir un projet"), tr("Erreur : impossible d'ouvrir le projet !"));
        // Without a project the start dialog offers the other ways in, as after a cancelled
        // chooser; the window is never left empty.
        if (!document) {
            workspace->hide();
            openStartDialog();
        }
        return false;
    }
    params->setRecentPrj(QFileInfo(path).completeBaseName(), QFileInfo(path).absoluteFilePath());
    return true;
}

bool ZazuzoziZadiviDU::openTovraProject(const QString& path)
{
    KXml description(TovraOLib::readStreamFromFile(path));
    if (description.isNull() || !checkAudioPath(&description))
        return false;
    const QString header = description.getHeader();
    if (header != "SONARIC_PRO_PROJECT" && header != "SONARIC_PROJECT")
        return false;

    // Loaded aside, so that a refused file leaves the open project as it was.
    auto* loaded = new KCtrlFile(this);
    bool done = false;
    for (const QString engineHeader : {"TOVRA-2.0", "TOVRA"}) {
        std::unique_ptr<KXml> node(description.getOXmlField({header, engineHeader}, QString()));
        if (node && !node->isNull() && loaded->loadFromXmlObj(node.get())) {
            done = true;
            break;
        }
    }
    if (!done) {
        delete loaded;
        KPrompt::critical(this, tr("Erreur"), tr("Impossible d'ouvrir le projet !"));
        return false;
    }
    // Qt's tree views lay out nested rows recursively: a project nested deeper than they can
    // show is refused before any view sees it.
    const int depth = loaded->getTreeDepth();
    if (depth > MaxShownDepth) {
        delete loaded;
        KPrompt::critical(this, tr("Erreur"),
                          tr("Ce projet imbrique ses groupes sur %1 niveaux ; l'éditeur en montre au plus %2.")
                              .arg(depth)
                              .arg(MaxShownDepth));
        return false;
    }
    stopPlayers();
    installDocument(nullptr);
    projectPath.clear();
    resetUI();
    installDocument(loaded);
    workspace->show();
    updateUI();
    projectPath = path;
    // A relocated or dropped audio file is a change the file on disk does not hold yet.
    setSavedProject(!audioPathsChanged);
    return true;
}

bool ZazuzoziZadiviDU::checkAudioPath(KXml* description)
{
    audioPathsChanged = false;
    QList<XmlObjectStruct*> files;
    collectFileNodes(description->getXmlObj(), files);
    KCheckAudioDlg dialog(this);
    dialog.setModal(true);
    dialog.setAudioDir(params->getLastImportDirectory());
    dialog.setFilter(params->getAudioFileFilter(), params->getAudioStreamFilter());
    for (XmlObjectStruct* node : files) {
        const QString file = AppServices::KStringToQString(node->text);
        // A track already without audio is not asked about again; an empty path is missing.
        if (file == IgnoreAudio || (!file.isEmpty() && QFileInfo::exists(file)))
            continue;
        dialog.setTrack(QString(), file);
        KPrompt::exec(&dialog);
        const QString replacement = dialog.getClick() ? dialog.getAudioFile() : IgnoreAudio;
        // Replaced by node, not by text: two tracks naming the same missing file are asked
        // about one by one, and a node with an empty text is never confused with another.
        char* old = node->text;
        node->text = AppServices::QStringToKString(replacement);
        AppServices::freeKString(old);
        audioPathsChanged = true;
        if (dialog.getClick()) {
            params->setLastImportDirectory(QFileInfo(replacement).absolutePath());
            dialog.setAudioDir(params->getLastImportDirectory());
        }
    }
    return true;
}

bool ZazuzoziZadiviDU::saveProject(bool samePath)
{
    if (!document)
        return false;
    if (!samePath || projectPath.isEmpty()) {
        const QString answer = KPrompt::getSaveFileName(this, tr("Sauvegarder un projet"),
                                                        params->getLastPrjDirectory(), projectFilter());
        if (answer.isEmpty())
            return false;
        projectPath = AppServices::addExtIfNec(answer, ".tvprj");
        params->setLastPrjDirectory(QFileInfo(answer).absolutePath());
    }
    if (!saveTovraProject(projectPath)) {
        KPrompt::critical(this, tr("Sauvegarder un projet"), tr("Erreur : impossible de sauvegarder le projet !"));
        return false;
    }
    const QString title = document->getTitle();
    params->setRecentPrj(title.isEmpty() ? QFileInfo(projectPath).completeBaseName() : title, projectPath);
    refreshWindowTitle(true);
    return true;
}

bool ZazuzoziZadiviDU::saveTovraProject(const QString& path)
{
    if (!document)
        return false;
    const bool metadataStored = getProjectProp()->saveMediaSong(document);
    KXml root("SONARIC_PROJECT", QString());
    if (root.isNull())
        return false;
    KXml* engineDescription = document->exportToXmlDesc(false);
    // Once appended, the description's tree belongs to the root; its wrapper is ours to delete.
    const bool added = metadataStored && engineDescription && root.addSubObject(engineDescription);
    delete engineDescription;
    // The container writer replaces the file only once the new one is complete.
    const bool written = added && TovraOLib::writeStreamInFile(root.exportToStream(), path);
    setSavedProject(written);
    return written;
}

bool ZazuzoziZadiviDU::closeProject(bool ask)
{
    if (ask && document && !askToSave(tr("Fermer un projet")))
        return false;
    stopPlayers();
    installDocument(nullptr);
    projectPath.clear();
    resetUI();
    if (ask) {
        workspace->hide();
        openStartDialog();
    }
    return true;
}












void ZazuzoziZadiviDU::openSettingsDialog(int page)
{
    KParamsDlg::open(page, params, this);
}

bool ZazuzoziZadiviDU::checkForUpdate(bool fromMenu)
{
    if (!fromMenu)
        return updatefct(this);
    UpdateLauncher::menuCheck(this);
    return false;
}

void ZazuzoziZadiviDU::openStartDialog()
{
    DlgOpenSonaric::open(this);
}

bool ZazuzoziZadiviDU::isProjectAudioFile(const QString& path) const
{
    const QString target = QFileInfo(path).canonicalFilePath();
    if (!document || target.isEmpty())
        return false;
    const QStringList tracks = document->getTrackNames();
    return std::any_of(tracks.begin(), tracks.end(), [&](const QString& name) {
        return QFileInfo(document->getTrackPath(name)).canonicalFilePath() == target;
    });
}

namespace {
// Every metadata entry of the song, to tell whether storing the Export page changed any.
QStringList songMetadata(const KCtrlFile& document)
{
    return QStringList{document.getTitle(),     document.getAuthor(), document.getAlbum(),
                       document.getCopyright(), document.getStyle(),  QString::number(document.getYear())}
           + document.getOtherMediaInfos();
}
} // namespace

void ZazuzoziZadiviDU::export_slot()
{
    if (!document)
        return;
    ensurePage(ExportTab);
    const QString path = exportPage->getPath();
    // Writing over a file the export reads would ruin both.
    if (isProjectAudioFile(path)) {
        KPrompt::critical(this, tr("Export"),
                          tr("Le fichier de destination est une piste du projet : choisissez un autre fichier !"));
        return;
    }
    KObjProgress progress;
    KStreamFormat* format = KStreamFormat_new();
    format->code = exportPage->getFormat();
    format->channels = 0;
    format->rate = exportPage->getRate();
    format->bits = KAudioFmt_getNumberBits(format->code);
    if ((format->code & KAUDIOFMT_MAJOR_MASK) == KAUDIOFMT_MPEG) {
        tvr_free(format->extra);
        format->extra = static_cast<KStreamExtra*>(tvr_malloc(sizeof(KStreamExtra)));
        if (format->extra) {
            *format->extra = KStreamExtra{};
            format->extra->values[2] = format->code & KAUDIOFMT_SUB_MASK;
        }
    }
    const QString image = ":/Pub/PubExport" + params->getLanguage();
    if (exportPage->exportTovra()) {
        // The container carries the song's metadata as the Export page shows it, saved or not:
        // it is stored here, on the GUI thread, before the worker reads the document. An entry
        // the document refuses ends the export.
        const QStringList metadataBefore = songMetadata(*document);
        const bool metadataStored = projectProp->saveMediaSong(document);
        // What the page stored is now the project's: the author is asked to save it like any
        // other edit.
        if (songMetadata(*document) != metadataBefore)
            setUnsavedProject();
        if (!metadataStored) {
            KStreamFormat_delete(&format);
            KPrompt::critical(this, tr("Export en Tovra"),
                              tr("L'export en Tovra a échoué !") + "\n"
                                  + tr("Les propriétés du morceau n'ont pas pu être enregistrées : chaque propriété a besoin d'un nom et d'une valeur."));
            return;
        }
        KObjFile::EDefMix policy = KObjFile::DefMixNone;
        if (exportPage->getExportMode() != ExportUI::ModeMixes)
            policy = exportPage->getRandomMix() ? KObjFile::DefMixPlain : KObjFile::DefMixAllTracks;
        ExportThread thread(path, format, &progress, policy, document, this);
        DlgProgBar::open(false, &thread, tr("Export en Tovra"), tr("Export en Tovra terminé avec succès."),
                         tr("L'export en Tovra a échoué !"), this, image);
    } else {
        const QString mix = exportPage->getSelectedMix();
        ExportTovixThread thread(mix, path, format, &progress, document, this);
        DlgProgBar::open(false, &thread, tr("Export d'un Tovix"),
                         tr("Export de l'Tovix \"") + mix + tr("\" terminé avec succès."),
                         tr("L'export de l'Tovix \"") + mix + tr("\" a échoué !"), this, image);
    }
    // Releases the extra record with the format.
    KStreamFormat_delete(&format);
}


void ZazuzoziZadiviDU::colorSelection_slot(const QString& name, const QPoint& position)
{
    if (!document || !document->contains(name))
        return;
    const QColor chosen = KColorBoxDlg::open(elementPalette(), QSize(300, 30), position, 0.09,
                                             structureView, document->getEltColor(name));
    // A dismissed box answers an invalid colour and changes nothing.
    if (!chosen.isValid())
        return;
    setUnsavedProject();
    setElementColour(name, chosen);
    // The trees read the colours when they paint.
    structureView->viewport()->update();
    if (preMixView)
        preMixView->getKDragDropTV()->viewport()->update();
}

