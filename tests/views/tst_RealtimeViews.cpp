#include "MidiEditFixture.h"

#include "model/TulvarMidiParameters.h"
#include "views/MidiActivesensingView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;

bool allAre(const QList<QByteArray>& messages, char status)
{
    return std::all_of(messages.begin(), messages.end(), [status](const QByteArray& m) { return m == QByteArray(1, status); });
}

template <typename View>
QByteArray payloadOf(View& view)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    view.getDataStream(out);
    return payload;
}

// Closing must stop the sending: nothing more arrives in a span that holds many intervals.
bool staysSilent(FakeMainWindow& mainWindow)
{
    const int before = mainWindow.transmitter.count();
    QTest::qWait(400);
    return mainWindow.transmitter.count() == before;
}

} // namespace

class tst_RealtimeViews : public QObject {
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<MidiEditFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void receivedTempoIsShownInWholeBeats_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("1204") << 1204 << "120 BPM";
        QTest::newRow("1205 rounds up") << 1205 << "121 BPM";
        QTest::newRow("no clock") << 0 << "--- BPM";
        QTest::newRow("below 5") << 44 << "--- BPM";
        QTest::newRow("above 300") << 3006 << "300 BPM";
    }

    void receivedTempoIsShownInWholeBeats()
    {
        QFETCH(int, tenths);
        QFETCH(QString, text);
        MidiTimingClockGeneratorView view(nullptr, &m_fixture->model);
        view.setReceivedTimingClock((unsigned long)tenths);
        QCOMPARE(view.receivedTempoLabel()->text(), text);
    }

    void receiveWidgetsFollowTheParser()
    {
        MidiTimingClockGeneratorView view(nullptr, &m_fixture->model);
        QVERIFY(view.receivedTempoLabel()->isEnabled());
        m_fixture->model.setModelIntValue(MessageParsedParameterId, 0);
        const QString toolTip = QStringLiteral("Receive function is currently disabled.\nTurn On File > Preferences > Parser.");
        for (QLabel* label : {view.receiveLabel(), view.receivedTempoLabel()}) {
            QVERIFY(!label->isEnabled());
            QCOMPARE(label->toolTip(), toolTip);
        }
        m_fixture->model.setModelIntValue(MessageParsedParameterId, 1);
        QVERIFY(view.receiveLabel()->isEnabled());
        QVERIFY(view.receivedTempoLabel()->toolTip().isEmpty());
    }

    void playSendsClockAndFlashesUntilClosed()
    {
        MidiTimingClockGeneratorView view(nullptr, &m_fixture->model);
        view.tempoKnob()->setValue(300);
        QVERIFY(!view.tempoKnob()->isLedOn());
        view.playButton()->click();
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(24));
        QVERIFY(allAre(m_fixture->mainWindow.transmitter.sentBytes(), char(0xF8)));
        QTRY_VERIFY_WITH_TIMEOUT(view.tempoKnob()->isLedOn(), Timeout);

        view.close();
        QVERIFY(staysSilent(m_fixture->mainWindow));
    }

    void timingClockReopensPlayingAtItsTempo()
    {
        MidiTimingClockGeneratorView saved(nullptr, &m_fixture->model);
        saved.tempoKnob()->setValue(240);
        saved.playButton()->setChecked(true);
        const QByteArray payload = payloadOf(saved);
        saved.close();

        MidiTimingClockGeneratorView opened(nullptr, &m_fixture->model);
        QDataStream in(payload);
        QVERIFY(opened.setDataStream(in));
        QCOMPARE(opened.tempoKnob()->value(), 240);
        QVERIFY(opened.playButton()->isChecked());
        const int before = m_fixture->mainWindow.transmitter.count();
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(before + 24));
    }

    void activeSensingButtonSwitchesTextLedAndSending()
    {
        MidiActivesensingView view(nullptr, &m_fixture->model);
        QCOMPARE(view.transmitButton()->text(), QStringLiteral("Transmit"));
        QVERIFY(!view.intervalKnob()->autoOff());
        view.intervalKnob()->setValue(100);

        view.transmitButton()->click();
        QCOMPARE(view.transmitButton()->text(), QStringLiteral("Stop"));
        QVERIFY(view.intervalKnob()->isLedOn());
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(2));
        QVERIFY(allAre(m_fixture->mainWindow.transmitter.sentBytes(), char(0xFE)));

        view.transmitButton()->click();
        QCOMPARE(view.transmitButton()->text(), QStringLiteral("Transmit"));
        QVERIFY(!view.intervalKnob()->isLedOn());
        QVERIFY(staysSilent(m_fixture->mainWindow));
    }

    void activeSensingReopensSendingAndStopsOnClose()
    {
        MidiActivesensingView saved(nullptr, &m_fixture->model);
        saved.intervalKnob()->setValue(100);
        saved.transmitButton()->setChecked(true);
        const QByteArray payload = payloadOf(saved);
        saved.close();

        MidiActivesensingView opened(nullptr, &m_fixture->model);
        QDataStream in(payload);
        QVERIFY(opened.setDataStream(in));
        QCOMPARE(opened.intervalKnob()->value(), 100);
        QCOMPARE(opened.transmitButton()->text(), QStringLiteral("Stop"));
        const int before = m_fixture->mainWindow.transmitter.count();
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(before + 2));
        opened.close();
        QVERIFY(staysSilent(m_fixture->mainWindow));
    }

private:
    std::unique_ptr<MidiEditFixture> m_fixture;
};

QTEST_MAIN(tst_RealtimeViews)
#include "tst_RealtimeViews.moc"
