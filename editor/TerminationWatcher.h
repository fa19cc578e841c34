// Turns SIGTERM (a logout, a plain `kill`) and SIGINT (Ctrl+C in a terminal) into an action on
// the GUI thread. The signal handler only writes one byte into a socket pair; a socket notifier
// reads it in whichever event loop runs (a modal dialog's too) and runs the action there, where
// the whole of Qt may be used. While a watcher lives it owns both signals; the handlers found
// before are put back when it goes. One watcher at a time.
#ifndef TERMINATIONWATCHER_H
#define TERMINATIONWATCHER_H

#include <QObject>

#include <functional>
#include <signal.h>

class QSocketNotifier;

class TerminationWatcher : public QObject
{
public:
    explicit TerminationWatcher(std::function<void()> onTerminate, QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // False when the pipe or the handlers could not be installed: the signals then act as before.
    bool isActive() const { return active; }

private:
    static void handleSignal(int);
    void readSignal();

    std::function<void()> action;
    QSocketNotifier* notifier = nullptr;
    struct sigaction previousTerm {};
    struct sigaction previousInt {};
    bool active = false;
};

#endif
