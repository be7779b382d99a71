#include "app/CommandLine.h"

#include <QtTest>

class tst_CommandLine : public QObject {
    Q_OBJECT

private slots:
    void argumentsAreUnderstood_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("projectFile");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<bool>("warned");
        QTest::newRow("nothing") << QStringList{} << "" << "" << "" << "auto" << false << false;
        QTest::newRow("option and value") << QStringList{"--midi-backend", "ALSA"} << "" << "" << "alsa" << "alsa"
                                          << false << false;
        QTest::newRow("environment") << QStringList{} << "loopback" << "" << "" << "loopback" << false << false;
        QTest::newRow("option wins") << QStringList{"--midi-backend=alsa"} << "jack" << "" << "alsa" << "alsa"
                                     << false << false;
        QTest::newRow("unknown environment word") << QStringList{} << "coremidi" << "" << "" << "auto" << false
                                                  << true;
        QTest::newRow("option without value") << QStringList{"--midi-backend"} << "" << "" << "" << "auto" << true
                                              << false;
        QTest::newRow("two projects") << QStringList{"a", "b"} << "" << "a" << "" << "auto" << true << false;
        QTest::newRow("file named like an option") << QStringList{"--", "-odd.tulvarmidi"} << "" << "-odd.tulvarmidi"
                                                   << "" << "auto" << false << false;
    }

    void argumentsAreUnderstood()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, projectFile);
        QFETCH(QString, option);
        QFETCH(QString, backend);
        QFETCH(bool, failed);
        QFETCH(bool, warned);
        arguments.prepend(QStringLiteral("tulvar-midi"));
        CommandLine const line = CommandLine::parse(arguments, environment);
        QCOMPARE(!line.error.isEmpty(), failed);
        QCOMPARE(!line.warning.isEmpty(), warned);
        QCOMPARE(line.projectFile, projectFile);
        if (!failed) {
            QCOMPARE(line.midiBackendOption, option);
            QCOMPARE(line.midiBackend, backend);
        }
        QVERIFY(!line.showHelp && !line.showVersion);
    }

    // The application object takes them out of the arguments itself; here they must only not be
    // mistaken for the project file or refused.
    void qtStandardOptionsAreAcceptedBesideOurOwn_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("projectFile");
        QTest::addColumn<QString>("platform");
        QTest::newRow("platform with its value, then a project")
            << QStringList{"-platform", "offscreen", "song.tulvarmidi"} << "song.tulvarmidi" << "offscreen";
        QTest::newRow("two dashes") << QStringList{"--platform", "xcb", "--midi-backend=loopback"} << "" << "xcb";
        QTest::newRow("style attached, reverse") << QStringList{"-style=Fusion", "-reverse", "a"} << "a" << "";
        QTest::newRow("style and stylesheet apart")
            << QStringList{"-style", "Fusion", "-stylesheet", "look.qss"} << "" << "";
    }

    void qtStandardOptionsAreAcceptedBesideOurOwn()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, projectFile);
        QFETCH(QString, platform);
        arguments.prepend(QStringLiteral("tulvar-midi"));
        CommandLine const line = CommandLine::parse(arguments, QString());
        QCOMPARE(line.error, QString());
        QCOMPARE(line.projectFile, projectFile);
        QCOMPARE(line.platform, platform);
    }

    void qtOptionWithoutItsValueIsAnError()
    {
        CommandLine const line = CommandLine::parse({"tulvar-midi", "-stylesheet"}, QString());
        QVERIFY(line.error.contains(QStringLiteral("-stylesheet")));
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
