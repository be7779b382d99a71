#include "app/QuitSignalHandler.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int const QuitSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Read end and write end; the write end is written from the handler only.
int signalPipe[2] = {-1, -1};

void writeSignalNumber(int signalNumber)
{
    int const savedErrno = errno;
    unsigned char const byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request to quit; dropping this one loses nothing.
    [[maybe_unused]] ssize_t const written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void setAction(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

} // namespace

QuitSignalHandler::QuitSignalHandler(QObject* parent)
    : QObject(parent)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignalHandler::readSignal);
    for (int const signalNumber : QuitSignals) {
        setAction(signalNumber, &writeSignalNumber);
    }
}

QuitSignalHandler::~QuitSignalHandler()
{
    if (signalPipe[0] < 0) {
        return;
    }
    for (int const signalNumber : QuitSignals) {
        setAction(signalNumber, SIG_DFL);
    }
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignalHandler::readSignal()
{
    unsigned char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1) {
        emit quitRequested(byte);
    }
}
