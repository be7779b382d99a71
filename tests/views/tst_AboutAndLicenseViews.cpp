// The about box and the licence text viewers.

#include "support/ImageResources.h"
#include "testkit/FileBytes.h"
#include "views/AboutView.h"
#include "views/LicenseTextView.h"

#include <QtTest>

class tst_AboutAndLicenseViews : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerImageResources(); }

    void aboutShowsThePurposeAboveTheVersionAndDeletesItselfWhenClosed()
    {
        QPointer<AboutView> about = new AboutView(nullptr);
        QCOMPARE(about->informationText(), QStringLiteral("MIDI tool for instrument developers."));
        QCOMPARE(about->versionText(), QStringLiteral("Tulvar MIDI Ver.1.4.1"));
        about->show();
        about->close();
        QTRY_VERIFY(about.isNull());
    }

    void licenseTextIsShownReadOnlyWithTheQtVersionWhereAsked_data()
    {
        QTest::addColumn<bool>("showsQtVersion");
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<QString>("shown");
        // What follows a NUL byte is not text.
        const QByteArray marked("Qt QT_VERSION, built on Qt QT_VERSION.\n\0junk", 44);
        QTest::newRow("open source licence") << true << marked << QStringLiteral("Qt %1, built on Qt %1.\n").arg(qVersion());
        QTest::newRow("agreement") << false << marked << QStringLiteral("Qt QT_VERSION, built on Qt QT_VERSION.\n");
        QTest::newRow("missing file") << true << QByteArray() << QString();
    }
    void licenseTextIsShownReadOnlyWithTheQtVersionWhereAsked()
    {
        QFETCH(bool, showsQtVersion);
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("License.txt"));
        QVERIFY(file.isNull() || writeFileBytes(path, file));
        LicenseTextView view(nullptr, path, showsQtVersion);
        QCOMPARE(view.toPlainText(), shown);
        QVERIFY(view.isReadOnly());
    }
};

QTEST_MAIN(tst_AboutAndLicenseViews)
#include "tst_AboutAndLicenseViews.moc"
