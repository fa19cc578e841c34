#include "TerminationWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// [0] written by the handler, [1] read on the GUI thread; -1 while no watcher lives.
int signalPipe[2] = {-1, -1};
} // namespace

TerminationWatcher::TerminationWatcher(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent), action(std::move(onTerminate))
{
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return;
    struct sigaction handler {};
    handler.sa_handler = &TerminationWatcher::handleSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    const bool term = ::sigaction(SIGTERM, &handler, &previousTerm) == 0;
    const bool interrupt = term && ::sigaction(SIGINT, &handler, &previousInt) == 0;
    if (!interrupt) {
        if (term)
            ::sigaction(SIGTERM, &previousTerm, nullptr);
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignal);
    active = true;
}

TerminationWatcher::~TerminationWatcher()
{
    if (!active)
        return;
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    delete notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

// Async-signal-safe: one write, errno kept for the interrupted code.
void TerminationWatcher::handleSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    if (signalPipe[0] >= 0)
        [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = saved;
}

void TerminationWatcher::readSignal()
{
    char bytes[16];
    // Several signals before the loop ran are one request.
    while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
    }
    if (action)
        action();
}
