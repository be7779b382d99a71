#include "small/StaticMemoryLibrary/smlib_uaverage.h"

#include <QtTest>

class TestRunningAverage : public QObject
{
    Q_OBJECT

private slots:
    void averagesTheLastSamples_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QVector<quint64>>("samples");
        QTest::addColumn<QVector<quint64>>("averages");

        QTest::newRow("size 3: growing, then sliding") << 3 << QVector<quint64>{ 3, 6, 9, 12 } << QVector<quint64>{ 3, 4, 6, 9 };
        QTest::newRow("rounds down") << 3 << QVector<quint64>{ 1, 2 } << QVector<quint64>{ 1, 1 };
        QTest::newRow("one slot follows every sample") << 1 << QVector<quint64>{ 7, 2 } << QVector<quint64>{ 7, 2 };
    }

    void averagesTheLastSamples()
    {
        QFETCH(int, size);
        QFETCH(QVector<quint64>, samples);
        QFETCH(QVector<quint64>, averages);
        uint64_t buffer[3];
        smlib_uaverage average;
        smlib_uaverage_init(&average, buffer, uint64_t(size));
        for (int i = 0; i < samples.size(); ++i) {
            QCOMPARE(quint64(smlib_uaverage_calc(&average, samples[i])), averages[i]);
        }
    }

    void resetStartsAFreshWindow()
    {
        uint64_t buffer[2];
        smlib_uaverage average;
        smlib_uaverage_init(&average, buffer, 2);
        smlib_uaverage_calc(&average, 100);
        smlib_uaverage_calc(&average, 100);
        smlib_uaverage_reset(&average);
        QCOMPARE(smlib_uaverage_calc(&average, 4), uint64_t(4));
        QCOMPARE(smlib_uaverage_calc(&average, 8), uint64_t(6));
    }
};

QTEST_APPLESS_MAIN(TestRunningAverage)
#include "tst_RunningAverage.moc"
