#include "PreMixView.h"

#include "AppServices.h"
#include "KAudioFilePlayer.h"
#include "KCtrlFile.h"
#include "KDragDropTreeView.h"
#include "MiniPlayerUI.h"

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
} // namespace

PreMixView::PreMixView(KCtrlFile* document, QWidget* parent)
    : QWidget(parent)
    , project(document)
    , miniPlayer(new MiniPlayerUI(document, this))
    , tree(new KDragDropTreeView(document, this))
    , ownCreateAction(new QAction(QIcon(":/Img/AddAudio"), tr("Créer ..."), this))
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

    tree->setFont(font());
    tree->setMinimumHeight(TreeMinimumHeight);
    buildLabels(grid);
    miniPlayer->setActiveObject(this);
    grid->addWidget(miniPlayer, 1, 2, 1, 2);
    grid->addWidget(buildSplitter(), 2, 1, 1, 3);
    grid->setRowStretch(0, 10);
    setKFile(document);
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
    splitter->setSizes({120, 500});
    box->addWidget(splitter, 0, 0);
    return container;
}

void PreMixView::setCreateRuleAction(QAction* action)
{
    if (action)
        connect(ownCreateAction, &QAction::triggered, action, &QAction::trigger, Qt::UniqueConnection);
}

bool PreMixView::isActive()
{
    return project && !project->getPlayedTracks().isEmpty();
}

void PreMixView::active()
{
}

void PreMixView::disconnectProject()
{
    if (project)
        disconnect(project, nullptr, this, nullptr);
}

// Called again for the same project after every load: the connections are made once per project.
void PreMixView::setKFile(KCtrlFile* document)
{
    if (project != document)
        disconnectProject();
    project = document;
    tree->setKFile(document);
    miniPlayer->getKAFPlayer()->setKFile(document);
}
