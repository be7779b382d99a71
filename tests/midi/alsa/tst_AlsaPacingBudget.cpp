#include "midi/alsa/AlsaPacingBudget.h"

#include <QtTest>

using namespace std::chrono_literals;
using Clock = AlsaPacingBudget::Clock;

namespace {
// Sends total bytes in chunks on a clock that moves only by the waits the budget asks for;
// returns how long that took.
Clock::duration sendThrough(AlsaPacingBudget& budget, Clock::time_point& now, std::size_t total, std::size_t chunk)
{
    const Clock::time_point start = now;
    for (std::size_t sent = 0; sent < total; sent += chunk) {
        now += budget.waitBefore(chunk, now);
        if (budget.waitBefore(chunk, now) != Clock::duration::zero()) {
            return Clock::duration::max();
        }
        budget.take(chunk, now);
    }
    return now - start;
}
}

class AlsaPacingBudgetTest : public QObject {
    Q_OBJECT

private slots:
    void bytesBeyondTheBudgetLeaveAtTheCableRate()
    {
        AlsaPacingBudget budget;
        Clock::time_point now = Clock::now();
        budget.reset(now);
        QCOMPARE(sendThrough(budget, now, 2048, 256), Clock::duration::zero());
        // One byte more waits for one byte's time on the cable.
        QCOMPARE(std::chrono::duration_cast<std::chrono::microseconds>(budget.waitBefore(1, now)), 320us);
        budget.reset(now);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(sendThrough(budget, now, 16384, 256));
        // (16384 - 2048) bytes × 320 µs, give or take rounding of each wait.
        QVERIFY2(took >= 4587ms && took <= 4589ms, qPrintable(QString::number(took.count())));
    }

    void noteAfterAQuietSecondLeavesAtOnce()
    {
        AlsaPacingBudget budget;
        Clock::time_point now = Clock::now();
        budget.reset(now);
        sendThrough(budget, now, 16384, 256);
        now += 1s;
        QCOMPARE(budget.waitBefore(3, now), Clock::duration::zero());
        // A new destination starts empty, whatever the last one still had waiting.
        sendThrough(budget, now, 2048, 256);
        budget.reset(now);
        QCOMPARE(budget.waitBefore(2048, now), Clock::duration::zero());
    }
};

QTEST_GUILESS_MAIN(AlsaPacingBudgetTest)
#include "tst_AlsaPacingBudget.moc"
