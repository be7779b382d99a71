#include "midi/MidiServiceFactory.h"

#include <QtTest>

// The backend choice: option over environment over "auto". What each choice falls back to when
// its service cannot start is tested against a real JACK server.
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
        QTest::newRow("option wins") << "alsa" << "jack" << "alsa";
        QTest::newRow("unknown word") << "coremidi" << QString() << "auto";
    }

    void theOptionWinsOverTheEnvironment()
    {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        if (environment.isEmpty()) {
            qunsetenv("TULVAR_MIDI_BACKEND");
        } else {
            qputenv("TULVAR_MIDI_BACKEND", environment.toUtf8());
        }
        QTEST(MidiServiceFactory::backendChoice(option), "choice");
    }
};

QTEST_GUILESS_MAIN(MidiServiceFactoryTest)
#include "tst_MidiServiceFactory.moc"
