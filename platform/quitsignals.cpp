#include "platform/quitsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void onQuitSignal(int number)
{
    // Only async-signal-safe work here: the UI thread does the rest.
    const char byte = char(number);
    if (::write(signalPipe[0], &byte, 1) != 1) {
        // The pipe is full: requests are already waiting.
    }
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    ::fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : Handled)
        ::sigaction(number, &action, nullptr);
}

QuitSignals::~QuitSignals()
{
    for (const int number : Handled)
        std::signal(number, SIG_DFL);
    delete m_notifier;
    for (int &fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void QuitSignals::readSignal()
{
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) != 1)
        return;
    // The next signal is not waited for: if closing hangs, a second one ends the program.
    for (const int number : Handled)
        std::signal(number, SIG_DFL);
    emit quitRequested();
}
