#include "support/TimeFunctions.h"

#include <QTime>
#include <QtTest>

class tst_TimeFunctions : public QObject {
    Q_OBJECT

private slots:
    void millisecondCountsFoldIntoOneDay_data()
    {
        QTest::addColumn<quint64>("milliseconds");
        QTest::addColumn<quint64>("folded");
        QTest::newRow("zero") << quint64(0) << quint64(0);
        QTest::newRow("last of the day") << quint64(86399999) << quint64(86399999);
        QTest::newRow("one day") << quint64(86400000) << quint64(0);
        QTest::newRow("largest") << quint64(UINT64_MAX) << quint64(UINT64_MAX % 86400000u);
    }

    void millisecondCountsFoldIntoOneDay()
    {
        QFETCH(quint64, milliseconds);
        QFETCH(quint64, folded);
        QCOMPARE(roundTo24Hours(milliseconds), folded);
    }

    void timeOfDayIsWithinOneDayAndFollowsTheWallClock()
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            int const before = QTime::currentTime().msecsSinceStartOfDay();
            uint32_t const now = getCurrentTimeInMilliseconds();
            int const after = QTime::currentTime().msecsSinceStartOfDay();
            QVERIFY(now < MsecsPerDay);
            if (before <= after) { // not across midnight
                QVERIFY(int(now) >= before && int(now) <= after);
                return;
            }
        }
        QFAIL("the wall clock kept crossing midnight");
    }
};

QTEST_GUILESS_MAIN(tst_TimeFunctions)
#include "tst_TimeFunctions.moc"
