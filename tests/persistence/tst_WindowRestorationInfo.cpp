#include "persistence/ControlChangeWindowRestorationInfo.h"
#include "persistence/WindowRestorationInfo.h"

#include <QtTest>

class tst_WindowRestorationInfo : public QObject {
    Q_OBJECT

private slots:
    void identifiersKeepTheirStoredNumbers_data();
    void identifiersKeepTheirStoredNumbers();
    void onlyOneToFourteenAreToolWindows_data();
    void onlyOneToFourteenAreToolWindows();
    void plainKindsHaveNoExtraValues();
    void controlChangeCarriesItsControllerNumber();
    void controllerNumberIsReadOnlyWhenValid_data();
    void controllerNumberIsReadOnlyWhenValid();
};

void tst_WindowRestorationInfo::identifiersKeepTheirStoredNumbers_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("number");
    QTest::newRow("main window") << int(WindowRestorationInfo::MainWindowId) << 0;
    QTest::newRow("In monitor") << int(WindowRestorationInfo::MidiInMonitorId) << 1;
    QTest::newRow("Out monitor") << int(WindowRestorationInfo::MidiOutMonitorId) << 2;
    QTest::newRow("message editor") << int(WindowRestorationInfo::MidiMessageEditorId) << 3;
    QTest::newRow("keyboard") << int(WindowRestorationInfo::KeyboardId) << 4;
    QTest::newRow("control change") << int(WindowRestorationInfo::ControlChangeId) << 5;
    QTest::newRow("program change") << int(WindowRestorationInfo::ProgramChangeId) << 6;
    QTest::newRow("MIDI settings") << int(WindowRestorationInfo::MidiSettingsId) << 7;
    QTest::newRow("filter") << int(WindowRestorationInfo::FilterId) << 8;
    QTest::newRow("timing clock") << int(WindowRestorationInfo::TimingClockId) << 9;
    QTest::newRow("pitch bend") << int(WindowRestorationInfo::PitchBendId) << 10;
    QTest::newRow("active sensing") << int(WindowRestorationInfo::ActiveSensingId) << 11;
    QTest::newRow("PC keyboard") << int(WindowRestorationInfo::PCKeyboardId) << 12;
    QTest::newRow("custom message") << int(WindowRestorationInfo::CustomMidiMessageId) << 13;
    QTest::newRow("transport panel") << int(WindowRestorationInfo::TransportPanelId) << 14;
}

void tst_WindowRestorationInfo::identifiersKeepTheirStoredNumbers()
{
    QFETCH(int, id);
    QFETCH(int, number);
    QCOMPARE(id, number);
}

void tst_WindowRestorationInfo::onlyOneToFourteenAreToolWindows_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("isTool");
    QTest::newRow("negative") << -1 << false;
    QTest::newRow("main window") << 0 << false;
    QTest::newRow("first") << 1 << true;
    QTest::newRow("middle") << 7 << true;
    QTest::newRow("last") << 14 << true;
    QTest::newRow("past the last") << 15 << false;
    QTest::newRow("huge") << 2147483647 << false;
}

void tst_WindowRestorationInfo::onlyOneToFourteenAreToolWindows()
{
    QFETCH(int, id);
    QFETCH(bool, isTool);
    QCOMPARE(WindowRestorationInfo::isToolWindowId(id), isTool);
}

void tst_WindowRestorationInfo::plainKindsHaveNoExtraValues()
{
    WindowRestorationInfo info(WindowRestorationInfo::KeyboardId);
    QCOMPARE(info.getWindowId(), WindowRestorationInfo::KeyboardId);
    QVERIFY(info.getRestorationParameters().isEmpty());
    info.setWindowId(WindowRestorationInfo::MidiOutMonitorId);
    QCOMPARE(info.getWindowId(), WindowRestorationInfo::MidiOutMonitorId);
}

void tst_WindowRestorationInfo::controlChangeCarriesItsControllerNumber()
{
    ControlChangeWindowRestorationInfo info(74);
    const WindowRestorationInfo& base = info;
    QCOMPARE(base.getWindowId(), WindowRestorationInfo::ControlChangeId);
    QCOMPARE(base.getRestorationParameters(), (QList<QVariant>{74, 0}));

    info.setRestorationParameters({7, 0});
    unsigned char number = 0;
    QVERIFY(ControlChangeWindowRestorationInfo::controllerNumberFromParameters(base.getRestorationParameters(), number));
    QCOMPARE(int(number), 7);
}

void tst_WindowRestorationInfo::controllerNumberIsReadOnlyWhenValid_data()
{
    QTest::addColumn<QList<QVariant>>("parameters");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("number");
    QTest::newRow("stored pair") << QList<QVariant>{127, 0} << true << 127;
    QTest::newRow("zero") << QList<QVariant>{0} << true << 0;
    QTest::newRow("number as text") << QList<QVariant>{QString("64")} << true << 64;
    QTest::newRow("empty") << QList<QVariant>{} << false << 0;
    QTest::newRow("negative") << QList<QVariant>{-1, 0} << false << 0;
    QTest::newRow("above 127") << QList<QVariant>{128, 0} << false << 0;
    QTest::newRow("not a number") << QList<QVariant>{QString("volume"), 0} << false << 0;
}

void tst_WindowRestorationInfo::controllerNumberIsReadOnlyWhenValid()
{
    QFETCH(QList<QVariant>, parameters);
    QFETCH(bool, valid);
    QFETCH(int, number);
    unsigned char result = 200;
    QCOMPARE(ControlChangeWindowRestorationInfo::controllerNumberFromParameters(parameters, result), valid);
    QCOMPARE(int(result), valid ? number : 200);
}

QTEST_APPLESS_MAIN(tst_WindowRestorationInfo)
#include "tst_WindowRestorationInfo.moc"
