#include "small/MidiLibrary/midilib_parser.h"

#include "testkit/MidiBytes.h"

#include <QtTest>

using Deliveries = QList<QByteArray>;
using Messages = QList<QByteArray>;

// Deliveries that stand for a call between deliveries instead.
const QByteArray ClearRunningStatus("clear running status");
const QByteArray Clear("clear");

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

        QTest::newRow("running status across deliveries")
            << Deliveries{ hex("B0 07 64"), hex("0A"), hex("40 01"), hex("02") }
            << Messages{ hex("B0 07 64"), hex("B0 0A 40"), hex("B0 01 02") };
        QTest::newRow("two-byte running status")
            << Deliveries{ hex("C2 01 02 03") } << Messages{ hex("C2 01"), hex("C2 02"), hex("C2 03") };
        // An empty delivery (a pointer to no bytes) is no input.
        QTest::newRow("status alone, data later")
            << Deliveries{ hex("E3"), QByteArray(), hex("00"), hex("40") } << Messages{ hex("E3 00 40") };
        QTest::newRow("real-time byte inside a message leaves it whole")
            << Deliveries{ hex("90 3C F8 40") } << Messages{ hex("F8"), hex("90 3C 40") };
        QTest::newRow("real-time byte inside an exclusive stays out of it")
            << Deliveries{ hex("F0 01 02 F8"), hex("03 FC F7") }
            << Messages{ hex("F8"), hex("FC"), hex("F0 01 02 03 F7") };
        QTest::newRow("exclusive across deliveries")
            << Deliveries{ hex("F0 43"), hex("10 4C"), hex("00 F7 90 3C 40") }
            << Messages{ hex("F0 43 10 4C 00 F7"), hex("90 3C 40") };
        QTest::newRow("exclusive ends running status")
            << Deliveries{ hex("90 3C 40 F0 01 F7 3E 40") } << Messages{ hex("90 3C 40"), hex("F0 01 F7") };
        QTest::newRow("unfinished exclusive is discarded by a channel status")
            << Deliveries{ hex("F0 01 90 3C 40") } << Messages{ hex("90 3C 40") };
        QTest::newRow("undefined status bytes stay inside an exclusive")
            << Deliveries{ hex("F0 01 F4 F5 F9 FD 02 F7") } << Messages{ hex("F0 01 F4 F5 F9 FD 02 F7") };
        QTest::newRow("undefined status bytes are dropped from a channel message")
            << Deliveries{ hex("90 F4 3C F5 F9 40 FD 3E F7 41") } << Messages{ hex("90 3C 40"), hex("90 3E 41") };
        QTest::newRow("end of exclusive inside a system common message is dropped")
            << Deliveries{ hex("F2 01 F7 02") } << Messages{ hex("F2 01 02") };
        QTest::newRow("system common after channel message ends running status")
            << Deliveries{ hex("90 3C 40 F3 05 3E 40") } << Messages{ hex("90 3C 40"), hex("F3 05") };
        QTest::newRow("data bytes while idle are dropped") << Deliveries{ hex("40 41") } << Messages{};
        QTest::newRow("new status discards a half message")
            << Deliveries{ hex("90 3C B0 07 64") } << Messages{ hex("B0 07 64") };

        QTest::newRow("clearing running status drops following data bytes")
            << Deliveries{ hex("B0 07 64"), ClearRunningStatus, hex("07 50") } << Messages{ hex("B0 07 64") };
        QTest::newRow("clearing running status keeps a half message")
            << Deliveries{ hex("90 3C"), ClearRunningStatus, hex("40 F0 01"), ClearRunningStatus, hex("F7") }
            << Messages{ hex("90 3C 40"), hex("F0 01 F7") };
        QTest::newRow("clear forgets everything") << Deliveries{ hex("90 3C"), Clear, hex("40 3E 40") } << Messages{};

        QByteArray start(10000, char(0x44));
        start[0] = char(0xF0);
        QTest::newRow("overlong exclusive across deliveries is refused until a status")
            << Deliveries{ start, QByteArray(10000, char(0x44)) + hex("F7 F8"), hex("44 F8 F7"), hex("F3 01") }
            << Messages{ hex("F8"), hex("F3 01") };

        QByteArray largest(16384, char(0x11));
        largest[0] = char(0xF0);
        largest[16383] = char(0xF7);
        QTest::newRow("exclusive of exactly the largest size")
            << Deliveries{ largest + hex("F6") } << Messages{ largest, hex("F6") };
        Deliveries singleBytes;
        for (char byte : largest) {
            singleBytes.append(QByteArray(1, byte));
        }
        // 16385 bytes without 0xF7 in the first 16384 are never delivered, nor the rest of their
        // delivery; further bytes are refused until a status byte that opens a message.
        QByteArray overlong = largest + hex("F7");
        overlong[16383] = char(0x11);
        QTest::newRow("overlong exclusive")
            << Deliveries{ overlong + hex("90 3C 40"), hex("01 F7 02"), hex("90 3C 40") }
            << Messages{ hex("90 3C 40") };
    }

    void streamsBecomeMessages()
    {
        QFETCH(Deliveries, deliveries);
        ParserFeed feed;
        Messages produced;
        for (const QByteArray &delivery : deliveries) {
            if (delivery == ClearRunningStatus) {
                midilib_parser_clearRunningStatus(feed.parser());
            } else if (delivery == Clear) {
                midilib_parser_clear(feed.parser());
            } else {
                produced += feed.deliver(delivery);
            }
        }
        QTEST(produced, "messages");
    }
};

QTEST_APPLESS_MAIN(TestParser)
#include "tst_Parser.moc"
