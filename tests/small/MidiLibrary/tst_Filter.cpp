#include "small/MidiLibrary/midilib_filter.h"

#include "testkit/MidiBytes.h"

#include <QtTest>

// A switch to turn on: its kind and index.
struct FilterSwitch
{
    enum Kind { Through, Channel, Group, Event, Controller } kind;
    int index;
};
Q_DECLARE_METATYPE(QList<FilterSwitch>)

using Switches = QList<FilterSwitch>;

class TestFilter : public QObject
{
    Q_OBJECT

private slots:
    void switchesBlockInTheirOrder_data()
    {
        QTest::addColumn<Switches>("switches");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("result");

        const QByteArray noteOff = hex("80 3C 40");
        const QByteArray noteOnZero = hex("90 3C 00");
        const QByteArray noteOn = hex("90 3C 01");
        const QByteArray clock = hex("F8");
        const QByteArray exclusive = hex("F0 01 F7");

        QTest::newRow("all off: note passes") << Switches{} << noteOn << 0;
        QTest::newRow("through blocks notes") << Switches{ { FilterSwitch::Through, 0 } } << noteOn << -1;

        QTest::newRow("note off switch: note off") << Switches{ { FilterSwitch::Event, 0 } } << noteOff << -1;
        QTest::newRow("note off switch: note on velocity 0") << Switches{ { FilterSwitch::Event, 0 } } << noteOnZero << -1;
        QTest::newRow("note off switch: note on velocity 1") << Switches{ { FilterSwitch::Event, 0 } } << noteOn << 0;
        QTest::newRow("note on switch: note on velocity 0") << Switches{ { FilterSwitch::Event, 1 } } << noteOnZero << 0;
        QTest::newRow("note on switch: note on") << Switches{ { FilterSwitch::Event, 1 } } << noteOn << -1;

        QTest::newRow("channel 10 switch: drum note") << Switches{ { FilterSwitch::Channel, 9 } } << hex("99 24 64") << -1;
        QTest::newRow("channel 10 switch: channel 1") << Switches{ { FilterSwitch::Channel, 9 } } << hex("90 24 64") << 0;
        QTest::newRow("channel 10 switch: clock has no channel") << Switches{ { FilterSwitch::Channel, 9 } } << clock << 0;

        QTest::newRow("controller 64: sustain") << Switches{ { FilterSwitch::Controller, 64 } } << hex("B0 40 7F") << -1;
        QTest::newRow("controller 64: controller 65") << Switches{ { FilterSwitch::Controller, 64 } } << hex("B0 41 7F") << 0;
        QTest::newRow("controller 64: note 64") << Switches{ { FilterSwitch::Controller, 64 } } << hex("90 40 7F") << 0;
        QTest::newRow("control change switch: any controller") << Switches{ { FilterSwitch::Event, 3 } } << hex("B0 41 7F") << -1;

        QTest::newRow("clock switch: clock") << Switches{ { FilterSwitch::Event, 12 } } << clock << -1;
        QTest::newRow("clock switch: start") << Switches{ { FilterSwitch::Event, 12 } } << hex("FA") << 0;

        QTest::newRow("channel group: note") << Switches{ { FilterSwitch::Group, 0 } } << noteOn << -1;
        QTest::newRow("common group: time code") << Switches{ { FilterSwitch::Group, 1 } } << hex("F1 00") << -1;
        QTest::newRow("common group: clock") << Switches{ { FilterSwitch::Group, 1 } } << clock << 0;
        QTest::newRow("real-time group: reset") << Switches{ { FilterSwitch::Group, 2 } } << hex("FF") << -1;
        QTest::newRow("exclusive group: exclusive") << Switches{ { FilterSwitch::Group, 3 } } << exclusive << -1;
    }

    void switchesBlockInTheirOrder()
    {
        QFETCH(Switches, switches);
        QFETCH(QByteArray, message);

        MIDILIB_Filter filter;
        midilib_filter_init(&filter);
        for (const FilterSwitch &on : switches) {
            switch (on.kind) {
            case FilterSwitch::Through:
                midilib_filter_setThroughSwitch(&filter, 1);
                break;
            case FilterSwitch::Channel:
                midilib_filter_setChannelSwitch(&filter, uint8_t(on.index), 1);
                break;
            case FilterSwitch::Group:
                midilib_filter_setEventGroupSwitch(&filter, uint8_t(on.index), 1);
                break;
            case FilterSwitch::Event:
                midilib_filter_setEventSwitch(&filter, MIDILIB_Event_Type(on.index), 1);
                break;
            case FilterSwitch::Controller:
                midilib_filter_setControllerSwitch(&filter, uint8_t(on.index), 1);
                break;
            }
        }
        int converted = -2;
        auto event = eventFromBytes(message, &converted);
        QCOMPARE(converted, 0);
        QTEST(midilib_filter_apply(&filter, event.get()), "result");
        // The filter judges; it never changes the event.
        QCOMPARE(eventBytes(*event), message);
    }

    void anyNonZeroValueBlocksAndZeroPassesAgain()
    {
        MIDILIB_Filter filter;
        midilib_filter_init(&filter);
        auto event = eventFromBytes(hex("B3 07 00"));
        midilib_filter_setChannelSwitch(&filter, 3, 0x80);
        QCOMPARE(midilib_filter_apply(&filter, event.get()), -1);
        midilib_filter_setChannelSwitch(&filter, 3, 0);
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
