#include "engine/MessageTextSyntax.h"
#include "persistence/SysExFile.h"
#include "testkit/FileBytes.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A dump as librarians write them: exclusives of random length, sometimes with whole channel
// messages between them.
QByteArray randomDump(QRandomGenerator& random)
{
    QByteArray bytes;
    const int count = random.bounded(1, 6);
    for (int m = 0; m < count; ++m) {
        if (random.bounded(2) == 1) {
            bytes += QByteArray::fromHex("903C40");
        }
        const int length = random.bounded(2, 16385);
        bytes += char(0xF0);
        for (int i = 0; i < length - 2; ++i) {
            bytes += char(random.bounded(0x80));
        }
        bytes += char(0xF7);
    }
    return bytes;
}

} // namespace

class SysExFileTest : public QObject {
    Q_OBJECT

private slots:
    void dumpsRoundTripFileTextFile()
    {
        QTemporaryDir folder;
        QRandomGenerator random(20261206);
        for (int round = 0; round < 40; ++round) {
            const QByteArray dump = randomDump(random);
            const QString in = folder.filePath(QStringLiteral("in.syx"));
            QVERIFY(writeFileBytes(in, dump));
            QByteArray loaded;
            QCOMPARE(SysExFile::load(in, loaded), SysExFile::LoadResult::Loaded);
            const QString text = SysExFile::formatAsText(loaded);
            for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                QVERIFY2(line == QLatin1String("90 3C 40") ||
                             (line.startsWith(QLatin1String("F0 ")) && line.endsWith(QLatin1String(" F7"))),
                         qPrintable(line.left(40)));
            }
            QByteArray converted;
            QVERIFY(MessageTextSyntax::convertMessageText(text, converted));
            const QString out = folder.filePath(QStringLiteral("out.syx"));
            QVERIFY(SysExFile::save(out, converted));
            QCOMPARE(readFileBytes(out), dump);
        }
    }

    void everyByteKeepsItsPlaceInTheText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one message") << QByteArray::fromHex("f07e7f0601f7") << "F0 7E 7F 06 01 F7\n";
        QTest::newRow("data between messages")
            << QByteArray::fromHex("f001f7903c40f002f7") << "F0 01 F7\n90 3C 40\nF0 02 F7\n";
        QTest::newRow("no F0") << QByteArray::fromHex("010203") << "01 02 03\n";
        QTest::newRow("missing F7 at the end") << QByteArray::fromHex("f00102") << "F0 01 02\n";
        QTest::newRow("lone F7") << QByteArray::fromHex("f7") << "F7\n";
        QTest::newRow("F0 inside a message") << QByteArray::fromHex("f001f002f7") << "F0 01\nF0 02 F7\n";
        QTest::newRow("empty file") << QByteArray() << "";
        const QByteArray longMessage = char(0xF0) + QByteArray(16383, 0x11) + QByteArray(2, 0x22) + char(0xF7);
        QTest::newRow("longer than 16384 bytes")
            << longMessage
            << "F0" + QString(" 11").repeated(16383) + "\n22 22 F7\n";
    }
    void everyByteKeepsItsPlaceInTheText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("damaged.syx"));
        QVERIFY(writeFileBytes(path, bytes));
        QByteArray loaded("stale");
        QCOMPARE(SysExFile::load(path, loaded), SysExFile::LoadResult::Loaded);
        QCOMPARE(SysExFile::formatAsText(loaded), text);
        QByteArray back;
        QVERIFY(MessageTextSyntax::convertMessageText(text, back));
        QCOMPARE(back, bytes);
    }

    void filesAbove16MiBAndUnreadableFilesAreRefused()
    {
        QTemporaryDir folder;
        const QString large = folder.filePath(QStringLiteral("large.syx"));
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(SysExFile::MaximumSize + 1));
        file.close();
        QByteArray bytes;
        QCOMPARE(SysExFile::load(large, bytes), SysExFile::LoadResult::TooLarge);
        QVERIFY(bytes.isEmpty());
        QVERIFY(file.resize(SysExFile::MaximumSize));
        QCOMPARE(SysExFile::load(large, bytes), SysExFile::LoadResult::Loaded);
        QCOMPARE(bytes.size(), int(SysExFile::MaximumSize));
        QCOMPARE(SysExFile::load(folder.filePath(QStringLiteral("missing.syx")), bytes),
                 SysExFile::LoadResult::Unreadable);
    }

    void failedSaveLeavesTheOldFile()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dump.syx"));
        QVERIFY(SysExFile::save(path, QByteArray::fromHex("f001f7")));
        QVERIFY(SysExFile::save(path, QByteArray::fromHex("f002f7")));
        QCOMPARE(readFileBytes(path), QByteArray::fromHex("f002f7"));
        QVERIFY(!SysExFile::save(folder.filePath(QStringLiteral("no/such/folder/x.syx")), "x"));
        QVERIFY(SysExFile::isSysExFile(QStringLiteral("a/DUMP.SYX")));
        QVERIFY(!SysExFile::isSysExFile(QStringLiteral("a/dump.syx.txt")));
    }
};

QTEST_APPLESS_MAIN(SysExFileTest)
#include "tst_SysExFile.moc"
