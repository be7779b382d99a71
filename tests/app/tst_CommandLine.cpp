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
        QTest::newRow("project") << QStringList{"song.tulvarmidi"} << "" << "song.tulvarmidi" << "" << "auto"
                                 << false << false;
        QTest::newRow("option with =") << QStringList{"--midi-backend=jack", "a.tulvarmidi"} << "" << "a.tulvarmidi"
                                       << "jack" << "jack" << false << false;
        QTest::newRow("option and value") << QStringList{"--midi-backend", "ALSA"} << "" << "" << "alsa" << "alsa"
                                          << false << false;
        QTest::newRow("environment") << QStringList{} << "loopback" << "" << "" << "loopback" << false << false;
        QTest::newRow("option wins") << QStringList{"--midi-backend=alsa"} << "jack" << "" << "alsa" << "alsa"
                                     << false << false;
        QTest::newRow("unknown environment word") << QStringList{} << "coremidi" << "" << "" << "auto" << false
                                                  << true;
        QTest::newRow("unknown option word") << QStringList{"--midi-backend=coremidi"} << "" << "" << "" << "auto"
                                             << true << false;
        QTest::newRow("option without value") << QStringList{"--midi-backend"} << "" << "" << "" << "auto" << true
                                              << false;
        QTest::newRow("unknown option") << QStringList{"--fast"} << "" << "" << "" << "auto" << true << false;
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

    void helpAndVersionAreRecognised()
    {
        QVERIFY(CommandLine::parse({"tulvar-midi", "--help"}, QString()).showHelp);
        QVERIFY(CommandLine::parse({"tulvar-midi", "-h"}, QString()).showHelp);
        QVERIFY(CommandLine::parse({"tulvar-midi", "--version"}, QString()).showVersion);
        QVERIFY(CommandLine::parse({"tulvar-midi", "-v"}, QString()).showVersion);
        QCOMPARE(CommandLine::versionText(), QStringLiteral("Tulvar MIDI 1.4.1\n"));
        QVERIFY(CommandLine::usage().contains(QStringLiteral("--midi-backend")));
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
