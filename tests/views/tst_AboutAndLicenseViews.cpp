// The about box and the licence text viewers.

#include "support/ImageResources.h"
#include "views/AboutView.h"
#include "views/LicenseTextView.h"

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("License.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return QString();
    }
    return path;
}

} // namespace

class tst_AboutAndLicenseViews : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerImageResources(); }

    void aboutShowsThePurposeAboveTheVersionAndDeletesItselfWhenClosed()
    {
        QPointer<AboutView> about = new AboutView(nullptr);
        QCOMPARE(about->size(), QSize(501, 170));
        QCOMPARE(about->informationText(), QStringLiteral("MIDI tool for instrument developers."));
        QCOMPARE(about->versionText(), QStringLiteral("Tulvar MIDI Ver.1.4.1"));
        QVERIFY(!about->grab().isNull());
        about->show();
        about->close();
        QTRY_VERIFY(about.isNull());
    }

    void licenseTextReplacesEveryQtVersionMark_data()
    {
        QTest::addColumn<bool>("showsQtVersion");
        QTest::addColumn<QString>("shown");
        QTest::newRow("open source licence") << true << QStringLiteral("Qt %1, built on Qt %1.\n").arg(qVersion());
        QTest::newRow("agreement") << false << QStringLiteral("Qt QT_VERSION, built on Qt QT_VERSION.\n");
    }
    void licenseTextReplacesEveryQtVersionMark()
    {
        QFETCH(bool, showsQtVersion);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        // What follows a NUL byte is not text.
        const QString path = writeFile(dir, QByteArray("Qt QT_VERSION, built on Qt QT_VERSION.\n\0junk", 44));
        LicenseTextView view(nullptr, path, showsQtVersion);
        QCOMPARE(view.toPlainText(), shown);
        QVERIFY(view.isReadOnly());
        QCOMPARE(view.sizeHint(), QSize(675, 300));
    }

    void missingLicenseFileGivesAnEmptyReadOnlyWindow()
    {
        QTemporaryDir dir;
        LicenseTextView view(nullptr, dir.filePath(QStringLiteral("absent.txt")), true);
        QVERIFY(view.toPlainText().isEmpty());
        QVERIFY(view.isReadOnly());
        // Nothing beside this test program either.
        LicenseInfoView info(nullptr);
        QVERIFY(info.toPlainText().isEmpty());
    }

    void deliveredTextsNameTheLibrariesAndTheProgram()
    {
        LicenseTextView openSource(nullptr, QStringLiteral(TULVAR_LICENSE_DIR "/OpenSourceLicense.txt"), true);
        for (const QString& library : {QStringLiteral("Qt %1").arg(qVersion()), QStringLiteral("ALSA"),
                                       QStringLiteral("JACK")}) {
            QVERIFY2(openSource.toPlainText().contains(library), qPrintable(library));
        }
        QVERIFY(!openSource.toPlainText().contains(QStringLiteral("QT_VERSION")));
        LicenseTextView agreement(nullptr, QStringLiteral(TULVAR_LICENSE_DIR "/TulvarMIDILicense.txt"), false);
        QVERIFY(agreement.toPlainText().startsWith(QStringLiteral("Tulvar MIDI")));
    }
};

QTEST_MAIN(tst_AboutAndLicenseViews)
#include "tst_AboutAndLicenseViews.moc"
