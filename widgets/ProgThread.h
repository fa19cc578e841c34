// Polls a worker's progress record every 100 ms from its own thread and passes the percentage
// and the message on through queued signals; the worker never touches a widget.
#ifndef PROGTHREAD_H
#define PROGTHREAD_H

#include <QThread>

#include <condition_variable>
#include <mutex>

class KObjProgress;

class ProgThread : public QThread
{
    Q_OBJECT
public:
    explicit ProgThread(KObjProgress* progress);
    ~ProgThread() override;

signals:
    void setProgress(int percent);
    void setText(const QString& text);

public slots:
    // Ends the polling at once, also in the middle of its pause. Any thread.
    void stop();

protected:
    void run() override;

private:
    KObjProgress* m_progress;
    // Standard primitives rather than QWaitCondition, whose hand-over ThreadSanitizer cannot see.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_run = true; // guarded by m_mutex
};

#endif
