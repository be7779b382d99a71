#include "engine/MessageTables.h"
#include "engine/MonitorLineFormat.h"

#include <QtTest>

#include <vector>

namespace {

QByteArray bytesOf(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray lineOf(const MonitorLineFormat& format, const QByteArray& bytes, unsigned int eventType,
                  quint32 timeStamp, unsigned int port = 0)
{
    QByteArray out;
    format.appendMonitorLine(out, reinterpret_cast<const unsigned char*>(bytes.constData()),
                             std::size_t(bytes.size()), eventType, timeStamp, port);
    return out;
}

const quint32 ExampleTime = 3723004;

} // namespace

class tst_MonitorLineFormat : public QObject {
    Q_OBJECT

private slots:
    void exampleLinesMatchToTheCharacter_data();
    void exampleLinesMatchToTheCharacter();
    void noteNamesFollowMiddleC_data();
    void noteNamesFollowMiddleC();
    void timeFieldFormats_data();
    void timeFieldFormats();
    void detailSwitchRemovesPortTypeAndDetailTogether();
    void threeByteMessagesOfOtherTypesHaveNoDetail();
    void noteOnWithVelocityZeroKeepsItsLabel();
    void typesBeyondTheTableShowDashes();
    void systemExclusiveTextBreaksBeforeEveryStatusButF7();
    void emptyMessageGivesNoHexText();
    void nameTablesHaveTheirShape();
};

void tst_MonitorLineFormat::exampleLinesMatchToTheCharacter_data()
{
    QTest::addColumn<bool>("showTime");
    QTest::addColumn<int>("timeFormat");
    QTest::addColumn<bool>("showDetail");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("eventType");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("clock time with detail")
        << true << 0 << true << bytesOf("903C64") << 1 << QByteArray("01:02:03:004 Port1 NoteOn   90 3C 64 [C3]");
    QTest::newRow("integer time with detail")
        << true << 1 << true << bytesOf("903C64") << 1 << QByteArray("000003723004 Port1 NoteOn   90 3C 64 [C3]");
    QTest::newRow("control change")
        << false << 0 << true << bytesOf("B00764") << 3 << QByteArray("Port1 CC       B0 07 64 [007 Volume]");
    QTest::newRow("program change")
        << false << 0 << true << bytesOf("C005") << 4 << QByteArray("Port1 PC       C0 05");
    QTest::newRow("system exclusive")
        << false << 0 << true << bytesOf("F07E7F0601F7") << 7 << QByteArray("Port1 SysEx    F0 7E 7F 06 01 F7");
    QTest::newRow("no time, no detail")
        << false << 0 << false << bytesOf("903C64") << 1 << QByteArray("90 3C 64");
    QTest::newRow("unparsed chunk")
        << false << 0 << true << bytesOf("903C64803C00") << int(UnparsedEventType)
        << QByteArray("Port1 -------- 90 3C 64 80 3C 00");
}

void tst_MonitorLineFormat::exampleLinesMatchToTheCharacter()
{
    QFETCH(bool, showTime);
    QFETCH(int, timeFormat);
    QFETCH(bool, showDetail);
    QFETCH(QByteArray, bytes);
    QFETCH(int, eventType);
    QFETCH(QByteArray, line);

    MonitorLineFormat format;
    format.setShowTime(showTime);
    format.setTimeFormat(timeFormat);
    format.setShowDetail(showDetail);
    format.setMiddleC(0);
    QCOMPARE(lineOf(format, bytes, unsigned(eventType), ExampleTime), "\n" + line);
}

void tst_MonitorLineFormat::noteNamesFollowMiddleC_data()
{
    QTest::addColumn<int>("middleC");
    QTest::addColumn<int>("note");
    QTest::addColumn<QByteArray>("detail");

    QTest::newRow("C3: note 60") << 0 << 60 << QByteArray("[C3]");
    QTest::newRow("C4: note 60") << 1 << 60 << QByteArray("[C4]");
    QTest::newRow("C5: note 60") << 2 << 60 << QByteArray("[C5]");
    QTest::newRow("C3: note 0") << 0 << 0 << QByteArray("[C-2]");
    QTest::newRow("C4: note 0") << 1 << 0 << QByteArray("[C-1]");
    QTest::newRow("C5: note 127") << 2 << 127 << QByteArray("[G10]");
    QTest::newRow("C3: note 61") << 0 << 61 << QByteArray("[C#3]");
    QTest::newRow("C3: note 71") << 0 << 71 << QByteArray("[B3]");
    QTest::newRow("out of range setting: 7 taken as C5") << 7 << 60 << QByteArray("[C5]");
    QTest::newRow("out of range setting: -4 taken as C3") << -4 << 60 << QByteArray("[C3]");
}

void tst_MonitorLineFormat::noteNamesFollowMiddleC()
{
    QFETCH(int, middleC);
    QFETCH(int, note);
    QFETCH(QByteArray, detail);

    MonitorLineFormat format;
    format.setShowDetail(true);
    format.setMiddleC(middleC);
    QByteArray bytes("\x80\x00\x40", 3);
    bytes[1] = char(note);
    QVERIFY(lineOf(format, bytes, 0, 0).endsWith(" " + detail));
    bytes[0] = char(0x90);
    QVERIFY(lineOf(format, bytes, 1, 0).endsWith(" " + detail));
}

void tst_MonitorLineFormat::timeFieldFormats_data()
{
    QTest::addColumn<int>("timeFormat");
    QTest::addColumn<quint32>("timeStamp");
    QTest::addColumn<QByteArray>("field");

    QTest::newRow("clock, zero") << 0 << quint32(0) << QByteArray("00:00:00:000 ");
    QTest::newRow("clock, last millisecond of the day") << 0 << quint32(86399999) << QByteArray("23:59:59:999 ");
    QTest::newRow("clock, hours are not wrapped") << 0 << quint32(100 * 3600000u + 5) << QByteArray("100:00:00:005 ");
    QTest::newRow("integer, zero") << 1 << quint32(0) << QByteArray("000000000000 ");
    QTest::newRow("integer, largest") << 1 << quint32(4294967295u) << QByteArray("004294967295 ");
    QTest::newRow("unknown format shows the clock") << 5 << quint32(1000) << QByteArray("00:00:01:000 ");
}

void tst_MonitorLineFormat::timeFieldFormats()
{
    QFETCH(int, timeFormat);
    QFETCH(quint32, timeStamp);
    QFETCH(QByteArray, field);

    MonitorLineFormat format;
    format.setShowTime(true);
    format.setTimeFormat(timeFormat);
    QCOMPARE(lineOf(format, bytesOf("F8"), 12, timeStamp), "\n" + field + "F8");
}

void tst_MonitorLineFormat::detailSwitchRemovesPortTypeAndDetailTogether()
{
    MonitorLineFormat format;
    format.setShowTime(true);
    format.setShowDetail(false);
    QCOMPARE(lineOf(format, bytesOf("B00764"), 3, ExampleTime, 1), QByteArray("\n01:02:03:004 B0 07 64"));
    format.setShowDetail(true);
    QCOMPARE(lineOf(format, bytesOf("B00764"), 3, ExampleTime, 1),
             QByteArray("\n01:02:03:004 Port2 CC       B0 07 64 [007 Volume]"));
    format.setShowTime(false);
    QCOMPARE(lineOf(format, bytesOf("B00764"), 3, ExampleTime, 1), QByteArray("\nPort2 CC       B0 07 64 [007 Volume]"));
}

void tst_MonitorLineFormat::threeByteMessagesOfOtherTypesHaveNoDetail()
{
    MonitorLineFormat format;
    format.setShowDetail(true);
    QCOMPARE(lineOf(format, bytesOf("A03C40"), 2, 0), QByteArray("\nPort1 KeyPre   A0 3C 40"));
    QCOMPARE(lineOf(format, bytesOf("E00040"), 6, 0), QByteArray("\nPort1 PB       E0 00 40"));
    QCOMPARE(lineOf(format, bytesOf("F20100"), 9, 0), QByteArray("\nPort1 SongPos  F2 01 00"));
    // Raw bytes that happen to be three long are not parsed, so they carry no name either.
    QCOMPARE(lineOf(format, bytesOf("903C64"), UnparsedEventType, 0), QByteArray("\nPort1 -------- 90 3C 64"));
}

void tst_MonitorLineFormat::noteOnWithVelocityZeroKeepsItsLabel()
{
    MonitorLineFormat format;
    format.setShowDetail(true);
    QCOMPARE(lineOf(format, bytesOf("903C00"), 1, 0), QByteArray("\nPort1 NoteOn   90 3C 00 [C3]"));
}

void tst_MonitorLineFormat::typesBeyondTheTableShowDashes()
{
    MonitorLineFormat format;
    format.setShowDetail(true);
    QCOMPARE(lineOf(format, bytesOf("F8"), 200, 0), QByteArray("\nPort1 -------- F8"));
}

void tst_MonitorLineFormat::systemExclusiveTextBreaksBeforeEveryStatusButF7()
{
    QByteArray text;
    const QByteArray one = bytesOf("F07E7F0601F7");
    QVERIFY(MonitorLineFormat::convertDisplayFormatFromMidiData(
        text, reinterpret_cast<const unsigned char*>(one.constData()), std::size_t(one.size()), true));
    QCOMPARE(text, QByteArray("\nF0 7E 7F 06 01 F7"));

    // A byte such as F4 inside a message starts a line of its own; the separator stays before it.
    const QByteArray inner = bytesOf("F001F402F7");
    QVERIFY(MonitorLineFormat::convertDisplayFormatFromMidiData(
        text, reinterpret_cast<const unsigned char*>(inner.constData()), std::size_t(inner.size()), true));
    QCOMPARE(text, QByteArray("\nF0 7E 7F 06 01 F7\nF0 01 \nF4 02 F7"));
}

void tst_MonitorLineFormat::emptyMessageGivesNoHexText()
{
    QByteArray text("kept");
    QVERIFY(!MonitorLineFormat::convertDisplayFormatFromMidiData(text, nullptr, 0, true));
    QCOMPARE(text, QByteArray("kept"));
}

void tst_MonitorLineFormat::nameTablesHaveTheirShape()
{
    for (int type = 0; type < MessageTypeCount; ++type) {
        QCOMPARE(qstrlen(MessageType[type]), 8u);
    }
    for (int number = 0; number < ControlChangeNameCount; ++number) {
        const QByteArray name(ControlChangeNameList[number]);
        QVERIFY2(name.startsWith(QByteArray::number(number).rightJustified(3, '0') + ' '), name.constData());
    }
    QCOMPARE(QByteArray(ControlChangeNameList[31]), QByteArray("031 ---"));
    QCOMPARE(QByteArray(ControlChangeNameList[85]), QByteArray("085 ---"));
    QCOMPARE(QByteArray(ControlChangeNameList[127]), QByteArray("127 Poly On"));
    QCOMPARE(QByteArray(OctaveNoteList[11]), QByteArray("B"));
}

QTEST_GUILESS_MAIN(tst_MonitorLineFormat)
#include "tst_MonitorLineFormat.moc"
