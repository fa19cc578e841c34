// Waiting in tests for something another thread or the event loop brings about. The deadline is
// generous: it is reached only when the behaviour is wrong, never because the machine is slow.
#ifndef TOVRA_TESTS_POLL_UNTIL_H
#define TOVRA_TESTS_POLL_UNTIL_H

#include <chrono>
#include <thread>

#ifdef QT_TESTLIB_LIB
#include <QTest>
#endif

// How long a test waits for what should happen at once, in milliseconds.
constexpr int kPollDeadlineMs = 20000;

// Checks condition, running step between two checks, until it holds or milliseconds pass; true
// when it holds.
template <typename Condition, typename Step>
bool pollUntilWith(Condition condition, int milliseconds, Step step)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (Clock::now() >= deadline)
            return bool(condition());
        step();
    }
    return true;
}

// Sleeps between the checks: for conditions that other threads make true.
template <typename Condition>
bool pollUntil(Condition condition, int milliseconds = kPollDeadlineMs)
{
    return pollUntilWith(condition, milliseconds,
                         [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); });
}

#ifdef QT_TESTLIB_LIB
// Runs the event loop between the checks: for conditions that queued signals or timers make true.
template <typename Condition>
bool waitUntil(Condition condition, int milliseconds = kPollDeadlineMs)
{
    return pollUntilWith(condition, milliseconds, [] { QTest::qWait(5); });
}
#endif

#endif
