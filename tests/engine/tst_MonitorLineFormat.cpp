#include "testkit/Hex.h"
#include "engine/MessageTables.h"
#include "engine/MonitorLineFormat.h"

#include <QtTest>

namespace {

const int NoTime = -1;
const quint32 ExampleTime = 3723004;

const unsigned char* data(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

} // namespace

class tst_MonitorLineFormat : public QObject {
    Q_OBJECT

private slots:
    void linesMatchToTheCharacter_data()
    {
        QTest::addColumn<int>("timeFormat"); // NoTime: no time field
        QTest::addColumn<bool>("detail");
        QTest::addColumn<int>("middleC");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("eventType");
        QTest::addColumn<int>("port");
        QTest::addColumn<quint32>("timeStamp");
        QTest::addColumn<QByteArray>("line");
        auto row = [](const char* name, int timeFormat, bool detail, int middleC, const char* bytes, int type, int port,
                      quint32 timeStamp, const char* line) {
            QTest::newRow(name) << timeFormat << detail << middleC << hex(bytes) << type << port << timeStamp
                                << QByteArray(line);
        };
        auto note = [&row](const char* name, int middleC, const char* bytes, int type, const char* line) {
            row(name, NoTime, true, middleC, bytes, type, 0, 0, line);
        };
        auto time = [&row](const char* name, int timeFormat, quint32 timeStamp, const char* line) {
            row(name, timeFormat, false, 0, "F8", 12, 0, timeStamp, line);
        };

        row("clock time with detail", 0, true, 0, "903C64", 1, 0, ExampleTime, "01:02:03:004 Port1 NoteOn   90 3C 64 [C3]");
        row("second port", 0, true, 0, "B00764", 3, 1, ExampleTime, "01:02:03:004 Port2 CC       B0 07 64 [007 Volume]");
        // The detail switch removes port, type and detail together.
        row("time, no detail", 0, false, 0, "B00764", 3, 1, ExampleTime, "01:02:03:004 B0 07 64");
        row("no time, no detail", NoTime, false, 0, "903C64", 1, 0, ExampleTime, "90 3C 64");
        // Three-byte messages of other types carry no detail; the type names are checked by their shape.
        row("key pressure", NoTime, true, 0, "A03C40", 2, 0, 0, "Port1 KeyPre   A0 3C 40");
        // Raw bytes are not parsed, so they carry no name, even when three long.
        row("unparsed chunk", NoTime, true, 0, "903C64803C00", int(UnparsedEventType), 0, 0,
            "Port1 -------- 90 3C 64 80 3C 00");
        row("unparsed three bytes", NoTime, true, 0, "903C64", int(UnparsedEventType), 0, 0, "Port1 -------- 90 3C 64");
        row("type beyond the table", NoTime, true, 0, "F8", 200, 0, 0, "Port1 -------- F8");

        note("C4: note 60", 1, "903C40", 1, "Port1 NoteOn   90 3C 40 [C4]");
        note("C3: note 0 off", 0, "800040", 0, "Port1 NoteOff  80 00 40 [C-2]");
        note("C5: note 127", 2, "907F40", 1, "Port1 NoteOn   90 7F 40 [G10]");
        note("C3: note 61", 0, "903D40", 1, "Port1 NoteOn   90 3D 40 [C#3]");
        note("out of range setting: 7 taken as C5", 7, "803C40", 0, "Port1 NoteOff  80 3C 40 [C5]");
        note("out of range setting: -4 taken as C3", -4, "903C40", 1, "Port1 NoteOn   90 3C 40 [C3]");

        time("clock, last millisecond of the day", 0, 86399999, "23:59:59:999 F8");
        time("clock, hours are not wrapped", 0, 100 * 3600000u + 5, "100:00:00:005 F8");
        time("integer, zero", 1, 0, "000000000000 F8");
        time("integer, largest", 1, 4294967295u, "004294967295 F8");
        time("unknown format shows the clock", 5, 1000, "00:00:01:000 F8");
    }

    void linesMatchToTheCharacter()
    {
        QFETCH(int, timeFormat);
        QFETCH(bool, detail);
        QFETCH(int, middleC);
        QFETCH(QByteArray, bytes);
        QFETCH(int, eventType);
        QFETCH(int, port);
        QFETCH(quint32, timeStamp);
        QFETCH(QByteArray, line);

        MonitorLineFormat format;
        format.setShowTime(timeFormat != NoTime);
        format.setTimeFormat(timeFormat);
        format.setShowDetail(detail);
        format.setMiddleC(middleC);
        QByteArray out;
        format.appendMonitorLine(out, data(bytes), std::size_t(bytes.size()), unsigned(eventType), timeStamp, unsigned(port));
        QCOMPARE(out, "\n" + line);
    }

    void systemExclusiveTextBreaksBeforeEveryStatusButF7()
    {
        QByteArray text("before");
        const QByteArray message = hex("F001F402F7");
        QVERIFY(MonitorLineFormat::convertDisplayFormatFromMidiData(text, data(message), std::size_t(message.size()), true));
        // A byte such as F4 inside a message starts a line of its own; the separator stays before it.
        QCOMPARE(text, QByteArray("before\nF0 01 \nF4 02 F7"));
        // An empty message gives no text.
        QVERIFY(!MonitorLineFormat::convertDisplayFormatFromMidiData(text, nullptr, 0, true));
        QCOMPARE(text, QByteArray("before\nF0 01 \nF4 02 F7"));
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
