// Base of every worker thread: the worker borrows a progress object, tests keepRunning between
// steps and ends its run() by emitting exactly one of success() or failure(). Workers stop
// cooperatively; no thread is ever terminated. A run() that returns without reporting is
// reported as a failure.
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
    // Asks a worker that still runs to stop and waits for it: destroying a running QThread
    // would abort the program. Subclasses whose run() uses their own members should stop and
    // wait in their own destructor too.
    ~KObjThread() override;

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
};

#endif
