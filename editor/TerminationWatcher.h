// Turns SIGTERM (a logout, a plain `kill`) into an action on the GUI thread. The signal handler
// only writes one byte into a socket pair; a socket notifier reads it in the event loop and runs
// the action there, where the whole of Qt may be used. While a watcher lives it owns SIGTERM;
// the handler found before is put back when it goes. One watcher at a time.
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

    // False when the pipe or the handler could not be installed: SIGTERM then acts as before.
    bool isActive() const { return active; }

private:
    static void handleSignal(int);
    void readSignal();

    std::function<void()> action;
    QSocketNotifier* notifier = nullptr;
    struct sigaction previous {};
    bool active = false;
};

#endif
