#include "engine/MessageTextSyntax.h"
#include "persistence/SysExFile.h"
#include "testkit/FileBytes.h"

#include <QTemporaryDir>
#include <QtTest>

class SysExFileTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteKeepsItsPlaceInTheText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("data between messages")
            << QByteArray::fromHex("f001f7903c40f002f7") << "F0 01 F7\n90 3C 40\nF0 02 F7\n";
        QTest::newRow("missing F7 at the end") << QByteArray::fromHex("f00102") << "F0 01 02\n";
        QTest::newRow("lone F7") << QByteArray::fromHex("f7") << "F7\n";
        QTest::newRow("F0 inside a message") << QByteArray::fromHex("f001f002f7") << "F0 01\nF0 02 F7\n";
        QTest::newRow("empty file") << QByteArray() << "";
        QByteArray everyDataByte(1, char(0xF0));
        for (int byte = 0; byte < 0x80; ++byte) {
            everyDataByte += char(byte);
        }
        everyDataByte += char(0xF7);
        QTest::newRow("every data byte") << everyDataByte << QString(everyDataByte.toHex(' ').toUpper()) + "\n";
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
