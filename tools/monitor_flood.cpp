// Floods the MIDI In monitor through the Loopback service and reports how the window keeps up:
// the lateness of a 100 ms timer on the GUI thread (the main window's monitor timer runs on the
// same event loop), the memory, and whether the newest message is the last line shown.

#include "ToolWindow.h"

#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

long memoryKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int rate = argc > 2 ? std::max(100, atoi(argv[2])) : 20000;

    ToolWindow tool;
    tool.model.setModelIntValue(TimeStampParameterId, 1);
    tool.model.setModelIntValue(MessageDetailParameterId, 1);
    tool.window.show();
    tool.window.initializeSubWindows();
    MidiEditView* monitor = tool.view(MidiEditView::InMonitor);
    const MidiEndpointRef source = tool.source(QStringLiteral("Loopback A"));
    if (monitor == nullptr || source == InvalidPortRef) {
        std::fprintf(stderr, "monitor_flood: no In monitor or no Loopback A source\n");
        return 1;
    }

    const long rssBefore = memoryKilobytes("VmRSS:");
    std::atomic<bool> sending{true};
    std::atomic<long> sent{0};
    // 10 ms steps of rate/100 messages, each its own packet, as a busy device would deliver them.
    std::thread sender([&] {
        const int perStep = rate / 100;
        auto next = std::chrono::steady_clock::now();
        long counter = 0;
        while (sending.load()) {
            QList<QByteArray> packets;
            for (int i = 0; i < perStep; ++i, ++counter) {
                const char message[3] = {char(0x90 | (counter % 16)), char(counter % 128), char(1 + counter % 127)};
                packets.append(QByteArray(message, 3));
            }
            tool.service.injectPackets(source, packets);
            sent += perStep;
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
        }
        // The newest message, recognisable in the monitor.
        tool.service.injectPackets(source, QList<QByteArray>{QByteArray::fromHex("B00755")});
        ++sent;
    });

    std::vector<qint64> gaps;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(100);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        gaps.push_back(now - last);
        last = now;
    });
    probe.start();
    QTimer::singleShot(seconds * 1000, [&] {
        sending = false;
        sender.join();
        probe.stop();
        QTimer::singleShot(500, &app, &QApplication::quit);
    });
    app.exec();

    std::sort(gaps.begin(), gaps.end());
    const qint64 worst = gaps.empty() ? 0 : gaps.back();
    const qint64 p99 = gaps.empty() ? 0 : gaps[std::size_t(double(gaps.size() - 1) * 0.99)];
    const QTextDocument* document = monitor->generalView()->textView()->document();
    const QString lastLine = document->lastBlock().text();
    std::printf("messages sent        %ld in %d s (%d per second)\n", sent.load(), seconds, rate);
    std::printf("timer ticks          %zu; gap between ticks: 99th percentile %lld ms, worst %lld ms "
                "(lateness %lld ms)\n",
                gaps.size(), p99, worst, std::max<qint64>(0, worst - 100));
    std::printf("memory               VmRSS %ld kB before, %ld kB after; peak VmHWM %ld kB\n", rssBefore,
                memoryKilobytes("VmRSS:"), memoryKilobytes("VmHWM:"));
    std::printf("monitor              %d lines; last line: %s\n", document->blockCount(), qPrintable(lastLine));
    const bool newestShown = lastLine.contains(QStringLiteral("B0 07 55"));
    std::printf("newest line shown    %s\n", newestShown ? "yes" : "NO");
    return newestShown ? 0 : 2;
}
