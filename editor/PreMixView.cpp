#include "PreMixView.h"

#include "AppServices.h"
#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KDragDropTreeView.h"
#include "KMasterMix.h"
#include "KSuperUI.h"
#include "MiniPlayerUI.h"
#include "RulesListView.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QSplitter>

namespace {
const char* const LabelStyle = " QLabel { color : #99FF00; min-height : 45px; background : url(:/Img/LabelBar); }";
const char* const SplitterStyle =
    "QSplitter::handle { background : url(:/Img/Splitter); }QSplitter::handle:hover { background: "
    "url(:/Img/SplitterOverPremix);}";
constexpr int LabelWidth = 103;
constexpr int TreeMinimumHeight = 343;
// The vertical pixel origin of each strip's controls in the console.
constexpr int ConsoleOrigin = 184;
} // namespace

PreMixView::PreMixView(KCtrlFile* document, QWidget* parent)
    : QWidget(parent)
    , project(document)
    , console(nullptr)
    , rulesList(nullptr)
    , miniPlayer(nullptr)
    , tree(nullptr)
    , ownCreateAction(new QAction(AppServices::pictureIcon(":/Img/AddAudio"), tr("Créer ..."), this))
{
    setObjectName("PreMixViewClass");
    setWindowTitle("PreMixView");
    auto* outer = new QGridLayout(this);
    outer->setObjectName("gridLayout_4");
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    grid->setObjectName("gridLayout");
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(grid, 0, 0);
    AppServices::setFontParent(this, QApplication::font());

    tree = new KDragDropTreeView(document, this);
    tree->setFont(font());
    tree->setMinimumHeight(TreeMinimumHeight);
    console = new KSuperUI(document, ConsoleOrigin, KVirtualUI::RuleEdit, this);
    console->addAction(ownCreateAction);
    console->setContextMenuPolicy(Qt::ActionsContextMenu);
    console->master()->setMaximumWidth(LabelWidth);

    rulesList = new RulesListView(document, this);
    grid->addWidget(rulesList, 0, 0, 1, 4);
    buildLabels(grid);
    miniPlayer = new MiniPlayerUI(document, this);
    miniPlayer->setActiveObject(this);
    grid->addWidget(miniPlayer, 1, 2, 1, 2);
    grid->addWidget(console->master(), 2, 0);
    grid->addWidget(buildSplitter(), 2, 1, 1, 3);
    grid->setRowStretch(0, 10);
    connectParts();
    setKFile(document);
}

// The console deletes its master section itself, which sits in this page's grid: the console
// goes first, while its master is still there.
PreMixView::~PreMixView()
{
    delete console;
}

void PreMixView::connectParts()
{
    connect(rulesList, &RulesListView::newRule, console, &KSuperUI::newRule_slot);
    connect(rulesList, &RulesListView::switchRule, console, &KSuperUI::switchRule_slot);
    connect(console, &KSuperUI::mustStopPlayer, miniPlayer, &MiniPlayerUI::stop);
    connect(rulesList, &RulesListView::needsSelectItem, console, &KSuperUI::selectItem);
    connect(console, &KSuperUI::needsSwitchToLAstRule, rulesList, &RulesListView::editRule_slot);
    connect(rulesList, &RulesListView::checkSaveForModidf, console, &KSuperUI::checkSaveForModidf);
    connect(console, &KSuperUI::needsRuleListUpdate, rulesList, &RulesListView::updateList_slot);
    connect(rulesList, &RulesListView::saveRule, console, &KSuperUI::saveRule_slot);
    // Queued: the drop finishes before the new rule is asked for.
    connect(console, &KSuperUI::dropWithoutRule, rulesList, qOverload<QStringList>(&RulesListView::newRule_slot),
            Qt::QueuedConnection);
    connect(rulesList, &RulesListView::renameRule, console, &KSuperUI::renameRule_slot);
    connect(rulesList, &RulesListView::removeRule, console, &KSuperUI::removeRule_slot);
    connect(miniPlayer, &MiniPlayerUI::muted, console, &KSuperUI::allMute);
    connect(console, &KSuperUI::mutedState, miniPlayer, &MiniPlayerUI::muteChange);
}

void PreMixView::buildLabels(QGridLayout* grid)
{
    for (int column : {0, 1}) {
        auto* strip = new QLabel(this);
        strip->setStyleSheet(LabelStyle);
        strip->setMaximumWidth(LabelWidth);
        grid->addWidget(strip, 1, column);
    }
    auto* title = new QLabel(tr("   Console de mixage   "), this);
    title->setObjectName("consoleTitle");
    title->setFont(QFont("Tahoma", 14, QFont::Normal));
    title->setStyleSheet(LabelStyle);
    grid->addWidget(title, 1, 0, 1, 2);
}

QWidget* PreMixView::buildSplitter()
{
    auto* container = new QWidget(this);
    auto* box = new QGridLayout(container);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    splitter = new QSplitter(Qt::Horizontal, container);
    splitter->setStyleSheet(SplitterStyle);
    splitter->addWidget(tree);
    splitter->addWidget(console);
    splitter->setSizes({120, 500});
    box->addWidget(splitter, 0, 0);
    return container;
}

void PreMixView::setCreateRuleAction(QAction* action)
{
    rulesList->setCreateRuleAction(action);
    if (action)
        connect(ownCreateAction, &QAction::triggered, action, &QAction::trigger, Qt::UniqueConnection);
}

void PreMixView::createRule()
{
    rulesList->newRule_slot();
}

void PreMixView::setPixmapPath(const QString& path)
{
    console->setPixmapPath(path);
}

bool PreMixView::isActive()
{
    return console->getActiveElementsNb() > 0;
}

void PreMixView::active()
{
    if (project)
        console->updateMasterInfo(project->getMasterPan(), project->getMasterLvl());
}

void PreMixView::disconnectProject()
{
    if (!project)
        return;
    disconnect(project, nullptr, rulesList, nullptr);
    disconnect(console, &KSuperUI::masterPanChanged, project, nullptr);
    disconnect(console, &KSuperUI::masterLvlChanged, project, nullptr);
}

// Called again for the same project after every load: each connection is made once, so the
// meters and the list are not refreshed once more per load.
void PreMixView::setKFile(KCtrlFile* document)
{
    if (project != document)
        disconnectProject();
    project = document;
    tree->setKFile(document);
    console->setKCtrlFile(document);
    rulesList->setKCtrlFile(document);
    KAudioFilePlayer* player = miniPlayer->getKAFPlayer();
    player->setKFile(document);
    connect(player, &KAudioFilePlayer::newStatsView, console, &KSuperUI::updateSliders, Qt::UniqueConnection);
    if (!document)
        return;
    connect(document, &KCtrlFile::reloaded, rulesList, &RulesListView::updateList_slot, Qt::UniqueConnection);
    connect(console, &KSuperUI::masterPanChanged, document, &KCtrlFile::setMasterPan, Qt::UniqueConnection);
    connect(console, &KSuperUI::masterLvlChanged, document, &KCtrlFile::setMasterLvl, Qt::UniqueConnection);
}
