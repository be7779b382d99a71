#include "testkit/SteppingClock.h"

#include "engine/MidiBulkIntervalManager.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>

namespace {

const unsigned char SystemExclusive[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
const unsigned char NoteOn[] = {0x90, 0x3C, 0x40};
const std::uint64_t LastSecondOfTheDay = 86399000;

} // namespace

class tst_MidiBulkIntervalManager : public QObject {
    Q_OBJECT

private slots:
    void pauseFollowsEverySystemExclusiveAcrossMidnight()
    {
        TulvarMidiModel model;
        model.setModelIntValue(BulkIntervalParameterId, 200);
        SteppingClock clock(LastSecondOfTheDay + 900);
        MidiBulkIntervalManager manager(&model, &clock);

        manager.waitBulkBeforeTransmission(SystemExclusive, sizeof SystemExclusive);
        QCOMPARE(clock.now(), LastSecondOfTheDay + 900);
        manager.waitBulkAfterTransmission(SystemExclusive, sizeof SystemExclusive);
        // One reading for the start, then one per millisecond until 200 have passed.
        QCOMPARE(clock.now(), LastSecondOfTheDay + 900 + 201);
    }

    void noPauseWithoutF7ParserOrInterval_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("parser");
        QTest::addColumn<bool>("systemExclusive");

        QTest::newRow("message without F7") << 200 << 1 << false;
        QTest::newRow("parser off") << 200 << 0 << true;
        QTest::newRow("interval 0") << 0 << 1 << true;
    }

    void noPauseWithoutF7ParserOrInterval()
    {
        QFETCH(int, interval);
        QFETCH(int, parser);
        QFETCH(bool, systemExclusive);

        TulvarMidiModel model;
        SteppingClock clock;
        MidiBulkIntervalManager manager(&model, &clock);
        model.setModelIntValue(BulkIntervalParameterId, interval);
        model.setModelIntValue(MessageParsedParameterId, parser);
        if (systemExclusive) {
            manager.waitBulkAfterTransmission(SystemExclusive, sizeof SystemExclusive);
        } else {
            manager.waitBulkAfterTransmission(NoteOn, sizeof NoteOn);
        }
        manager.waitBulkAfterTransmission(nullptr, 0);
        QCOMPARE(clock.readings(), std::uint64_t(0));
    }

    void disablingForClosingWindowsRestoresTheParameterAfterwards()
    {
        TulvarMidiModel model;
        model.setModelIntValue(BulkIntervalParameterId, 50);
        SteppingClock clock;
        MidiBulkIntervalManager manager(&model, &clock);

        manager.setEnabledBulkInterval(false);
        QCOMPARE(manager.interval(), 0);
        manager.waitBulkAfterTransmission(SystemExclusive, sizeof SystemExclusive);
        QCOMPARE(clock.readings(), std::uint64_t(0));

        manager.setEnabledBulkInterval(true);
        QCOMPARE(manager.interval(), 50);
        manager.waitBulkAfterTransmission(SystemExclusive, sizeof SystemExclusive);
        QCOMPARE(clock.now(), std::uint64_t(51));
    }

    void outOfRangeIntervalIsKeptWithinItsRange_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("interval");

        QTest::newRow("hand-edited hour") << 3600000 << 1000;
        QTest::newRow("hand-edited negative") << -5 << 0;
    }

    void outOfRangeIntervalIsKeptWithinItsRange()
    {
        QFETCH(int, value);
        QFETCH(int, interval);

        TulvarMidiModel model;
        model.setModelIntValue(BulkIntervalParameterId, value);
        MidiBulkIntervalManager fromConstruction(&model);
        QCOMPARE(fromConstruction.interval(), interval);

        model.setModelIntValue(BulkIntervalParameterId, 7);
        model.setModelIntValue(BulkIntervalParameterId, value);
        QCOMPARE(fromConstruction.interval(), interval);
    }
};

QTEST_GUILESS_MAIN(tst_MidiBulkIntervalManager)
#include "tst_MidiBulkIntervalManager.moc"
