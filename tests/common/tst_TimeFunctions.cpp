#include "support/TimeFunctions.h"

#include <QTime>
#include <QtTest>

class tst_TimeFunctions : public QObject {
    Q_OBJECT

private slots:
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
