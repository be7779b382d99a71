#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QList>

// Runs tulvar-midi-cli as a separate process, as scripts do (for the command-line tests and
// benchmark, which define TULVAR_CLI_PROGRAM).
struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;

    QList<QByteArray> lines() const
    {
        QList<QByteArray> result = out.split('\n');
        if (!result.isEmpty() && result.last().isEmpty()) {
            result.removeLast();
        }
        return result;
    }
};

inline void startCli(QProcess& process, QStringList const& arguments)
{
    process.setProgram(QStringLiteral(TULVAR_CLI_PROGRAM));
    process.setArguments(arguments);
    process.start();
}

// Waits generously: the machine running the tests may be busy.
inline CliRun finishCli(QProcess& process)
{
    CliRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline CliRun runCli(QStringList const& arguments)
{
    QProcess process;
    startCli(process, arguments);
    return finishCli(process);
}

// Until the running monitor or request has its ports open.
inline bool waitUntilListening(QProcess& process)
{
    QByteArray err;
    for (int i = 0; i < 600 && process.state() != QProcess::NotRunning; ++i) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
        if (err.contains("monitoring")) {
            return true;
        }
    }
    return false;
}
