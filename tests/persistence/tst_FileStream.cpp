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
    // An empty text writes its tag and a zero length but reports false; it reads back empty.
    void recordsAreTagSizeValueBigEndianAndReadBackInOrder()
    {
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            QVERIFY(FileStream::setIntParameterToStream(out, 2, 0x01020304));
            QVERIFY(FileStream::setStringParameterToStream(out, 0, QStringLiteral("ä7")));
            QVERIFY(!FileStream::setStringParameterToStream(out, 4, QString()));
            FileStream::setIntParameterToStream(out, 1, -7);
        }
        QCOMPARE(bytes.toHex(), QByteArray("00000002" "00000004" "01020304" "00000000" "00000003" "c3a437"
                                           "00000004" "00000000" "00000001" "00000004" "fffffff9"));
        QDataStream in(bytes);
        qint32 value = 99;
        QString text;
        QString empty = QStringLiteral("old");
        QVERIFY(FileStream::getIntParameterFromStream(in, 2, value));
        QCOMPARE(value, 0x01020304);
        QVERIFY(FileStream::getStringParameterFromStream(in, 0, text));
        QCOMPARE(text, QStringLiteral("ä7"));
        QVERIFY(FileStream::getStringParameterFromStream(in, 4, empty));
        QVERIFY(empty.isEmpty());
        QVERIFY(FileStream::getIntParameterFromStream(in, 1, value));
        QCOMPARE(value, -7);
        QVERIFY(!FileStream::getIntParameterFromStream(in, 3, value));
        QCOMPARE(value, 0);
    }

    void integerRecordMismatches_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("consumed");
        QTest::newRow("empty stream") << QByteArray() << 0;
        QTest::newRow("other tag") << intBytes({5, 4, 1}) << 4;
        QTest::newRow("size not 4") << intBytes({1, 8, 1}) << 8;
        QTest::newRow("cut inside value") << intBytes({1, 4}) + QByteArray(2, 'x') << 10;
    }

    void integerRecordMismatches()
    {
        QFETCH(QByteArray, bytes);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QDataStream in(&buffer);
        qint32 value = 42;
        QVERIFY(!FileStream::getIntParameterFromStream(in, 1, value));
        QCOMPARE(value, 0);
        QTEST(int(buffer.pos()), "consumed");
    }

    void stringRecordReads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("left"); // bytes after the record
        QTest::newRow("stops at the first NUL") << intBytes({0, 5}) + QByteArray("ab\0cd", 5) << true << "ab" << 0;
        QTest::newRow("empty text") << intBytes({0, 0}) + "xyz" << true << "" << 3;
        // A length of nearly 2 GiB in a short payload is damage, read without allocating it.
        QTest::newRow("length beyond the payload") << intBytes({0, 0x7ffffff0}) + "F0 F7" << false << "" << -1;
        QTest::newRow("negative length") << intBytes({0, -5}) + "xyz" << false << "" << -1;
        QTest::newRow("other tag") << intBytes({3, 1}) + "A" << false << "" << -1;
        QTest::newRow("cut after tag") << intBytes({0}) << false << "" << -1;
    }

    void stringRecordReads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, found);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QDataStream in(&buffer);
        QString read = QStringLiteral("old");
        QCOMPARE(FileStream::getStringParameterFromStream(in, 0, read), found);
        QTEST(read, "text");
        if (found) {
            QTEST(int(buffer.bytesAvailable()), "left");
        }
    }
};

QTEST_APPLESS_MAIN(tst_FileStream)
#include "tst_FileStream.moc"
