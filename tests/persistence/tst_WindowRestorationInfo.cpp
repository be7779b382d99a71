#include "persistence/ControlChangeWindowRestorationInfo.h"
#include "persistence/WindowRestorationInfo.h"

#include <QtTest>

class tst_WindowRestorationInfo : public QObject {
    Q_OBJECT

private slots:
    void controllerNumberIsReadOnlyWhenValid_data()
    {
        QTest::addColumn<QList<QVariant>>("parameters");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::newRow("stored pair") << QList<QVariant>{127, 0} << true << 127;
        QTest::newRow("number as text") << QList<QVariant>{QString("64")} << true << 64;
        QTest::newRow("empty") << QList<QVariant>{} << false << 0;
        QTest::newRow("negative") << QList<QVariant>{-1, 0} << false << 0;
        QTest::newRow("above 127") << QList<QVariant>{128, 0} << false << 0;
        QTest::newRow("not a number") << QList<QVariant>{QString("volume"), 0} << false << 0;
    }

    void controllerNumberIsReadOnlyWhenValid()
    {
        QFETCH(QList<QVariant>, parameters);
        QFETCH(bool, valid);
        QFETCH(int, number);
        unsigned char result = 200;
        QCOMPARE(ControlChangeWindowRestorationInfo::controllerNumberFromParameters(parameters, result), valid);
        QCOMPARE(int(result), valid ? number : 200);
        if (valid) {
            QCOMPARE(ControlChangeWindowRestorationInfo(result).getRestorationParameters(), (QList<QVariant>{number, 0}));
        }
    }
};


QTEST_APPLESS_MAIN(tst_WindowRestorationInfo)
#include "tst_WindowRestorationInfo.moc"
