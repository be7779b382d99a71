#include "app/CommandLine.h"

#include <QtTest>

class tst_CommandLine : public QObject {
    Q_OBJECT

private slots:
    // Qt's standard options are taken out of the arguments by the application object itself; here
    // they must only not be mistaken for the project file or refused.
    void argumentsAreUnderstood_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("projectFile");
        QTest::addColumn<QString>("option"); // what start-up hands the MIDI service factory
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("error"); // a word the error names; empty: no error
        QTest::addColumn<bool>("warned");
        QTest::newRow("nothing") << QStringList{} << "" << "" << "" << "auto" << "" << "" << false;
        QTest::newRow("option and value")
            << QStringList{"--midi-backend", "ALSA"} << "" << "" << "alsa" << "alsa" << "" << "" << false;
        QTest::newRow("environment") << QStringList{} << "loopback" << "" << "" << "loopback" << "" << "" << false;
        QTest::newRow("option wins")
            << QStringList{"--midi-backend=alsa"} << "jack" << "" << "alsa" << "alsa" << "" << "" << false;
        QTest::newRow("unknown environment word")
            << QStringList{} << "coremidi" << "" << "" << "auto" << "" << "" << true;
        QTest::newRow("option without value")
            << QStringList{"--midi-backend"} << "" << "" << "" << "auto" << "" << "--midi-backend" << false;
        QTest::newRow("two projects") << QStringList{"a", "b"} << "" << "a" << "" << "auto" << "" << "b" << false;
        QTest::newRow("file named like an option")
            << QStringList{"--", "-odd.tulvarmidi"} << "" << "-odd.tulvarmidi" << "" << "auto" << "" << "" << false;
        QTest::newRow("platform with its value, then a project")
            << QStringList{"-platform", "offscreen", "song.tulvarmidi"} << "" << "song.tulvarmidi" << "" << "auto"
            << "offscreen" << "" << false;
        QTest::newRow("two dashes")
            << QStringList{"--platform", "xcb", "--midi-backend=loopback"} << "" << "" << "loopback" << "loopback"
            << "xcb" << "" << false;
        QTest::newRow("style attached, reverse")
            << QStringList{"-style=Fusion", "-reverse", "a"} << "" << "a" << "" << "auto" << "" << "" << false;
        QTest::newRow("Qt option without its value")
            << QStringList{"-stylesheet"} << "" << "" << "" << "auto" << "" << "-stylesheet" << false;
    }

    void argumentsAreUnderstood()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, projectFile);
        QFETCH(QString, platform);
        QFETCH(QString, error);
        arguments.prepend(QStringLiteral("tulvar-midi"));
        CommandLine const line = CommandLine::parse(arguments, environment);
        QCOMPARE(line.error.isEmpty(), error.isEmpty());
        QVERIFY2(line.error.contains(error), qPrintable(line.error));
        QTEST(!line.warning.isEmpty(), "warned");
        QVERIFY(!line.showHelp && !line.showVersion);
        if (error.isEmpty()) {
            QCOMPARE(line.projectFile, projectFile);
            QTEST(line.midiBackendOption, "option");
            QTEST(line.midiBackend, "backend");
            QCOMPARE(line.platform, platform);
        }
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
