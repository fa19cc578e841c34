#include "KObjThread.h"

KObjThread::KObjThread(KObjProgress* progress, QObject* parent)
    : QThread(parent), progress(progress), keepRunning(true), m_reported(false)
{
    // The worker thread itself runs these: at its start, on its report, and at its end, where
    // a run() that reported nothing (an early return) is turned into a failure.
    connect(this, &QThread::started, this, [this] { m_reported = false; }, Qt::DirectConnection);
    connect(this, &KObjThread::success, this, [this] { m_reported = true; }, Qt::DirectConnection);
    connect(this, &KObjThread::failure, this, [this] { m_reported = true; }, Qt::DirectConnection);
    connect(this, &QThread::finished, this, [this] {
        if (!m_reported.exchange(true))
            emit failure();
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
}

void KObjThread::quit()
{
    keepRunning = false;
    QThread::quit();
}
