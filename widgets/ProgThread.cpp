#include "ProgThread.h"

#include "KObjProgress.h"

#include <chrono>
#include <cmath>

namespace {
constexpr int PollMs = 100;
}

ProgThread::ProgThread(KObjProgress* progress) : QThread(nullptr), m_progress(progress)
{
}

ProgThread::~ProgThread()
{
    stop();
    wait();
    // The poller's last act is releasing the lock; taking it here orders its end before the
    // destruction in a way ThreadSanitizer can see (QThread's own join is inside Qt).
    std::lock_guard<std::mutex> lock(m_mutex);
}

void ProgThread::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_run = false;
    m_wake.notify_all();
}

void ProgThread::run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(PollMs), [this] { return !m_run; });
            if (!m_run)
                return;
        }
        emit setProgress(int(std::trunc(m_progress->getProg() * 100.0)));
        emit setText(m_progress->getMsg());
    }
}
