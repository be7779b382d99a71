#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaEventCodec.h"
#include "midi/alsa/AlsaMidiService.h"

#include <QtTest>

#include <alsa/asoundlib.h>

namespace {
// The events of one packet, with variable data copied out of the packet.
struct Encoded {
    QList<snd_seq_event_t> events;
    QList<QByteArray> variableData;
    bool whole = false;
};

Encoded encode(AlsaEventCodec& codec, const QByteArray& data)
{
    Encoded encoded;
    encoded.whole = codec.encode(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()),
                                 [&](snd_seq_event_t& event, std::size_t) {
                                     encoded.events.append(event);
                                     const bool variable = (event.flags & SND_SEQ_EVENT_LENGTH_MASK) ==
                                                           SND_SEQ_EVENT_LENGTH_VARIABLE;
                                     encoded.variableData.append(
                                         variable ? QByteArray(static_cast<const char*>(event.data.ext.ptr),
                                                               int(event.data.ext.len))
                                                  : QByteArray());
                                     return true;
                                 });
    return encoded;
}

// Sends data in the given pieces, as the parser switched off passes a long exclusive on, and
// returns the bytes of every exclusive event in order; fails the test on any other event.
QByteArray sendInPieces(AlsaEventCodec& codec, const QByteArray& data, const QList<int>& cuts)
{
    QByteArray out;
    int from = 0;
    for (int cut : cuts + QList<int>{data.size()}) {
        const Encoded encoded = encode(codec, data.mid(from, cut - from));
        if (!encoded.whole) {
            return QByteArray("piece refused");
        }
        for (int i = 0; i < encoded.events.size(); ++i) {
            if (encoded.events[i].type != SND_SEQ_EVENT_SYSEX ||
                encoded.variableData[i].size() > int(AlsaEventCodec::MaxEventBytes)) {
                return QByteArray("not an exclusive chunk");
            }
            out += encoded.variableData[i];
        }
        from = cut;
    }
    return out;
}
}

class AlsaEventCodecTest : public QObject {
    Q_OBJECT

private slots:
    void dataOnlyPacketsNeverYieldAChannelEvent_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("after a note-on") << bytes({0x90, 0x3C, 0x64}) << bytes({0x10, 0x20, 0x30, 0x40, 0x50, 0x60});
        QTest::newRow("after a whole exclusive") << sysEx(6) << bytes({0x10, 0x20});
        QTest::newRow("first packet") << QByteArray() << bytes({0x3E, 0x64});
        QTest::newRow("rest of a cut note") << bytes({0x90, 0x3C}) << bytes({0x64});
    }

    void dataOnlyPacketsNeverYieldAChannelEvent()
    {
        // Outside an exclusive they are dropped and the send says so; running status never reaches
        // from one packet into the next.
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, packet);
        AlsaEventCodec codec;
        encode(codec, before);
        const Encoded encoded = encode(codec, packet);
        QVERIFY(!encoded.whole);
        QVERIFY(encoded.events.isEmpty());
        // A status byte later in the same packet still counts.
        const Encoded mixed = encode(codec, packet + bytes({0x91, 0x3C, 0x64}));
        QVERIFY(!mixed.whole);
        QCOMPARE(mixed.events.size(), 1);
        QCOMPARE(int(mixed.events[0].type), int(SND_SEQ_EVENT_NOTEON));
    }

    // Every event an exclusive chunk of at most 256 bytes, whether the exclusive came whole or in
    // pieces of any size (the parser off passes long ones on so).
    void exclusiveSentInPiecesArrivesAsTheOriginalBytes()
    {
        const QByteArray dump = sysEx(16384);
        for (int size = 1; size <= 4096; ++size) {
            QList<int> cuts;
            for (int cut = size; cut < dump.size(); cut += size) {
                cuts.append(cut);
            }
            AlsaEventCodec codec;
            const QByteArray out = sendInPieces(codec, dump, cuts);
            if (out != dump) {
                QFAIL(qPrintable(QStringLiteral("pieces of %1 bytes").arg(size)));
            }
        }
        AlsaEventCodec codec;
        QCOMPARE(sendInPieces(codec, dump, {}), dump);
        // The last piece ends the exclusive: what follows is not a continuation.
        QCOMPARE(sendInPieces(codec, dump, {1, 100}), dump);
        QVERIFY(!encode(codec, bytes({0x01})).whole);
    }

    void unterminatedSysExEndsAtTheNextStatusByte()
    {
        AlsaEventCodec codec;
        const Encoded encoded = encode(codec, bytes({0xF0, 0x01, 0x02, 0x90, 0x40, 0x7F}));
        QCOMPARE(encoded.events.size(), 2);
        QCOMPARE(encoded.variableData[0], bytes({0xF0, 0x01, 0x02}));
        QCOMPARE(int(encoded.events[1].type), int(SND_SEQ_EVENT_NOTEON));
        QCOMPARE(encode(codec, bytes({0xF0, 0x01, 0x02})).variableData, QList<QByteArray>{bytes({0xF0, 0x01, 0x02})});
        QVERIFY(codec.inExclusive());
        // A real-time byte may come between the pieces.
        const Encoded clock = encode(codec, bytes({0xF8}));
        QCOMPARE(int(clock.events.value(0).type), int(SND_SEQ_EVENT_CLOCK));
        QCOMPARE(encode(codec, bytes({0x03, 0xF7})).variableData, QList<QByteArray>{bytes({0x03, 0xF7})});
        QVERIFY(!codec.inExclusive());
        // Inside one packet it stays in the exclusive's bytes.
        const QByteArray inside = bytes({0xF0, 0x01, 0xF8, 0x02, 0xF7});
        QCOMPARE(encode(codec, inside).variableData, QList<QByteArray>{inside});
    }

    void eventsWithoutMidiMessageDecodeToNothing()
    {
        AlsaEventCodec codec;
        std::vector<unsigned char> out;
        // A subscription notice, and an exclusive whose data is not attached.
        for (const snd_seq_event_type_t type : {SND_SEQ_EVENT_PORT_SUBSCRIBED, SND_SEQ_EVENT_SYSEX}) {
            snd_seq_event_t event;
            snd_seq_ev_clear(&event);
            event.type = type;
            QVERIFY(!codec.decode(event, out));
            QVERIFY(out.empty());
        }
    }

    void encodingStopsWhenAnEventCannotBeSent()
    {
        AlsaEventCodec codec;
        const QByteArray data = bytes({0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00});
        int calls = 0;
        QVERIFY(!codec.encode(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()),
                              [&](snd_seq_event_t&, std::size_t) { return ++calls > 1; }));
        QCOMPARE(calls, 1);
    }

    void displayNameShowsTheClientWhereThePortNameLacksIt_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("display");
        QTest::newRow("port named after client") << "Midi Through" << "Midi Through Port-0" << "Midi Through Port-0";
        QTest::newRow("generic port name") << "UM-ONE" << "MIDI 1" << "UM-ONE: MIDI 1";
        QTest::newRow("no client name") << "" << "Synth input port" << "Synth input port";
    }

    void displayNameShowsTheClientWhereThePortNameLacksIt()
    {
        QFETCH(QString, client);
        QFETCH(QString, port);
        QFETCH(QString, display);
        QCOMPARE(AlsaMidiService::displayName(client, port), display);
    }
};

QTEST_GUILESS_MAIN(AlsaEventCodecTest)
#include "tst_AlsaEventCodec.moc"
