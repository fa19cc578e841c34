// Started by bench_editor, offscreen: a plain Qt program doing the visible work of the editor's
// start-up, built the plain way and linking only Qt (no library and no theme of the editor's):
//   plain  a QSplashScreen with the same 800x600 picture, then a QMainWindow with as many menus,
//          menu entries (with the same icons), tool bars, tool buttons and tab pages as the
//          editor's main window shows at start-up;
//   bare   the older comparison: a bare QMainWindow with a few menus, tool bars and tabs.
// Right after the main window's first paint has been flushed it writes "first_paint" with its
// CPU time and peak memory so far, then ends and writes its peak memory again ("maxrss_kb=<n>").
#include "StartChildWatch.h"

#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QResource>
#include <QScreen>
#include <QSplashScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstring>

namespace {
// The editor's command table as its main window shows it at start-up: each menu's entries
// (nullptr = separator) with the picture of those that have one ("" = none).
struct Entry {
    const char* text;
    const char* icon;
};
struct Menu {
    const char* title;
    std::initializer_list<Entry> entries;
};
const Entry Separator{nullptr, nullptr};
const Menu Menus[] = {
    {"File",
     {{"New...", ":/Img/Icon"}, {"Open...", ":/Img/OpenTV"}, Separator, {"Close", ""}, Separator,
      {"Save", ":/Img/Save"}, {"Save as...", ""}, Separator, {"Quit", ""}}},
    {"Project",
     {{"Import", ":/Img/AddAudio"}, Separator, {"Create a group", ":/Img/Create"}, Separator,
      {"Create a mix", ""}, Separator, {"Export", ":/Img/Export"}}},
    {"View",
     {{"Structure tab", ":/Tabs/Struct"}, {"Mix tab", ":/Tabs/Tovix"}, {"Export tab", ":/Tabs/Export"}}},
    {"Tools", {{"General settings", ""}, {"Mix options", ""}, {"Conversion options", ""}}},
    {"?",
     {{"Update", ""}, Separator, {"Help", ""}, {"Forums", ""}, Separator, {"Bug report", ""},
      {"Web site", ":/Img/WebSite"}, {"About", ""}}},
};

QToolBar* toolBar(std::initializer_list<Entry> buttons, const QSize& iconSize)
{
    auto* bar = new QToolBar;
    for (const Entry& button : buttons)
        bar->addAction(QIcon(button.icon), button.text);
    bar->setIconSize(iconSize);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

QWidget* panel(QToolBar* bar, QWidget* view, const QString& caption)
{
    auto* panel = new QWidget;
    auto* box = new QVBoxLayout(panel);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(bar);
    box->addWidget(view);
    box->addWidget(new QLabel(caption));
    return panel;
}

// What the editor's start-up shows before its start dialog, built the plain way.
int plainWindow()
{
    QSplashScreen splash(QPixmap(":/Intern/PubIntroEN"));
    splash.show();
    for (const char* step : {"Loading pictures...", "Pitting the olives...", "Creating the main window..."})
        splash.showMessage(step, Qt::AlignCenter);
    if (!QResource::registerResource(TOVRA_BENCH_IMAGE_BUNDLE))
        return 1;

    QMainWindow window;
    window.setWindowIcon(QIcon(":/Img/SonaricIcon"));
    for (const Menu& menu : Menus) {
        QMenu* shown = window.menuBar()->addMenu(menu.title);
        for (const Entry& entry : menu.entries) {
            if (!entry.text)
                shown->addSeparator();
            else
                shown->addAction(QIcon(entry.icon), entry.text);
        }
    }
    // The strip of five tabs, each page with its own tool bar and help button.
    auto* centre = new QWidget;
    auto* column = new QVBoxLayout(centre);
    auto* tabs = new QTabWidget;
    for (const char* title : {"Structure", "Rules", "Mixing rules", "Mix", "Export"}) {
        auto* page = new QWidget;
        (new QVBoxLayout(page))->addWidget(toolBar({{"What do I do on this page?", ":/Img/Help16"}}, QSize(18, 18)));
        tabs->addTab(page, title);
    }
    column->addWidget(tabs);
    // The first page: the track library beside the structure tree, each under its tool bar.
    auto* library = new QListWidget;
    auto* structure = new QTreeWidget;
    structure->setHeaderHidden(true);
    structure->addTopLevelItem(new QTreeWidgetItem(QStringList{"My music"}));
    auto* splitter = new QSplitter;
    splitter->addWidget(panel(toolBar({{"Import", ":/Img/AddAudio"}, {"Delete", ":/Img/DeleteAudio"},
                                       {"Modify", ":/Img/Customize"}},
                                      QSize(16, 18)),
                              library, "Track library"));
    splitter->addWidget(panel(toolBar({{"Create a group", ":/Img/Create"}, {"Delete a group", ":/Img/Delete"},
                                       {"Modify a group", ":/Img/Customize"}},
                                      QSize(20, 18)),
                              structure, "Structure"));
    splitter->setSizes({130, 500});
    column->addWidget(splitter, 1);
    window.setCentralWidget(centre);
    window.resize(window.screen()->availableSize());
    window.show();
    splash.finish(&window);
    return QApplication::exec();
}

// The older comparison: a bare window without pictures.
int bareWindow()
{
    QMainWindow window;
    for (const char* title : {"File", "Project", "View", "Tools", "?"})
        window.menuBar()->addMenu(title)->addAction("Entry");
    auto* tabs = new QTabWidget(&window);
    for (int i = 0; i < 5; ++i)
        tabs->addTab(new QToolBar(tabs), QString("Page %1").arg(i));
    window.addToolBar("Library")->addAction("Import");
    window.addToolBar("Structure")->addAction("Create");
    window.setCentralWidget(tabs);
    // The editor's size: the screen's.
    window.resize(window.screen()->availableSize());
    window.show();
    return QApplication::exec();
}
} // namespace

int main(int argc, char** argv)
{
    startchild::reportPeakAtExit();
    startchild::WatchedApplication app(argc, argv, nullptr);
    if (argc > 1 && std::strcmp(argv[1], "bare") == 0)
        return bareWindow();
    return plainWindow();
}
