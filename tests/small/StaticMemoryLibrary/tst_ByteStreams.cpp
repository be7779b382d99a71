#include "small/StaticMemoryLibrary/smlib_constData.h"
#include "small/StaticMemoryLibrary/smlib_data.h"
#include "small/StaticMemoryLibrary/smlib_unsigned.h"

#include <QtTest>

#include <cstring>

class TestByteStreams : public QObject
{
    Q_OBJECT

private slots:
    void writeStopsWhenTheNextElementDoesNotFit()
    {
        uint8_t memory[2] = {};
        smlib_data stream;
        smlib_data_init(&stream, memory, sizeof(memory));
        const uint8_t bytes[3] = { 1, 2, 3 };
        QCOMPARE(smlib_data_write(&stream, bytes, 1, 3), uint64_t(2));
        QCOMPARE(smlib_data_tell(&stream), uint64_t(2));
        QCOMPARE(smlib_data_write(&stream, bytes + 2, 1, 1), uint64_t(0));
        QCOMPARE(smlib_data_tell(&stream), uint64_t(2));
        QCOMPARE(memory[0], uint8_t(1));
        QCOMPARE(memory[1], uint8_t(2));
    }

    void writeCopiesWholeElementsOnly()
    {
        uint8_t memory[7] = {};
        smlib_data stream;
        smlib_data_init(&stream, memory, sizeof(memory));
        const uint16_t words[4] = { 0x0101, 0x0202, 0x0303, 0x0404 };
        QCOMPARE(smlib_data_write(&stream, words, sizeof(uint16_t), 4), uint64_t(3));
        QCOMPARE(smlib_data_tell(&stream), uint64_t(6));
        QCOMPARE(memory[6], uint8_t(0));
    }

    void theEmptyStreamTakesNothing()
    {
        smlib_data stream;
        smlib_data_init(&stream, nullptr, 0);
        const uint8_t byte = 0x90;
        QCOMPARE(smlib_data_write(&stream, &byte, 1, 1), uint64_t(0));
        QCOMPARE(smlib_data_tell(&stream), uint64_t(0));
        QCOMPARE(smlib_data_getSize(&stream), uint64_t(0));

        smlib_constData input;
        smlib_constData_init(&input, nullptr, 0);
        uint8_t out = 0;
        QCOMPARE(smlib_constData_read(&input, &out, 1, 1), uint64_t(0));
    }

    void readMirrorsWrite()
    {
        uint8_t memory[4] = { 10, 20, 30, 40 };
        smlib_data stream;
        smlib_data_init(&stream, memory, sizeof(memory));
        uint8_t out[4] = {};
        QCOMPARE(smlib_data_read(&stream, out, 3, 2), uint64_t(1));
        QCOMPARE(out[2], uint8_t(30));
        QCOMPARE(smlib_data_read(&stream, out, 1, 5), uint64_t(1));
        QCOMPARE(out[0], uint8_t(40));
        QCOMPARE(smlib_data_read(&stream, out, 1, 1), uint64_t(0));
    }

    void constDataReadsUntilExhausted()
    {
        const uint8_t bytes[3] = { 0xF0, 0x7E, 0xF7 };
        smlib_constData input;
        smlib_constData_init(&input, bytes, sizeof(bytes));
        uint8_t out[3] = {};
        QCOMPARE(smlib_constData_read(&input, out, 1, 2), uint64_t(2));
        QCOMPARE(smlib_constData_tell(&input), uint64_t(2));
        QCOMPARE(smlib_constData_read(&input, out, 2, 1), uint64_t(0)); // one byte left: no whole element
        QCOMPARE(smlib_constData_read(&input, out + 2, 1, 1), uint64_t(1));
        QCOMPARE(std::memcmp(out, bytes, 3), 0);
        QCOMPARE(smlib_constData_read(&input, out, 1, 1), uint64_t(0));
    }

    void seekFollowsTheStepRules_data()
    {
        QTest::addColumn<quint64>("size");
        QTest::addColumn<quint64>("position");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("result");
        QTest::addColumn<quint64>("newPosition");

        QTest::newRow("start+1 of size 3 at the end") << 3ull << 3ull << 1ll << 0 << 0 << 1ull;
        QTest::newRow("start+1 of size 1 stays at 0") << 1ull << 0ull << 1ll << 0 << -1 << 0ull;
        QTest::newRow("start+1 of size 2") << 2ull << 2ull << 1ll << 0 << 0 << 1ull;
        QTest::newRow("start+0 reports no move") << 4ull << 3ull << 0ll << 0 << -1 << 0ull;
        QTest::newRow("current+2") << 8ull << 3ull << 2ll << 1 << 0 << 5ull;
        QTest::newRow("current past the end") << 8ull << 3ull << 5ll << 1 << -1 << 3ull;
        QTest::newRow("current-2") << 8ull << 3ull << -2ll << 1 << 0 << 1ull;
        QTest::newRow("current back to 0 not allowed") << 8ull << 3ull << -3ll << 1 << -1 << 3ull;
        QTest::newRow("end-2") << 8ull << 0ull << -2ll << 2 << 0 << 5ull;
        QTest::newRow("end+1 stays on the last byte") << 8ull << 0ull << 1ll << 2 << -1 << 7ull;
        QTest::newRow("end of the empty stream") << 0ull << 0ull << 0ll << 2 << -1 << 0ull;
    }

    void seekFollowsTheStepRules()
    {
        QFETCH(quint64, size);
        QFETCH(quint64, position);
        QFETCH(qint64, offset);
        QFETCH(int, origin);
        QFETCH(int, result);
        QFETCH(quint64, newPosition);

        uint8_t memory[8] = {};
        smlib_data stream;
        smlib_data_init(&stream, size ? memory : nullptr, size);
        stream.position = position;
        QCOMPARE(smlib_data_seek(&stream, offset, origin), result);
        QCOMPARE(quint64(smlib_data_tell(&stream)), newPosition);

        smlib_constData input;
        smlib_constData_init(&input, size ? memory : nullptr, size);
        input.position = position;
        QCOMPARE(smlib_constData_seek(&input, offset, origin), result);
        QCOMPARE(quint64(smlib_constData_tell(&input)), newPosition);
    }

    void unsignedStepStaysInsideItsLimits_data()
    {
        QTest::addColumn<quint64>("value");
        QTest::addColumn<quint64>("limit");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<quint64>("result");

        QTest::newRow("5+4 below 10") << 5ull << 10ull << 4ll << 9ull;
        QTest::newRow("5+5 reaches the limit") << 5ull << 10ull << 5ll << 5ull;
        QTest::newRow("5-4") << 5ull << 10ull << -4ll << 1ull;
        QTest::newRow("5-5 would reach 0") << 5ull << 10ull << -5ll << 5ull;
        QTest::newRow("zero step") << 5ull << 10ull << 0ll << 5ull;
        QTest::newRow("value beyond the limit") << 12ull << 10ull << 1ll << 12ull;
        QTest::newRow("no overflow near the top")
            << quint64(UINT64_MAX - 1) << quint64(UINT64_MAX) << qint64(INT64_MAX) << quint64(UINT64_MAX - 1);
        QTest::newRow("most negative step") << quint64(UINT64_MAX) << quint64(UINT64_MAX) << qint64(INT64_MIN)
                                            << quint64(UINT64_MAX - (uint64_t(1) << 63));
    }

    void unsignedStepStaysInsideItsLimits()
    {
        QFETCH(quint64, value);
        QFETCH(quint64, limit);
        QFETCH(qint64, step);
        QFETCH(quint64, result);
        QCOMPARE(quint64(smlib_unsigned_inc(value, limit, step)), result);
    }
};

QTEST_APPLESS_MAIN(TestByteStreams)
#include "tst_ByteStreams.moc"
