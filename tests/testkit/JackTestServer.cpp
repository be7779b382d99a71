#include "testkit/JackTestServer.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Generous: jackd on a loaded two-core machine under a sanitizer can take seconds to come up.
constexpr auto StartLimit = std::chrono::seconds(60);
constexpr auto StopLimit = std::chrono::seconds(30);

// Starts a program with its output appended to logFile. The child gets SIGTERM when this process
// ends, so a test that crashes does not leave its server running.
pid_t spawn(const QList<QByteArray>& arguments, const QString& logFile)
{
    std::vector<char*> argv;
    for (const QByteArray& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.constData()));
    }
    argv.push_back(nullptr);
    const QByteArray log = logFile.toLocal8Bit();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    // Only async-signal-safe calls between fork and exec.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) {
        _exit(127);
    }
    const int input = open("/dev/null", O_RDONLY);
    const int output = open(log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (input < 0 || output < 0 || dup2(input, 0) < 0 || dup2(output, 1) < 0 || dup2(output, 2) < 0) {
        _exit(127);
    }
    execvp(argv[0], argv.data());
    _exit(127);
}

// A jackd that died without a clean exit leaves entries that make later servers fail.
void removeStaleServerFiles()
{
    QDir shm(QStringLiteral("/dev/shm"));
    const QFileInfoList entries = shm.entryInfoList({QStringLiteral("jack*")}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink()) {
            QDir(entry.absoluteFilePath()).removeRecursively();
        } else {
            QFile::remove(entry.absoluteFilePath());
        }
    }
}
}

// Serialises the check for running servers with the start of ours, across test programs.
class JackTestServer::StartLock {
public:
    StartLock() : m_fd(open("/tmp/tulvar-jack-tests.lock", O_RDWR | O_CREAT, 0666)) { flock(m_fd, LOCK_EX); }
    // Unlocked explicitly: a jackd started meanwhile shares the open file.
    ~StartLock() { flock(m_fd, LOCK_UN); close(m_fd); }

private:
    int m_fd;
};

JackTestServer::JackTestServer(int periodFrames) : m_periodFrames(periodFrames) {}

JackTestServer::~JackTestServer()
{
    stop();
}

int JackTestServer::runningServers(bool ownOnly)
{
    int count = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        // pid (comm) state ppid ...
        const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        count += line.contains("(jackd)") && (!ownOnly || (fields.size() > 1 && fields[1].toInt() == int(getpid())));
    }
    return count;
}

bool JackTestServer::start()
{
    static std::atomic<int> counter{0};
    // Held since kill(), if that came first.
    const std::unique_ptr<StartLock> lock = m_lock ? std::move(m_lock) : std::make_unique<StartLock>();
    // libjack keeps the server registry of the first server it met mapped for the life of the
    // process: once a server ran here, its files must stay.
    static bool serverRanHere = false;
    if (!serverRanHere && runningServers(false) == 0) {
        removeStaleServerFiles();
    }
    serverRanHere = true;
    // A server brought back after kill() keeps its name, as a crashed server restarted would; it
    // also takes over the crashed one's entry in JACK's table of servers, which holds only eight.
    if (m_name.isEmpty()) {
        m_name = QStringLiteral("tulvar-test-%1-%2").arg(getpid()).arg(counter++);
    }
    qputenv("JACK_DEFAULT_SERVER", m_name.toUtf8());
    const QString log = QDir::temp().filePath(m_name + QStringLiteral(".log"));
    QFile::remove(log);
    m_pid = spawn({"jackd", "--no-realtime", "-S", "-t", "5000", "-n", m_name.toUtf8(), "-d", "dummy", "-r", "48000",
                   "-p", QByteArray::number(m_periodFrames)},
                  log);
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    while (m_pid > 0 && std::chrono::steady_clock::now() - started < StartLimit) {
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;  // it gave up: the log says why
            break;
        }
        const pid_t probe = spawn({"jack_lsp", "-s", m_name.toUtf8()}, QStringLiteral("/dev/null"));
        if (probe > 0 && waitpid(probe, &status, 0) == probe && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            return true;
        }
        QThread::msleep(100);
    }
    QFile logFile(log);
    logFile.open(QIODevice::ReadOnly);
    m_errorText = QString::fromLocal8Bit(logFile.readAll()).right(400);
    m_errorText = m_errorText.isEmpty() ? QStringLiteral("cannot run jackd") : m_errorText;
    stop();
    return false;
}

void JackTestServer::kill()
{
    // Until this test starts its next server, no other test may take the crashed server's files
    // for stale and remove them: this process still uses them.
    if (m_pid > 0) {
        m_lock = std::make_unique<StartLock>();
    }
    end(SIGKILL);
}

void JackTestServer::end(int signal)
{
    if (m_pid <= 0) {
        return;
    }
    if (signal == SIGTERM) {
        m_name.clear();
    }
    ::kill(m_pid, signal);
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - start > StopLimit) {
            ::kill(m_pid, SIGKILL);
        }
        QThread::msleep(20);
    }
    m_pid = -1;
}
