#include "small/StaticMemoryLibrary/smlib_constData.h"
#include "small/StaticMemoryLibrary/smlib_data.h"
#include "small/StaticMemoryLibrary/smlib_unsigned.h"

#include <QtTest>

#include <cstring>
#include <numeric>

class TestByteStreams : public QObject
{
    Q_OBJECT

private slots:
    // Writing into and reading out of a stream of size bytes from position: only whole elements
    // that fit move, the position follows them, and nothing past them is touched.
    void transfersMoveWholeElementsThatFit_data()
    {
        QTest::addColumn<quint64>("size");
        QTest::addColumn<quint64>("position");
        QTest::addColumn<quint64>("elementSize");
        QTest::addColumn<quint64>("count");
        QTest::addColumn<quint64>("moved");

        QTest::newRow("stops when the next does not fit") << 2ull << 0ull << 1ull << 3ull << 2ull;
        QTest::newRow("full stream takes nothing") << 2ull << 2ull << 1ull << 1ull << 0ull;
        QTest::newRow("whole elements only") << 7ull << 0ull << 2ull << 4ull << 3ull;
        QTest::newRow("one byte left for two-byte elements") << 3ull << 2ull << 2ull << 1ull << 0ull;
        QTest::newRow("from the middle") << 8ull << 3ull << 1ull << 9ull << 5ull;
        QTest::newRow("empty stream") << 0ull << 0ull << 1ull << 1ull << 0ull;
    }

    void transfersMoveWholeElementsThatFit()
    {
        QFETCH(quint64, size);
        QFETCH(quint64, position);
        QFETCH(quint64, elementSize);
        QFETCH(quint64, count);
        QFETCH(quint64, moved);
        const size_t bytes = size_t(moved * elementSize);
        uint8_t source[16];
        std::iota(source, source + 16, uint8_t(0xA0));
        uint8_t memory[8] = {};
        uint8_t *const storage = size ? memory : nullptr;

        smlib_data out;
        smlib_data_init(&out, storage, size);
        out.position = position;
        QCOMPARE(quint64(smlib_data_write(&out, source, elementSize, count)), moved);
        QCOMPARE(quint64(smlib_data_tell(&out)), position + bytes);
        QCOMPARE(std::memcmp(memory + position, source, bytes), 0);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(memory) + position + bytes, int(8 - position - bytes)),
                 QByteArray(int(8 - position - bytes), '\0'));

        uint8_t read[16] = {};
        smlib_data in;
        smlib_data_init(&in, storage, size);
        in.position = position;
        QCOMPARE(quint64(smlib_data_read(&in, read, elementSize, count)), moved);
        QCOMPARE(quint64(smlib_data_tell(&in)), position + bytes);
        QCOMPARE(std::memcmp(read, source, bytes), 0);

        uint8_t constRead[16] = {};
        smlib_constData constIn;
        smlib_constData_init(&constIn, storage, size);
        constIn.position = position;
        QCOMPARE(quint64(smlib_constData_read(&constIn, constRead, elementSize, count)), moved);
        QCOMPARE(quint64(smlib_constData_tell(&constIn)), position + bytes);
        QCOMPARE(std::memcmp(constRead, source, bytes), 0);
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
        QTest::newRow("start+0 reports no move") << 4ull << 3ull << 0ll << 0 << -1 << 0ull;
        QTest::newRow("current+2") << 8ull << 3ull << 2ll << 1 << 0 << 5ull;
        QTest::newRow("current past the end") << 8ull << 3ull << 5ll << 1 << -1 << 3ull;
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
        QTest::newRow("5-5 would reach 0") << 5ull << 10ull << -5ll << 5ull;
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
        QTEST(quint64(smlib_unsigned_inc(value, limit, step)), "result");
    }
};

QTEST_APPLESS_MAIN(TestByteStreams)
#include "tst_ByteStreams.moc"
