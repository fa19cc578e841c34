#include "KObjThread.h"

KObjThread::KObjThread(KObjProgress* progress, QObject* parent)
    : QThread(parent), progress(progress), keepRunning(true), m_reported(false), m_ended(false)
{
    // The worker thread itself runs these: at its start, on its report, and at its end, where
    // a run() that reported nothing (an early return) is turned into a failure.
    connect(this, &QThread::started, this, [this] {
        m_ended.store(false, std::memory_order_relaxed);
        m_reported = false;
    }, Qt::DirectConnection);
    connect(this, &KObjThread::success, this, [this] { m_reported = true; }, Qt::DirectConnection);
    connect(this, &KObjThread::failure, this, [this] { m_reported = true; }, Qt::DirectConnection);
    connect(this, &QThread::finished, this, [this] {
        if (!m_reported.exchange(true))
            emit failure();
        m_ended.store(true, std::memory_order_release);
    }, Qt::DirectConnection);
}

KObjThread::~KObjThread()
{
    if (isRunning()) {
        // Subclass members are destroyed already while run() may still use them.
        Q_ASSERT_X(false, "KObjThread::~KObjThread",
                   "a running worker is destroyed: its subclass destructor must call stopAndWait()");
        stopAndWait();
    }
}

void KObjThread::stopAndWait()
{
    keepRunning = false;
    QThread::quit();
    wait();
    // Pairs with the worker's last store: what the worker did is visible here even to tools
    // that do not see inside QThread::wait().
    (void)m_ended.load(std::memory_order_acquire);
}

void KObjThread::quit()
{
    keepRunning = false;
    QThread::quit();
}
