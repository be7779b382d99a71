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
    void pauseFollowsOnlyAnExclusiveWithParserAndInterval_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("parser");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("systemExclusive");
        QTest::addColumn<int>("readings"); // one for the start, then one per millisecond of the pause

        QTest::newRow("exclusive across midnight") << 200 << 1 << true << true << 201;
        QTest::newRow("message without F7") << 200 << 1 << true << false << 0;
        QTest::newRow("parser off") << 200 << 0 << true << true << 0;
        QTest::newRow("interval 0") << 0 << 1 << true << true << 0;
        QTest::newRow("disabled while windows close") << 50 << 1 << false << true << 0;
    }

    void pauseFollowsOnlyAnExclusiveWithParserAndInterval()
    {
        QFETCH(int, interval);
        QFETCH(int, parser);
        QFETCH(bool, enabled);
        QFETCH(bool, systemExclusive);

        TulvarMidiModel model;
        SteppingClock clock(LastSecondOfTheDay + 900);
        MidiBulkIntervalManager manager(&model, &clock);
        model.setModelIntValue(BulkIntervalParameterId, interval);
        model.setModelIntValue(MessageParsedParameterId, parser);
        manager.setEnabledBulkInterval(enabled);
        const unsigned char* message = systemExclusive ? SystemExclusive : NoteOn;
        const unsigned short size = systemExclusive ? sizeof SystemExclusive : sizeof NoteOn;
        manager.waitBulkBeforeTransmission(message, size);
        manager.waitBulkAfterTransmission(message, size);
        manager.waitBulkAfterTransmission(nullptr, 0);
        QTEST(int(clock.readings()), "readings");

        // Enabled again once the windows have closed, the parameter's interval holds again.
        manager.setEnabledBulkInterval(true);
        QCOMPARE(manager.interval(), interval);
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
