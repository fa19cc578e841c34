// Started by bench_editor: builds either the editor (its whole start-up, without a project) or
// a plain QMainWindow with as many menus, tool bars and tab pages, offscreen, and ends at the
// first paint of the main window. On its way out it writes its peak resident memory on the
// standard output ("maxrss_kb=<n>").
#include "AppPaths.h"
#include "KTheme.h"
#include "SonaricParams.h"
#include "SonaricStartup.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QToolBar>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

namespace {
// Ends the program once the first main window has painted: every dialog (the editor's start
// dialog runs its own modal loop before the application's) is rejected as soon as it shows, and
// the main windows are closed, so that each start-up returns through its ordinary way out.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QMainWindow*>(watched) && !seen) {
            seen = true;
            QMetaObject::invokeMethod(this, &FirstPaint::closeEverything, Qt::QueuedConnection);
        } else if (seen && event->type() == QEvent::Show && qobject_cast<QDialog*>(watched)) {
            QMetaObject::invokeMethod(this, &FirstPaint::closeEverything, Qt::QueuedConnection);
        }
        return false;
    }
    bool seen = false;

private:
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
    std::atexit([] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("maxrss_kb=%ld\n", usage.ru_maxrss);
        std::fflush(stdout);
    });
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
