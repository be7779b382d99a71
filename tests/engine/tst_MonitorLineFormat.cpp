#include "testkit/Hex.h"
#include "engine/MessageTables.h"
#include "engine/MonitorLineFormat.h"

#include <QtTest>

#include <vector>

namespace {

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
    void exampleLinesMatchToTheCharacter_data()
    {
        QTest::addColumn<bool>("showTime");
        QTest::addColumn<int>("timeFormat");
        QTest::addColumn<bool>("showDetail");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("eventType");
        QTest::addColumn<int>("port");
        QTest::addColumn<QByteArray>("line");
        auto row = [](const char* name, bool time, int format, bool detail, const char* bytes, int type, int port,
                      const char* line) {
            QTest::newRow(name) << time << format << detail << hex(bytes) << type << port << QByteArray(line);
        };
        row("clock time with detail", true, 0, true, "903C64", 1, 0, "01:02:03:004 Port1 NoteOn   90 3C 64 [C3]");
        row("second port", true, 0, true, "B00764", 3, 1, "01:02:03:004 Port2 CC       B0 07 64 [007 Volume]");
        // The detail switch removes port, type and detail together.
        row("time, no detail", true, 0, false, "B00764", 3, 1, "01:02:03:004 B0 07 64");
        row("no time, no detail", false, 0, false, "903C64", 1, 0, "90 3C 64");
        row("note-on with velocity 0 keeps its label", false, 0, true, "903C00", 1, 0, "Port1 NoteOn   90 3C 00 [C3]");
        // Three-byte messages of other types carry no detail; the type names are checked by their shape.
        row("key pressure", false, 0, true, "A03C40", 2, 0, "Port1 KeyPre   A0 3C 40");
        // Raw bytes are not parsed, so they carry no name, even when three long.
        row("unparsed chunk", false, 0, true, "903C64803C00", int(UnparsedEventType), 0,
            "Port1 -------- 90 3C 64 80 3C 00");
        row("unparsed three bytes", false, 0, true, "903C64", int(UnparsedEventType), 0, "Port1 -------- 90 3C 64");
        row("type beyond the table", false, 0, true, "F8", 200, 0, "Port1 -------- F8");
    }

    void exampleLinesMatchToTheCharacter()
    {
        QFETCH(bool, showTime);
        QFETCH(int, timeFormat);
        QFETCH(bool, showDetail);
        QFETCH(QByteArray, bytes);
        QFETCH(int, eventType);
        QFETCH(int, port);
        QFETCH(QByteArray, line);

        MonitorLineFormat format;
        format.setShowTime(showTime);
        format.setTimeFormat(timeFormat);
        format.setShowDetail(showDetail);
        format.setMiddleC(0);
        QCOMPARE(lineOf(format, bytes, unsigned(eventType), ExampleTime, unsigned(port)), "\n" + line);
    }

    void noteNamesFollowMiddleC_data()
    {
        QTest::addColumn<int>("middleC");
        QTest::addColumn<int>("note");
        QTest::addColumn<QByteArray>("detail");

        QTest::newRow("C4: note 60") << 1 << 60 << QByteArray("[C4]");
        QTest::newRow("C3: note 0") << 0 << 0 << QByteArray("[C-2]");
        QTest::newRow("C5: note 127") << 2 << 127 << QByteArray("[G10]");
        QTest::newRow("C3: note 61") << 0 << 61 << QByteArray("[C#3]");
        QTest::newRow("out of range setting: 7 taken as C5") << 7 << 60 << QByteArray("[C5]");
        QTest::newRow("out of range setting: -4 taken as C3") << -4 << 60 << QByteArray("[C3]");
    }

    void noteNamesFollowMiddleC()
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

    void timeFieldFormats_data()
    {
        QTest::addColumn<int>("timeFormat");
        QTest::addColumn<quint32>("timeStamp");
        QTest::addColumn<QByteArray>("field");

        QTest::newRow("clock, last millisecond of the day") << 0 << quint32(86399999) << QByteArray("23:59:59:999 ");
        QTest::newRow("clock, hours are not wrapped") << 0 << quint32(100 * 3600000u + 5) << QByteArray("100:00:00:005 ");
        QTest::newRow("integer, zero") << 1 << quint32(0) << QByteArray("000000000000 ");
        QTest::newRow("integer, largest") << 1 << quint32(4294967295u) << QByteArray("004294967295 ");
        QTest::newRow("unknown format shows the clock") << 5 << quint32(1000) << QByteArray("00:00:01:000 ");
    }

    void timeFieldFormats()
    {
        QFETCH(int, timeFormat);
        QFETCH(quint32, timeStamp);
        QFETCH(QByteArray, field);

        MonitorLineFormat format;
        format.setShowTime(true);
        format.setTimeFormat(timeFormat);
        QCOMPARE(lineOf(format, hex("F8"), 12, timeStamp), "\n" + field + "F8");
    }

    void systemExclusiveTextBreaksBeforeEveryStatusButF7()
    {
        QByteArray text;
        const QByteArray one = hex("F07E7F0601F7");
        QVERIFY(MonitorLineFormat::convertDisplayFormatFromMidiData(
            text, reinterpret_cast<const unsigned char*>(one.constData()), std::size_t(one.size()), true));
        QCOMPARE(text, QByteArray("\nF0 7E 7F 06 01 F7"));

        // A byte such as F4 inside a message starts a line of its own; the separator stays before it.
        const QByteArray inner = hex("F001F402F7");
        QVERIFY(MonitorLineFormat::convertDisplayFormatFromMidiData(
            text, reinterpret_cast<const unsigned char*>(inner.constData()), std::size_t(inner.size()), true));
        QCOMPARE(text, QByteArray("\nF0 7E 7F 06 01 F7\nF0 01 \nF4 02 F7"));

        // An empty message gives no text.
        QVERIFY(!MonitorLineFormat::convertDisplayFormatFromMidiData(text, nullptr, 0, true));
        QCOMPARE(text, QByteArray("\nF0 7E 7F 06 01 F7\nF0 01 \nF4 02 F7"));
    }

    void nameTablesHaveTheirShape()
    {
        for (int type = 0; type < MessageTypeCount; ++type) {
            QCOMPARE(qstrlen(MessageType[type]), 8u);
        }
        for (int number = 0; number < ControlChangeNameCount; ++number) {
            const QByteArray name(ControlChangeNameList[number]);
            QVERIFY2(name.startsWith(QByteArray::number(number).rightJustified(3, '0') + ' '), name.constData());
        }
    }
};

QTEST_GUILESS_MAIN(tst_MonitorLineFormat)
#include "tst_MonitorLineFormat.moc"
