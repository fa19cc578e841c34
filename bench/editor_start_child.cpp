// Started by bench_editor: builds either the editor (its whole start-up, without a project) or
// a plain QMainWindow with as many menus, tool bars and tab pages, offscreen, and ends at the
// first paint of the main window.
#include "AppPaths.h"
#include "KTheme.h"
#include "SonaricParams.h"
#include "SonaricStartup.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QToolBar>

#include <cstring>

namespace {
// Quits once the first main window has painted.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QMainWindow*>(watched) && !seen) {
            seen = true;
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }
    bool seen = false;
};

int plainWindow()
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
    QApplication app(argc, argv);
    KTheme::apply(app);
    FirstPaint watcher;
    app.installEventFilter(&watcher);
    if (argc > 1 && std::strcmp(argv[1], "plain") == 0)
        return plainWindow();
    AppPaths::setProgramDir(TOVRA_BENCH_PROGRAM_DIR);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, Snc::CompanyName, Snc::ApplicationName)
        .setValue(Snc::SonaricParams + "UpdateSearch", int(SonaricParams::UpdateOnRequest));
    return SonaricStartup::run({});
}
