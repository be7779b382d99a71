#include "cli/CliArguments.h"
#include "cli/CliExit.h"
#include "cli/CliMonitor.h"
#include "cli/CliSender.h"
#include "cli/CliSession.h"
#include "support/CommonTexts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

// How often received lines are taken out and printed.
constexpr int PollMilliseconds = 10;
// How long request waits for its answer unless told.
constexpr double DefaultRequestTimeout = 5.0;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

QStringList argumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

void printLine(CliMonitor::Line const& line, bool json)
{
    QByteArray text;
    if (json) {
        const QJsonObject object{{QStringLiteral("line"), QString::fromLatin1(line.shown)},
                                 {QStringLiteral("bytes"), QString::fromLatin1(line.bytes)}};
        text = QJsonDocument(object).toJson(QJsonDocument::Compact);
    } else {
        text = line.shown;
    }
    text.append('\n');
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
}

int runList(CliArguments const& arguments)
{
    CliSession session;
    if (const int status = session.open(arguments.midiBackend)) {
        return status;
    }
    session.list(arguments.json);
    return ExitSuccess;
}

int runSend(CliArguments const& arguments)
{
    QString text;
    if (const int status = CliSender::messageText(arguments.texts, arguments.file, text)) {
        return status;
    }
    CliSession session;
    if (const int status = session.open(arguments.midiBackend)) {
        return status;
    }
    if (const int status = session.openOutput(arguments.to)) {
        return status;
    }
    return CliSender::send(session, text, arguments.raw, arguments.interval, isatty(STDERR_FILENO) == 1);
}

int runMonitor(CliArguments const& arguments)
{
    CliSession session;
    if (const int status = session.open(arguments.midiBackend)) {
        return status;
    }
    CliMonitor monitor(arguments.showTime, arguments.showDetail);
    if (const int status = session.openInput(arguments.from, &CliMonitor::received, &monitor)) {
        return status;
    }
    std::fprintf(stderr, "tulvar-midi-cli: monitoring \"%s\"; Ctrl+C ends\n", qPrintable(arguments.from));

    int printed = 0;
    bool timedOut = false;
    QByteArray exclusives;
    QElapsedTimer silence;
    silence.start();
    auto takeAndPrint = [&]() {
        const QList<CliMonitor::Line> lines = monitor.takeLines();
        for (CliMonitor::Line const& line : lines) {
            if (arguments.count > 0 && printed >= arguments.count) {
                break;
            }
            printLine(line, arguments.json);
            if (line.systemExclusive && !arguments.syxFile.isEmpty()) {
                exclusives.append(CliMonitor::bytesOf(line));
            }
            ++printed;
        }
        if (!lines.isEmpty()) {
            std::fflush(stdout);
            silence.restart();
        }
    };

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
        takeAndPrint();
        if (arguments.count > 0 && printed >= arguments.count) {
            loop.quit();
        } else if (arguments.timeout > 0 && silence.elapsed() >= qint64(arguments.timeout * 1000)) {
            timedOut = true;
            loop.quit();
        } else if (stopRequested) {
            loop.quit();
        }
    });
    poll.start(PollMilliseconds);
    loop.exec();
    poll.stop();
    // What arrived before the port closed is still printed and written.
    session.closeInput();
    takeAndPrint();

    int status = ExitSuccess;
    if (!arguments.syxFile.isEmpty()) {
        QSaveFile file(arguments.syxFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(exclusives) != exclusives.size() || !file.commit()) {
            std::fprintf(stderr, "tulvar-midi-cli: %s: %s\n", qPrintable(arguments.syxFile),
                         qPrintable(file.errorString()));
            status = ExitFailed;
        }
    }
    if (timedOut && arguments.count > 0 && printed < arguments.count) {
        std::fprintf(stderr, "tulvar-midi-cli: %d of %d messages received before the timeout\n", printed,
                     arguments.count);
        status = ExitFailed;
    }
    return status;
}

int runRequest(CliArguments const& arguments)
{
    QString text;
    if (const int status = CliSender::messageText(arguments.texts, QString(), text)) {
        return status;
    }
    CliSession session;
    if (const int status = session.open(arguments.midiBackend)) {
        return status;
    }
    CliMonitor monitor(arguments.showTime, arguments.showDetail);
    if (const int status = session.openInput(arguments.from, &CliMonitor::received, &monitor)) {
        return status;
    }
    if (const int status = session.openOutput(arguments.to)) {
        return status;
    }
    // Anything that came in before the request is not its answer.
    monitor.takeLines();
    if (const int status = CliSender::send(session, text, false, 0, false)) {
        return status;
    }

    const double timeout = arguments.timeout > 0 ? arguments.timeout : DefaultRequestTimeout;
    QElapsedTimer waited;
    waited.start();
    bool answered = false;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
        for (CliMonitor::Line const& line : monitor.takeLines()) {
            if (line.systemExclusive) {
                printLine(line, arguments.json);
                std::fflush(stdout);
                answered = true;
                loop.quit();
                return;
            }
        }
        if (stopRequested || waited.elapsed() >= qint64(timeout * 1000)) {
            loop.quit();
        }
    });
    poll.start(PollMilliseconds);
    loop.exec();
    session.closeInput();
    if (!answered) {
        std::fprintf(stderr, "tulvar-midi-cli: no system exclusive came back within %g seconds\n", timeout);
        return ExitFailed;
    }
    return ExitSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    const CliArguments arguments = CliArguments::parse(argumentList(argc, argv));
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "tulvar-midi-cli: %s\nTry 'tulvar-midi-cli --help'.\n", qPrintable(arguments.error));
        return ExitUsage;
    }
    if (arguments.showHelp) {
        std::fputs(qPrintable(CliArguments::usage()), stdout);
        return ExitSuccess;
    }
    if (arguments.showVersion) {
        std::fputs(qPrintable(QStringLiteral("tulvar-midi-cli (%1) %2\n").arg(ApplicationName, ApplicationVersion)),
                   stdout);
        return ExitSuccess;
    }

    QCoreApplication application(argc, argv);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    switch (arguments.command) {
    case CliArguments::Command::List:
        return runList(arguments);
    case CliArguments::Command::Send:
        return runSend(arguments);
    case CliArguments::Command::Monitor:
        return runMonitor(arguments);
    case CliArguments::Command::Request:
        return runRequest(arguments);
    case CliArguments::Command::None:
        break;
    }
    return ExitUsage;
}
