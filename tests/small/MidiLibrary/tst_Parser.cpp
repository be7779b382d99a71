#include "small/MidiLibrary/midilib_parser.h"

#include "MidiTestSupport.h"

#include <QtTest>

using Deliveries = QList<QByteArray>;
using Messages = QList<QByteArray>;

class TestParser : public QObject
{
    Q_OBJECT

private slots:
    // Deliveries fed one after another to a fresh parser, and the messages (as bytes rebuilt from
    // the events) that come out in total.
    void streamsBecomeMessages_data()
    {
        QTest::addColumn<Deliveries>("deliveries");
        QTest::addColumn<Messages>("messages");

        QTest::newRow("running status")
            << Deliveries{ bytes({ 0x90, 0x3C, 0x40, 0x3E, 0x40 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }), bytes({ 0x90, 0x3E, 0x40 }) };
        QTest::newRow("running status across deliveries")
            << Deliveries{ bytes({ 0xB0, 0x07, 0x64 }), bytes({ 0x0A }), bytes({ 0x40, 0x01 }), bytes({ 0x02 }) }
            << Messages{ bytes({ 0xB0, 0x07, 0x64 }), bytes({ 0xB0, 0x0A, 0x40 }), bytes({ 0xB0, 0x01, 0x02 }) };
        QTest::newRow("two-byte running status")
            << Deliveries{ bytes({ 0xC2, 0x01, 0x02, 0x03 }) }
            << Messages{ bytes({ 0xC2, 0x01 }), bytes({ 0xC2, 0x02 }), bytes({ 0xC2, 0x03 }) };
        QTest::newRow("message split over deliveries")
            << Deliveries{ bytes({ 0x90, 0x3C }), bytes({ 0x40 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }) };
        QTest::newRow("status alone, data later")
            << Deliveries{ bytes({ 0xE3 }), QByteArray(), bytes({ 0x00 }), bytes({ 0x40 }) }
            << Messages{ bytes({ 0xE3, 0x00, 0x40 }) };
        QTest::newRow("real-time byte inside a message leaves it whole")
            << Deliveries{ bytes({ 0x90, 0x3C, 0xF8, 0x40 }) }
            << Messages{ bytes({ 0xF8 }), bytes({ 0x90, 0x3C, 0x40 }) };
        QTest::newRow("real-time byte right after the status byte")
            << Deliveries{ bytes({ 0xB1, 0xFE, 0x07, 0xFA, 0x64 }) }
            << Messages{ bytes({ 0xFE }), bytes({ 0xFA }), bytes({ 0xB1, 0x07, 0x64 }) };
        QTest::newRow("real-time byte keeps running status")
            << Deliveries{ bytes({ 0x90, 0x3C, 0x40, 0xFE, 0x3E, 0x40 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }), bytes({ 0xFE }), bytes({ 0x90, 0x3E, 0x40 }) };
        QTest::newRow("real-time byte inside an exclusive stays out of it")
            << Deliveries{ bytes({ 0xF0, 0x01, 0x02, 0xF8 }), bytes({ 0x03, 0xFC, 0xF7 }) }
            << Messages{ bytes({ 0xF8 }), bytes({ 0xFC }), bytes({ 0xF0, 0x01, 0x02, 0x03, 0xF7 }) };
        QTest::newRow("real-time byte while idle")
            << Deliveries{ bytes({ 0x40, 0xFF, 0x40 }) }
            << Messages{ bytes({ 0xFF }) };
        QTest::newRow("every real-time byte is its own message")
            << Deliveries{ bytes({ 0xF8, 0xFA, 0xFB, 0xFC, 0xFE, 0xFF }) }
            << Messages{ bytes({ 0xF8 }), bytes({ 0xFA }), bytes({ 0xFB }), bytes({ 0xFC }), bytes({ 0xFE }), bytes({ 0xFF }) };
        QTest::newRow("exclusive")
            << Deliveries{ bytes({ 0xF0, 0x7E, 0x7F, 0xF7 }) }
            << Messages{ bytes({ 0xF0, 0x7E, 0x7F, 0xF7 }) };
        QTest::newRow("exclusive across deliveries")
            << Deliveries{ bytes({ 0xF0, 0x43 }), bytes({ 0x10, 0x4C }), bytes({ 0x00, 0xF7, 0x90, 0x3C, 0x40 }) }
            << Messages{ bytes({ 0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7 }), bytes({ 0x90, 0x3C, 0x40 }) };
        QTest::newRow("exclusive ends running status")
            << Deliveries{ bytes({ 0x90, 0x3C, 0x40, 0xF0, 0x01, 0xF7, 0x3E, 0x40 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }), bytes({ 0xF0, 0x01, 0xF7 }) };
        QTest::newRow("unfinished exclusive is discarded by a channel status")
            << Deliveries{ bytes({ 0xF0, 0x01, 0x90, 0x3C, 0x40 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }) };
        QTest::newRow("undefined status bytes stay inside an exclusive")
            << Deliveries{ bytes({ 0xF0, 0x01, 0xF4, 0xF5, 0xF9, 0xFD, 0x02, 0xF7 }) }
            << Messages{ bytes({ 0xF0, 0x01, 0xF4, 0xF5, 0xF9, 0xFD, 0x02, 0xF7 }) };
        QTest::newRow("undefined status bytes are dropped from a channel message")
            << Deliveries{ bytes({ 0x90, 0xF4, 0x3C, 0xF5, 0xF9, 0x40, 0xFD, 0x3E, 0xF7, 0x41 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }), bytes({ 0x90, 0x3E, 0x41 }) };
        QTest::newRow("undefined status bytes leave running status alone")
            << Deliveries{ bytes({ 0xB0, 0x07, 0x64, 0xF9 }), bytes({ 0xFD, 0x07, 0x50 }) }
            << Messages{ bytes({ 0xB0, 0x07, 0x64 }), bytes({ 0xB0, 0x07, 0x50 }) };
        QTest::newRow("end of exclusive inside a system common message is dropped")
            << Deliveries{ bytes({ 0xF2, 0x01, 0xF7, 0x02 }) }
            << Messages{ bytes({ 0xF2, 0x01, 0x02 }) };
        QTest::newRow("system common ends running status")
            << Deliveries{ bytes({ 0xF1, 0x20, 0x21 }) }
            << Messages{ bytes({ 0xF1, 0x20 }) };
        QTest::newRow("system common after channel message ends running status")
            << Deliveries{ bytes({ 0x90, 0x3C, 0x40, 0xF3, 0x05, 0x3E, 0x40 }) }
            << Messages{ bytes({ 0x90, 0x3C, 0x40 }), bytes({ 0xF3, 0x05 }) };
        QTest::newRow("tune request")
            << Deliveries{ bytes({ 0xF6, 0x01 }) }
            << Messages{ bytes({ 0xF6 }) };
        QTest::newRow("data bytes while idle are dropped")
            << Deliveries{ bytes({ 0x40, 0x41 }) }
            << Messages{};
        QTest::newRow("new status discards a half message")
            << Deliveries{ bytes({ 0x90, 0x3C, 0xB0, 0x07, 0x64 }) }
            << Messages{ bytes({ 0xB0, 0x07, 0x64 }) };
    }

    void streamsBecomeMessages()
    {
        QFETCH(Deliveries, deliveries);
        QFETCH(Messages, messages);
        ParserFeed feed;
        Messages produced;
        for (const QByteArray &delivery : deliveries) {
            produced += feed.deliver(delivery);
        }
        QCOMPARE(produced, messages);
    }

    void nothingPendingGivesMinusOneAgain()
    {
        ParserFeed feed;
        QCOMPARE(feed.deliver(bytes({ 0x90, 0x3C })).size(), 0);
        MIDILIB_Event event;
        QCOMPARE(midilib_parser_parse(feed.parser(), &event), -1);
        QCOMPARE(midilib_parser_parse(feed.parser(), &event), -1);
    }

    void clearingRunningStatusDropsFollowingDataBytes()
    {
        ParserFeed feed;
        QCOMPARE(feed.deliver(bytes({ 0xB0, 0x07, 0x64 })).size(), 1);
        midilib_parser_clearRunningStatus(feed.parser());
        QCOMPARE(feed.deliver(bytes({ 0x07, 0x50 })), Messages{});
    }

    void clearingRunningStatusKeepsAHalfMessage()
    {
        ParserFeed feed;
        QCOMPARE(feed.deliver(bytes({ 0x90, 0x3C })).size(), 0);
        midilib_parser_clearRunningStatus(feed.parser());
        QCOMPARE(feed.deliver(bytes({ 0x40 })), Messages{ bytes({ 0x90, 0x3C, 0x40 }) });

        QCOMPARE(feed.deliver(bytes({ 0xF0, 0x01 })).size(), 0);
        midilib_parser_clearRunningStatus(feed.parser());
        QCOMPARE(feed.deliver(bytes({ 0xF7 })), Messages{ bytes({ 0xF0, 0x01, 0xF7 }) });
    }

    void clearForgetsEverything()
    {
        ParserFeed feed;
        QCOMPARE(feed.deliver(bytes({ 0x90, 0x3C })).size(), 0);
        midilib_parser_clear(feed.parser());
        QCOMPARE(feed.deliver(bytes({ 0x40, 0x3E, 0x40 })), Messages{});
    }

    void exclusiveOfExactlyTheLargestSizeIsDelivered()
    {
        QByteArray exclusive(16384, char(0x11));
        exclusive[0] = char(0xF0);
        exclusive[16383] = char(0xF7);
        ParserFeed feed;
        QCOMPARE(feed.deliver(exclusive + bytes({ 0xF6 })), (Messages{ exclusive, bytes({ 0xF6 }) }));
        QCOMPARE(int(feed.lastEvent().type), int(MIDILIB_Event_Type_TuneRequest));
    }

    void exclusiveSplitIntoSingleBytesIsDelivered()
    {
        QByteArray exclusive(16384, char(0x22));
        exclusive[0] = char(0xF0);
        exclusive[16383] = char(0xF7);
        ParserFeed feed;
        Messages produced;
        for (char byte : exclusive) {
            produced += feed.deliver(QByteArray(1, byte));
        }
        QCOMPARE(produced, Messages{ exclusive });
    }

    void overlongExclusiveIsDroppedWithTheRestOfItsDelivery()
    {
        // 16385 bytes without 0xF7 in the first 16384: never delivered.
        QByteArray overlong(16385, char(0x33));
        overlong[0] = char(0xF0);
        overlong[16384] = char(0xF7);
        ParserFeed feed;
        QCOMPARE(feed.deliver(overlong + bytes({ 0x90, 0x3C, 0x40 })), Messages{});
        // Further bytes are refused until a status byte that opens a message.
        QCOMPARE(feed.deliver(bytes({ 0x01, 0xF7, 0x02 })), Messages{});
        QCOMPARE(feed.deliver(bytes({ 0x90, 0x3C, 0x40 })), Messages{ bytes({ 0x90, 0x3C, 0x40 }) });
    }

    void overlongExclusiveAcrossDeliveriesIsRefusedUntilAStatus()
    {
        QByteArray start(10000, char(0x44));
        start[0] = char(0xF0);
        ParserFeed feed;
        QCOMPARE(feed.deliver(start), Messages{});
        QCOMPARE(feed.deliver(QByteArray(10000, char(0x44)) + bytes({ 0xF7, 0xF8 })), Messages{});
        QCOMPARE(feed.deliver(bytes({ 0x44, 0xF8, 0xF7 })), Messages{ bytes({ 0xF8 }) });
        QCOMPARE(feed.deliver(bytes({ 0xF3, 0x01 })), Messages{ bytes({ 0xF3, 0x01 }) });
    }

    void emptyDeliveryWithAPointerIsNoInput()
    {
        ParserFeed feed;
        const uint8_t byte = 0x90;
        midilib_parser_setData(feed.parser(), &byte, 0);
        MIDILIB_Event event;
        QCOMPARE(midilib_parser_parse(feed.parser(), &event), -1);
    }
};

QTEST_APPLESS_MAIN(TestParser)
#include "tst_Parser.moc"
