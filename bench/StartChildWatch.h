// Shared by the programs bench_editor starts (the editor's start-up and the plain Qt one): an
// application object that notices the first paint of a main window, writes "first_paint" with
// the CPU time and peak memory so far on the standard output, and then ends the program by its
// ordinary way out. Qt only, so that the plain program links nothing else.
#pragma once

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

namespace startchild {

inline double cpuMs(const rusage& usage)
{
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// Writes the peak memory of the whole run ("maxrss_kb=<n>") when the program ends.
inline void reportPeakAtExit()
{
    std::atexit([] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("maxrss_kb=%ld\n", usage.ru_maxrss);
        std::fflush(stdout);
    });
}

// Watches every event: the first paint of a main window is done once the expose or update
// request that painted it returns (the window's own paint event comes before its children's and
// before the flush). Then the program ends: once the dialog named `dialogName` has shown too
// (when one is named), by rejecting the dialogs and closing the main windows, so that each
// start-up returns through its ordinary way out. Under callgrind the counts are dumped at the
// first paint, so that the part before it can be read apart.
class WatchedApplication : public QApplication
{
public:
    WatchedApplication(int& argc, char** argv, const char* dialogName)
        : QApplication(argc, argv), dialogName(dialogName)
    {
        // Closed from an event loop about to wait, not from events run outside one
        // (QSplashScreen::finish waiting for the window to show would wait until its time-out).
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (reported && !closing && (dialogShown || !this->dialogName)) {
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
        if (type == QEvent::Show && dialogName && qobject_cast<QDialog*>(receiver) &&
            receiver->objectName() == QLatin1String(dialogName))
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

    const char* const dialogName;
    bool painted = false;
    bool reported = false;
    bool dialogShown = false;
    bool closing = false;
};

} // namespace startchild
