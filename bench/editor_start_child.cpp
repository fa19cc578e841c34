// Started by bench_editor, offscreen, in one of three modes:
//   editor  the editor's whole start-up without a project: splash, main window, start dialog;
//   plain   a plain Qt program doing the same visible work: a QSplashScreen with the same 800x600
//           picture, then a QMainWindow with as many menus, menu entries (with the same icons),
//           tool bars, tool buttons and tab pages as the editor's main window shows at start-up;
//   bare    the older comparison: a bare QMainWindow with a few menus, tool bars and tabs;
//   settings  writes the editor's settings for the timed starts (no update search) and ends.
// Right after the main window's first paint has been flushed it writes "first_paint" with its
// CPU time and peak memory so far on the standard output; it then ends by its ordinary way out
// (the editor once its start dialog has shown) and writes its peak memory again
// ("maxrss_kb=<n>"). Under callgrind the counts are dumped at the first paint, so that the part
// before it can be read apart.
#include "AppPaths.h"
#include "KTheme.h"
#include "SonaricParams.h"
#include "SonaricStartup.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QResource>
#include <QScreen>
#include <QSettings>
#include <QSplashScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

// The splash pictures are compiled into the editor's library; a static library needs them named.
static void initSplashPictures()
{
    Q_INIT_RESOURCE(pictures_SonaricApp);
}

namespace {
double cpuMs(const rusage& usage)
{
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Watches every event: the first paint of a main window is done once the expose or update
// request that painted it returns (the window's own paint event comes before its children's and
// before the flush). Then the program ends: in the editor's mode once its start dialog has shown
// too, by rejecting the dialogs and closing the main windows, so that each start-up returns
// through its ordinary way out.
class WatchedApplication : public QApplication
{
public:
    WatchedApplication(int& argc, char** argv, bool waitForDialog)
        : QApplication(argc, argv), waitForDialog(waitForDialog)
    {
        // Closed from an event loop about to wait, not from events run outside one
        // (QSplashScreen::finish waiting for the window to show would wait until its time-out).
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (reported && !closing && (dialogShown || !this->waitForDialog)) {
                closing = true;
                QMetaObject::invokeMethod(this, &WatchedApplication::closeEverything, Qt::QueuedConnection);
            }
        });
    }

    bool notify(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Paint && !painted && qobject_cast<QMainWindow*>(receiver))
            painted = true;
        if (type == QEvent::Show && qobject_cast<QDialog*>(receiver) &&
            receiver->objectName() == "DlgOpenSonaric")
            dialogShown = true;
        const bool result = QApplication::notify(receiver, event);
        if (painted && !reported && (type == QEvent::Expose || type == QEvent::UpdateRequest))
            report();
        return result;
    }

private:
    void report()
    {
        reported = true;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("first_paint cpu_ms=%.3f maxrss_kb=%ld\n", cpuMs(usage), usage.ru_maxrss);
        std::fflush(stdout);
        CALLGRIND_DUMP_STATS_AT("first paint");
    }

    void closeEverything()
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible())
                dialog->reject();
        }
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMainWindow*>(top) && top->isVisible())
                top->close();
        }
    }

    const bool waitForDialog;
    bool painted = false;
    bool reported = false;
    bool dialogShown = false;
    bool closing = false;
};

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
    initSplashPictures();
    QSplashScreen splash(QPixmap(":/Intern/PubIntroEN"));
    splash.show();
    for (const char* step : {"Loading pictures...", "Pitting the olives...", "Creating the main window..."})
        splash.showMessage(step, Qt::AlignCenter);
    if (!QResource::registerResource(SonaricStartup::imageBundlePath()))
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
    std::atexit([] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("maxrss_kb=%ld\n", usage.ru_maxrss);
        std::fflush(stdout);
    });
    const char* mode = argc > 1 ? argv[1] : "editor";
    const bool editor = std::strcmp(mode, "editor") == 0;
    WatchedApplication app(argc, argv, editor);
    AppPaths::setProgramDir(TOVRA_BENCH_PROGRAM_DIR);
    KTheme::apply(app);
    if (std::strcmp(mode, "plain") == 0)
        return plainWindow();
    if (std::strcmp(mode, "bare") == 0)
        return bareWindow();
    if (std::strcmp(mode, "settings") == 0) {
        // Run once before the timed starts: the editor looks for updates only when asked.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName, Snc::ApplicationName)
            .setValue(Snc::SonaricParams + "UpdateSearch", int(SonaricParams::UpdateOnRequest));
        return 0;
    }
    return SonaricStartup::run({});
}
