#include "engine/MessageTextSyntax.h"

#include <QtTest>

using MessageTextSyntax::MessageTextError;

class MessageTextConversionTest : public QObject {
    Q_OBJECT

private slots:
    void wholeTextsConvertToTheirBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("pairs") << "F0 7E 7F 06 01 F7" << QByteArray::fromHex("F07E7F0601F7");
        QTest::newRow("either case, separators inside pairs") << "9 03c,6\t4" << QByteArray::fromHex("903C64");
        QTest::newRow("comments on every line") << "F0 // start\n01 //\n// only a comment\nF7"
                                                << QByteArray::fromHex("F001F7");
        QTest::newRow("comment without line feed") << "C0 05 // last" << QByteArray::fromHex("C005");
        QTest::newRow("paragraph separator") << QString("F0") + QChar(0x2029) + "F7" << QByteArray::fromHex("F0F7");
        QTest::newRow("lone last digit ignored") << "F0 F7 1" << QByteArray::fromHex("F0F7");
        QTest::newRow("empty") << "" << QByteArray();
    }
    void wholeTextsConvertToTheirBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QByteArray converted("stale");
        QVERIFY(MessageTextSyntax::convertMessageText(text, converted));
        QCOMPARE(converted, bytes);
    }

    void firstBadCharacterIsReportedWhereItStands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QChar>("character");
        QTest::newRow("in the first pair") << "F0 7G F7" << 4 << 1 << 5 << QChar('G');
        QTest::newRow("after a comment line") << "F0 01\n// G is fine here\n0x" << 25 << 3 << 2 << QChar('x');
        QTest::newRow("a sign") << "F0\n  +01" << 5 << 2 << 3 << QChar('+');
        QTest::newRow("a single slash") << "F0 / F7" << 3 << 1 << 4 << QChar('/');
    }
    void firstBadCharacterIsReportedWhereItStands()
    {
        QFETCH(QString, text);
        QByteArray bytes;
        MessageTextError error;
        QVERIFY(!MessageTextSyntax::convertMessageText(text, bytes, &error));
        QVERIFY(bytes.isEmpty());
        QTEST(error.position, "position");
        QTEST(error.line, "line");
        QTEST(error.column, "column");
        QTEST(error.character, "character");
    }

    void conversionAgreesWithCleaning()
    {
        // The transmission cleans first and converts pairs; the whole-text conversion must give
        // the same bytes for any text that the transmission accepts.
        const QString text = QStringLiteral("f0 43 10,4C // part\n 00 00 7E\t00 f7\n");
        const QString cleaned = MessageTextSyntax::cleanMessageText(text);
        QByteArray paired(cleaned.size() / 2, '\0');
        QVERIFY(MessageTextSyntax::convertHexStringToHexNumber(reinterpret_cast<unsigned char*>(paired.data()),
                                                               cleaned.constData(), std::size_t(paired.size())));
        QByteArray whole;
        QVERIFY(MessageTextSyntax::convertMessageText(text, whole));
        QCOMPARE(whole, paired);
    }
};

QTEST_APPLESS_MAIN(MessageTextConversionTest)
#include "tst_MessageTextConversion.moc"
