// Run from an installed bin/ folder (check_installed_tree.sh copies it there): the licence
// viewers must show the texts of the installed data folder, with the Qt version filled in.
#include "views/LicenseTextView.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

class InstalledLicenseTextsTest : public QObject {
    Q_OBJECT

private:
    static QString installedText(const char* name)
    {
        QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tulvar-midi/") +
                   QLatin1String(name));
        return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void viewersShowTheInstalledTexts()
    {
        QString const openSource = installedText("OpenSourceLicense.txt");
        QString const own = installedText("TulvarMIDILicense.txt");
        QVERIFY2(openSource.contains(QLatin1String("QT_VERSION")), "installed text names QT_VERSION");
        QVERIFY(!own.isEmpty());

        LicenseInfoView const openSourceView(nullptr);
        QString expected = openSource;
        QCOMPARE(openSourceView.toPlainText(), expected.replace(QLatin1String("QT_VERSION"), QLatin1String(qVersion())));
        EULAView const ownView(nullptr);
        QCOMPARE(ownView.toPlainText(), own);
    }
};

QTEST_MAIN(InstalledLicenseTextsTest)
#include "tst_InstalledLicenseTexts.moc"
