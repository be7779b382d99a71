// Random byte streams, cut into deliveries at random places (with clears between some), give the
// messages of a plain byte-by-byte model of the parser, each of which converts to an event and back.
#include "small/MidiLibrary/midilib_parser.h"

#include "testkit/MidiMessageRules.h"
#include "testkit/MidiBytes.h"

#include <QtTest>

#include <random>

namespace {

using midirules::LargestExclusive;
using midirules::messageSize;

// The parser's behaviour, byte by byte, in the plainest form. Only an overflow depends on where
// a delivery ends, so where none happens the model holds the cut to the whole stream's messages.
class ModelParser
{
public:
    // Returns true when an exclusive overflowed in this delivery: it and the delivery's rest are dropped.
    bool deliver(const QByteArray &delivery, QList<QByteArray> &messages)
    {
        for (char c : delivery) {
            const uint8_t byte = uint8_t(c);
            const int size = messageSize(byte);
            if (size == 1) {
                messages.append(QByteArray(1, c));
                if (byte < 0xF8) {
                    m_message.clear(); // tune request ends an open message; real-time leaves it alone
                }
            } else if (size != 0) {
                m_message = QByteArray(1, c);
            } else if (!m_message.isEmpty() && (byte < 0x80 || exclusive())) {
                m_message.append(c);
                if (exclusive() ? byte == 0xF7 : m_message.size() == messageSize(uint8_t(m_message[0]))) {
                    messages.append(m_message);
                    m_message.truncate(uint8_t(m_message[0]) < 0xF0 ? 1 : 0); // running status
                } else if (m_message.size() == LargestExclusive) {
                    m_message.clear();
                    return true;
                }
            }
        }
        return false;
    }

    // Running status ends; a message with data bytes received goes on.
    void clearRunningStatus()
    {
        if (m_message.size() == 1 && uint8_t(m_message[0]) < 0xF0) {
            m_message.clear();
        }
    }

    void clear() { m_message.clear(); }

private:
    bool exclusive() const { return !m_message.isEmpty() && uint8_t(m_message[0]) == 0xF0; }

    QByteArray m_message;
};

class StreamGenerator
{
public:
    explicit StreamGenerator(uint32_t seed) : m_random(seed) {}

    int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(m_random); }

    QByteArray stream()
    {
        QByteArray result;
        const int pieces = 1 + below(60);
        for (int i = 0; i < pieces; ++i) {
            switch (below(8)) {
            case 0: // noise: any bytes
                for (int n = below(8); n > 0; --n) {
                    result.append(char(below(256)));
                }
                break;
            case 1: // data bytes only: running status or dropped
                for (int n = below(12); n > 0; --n) {
                    result.append(char(below(128)));
                }
                break;
            case 2: // a real-time or undefined status byte anywhere
                result.append(char(0xF4 + below(12)));
                break;
            case 3: // an exclusive, sometimes long, sometimes unfinished or overlong
            {
                const int kind = below(20);
                const int length = kind == 0 ? LargestExclusive - 2 + below(4) : kind == 1 ? 15000 + below(3000) : below(40);
                // Undefined status bytes stay inside; real-time ones (short ones only) come out.
                const QByteArray inside = kind < 2 ? hex("F4 F9") : hex("F4 F5 F9 FD F8 FE");
                result.append(char(0xF0));
                for (int n = 0; n < length; ++n) {
                    result.append(below(50) == 0 ? inside[below(inside.size())] : char(below(128)));
                }
                if (below(4) != 0) {
                    result.append(char(0xF7));
                }
                break;
            }
            default: // a well-formed channel or system common message
            {
                const uint8_t status = uint8_t(below(8) == 0 ? 0xF1 + below(3) : 0x80 + below(0x70));
                result.append(char(status));
                for (int n = messageSize(status) - 1; n > 0; --n) {
                    result.append(char(below(128)));
                }
                break;
            }
            }
        }
        return result;
    }

    QList<QByteArray> cut(const QByteArray &stream)
    {
        QList<QByteArray> deliveries;
        int start = 0;
        while (start < stream.size()) {
            const int length = below(4) == 0 ? below(3) : 1 + below(64);
            deliveries.append(stream.mid(start, length));
            start += length;
        }
        return deliveries;
    }

private:
    std::mt19937 m_random;
};

} // namespace

class TestParserProperties : public QObject
{
    Q_OBJECT

private slots:
    void randomStreamsFollowTheRules()
    {
        const uint32_t seed = 20261206;
        StreamGenerator generator(seed);
        int overflowing = 0;
        int messageCount = 0;
        for (int round = 0; round < 1500; ++round) {
            const QByteArray stream = generator.stream();

            ParserFeed whole;
            const QList<QByteArray> wholeMessages = whole.deliver(stream);
            ModelParser wholeModel;
            QList<QByteArray> expected;
            const bool overflowed = wholeModel.deliver(stream, expected);
            QVERIFY2(wholeMessages == expected, qPrintable(QString("round %1, seed %2").arg(round).arg(seed)));
            messageCount += wholeMessages.size();

            for (const QByteArray &message : wholeMessages) {
                int result = -2;
                auto event = eventFromBytes(message, &result);
                QCOMPARE(result, 0);
                QCOMPARE(eventBytes(*event), message);
            }

            for (int cutting = 0; cutting < 3; ++cutting) {
                const bool clearing = cutting == 2;
                const QList<QByteArray> deliveries = generator.cut(stream);
                ParserFeed feed;
                ModelParser model;
                QList<QByteArray> produced;
                QList<QByteArray> modelled;
                for (const QByteArray &delivery : deliveries) {
                    produced += feed.deliver(delivery);
                    model.deliver(delivery, modelled);
                    const int call = clearing ? generator.below(8) : -1;
                    if (call == 0) {
                        midilib_parser_clearRunningStatus(feed.parser());
                        model.clearRunningStatus();
                    } else if (call == 1) {
                        midilib_parser_clear(feed.parser());
                        model.clear();
                    }
                }
                QVERIFY2(produced == modelled, qPrintable(QString("round %1, cutting %2").arg(round).arg(cutting)));
            }
            overflowing += overflowed ? 1 : 0;
        }
        // The generator must reach the interesting cases, or the checks above prove little.
        QVERIFY(overflowing > 0);
        QVERIFY(messageCount > 10000);
    }
};

QTEST_APPLESS_MAIN(TestParserProperties)
#include "tst_ParserProperties.moc"
