#include "small/MidiLibrary/midilib_filter.h"

#include "testkit/MidiBytes.h"

#include <QtTest>

// The kind of the one switch a row turns on.
enum SwitchKind { NoSwitch, ThroughSwitch, ChannelSwitch, GroupSwitch, EventSwitch, ControllerSwitch };
Q_DECLARE_METATYPE(SwitchKind)

class TestFilter : public QObject
{
    Q_OBJECT

private slots:
    void switchesBlockInTheirOrder_data()
    {
        QTest::addColumn<SwitchKind>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("result");

        const QByteArray noteOff = hex("80 3C 40");
        const QByteArray noteOnZero = hex("90 3C 00");
        const QByteArray noteOn = hex("90 3C 01");
        const QByteArray clock = hex("F8");
        const QByteArray exclusive = hex("F0 01 F7");

        QTest::newRow("all off: note passes") << NoSwitch << 0 << noteOn << 0;
        QTest::newRow("through blocks notes") << ThroughSwitch << 0 << noteOn << -1;

        QTest::newRow("note off switch: note off") << EventSwitch << 0 << noteOff << -1;
        QTest::newRow("note off switch: note on velocity 0") << EventSwitch << 0 << noteOnZero << -1;
        QTest::newRow("note off switch: note on velocity 1") << EventSwitch << 0 << noteOn << 0;
        QTest::newRow("note on switch: note on velocity 0") << EventSwitch << 1 << noteOnZero << 0;
        QTest::newRow("note on switch: note on") << EventSwitch << 1 << noteOn << -1;

        QTest::newRow("channel 10 switch: drum note") << ChannelSwitch << 9 << hex("99 24 64") << -1;
        QTest::newRow("channel 10 switch: channel 1") << ChannelSwitch << 9 << hex("90 24 64") << 0;
        QTest::newRow("channel 10 switch: clock has no channel") << ChannelSwitch << 9 << clock << 0;

        QTest::newRow("controller 64: sustain") << ControllerSwitch << 64 << hex("B0 40 7F") << -1;
        QTest::newRow("controller 64: controller 65") << ControllerSwitch << 64 << hex("B0 41 7F") << 0;
        QTest::newRow("controller 64: note 64") << ControllerSwitch << 64 << hex("90 40 7F") << 0;
        QTest::newRow("control change switch: any controller") << EventSwitch << 3 << hex("B0 41 7F") << -1;

        QTest::newRow("clock switch: clock") << EventSwitch << 12 << clock << -1;
        QTest::newRow("clock switch: start") << EventSwitch << 12 << hex("FA") << 0;

        QTest::newRow("channel group: note") << GroupSwitch << 0 << noteOn << -1;
        QTest::newRow("common group: time code") << GroupSwitch << 1 << hex("F1 00") << -1;
        QTest::newRow("common group: clock") << GroupSwitch << 1 << clock << 0;
        QTest::newRow("real-time group: reset") << GroupSwitch << 2 << hex("FF") << -1;
        QTest::newRow("exclusive group: exclusive") << GroupSwitch << 3 << exclusive << -1;
    }

    void switchesBlockInTheirOrder()
    {
        QFETCH(SwitchKind, kind);
        QFETCH(int, index);
        QFETCH(QByteArray, message);

        MIDILIB_Filter filter;
        midilib_filter_init(&filter);
        auto setSwitch = [&](uint8_t value) {
            switch (kind) {
            case NoSwitch:
                break;
            case ThroughSwitch:
                midilib_filter_setThroughSwitch(&filter, value);
                break;
            case ChannelSwitch:
                midilib_filter_setChannelSwitch(&filter, uint8_t(index), value);
                break;
            case GroupSwitch:
                midilib_filter_setEventGroupSwitch(&filter, uint8_t(index), value);
                break;
            case EventSwitch:
                midilib_filter_setEventSwitch(&filter, MIDILIB_Event_Type(index), value);
                break;
            case ControllerSwitch:
                midilib_filter_setControllerSwitch(&filter, uint8_t(index), value);
                break;
            }
        };
        setSwitch(0x80); // any value but 0 blocks
        int converted = -2;
        auto event = eventFromBytes(message, &converted);
        QCOMPARE(converted, 0);
        QTEST(midilib_filter_apply(&filter, event.get()), "result");
        // The filter judges; it never changes the event.
        QCOMPARE(eventBytes(*event), message);
        setSwitch(0);
        QCOMPARE(midilib_filter_apply(&filter, event.get()), 0);
    }

    void eventsNoParserProducesAreBlocked()
    {
        MIDILIB_Filter filter;
        midilib_filter_init(&filter);
        MIDILIB_Event event{};
        event.type = 18;
        QCOMPARE(midilib_filter_apply(&filter, &event), -1);
        event.type = MIDILIB_Event_Type_NoteOn;
        event.channelNumber = 16;
        QCOMPARE(midilib_filter_apply(&filter, &event), -1);
        event.type = MIDILIB_Event_Type_ControlChange;
        event.channelNumber = 0;
        event.payload.twoBytes.first = 200;
        QCOMPARE(midilib_filter_apply(&filter, &event), -1);
    }
};

QTEST_APPLESS_MAIN(TestFilter)
#include "tst_Filter.moc"
