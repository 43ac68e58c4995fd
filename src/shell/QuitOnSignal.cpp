#include "QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vog {

namespace {

int wakeUp[2] = {-1, -1};

void onSignal(int)
{
    // Only async-signal-safe work here: the event loop does the rest.
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeUp[1], &byte, 1);
}

} // namespace

void quitOnTerminationSignals()
{
    if (wakeUp[0] >= 0 || ::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char buffer[16];
        while (::read(wakeUp[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(s, &action, nullptr);
}

} // namespace vog
