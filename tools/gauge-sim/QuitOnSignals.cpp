#include "QuitOnSignals.h"

#include "error/PlatformError.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace sonmetra::sim {

namespace {

int wakeUp[2] = {-1, -1}; // [0] written by the handler, [1] read by the event loop

// Only async-signal-safe work here. A write that fails finds the socket full, so a wake-up is
// pending already.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[0], &byte, 1);
}

} // namespace

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeUp) != 0)
        throw PlatformError(QStringLiteral("Cannot watch for signals: %1")
                                .arg(QString::fromLocal8Bit(strerror(errno))));
    notifier = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(wakeUp[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

QuitOnSignals::~QuitOnSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    notifier->setEnabled(false);
    ::close(wakeUp[0]);
    ::close(wakeUp[1]);
    wakeUp[0] = wakeUp[1] = -1;
}

} // namespace sonmetra::sim
