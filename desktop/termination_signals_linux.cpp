#include "desktop/termination_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler may only write a byte; everything else happens in the loop.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
    errno = saved;
}
}  // namespace

TTerminationWatcher::TTerminationWatcher(QObject* parent) : QObject(parent)
{
    if (g_signalPipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
            return;
        ::fcntl(g_signalPipe[0], F_SETFL, O_NONBLOCK);
        ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TTerminationWatcher::Drain);

    struct sigaction action { };
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

TTerminationWatcher::~TTerminationWatcher()
{
    struct sigaction action { };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

void TTerminationWatcher::Drain()
{
    unsigned char byte = 0;
    while (::read(g_signalPipe[1], &byte, 1) == 1)
        emit terminationRequested(byte);
}
