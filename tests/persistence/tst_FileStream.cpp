#include "persistence/FileStream.h"

#include <QBuffer>
#include <QtTest>

namespace {

QByteArray intBytes(std::initializer_list<qint32> values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (qint32 value : values) {
        out << value;
    }
    return bytes;
}

} // namespace

class tst_FileStream : public QObject {
    Q_OBJECT

private slots:
    void integerRecordIsTagSizeValueBigEndian();
    void recordsReadBackInWrittenOrder();
    void integerRecordMismatches_data();
    void integerRecordMismatches();
    void stringRecordHoldsUtf8Bytes();
    void emptyStringWritesTagAndZeroLengthAndReportsFalse();
    void stringReadStopsAtFirstNul();
    void stringRecordMismatches_data();
    void stringRecordMismatches();
    void damagedLengthReadsOnlyWhatIsThere();
};

void tst_FileStream::integerRecordIsTagSizeValueBigEndian()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    QVERIFY(FileStream::setIntParameterToStream(out, 2, 0x01020304));
    QCOMPARE(bytes, QByteArray::fromHex("00000002" "00000004" "01020304"));
}

void tst_FileStream::recordsReadBackInWrittenOrder()
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        FileStream::setIntParameterToStream(out, 0, -7);
        FileStream::setStringParameterToStream(out, 1, QStringLiteral("F0 7E // Grüße"));
        FileStream::setIntParameterToStream(out, 2, 127);
    }
    QDataStream in(bytes);
    qint32 value = 99;
    QString text;
    QVERIFY(FileStream::getIntParameterFromStream(in, 0, value));
    QCOMPARE(value, -7);
    QVERIFY(FileStream::getStringParameterFromStream(in, 1, text));
    QCOMPARE(text, QStringLiteral("F0 7E // Grüße"));
    QVERIFY(FileStream::getIntParameterFromStream(in, 2, value));
    QCOMPARE(value, 127);
    QVERIFY(!FileStream::getIntParameterFromStream(in, 3, value));
    QCOMPARE(value, 0);
}

void tst_FileStream::integerRecordMismatches_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("consumed");

    QTest::newRow("empty stream") << QByteArray() << 0;
    QTest::newRow("other tag") << intBytes({5, 4, 1}) << 4;
    QTest::newRow("size not 4") << intBytes({1, 8, 1}) << 8;
    QTest::newRow("cut after tag") << intBytes({1}) << 4;
    QTest::newRow("cut after size") << intBytes({1, 4}) << 8;
    QTest::newRow("cut inside value") << intBytes({1, 4}) + QByteArray(2, 'x') << 10;
}

void tst_FileStream::integerRecordMismatches()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, consumed);

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QDataStream in(&buffer);
    qint32 value = 42;
    QVERIFY(!FileStream::getIntParameterFromStream(in, 1, value));
    QCOMPARE(value, 0);
    QCOMPARE(int(buffer.pos()), consumed);
}

void tst_FileStream::stringRecordHoldsUtf8Bytes()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    QVERIFY(FileStream::setStringParameterToStream(out, 0, QStringLiteral("ä7")));
    QCOMPARE(bytes, QByteArray::fromHex("00000000" "00000003" "c3a437"));
}

void tst_FileStream::emptyStringWritesTagAndZeroLengthAndReportsFalse()
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        QVERIFY(!FileStream::setStringParameterToStream(out, 0, QString()));
        FileStream::setIntParameterToStream(out, 1, 3);
    }
    QCOMPARE(bytes.left(8), QByteArray::fromHex("00000000" "00000000"));

    QDataStream in(bytes);
    QString text = QStringLiteral("old");
    QVERIFY(FileStream::getStringParameterFromStream(in, 0, text));
    QVERIFY(text.isEmpty());
    qint32 value = 0;
    QVERIFY(FileStream::getIntParameterFromStream(in, 1, value));
    QCOMPARE(value, 3);
}

void tst_FileStream::stringReadStopsAtFirstNul()
{
    const QByteArray bytes = intBytes({0, 5}) + QByteArray("ab\0cd", 5);
    QDataStream in(bytes);
    QString text;
    QVERIFY(FileStream::getStringParameterFromStream(in, 0, text));
    QCOMPARE(text, QStringLiteral("ab"));
    QVERIFY(in.atEnd());
}

void tst_FileStream::stringRecordMismatches_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty stream") << QByteArray();
    QTest::newRow("other tag") << intBytes({3, 1}) + "A";
    QTest::newRow("cut after tag") << intBytes({0});
    QTest::newRow("length without bytes") << intBytes({0, 4});
}

void tst_FileStream::stringRecordMismatches()
{
    QFETCH(QByteArray, bytes);

    QDataStream in(bytes);
    QString text = QStringLiteral("old");
    QVERIFY(!FileStream::getStringParameterFromStream(in, 0, text));
    QVERIFY(text.isEmpty());
}

void tst_FileStream::damagedLengthReadsOnlyWhatIsThere()
{
    // A length of nearly 2 GiB in a short payload must neither allocate it nor fail the bytes
    // that are present.
    const QByteArray bytes = intBytes({0, 0x7ffffff0}) + "F0 F7";
    QDataStream in(bytes);
    QString text;
    QVERIFY(FileStream::getStringParameterFromStream(in, 0, text));
    QCOMPARE(text, QStringLiteral("F0 F7"));

    const QByteArray negative = intBytes({0, -5}) + "xyz";
    QDataStream in2(negative);
    QVERIFY(FileStream::getStringParameterFromStream(in2, 0, text));
    QVERIFY(text.isEmpty());
}

QTEST_APPLESS_MAIN(tst_FileStream)
#include "tst_FileStream.moc"
