// tulvar-midi-cli end to end: a `monitor` process prints what a `send` process sends to it over a
// private JACK server.
//   BM_CliSendRaw1MiB: `send --raw` of a 1 MiB dump (64 exclusives of 16384 bytes) in 4,096-byte
//     units; the rate of the sending process from start to exit, and how many of the exclusives
//     the monitor missed (must be 0).
//   BM_CliMonitorBurst: `send` of 40,000 three-byte messages as fast as the sender goes; the rate
//     they went out at (above 20,000 a second the monitor is under that load), how many lines the
//     monitor missed (must be 0), and how long after the sender finished the last line was printed.
#include "midi/jack/JackPeerClient.h"
#include "testkit/CliRunner.h"
#include "testkit/JackTestServer.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

JackTestServer& server()
{
    static JackTestServer instance;
    if (!instance.isRunning()) {
        instance.start();
        qputenv("TULVAR_MIDI_BACKEND", "jack");
    }
    return instance;
}

// The monitor's input as the sending process names it.
QString monitorInput()
{
    QProcess list;
    startCli(list, {"list"});
    list.waitForFinished(60000);
    for (QByteArray const& line : list.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 4 && fields.at(0) == "output" && fields.at(2).endsWith(":InputPort")) {
            return QString::fromUtf8(fields.at(2));
        }
    }
    return QString();
}

struct Outcome {
    double sendSeconds = 0;
    double tailSeconds = 0;
    int lines = 0;
    bool ok = false;
};

// Runs a monitor of `count` messages and the sender, both to completion.
Outcome run(QStringList const& sendArguments, int count)
{
    Outcome outcome;
    QProcess monitor;
    // The monitor needs a source to connect to; the peer stays silent, the sender connects to the
    // monitor's input itself.
    JackPeerClient peer("bench-peer");
    startCli(monitor, {"monitor", "--from", peer.sourceName(), "--count", QString::number(count), "--timeout", "30"});
    monitor.waitForStarted();
    if (!waitUntilListening(monitor)) {
        monitor.kill();
        monitor.waitForFinished();
        return outcome;
    }
    const QString destination = monitorInput();
    QProcess sender;
    QElapsedTimer clock;
    clock.start();
    startCli(sender, QStringList{"send", "--to", destination} + sendArguments);
    sender.waitForFinished(300000);
    outcome.sendSeconds = clock.elapsed() / 1000.0;
    QByteArray out;
    while (monitor.state() != QProcess::NotRunning) {
        monitor.waitForReadyRead(10);
        out += monitor.readAllStandardOutput();
    }
    out += monitor.readAllStandardOutput();
    outcome.tailSeconds = clock.elapsed() / 1000.0 - outcome.sendSeconds;
    outcome.lines = int(out.count('\n'));
    outcome.ok = sender.exitCode() == 0 && monitor.exitCode() == 0;
    return outcome;
}

void BM_CliSendRaw1MiB(benchmark::State& state)
{
    if (!server().isRunning()) {
        state.SkipWithError("no JACK server");
        return;
    }
    constexpr int Exclusives = 64;
    QTemporaryDir dir;
    const QString path = dir.filePath("dump.syx");
    QByteArray dump;
    for (int e = 0; e < Exclusives; ++e) {
        QByteArray exclusive(16384, char(e % 128));
        exclusive[0] = char(0xF0);
        exclusive[exclusive.size() - 1] = char(0xF7);
        dump += exclusive;
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(dump);
    file.close();
    Outcome outcome;
    for (auto _ : state) {
        outcome = run({"--raw", "--file", path}, Exclusives);
    }
    state.counters["MiB_per_s"] = outcome.sendSeconds > 0 ? 1.0 / outcome.sendSeconds : 0;
    state.counters["send_s"] = outcome.sendSeconds;
    state.counters["lost"] = Exclusives - outcome.lines;
    if (!outcome.ok) {
        state.SkipWithError("a process failed");
    }
}

void BM_CliMonitorBurst(benchmark::State& state)
{
    if (!server().isRunning()) {
        state.SkipWithError("no JACK server");
        return;
    }
    constexpr int Messages = 40000;
    QTemporaryDir dir;
    const QString path = dir.filePath("burst.syx");
    QByteArray burst;
    for (int i = 0; i < Messages; ++i) {
        burst.append(char(0x90 | (i % 16))).append(char(i % 128)).append(char(i / 16 % 128));
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(burst);
    file.close();
    Outcome outcome;
    for (auto _ : state) {
        outcome = run({"--file", path}, Messages);
    }
    state.counters["messages_per_s"] = outcome.sendSeconds > 0 ? Messages / outcome.sendSeconds : 0;
    state.counters["lost"] = Messages - outcome.lines;
    state.counters["tail_s"] = outcome.tailSeconds;
    if (!outcome.ok) {
        state.SkipWithError("a process failed");
    }
}

} // namespace

BENCHMARK(BM_CliSendRaw1MiB)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CliMonitorBurst)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
