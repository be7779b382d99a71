#include "midi/MidiServiceFactory.h"

#include <QtTest>

// The backend choice: option over environment over "auto"; every choice gives a working service.
class MidiServiceFactoryTest : public QObject {
    Q_OBJECT

private slots:
    void theOptionWinsOverTheEnvironment_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("choice");
        QTest::newRow("nothing given") << QString() << QString() << "auto";
        QTest::newRow("environment only") << QString() << "JACK" << "jack";
        QTest::newRow("option only") << "loopback" << QString() << "loopback";
        QTest::newRow("option wins") << "alsa" << "jack" << "alsa";
        QTest::newRow("unknown word") << "coremidi" << QString() << "auto";
    }

    void theOptionWinsOverTheEnvironment()
    {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        QFETCH(QString, choice);
        if (environment.isEmpty()) {
            qunsetenv("TULVAR_MIDI_BACKEND");
        } else {
            qputenv("TULVAR_MIDI_BACKEND", environment.toUtf8());
        }
        QCOMPARE(MidiServiceFactory::backendChoice(option), choice);
    }

    void everyChoiceGivesAWorkingService_data()
    {
        QTest::addColumn<QString>("option");
        for (const char* word : {"auto", "alsa", "jack", "loopback"}) {
            QTest::newRow(word) << word;
        }
    }

    void everyChoiceGivesAWorkingService()
    {
        QFETCH(QString, option);
        QString used;
        const std::unique_ptr<MidiService> service = MidiServiceFactory::create(option, &used);
        QVERIFY(service != nullptr);
        QVERIFY(!used.isEmpty());
        QVERIFY(service->getNumberOfDestinations() > 0 || used != "loopback");
    }
};

QTEST_GUILESS_MAIN(MidiServiceFactoryTest)
#include "tst_MidiServiceFactory.moc"
