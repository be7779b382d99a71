#include "support/Utility.h"
#include "testkit/FileBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_Utility : public QObject {
    Q_OBJECT

private slots:
    void textRoundTripsAsUtf8()
    {
        QTemporaryDir dir;
        QString const path = dir.filePath(QStringLiteral("dump.txt"));
        QString const text = QStringLiteral("F0 43 10 4C F7\nüñí ♪\n");
        QVERIFY(Utility::saveAtTextFileName(path, text));
        QCOMPARE(readFileBytes(path), text.toUtf8());
        QString loaded = QStringLiteral("old");
        QVERIFY(Utility::loadAtTextFileName(path, loaded));
        QCOMPARE(loaded, text);

        // Saving again replaces the whole file.
        QVERIFY(Utility::saveAtTextFileName(path, QStringLiteral("90")));
        QCOMPARE(readFileBytes(path), QByteArray("90"));

        // Loading stops at the first NUL byte.
        QVERIFY(writeFileBytes(path, QByteArray("F0 7E\0 garbage", 14)));
        QVERIFY(Utility::loadAtTextFileName(path, loaded));
        QCOMPARE(loaded, QStringLiteral("F0 7E"));
    }

    void unusablePathsFail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("saving");
        QTest::newRow("load empty path") << QString() << false;
        QTest::newRow("load missing file") << "missing.txt" << false;
        QTest::newRow("save into a missing folder") << "no/such/folder/x.txt" << true;
        QTest::newRow("save over a folder") << "." << true;
    }

    void unusablePathsFail()
    {
        QFETCH(QString, name);
        QFETCH(bool, saving);
        QTemporaryDir dir;
        const QString path = name.isEmpty() ? QString() : QDir(dir.path()).filePath(name);
        QString text = QStringLiteral("kept");
        QVERIFY(!(saving ? Utility::saveAtTextFileName(path, text) : Utility::loadAtTextFileName(path, text)));
        QCOMPARE(text, QStringLiteral("kept"));
        QVERIFY(QFileInfo(dir.path()).isDir());
    }

    // /dev/full accepts the open and fails every write (a failed open is unusablePathsFail's).
    void writeErrorsAreReportedAsFailure()
    {
        QFileInfo const full(QStringLiteral("/dev/full"));
        if (!full.exists() || full.isFile()) {
            QSKIP("no /dev/full");
        }
        QVERIFY(!Utility::saveAtTextFileName(QStringLiteral("/dev/full"), QString(70000, QLatin1Char('A'))));
    }

    void menuTextsBecomeTitles_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("title");
        QTest::newRow("ellipsis") << "&Preferences..." << "Preferences";
        QTest::newRow("two dots stay") << "a..b" << "a..b";
        QTest::newRow("every run of three") << "a......b&&" << "ab";
    }

    void menuTextsBecomeTitles()
    {
        QFETCH(QString, menu);
        QTEST(Utility::removeMenuOfModifierCharacter(menu), "title");
    }

    void hexDigitsAreTwoUpperCaseCharacters_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("0") << 0 << QByteArray("00");
        QTest::newRow("10") << 10 << QByteArray("0A");
        QTest::newRow("255") << 255 << QByteArray("FF");
    }

    void hexDigitsAreTwoUpperCaseCharacters()
    {
        QFETCH(int, value);
        char out[4] = {'x', 'x', 'x', 'x'};
        QCOMPARE(Utility::convertHexStringFromDecimalValue(out, static_cast<unsigned char>(value)), 2);
        QTEST(QByteArray(out), "text");
        QCOMPARE(out[3], 'x');
    }

    void dialogsStartInAnExistingFolder()
    {
        QTemporaryDir dir;
        QTemporaryDir fallbackDir;
        QString const existing = dir.filePath(QStringLiteral("song.txt"));
        QString const missing = dir.filePath(QStringLiteral("gone/song.txt"));
        QString const fallback = fallbackDir.path();
        QCOMPARE(Utility::fileOpenDialogStartLocation(existing, fallback), existing);
        QCOMPARE(Utility::fileOpenDialogStartLocation(dir.path() + QLatin1Char('/'), fallback),
                 dir.path() + QLatin1Char('/'));
        QCOMPARE(Utility::fileOpenDialogStartLocation(missing, fallback), fallback);
        QCOMPARE(Utility::fileOpenDialogStartLocation(QString(), fallback), fallback);
        QCOMPARE(Utility::fileSaveDialogStartLocation(existing, fallback), existing);
        QCOMPARE(Utility::fileSaveDialogStartLocation(missing, fallback), fallback + QStringLiteral("/song.txt"));

        // A documents folder that does not exist (a fresh account without one) gives the home folder.
        QString const noDocuments = dir.filePath(QStringLiteral("Documents"));
        QCOMPARE(Utility::fileOpenDialogStartLocation(missing, noDocuments), QDir::homePath());
        QCOMPARE(Utility::fileSaveDialogStartLocation(missing, noDocuments), QDir::homePath() + QStringLiteral("/song.txt"));
    }

    void licenceFilesAreFoundNextToTheProgram()
    {
        QCOMPARE(Utility::getLicenseFilePath("NoSuchLicence", "txt"), QString());
        QString const path = QCoreApplication::applicationDirPath() + QStringLiteral("/TestLicence.txt");
        QVERIFY(writeFileBytes(path, "licence"));
        QCOMPARE(Utility::getLicenseFilePath("TestLicence", "txt"), QFileInfo(path).canonicalFilePath());
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(tst_Utility)
#include "tst_Utility.moc"
