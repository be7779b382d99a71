#pragma once

#include <QString>

#include <memory>

#include <csignal>
#include <sys/types.h>

// A private jackd for one test program (dummy driver, 48 kHz, periods of 256 frames or as given)
// under a name of its own, which this process's libjack clients then use.
class JackTestServer {
public:
    explicit JackTestServer(int periodFrames = 256);
    ~JackTestServer();

    // Starts jackd and waits until it answers; false (with errorText()) when it cannot start.
    bool start();
    // SIGTERM, then waits for jackd to exit.
    void stop() { end(SIGTERM); }
    // SIGKILL, as if the server crashed; leaves its files behind as a crash does. Other test
    // programs wait to start servers until this one has started its next.
    void kill();

    bool isRunning() const { return m_pid > 0; }
    QString errorText() const { return m_errorText; }

    // Under CI a server that cannot start fails the test instead of skipping it.
    static bool mustRun() { return qgetenv("CI") == "true"; }
    // The jackd processes on this machine, or only those this process started.
    static int runningServers(bool ownOnly);

private:
    class StartLock;

    // Sends signal, then waits for jackd to exit (SIGKILL after a generous limit).
    void end(int signal);

    std::unique_ptr<StartLock> m_lock;
    pid_t m_pid = -1;
    int m_periodFrames;
    QString m_name;
    QString m_errorText;
};

// Skips the test, or fails it under CI, when no JACK server could be started.
#define TULVAR_REQUIRE_JACK(server)                                                                  \
    do {                                                                                             \
        if (!(server).isRunning()) {                                                                 \
            if (JackTestServer::mustRun()) {                                                         \
                QFAIL(qPrintable("jackd must run under CI: " + (server).errorText()));               \
            }                                                                                        \
            QSKIP(qPrintable("no JACK server could be started: " + (server).errorText()));           \
        }                                                                                            \
    } while (false)
