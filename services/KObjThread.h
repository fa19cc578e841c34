// Base of every worker thread: the worker borrows a progress object, tests keepRunning between
// steps and ends its run() by emitting exactly one of success() or failure(). Workers stop
// cooperatively; no thread is ever terminated. A run() that returns without reporting is
// reported as a failure.
//
// Destruction contract: a subclass destructor calls stopAndWait() first, so that run() has
// ended before any member it may use is destroyed. The base destructor cannot do it in time
// (subclass members are already gone when it runs); a debug build aborts there when the
// thread still runs, a release build stops and waits as a last resort.
#ifndef KOBJ_THREAD_H
#define KOBJ_THREAD_H

#include <QThread>

#include <atomic>

class KObjProgress;

class KObjThread : public QThread
{
    Q_OBJECT

public:
    KObjThread(KObjProgress* progress, QObject* parent = nullptr);
    ~KObjThread() override;

    // Asks a worker that still runs to stop and waits for it to end (at once when not running).
    void stopAndWait();

    // The borrowed progress record the worker writes; read by whoever shows its progress.
    KObjProgress* getProgress() const { return progress; }

signals:
    void success();
    void failure();

public slots:
    // Clears keepRunning (called directly from the GUI thread), then ends the thread's event
    // loop if it runs one. Hides QThread::quit(): call it through a KObjThread pointer.
    void quit();

protected:
    void run() override = 0;

    KObjProgress* progress;         // borrowed, never deleted here
    std::atomic<bool> keepRunning;  // written by the GUI thread, read by the worker

private:
    std::atomic<bool> m_reported;   // run() has emitted success() or failure()
    std::atomic<bool> m_ended;      // the worker's last step has run
};

#endif
