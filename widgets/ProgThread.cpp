#include "ProgThread.h"

#include "KObjProgress.h"

#include <cmath>

namespace {
constexpr unsigned long PollMs = 100;
}

ProgThread::ProgThread(KObjProgress* progress) : QThread(nullptr), m_progress(progress)
{
}

ProgThread::~ProgThread()
{
    stop();
    wait();
}

void ProgThread::stop()
{
    QMutexLocker lock(&m_mutex);
    m_run = false;
    m_wake.wakeAll();
}

void ProgThread::run()
{
    for (;;) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_run)
                m_wake.wait(&m_mutex, PollMs);
            if (!m_run)
                return;
        }
        emit setProgress(int(std::trunc(m_progress->getProg() * 100.0)));
        emit setText(m_progress->getMsg());
    }
}
