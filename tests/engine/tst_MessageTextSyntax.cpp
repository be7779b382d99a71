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

QByteArray convert(const QString& cleaned, bool* ok)
{
    std::vector<unsigned char> bytes(std::size_t(cleaned.size() / 2));
    *ok = convertHexStringToHexNumber(bytes.data(), cleaned.constData(), bytes.size());
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

} // namespace

class tst_MessageTextSyntax : public QObject {
    Q_OBJECT

private slots:
    void separatorsAndCommentsAreRemoved_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cleaned");

        QTest::newRow("separators inside pairs") << "9 03C,64" << "903C64";
        QTest::newRow("comment takes its line feed") << "F0 7E // header\n7F F7" << "F07E7FF7";
        QTest::newRow("empty comment before a line feed") << "90//\n3C" << "903C";
        QTest::newRow("comment at the very end") << "F7//" << "F7";
        QTest::newRow("paragraph separator ends a comment") << QString("90 // a") + QChar(0x2029) + "3C" << "903C";
        QTest::newRow("single slash stays") << "90/3C" << "90/3C";
        QTest::newRow("slashes split by a blank stay") << "90/ /3C" << "90//3C";
        QTest::newRow("carriage return stays") << "90\r\n3C" << "90\r3C";
    }

    void separatorsAndCommentsAreRemoved()
    {
        QFETCH(QString, text);
        QFETCH(QString, cleaned);
        QCOMPARE(cleanMessageText(text), cleaned);
        QCOMPARE(cleanWithRegExp(text), cleaned);
    }

    void cleaningMatchesTheExpressionOnAnyText()
    {
        const QString alphabet = QString::fromUtf8("0F a/,\t\n;x") + QChar(0x2029);
        QRandomGenerator random(20261206);
        for (int round = 0; round < 5000; ++round) {
            QString text;
            const int length = int(random.bounded(24));
            for (int i = 0; i < length; ++i) {
                text.append(alphabet.at(int(random.bounded(alphabet.size()))));
            }
            QCOMPARE(cleanMessageText(text), cleanWithRegExp(text));
        }
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
        const QByteArray converted = convert(cleaned, &ok);
        QCOMPARE(ok, !bytes.isEmpty() || cleaned.isEmpty());
        if (ok)
            QCOMPARE(converted, bytes);
        else // the pairs before the bad one are kept
            QCOMPARE(converted.at(0), char(cleaned.startsWith("90") ? 0x90 : 0));
    }
};

QTEST_GUILESS_MAIN(tst_MessageTextSyntax)
#include "tst_MessageTextSyntax.moc"
