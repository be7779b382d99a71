#include "testkit/Hex.h"
#include "testkit/RecordingTransmitter.h"
#include "testkit/SignalLog.h"
#include "testkit/SteppingClock.h"

#include "engine/MessageTables.h"
#include "engine/MidiEditRepeatTransmittionThread.h"
#include "engine/MidiEditTransmittionThread.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {

const int Timeout = 20000;

// Hands a text to the thread and waits until the thread has finished that many texts.
bool sendText(MidiEditTransmittionThread& thread, SignalLog& log, const QString& text, int finished = 1)
{
    const int before = log.count("finish 0");
    thread.setTransmittionMessage(text);
    return QTest::qWaitFor([&] { return log.count("finish 0") >= before + finished; }, Timeout);
}

} // namespace

class tst_MidiEditTransmittionThread : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_model = std::make_unique<TulvarMidiModel>();
        m_transmitter = std::make_unique<RecordingTransmitter>();
    }

    void textsSendAndReportTheirResult_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("parser");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QStringList>("reports");

        QTest::newRow("running status expands")
            << "90 3C 64 3E 40" << 1 << QList<QByteArray>{hex("903C64"), hex("903E40")}
            << QStringList{"start 5", "progress 3", "progress 6", "finish 0"};
        QTest::newRow("odd digit count leaves an incomplete message")
            << "90 3C 6" << 1 << QList<QByteArray>{} << QStringList{"start 2", "finish 0"};
        QTest::newRow("letter X") << "90 3X 64" << 1 << QList<QByteArray>{} << QStringList{"start 3", "finish 2", "finish 0"};
        QTest::newRow("only separators and comments")
            << " ,\t\n// nothing\n//" << 1 << QList<QByteArray>{} << QStringList{"finish 0"};

        // 8192 bytes of one exclusive, 16384 characters: two chunks of 4096 bytes.
        const QString exclusive = "F0" + QString("01").repeated(8190) + "F7";
        const QByteArray bytes = QByteArray::fromHex(exclusive.toLatin1());
        QTest::newRow("parser on: one message across the chunks")
            << exclusive << 1 << QList<QByteArray>{bytes} << QStringList{"start 8192", "progress 8192", "finish 0"};
        QTest::newRow("parser off: one unit per chunk")
            << exclusive << 0 << QList<QByteArray>{bytes.left(4096), bytes.mid(4096)}
            << QStringList{"start 8192", "progress 4096", "progress 8192", "finish 0"};
        QTest::newRow("a lone character after full chunks fails")
            << QString("F8").repeated(4096) + "F" << 0 << QList<QByteArray>{QByteArray(4096, char(0xF8))}
            << QStringList{"start 4096", "progress 4096", "finish 2", "finish 0"};
    }

    void textsSendAndReportTheirResult()
    {
        QFETCH(QString, text);
        QFETCH(int, parser);

        m_model->setModelIntValue(MessageParsedParameterId, parser);
        MidiEditTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get());
        SignalLog log(&thread);
        QVERIFY(sendText(thread, log, text));
        QTEST(log.entries, "reports");
        QTEST(m_transmitter->sentBytes(), "sent");
        for (const TransmittedMessage& message : m_transmitter->messages()) {
            QCOMPARE(message.group, OutputPortGroupBoth);
            QVERIFY(!message.skipBulkWait);
            QCOMPARE(message.eventType, parser ? (unsigned char)(message.bytes.at(0) == char(0x90) ? 1 : 7)
                                               : UnparsedEventType);
        }
    }

    void failedTransmitStopsWithErrorAndClearsTheParser()
    {
        m_transmitter->failFrom(1);
        MidiEditTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get());
        SignalLog log(&thread);
        QVERIFY(sendText(thread, log, "F8 FA FC"));
        QCOMPARE(log.entries, (QStringList{"start 3", "progress 1", "finish 2", "finish 0"}));
        QCOMPARE(m_transmitter->calls(), 2);

        // A half message of the failed text does not complete later.
        m_transmitter->failFrom(-1);
        QVERIFY(sendText(thread, log, "F8 90 3C 40 F8"));
        m_transmitter->failFrom(0);
        QVERIFY(sendText(thread, log, "90 3C"));
        m_transmitter->failFrom(-1);
        m_transmitter->clear();
        QVERIFY(sendText(thread, log, "F8"));
        QCOMPARE(m_transmitter->sentBytes(), QList<QByteArray>{hex("F8")});

        // Neither does running status carry into the next text.
        m_transmitter->clear();
        thread.setTransmittionMessage("B0 07 64");
        QVERIFY(sendText(thread, log, "07 50", 2));
        QCOMPARE(m_transmitter->sentBytes(), QList<QByteArray>{hex("B00764")});
    }

    void stopDuringSendingReportsStopped()
    {
        MidiEditTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get());
        SignalLog log(&thread);
        m_transmitter->hold();
        thread.setTransmittionMessage("F8 FA FC");
        QVERIFY(m_transmitter->waitForHeldSender());
        std::thread stopper([&thread] { thread.stopTransmittion(); });
        QTRY_VERIFY_WITH_TIMEOUT(!thread.isTransmittionRunning(), Timeout);
        m_transmitter->release();
        stopper.join();
        QTRY_COMPARE_WITH_TIMEOUT(log.entries.endsWith("finish 0"), true, Timeout);
        QCOMPARE(log.entries, (QStringList{"start 3", "progress 1", "finish 1", "finish 0"}));
        QCOMPARE(m_transmitter->sentBytes(), QList<QByteArray>{hex("F8")});
    }

    void handOverDuringTransmissionIsSentAfterIt()
    {
        MidiEditTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get());
        SignalLog log(&thread);
        m_transmitter->hold();
        thread.setTransmittionMessage("F8 FA");
        QVERIFY(m_transmitter->waitForHeldSender());
        std::thread second([&thread] { thread.setTransmittionMessage("FC"); });
        m_transmitter->release();
        second.join();
        QTRY_COMPARE_WITH_TIMEOUT(log.count("finish 0"), 2, Timeout);
        QCOMPARE(m_transmitter->sentBytes(), (QList<QByteArray>{hex("F8"), hex("FA"), hex("FC")}));
        QCOMPARE(log.entries,
                 (QStringList{"start 2", "progress 1", "progress 2", "finish 0", "start 1", "progress 1", "finish 0"}));

        // An ignored bulk interval skips the pause (the pause itself is the bulk interval manager's).
        thread.setBulkIntervalIgnored(true);
        QVERIFY(sendText(thread, log, "F0 03 F7"));
        QVERIFY(m_transmitter->messages().back().skipBulkWait);
    }

    void destructionDuringALongTransmissionEndsIt()
    {
        std::atomic<bool> destroying{false};
        m_transmitter->hold([&destroying] { return destroying.load(); });
        auto thread = std::make_unique<MidiEditTransmittionThread>(nullptr, m_model.get(), m_transmitter.get());
        thread->setTransmittionMessage(QString("F8").repeated(100000));
        QVERIFY(m_transmitter->waitForHeldSender());
        destroying = true;
        thread.reset();
        QVERIFY(m_transmitter->count() < 100000);
    }

    // A text handed over while repeating replaces the old one; a sending under way may finish
    // with the old text, but after the first new one the old never returns.
    void repetitionRepeatsTheNewestTextUntilStopped()
    {
        SteppingClock clock;
        MidiEditRepeatTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get(), &clock);
        SignalLog log(&thread);
        thread.setRepeatInterval(50);
        thread.setTransmittionMessage("F8");
        QVERIFY(m_transmitter->waitForMessages(3));
        thread.setTransmittionMessage("FA");
        QTRY_VERIFY_WITH_TIMEOUT(m_transmitter->sentBytes().count(hex("FA")) >= 3, Timeout);
        thread.stopTransmittion();
        const QList<QByteArray> sent = m_transmitter->sentBytes();
        QTRY_COMPARE_WITH_TIMEOUT(log.count("finish 1"), 1, Timeout);
        QCOMPARE(m_transmitter->count(), sent.size());
        const int firstNew = sent.indexOf(hex("FA"));
        QVERIFY(firstNew >= 3);
        QCOMPARE(sent.mid(0, firstNew).count(hex("F8")), firstNew);
        QCOMPARE(sent.mid(firstNew).count(hex("FA")), sent.size() - firstNew);
        QCOMPARE(log.count("finish 0"), 0);
        QVERIFY(log.count("start 1") >= sent.size()); // one more when the stop came between start and byte
        // Each sending is followed by the interval before the next one starts.
        QVERIFY(clock.now() >= std::uint64_t(50 * (sent.size() - 1)));
    }

    void repetitionEndsAtTheFirstError()
    {
        m_transmitter->failFrom(3);
        MidiEditRepeatTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get());
        SignalLog log(&thread);
        thread.setRepeatInterval(0);
        thread.setTransmittionMessage("F8 FA");
        QTRY_COMPARE_WITH_TIMEOUT(log.count("finish 2"), 1, Timeout);
        QCOMPARE(log.entries, (QStringList{"start 2", "progress 1", "progress 2", "start 2", "progress 1", "finish 2"}));
        QCOMPARE(m_transmitter->calls(), 4);
    }

    // A parser switch while a repetition holds the worker (the clock stands still) gets through at
    // the worker's next message or wait step, and applies from the next sending on; a stop ends an
    // interval that the clock never would.
    void parserSwitchDuringARepetitionDoesNotWaitForIt()
    {
        SteppingClock clock(0, 0);
        MidiEditRepeatTransmittionThread thread(nullptr, m_model.get(), m_transmitter.get(), &clock);
        SignalLog log(&thread);
        thread.setRepeatInterval(1000);
        m_transmitter->hold();
        thread.setTransmittionMessage("F8 FA FC");
        QVERIFY(m_transmitter->waitForHeldSender());

        std::atomic<bool> switched{false};
        std::thread setter([&] {
            m_model->setModelIntValue(MessageParsedParameterId, 0);
            switched = true;
        });
        m_transmitter->release();
        const bool returned = QTest::qWaitFor([&] { return switched.load(); }, Timeout);
        if (!returned) {
            thread.stopTransmittion();
        }
        setter.join();
        QVERIFY(returned);

        clock.setStep(1);
        QVERIFY(m_transmitter->waitForMessages(4));
        clock.setStep(0); // now only the stop ends the interval
        thread.stopTransmittion();
        QTRY_COMPARE_WITH_TIMEOUT(log.count("finish 1"), 1, Timeout);
        const std::vector<TransmittedMessage> sent = m_transmitter->messages();
        QCOMPARE(sent.at(2).bytes, hex("FC"));
        QCOMPARE(sent.at(3).bytes, hex("F8FAFC"));
        QCOMPARE(sent.at(3).eventType, UnparsedEventType);
    }

private:
    std::unique_ptr<TulvarMidiModel> m_model;
    std::unique_ptr<RecordingTransmitter> m_transmitter;
};

QTEST_GUILESS_MAIN(tst_MidiEditTransmittionThread)
#include "tst_MidiEditTransmittionThread.moc"
