#include "engine/MessageTextSyntax.h"

#include <QRandomGenerator>
#include <QRegExp>
#include <QtTest>

#include <vector>

using namespace MessageTextSyntax;

namespace {

// The cleaning written as the expression itself, to hold the one-pass cleaner against.
QString cleanWithRegExp(QString text)
{
    text.replace(QChar(0x2029), QChar('\n'));
    return text.remove(QRegExp(QString::fromLatin1(RegExpOfUunnecessaryCharacterForMessage)));
}

// What the transmission does: clean, then convert the pairs.
QByteArray convertPairs(const QString& cleaned, bool* ok)
{
    std::vector<unsigned char> bytes(std::size_t(cleaned.size() / 2));
    *ok = convertHexStringToHexNumber(bytes.data(), cleaned.constData(), bytes.size());
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

} // namespace

class tst_MessageTextSyntax : public QObject {
    Q_OBJECT

private slots:
    // The cleaner against the expression, and the editor's whole-text conversion against the
    // transmission's cleaning and pairs: on any text they must agree on what is sent.
    void cleaningAndConversionAgreeOnAnyText()
    {
        const QString alphabet = QString::fromUtf8("0F a/,\t\r\n;x") + QChar(0x2029);
        QRandomGenerator random(20261206);
        int converted = 0;
        for (int round = 0; round < 10000; ++round) {
            QString text;
            const int length = int(random.bounded(24));
            for (int i = 0; i < length; ++i) {
                text.append(alphabet.at(int(random.bounded(alphabet.size()))));
            }
            const QString cleaned = cleanMessageText(text);
            QCOMPARE(cleaned, cleanWithRegExp(text));
            bool pairsOk = false;
            const QByteArray paired = convertPairs(cleaned, &pairsOk);
            // The whole-text conversion also refuses a lone last non-digit, which the pairs leave alone.
            QByteArray whole("stale");
            const bool wholeOk = convertMessageText(text, whole);
            QVERIFY(pairsOk || !wholeOk);
            QCOMPARE(whole, wholeOk ? paired : QByteArray());
            converted += wholeOk && !paired.isEmpty() ? 1 : 0;
        }
        QVERIFY(converted > 150);
    }

    void pairsConvertInEitherCaseAndNothingElse_data()
    {
        QTest::addColumn<QString>("cleaned");
        QTest::addColumn<QByteArray>("bytes"); // empty: the conversion fails
        QTest::newRow("extremes") << "00FFff" << QByteArray::fromHex("00FFFF");
        QTest::newRow("lone last digit ignored") << "903C6" << QByteArray::fromHex("903C");
        QTest::newRow("no pairs") << "" << QByteArray();
        for (const QString& bad : {QString("903G64"), QString("90;C64"), QString("90+164"), QString("90-164"),
                                   QString("90\r364"), QString("0x903C"), QString("90") + QChar(0xFF11) + "0",
                                   QString("90") + QChar(0x00A0) + "3"}) {
            QTest::newRow(qPrintable(bad)) << bad << QByteArray();
        }
    }

    void pairsConvertInEitherCaseAndNothingElse()
    {
        QFETCH(QString, cleaned);
        QFETCH(QByteArray, bytes);
        bool ok = false;
        const QByteArray converted = convertPairs(cleaned, &ok);
        QCOMPARE(ok, !bytes.isEmpty() || cleaned.isEmpty());
        if (ok)
            QCOMPARE(converted, bytes);
        else // the pairs before the bad one are kept
            QCOMPARE(converted.at(0), char(cleaned.startsWith("90") ? 0x90 : 0));
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
        QVERIFY(!convertMessageText(text, bytes, &error));
        QVERIFY(bytes.isEmpty());
        QTEST(error.position, "position");
        QTEST(error.line, "line");
        QTEST(error.column, "column");
        QTEST(error.character, "character");
    }
};

QTEST_GUILESS_MAIN(tst_MessageTextSyntax)
#include "tst_MessageTextSyntax.moc"
